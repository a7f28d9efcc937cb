// CT_Time's reading of a date and time by a picture, and of a typed date.
//
// The picture is split into tokens: literals (runs of characters that are
// no picture letter, or quoted text) and fields (a run of one of the
// letters d M y g h H m s t). The text is read token by token from the
// start of today; the year read is then resolved against the Gregorian and
// the locale's alternate calendar.
#include <cstring>

#include "Foundation/Basis/Character/CharMappings.h"
#include "Foundation/Basis/Character/CharProperties.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Basis/Text/StringScanner.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/Platform/TimeZone.h"
#include "Foundation/System/Calendar/Calendar.h"
#include "Foundation/System/Calendar/CalendarDays.h"
#include "Foundation/System/Calendar/LocaleValue.h"
#include "Foundation/System/Time/Time.h"

namespace {

// One locale name, as read from the platform.
struct st_Name {
    unsigned short au_Text[130];
    unsigned n_Length;
};

class CT_PictureReader {
public:
    CT_PictureReader(unsigned short const* text, unsigned length, unsigned lcid)
        : pu_Text(text), n_Length(length), n_At(0), n_LCID(lcid), b_Error(0), i_EraOffset(-1), b_EraRead(0),
          i_PMHours(0), n_YearDigits(0) {}

    void v_Read(unsigned short const* picture, unsigned length, struct tm* date);
    int b_Failed() const { return b_Error; }
    int i_Era() const { return i_EraOffset; }
    int b_HasEra() const { return b_EraRead; }
    int i_PMShift() const { return i_PMHours; }
    unsigned n_Digits() const { return n_YearDigits; }

private:
    void v_Literal(unsigned short const* literal, unsigned length);
    void v_Field(unsigned short letter, unsigned count, struct tm* date);
    // Up to maxDigits decimal digits; no digits read 0. The value is kept
    // below 10000, more than four digits never being read.
    int i_Number(unsigned maxDigits);
    void v_Range(int value, int low, int high, int* field);
    // Among the names, the index of the last that begins the text (without
    // regard to case; the longest when longest is set), or -1. Empty names
    // never match: an empty thirteenth month would begin every text.
    int i_Match(st_Name const* names, unsigned count, int longest, unsigned* matched) const;
    int b_Begins(st_Name const& name) const;
    void v_SkipSpace();
    void v_Name(unsigned type, st_Name* name) const;
    void v_MonthNames(int full, st_Name* names, unsigned* count) const;

    // The name lists read so far (a picture may name them many times): day
    // names abbreviated and full, month names abbreviated and full.
    st_Name aao_Days[2][7];
    st_Name aao_Months[2][26];
    unsigned an_Months[2] = {0, 0};
    int ab_DaysRead[2] = {0, 0};

