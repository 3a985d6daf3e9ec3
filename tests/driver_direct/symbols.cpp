#include "symbols.h"

#include <stdio.h>
#include <string.h>
#include <vector>

namespace frames {

namespace {

std::vector<uint8_t> ReadImage(HMODULE module)
{
    char path[MAX_PATH];
    if (!GetModuleFileNameA(module, path, sizeof path)) return {};
    FILE* f = fopen(path, "rb");
    if (!f) return {};
    std::vector<uint8_t> bytes;
    uint8_t chunk[65536];
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) bytes.insert(bytes.end(), chunk, chunk + n);
    fclose(f);
    return bytes;
}

template <class T>
bool At(const std::vector<uint8_t>& b, size_t offset, T* out)
{
    if (offset > b.size() || b.size() - offset < sizeof(T)) return false;
    memcpy(out, b.data() + offset, sizeof(T));
    return true;
}

}  // namespace

ModuleSymbols::ModuleSymbols(HMODULE module)
{
    const std::vector<uint8_t> b = ReadImage(module);
    IMAGE_DOS_HEADER dos;
    if (!At(b, 0, &dos) || dos.e_magic != IMAGE_DOS_SIGNATURE) return;
    const size_t nt = (size_t)dos.e_lfanew;
    DWORD signature;
    IMAGE_FILE_HEADER file;
    if (!At(b, nt, &signature) || signature != IMAGE_NT_SIGNATURE || !At(b, nt + 4, &file)) return;
    const size_t sections = nt + 4 + sizeof file + file.SizeOfOptionalHeader;
    std::vector<IMAGE_SECTION_HEADER> section(file.NumberOfSections);
    for (size_t i = 0; i < section.size(); ++i)
        if (!At(b, sections + i * sizeof(IMAGE_SECTION_HEADER), &section[i])) return;
    const size_t symbols = file.PointerToSymbolTable;
    const size_t strings = symbols + (size_t)file.NumberOfSymbols * IMAGE_SIZEOF_SYMBOL;
    for (DWORD i = 0; i < file.NumberOfSymbols; ++i) {
        IMAGE_SYMBOL s;
        if (!At(b, symbols + (size_t)i * IMAGE_SIZEOF_SYMBOL, &s)) return;
        const DWORD aux = s.NumberOfAuxSymbols;
        i += aux;
        if (s.SectionNumber <= 0 || (size_t)s.SectionNumber > section.size()) continue;
        if (!(section[s.SectionNumber - 1].Characteristics & IMAGE_SCN_CNT_CODE)) continue;
        if (s.StorageClass != IMAGE_SYM_CLASS_EXTERNAL && s.StorageClass != IMAGE_SYM_CLASS_STATIC) continue;
        std::string name;
        if (s.N.Name.Short) {
            name.assign((const char*)s.N.ShortName, strnlen((const char*)s.N.ShortName, 8));
        } else {
            const size_t at = strings + s.N.Name.Long;
            if (at >= b.size()) continue;
            name.assign((const char*)b.data() + at, strnlen((const char*)b.data() + at, b.size() - at));
        }
        if (name.empty() || name[0] == '.') continue;
        if (name[0] == '_') name.erase(0, 1);
        const uintptr_t address = (uintptr_t)module + section[s.SectionNumber - 1].VirtualAddress + s.Value;
        // A global name wins over a local label at the same place.
        if (s.StorageClass == IMAGE_SYM_CLASS_EXTERNAL || !byAddress_.count(address)) byAddress_[address] = name;
    }
}

std::string ModuleSymbols::NameAt(const void* address) const
{
    auto it = byAddress_.find((uintptr_t)address);
    return it == byAddress_.end() ? std::string() : it->second;
}

}  // namespace frames
