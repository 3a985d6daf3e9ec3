// Reader of the call trace that the rendering and geometry stand-ins write
// (vxn32.dll, vxg32.dll): one line per call,
//     Name key=value ... -> result [error=...]
// to the file named by the environment variable VISTARO_TRACE.
#pragma once
#include <windows.h>
#include <stdint.h>
#include <string>
#include <utility>
#include <vector>
#include "testsupport.h"

namespace testsupport {

struct TraceCall {
    std::string name;
    std::vector<std::pair<std::string, std::string>> args;  // in line order, extras after "->" too
    std::string result;                                      // the text after "->"
    std::string line;

    bool Has(const std::string& key) const;
    std::string Text(const std::string& key) const;  // "" when absent
    long long Int(const std::string& key) const;     // decimal or 0x hex; 0 when absent
    float Float(const std::string& key) const;
    std::vector<float> Floats(const std::string& key) const;  // "a,b;c,d" -> a, b, c, d
    long long Result() const;
    bool Failed() const { return Has("error"); }
};

std::vector<TraceCall> ParseTrace(const std::string& text);

// Points VISTARO_TRACE at a fresh file for its lifetime (restoring the old
// value after), so the stand-ins loaded in this process trace into it.
class CallTrace {
public:
    CallTrace();
    CallTrace(const CallTrace&) = delete;
    CallTrace& operator=(const CallTrace&) = delete;
    const std::string& path() const { return path_; }
    std::vector<TraceCall> Calls() const;
    std::vector<TraceCall> Calls(const std::string& name) const;  // only calls of that name
    std::vector<std::string> Names() const;                         // call names in order
    void Clear();

private:
    TempDir dir_;
    std::string path_;
    ScopedEnvVar var_;
};

// The checksum the trace gives for loaded texels ("sum"): FNV-1a over the
// bytes of count 32-bit texels.
uint32_t TexelChecksum(const uint32_t* texels, int count);

}  // namespace testsupport
