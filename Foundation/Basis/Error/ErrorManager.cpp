#include "Foundation/Basis/Error/ErrorManager.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <new>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Basis/String/WideFormat.h"
#include "Foundation/System/String/StringConvert.h"
#include "Foundation/System/SysInfo/LoadString.h"
#include "Foundation/System/SysInfo/OS.h"
#include "Foundation/Platform/Resource.h"
#include "Foundation/Platform/SystemError.h"
#include "Foundation/Platform/TextUnicode.h"
#include "Foundation/Platform/Thread.h"

CT_ErrorManager* CT_ErrorManager::spco_ErrorManager = nullptr;
HINSTANCE CT_ErrorManager::sh_Instance = nullptr;
unsigned short const CT_ErrorManager::sau_ErrorFormat[] = {'(', '%', 'd', ')', ':', ' ', '%', 's', 0};
unsigned short CT_ErrorManager::sau_MessageBuffer[CT_ErrorManager::e_MessageSize];
unsigned short CT_ErrorManager::sau_LoadBuffer[CT_ErrorManager::e_MessageSize];

namespace {

unsigned short const u_Empty = 0;

using StringText::sn_Length;

// Formats into a wide array of capacity units, always terminated.
void v_Format(unsigned short* out, unsigned capacity, unsigned short const* format, ...) {
    va_list args;
    va_start(args, format);
    WideFormat::sn_Format(out, capacity, format, args);
    va_end(args);
}

}  // namespace

void CT_ErrorManager::sv_Init() {
    if (spco_ErrorManager == nullptr) spco_ErrorManager = new CT_ErrorManager(e_ErrorCount, e_LocationCount);
}

void CT_ErrorManager::sv_Exit() {
    delete spco_ErrorManager;
    spco_ErrorManager = nullptr;
}

CT_ErrorManager::CT_ErrorManager(unsigned errors, unsigned locations)
    : co_MapItems(sizeof(st_mapItem*)),
      n_ErrorCount(errors),
      pso_Errors(new st_error[errors]),
      pso_FreeErrors(nullptr),
      pso_ActiveErrors(nullptr),
      pso_HeldErrors(nullptr),
      n_LocationCount(locations),
      pso_Locations(new st_location[locations]),
      pso_FreeLocations(nullptr),
      b_InterruptOnError(0),
      b_DebugMessageOnError(1) {
    // Both pools are chained into their free lists in array order.
    std::memset(pso_Errors, 0, sizeof(st_error) * errors);
    std::memset(pso_Locations, 0, sizeof(st_location) * n_LocationCount);
    for (unsigned i = errors; i-- > 0;) {
        pso_Errors[i].pso_Next = pso_FreeErrors;
        pso_FreeErrors = &pso_Errors[i];
    }
    for (unsigned i = n_LocationCount; i-- > 0;) {
        pso_Locations[i].pso_Next = pso_FreeLocations;
        pso_FreeLocations = &pso_Locations[i];
    }
}

CT_ErrorManager::~CT_ErrorManager() {
    for (unsigned i = co_MapItems.n_GetCount(); i > 0; --i) {
        st_mapItem* item = nullptr;
        co_MapItems.v_GetAt(&item, static_cast<int>(i));
        delete item;
    }
    // Records of threads beyond the pool live on the heap (see
    // pso_CreateRecord); any still active or held go now.
    for (st_error** list : {&pso_ActiveErrors, &pso_HeldErrors}) {
        while (*list) {
            st_error* record = *list;
            *list = record->pso_Next;
            if (record < pso_Errors || record >= pso_Errors + n_ErrorCount) delete record;
        }
    }
    delete[] pso_Errors;
    delete[] pso_Locations;
}

CT_ErrorManager::st_error* CT_ErrorManager::pso_Find(st_error* list, unsigned thread) const {
    for (st_error* record = list; record; record = record->pso_Next)
        if (record->n_Thread == thread) return record;
    return nullptr;
}

CT_ErrorManager::st_error* CT_ErrorManager::pso_Current() const {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_error* record = pso_Find(pso_ActiveErrors, thread);
    return record ? record : pso_Find(pso_HeldErrors, thread);
}

