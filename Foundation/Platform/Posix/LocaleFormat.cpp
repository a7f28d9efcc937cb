// The Windows picture language and number-format rules, carried out over a
// locale's values for the Linux stand-in, so that it formats as the Windows
// build does.
//
// Date pictures: d dd (day), ddd dddd (day name), M MM MMM MMMM (month),
// y yy yyyy (year; y its last digit, yy its last two, three or more the
// full year), g gg (era). Time pictures: h hh H HH m mm s ss t tt.
// Text in single quotes is copied without its quotes, two quotes stand for
// one, and any other character is copied. Longer runs of a letter count as
// its longest form. A full month name after or before a day number is the
// name's genitive (format) form where the locale has one.
#include <algorithm>
#include <cstdio>

#include "Foundation/Platform/Posix/LocaleData.h"

namespace Platform {

namespace {

bool b_IsLeap(unsigned year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

unsigned n_DaysInMonth(unsigned year, unsigned month) {
    static unsigned char const sac_Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && b_IsLeap(year) ? 29 : sac_Days[month - 1];
}

// 0 Sunday to 6 Saturday, of a Gregorian date (Sakamoto's rule).
unsigned n_DayOfWeek(unsigned year, unsigned month, unsigned day) {
    static unsigned char const sac_Offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    if (month < 3) --year;
    return (year + year / 4 - year / 100 + year / 400 + sac_Offsets[month - 1] + day) % 7;
}

void v_Digits(std::u16string* out, long value, unsigned width) {
    char text[24];
    std::snprintf(text, sizeof text, "%0*ld", static_cast<int>(width), value);
    for (char const* p = text; *p; ++p) out->push_back(static_cast<unsigned char>(*p));
}

// Reads a quoted literal starting at picture[i] (a quote) into out; returns
// the position after it. An unclosed quote runs to the end.
size_t n_Literal(std::u16string const& picture, size_t i, std::u16string* out) {
    ++i;
    if (i < picture.size() && picture[i] == u'\'') {
        out->push_back(u'\'');
        return i + 1;
    }
    for (; i < picture.size(); ++i) {
        if (picture[i] == u'\'') {
            if (i + 1 < picture.size() && picture[i + 1] == u'\'') {
                out->push_back(u'\'');
                ++i;
                continue;
            }
            return i + 1;
        }
        out->push_back(picture[i]);
    }
    return i;
}

size_t n_Run(std::u16string const& picture, size_t i) {
    size_t n = 0;
    while (i + n < picture.size() && picture[i + n] == picture[i]) ++n;
    return n;
}

// Whether the picture has a day-number field (d or dd) outside quotes.
bool b_HasDayNumber(std::u16string const& picture) {
    std::u16string ignored;
    for (size_t i = 0; i < picture.size();) {
        if (picture[i] == u'\'') {
            i = n_Literal(picture, i, &ignored);
            continue;
        }
        size_t n = n_Run(picture, i);
        if (picture[i] == u'd' && n <= 2) return true;
        i += n;
    }
    return false;
}

bool b_ValidDate(st_SystemTime const& time) {
    return time.n_Year >= 1601 && time.n_Year <= 30827 && time.n_Month >= 1 && time.n_Month <= 12 &&
           time.n_Day >= 1 && time.n_Day <= n_DaysInMonth(time.n_Year, time.n_Month);
}

bool b_ValidTime(st_SystemTime const& time) {
    return time.n_Hour < 24 && time.n_Minute < 60 && time.n_Second < 60 && time.n_Milliseconds < 1000;
}

}  // namespace

bool b_FormatDate(st_LocaleData const& data, unsigned flags, st_SystemTime const& time, std::u16string const* picture,
                  std::u16string* out) {
    unsigned const pictureFlags = e_DateShortDate | e_DateLongDate | e_DateYearMonth;
    if (picture && (flags & pictureFlags)) return false;
    if ((flags & e_DateShortDate) + !!(flags & e_DateLongDate) + !!(flags & e_DateYearMonth) > 1) return false;
    if (!b_ValidDate(time)) return false;
    std::u16string const& chosen = picture                        ? *picture
                                   : (flags & e_DateLongDate)     ? data.s_LongDate
                                   : (flags & e_DateYearMonth)    ? data.s_YearMonth
                                                                  : data.s_ShortDate;
    // The day of the week comes from the date; the record's own is ignored.
    // The alternate-calendar flag formats in the locale's calendar as well:
    // the stand-in offers dates in one calendar per locale.
    unsigned weekday = n_DayOfWeek(time.n_Year, time.n_Month, time.n_Day);
    int year = 0;
    unsigned month = 0, day = 0;
    v_ToLocaleCalendar(data, time.n_Year, time.n_Month, time.n_Day, &year, &month, &day);
    if (month < 1 || month > 13) month = 1;
    bool genitive = b_HasDayNumber(chosen);
    out->clear();
    for (size_t i = 0; i < chosen.size();) {
        char16_t c = chosen[i];
        if (c == u'\'') {
            i = n_Literal(chosen, i, out);
            continue;
        }
        size_t n = n_Run(chosen, i);
        switch (c) {
        case u'd':
            if (n <= 2) v_Digits(out, day, static_cast<unsigned>(n));
            else *out += n == 3 ? data.as_AbbrevDays[weekday] : data.as_Days[weekday];
            break;
        case u'M':
            if (n <= 2) v_Digits(out, month, static_cast<unsigned>(n));
            else if (n == 3) *out += genitive ? data.as_AbbrevGenitiveMonths[month - 1] : data.as_AbbrevMonths[month - 1];
            else *out += genitive ? data.as_GenitiveMonths[month - 1] : data.as_Months[month - 1];
            break;
        case u'y':
            // y is the last digit alone, yy the last two.
            if (n == 1) v_Digits(out, year % 10, 1);
            else if (n == 2) v_Digits(out, year % 100, 2);
            else v_Digits(out, year, 1);
            break;
        case u'g': *out += data.s_Era; break;
        default: out->append(n, c); break;
        }
        i += n;
    }
    return true;
}

bool b_FormatTime(st_LocaleData const& data, unsigned flags, st_SystemTime const& time, std::u16string const* picture,
                  std::u16string* out) {
    if (flags & ~0xFu) return false;
    if (!b_ValidTime(time)) return false;
    std::u16string const& chosen = picture ? *picture : data.s_TimeFormat;
    bool noMinutes = flags & e_TimeNoMinutesOrSeconds, noSeconds = noMinutes || (flags & e_TimeNoSeconds);
    bool noMarker = flags & e_TimeNoTimeMarker, force24 = flags & e_TimeForce24HourFormat;
    out->clear();
    // Text between fields waits here: a left-out field takes the text that
    // led to it, and a left-out first field the text that follows it.
    std::u16string pending;
    bool skippedFirst = false, emitted = false;
    for (size_t i = 0; i < chosen.size();) {
        char16_t c = chosen[i];
        if (c == u'\'') {
            i = n_Literal(chosen, i, &pending);
            continue;
        }
        size_t n = n_Run(chosen, i);
        i += n;
        bool field = c == u'h' || c == u'H' || c == u'm' || c == u's' || c == u't';
        if (!field) {
            pending.append(n, c);
            continue;
        }
        bool skip = (c == u'm' && noMinutes) || (c == u's' && noSeconds) || (c == u't' && noMarker);
        if (skip) {
            if (!emitted) skippedFirst = true;
            pending.clear();
            continue;
        }
        if (!(skippedFirst && !emitted)) *out += pending;
        pending.clear();
        emitted = true;
        unsigned width = n >= 2 ? 2 : 1;
        switch (c) {
        case u'h':
            if (force24) v_Digits(out, time.n_Hour, width);
            else v_Digits(out, time.n_Hour % 12 == 0 ? 12 : time.n_Hour % 12, width);
            break;
        case u'H': v_Digits(out, time.n_Hour, width); break;
        case u'm': v_Digits(out, time.n_Minute, width); break;
        case u's': v_Digits(out, time.n_Second, width); break;
        default: {
            std::u16string const& marker = time.n_Hour < 12 ? data.s_Am : data.s_Pm;
            *out += n >= 2 ? marker : marker.substr(0, 1);
            break;
        }
        }
    }
    *out += pending;
    return true;
}

namespace {

// The group sizes of a NUMBERFMT grouping value, right to left: 0 none,
// 1 to 9 that size repeated, and for a longer value its digits in order,
// the last repeated unless it is 0 (32 gives 3, then 2 repeated; 30 one
// group of 3).
void v_Groups(unsigned grouping, unsigned* sizes, unsigned* count, bool* repeat) {
    *count = 0;
    *repeat = false;
    if (grouping == 0) return;
    unsigned digits[10], n = 0;
    for (unsigned g = grouping; g && n < 10; g /= 10) digits[n++] = g % 10;
    for (unsigned k = n; k-- > 0;) sizes[(*count)++] = digits[k];
    if (sizes[*count - 1] == 0) --*count;
    else *repeat = true;
}

}  // namespace

bool b_FormatNumber(st_LocaleData const& data, std::u16string const& value, st_NumberFormatW const* format,
                    std::u16string* out) {
    // The value text: an optional minus, digits, an optional point and
    // digits; at least one digit. Anything else is not a value.
    size_t i = 0;
    bool negative = false;
    if (i < value.size() && value[i] == u'-') {
        negative = true;
        ++i;
    }
    std::string integer, fraction;
    while (i < value.size() && value[i] >= u'0' && value[i] <= u'9') integer.push_back(static_cast<char>(value[i++]));
    if (i < value.size() && value[i] == u'.') {
        ++i;
        while (i < value.size() && value[i] >= u'0' && value[i] <= u'9')
            fraction.push_back(static_cast<char>(value[i++]));
    }
    if (i != value.size() || (integer.empty() && fraction.empty())) return false;

    unsigned digits = 0, leadingZero = 1, grouping = 3, order = 1;
    std::u16string decimal, thousand;
    if (format) {
        digits = format->n_NumDigits;
        leadingZero = format->n_LeadingZero ? 1 : 0;
        grouping = format->n_Grouping;
        order = format->n_NegativeOrder;
        if (!format->qcuz_DecimalSep || !format->qcuz_ThousandSep) return false;
        for (unsigned short const* p = format->qcuz_DecimalSep; *p; ++p) decimal.push_back(static_cast<char16_t>(*p));
        for (unsigned short const* p = format->qcuz_ThousandSep; *p; ++p) thousand.push_back(static_cast<char16_t>(*p));
    } else {
        auto read = [&](unsigned type) {
            auto found = data.co_Values.find(type);
            return found == data.co_Values.end() ? std::u16string() : found->second;
        };
        auto number = [&](unsigned type, unsigned fallback) {
            std::u16string text = read(type);
            unsigned n = 0;
            if (text.empty()) return fallback;
            for (char16_t c : text) n = c >= u'0' && c <= u'9' ? n * 10 + (c - u'0') : n;
            return n;
        };
        digits = number(0x11, 2);
        leadingZero = number(0x12, 1);
        order = number(0x1010, 1);
        decimal = read(0x0E);
        thousand = read(0x0F);
        std::u16string groups = read(0x10);
        // "3;0" is 3, "3;2;0" is 32, as the record counts them.
        grouping = 0;
        for (char16_t c : groups)
            if (c >= u'1' && c <= u'9') grouping = grouping * 10 + (c - u'0');
    }
    // Beyond these the record is not valid: nothing is formatted.
    if (digits > 9 || order > 4 || grouping > 9999) return false;

    // Round half away from zero to the digits asked for.
    fraction.resize(std::max<size_t>(fraction.size(), digits), '0');
    bool carry = fraction.size() > digits && fraction[digits] >= '5';
    fraction.resize(digits);
    if (integer.empty()) integer.push_back('0');
    for (size_t k = fraction.size(); carry && k-- > 0;) {
        if (fraction[k] == '9') fraction[k] = '0';
        else {
            ++fraction[k];
            carry = false;
        }
    }
    for (size_t k = integer.size(); carry && k-- > 0;) {
        if (integer[k] == '9') integer[k] = '0';
        else {
            ++integer[k];
            carry = false;
        }
    }
    if (carry) integer.insert(integer.begin(), '1');
    size_t first = integer.find_first_not_of('0');
    if (first == std::string::npos) integer.assign(1, '0');
    else integer.erase(0, first);
    // A value that rounds to zero is written without a sign.
    if (integer == "0" && fraction.find_first_not_of('0') == std::string::npos) negative = false;

    unsigned sizes[10], groupCount = 0;
    bool repeat = false;
    v_Groups(grouping, sizes, &groupCount, &repeat);
    std::u16string number;
    if (!(integer == "0" && !leadingZero && digits > 0)) {
        // Written right to left, a separator after each full group.
        std::u16string reversed;
        unsigned group = 0, inGroup = 0;
        for (size_t k = integer.size(); k-- > 0;) {
            if (group < groupCount && inGroup == sizes[group]) {
                for (size_t s = thousand.size(); s-- > 0;) reversed.push_back(thousand[s]);
                inGroup = 0;
                if (group + 1 < groupCount || !repeat) ++group;
            }
            reversed.push_back(static_cast<char16_t>(integer[k]));
            ++inGroup;
        }
        number.assign(reversed.rbegin(), reversed.rend());
    }
    if (digits > 0) {
        number += decimal;
        for (char c : fraction) number.push_back(static_cast<char16_t>(c));
    }
    if (!negative) {
        *out = number;
        return true;
    }
    // The sign is the locale's own negative sign.
    auto sign = data.co_Values.find(0x51);
    std::u16string minus = sign == data.co_Values.end() || sign->second.empty() ? u"-" : sign->second;
    // Built by appending: the compiler's restrict check misreads the
    // concatenations of short literals with strings.
    out->clear();
    if (order == 0) out->push_back(u'(');
    if (order == 1 || order == 2) out->append(minus);
    if (order == 2) out->push_back(u' ');
    out->append(number);
    if (order == 4) out->push_back(u' ');
    if (order == 3 || order == 4) out->append(minus);
    if (order == 0) out->push_back(u')');
    return true;
}

}  // namespace Platform
