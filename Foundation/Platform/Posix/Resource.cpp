#include "Foundation/Platform/Resource.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <mutex>

#include "Foundation/Platform/Posix/Utf8Text.h"

namespace Platform {

namespace {

// Few modules register tables (the library itself, perhaps a caller or
// two): a small fixed list is enough.
struct st_Table {
    HINSTANCE h_Module;
    st_StringResource const* pso_Entries;
    unsigned n_Count;
};
st_Table aso_Tables[16];
unsigned n_Tables = 0;
std::mutex o_TablesLock;

char const* qccz_Find(HINSTANCE module, unsigned id) {
    std::lock_guard<std::mutex> lock(o_TablesLock);
    for (unsigned t = 0; t < n_Tables; ++t) {
        if (aso_Tables[t].h_Module != module) continue;
        for (unsigned i = 0; i < aso_Tables[t].n_Count; ++i)
            if (aso_Tables[t].pso_Entries[i].n_Id == id) return aso_Tables[t].pso_Entries[i].qccz_Text;
    }
    return nullptr;
}

}  // namespace

void v_RegisterStringTable(HINSTANCE module, st_StringResource const* table, unsigned count) {
    std::lock_guard<std::mutex> lock(o_TablesLock);
    for (unsigned t = 0; t < n_Tables; ++t) {
        if (aso_Tables[t].h_Module == module) {
            aso_Tables[t].pso_Entries = table;
            aso_Tables[t].n_Count = count;
            return;
        }
    }
    if (n_Tables < sizeof aso_Tables / sizeof aso_Tables[0]) aso_Tables[n_Tables++] = {module, table, count};
}

unsigned n_LoadStringW(HINSTANCE module, unsigned id, unsigned short* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    char const* text = qccz_Find(module, id);
    if (text == nullptr) {
        buffer[0] = 0;
        errno = ENOENT;
        return 0;
    }
    return Posix::n_Utf8ToUtf16(text, strlen(text), buffer, capacity);
}

unsigned n_LoadStringA(HINSTANCE module, unsigned id, char* buffer, unsigned capacity) {
    if (capacity == 0) return 0;
    char const* text = qccz_Find(module, id);
    if (text == nullptr) {
        buffer[0] = 0;
        errno = ENOENT;
        return 0;
    }
    size_t length = strlen(text);
    if (length >= capacity) length = capacity - 1;
    memcpy(buffer, text, length);
    buffer[length] = 0;
    return static_cast<unsigned>(length);
}

int i_MessageBoxA(char const* text, char const* caption, unsigned style) {
    if (pf_MessageBoxHook hook = pf_GetMessageBoxHook()) {
        unsigned short wideText[4096];
        unsigned short wideCaption[1024];
        Posix::n_Utf8ToUtf16(text ? text : "", text ? strlen(text) : 0, wideText, 4096);
        Posix::n_Utf8ToUtf16(caption ? caption : "", caption ? strlen(caption) : 0, wideCaption, 1024);
        return hook(wideText, wideCaption, style);
    }
    // No window system to ask: the box is its text on standard error, and
    // the answer is that of its OK button.
    fprintf(stderr, "[%s]\n%s\n", caption ? caption : "", text ? text : "");
    fflush(stderr);
    return 1;
}

int i_MessageBoxW(unsigned short const* text, unsigned short const* caption, unsigned style) {
    static unsigned short const empty = 0;
    if (pf_MessageBoxHook hook = pf_GetMessageBoxHook()) return hook(text ? text : &empty, caption ? caption : &empty, style);
    char narrowText[4096];
    char narrowCaption[1024];
    Posix::n_Utf16ToUtf8(text ? text : &empty, narrowText, sizeof narrowText);
    Posix::n_Utf16ToUtf8(caption ? caption : &empty, narrowCaption, sizeof narrowCaption);
    return i_MessageBoxA(narrowText, narrowCaption, style);
}

void v_AbortProcess() { abort(); }

}  // namespace Platform
