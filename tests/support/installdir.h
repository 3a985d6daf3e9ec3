// The install directory that vistaro.dll reads from the registry at load:
// HKLM "SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\3-D Vistaro
// Screensaver.scr", value "Path". Test processes share one Wine prefix, so
// every test that changes the key, or needs a known value while it loads the
// engine, holds an InstallDirKey: it takes a machine-wide lock, remembers the
// key, and on destruction restores it (and the current directory, which the
// engine's settings calls change). Do not hold it while waiting for a
// child process that takes it too.
#pragma once
#include <windows.h>
#include <string>

namespace testsupport {

extern const char kInstallDirKeyPath[];  // the key above, under HKEY_LOCAL_MACHINE

// The lock alone, for helpers that change the key themselves; the same
// thread may take it more than once.
HANDLE LockInstallDirKey();
void UnlockInstallDirKey(HANDLE lock);  // null: nothing

class InstallDirKey {
public:
    InstallDirKey();   // waits for the lock; the key is left as it was
    ~InstallDirKey();  // restores key, value and current directory, then unlocks
    InstallDirKey(const InstallDirKey&) = delete;
    InstallDirKey& operator=(const InstallDirKey&) = delete;

    void SetPath(const std::string& dir);                         // "Path" as a string
    void SetRaw(DWORD type, const void* data, DWORD size);        // "Path" exactly as given
    // A string "Path" of exactly these characters, stored without a
    // terminator (the ANSI call would add one).
    void SetUnterminated(const std::string& dir);
    void RemoveValue();                                           // the key, without "Path"
    void RemoveKey();                                             // no key at all

private:
    HANDLE lock_;
    bool hadKey_, hadValue_;
    DWORD oldType_;
    std::string oldData_;
    std::string oldDir_;
};

}  // namespace testsupport
