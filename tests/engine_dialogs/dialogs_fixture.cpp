#include "dialogs_fixture.h"

#include <cstring>

#include "picturefiles.h"

namespace dialogs_test {

OpenFileAnswer g_openAnswer;
OpenFileSeen g_openSeen;

namespace {

// With no window manager on the test display, Wine waits two seconds for each
// managed window it hides. Set before the display driver loads, this makes the
// program's windows unmanaged.
const bool g_unmanagedWindows = [] {
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string name(exe, n);
    name = name.substr(name.find_last_of("\\/") + 1);
    std::string key = "Software\\Wine\\AppDefaults\\" + name + "\\X11 Driver";
    HKEY k;
    if (RegCreateKeyA(HKEY_CURRENT_USER, key.c_str(), &k) != ERROR_SUCCESS) return false;
    RegSetValueExA(k, "Managed", 0, REG_SZ, reinterpret_cast<const BYTE*>("N"), 2);
    RegCloseKey(k);
    return true;
}();

}  // namespace

BOOL WINAPI AnswerOpenFile(OPENFILENAMEA* ofn) {
    OpenFileSeen& s = g_openSeen;
    ++s.calls;
    s.structSize = ofn->lStructSize;
    s.flags = ofn->Flags;
    s.filterIndex = ofn->nFilterIndex;
    s.maxFile = ofn->nMaxFile;
    s.maxFileTitle = ofn->nMaxFileTitle;
    s.owner = ofn->hwndOwner;
    s.title = ofn->lpstrTitle ? ofn->lpstrTitle : "";
    s.initialDir = ofn->lpstrInitialDir ? ofn->lpstrInitialDir : "";
    s.initialFile = ofn->lpstrFile ? std::string(ofn->lpstrFile, strnlen(ofn->lpstrFile, ofn->nMaxFile)) : "<none>";
    s.fileTitleBuffer = ofn->lpstrFileTitle != nullptr;
    s.othersZero = !ofn->hInstance && !ofn->lpstrCustomFilter && !ofn->nMaxCustFilter && !ofn->nFileOffset &&
                   !ofn->nFileExtension && !ofn->lpstrDefExt && !ofn->lCustData && !ofn->lpfnHook &&
                   !ofn->lpTemplateName;
    s.filter.clear();
    if (const char* f = ofn->lpstrFilter) {
        while (*f) {
            size_t n = strlen(f) + 1;
            s.filter.append(f, n);
            f += n;
        }
        s.filter.push_back('\0');
    }
    if (g_openAnswer.platform) return GetOpenFileNameA(ofn);
    if (!g_openAnswer.choose) return FALSE;
    // The real dialog never writes more than nMaxFile bytes.
    std::string p = g_openAnswer.path.substr(0, ofn->nMaxFile - 1);
    memcpy(ofn->lpstrFile, p.c_str(), p.size() + 1);
    return TRUE;
}

void WriteBmp(const std::string& path, int bits) {
    testsupport::BmpSpec pic;
    pic.width = 2;
    pic.height = 2;
    pic.bits = bits;
    if (bits <= 8) pic.palette = {0x000000, 0xffffff};
    pic.pixel = [](int x, int y) { return uint32_t((x + y) & 1); };
    testsupport::WriteFile(path, testsupport::MakeBmp(pic));
}

void SettingsDialog::SetUp() {
    ASSERT_NE(Library(), nullptr);
    g_openAnswer = {};
    g_openSeen = {};
    testsupport::MessageLog::Clear();
    DeleteFileA(IniPath().c_str());
}

void SettingsDialog::TearDown() { Close(); }

void SettingsDialog::Open() {
    dialog_ = CreateDialogParamA(Library(), "DIALOG_1", nullptr, ConfigureProc(), 0);
    ASSERT_NE(dialog_, nullptr);
}

void SettingsDialog::Close() {
    if (dialog_) DestroyWindow(dialog_);
    dialog_ = nullptr;
}

std::string SettingsDialog::IniValue(const char* section, const char* key) {
    char buf[512];
    GetPrivateProfileStringA(section, key, "<missing>", buf, sizeof buf, IniPath().c_str());
    return buf;
}

void SettingsDialog::Click(int id) {
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog_, id));
}

void SettingsDialog::AddPicture(const std::string& path) {
    g_openAnswer = {true, path};
    Click(IDC_ADD);
}

std::string SettingsDialog::Text(int id) const {
    char buf[512];
    GetDlgItemTextA(dialog_, id, buf, sizeof buf);
    return buf;
}

int SettingsDialog::Check(int id) const {
    return static_cast<int>(SendDlgItemMessageA(dialog_, id, BM_GETCHECK, 0, 0));
}

std::vector<std::string> SettingsDialog::ListEntries() const {
    std::vector<std::string> out;
    HWND list = GetDlgItem(dialog_, IDC_PICTURES);
    int n = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        std::string s(SendMessageA(list, LB_GETTEXTLEN, i, 0), '\0');
        std::vector<char> buf(s.size() + 1);
        SendMessageA(list, LB_GETTEXT, i, (LPARAM)buf.data());
        out.emplace_back(buf.data());
    }
    return out;
}

void SettingsDialog::Select(int index) {
    SendDlgItemMessageA(dialog_, IDC_PICTURES, LB_SETCURSEL, index, 0);
}

std::vector<HWND> SettingsDialog::UpDowns() const {
    std::vector<HWND> out;
    for (HWND c = GetWindow(dialog_, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        char cls[64];
        GetClassNameA(c, cls, sizeof cls);
        if (lstrcmpiA(cls, "msctls_updown32") == 0) out.push_back(c);
    }
    return out;
}

}  // namespace dialogs_test
