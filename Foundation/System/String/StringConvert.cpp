#include "Foundation/System/String/StringConvert.h"

#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/CodePage.h"
#include "Foundation/Platform/SystemError.h"
#include "Foundation/System/String/UTF.h"

namespace {

enum : unsigned { e_UTF7 = 65000, e_UTF8 = 65001 };

// Where the conversions report their failures: the library's source path
// and the line of each report.
char const acz_Location[] = "Foundation/System/String/StringConvert";
enum : unsigned { e_LineWideToMulti = 196, e_LineWideToUTF7 = 422, e_LineWideToUTF8 = 567 };

// A failed conversion is a system error of the calling thread, at this
// file and the line of the report. Before the error manager exists (and
// after it is gone, at unload) there is nobody to tell.
void sv_ReportFailure(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (errors == nullptr) return;
    errors->v_SetSystemError();
    errors->v_AddLocation(acz_Location, line);
}

using StringText::sn_Length;

// 65000 and 65001 are the library's own coders; any code page the system
// does not know (~0 and ~1 among them) is the ANSI code page.
unsigned n_ResolveCodePage(unsigned codePage) {
    if (codePage == e_UTF7 || codePage == e_UTF8) return codePage;
    return Platform::b_IsValidCodePage(codePage) ? codePage : 0;
}

// The room the narrow pointer form needs for count units (terminator of
// the string forms included).
unsigned n_NarrowRoom(unsigned count, unsigned codePage) {
    switch (n_ResolveCodePage(codePage)) {
    case e_UTF7: return count * 3 + 3;
    case e_UTF8: return count * 3 + 1;
    default: return count * 2 + 2;
    }
}

// Unshares a string's buffer and gives it room for size bytes (its content
// dropped when it must grow); the bytes to write to.
void* pv_MakeRoom(CT_Buffer& buffer, unsigned size) {
    buffer.v_CopyWeWrite();
    buffer.v_SetMinSize(size, 0);
    return const_cast<void*>(buffer.qcv_Get());
}

}  // namespace

// Narrow to wide.

int CT_StringConvert::si_MultiToWide(unsigned short* target, char const* source, unsigned count, unsigned codePage) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source)) + 1;
    codePage = n_ResolveCodePage(codePage);
    if (codePage == e_UTF7) return si_UTF7ToWide(target, source, count);
    if (codePage == e_UTF8) return si_UTF8ToWide(target, source, count);
    int written = Platform::i_MultiToWide(codePage, source, count, target, count);
    if (written == 1 && target[0] == 0) target[0] = '?';
    return written;
}

int CT_StringConvert::si_MultiToWide(CT_UString* target, char const* source, unsigned count, unsigned codePage) {
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source));
    CT_Buffer& buffer = target->co_Buffer;
    unsigned short* units = static_cast<unsigned short*>(pv_MakeRoom(buffer, count * 2 + 2));
    int written = si_MultiToWide(units, source, count, codePage);
    units[written] = 0;
    buffer.v_SetUsedSize((static_cast<unsigned>(written) + 1) * 2);
    return written;
}

int CT_StringConvert::si_MultiToWide(unsigned short* target, CT_CString const* source, unsigned codePage) {
    return si_MultiToWide(target, source->qccz_Get(), source->n_GetLength(), codePage);
}

int CT_StringConvert::si_MultiToWide(CT_UString* target, CT_CString const* source, unsigned codePage) {
    return si_MultiToWide(target, source->qccz_Get(), source->n_GetLength(), codePage);
}

int CT_StringConvert::si_MultiToWideANSI(unsigned short* target, char const* source, unsigned count) {
    return si_MultiToWide(target, source, count, 0);
}

int CT_StringConvert::si_MultiToWideANSI(CT_UString* target, char const* source, unsigned count) {
    return si_MultiToWide(target, source, count, 0);
}

int CT_StringConvert::si_MultiToWideANSI(unsigned short* target, CT_CString const* source) {
    return si_MultiToWide(target, source, 0);
}

int CT_StringConvert::si_MultiToWideANSI(CT_UString* target, CT_CString const* source) {
    return si_MultiToWide(target, source, 0);
}

// Wide to narrow.

