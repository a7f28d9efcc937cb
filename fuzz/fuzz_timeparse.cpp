// Reading a date and time by a picture, on any text and any picture. The
// first byte picks the locale and the calendar; the rest is UTF-8 picture,
// a newline, UTF-8 text. Reading must end with true or false, and the
// typed form (the text alone, by the thread locale's short date) as well.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "Foundation/Basis.h"
#include "Foundation/Platform/TimeZone.h"

namespace {

// Locales with and without alternate calendars: English, German, Hebrew,
// Saudi Arabic, Japanese, Thai, Korean, Taiwanese.
unsigned const san_Locales[] = {1033, 1031, 1037, 1025, 1041, 1054, 1042, 1028};
CT_Calendar::et_ID const saeo_Calendars[] = {CT_Calendar::e_NoID,     CT_Calendar::e_Gregorian, CT_Calendar::e_Hijri,
                                             CT_Calendar::e_Hebrew,   CT_Calendar::e_Japanese,  CT_Calendar::e_Thai,
                                             CT_Calendar::e_Taiwanese, CT_Calendar::e_Korean};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    static bool zone = (Platform::v_SetTimeZone("UTC"), true);
    (void)zone;
    if (size < 1 || size > 4096) return 0;
    unsigned lcid = san_Locales[data[0] & 7];
    CT_Calendar::et_ID calendar = saeo_Calendars[(data[0] >> 3) & 7];
    int dst = data[0] >> 7;
    char const* rest = reinterpret_cast<char const*>(data + 1);
    size_t length = size - 1;
    char const* newline = static_cast<char const*>(std::memchr(rest, '\n', length));
    size_t pictureLength = newline ? static_cast<size_t>(newline - rest) : length;
    size_t textStart = newline ? pictureLength + 1 : length;
    CT_UString picture(rest, static_cast<unsigned>(pictureLength), 65001);
    CT_UString text(rest + textStart, static_cast<unsigned>(length - textStart), 65001);
    CT_Time time;
    int result = time.b_Set(&text, &picture, lcid, calendar, dst);
    if (result != 0 && result != 1) std::abort();
    result = time.b_Set(&text, calendar);
    if (result != 0 && result != 1) std::abort();
    return 0;
}
