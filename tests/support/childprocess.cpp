#include "childprocess.h"
#include "installdir.h"

#include <map>

#include "testsupport.h"

namespace testsupport {

namespace {

std::string EnvironmentBlock(const std::vector<std::string>& extra) {
    std::map<std::string, std::string> vars;  // keyed by the upper-case name
    auto add = [&](const std::string& entry) {
        size_t eq = entry.find('=', 1);
        if (eq == std::string::npos) return;
        std::string key = entry.substr(0, eq);
        for (char& c : key) c = char(toupper(static_cast<unsigned char>(c)));
        vars[key] = entry;
    };
    char* block = GetEnvironmentStringsA();
    for (char* p = block; *p; p += strlen(p) + 1) add(p);
    FreeEnvironmentStringsA(block);
    for (const std::string& e : extra) add(e);
    std::string out;
    for (auto& kv : vars) {
        out += kv.second;
        out += '\0';
    }
    out += '\0';
    return out;
}

struct FindArgs {
    const char* className;
    const char* title;
    DWORD pid;
    HWND found;
    bool (*accept)(HWND);
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
    auto* a = reinterpret_cast<FindArgs*>(lp);
    char cls[128];
    GetClassNameA(w, cls, sizeof cls);
    if (strcmp(cls, a->className) != 0) return TRUE;
    if (a->pid) {
        DWORD pid = 0;
        GetWindowThreadProcessId(w, &pid);
        if (pid != a->pid) return TRUE;
    }
    if (a->title) {
        char text[256];
        GetWindowTextA(w, text, sizeof text);
        if (strcmp(text, a->title) != 0) return TRUE;
    }
    if (!IsWindowVisible(w)) return TRUE;
    if (a->accept && !a->accept(w)) return TRUE;
    a->found = w;
    return FALSE;
}

BOOL CALLBACK OnlyButtonsAndStatics(HWND w, LPARAM lp) {
    char cls[64];
    GetClassNameA(w, cls, sizeof cls);
    if (lstrcmpiA(cls, "Button") != 0 && lstrcmpiA(cls, "Static") != 0) *reinterpret_cast<bool*>(lp) = false;
    return TRUE;
}

// A message box is a dialog holding the text control 0xFFFF and nothing but
// buttons and statics; the program's own dialogs (edits, lists) are not.
bool IsMessageBox(HWND dialog) {
    if (!GetDlgItem(dialog, 0xFFFF)) return false;
    bool plain = true;
    EnumChildWindows(dialog, OnlyButtonsAndStatics, reinterpret_cast<LPARAM>(&plain));
    return plain;
}

}  // namespace

ChildProcess::ChildProcess(const std::string& program, const std::string& args,
                           const std::vector<std::string>& env) {
    std::string path = ProgramDir() + program;
    std::string line = "\"" + path + "\"" + (args.empty() ? "" : " " + args);
    log_ = logDir_.file("boxes.log");
    std::vector<std::string> all = {"VISTARO_MESSAGEBOX_LOG=" + log_};
    all.insert(all.end(), env.begin(), env.end());
    std::string block = EnvironmentBlock(all);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::vector<char> cmd(line.begin(), line.end());
    cmd.push_back('\0');
    if (!CreateProcessA(path.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, &block[0], nullptr, &si, &pi))
        return;
    CloseHandle(pi.hThread);
    process_ = pi.hProcess;
    pid_ = pi.dwProcessId;
    closer_ = std::thread([this] { CloseBoxes(); });
}

ChildProcess::~ChildProcess() {
    if (process_ && WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
        TerminateProcess(process_, 99);
        WaitForSingleObject(process_, 5000);
    }
    stop_ = true;
    if (closer_.joinable()) closer_.join();
    if (process_) CloseHandle(process_);
}

bool ChildProcess::Wait(DWORD ms, DWORD* exitCode) {
    if (!process_ || WaitForSingleObject(process_, ms) != WAIT_OBJECT_0) return false;
    GetExitCodeProcess(process_, exitCode);
    return true;
}

std::vector<ShownBox> ChildProcess::boxes() {
    std::lock_guard<std::mutex> g(lock_);
    return boxes_;
}

std::vector<ShownBox> ChildProcess::loggedBoxes() {
    std::vector<ShownBox> all;
    // One line per box: caption, tab, text, tab, type.
    std::string logged = ReadFile(log_);
    size_t start = 0;
    while (start < logged.size()) {
        size_t end = logged.find('\n', start);
        if (end == std::string::npos) end = logged.size();
        std::string line = logged.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        size_t t1 = line.find('\t'), t2 = line.rfind('\t');
        if (t1 != std::string::npos && t2 > t1) all.push_back({line.substr(0, t1), line.substr(t1 + 1, t2 - t1 - 1), nullptr});
        start = end + 1;
    }
    return all;
}

bool ChildProcess::WaitForBoxes(size_t n, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (boxes().size() >= n) return true;
        if (GetTickCount() - start > ms) return false;
        Sleep(50);
    }
}