CT_ErrorManager::st_error* CT_ErrorManager::pso_CreateRecord(unsigned code, HINSTANCE module, unsigned formatId) {
    unsigned thread = Platform::n_GetCurrentThreadId();
    st_error* record;
    {
        Platform::CriticalSectionLock lock(co_Lock);
        // The first error since the last clear is the one that stays.
        if (pso_Find(pso_ActiveErrors, thread)) return nullptr;
        if (st_error* held = pso_Find(pso_HeldErrors, thread)) v_DestroyRecord(held, &pso_HeldErrors);
        record = pso_FreeErrors;
        if (record) {
            pso_FreeErrors = record->pso_Next;
        } else {
            // Every pooled record belongs to another thread. Dropping this
            // error would let the caller go on as if its call had worked,
            // so the record comes from the heap instead; it goes back there
            // when it is destroyed, and the pool is never overrun.
            record = new (std::nothrow) st_error;
            if (record == nullptr) return nullptr;
            std::memset(record, 0, sizeof *record);
        }
        record->pso_Next = pso_ActiveErrors;
        pso_ActiveErrors = record;
        n_ActiveRecords.fetch_add(1, std::memory_order_relaxed);
        record->n_Thread = thread;
    }
    // The rest of the record is the thread's own: no lock needed.
    record->n_Code = code;
    record->h_Module = module ? module : sh_Instance;
    record->n_FormatId = formatId;
    record->au_Message[0] = 0;
    record->n_LocationCount = 0;
    record->pso_FirstLocation = nullptr;
    record->pso_LastLocation = nullptr;
    record->b_Ignore = 0;
    return record;
}

// Called with the lock held.
void CT_ErrorManager::v_DestroyRecord(st_error* record, st_error** list) {
    for (st_location* location = record->pso_FirstLocation; location;) {
        st_location* next = location->pso_Next;
        location->qccz_File = nullptr;
        location->n_Line = 0;
        location->pso_Next = pso_FreeLocations;
        pso_FreeLocations = location;
        location = next;
    }
    for (st_error** link = list; *link; link = &(*link)->pso_Next) {
        if (*link == record) {
            *link = record->pso_Next;
            if (list == &pso_ActiveErrors) n_ActiveRecords.fetch_sub(1, std::memory_order_relaxed);
            break;
        }
    }
    if (record < pso_Errors || record >= pso_Errors + n_ErrorCount) {
        delete record;
        return;
    }
    record->h_Module = nullptr;
    record->n_Thread = 0;
    record->n_Code = 0;
    record->n_FormatId = 0;
    record->au_Message[0] = 0;
    record->n_LocationCount = 0;
    record->pso_FirstLocation = nullptr;
    record->pso_LastLocation = nullptr;
    record->b_Ignore = 0;
    record->pso_Next = pso_FreeErrors;
    pso_FreeErrors = record;
}

CT_ErrorManager::pf_MapFunction CT_ErrorManager::pf_FindMapFunction(unsigned thread) const {
    Platform::CriticalSectionLock lock(co_Lock);
    for (unsigned i = co_MapItems.n_GetCount(); i > 0; --i) {
        st_mapItem* item = nullptr;
        co_MapItems.v_GetAt(&item, static_cast<int>(i));
        if (item->n_Thread == thread) return item->pf_Function;
    }
    return nullptr;
}

void CT_ErrorManager::v_PrefixCode(st_error* record) {
    unsigned short text[e_MessageSize];
    std::memcpy(text, record->au_Message, sizeof text);
    v_Format(record->au_Message, e_MessageSize, sau_ErrorFormat, static_cast<int>(record->n_Code), text);
}

// Lets the thread's mapping function, if it has one, write the message;
// true when it did. The arguments stay unread for the caller.
int CT_ErrorManager::b_MapMessage(st_error* record, unsigned formatId, va_list args) {
    pf_MapFunction map = pf_FindMapFunction(record->n_Thread);
    if (map == nullptr) return 0;
    va_list copy;
    va_copy(copy, args);
    int mapped = map(record->au_Message, sizeof record->au_Message, record->n_Code, formatId, copy);
    va_end(copy);
    record->au_Message[e_MessageSize - 1] = 0;
    return mapped;
}

void CT_ErrorManager::v_SetError(unsigned code, HINSTANCE module, unsigned formatId, ...) {
    st_error* record = pso_CreateRecord(code, module, formatId);
    if (record == nullptr) return;
    va_list args;
    va_start(args, formatId);
    if (!b_MapMessage(record, formatId, args)) {
        // The format is loaded into the caller's own stack rather than the
        // shared sau_LoadBuffer: threads that set errors at the same moment
        // then cannot garble each other's messages. sau_LoadBuffer stays
        // for callers that read it, filled by nothing of the library's.
        unsigned short format[e_MessageSize];
        CT_LoadString::sv_LoadString(format, e_MessageSize, record->h_Module, formatId);
        WideFormat::sn_Format(record->au_Message, e_MessageSize, format, args);
    }
    va_end(args);
    v_PrefixCode(record);
}

