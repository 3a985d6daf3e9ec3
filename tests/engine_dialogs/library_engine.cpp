// The engine as shipped: vistaro.dll, loaded once the registry names its
// install folder, its seams reached through its exports.
#include <memory>

#include "dialogs_fixture.h"
#include "installdir.h"
#include "msgbox.h"

namespace dialogs_test {
namespace {

// The library reads its install folder from the registry while it loads.
class LoadedLibrary : public ::testing::Environment {
public:
    void SetUp() override {
        dir_ = std::make_unique<testsupport::TempDir>();
        {
            testsupport::InstallDirKey key;
            key.SetPath(dir_->path());
            module_ = LoadLibraryA((testsupport::ProgramDir() + "vistaro.dll").c_str());
        }
        ASSERT_NE(module_, nullptr);
        configure_ = reinterpret_cast<DLGPROC>(GetProcAddress(module_, "DConfigFunc"));
        ASSERT_NE(configure_, nullptr);
        auto box = reinterpret_cast<MessageBoxFn*>(GetProcAddress(module_, "g_messageBox"));
        auto open = reinterpret_cast<OpenFileDialogFn*>(GetProcAddress(module_, "g_openFileDialog"));
        ASSERT_NE(box, nullptr);
        ASSERT_NE(open, nullptr);
        *box = testsupport::MessageLog::Record;
        *open = AnswerOpenFile;
    }
    void TearDown() override {
        // The library made the install folder current; let it go.
        SetCurrentDirectoryA(testsupport::ProgramDir().c_str());
        dir_.reset();
    }
    std::unique_ptr<testsupport::TempDir> dir_;
    HMODULE module_ = nullptr;
    DLGPROC configure_ = nullptr;
};

LoadedLibrary* const g_library =
    static_cast<LoadedLibrary*>(::testing::AddGlobalTestEnvironment(new LoadedLibrary));

}  // namespace

HMODULE Library() { return g_library->module_; }
const testsupport::TempDir& InstallDir() { return *g_library->dir_; }
DLGPROC ConfigureProc() { return g_library->configure_; }

}  // namespace dialogs_test