void ChildProcess::CloseBoxes() {
    while (!stop_) {
        FindArgs a = {"#32770", nullptr, pid_, nullptr, IsMessageBox};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        HWND box = a.found;
        if (box) {
            HWND text = GetDlgItem(box, 0xFFFF);
            ShownBox shown;
            char buf[1024];
            GetWindowTextA(box, buf, sizeof buf);
            shown.caption = buf;
            GetWindowTextA(text, buf, sizeof buf);
            shown.text = buf;
            shown.owner = GetWindow(box, GW_OWNER);
            {
                std::lock_guard<std::mutex> g(lock_);
                boxes_.push_back(shown);
            }
            PostMessageA(box, WM_COMMAND, IDOK, 0);
            // Wait until that box has gone before looking for the next one.
            for (int i = 0; i < 100 && IsWindow(box); ++i) Sleep(20);
        }
        Sleep(30);
    }
}

HWND WaitForWindow(const char* className, const char* title, DWORD pid, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        FindArgs a = {className, title, pid, nullptr, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&a));
        if (a.found) return a.found;
        if (GetTickCount() - start > ms) return nullptr;
        Sleep(50);
    }
}

void PumpMessages(DWORD ms) {
    DWORD start = GetTickCount();
    do {
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&m);
            DispatchMessageA(&m);
        }
        Sleep(5);
    } while (GetTickCount() - start < ms);
}

ScopedRegValue::ScopedRegValue(HKEY root, const std::string& key, const std::string& name, DWORD type,
                               const void* data, DWORD size)
    : root_(root), key_(key), name_(name) {
    if (root == HKEY_LOCAL_MACHINE && lstrcmpiA(key.c_str(), kInstallDirKeyPath) == 0)
        lock_ = LockInstallDirKey();
    HKEY k;
    keyExisted_ = RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) == ERROR_SUCCESS;
    if (keyExisted_) {
        DWORD t = 0, n = 0;
        if (RegQueryValueExA(k, name.c_str(), nullptr, &t, nullptr, &n) == ERROR_SUCCESS) {
            oldData_.resize(n);
            if (RegQueryValueExA(k, name.c_str(), nullptr, &t, reinterpret_cast<BYTE*>(&oldData_[0]), &n) ==
                ERROR_SUCCESS) {
                hadValue_ = true;
                oldType_ = t;
                oldData_.resize(n);
            }
        }
        RegCloseKey(k);
    }
    if (type == REG_NONE) {
        if (keyExisted_ && RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
            RegDeleteValueA(k, name.c_str());
            RegCloseKey(k);
        }
        return;
    }
    if (RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) == ERROR_SUCCESS) {
        RegSetValueExA(k, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
        RegCloseKey(k);
    }
}

ScopedRegValue ScopedRegValue::String(HKEY root, const std::string& key, const std::string& name,
                                      const std::string& value) {
    return ScopedRegValue(root, key, name, REG_SZ, value.c_str(), DWORD(value.size() + 1));
}

ScopedRegValue ScopedRegValue::Dword(HKEY root, const std::string& key, const std::string& name, DWORD value) {
    return ScopedRegValue(root, key, name, REG_DWORD, &value, sizeof value);
}

ScopedRegValue ScopedRegValue::Removed(HKEY root, const std::string& key, const std::string& name) {
    return ScopedRegValue(root, key, name, REG_NONE, nullptr, 0);
}

ScopedRegValue::ScopedRegValue(ScopedRegValue&& o) noexcept
    : root_(o.root_), key_(std::move(o.key_)), name_(std::move(o.name_)), keyExisted_(o.keyExisted_),
      hadValue_(o.hadValue_), active_(o.active_), oldType_(o.oldType_), oldData_(std::move(o.oldData_)),
      lock_(o.lock_) {
    o.active_ = false;
    o.lock_ = nullptr;
}

ScopedRegValue::~ScopedRegValue() {
    if (!active_) {
        UnlockInstallDirKey(lock_);
        return;
    }
    HKEY k;
    if (hadValue_) {
        if (RegCreateKeyExA(root_, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &k, nullptr) ==
            ERROR_SUCCESS) {
            RegSetValueExA(k, name_.c_str(), 0, oldType_, reinterpret_cast<const BYTE*>(oldData_.data()),
                           DWORD(oldData_.size()));
            RegCloseKey(k);
        }
    } else if (RegOpenKeyExA(root_, key_.c_str(), 0, KEY_SET_VALUE, &k) == ERROR_SUCCESS) {
        RegDeleteValueA(k, name_.c_str());
        RegCloseKey(k);
        if (!keyExisted_) RegDeleteKeyA(root_, key_.c_str());
    }
    UnlockInstallDirKey(lock_);
}

}  // namespace testsupport
