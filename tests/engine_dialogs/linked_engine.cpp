// The engine's sources linked into the test program, so that tests can look
// into the settings record the dialog edits. The dialog templates are linked
// in too; the program's own module holds them.
#include <memory>
#include <string>

#include "dialogs_fixture.h"
#include "msgbox.h"
#include "settings.h"

// The engine's globals, which vistaro.dll keeps beside its entry point.
extern "C" {
int g_bePreviewing;
HINSTANCE g_hinst;
float g_dllversion = 1.41f;
}

namespace dialogs_test {
namespace {

class LinkedEngine : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<testsupport::TempDir>();
        installDir_ = dir_->path();
        g_settings.installDir = &installDir_[0];
        g_hinst = GetModuleHandleA(nullptr);
        g_messageBox = testsupport::MessageLog::Record;
        g_openFileDialog = AnswerOpenFile;
    }
    void TearDown() override {
        SetCurrentDirectoryA(testsupport::ProgramDir().c_str());
        g_settings.installDir = nullptr;
        dir_.reset();
    }
    std::unique_ptr<testsupport::TempDir> dir_;
    std::string installDir_;
};

LinkedEngine* const g_engine = static_cast<LinkedEngine*>(::testing::AddGlobalTestEnvironment(new LinkedEngine));

}  // namespace

HMODULE Library() { return GetModuleHandleA(nullptr); }
const testsupport::TempDir& InstallDir() { return *g_engine->dir_; }
DLGPROC ConfigureProc() { return DConfigFunc; }

}  // namespace dialogs_test