int CT_StringConvert::si_WideToMulti(char* target, unsigned short const* source, unsigned count, unsigned codePage,
                                     char const* defaultChar, int* usedDefault) {
    target[0] = 0;
    if (usedDefault) *usedDefault = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = sn_Length(source) + 1;
    codePage = n_ResolveCodePage(codePage);
    // The library's own coders report their failures themselves.
    if (codePage == e_UTF7) return si_WideToUTF7(target, source, count);
    if (codePage == e_UTF8) return si_WideToUTF8(target, source, count);
    int written = Platform::i_WideToMulti(codePage, source, count, target, count * 2, defaultChar, usedDefault);
    if (written == 0) {
        sv_ReportFailure(e_LineWideToMulti);
        return 0;
    }
    return written;
}

int CT_StringConvert::si_WideToMulti(CT_CString* target, unsigned short const* source, unsigned count,
                                     unsigned codePage, char const* defaultChar, int* usedDefault) {
    if (count == ~0u) count = sn_Length(source) + 1;
    CT_Buffer& buffer = target->co_Buffer;
    // Room for two bytes a unit, as the code pages need; UTF-7 and UTF-8
    // take up to three.
    char* bytes = static_cast<char*>(pv_MakeRoom(buffer, n_NarrowRoom(count, codePage)));
    int written = si_WideToMulti(bytes, source, count, codePage, defaultChar, usedDefault);
    bytes[written] = 0;
    buffer.v_SetUsedSize(static_cast<unsigned>(written) + 1);
    return written;
}

int CT_StringConvert::si_WideToMulti(char* target, CT_UString const* source, unsigned codePage,
                                     char const* defaultChar, int* usedDefault) {
    return si_WideToMulti(target, source->qcuz_Get(), source->n_GetLength(), codePage, defaultChar, usedDefault);
}

int CT_StringConvert::si_WideToMulti(CT_CString* target, CT_UString const* source, unsigned codePage,
                                     char const* defaultChar, int* usedDefault) {
    return si_WideToMulti(target, source->qcuz_Get(), source->n_GetLength(), codePage, defaultChar, usedDefault);
}

int CT_StringConvert::si_WideToMultiANSI(char* target, unsigned short const* source, unsigned count) {
    return si_WideToMulti(target, source, count, 0, nullptr, nullptr);
}

int CT_StringConvert::si_WideToMultiANSI(CT_CString* target, unsigned short const* source, unsigned count) {
    return si_WideToMulti(target, source, count, 0, nullptr, nullptr);
}

int CT_StringConvert::si_WideToMultiANSI(char* target, CT_UString const* source) {
    return si_WideToMulti(target, source, 0, nullptr, nullptr);
}

int CT_StringConvert::si_WideToMultiANSI(CT_CString* target, CT_UString const* source) {
    return si_WideToMulti(target, source, 0, nullptr, nullptr);
}

// One character. What the system cannot convert alone (a lead byte of a
// double-byte code page, a unit that needs two bytes) becomes the
// replacement character: U+FFFD, or "?" as a narrow character. UTF-7 and
// UTF-8 are not asked of the coders, whose state must not change here: a
// character below 0x80 is itself in both, any other one is replaced.

unsigned short CT_StringConvert::sus_MultiToWide(char c, unsigned codePage) {
    codePage = n_ResolveCodePage(codePage);
    if (codePage == e_UTF7 || codePage == e_UTF8)
        return static_cast<unsigned char>(c) < 0x80 ? static_cast<unsigned short>(c) : 0xFFFD;
    unsigned short unit = 0;
    return Platform::i_MultiToWide(codePage, &c, 1, &unit, 1) == 1 ? unit : 0xFFFD;
}

char CT_StringConvert::sc_WideToMulti(unsigned short c, unsigned codePage) {
    codePage = n_ResolveCodePage(codePage);
    if (codePage == e_UTF7 || codePage == e_UTF8) return c < 0x80 ? static_cast<char>(c) : '?';
    char byte = 0;
    return Platform::i_WideToMulti(codePage, &c, 1, &byte, 1, nullptr, nullptr) == 1 ? byte : '?';
}

// UTF-7.

int CT_StringConvert::si_UTF7ToWide(unsigned short* target, char const* source, unsigned count) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source));
    CT_UTF::sv_UTF7ToWideInit();
    int written = CT_UTF::si_UTF7ToWide(target, source, count);
    target[written] = 0;
    return written;
}

