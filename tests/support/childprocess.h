// Test programs that start other programs (the hosts, small test hosts) and
// deal with the message boxes those show, plus registry values a test sets
// for the time it runs.
#pragma once
#include <windows.h>
#include <string>
#include <thread>
#include <vector>
#include <mutex>
#include <atomic>

#include "testsupport.h"

namespace testsupport {

struct ShownBox {
    std::string caption;
    std::string text;
    HWND owner;
};

// A child process started from build/bin. A background thread reads and
// dismisses (OK) every real message box the child shows, so none is left
// waiting; the engine's own boxes go to a log file of the child's
// (VISTARO_MESSAGEBOX_LOG, see engine/msgbox.h) and are read from there.
class ChildProcess {
public:
    // program: a file name in build/bin, quoted as needed; args follow a blank.
    // env: "NAME=value" entries added to (or replacing in) this process's environment.
    ChildProcess(const std::string& program, const std::string& args,
                 const std::vector<std::string>& env = {});
    ~ChildProcess();  // ends the child if it still runs
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool started() const { return process_ != nullptr; }
    DWORD pid() const { return pid_; }
    // True with the exit code when the child ended within ms.
    bool Wait(DWORD ms, DWORD* exitCode);
    // The real boxes dismissed so far.
    std::vector<ShownBox> boxes();
    // The engine's boxes, recorded instead of shown (owner not known).
    std::vector<ShownBox> loggedBoxes();
    // Waits up to ms for the child to have shown at least n boxes.
    bool WaitForBoxes(size_t n, DWORD ms);

private:
    void CloseBoxes();
    TempDir logDir_;
    std::string log_;
    HANDLE process_ = nullptr;
    DWORD pid_ = 0;
    std::atomic<bool> stop_{false};
    std::mutex lock_;
    std::vector<ShownBox> boxes_;
    std::thread closer_;
};

// A visible top-level window of the class (and title, when not null) that
// belongs to process pid (any process when 0), waited for up to ms.
HWND WaitForWindow(const char* className, const char* title, DWORD pid, DWORD ms);

// Pumps this thread's messages for ms milliseconds.
void PumpMessages(DWORD ms);

// Sets a registry value for the life of the object and puts back what was
// there before (or removes it). type REG_NONE removes the value instead.
// On the engine's App Paths key it also holds InstallDirKey's machine-wide
// lock, so parallel test processes never see each other's install folder.
class ScopedRegValue {
public:
    ScopedRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                   const void* data, DWORD size);
    static ScopedRegValue String(HKEY root, const std::string& key, const std::string& name,
                                 const std::string& value);
    static ScopedRegValue Dword(HKEY root, const std::string& key, const std::string& name, DWORD value);
    static ScopedRegValue Removed(HKEY root, const std::string& key, const std::string& name);
    ~ScopedRegValue();
    ScopedRegValue(ScopedRegValue&& other) noexcept;
    ScopedRegValue(const ScopedRegValue&) = delete;
    ScopedRegValue& operator=(const ScopedRegValue&) = delete;

private:
    HKEY root_;
    std::string key_, name_;
    bool keyExisted_ = false, hadValue_ = false, active_ = true;
    DWORD oldType_ = 0;
    std::string oldData_;
    HANDLE lock_ = nullptr;
};

}  // namespace testsupport
