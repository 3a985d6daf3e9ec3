#include "direct_support.h"

static DWORD WINAPI Windows95() { return 0xC0000004; }

DciStandInConfig DirectTest::Surface(int bits, int width, int height)
{
    DciStandInConfig c = {};
    c.width = width;
    c.height = height;
    c.stride = ((width * ((bits + 7) / 8)) + 255) & ~255;  // a pitch wider than the row
    c.bitCount = bits;
    if (bits == 16) {
        c.masks[0] = 0xf800, c.masks[1] = 0x7e0, c.masks[2] = 0x1f;
    } else if (bits > 16) {
        c.masks[0] = 0xff0000, c.masks[1] = 0xff00, c.masks[2] = 0xff;
    }
    return c;
}

void DirectTest::Begin(int bits, int width, int height)
{
    if (!terminated_ && g_directMode) TearDown();
    terminated_ = false;
    DevSeamVersion(Windows95);
    g_platformId = GetPlatformId();
    g_dirtyShift = 4;
    g_dirtyWidthClass = 0xffffffffu;
    DciStandInConfig c = Surface(bits, width, height);
    DciStandInConfigure(&c);
    info_ = drvtest::Device(640, 480, (uint16_t)bits, c.masks[0], c.masks[1], c.masks[2]);
    ASSERT_EQ(1u, DevInitialize(&info_));
    ASSERT_EQ(1u, g_directMode);
    ASSERT_EQ(1u, g_dciWin95);
}

void DirectTest::TearDown()
{
    for (auto& c : contexts_) {
        if ((*c)->driverBlock) {
            DevBufferDelete(c->get(), 0x4c0);
            DevContextDelete(c->get());
        }
    }
    contexts_.clear();
    DevTerminate();
    DevSeamVersion(nullptr);
    terminated_ = true;
}

std::unique_ptr<drvtest::Context> DirectTest::NewContext(int16_t x0, int16_t y0, int16_t x1, int16_t y1)
{
    std::unique_ptr<drvtest::Context> c(new drvtest::Context(&base_));
    c->SetWindow(x0, y0, x1, y1);
    (*c)->hdc = WindowDc();
    EXPECT_EQ(1u, DevContextCreate(c->get()));
    return c;
}

static drvtest::TestWindow& SharedWindow()
{
    static drvtest::TestWindow* window = new drvtest::TestWindow(0, 0, 64, 64);
    return *window;
}

HDC DirectTest::WindowDc() { return SharedWindow().dc(); }
HWND DirectTest::Window() { return SharedWindow().hwnd(); }

DciStandInCounters DirectTest::Counters()
{
    DciStandInCounters c;
    DciStandInGetCounters(&c);
    return c;
}

namespace {

using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFn = HGLOBAL(WINAPI*)(HGLOBAL);

struct Ledger {
    GlobalAllocFn alloc;
    GlobalFreeFn free;
    void** allocSlot;
    void** freeSlot;
    int calls, failAt;
    std::set<HGLOBAL> live;
} s_ledger;

HGLOBAL WINAPI LedgerAlloc(UINT flags, SIZE_T size)
{
    if (++s_ledger.calls == s_ledger.failAt) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return NULL;
    }
    HGLOBAL h = s_ledger.alloc(flags, size);
    if (h) s_ledger.live.insert(h);
    return h;
}

HGLOBAL WINAPI LedgerFree(HGLOBAL h)
{
    s_ledger.live.erase(h);
    return s_ledger.free(h);
}

// The import-table slot of a KERNEL32 function in this program.
void** ImportSlot(const char* name)
{
    uint8_t* image = (uint8_t*)GetModuleHandleA(NULL);
    IMAGE_NT_HEADERS* nt = (IMAGE_NT_HEADERS*)(image + ((IMAGE_DOS_HEADER*)image)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (IMAGE_IMPORT_DESCRIPTOR* d = (IMAGE_IMPORT_DESCRIPTOR*)(image + dir.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA((const char*)(image + d->Name), "KERNEL32.dll") != 0) continue;
        IMAGE_THUNK_DATA* names = (IMAGE_THUNK_DATA*)(image + d->OriginalFirstThunk);
        IMAGE_THUNK_DATA* slots = (IMAGE_THUNK_DATA*)(image + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            IMAGE_IMPORT_BY_NAME* byName = (IMAGE_IMPORT_BY_NAME*)(image + names->u1.AddressOfData);
            if (strcmp((const char*)byName->Name, name) == 0) return (void**)&slots->u1.Function;
        }
    }
    return nullptr;
}

void* Patch(void** slot, void* fn)
{
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    void* was = *slot;
    *slot = fn;
    VirtualProtect(slot, sizeof *slot, old, &old);
    return was;
}

}  // namespace

GlobalLedger::GlobalLedger()
{
    s_ledger.calls = s_ledger.failAt = 0;
    s_ledger.live.clear();
    s_ledger.allocSlot = ImportSlot("GlobalAlloc");
    s_ledger.freeSlot = ImportSlot("GlobalFree");
    if (!s_ledger.allocSlot || !s_ledger.freeSlot) {
        ADD_FAILURE() << "GlobalAlloc and GlobalFree are not imported by this program";
        s_ledger.allocSlot = s_ledger.freeSlot = nullptr;
        return;
    }
    s_ledger.alloc = (GlobalAllocFn)Patch(s_ledger.allocSlot, (void*)LedgerAlloc);
    s_ledger.free = (GlobalFreeFn)Patch(s_ledger.freeSlot, (void*)LedgerFree);
}

GlobalLedger::~GlobalLedger()
{
    if (!s_ledger.allocSlot) return;
    Patch(s_ledger.allocSlot, (void*)s_ledger.alloc);
    Patch(s_ledger.freeSlot, (void*)s_ledger.free);
    s_ledger.allocSlot = s_ledger.freeSlot = nullptr;
}

void GlobalLedger::FailCall(int n) { s_ledger.failAt = n ? s_ledger.calls + n : 0; }
int GlobalLedger::Live() const { return (int)s_ledger.live.size(); }
int GlobalLedger::Calls() const { return s_ledger.calls; }