    unsigned short const* pu_Text;
    unsigned n_Length;
    unsigned n_At;
    unsigned n_LCID;
    int b_Error;
    int i_EraOffset;
    int b_EraRead;
    int i_PMHours;
    unsigned n_YearDigits;
};

int sb_IsPictureLetter(unsigned short c) {
    return c == 'd' || c == 'M' || c == 'y' || c == 'g' || c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't';
}

int sb_IsSpace(unsigned short c) { return CT_CharProperties::sb_IsSpace(c); }

// A unit reads as a digit when it is numeric with a whole value 0 to 9:
// decimal digits of every script, not fractions or roman numerals.
int si_Digit(unsigned short c) {
    if (!CT_CharProperties::sb_IsNumeric(c)) return -1;
    short numerator = 0, denominator = 0;
    CT_CharProperties::sv_NumericValue(c, numerator, denominator);
    return denominator == 1 && numerator >= 0 && numerator <= 9 ? numerator : -1;
}

void CT_PictureReader::v_Read(unsigned short const* picture, unsigned length, struct tm* date) {
    unsigned short literal[256];
    unsigned i = 0;
    while (i < length && !b_Error) {
        unsigned short c = picture[i];
        if (c == '\'') {
            // A quoted literal up to the next single quote; two quotes stand
            // for one. An unclosed quote runs to the end of the picture.
            // Literals longer than the work area are cut (the rest is not
            // matched, which is not an error).
            unsigned n = 0;
            ++i;
            while (i < length) {
                if (picture[i] == '\'') {
                    if (i + 1 < length && picture[i + 1] == '\'') {
                        if (n < 256) literal[n++] = '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                if (n < 256) literal[n++] = picture[i];
                ++i;
            }
            v_Literal(literal, n);
        } else if (sb_IsPictureLetter(c)) {
            unsigned run = 0;
            while (i + run < length && picture[i + run] == c) ++run;
            i += run;
            v_Field(c, run, date);
        } else {
            unsigned n = 0;
            while (i < length && picture[i] != '\'' && !sb_IsPictureLetter(picture[i])) {
                if (n < 256) literal[n++] = picture[i];
                ++i;
            }
            v_Literal(literal, n);
        }
    }
}

void CT_PictureReader::v_SkipSpace() {
    while (n_At < n_Length && sb_IsSpace(pu_Text[n_At])) ++n_At;
}

void CT_PictureReader::v_Literal(unsigned short const* literal, unsigned length) {
    if (length == 0) return;
    if (n_At < n_Length && pu_Text[n_At] != literal[0]) v_SkipSpace();
    for (unsigned i = 0; i < length && n_At < n_Length && pu_Text[n_At] == literal[i]; ++i) ++n_At;
    v_SkipSpace();
}

int CT_PictureReader::i_Number(unsigned maxDigits) {
    int value = 0;
    for (unsigned n = 0; n < maxDigits && n_At < n_Length; ++n) {
        int digit = si_Digit(pu_Text[n_At]);
        if (digit < 0) break;
        value = value * 10 + digit;
        ++n_At;
    }
    return value;
}

void CT_PictureReader::v_Range(int value, int low, int high, int* field) {
    if (value < low || value > high)
        b_Error = 1;
    else
        *field = value;
}

int CT_PictureReader::b_Begins(st_Name const& name) const {
    if (name.n_Length == 0 || name.n_Length > n_Length - n_At) return 0;
    for (unsigned i = 0; i < name.n_Length; ++i)
        if (CT_CharMappings::su_ToLower(name.au_Text[i]) != CT_CharMappings::su_ToLower(pu_Text[n_At + i])) return 0;
    return 1;
}

int CT_PictureReader::i_Match(st_Name const* names, unsigned count, int longest, unsigned* matched) const {
    int found = -1;
    unsigned length = 0;
    for (unsigned i = 0; i < count; ++i)
        if (b_Begins(names[i]) && (!longest || found < 0 || names[i].n_Length > length)) {
            found = static_cast<int>(i);
            length = names[i].n_Length;
        }
    *matched = length;
    return found;
}

void CT_PictureReader::v_Name(unsigned type, st_Name* name) const {
    int written = Platform::i_GetLocaleInfoW(n_LCID, type, name->au_Text, 130);
    name->n_Length = written > 1 ? static_cast<unsigned>(written - 1) : 0;
}

// The twelve (thirteen) month names, and, when the locale writes them
// differently after a day, their forms after a day as well: then names
// holds both forms of each month, nominative first.
void CT_PictureReader::v_MonthNames(int full, st_Name* names, unsigned* count) const {
    unsigned first = full ? Platform::e_LocaleSMonthName1 : Platform::e_LocaleSAbbrevMonthName1;
    unsigned thirteenth = full ? Platform::e_LocaleSMonthName13 : Platform::e_LocaleSAbbrevMonthName13;
    for (unsigned m = 0; m < 13; ++m) v_Name(m < 12 ? first + m : thirteenth, &names[m]);
    *count = 13;
    if (!full) return;
    // Formatting for the comparison writes at most 64 characters.
    struct tm now;
    std::memset(&now, 0, sizeof now);
    Platform::b_LocalTime(Platform::i8_Now(), &now);
    Platform::st_SystemTime january = {static_cast<unsigned short>(now.tm_year + 1900), 1, 0, 1, 0, 0, 0, 0};
    static unsigned short const au_Month[] = {'M', 'M', 'M', 'M', 0};
    static unsigned short const au_DayMonth[] = {'d', 'd', '/', 'M', 'M', 'M', 'M', 0};
    unsigned short alone[64], after[64];
    int nAlone = Platform::i_GetDateFormatW(n_LCID, 0, &january, au_Month, alone, 64);
    int nAfter = Platform::i_GetDateFormatW(n_LCID, 0, &january, au_DayMonth, after, 64);
    if (nAlone <= 0 || nAfter <= 3) return;  // the forms cannot be told apart
    unsigned aloneLength = static_cast<unsigned>(nAlone - 1);
    unsigned afterLength = static_cast<unsigned>(nAfter - 1) - 3;
    int same = aloneLength == afterLength && std::memcmp(alone, after + 3, 2 * aloneLength) == 0 &&
               aloneLength == names[0].n_Length && std::memcmp(alone, names[0].au_Text, 2 * aloneLength) == 0;
    if (same) return;
    for (unsigned m = 13; m-- > 0;) {
        names[2 * m] = names[m];
        names[2 * m + 1].n_Length = 0;
        if (m == 12) continue;  // no Gregorian thirteenth month to format
        Platform::st_SystemTime day = january;
        day.n_Month = static_cast<unsigned short>(m + 1);
        int n = Platform::i_GetDateFormatW(n_LCID, 0, &day, au_DayMonth, after, 64);
        if (n > 4) {
            names[2 * m + 1].n_Length = static_cast<unsigned>(n - 1) - 3;
            std::memcpy(names[2 * m + 1].au_Text, after + 3, 2 * names[2 * m + 1].n_Length);
        }
    }
    *count = 26;
}

void CT_PictureReader::v_Field(unsigned short letter, unsigned run, struct tm* date) {
    unsigned const most = letter == 'd' || letter == 'M' || letter == 'y' ? 4 : 2;
    unsigned count = run < most ? run : most;
    unsigned matched = 0;
    switch (letter) {
    case 'd':
        if (count <= 2) {
            v_Range(i_Number(2), 1, 31, &date->tm_mday);
        } else {
            // Sunday first, then Monday to Saturday.
            int full = count == 4;
            st_Name* names = aao_Days[full];
            if (!ab_DaysRead[full]) {
                unsigned first = full ? Platform::e_LocaleSDayName1 : Platform::e_LocaleSAbbrevDayName1;
                v_Name(first + 6, &names[0]);
                for (unsigned i = 0; i < 6; ++i) v_Name(first + i, &names[i + 1]);
                ab_DaysRead[full] = 1;
            }
            int found = i_Match(names, 7, 0, &matched);
            if (found < 0)
                b_Error = 1;
            else {
                date->tm_wday = found;
                n_At += matched;
            }
        }
        break;
    case 'M':
        if (count <= 2) {
            int month = 0;
            v_Range(i_Number(2), 1, 13, &month);
            date->tm_mon = month - 1;
        } else {
            int full = count == 4;
            st_Name* names = aao_Months[full];
            if (an_Months[full] == 0) v_MonthNames(full, names, &an_Months[full]);
            unsigned n = an_Months[full];
            int found = i_Match(names, n, n == 26, &matched);
            if (found < 0)
                b_Error = 1;
            else {
                date->tm_mon = n == 26 ? found / 2 : found;
                n_At += matched;
            }
        }
        break;
    case 'y':
        // yyy counts as yyyy.
        if (count <= 2) {
            date->tm_year = i_Number(2);
            n_YearDigits = 2;
        } else {
            date->tm_year = i_Number(4);
            n_YearDigits = 4;
        }
        break;
    case 'g': {
        // The era names of the locale's calendar and optional calendar.
        unsigned calendar = CT_Calendar::seo_GetCalendar(n_LCID);
        unsigned optional = CT_Calendar::seo_GetAlternateCalendar(n_LCID);
        st_Name names[16];
        int offsets[16];
        unsigned n = 0;
        for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount() && n < 16; ++i) {
            unsigned type = CT_Calendar::seo_GetCalType(i);
            if (type != calendar && type != optional) continue;
            unsigned short const* era = CT_Calendar::sqcuz_GetCalEra(i);
            unsigned length = 0;
            while (era[length] && length < 129) names[n].au_Text[length] = era[length], ++length;
            names[n].n_Length = length;
            offsets[n++] = CT_Calendar::si_GetCalOffset(i);
        }
        int found = i_Match(names, n, 0, &matched);
        if (found >= 0) {
            i_EraOffset = offsets[found];
            b_EraRead = 1;
            n_At += matched;
        }
        break;
    }
    case 'h':
        v_Range(i_Number(2), 0, 11, &date->tm_hour);
        break;
    case 'H':
        v_Range(i_Number(2), 0, 23, &date->tm_hour);
        break;
    case 'm':
        v_Range(i_Number(2), 0, 59, &date->tm_min);
        break;
    case 's':
        v_Range(i_Number(2), 0, 59, &date->tm_sec);
        break;
    case 't': {
        st_Name names[2];
        v_Name(Platform::e_LocaleS1159, &names[0]);
        v_Name(Platform::e_LocaleS2359, &names[1]);
        // A locale without designators has nothing to match: not an error.
        if (names[0].n_Length == 0 && names[1].n_Length == 0) break;
        int found = i_Match(names, 2, 0, &matched);
        if (found < 0)
            b_Error = 1;
        else {
            i_PMHours = found == 1 ? 12 : 0;
            n_At += matched;
        }
        break;
    }
    }
}

// The present year in the calendar of an era offset: Hijri for -1, Hebrew
// for -2, else the Gregorian year less the offset.
int si_PresentYear(int gregorianYear, struct tm const& today, int offset) {
    if (offset == -1) return CalendarDays::so_AbsoluteToHijri(CalendarDays::si_GregorianToAbsolute({gregorianYear, today.tm_mon + 1, today.tm_mday})).i_Year;
    if (offset == -2) return CalendarDays::so_AbsoluteToHebrew(CalendarDays::si_GregorianToAbsolute({gregorianYear, today.tm_mon + 1, today.tm_mday})).i_Year;
    return gregorianYear - offset;
}

int si_OffsetOfID(unsigned id) {
    for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount(); ++i)
        if (static_cast<unsigned>(CT_Calendar::seo_GetCalID(i)) == id) return CT_Calendar::si_GetCalOffset(i);
    return 0;
}

int si_OffsetOfType(unsigned type) {
    for (unsigned i = 0; i < CT_Calendar::sn_GetIDCount(); ++i)
        if (static_cast<unsigned>(CT_Calendar::seo_GetCalType(i)) == type) return CT_Calendar::si_GetCalOffset(i);
    return 0;
}

}  // namespace

