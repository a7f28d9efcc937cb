// Formatted output of UTF-16 text, printf style.
//
// The platform's wide formatting cannot serve: where wchar_t is 32 bits it
// neither reads nor writes UTF-16. So the library formats wide text itself,
// by the rules of the wide formatted-output functions of its home
// platform's runtime, and gives the same result on every platform:
//
//   %[flags][width][.precision][length]conversion
//   flags      - + space # 0
//   width      digits or * (a negative * width means the - flag)
//   precision  digits or * (a negative * precision counts as none)
//   length     hh h l ll L, I64 I32 I (pointer size), z t j, w (as l), q (as ll)
//   d i        signed decimal          u o x X   unsigned decimal, octal, hex
//   c          a wide character (an int holding a UTF-16 unit);
//              %hc and %C a narrow character
//   s          a wide text (unsigned short const*); %ls and %ws the same;
//              %hs and %S a narrow text (char const*)
//   p          a pointer: upper-case hex, two digits per byte, no prefix
//   e E f F g G a A   a double (L: a long double), by the platform's
//              C library, with the flags, width and precision given
//   n          takes its pointer and writes nothing (the runtime refuses %n)
//   %          a percent sign
//
// The l length of d i u o x X reads a long of the platform, as the C
// library does. Narrow characters and texts are widened byte by byte, each
// byte becoming the unit of its value: the rule of the C locale, which is
// the only one the library uses. A null text pointer prints "(null)". Any
// other conversion is copied to the output as it stands.
// Internal to the library.
#pragma once

#include <cstdarg>

namespace WideFormat {

// Formats into target, which holds capacity units (at least 1). Output past
// capacity - 1 units is dropped; the result is always zero-terminated.
// Returns the number of units written, without the terminator.
unsigned sn_Format(unsigned short* target, unsigned capacity, unsigned short const* format, va_list args);

}  // namespace WideFormat
