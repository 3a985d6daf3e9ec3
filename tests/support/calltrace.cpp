#include "calltrace.h"
#include <stdlib.h>
#include <sstream>

namespace testsupport {

bool TraceCall::Has(const std::string& key) const {
    for (auto& a : args)
        if (a.first == key) return true;
    return false;
}

std::string TraceCall::Text(const std::string& key) const {
    for (auto& a : args)
        if (a.first == key) return a.second;
    return "";
}

long long TraceCall::Int(const std::string& key) const { return strtoll(Text(key).c_str(), nullptr, 0); }

float TraceCall::Float(const std::string& key) const { return strtof(Text(key).c_str(), nullptr); }

std::vector<float> TraceCall::Floats(const std::string& key) const {
    std::vector<float> out;
    std::string s = Text(key);
    const char* p = s.c_str();
    while (*p) {
        char* end;
        float f = strtof(p, &end);
        if (end == p) break;
        out.push_back(f);
        p = end;
        if (*p == ',' || *p == ';') p++;
    }
    return out;
}

long long TraceCall::Result() const { return strtoll(result.c_str(), nullptr, 0); }

std::vector<TraceCall> ParseTrace(const std::string& text) {
    std::vector<TraceCall> calls;
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        TraceCall call;
        call.line = line;
        std::istringstream words(line);
        words >> call.name;
        std::string word;
        bool afterArrow = false;
        while (words >> word) {
            if (word == "->") {
                afterArrow = true;
                words >> call.result;
                continue;
            }
            size_t eq = word.find('=');
            if (eq == std::string::npos) continue;
            call.args.emplace_back(word.substr(0, eq), word.substr(eq + 1));
        }
        (void)afterArrow;
        calls.push_back(call);
    }
    return calls;
}

CallTrace::CallTrace() : path_(dir_.file("trace.txt")), var_("VISTARO_TRACE", path_) {}

std::vector<TraceCall> CallTrace::Calls() const { return ParseTrace(ReadFile(path_)); }

std::vector<TraceCall> CallTrace::Calls(const std::string& name) const {
    std::vector<TraceCall> out;
    for (auto& c : Calls())
        if (c.name == name) out.push_back(c);
    return out;
}

std::vector<std::string> CallTrace::Names() const {
    std::vector<std::string> out;
    for (auto& c : Calls()) out.push_back(c.name);
    return out;
}

void CallTrace::Clear() { DeleteFileA(path_.c_str()); }

uint32_t TexelChecksum(const uint32_t* texels, int count) {
    uint32_t h = 2166136261u;
    const uint8_t* p = (const uint8_t*)texels;
    for (int i = 0; i < count * 4; i++) h = (h ^ p[i]) * 16777619u;
    return h;
}

}  // namespace testsupport
