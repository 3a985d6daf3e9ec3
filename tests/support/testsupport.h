// Helpers shared by the test programs.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

// Folder of the running test program (build/bin), with a trailing backslash.
std::string ProgramDir();

// A fresh, empty folder under the system temp folder, removed by the destructor.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::string& path() const { return path_; }  // no trailing backslash
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
private:
    std::string path_;
};

// Bounds a stretch of a test: when its scope has not ended within the given
// time, the program prints what overran and ends at once with exit code 3.
// A loop in the code under test that never ends (a search over the driver's
// block pool that never reaches the end) then fails in seconds instead of
// hanging until CTest's time-out.
class ScopedDeadline {
public:
    ScopedDeadline(const std::string& what, DWORD milliseconds);
    ~ScopedDeadline();
    ScopedDeadline(const ScopedDeadline&) = delete;
    ScopedDeadline& operator=(const ScopedDeadline&) = delete;
private:
    static DWORD WINAPI Watch(void* self);
    std::string what_;
    DWORD milliseconds_;
    HANDLE done_, thread_;
};

// Sets an environment variable for its lifetime, then puts the old value back.
class ScopedEnvVar {
public:
    ScopedEnvVar(const char* name, const std::string& value);
    ~ScopedEnvVar();
    ScopedEnvVar(const ScopedEnvVar&) = delete;
    ScopedEnvVar& operator=(const ScopedEnvVar&) = delete;
private:
    std::string name_, old_;
    bool hadOld_;
};

std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);

}  // namespace testsupport
