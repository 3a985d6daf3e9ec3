// Names of a loaded module's routines, read from the COFF symbol table its
// image file carries: how a test tells which routine a slot of the module's
// procedure table holds when the module was loaded rather than linked.
#pragma once

#include <windows.h>

#include <map>
#include <stdint.h>
#include <string>

namespace frames {

class ModuleSymbols {
public:
    explicit ModuleSymbols(HMODULE module);
    // The symbol that starts at address, without the leading underscore of
    // C names; "" when none does.
    std::string NameAt(const void* address) const;
    size_t count() const { return byAddress_.size(); }

private:
    std::map<uintptr_t, std::string> byAddress_;
};

}  // namespace frames