void CT_ErrorManager::v_SetError(unsigned code, unsigned short const* format, ...) {
    st_error* record = pso_CreateRecord(code, nullptr, 0);
    if (record == nullptr) return;
    va_list args;
    va_start(args, format);
    // The code stands in the place of the format id.
    if (!b_MapMessage(record, code, args)) WideFormat::sn_Format(record->au_Message, e_MessageSize, format ? format : &u_Empty, args);
    va_end(args);
    v_PrefixCode(record);
}

void CT_ErrorManager::v_SetMessageError(char const* format, va_list argList) {
    st_error* record = pso_CreateRecord(0, nullptr, 0);
    if (record == nullptr) return;
    char narrow[e_MessageSize];
    std::vsnprintf(narrow, sizeof narrow, format ? format : "", argList);
    // By the runtime's multibyte conversion under its current locale; an
    // empty text gives an empty message.
    Platform::n_RuntimeMultiToWide(narrow, record->au_Message, e_MessageSize);
}

void CT_ErrorManager::v_SetMessageError(unsigned short const* format, va_list argList) {
    st_error* record = pso_CreateRecord(0, nullptr, 0);
    if (record == nullptr) return;
    WideFormat::sn_Format(record->au_Message, e_MessageSize, format ? format : &u_Empty, argList);
}

void CT_ErrorManager::v_SetMessageError(char const* format, ...) {
    // The narrow format is made wide first, so its string arguments are
    // read as wide strings. An empty format stays the empty text.
    bool empty = format == nullptr || *format == 0;
    CT_UString wide(empty ? "" : format, ~0u, 0);
    va_list args;
    va_start(args, format);
    v_SetMessageError(empty ? &u_Empty : wide.qcuz_Get(), args);
    va_end(args);
}

void CT_ErrorManager::v_SetMessageError(unsigned short const* format, ...) {
    va_list args;
    va_start(args, format);
    v_SetMessageError(format, args);
    va_end(args);
}

// Removes trailing line ends; every other CR or LF becomes a space, except
// one directly after a space, which goes.
static void sv_FoldLines(unsigned short* text) {
    unsigned length = sn_Length(text);
    while (length > 0 && (text[length - 1] == 13 || text[length - 1] == 10)) text[--length] = 0;
    unsigned out = 0;
    for (unsigned i = 0; i < length; ++i) {
        unsigned short c = text[i];
        if (c == 13 || c == 10) {
            if (out > 0 && text[out - 1] == ' ') continue;
            c = ' ';
        }
        text[out++] = c;
    }
    text[out] = 0;
}

void CT_ErrorManager::v_SetSystemMessage(st_error* record, unsigned code) {
    unsigned short text[e_MessageSize];
    if (CT_OS::sb_GetIsWindowsNT()) {
        Platform::n_GetSystemMessageW(code, text, e_MessageSize);
    } else {
        // The narrow text in the system's code page. Only its characters
        // are converted, never the terminator alone: a system without a
        // text for the code gives an empty text.
        char narrow[e_MessageSize];
        unsigned length = Platform::n_GetSystemMessage(code, narrow, sizeof narrow);
        int written = length ? CT_StringConvert::si_MultiToWide(text, narrow, length, 0) : 0;
        if (written < 0) written = 0;
        if (written > static_cast<int>(e_MessageSize) - 1) written = e_MessageSize - 1;
        text[written] = 0;
    }
    sv_FoldLines(text);
    v_Format(record->au_Message, e_MessageSize, sau_ErrorFormat, static_cast<int>(code), text);
}

void CT_ErrorManager::v_SetSystemError() {
    unsigned code = Platform::n_GetLastError();
    st_error* record = pso_CreateRecord(code, nullptr, 0);
    // Without a record the call does nothing more: the thread's last error
    // is left as it was (put back, should making the record have moved it).
    if (record == nullptr) {
        Platform::v_SetLastError(code);
        return;
    }
    v_SetSystemMessage(record, code);
    Platform::v_SetLastError(0);
}

void CT_ErrorManager::v_AppendName(st_error* record, unsigned short const* format, va_list args) {
    unsigned length = sn_Length(record->au_Message);
    if (length > 0 && record->au_Message[length - 1] == ' ') record->au_Message[--length] = 0;
    unsigned short name[e_MessageSize];
    WideFormat::sn_Format(name, e_MessageSize, format ? format : &u_Empty, args);
    static unsigned short const sau_NameFormat[] = {'%', 's', ' ', '[', '%', 's', ']', 0};
    unsigned short text[e_MessageSize];
    std::memcpy(text, record->au_Message, sizeof text);
    v_Format(record->au_Message, e_MessageSize, sau_NameFormat, text, name);
}

