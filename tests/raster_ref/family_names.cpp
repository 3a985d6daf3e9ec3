#include "family_names.h"

namespace {

// One row of a family's routine list: the base key, the lighting mode, the
// name suffix, and a second key the same routines serve (the affine unlit
// rows also take DEV_SMOOTH).
struct BaseRow {
    uint32_t key;
    uint8_t lightMode;
    const char* suffix;
    uint32_t alsoKey;
};

// Rows every family has, each with and without Z; the 8-bit family adds D.
const BaseRow kSharedRows[] = {
    {0x0, 0, "Fs", 0},
    {0x1, 0, "Ss", 0},
    {0x2, 0, "PTx", 0},
    {0x4002, 0, "PTxTr", 0},
    {0x6, 1, "PTxMRFs", 0},
    {0x7, 1, "PTxMRSs", 0},
    {0x7, 2, "PTxMMSs", 0},
    {0x7, 3, "PTxMSSs", 0},
    {0x4006, 1, "PTxTrMRFs", 0},
    {0x4007, 1, "PTxTrMRSs", 0},
    {0x4007, 2, "PTxTrMMSs", 0},
    {0x4007, 3, "PTxTrMSSs", 0},
    {0x200002, 0, "Tx", 0x200003},
    {0x204002, 0, "TxTr", 0x204003},
    {0x200006, 1, "TxMRFs", 0},
    {0x200007, 1, "TxMRSs", 0},
    {0x200007, 2, "TxMMSs", 0},
    {0x200007, 3, "TxMSSs", 0},
    {0x204006, 1, "TxTrMRFs", 0},
    {0x204007, 1, "TxTrMRSs", 0},
    {0x204007, 2, "TxTrMMSs", 0},
    {0x204007, 3, "TxTrMSSs", 0},
};

// Colour-index rows of the 8-bit family.
const BaseRow kIndexRows[] = {
    {0x100000, 0, "FsI", 0},
    {0x100001, 0, "SsI", 0},
    {0x100002, 0, "PTxI", 0},
    {0x104002, 0, "PTxTrI", 0},
    {0x300002, 0, "TxI", 0},
    {0x304002, 0, "TxTrI", 0},
};

void AddRow(std::vector<RoutineName>& out, const std::string& prefix, const BaseRow& r, bool dither) {
    struct Column { const char* letters; uint32_t add; };
    const Column columns[] = {{"", 0}, {"Z", DEV_DEPTH}, {"D", DEV_DITHER}, {"ZD", DEV_DEPTH | DEV_DITHER}};
    for (const Column& c : columns) {
        if (!dither && (c.add & DEV_DITHER)) continue;
        const std::string name = prefix + "_DevTrapezoids" + r.suffix + c.letters;
        out.push_back({name, r.key + c.add, r.lightMode});
        if (r.alsoKey) out.push_back({name, r.alsoKey + c.add, r.lightMode});
    }
}

}  // namespace

std::vector<RoutineName> FamilyRoutines(const std::string& prefix) {
    const bool eightBit = prefix == "BPP08";
    std::vector<RoutineName> out;
    for (const BaseRow& r : kSharedRows) AddRow(out, prefix, r, eightBit);
    if (eightBit)
        for (const BaseRow& r : kIndexRows) AddRow(out, prefix, r, true);
    return out;
}