int CT_Time::b_Set(CT_String const* text, CT_String const* picture, unsigned lcid, CT_Calendar::et_ID calendar,
                   int bDST) {
    if (!text || !picture) return 0;  // nothing to read
    if (lcid == 0) lcid = Platform::n_GetThreadLocale();
    CT_UString wideText(text);
    CT_UString widePicture(picture);

    // Today at 00:00:00, with the full year.
    struct tm today;
    std::memset(&today, 0, sizeof today);
    Platform::b_LocalTime(Platform::i8_Now(), &today);
    today.tm_year += 1900;
    struct tm date = today;
    date.tm_hour = date.tm_min = date.tm_sec = 0;
    date.tm_wday = -1;
    date.tm_isdst = -1;

    CT_PictureReader reader(wideText.qcuz_Get(), wideText.n_GetLength(), lcid);
    reader.v_Read(widePicture.qcuz_Get(), widePicture.n_GetLength(), &date);
    if (reader.b_Failed()) return 0;

    date.tm_hour += reader.i_PMShift();

    // Year resolution.
    int eraOffset = reader.i_Era();
    int year = date.tm_year;
    unsigned yearDigits = reader.n_Digits();
    CT_Calendar::et_Type alternate = CT_Calendar::seo_AlternateCalendar(lcid);
    if (calendar == CT_Calendar::e_NoID && alternate == CT_Calendar::e_NoType) {
        if (yearDigits == 2) year += 1900;
    } else {
        if (calendar != CT_Calendar::e_NoID)
            eraOffset = si_OffsetOfID(calendar);
        else if (!reader.b_HasEra())
            eraOffset = si_OffsetOfType(alternate);
        int G = today.tm_year;
        int A = si_PresentYear(G, today, eraOffset);
        // A year not read at all is the full present year, so it takes no
        // century, as four digits take none.
        int g = yearDigits == 4 || yearDigits == 0 ? 0 : G / 100 * 100;
        int a = yearDigits == 4 || yearDigits == 0 ? 0 : A / 100 * 100;
        long long dG = g + year > G ? (g + year - G) * 10LL : static_cast<long long>(G) - g - year;
        long long dA = a + year > A ? (a + year - A) * 10LL : static_cast<long long>(A) - a - year;
        if (reader.b_HasEra()) {
            dG = 1;
            dA = 0;
        }
        if (dG * 10 > dA * 11) {
            date.tm_year = a + year;
            CT_Calendar::et_ID id = eraOffset == -1   ? CT_Calendar::e_Hijri
                                    : eraOffset == -2 ? CT_Calendar::e_Hebrew
                                                      : CT_Calendar::e_NoID;
            if (id != CT_Calendar::e_NoID)
                CT_Calendar::sv_Alternate2Gregorian(&date, id);
            else
                date.tm_year += eraOffset;
            year = date.tm_year;
        } else {
            year = g + year;
        }
    }
    date.tm_year = year;
    CT_Calendar::sv_AddYearWeekday(&date);
    if (eraOffset == -1 && !CT_Calendar::sb_ValidateTM(&date)) return 0;
    int years = year - 1900;
    if (years >= 0 && years <= 35) years += 100;
    if (years < 0 || (years >= 36 && years <= 69)) return 0;
    date.tm_year = years;

    // The daylight-saving state mktime finds for the same month, day and
    // time in 1980.
    struct tm probe = date;
    probe.tm_year = 80;
    probe.tm_isdst = -1;
    date.tm_isdst = Platform::i8_MakeTime(&probe) == -1 ? 0 : probe.tm_isdst > 0;
    if (!bDST) date.tm_isdst = 0;

    n8_Abs = sn8_Date2Abs(&date);
    long long time = Platform::i8_MakeTime(&date);
    // The absolute time stays replaced when mktime fails, and the calendar
    // time as it was.
    if (time == -1) return 0;
    n_Time = static_cast<unsigned>(time);
    return 1;
}

