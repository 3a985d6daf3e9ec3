#include "installdir.h"
#include <vector>

namespace testsupport {

const char kInstallDirKeyPath[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\3-D Vistaro Screensaver.scr";
static const char* const kKey = kInstallDirKeyPath;

HANDLE LockInstallDirKey() {
    HANDLE lock = CreateMutexA(nullptr, FALSE, "VistaroTestsInstallDirKey");
    WaitForSingleObject(lock, INFINITE);
    return lock;
}

void UnlockInstallDirKey(HANDLE lock) {
    if (!lock) return;
    ReleaseMutex(lock);
    CloseHandle(lock);
}

InstallDirKey::InstallDirKey() : hadKey_(false), hadValue_(false), oldType_(0) {
    lock_ = LockInstallDirKey();
    char cwd[MAX_PATH];
    DWORD n = GetCurrentDirectoryA(sizeof cwd, cwd);
    if (n > 0 && n < sizeof cwd) oldDir_ = cwd;
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        hadKey_ = true;
        DWORD size = 0;
        if (RegQueryValueExA(key, "Path", nullptr, &oldType_, nullptr, &size) == ERROR_SUCCESS) {
            std::vector<char> data(size + 1);
            if (RegQueryValueExA(key, "Path", nullptr, &oldType_, (BYTE*)data.data(), &size) == ERROR_SUCCESS) {
                hadValue_ = true;
                oldData_.assign(data.data(), size);
            }
        }
        RegCloseKey(key);
    }
}

InstallDirKey::~InstallDirKey() {
    if (!oldDir_.empty()) SetCurrentDirectoryA(oldDir_.c_str());
    if (!hadKey_) {
        RemoveKey();
    } else if (!hadValue_) {
        RemoveValue();
    } else {
        SetRaw(oldType_, oldData_.data(), (DWORD)oldData_.size());
    }
    UnlockInstallDirKey(lock_);
}

void InstallDirKey::SetPath(const std::string& dir) { SetRaw(REG_SZ, dir.c_str(), (DWORD)dir.size() + 1); }

void InstallDirKey::SetRaw(DWORD type, const void* data, DWORD size) {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExA(key, "Path", 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

void InstallDirKey::SetUnterminated(const std::string& dir) {
    std::wstring wide(dir.begin(), dir.end());
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegSetValueExW(key, L"Path", 0, REG_SZ, (const BYTE*)wide.data(), (DWORD)(wide.size() * sizeof(wchar_t)));
    RegCloseKey(key);
}

void InstallDirKey::RemoveValue() {
    HKEY key;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    RegDeleteValueA(key, "Path");
    RegCloseKey(key);
}

void InstallDirKey::RemoveKey() { RegDeleteKeyA(HKEY_LOCAL_MACHINE, kKey); }

}  // namespace testsupport
