// The locale seam's formatting on any picture, value text and number
// record: a date picture, a time picture and a number text come from the
// input, with the locale, flags, date, time and record fields. Besides the
// sanitizers' checks, a call may only succeed or fail: a success writes a
// zero-terminated text within the room it reports, and asking for the
// length first gives the same length.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "Foundation/Platform/Locale.h"

namespace {

void v_Check(bool condition) {
    if (!condition) std::abort();
}

unsigned const an_Locales[] = {1033, 1031, 1049, 1041, 1054, 1025, 1037, 2052, 0x7E7E, 0};

struct st_Reader {
    uint8_t const* pc_Data;
    size_t n_Size, n_At = 0;
    unsigned n_Byte() { return n_At < n_Size ? pc_Data[n_At++] : 0; }
    unsigned n_Short() { return n_Byte() | n_Byte() << 8; }
    // A zero-terminated text of up to 40 units, each from one byte or,
    // after a 0xFF byte, from two.
    std::vector<unsigned short> ao_Text() {
        std::vector<unsigned short> text;
        unsigned length = n_Byte() % 41;
        for (unsigned i = 0; i < length; ++i) {
            unsigned c = n_Byte();
            text.push_back(static_cast<unsigned short>(c == 0xFF ? n_Short() : c));
        }
        text.push_back(0);
        return text;
    }
};

// Room 0 asks for the length alone, as the first call did.
void v_CheckText(int needed, int written, unsigned short const* text, int room) {
    if (written == 0) return;
    v_Check(written == needed);
    if (room > 0) v_Check(written <= room && text[written - 1] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
    st_Reader in{data, size};
    unsigned lcid = an_Locales[in.n_Byte() % (sizeof an_Locales / sizeof an_Locales[0])];
    Platform::st_SystemTime time{};
    time.n_Year = static_cast<unsigned short>(in.n_Short());
    time.n_Month = static_cast<unsigned short>(in.n_Byte() % 16);
    time.n_Day = static_cast<unsigned short>(in.n_Byte() % 40);
    time.n_Hour = static_cast<unsigned short>(in.n_Byte() % 30);
    time.n_Minute = static_cast<unsigned short>(in.n_Byte() % 70);
    time.n_Second = static_cast<unsigned short>(in.n_Byte() % 70);
    unsigned dateFlags = in.n_Byte() % 16, timeFlags = in.n_Byte() % 32;
    std::vector<unsigned short> datePicture = in.ao_Text(), timePicture = in.ao_Text(), value = in.ao_Text();
    std::vector<unsigned short> decimal = in.ao_Text(), thousand = in.ao_Text();
    Platform::st_NumberFormatW format{in.n_Byte() % 12, in.n_Byte() % 3, in.n_Short() % 12000, decimal.data(),
                                      thousand.data(), in.n_Byte() % 6};
    bool usePictures = in.n_Byte() & 1;

    unsigned short text[512];
    int room = static_cast<int>(in.n_Byte() % 2 ? 512 : in.n_Byte() % 64);
    unsigned short const* date = usePictures ? datePicture.data() : nullptr;
    unsigned short const* clock = usePictures ? timePicture.data() : nullptr;
    v_CheckText(Platform::i_GetDateFormatW(lcid, dateFlags, &time, date, nullptr, 0),
                Platform::i_GetDateFormatW(lcid, dateFlags, &time, date, text, room), text, room);
    v_CheckText(Platform::i_GetTimeFormatW(lcid, timeFlags, &time, clock, nullptr, 0),
                Platform::i_GetTimeFormatW(lcid, timeFlags, &time, clock, text, room), text, room);
    v_CheckText(Platform::i_GetNumberFormatW(lcid, 0, value.data(), &format, nullptr, 0),
                Platform::i_GetNumberFormatW(lcid, 0, value.data(), &format, text, room), text, room);
    v_CheckText(Platform::i_GetNumberFormatW(lcid, 0, value.data(), nullptr, nullptr, 0),
                Platform::i_GetNumberFormatW(lcid, 0, value.data(), nullptr, text, room), text, room);
    return 0;
}
