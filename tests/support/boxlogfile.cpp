#include "boxlogfile.h"
#include <stdlib.h>
#include <sstream>

namespace testsupport {

BoxLogFile::BoxLogFile() : path_(dir_.file("boxes.log")), var_("VISTARO_MESSAGEBOX_LOG", path_) {}

std::vector<LoggedMessage> BoxLogFile::Messages() const {
    std::vector<LoggedMessage> out;
    std::istringstream lines(ReadFile(path_));
    std::string line;
    while (std::getline(lines, line)) {
        size_t a = line.find('\t');
        size_t b = a == std::string::npos ? a : line.find('\t', a + 1);
        if (b == std::string::npos) continue;
        out.push_back({nullptr, line.substr(a + 1, b - a - 1), line.substr(0, a),
                       (UINT)strtoul(line.c_str() + b + 1, nullptr, 16)});
    }
    return out;
}

}  // namespace testsupport