void CT_ErrorManager::v_SetSystemError(unsigned short const* format, ...) {
    unsigned code = Platform::n_GetLastError();
    st_error* record = pso_CreateRecord(code, nullptr, 0);
    if (record == nullptr) {
        Platform::v_SetLastError(code);  // left as it was, as above
        return;
    }
    v_SetSystemMessage(record, code);
    va_list args;
    va_start(args, format);
    v_AppendName(record, format, args);
    va_end(args);
    Platform::v_SetLastError(0);
}

void CT_ErrorManager::v_SetSystemErrorName(char const* name) {
    CT_UString wide(name ? name : "", ~0u, 0);
    static unsigned short const sau_Text[] = {'%', 's', 0};
    v_SetSystemError(sau_Text, wide.qcuz_Get());
}

int CT_ErrorManager::b_IsSetError() const {
    if (n_ActiveRecords.load(std::memory_order_relaxed) == 0) return 0;
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_error* record = pso_Find(pso_ActiveErrors, thread);
    return record != nullptr && record->b_Ignore == 0;
}

int CT_ErrorManager::b_IsHoldError() const {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    return pso_Find(pso_HeldErrors, thread) != nullptr;
}

// Reads on a thread without any error give neutral answers: code and
// format id 0, an empty message, no locations.
unsigned CT_ErrorManager::n_GetErrorCode() const {
    st_error* record = pso_Current();
    return record ? record->n_Code : 0;
}

unsigned CT_ErrorManager::n_GetFormatID() const {
    st_error* record = pso_Current();
    return record ? record->n_FormatId : 0;
}

unsigned short const* CT_ErrorManager::qcuz_GetErrorMessage() const {
    st_error* record = pso_Current();
    return record ? record->au_Message : &u_Empty;
}

unsigned CT_ErrorManager::n_GetLocationCount() const {
    st_error* record = pso_Current();
    return record ? record->n_LocationCount : 0;
}

char const* CT_ErrorManager::qccz_GetLocationFileAt(unsigned index) const {
    st_error* record = pso_Current();
    if (record == nullptr || index == 0 || index > record->n_LocationCount) return nullptr;
    st_location* location = record->pso_FirstLocation;
    for (unsigned i = 1; i < index; ++i) location = location->pso_Next;
    return location->qccz_File;
}

unsigned CT_ErrorManager::n_GetLocationLineAt(unsigned index) const {
    st_error* record = pso_Current();
    if (record == nullptr || index == 0 || index > record->n_LocationCount) return 0;
    st_location* location = record->pso_FirstLocation;
    for (unsigned i = 1; i < index; ++i) location = location->pso_Next;
    return location->n_Line;
}

void CT_ErrorManager::v_AddLocation(char const* file, unsigned line) {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_error* record = pso_Find(pso_ActiveErrors, thread);
    if (record == nullptr || pso_FreeLocations == nullptr) return;
    st_location* location = pso_FreeLocations;
    pso_FreeLocations = location->pso_Next;
    location->qccz_File = file;
    location->n_Line = line;
    location->pso_Next = nullptr;
    if (record->pso_LastLocation) record->pso_LastLocation->pso_Next = location;
    else record->pso_FirstLocation = location;
    record->pso_LastLocation = location;
    ++record->n_LocationCount;
}

void CT_ErrorManager::v_HoldError() {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    st_error* record = pso_Find(pso_ActiveErrors, thread);
    if (record == nullptr) return;
    for (st_error** link = &pso_ActiveErrors; *link; link = &(*link)->pso_Next) {
        if (*link == record) {
            *link = record->pso_Next;
            n_ActiveRecords.fetch_sub(1, std::memory_order_relaxed);
            break;
        }
    }
    record->pso_Next = pso_HeldErrors;
    pso_HeldErrors = record;
}

void CT_ErrorManager::v_ClearError() {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    if (st_error* record = pso_Find(pso_ActiveErrors, thread)) v_DestroyRecord(record, &pso_ActiveErrors);
    else if (st_error* held = pso_Find(pso_HeldErrors, thread)) v_DestroyRecord(held, &pso_HeldErrors);
}

void CT_ErrorManager::v_SetIgnoreError(int ignore) {
    unsigned thread = Platform::n_GetCurrentThreadId();
    Platform::CriticalSectionLock lock(co_Lock);
    if (st_error* record = pso_Find(pso_ActiveErrors, thread)) record->b_Ignore = ignore;
}