int CT_Time::b_Set(CT_String const* text, CT_Calendar::et_ID calendar) {
    if (!text) return 0;
    CT_UString whole(text);
    CT_UString dateText, timeText;
    CT_StringScanner scanner;
    scanner.v_Item(&dateText, &whole, ' ', 1);  // items count from 1
    scanner.v_Item(&timeText, &whole, ' ', 2);
    unsigned dateLength = dateText.n_GetLength();
    if (dateLength == 0) return 0;
    if (si_Digit(dateText.u_GetAt(dateLength - 1)) < 0) dateText.vv_SetLength(dateLength - 1);

    CT_UString picture;
    LocaleValue::sb_Text(Platform::n_GetThreadLocale(), Platform::e_LocaleSShortDate, &picture);
    picture.v_Append(static_cast<unsigned short>(' '));
    // The time picture from the time typed: each run of digits gives H, m
    // and s (HH, mm, ss for runs of two or more); other characters are
    // copied; runs after the third give nothing.
    static unsigned short const au_Letters[3] = {'H', 'm', 's'};
    unsigned short const* units = timeText.qcuz_Get();
    unsigned length = timeText.n_GetLength(), runs = 0;
    for (unsigned i = 0; i < length;) {
        if (si_Digit(units[i]) < 0) {
            picture.v_Append(units[i++]);
            continue;
        }
        unsigned run = 0;
        while (i + run < length && si_Digit(units[i + run]) >= 0) ++run;
        i += run;
        if (runs < 3) {
            picture.v_Append(au_Letters[runs]);
            if (run > 1) picture.v_Append(au_Letters[runs]);
        }
        ++runs;
    }
    CT_UString typed(&dateText);
    typed.v_Append(static_cast<unsigned short>(' '));
    typed.v_Append(&timeText, ~0u);
    return b_Set(&typed, &picture, 0, calendar, 1);
}
