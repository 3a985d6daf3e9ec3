// Records message boxes instead of showing them (under Xvfb a real one
// waits for a click). Install MessageLog::Record through the product's
// message-box seam.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace testsupport {

struct LoggedMessage {
    HWND owner;
    std::string text;
    std::string caption;
    UINT type;
};

class MessageLog {
public:
    static int WINAPI Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
    static std::vector<LoggedMessage>& Messages();
    static void Clear() { Messages().clear(); }
};

}  // namespace testsupport
