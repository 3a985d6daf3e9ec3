// The message boxes that the engine's default seam recorded instead of
// showing (engine/msgbox.h: VISTARO_MESSAGEBOX_LOG). A BoxLogFile points the
// variable at a fresh file for its lifetime, so that boxes raised before a
// test can swap the seam (the static initialiser of a freshly loaded
// vistaro.dll, a child process) can still be checked.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include "messagelog.h"
#include "testsupport.h"

namespace testsupport {

class BoxLogFile {
public:
    BoxLogFile();
    BoxLogFile(const BoxLogFile&) = delete;
    BoxLogFile& operator=(const BoxLogFile&) = delete;
    const std::string& path() const { return path_; }
    std::vector<LoggedMessage> Messages() const;  // owner is always null here

private:
    TempDir dir_;
    std::string path_;
    ScopedEnvVar var_;
};

}  // namespace testsupport
