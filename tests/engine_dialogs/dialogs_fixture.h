// Drives the engine's settings dialog by messages. The engine has a private
// install folder; the settings file there is prepared per test,
// the open-file dialog and the message boxes are answered through the
// library's seams, and every control can be read back.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "dialogs.h"
#include "messagelog.h"
#include "resource.h"
#include "testsupport.h"

namespace dialogs_test {

// The engine under test (vistaro.dll, or the engine sources linked into the
// test program), the module holding its dialog templates, its DConfigFunc and
// its install folder. Each test program links one engine file that provides them.
HMODULE Library();
DLGPROC ConfigureProc();
const testsupport::TempDir& InstallDir();

// What the open-file dialog answers next: a path, or nothing (cancel); or
// the platform's own dialog runs.
struct OpenFileAnswer {
    bool choose = false;
    std::string path;
    bool platform = false;
};

// The last record handed to the open-file dialog, and how often it ran.
struct OpenFileSeen {
    int calls = 0;
    DWORD structSize = 0, flags = 0, filterIndex = 0, maxFile = 0, maxFileTitle = 0;
    HWND owner = nullptr;
    std::string title, initialDir, filter;
    std::string initialFile;  // what the file buffer held when handed over
    bool fileTitleBuffer = false;
    bool othersZero = false;  // every field not named above
};

extern OpenFileAnswer g_openAnswer;
extern OpenFileSeen g_openSeen;

// The test's open-file dialog, installed in the engine's seam: records the
// record it is given and answers with g_openAnswer.
BOOL WINAPI AnswerOpenFile(OPENFILENAMEA* ofn);

// Writes a bitmap file of 2 x 2 pixels with the given bit count.
void WriteBmp(const std::string& path, int bits);

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    static std::string IniPath() { return InstallDir().file("vistaro.ini"); }
    static void WriteIni(const std::string& text) { testsupport::WriteFile(IniPath(), text); }
    static std::string ReadIni() { return testsupport::ReadFile(IniPath()); }
    static std::string IniValue(const char* section, const char* key);
    static std::vector<testsupport::LoggedMessage>& Boxes() { return testsupport::MessageLog::Messages(); }

    // Opens "DIALOG_1" modeless with the library's DConfigFunc.
    void Open();
    void Close();
    // Sends the button's click notification, as a press would.
    void Click(int id);
    // Adds a picture through the Add button, the open-file dialog choosing path.
    void AddPicture(const std::string& path);

    std::string Text(int id) const;
    int Check(int id) const;
    std::vector<std::string> ListEntries() const;
    void Select(int index);
    // The up-down controls in creation order.
    std::vector<HWND> UpDowns() const;

    testsupport::TempDir files_;  // pictures of one test
    HWND dialog_ = nullptr;
};

}  // namespace dialogs_test
