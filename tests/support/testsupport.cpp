#include "testsupport.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace testsupport {

std::string ProgramDir() {
    char buf[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, buf, sizeof buf);
    std::string s(buf, n);
    return s.substr(0, s.find_last_of("\\/") + 1);
}

TempDir::TempDir() {
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    static unsigned counter;
    for (;;) {
        char name[MAX_PATH];
        snprintf(name, sizeof name, "%svistaro-%lu-%u", base, GetCurrentProcessId(), ++counter);
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

static void RemoveTree(const std::string& dir) {
    WIN32_FIND_DATAA fd;
    HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            std::string name = fd.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = dir + "\\" + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else {
                SetFileAttributesA(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(full.c_str());
            }
        } while (FindNextFileA(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryA(dir.c_str());
}

TempDir::~TempDir() { RemoveTree(path_); }

ScopedEnvVar::ScopedEnvVar(const char* name, const std::string& value) : name_(name) {
    char old[32768];
    DWORD n = GetEnvironmentVariableA(name, old, sizeof old);
    hadOld_ = n > 0 && n < sizeof old;
    if (hadOld_) old_ = old;
    SetEnvironmentVariableA(name, value.c_str());
}

ScopedEnvVar::~ScopedEnvVar() { SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr); }

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace testsupport

namespace testsupport {

ScopedDeadline::ScopedDeadline(const std::string& what, DWORD milliseconds)
    : what_(what), milliseconds_(milliseconds), done_(CreateEventA(nullptr, TRUE, FALSE, nullptr)), thread_(nullptr) {
    if (done_) thread_ = CreateThread(nullptr, 0, Watch, this, 0, nullptr);
}

ScopedDeadline::~ScopedDeadline() {
    if (thread_) {
        SetEvent(done_);
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
    }
    if (done_) CloseHandle(done_);
}

DWORD WINAPI ScopedDeadline::Watch(void* p) {
    ScopedDeadline* self = static_cast<ScopedDeadline*>(p);
    if (WaitForSingleObject(self->done_, self->milliseconds_) == WAIT_TIMEOUT) {
        fprintf(stderr, "FAILED: %s did not end within %lu ms; the program ends here.\n", self->what_.c_str(),
                (unsigned long)self->milliseconds_);
        fflush(stderr);
        fflush(stdout);
        TerminateProcess(GetCurrentProcess(), 3);
    }
    return 0;
}

}  // namespace testsupport
