// Conversion between narrow text in a code page and wide (UTF-16) text,
// and the library's own UTF-7 and UTF-8 coders.
//
// Code pages are Windows code-page numbers. 65000 is UTF-7 and 65001 UTF-8,
// always handled by CT_UTF; any other number the system does not accept
// (~0 and ~1 among them) means 0, the system's ANSI code page.
//
// Counts are in source units; ~0u means "up to the terminator" as each
// function says. All functions are static. The UTF coders keep their state
// in static variables: two UTF-7 or UTF-8 conversions must not run at once.
//
// Room the pointer forms need at the target, with count as resolved (for
// ~0u the length, plus 1 where the terminator is converted too):
//   si_MultiToWide       count + 1 units (count is enough for a code page
//                        of the system; UTF-7 and UTF-8 add a zero unit);
//   si_WideToMulti       count * 2 bytes (at least 1) for a code page of
//                        the system, count * 3 + 3 for UTF-7, count * 3 + 1
//                        for UTF-8;
//   si_UTF7ToWide,
//   si_UTF8ToWide        count + 1 units (at most one unit a byte, and the
//                        zero unit);
//   si_WideToUTF7        count * 3 + 3 bytes (zero byte included);
//   si_WideToUTF8        count * 3 + 1 bytes (zero byte included).
// The string forms make that room in the target string themselves; the
// forms with a string source take its whole length as count.
#pragma once

#include "Foundation/Platform/Export.h"

class CT_CString;
class CT_UString;

class BASIS_API CT_StringConvert {
public:
    // Narrow to wide.
    static int si_MultiToWide(unsigned short* target, char const* source, unsigned count, unsigned codePage);
    static int si_MultiToWide(CT_UString* target, char const* source, unsigned count, unsigned codePage);
    static int si_MultiToWide(unsigned short* target, CT_CString const* source, unsigned codePage);
    static int si_MultiToWide(CT_UString* target, CT_CString const* source, unsigned codePage);
    static int si_MultiToWideANSI(unsigned short* target, char const* source, unsigned count);
    static int si_MultiToWideANSI(CT_UString* target, char const* source, unsigned count);
    static int si_MultiToWideANSI(unsigned short* target, CT_CString const* source);
    static int si_MultiToWideANSI(CT_UString* target, CT_CString const* source);

    // Wide to narrow.
    static int si_WideToMulti(char* target, unsigned short const* source, unsigned count, unsigned codePage,
                              char const* defaultChar = nullptr, int* usedDefault = nullptr);
    static int si_WideToMulti(CT_CString* target, unsigned short const* source, unsigned count, unsigned codePage,
                              char const* defaultChar = nullptr, int* usedDefault = nullptr);
    static int si_WideToMulti(char* target, CT_UString const* source, unsigned codePage,
                              char const* defaultChar = nullptr, int* usedDefault = nullptr);
    static int si_WideToMulti(CT_CString* target, CT_UString const* source, unsigned codePage,
                              char const* defaultChar = nullptr, int* usedDefault = nullptr);
    static int si_WideToMultiANSI(char* target, unsigned short const* source, unsigned count);
    static int si_WideToMultiANSI(CT_CString* target, unsigned short const* source, unsigned count);
    static int si_WideToMultiANSI(char* target, CT_UString const* source);
    static int si_WideToMultiANSI(CT_CString* target, CT_UString const* source);

    // One character.
    static unsigned short sus_MultiToWide(char c, unsigned codePage);
    static char sc_WideToMulti(unsigned short c, unsigned codePage);

    // UTF-7.
    static int si_UTF7ToWide(unsigned short* target, char const* source, unsigned count);
    static int si_UTF7ToWide(CT_UString* target, char const* source, unsigned count);
    static int si_UTF7ToWide(unsigned short* target, CT_CString const* source);
    static int si_UTF7ToWide(CT_UString* target, CT_CString const* source);
    static int si_WideToUTF7(char* target, unsigned short const* source, unsigned count);
    static int si_WideToUTF7(CT_CString* target, unsigned short const* source, unsigned count);
    static int si_WideToUTF7(char* target, CT_UString const* source);
    static int si_WideToUTF7(CT_CString* target, CT_UString const* source);

    // UTF-8.
    static int si_UTF8ToWide(unsigned short* target, char const* source, unsigned count);
    static int si_UTF8ToWide(CT_UString* target, char const* source, unsigned count);
    static int si_UTF8ToWide(unsigned short* target, CT_CString const* source);
    static int si_UTF8ToWide(CT_UString* target, CT_CString const* source);
    static int si_WideToUTF8(char* target, unsigned short const* source, unsigned count);
    static int si_WideToUTF8(CT_CString* target, unsigned short const* source, unsigned count);
    static int si_WideToUTF8(char* target, CT_UString const* source);
    static int si_WideToUTF8(CT_CString* target, CT_UString const* source);
};
