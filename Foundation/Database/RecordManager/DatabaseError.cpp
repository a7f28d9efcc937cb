#include "Foundation/Database/RecordManager/DatabaseError.h"

#include <cstdarg>
#include <cstddef>
#include <vector>

#include "Foundation/Basis/String/WideFormat.h"

namespace {

// A UTF-16 literal as the library's unsigned short text, converted at
// compile time: the messages stay readable here, and no char16_t text is
// read through an unsigned short pointer.
template <std::size_t N>
struct st_WideText {
    unsigned short au_Units[N];
    constexpr st_WideText(char16_t const (&text)[N]) : au_Units{} {
        for (std::size_t i = 0; i < N; ++i) au_Units[i] = static_cast<unsigned short>(text[i]);
    }
};

constexpr st_WideText so_InvalidFormat(u"Invalid file format in %s");
constexpr st_WideText so_LockFailed(u"Could not obtain lock for %s");
constexpr st_WideText so_UnlockFailed(u"Could not release lock on %s");
constexpr st_WideText so_InsufficientLock(u"Unsufficient lock to perform this operation on file %s");
constexpr st_WideText so_BufferOverflow(u"Buffer overflow (user data, file %s)");
constexpr st_WideText so_CorruptData(u"Corrupt data");
constexpr st_WideText so_InvalidRecordFile(u"Invalid RecordManager file format in %s");
constexpr st_WideText so_InvalidReference(u"Invalid record reference in %s");
constexpr st_WideText so_ResourceMaxCount(u"Resource max count exceeded in %s");
constexpr st_WideText so_ResourceNotFound(u"Resource not found in %s");
constexpr st_WideText so_ResourceExists(u"Resource already exists in %s");
constexpr st_WideText so_InvalidIndexFile(u"Invalid index file format in %s");
constexpr st_WideText so_ReferenceTooLarge(u"Reference too large in %s");
constexpr st_WideText so_KeyTooLong(u"Key too long in %s");
constexpr st_WideText so_IndexFull(u"Index full in %s");
constexpr st_WideText so_KeyExists(u"Key already exists in %s");
constexpr st_WideText so_KeyNotFound(u"Key not found in %s");
constexpr st_WideText so_LocaleMissing(u"Locale not installed");
constexpr st_WideText so_ConversionFailed(u"Unicode to MBCS conversion failed in %s");
constexpr st_WideText so_Empty(u"");
constexpr st_WideText so_Unspecified(u"Unspecified Database Error");

// Codes below this belong to other parts of the application.
unsigned const n_FirstCode = 31000;

}  // namespace

CT_DatabaseError::st_ErrorMessage const CT_DatabaseError::saso_ErrorMessage[] = {
    {31000, so_InvalidFormat.au_Units},
    {31001, so_LockFailed.au_Units},
    {31002, so_UnlockFailed.au_Units},
    {31003, so_InsufficientLock.au_Units},
    {31004, so_BufferOverflow.au_Units},
    {31005, so_CorruptData.au_Units},
    {31050, so_InvalidRecordFile.au_Units},
    {31051, so_InvalidReference.au_Units},
    {31052, so_ResourceMaxCount.au_Units},
    {31053, so_ResourceNotFound.au_Units},
    {31054, so_ResourceExists.au_Units},
    {31100, so_InvalidIndexFile.au_Units},
    {31101, so_ReferenceTooLarge.au_Units},
    {31102, so_KeyTooLong.au_Units},
    {31103, so_IndexFull.au_Units},
    {31104, so_KeyExists.au_Units},
    {31105, so_KeyNotFound.au_Units},
    {31106, so_LocaleMissing.au_Units},
    {31107, so_ConversionFailed.au_Units},
    {31150, so_Empty.au_Units},
    {0, nullptr},
};

unsigned short const* CT_DatabaseError::sqcuz_GetErrorMessage(unsigned nCode) {
    if (nCode < n_FirstCode) return nullptr;
    for (st_ErrorMessage const* entry = saso_ErrorMessage; entry->n_Code != 0; ++entry)
        if (entry->n_Code == nCode) return entry->pcu_Message;
    return nullptr;
}

// The library's formatter always terminates its output, which would cost
// the last of the nMax units. So the text is formatted with room for one
// unit more and copied: nMax units at most, and the zero only when the
// text is shorter than nMax. The usual sizes (a message line) need no heap.
void CT_DatabaseError::sv_FormatError(unsigned short* pBuffer, unsigned nMax, unsigned nCode, ...) {
    if (pBuffer == nullptr || nMax == 0) return;
    unsigned short const* format = sqcuz_GetErrorMessage(nCode);
    if (format == nullptr) format = so_Unspecified.au_Units;
    va_list args;
    va_start(args, nCode);
    if (nMax == 0xFFFFFFFFu) {
        // No room for one more unit to count; no text comes near this size.
        WideFormat::sn_Format(pBuffer, nMax, format, args);
        va_end(args);
        return;
    }
    unsigned short au_Local[1024];
    std::vector<unsigned short> co_Heap;
    unsigned short* text = au_Local;
    if (nMax + 1 > sizeof au_Local / sizeof au_Local[0]) {
        co_Heap.resize(static_cast<std::size_t>(nMax) + 1);
        text = co_Heap.data();
    }
    unsigned length = WideFormat::sn_Format(text, nMax + 1, format, args);
    va_end(args);
    for (unsigned i = 0; i < length; ++i) pBuffer[i] = text[i];
    if (length < nMax) pBuffer[length] = 0;
}
