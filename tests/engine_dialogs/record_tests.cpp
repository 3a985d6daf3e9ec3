// What the settings dialog leaves in the settings record.
#include "dialogs_fixture.h"

#include <commctrl.h>
#include <functional>

#include "settings.h"

namespace dialogs_test {
namespace {

const char kIni[] =
    "[files]\r\nfile1=c:\\pics\\one.jpg\r\n[options]\r\nspeed=8\r\nstars=1\r\n";

// The window's Configure command rebuilds the textures only when this is set.
TEST_F(SettingsDialog, OkMarksPicturesChangedOnlyAfterAListEdit) {
    WriteBmp(files_.file("16.bmp"), 16);
    struct Case {
        const char* name;
        int before;
        std::function<void()> edit;
        int after;
    } cases[] = {
        {"switch only", 0, [&] { SendDlgItemMessageA(dialog_, IDC_STARS, BM_SETCHECK, 0, 0); }, 0},
        {"switch only, already set", 1, [&] { SendDlgItemMessageA(dialog_, IDC_STARS, BM_SETCHECK, 0, 0); }, 1},
        {"refused add", 0, [&] { AddPicture(files_.file("16.bmp")); }, 0},
        {"add", 0, [&] { AddPicture("c:\\pics\\two.jpg"); }, 1},
        {"delete", 0, [&] { Select(0); Click(IDC_DELETE); }, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WriteIni(kIni);
        g_settings.picturesChanged = c.before;
        Open();
        c.edit();
        Click(IDOK);
        EXPECT_EQ(g_settings.picturesChanged, c.after);
        Close();
    }
}

TEST_F(SettingsDialog, CancelKeepsTheLoadedValuesInTheRecord) {
    WriteIni(kIni);
    g_settings.speed = 3;
    g_settings.picturesChanged = 0;
    Open();
    std::vector<HWND> ups = UpDowns();
    ASSERT_EQ(ups.size(), 3u);
    SendMessageA(ups[0], UDM_SETPOS, 0, 2);  // speed
    AddPicture("c:\\pics\\two.jpg");
    Click(IDCANCEL);
    EXPECT_EQ(g_settings.speed, 8);
    EXPECT_EQ(g_settings.pictureCount, 1);
    EXPECT_STREQ(g_settings.pictureNames[0], "c:\\pics\\one.jpg");
    EXPECT_EQ(g_settings.picturesChanged, 0);
}

}  // namespace
}  // namespace dialogs_test