int CT_StringConvert::si_UTF7ToWide(CT_UString* target, char const* source, unsigned count) {
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source));
    CT_Buffer& buffer = target->co_Buffer;
    unsigned short* units = static_cast<unsigned short*>(pv_MakeRoom(buffer, count * 2 + 2));
    int written = si_UTF7ToWide(units, source, count);
    buffer.v_SetUsedSize((static_cast<unsigned>(written) + 1) * 2);
    return written;
}

int CT_StringConvert::si_UTF7ToWide(unsigned short* target, CT_CString const* source) {
    return si_UTF7ToWide(target, source->qccz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_UTF7ToWide(CT_UString* target, CT_CString const* source) {
    return si_UTF7ToWide(target, source->qccz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_WideToUTF7(char* target, unsigned short const* source, unsigned count) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = sn_Length(source);
    CT_UTF::sv_WideToUTF7Init();
    int written = CT_UTF::si_WideToUTF7(target, source, count);
    written += CT_UTF::si_WideToUTF7Exit(target + written);
    // Only an empty text gives no bytes.
    if (written == 0 && count != 0 && source[0] != 0) sv_ReportFailure(e_LineWideToUTF7);
    return written;
}

int CT_StringConvert::si_WideToUTF7(CT_CString* target, unsigned short const* source, unsigned count) {
    if (count == ~0u) count = sn_Length(source);
    CT_Buffer& buffer = target->co_Buffer;
    char* bytes = static_cast<char*>(pv_MakeRoom(buffer, count * 3 + 3));
    int written = si_WideToUTF7(bytes, source, count);
    bytes[written] = 0;
    buffer.v_SetUsedSize(static_cast<unsigned>(written) + 1);
    return written;
}

int CT_StringConvert::si_WideToUTF7(char* target, CT_UString const* source) {
    return si_WideToUTF7(target, source->qcuz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_WideToUTF7(CT_CString* target, CT_UString const* source) {
    return si_WideToUTF7(target, source->qcuz_Get(), source->n_GetLength());
}

// UTF-8.

int CT_StringConvert::si_UTF8ToWide(unsigned short* target, char const* source, unsigned count) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source));
    int written = CT_UTF::si_UTF8ToWide(target, source, count);
    target[written] = 0;
    return written;
}

int CT_StringConvert::si_UTF8ToWide(CT_UString* target, char const* source, unsigned count) {
    if (count == ~0u) count = static_cast<unsigned>(std::strlen(source));
    CT_Buffer& buffer = target->co_Buffer;
    unsigned short* units = static_cast<unsigned short*>(pv_MakeRoom(buffer, count * 2 + 2));
    int written = si_UTF8ToWide(units, source, count);
    buffer.v_SetUsedSize((static_cast<unsigned>(written) + 1) * 2);
    return written;
}

int CT_StringConvert::si_UTF8ToWide(unsigned short* target, CT_CString const* source) {
    return si_UTF8ToWide(target, source->qccz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_UTF8ToWide(CT_UString* target, CT_CString const* source) {
    return si_UTF8ToWide(target, source->qccz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_WideToUTF8(char* target, unsigned short const* source, unsigned count) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) count = sn_Length(source);
    int written = CT_UTF::si_WideToUTF8(target, source, count);
    // Only an empty text gives no bytes.
    if (written == 0 && count != 0 && source[0] != 0) sv_ReportFailure(e_LineWideToUTF8);
    return written;
}

int CT_StringConvert::si_WideToUTF8(CT_CString* target, unsigned short const* source, unsigned count) {
    if (count == ~0u) count = sn_Length(source);
    CT_Buffer& buffer = target->co_Buffer;
    char* bytes = static_cast<char*>(pv_MakeRoom(buffer, count * 3 + 1));
    int written = si_WideToUTF8(bytes, source, count);
    bytes[written] = 0;
    buffer.v_SetUsedSize(static_cast<unsigned>(written) + 1);
    return written;
}

int CT_StringConvert::si_WideToUTF8(char* target, CT_UString const* source) {
    return si_WideToUTF8(target, source->qcuz_Get(), source->n_GetLength());
}

int CT_StringConvert::si_WideToUTF8(CT_CString* target, CT_UString const* source) {
    return si_WideToUTF8(target, source->qcuz_Get(), source->n_GetLength());
}
