#include "messagelog.h"

namespace testsupport {

std::vector<LoggedMessage>& MessageLog::Messages() {
    static std::vector<LoggedMessage> messages;
    return messages;
}

int WINAPI MessageLog::Record(HWND owner, LPCSTR text, LPCSTR caption, UINT type) {
    Messages().push_back({owner, text ? text : "", caption ? caption : "", type});
    return IDOK;
}

}  // namespace testsupport