void CT_ErrorManager::v_SetMapFunction(pf_MapFunction function, unsigned thread) {
    st_mapItem* item = new st_mapItem{thread, function};
    Platform::CriticalSectionLock lock(co_Lock);
    co_MapItems.v_Insert(&item);
}

void CT_ErrorManager::v_RemoveMapFunction(unsigned thread) {
    Platform::CriticalSectionLock lock(co_Lock);
    for (unsigned i = co_MapItems.n_GetCount(); i > 0; --i) {
        st_mapItem* item = nullptr;
        co_MapItems.v_GetAt(&item, static_cast<int>(i));
        if (item->n_Thread == thread) {
            co_MapItems.v_RemoveAt(i);
            delete item;
            return;
        }
    }
}

unsigned CT_ErrorManager::n_GetFreeRecords() const {
    Platform::CriticalSectionLock lock(co_Lock);
    unsigned n = 0;
    for (st_error* record = pso_FreeErrors; record; record = record->pso_Next) ++n;
    return n;
}

unsigned CT_ErrorManager::n_GetFreeLocations() const {
    Platform::CriticalSectionLock lock(co_Lock);
    unsigned n = 0;
    for (st_location* location = pso_FreeLocations; location; location = location->pso_Next) ++n;
    return n;
}

int CT_ErrorManager::i_ErrorLocationWindow(unsigned titleId, unsigned short const* title, unsigned style) const {
    st_error* record = pso_Current();
    // Without an error there is nothing to show: no box, result 0.
    if (record == nullptr) return 0;
    unsigned short* buffer = sau_MessageBuffer;
    unsigned const size = e_MessageSize;
    // 1. The caption at the start of the buffer.
    buffer[0] = 0;
    if (title) {
        unsigned n = 0;
        for (; title[n] && n + 1 < size; ++n) buffer[n] = title[n];
        buffer[n] = 0;
    } else if (titleId != 0) {
        CT_LoadString::sv_LoadString(buffer, size, record->h_Module, titleId);
    }
    unsigned captionLength = sn_Length(buffer);
    // A caption that fills the buffer is cut so that the text after it
    // keeps room at least for its terminator.
    if (captionLength > size - 2) {
        captionLength = size - 2;
        buffer[captionLength] = 0;
    }
    unsigned short* text = buffer + captionLength + 1;
    unsigned room = size - captionLength - 1;
    // 2. The message and two line breaks.
    static unsigned short const sau_MessageFormat[] = {'%', 's', '\n', '\n', 0};
    v_Format(text, room, sau_MessageFormat, record->au_Message);
    unsigned used = sn_Length(text);
    // 3. One line per location, first to last, while there is room.
    static unsigned short const sau_LineFormat[] = {'%', 's', ':', ' ', 'l', 'i', 'n', 'e', ' ', '%', 'd', '\n', 0};
    static char const sac_Unknown[] = "(unknown file)";
    for (st_location* location = record->pso_FirstLocation; location && used + 1 < room; location = location->pso_Next) {
        char const* file = location->qccz_File ? location->qccz_File : "";
        char const* name = std::strrchr(file, '\\');
        if (name == nullptr) name = std::strrchr(file, '/');
        name = name ? name + 1 : sac_Unknown;
        // By the runtime's multibyte conversion; a name longer than the
        // whole buffer could show is cut there.
        unsigned short wideName[e_MessageSize];
        Platform::n_RuntimeMultiToWide(name, wideName, e_MessageSize);
        v_Format(text + used, room - used, sau_LineFormat, wideName, static_cast<int>(location->n_Line));
        used = sn_Length(text);
    }
    // 4. Drop the last line break, or both after a message without
    // locations.
    if (record->n_LocationCount == 0) {
        for (int i = 0; i < 2 && used > 0 && text[used - 1] == '\n'; ++i) text[--used] = 0;
    } else if (used > 0 && text[used - 1] == '\n') {
        text[--used] = 0;
    }
    // 5. The box, brought to the foreground.
    unsigned const e_SetForeground = 0x10000;
    int result;
    if (CT_OS::sb_GetIsWindowsNT()) {
        result = Platform::i_MessageBoxW(text, buffer, style | e_SetForeground);
    } else {
        CT_CString narrowText(text, ~0u, 0);
        CT_CString narrowCaption(buffer, ~0u, 0);
        result = Platform::i_MessageBoxA(narrowText.qccz_Get(), narrowCaption.qccz_Get(), style | e_SetForeground);
    }
    // 6. Abort ends the process at once.
    if (result == 3) Platform::v_AbortProcess();
    return result;
}
