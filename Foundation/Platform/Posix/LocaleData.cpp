// The Linux stand-in's locale values, read from ICU's locale data (CLDR).
// Where ICU has no counterpart of a Windows value (the telephone country
// code, the OEM and Mac code pages), a small rule or table here supplies it.
#include "Foundation/Platform/Posix/LocaleData.h"

#include <unicode/calendar.h>
#include <unicode/datefmt.h>
#include <unicode/dcfmtsym.h>
#include <unicode/decimfmt.h>
#include <unicode/dtfmtsym.h>
#include <unicode/dtptngen.h>
#include <unicode/locid.h>
#include <unicode/numfmt.h>
#include <unicode/numsys.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/ucal.h>
#include <unicode/uenum.h>
#include <unicode/uloc.h>
#include <unicode/ulocdata.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

#include "Foundation/Platform/CodePage.h"

namespace Platform {

namespace {

std::u16string s_Of(icu::UnicodeString const& text) {
    return std::u16string(reinterpret_cast<char16_t const*>(text.getBuffer()), static_cast<size_t>(text.length()));
}

std::u16string s_Ascii(char const* text) {
    std::u16string out;
    while (*text) out.push_back(static_cast<unsigned char>(*text++));
    return out;
}

std::u16string s_Number(long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    return s_Ascii(text);
}

// Windows writes one plain space where CLDR has its narrow or ordinary
// no-break spaces inside time pictures (before the AM/PM designator).
// Separators keep CLDR's characters.
std::u16string s_PlainSpaces(std::u16string text) {
    for (char16_t& c : text)
        if (c == 0x202F) c = u' ';
    return text;
}

// Directional marks CLDR puts around signs; Windows signs carry none.
std::u16string s_WithoutMarks(std::u16string const& text) {
    std::u16string out;
    for (char16_t c : text)
        if (c != 0x200E && c != 0x200F && c != 0x061C) out.push_back(c);
    return out;
}

// ICU's calendar keyword as a Windows calendar id; 0 for calendars the
// library does not know (Persian, Chinese, Indian, ...). Every Islamic
// variant is the one Hijri calendar (6). The Korean lunisolar calendar
// stands for the Korean era calendar (5): it is what CLDR offers in Korea,
// and the library counts Korean years by their era only.
unsigned n_CalendarId(char const* keyword) {
    if (std::strcmp(keyword, "gregorian") == 0) return 1;
    if (std::strcmp(keyword, "japanese") == 0) return 3;
    if (std::strcmp(keyword, "roc") == 0) return 4;
    if (std::strcmp(keyword, "dangi") == 0) return 5;
    if (std::strncmp(keyword, "islamic", 7) == 0) return 6;
    if (std::strcmp(keyword, "buddhist") == 0) return 7;
    if (std::strcmp(keyword, "hebrew") == 0) return 8;
    return 0;
}

// International telephone codes (LOCALE_ICOUNTRY), which CLDR lacks; a
// region not listed gives 1, as Windows gives the US code for the few
// regions it has none for.
struct st_CallingCode {
    char ac_Region[3];
    unsigned short n_Code;
};
st_CallingCode const saso_CallingCodes[] = {
    {"AE", 971}, {"AR", 54},  {"AT", 43},  {"AU", 61},  {"BE", 32},  {"BG", 359}, {"BR", 55},  {"BY", 375},
    {"CA", 2},   {"CH", 41},  {"CL", 56},  {"CN", 86},  {"CO", 57},  {"CZ", 420}, {"DE", 49},  {"DK", 45},
    {"DZ", 213}, {"EE", 372}, {"EG", 20},  {"ES", 34},  {"FI", 358}, {"FR", 33},  {"GB", 44},  {"GR", 30},
    {"HK", 852}, {"HR", 385}, {"HU", 36},  {"ID", 62},  {"IE", 353}, {"IL", 972}, {"IN", 91},  {"IQ", 964},
    {"IR", 98},  {"IS", 354}, {"IT", 39},  {"JO", 962}, {"JP", 81},  {"KR", 82},  {"KW", 965}, {"LB", 961},
    {"LT", 370}, {"LU", 352}, {"LV", 371}, {"MA", 212}, {"MX", 52},  {"MY", 60},  {"NL", 31},  {"NO", 47},
    {"NZ", 64},  {"PE", 51},  {"PH", 63},  {"PK", 92},  {"PL", 48},  {"PT", 351}, {"QA", 974}, {"RO", 40},
    {"RS", 381}, {"RU", 7},   {"SA", 966}, {"SE", 46},  {"SG", 65},  {"SI", 386}, {"SK", 421}, {"SY", 963},
    {"TH", 66},  {"TN", 216}, {"TR", 90},  {"TW", 886}, {"UA", 380}, {"US", 1},   {"VE", 58},  {"VN", 84},
    {"ZA", 27},
};

unsigned n_CallingCode(char const* region) {
    for (st_CallingCode const& entry : saso_CallingCodes)
        if (std::strcmp(entry.ac_Region, region) == 0) return entry.n_Code;
    return 1;
}

// The OEM (DOS) and Mac code pages that go with an ANSI code page; the US
// keeps its own OEM page 437.
unsigned n_OemCodePage(unsigned ansi, char const* region) {
    switch (ansi) {
    case 1250: return 852;
    case 1251: return 866;
    case 1253: return 737;
    case 1254: return 857;
    case 1255: return 862;
    case 1256: return 720;
    case 1257: return 775;
    case 1252: return std::strcmp(region, "US") == 0 ? 437 : 850;
    default: return ansi;  // 874, 932, 936, 949, 950 serve as both
    }
}

unsigned n_MacCodePage(unsigned ansi) {
    switch (ansi) {
    case 874: return 10021;
    case 932: return 10001;
    case 936: return 10008;
    case 949: return 10003;
    case 950: return 10002;
    case 1250: return 10029;
    case 1251: return 10007;
    case 1253: return 10006;
    case 1254: return 10081;
    case 1255: return 10005;
    case 1256: return 10004;
    case 1257: return 10029;
    default: return 10000;
    }
}

// The POSIX name the code-page seam's rule reads: language, territory and
// the script as a modifier.
std::string s_PosixName(char const* icuName) {
    char language[16] = {0}, script[8] = {0}, region[8] = {0};
    UErrorCode error = U_ZERO_ERROR;
    uloc_getLanguage(icuName, language, sizeof language, &error);
    uloc_getScript(icuName, script, sizeof script, &error);
    uloc_getCountry(icuName, region, sizeof region, &error);
    std::string name = language;
    if (region[0]) name += std::string("_") + region;
    if (std::strcmp(script, "Latn") == 0) name += "@latin";
    else if (std::strcmp(script, "Cyrl") == 0) name += "@cyrillic";
    return name;
}

// The first separator of a picture: the characters between its first and
// second field.
std::u16string s_FirstSeparator(std::u16string const& picture, char16_t const* letters) {
    size_t start = picture.find_first_of(letters);
    if (start == std::u16string::npos) return u"";
    size_t end = picture.find_first_not_of(picture[start], start);
    if (end == std::u16string::npos) return u"";
    size_t next = picture.find_first_of(letters, end);
    std::u16string separator = picture.substr(end, next == std::u16string::npos ? std::u16string::npos : next - end);
    separator.erase(std::remove(separator.begin(), separator.end(), u'\''), separator.end());
    return separator;
}

// The count of the first run of c in the picture; 0 when absent.
unsigned n_RunOf(std::u16string const& picture, char16_t c) {
    size_t at = picture.find(c);
    if (at == std::u16string::npos) return 0;
    unsigned n = 0;
    while (at + n < picture.size() && picture[at + n] == c) ++n;
    return n;
}

// 0 month first, 1 day first, 2 year first.
unsigned n_DateOrder(std::u16string const& picture) {
    // The day number counts, not the day name (ddd, dddd).
    size_t d = picture.find(u'd');
    while (d != std::u16string::npos && n_RunOf(picture.substr(d), u'd') > 2) d = picture.find(u'd', d + n_RunOf(picture.substr(d), u'd'));
    size_t m = picture.find(u'M'), y = picture.find(u'y');
    if (y < m && y < d) return 2;
    if (d < m) return 1;
    return 0;
}

// A short date keeps four-digit years, as Windows short pictures do where
// CLDR's short patterns write two.
std::u16string s_WithFullYear(std::u16string picture) {
    std::u16string out;
    for (size_t i = 0; i < picture.size();) {
        if (picture[i] == u'\'') {
            size_t end = picture.find(u'\'', i + 1);
            end = end == std::u16string::npos ? picture.size() : end + 1;
            out += picture.substr(i, end - i);
            i = end;
        } else if (picture[i] == u'y') {
            while (i < picture.size() && picture[i] == u'y') ++i;
            out += u"yyyy";
        } else {
            out.push_back(picture[i++]);
        }
    }
    return out;
}

std::u16string s_Picture(icu::DateFormat* format) {
    std::unique_ptr<icu::DateFormat> owner(format);
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format);
    if (!simple) return u"";
    icu::UnicodeString pattern;
    simple->toPattern(pattern);
    return s_PlainSpaces(s_PictureOfPattern(s_Of(pattern)));
}

void v_Set(st_LocaleData* data, unsigned type, std::u16string const& value) { data->co_Values[type] = value; }
void v_SetNumber(st_LocaleData* data, unsigned type, long value) { data->co_Values[type] = s_Number(value); }

void v_ReadNames(st_LocaleData* data, icu::Locale const& locale) {
    // The symbols of a date format follow the calendar of its locale's
    // keyword, where a symbol set made from the locale alone is Gregorian.
    std::unique_ptr<icu::DateFormat> format(icu::DateFormat::createDateInstance(icu::DateFormat::kFull, locale));
    auto* simple = dynamic_cast<icu::SimpleDateFormat*>(format.get());
    if (!simple || !simple->getDateFormatSymbols()) return;
    icu::DateFormatSymbols const& symbols = *simple->getDateFormatSymbols();
    int32_t count = 0;
    using Symbols = icu::DateFormatSymbols;
    icu::UnicodeString const* days = symbols.getWeekdays(count, Symbols::FORMAT, Symbols::WIDE);
    for (int i = 0; i < 7 && i + 1 < count; ++i) data->as_Days[i] = s_Of(days[i + 1]);
    days = symbols.getWeekdays(count, Symbols::FORMAT, Symbols::ABBREVIATED);
    for (int i = 0; i < 7 && i + 1 < count; ++i) data->as_AbbrevDays[i] = s_Of(days[i + 1]);
    struct {
        std::u16string* names;
        Symbols::DtContextType context;
        Symbols::DtWidthType width;
    } const sets[] = {{data->as_Months, Symbols::STANDALONE, Symbols::WIDE},
                      {data->as_GenitiveMonths, Symbols::FORMAT, Symbols::WIDE},
                      {data->as_AbbrevMonths, Symbols::STANDALONE, Symbols::ABBREVIATED},
                      {data->as_AbbrevGenitiveMonths, Symbols::FORMAT, Symbols::ABBREVIATED}};
    for (auto const& set : sets) {
        icu::UnicodeString const* months = symbols.getMonths(count, set.context, set.width);
        for (int i = 0; i < 13 && i < count; ++i) set.names[i] = s_Of(months[i]);
    }
    icu::UnicodeString const* marks = symbols.getAmPmStrings(count);
    if (count >= 2) {
        data->s_Am = s_Of(marks[0]);
        data->s_Pm = s_Of(marks[1]);
    }
    // The present era is the last of the calendar's eras.
    icu::UnicodeString const* eras = symbols.getEras(count);
    if (count > 0) data->s_Era = s_Of(eras[count - 1]);
}

void v_ReadPictures(st_LocaleData* data, icu::Locale const& locale) {
    data->s_ShortDate = s_WithFullYear(s_Picture(icu::DateFormat::createDateInstance(icu::DateFormat::kShort, locale)));
    data->s_LongDate = s_Picture(icu::DateFormat::createDateInstance(icu::DateFormat::kFull, locale));
    data->s_TimeFormat = s_Picture(icu::DateFormat::createTimeInstance(icu::DateFormat::kMedium, locale));
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, error));
    if (U_SUCCESS(error)) {
        icu::UnicodeString pattern = generator->getBestPattern(u"yMMMM", error);
        if (U_SUCCESS(error)) data->s_YearMonth = s_PictureOfPattern(s_Of(pattern));
    }
}

// LOCALE_INEGNUMBER from the pattern's negative prefix and suffix.
unsigned n_NegativeOrder(std::u16string const& prefix, std::u16string const& suffix) {
    if (!prefix.empty() && prefix[0] == u'(') return 0;
    if (prefix.empty() && !suffix.empty()) return suffix.size() > 1 && suffix[0] == u' ' ? 4 : 3;
    return prefix.size() > 1 && prefix.back() == u' ' ? 2 : 1;
}

void v_ReadNumbers(st_LocaleData* data, icu::Locale const& locale, char const* region) {
    UErrorCode error = U_ZERO_ERROR;
    icu::DecimalFormatSymbols symbols(locale, error);
    if (U_FAILURE(error)) return;
    using Sym = icu::DecimalFormatSymbols;
    std::u16string decimal = s_Of(symbols.getSymbol(Sym::kDecimalSeparatorSymbol));
    v_Set(data, 0x0E, decimal);
    v_Set(data, 0x0F, s_Of(symbols.getSymbol(Sym::kGroupingSeparatorSymbol)));
    v_Set(data, 0x16, s_Of(symbols.getSymbol(Sym::kMonetarySeparatorSymbol)));
    v_Set(data, 0x17, s_Of(symbols.getSymbol(Sym::kMonetaryGroupingSeparatorSymbol)));
    v_Set(data, 0x0C, decimal == u"," ? u";" : u",");
    v_Set(data, 0x50, u"");
    v_Set(data, 0x51, s_WithoutMarks(s_Of(symbols.getSymbol(Sym::kMinusSignSymbol))));
    std::u16string digits = s_Of(symbols.getSymbol(Sym::kZeroDigitSymbol));
    for (int d = 0; d < 9; ++d)
        digits += s_Of(symbols.getSymbol(static_cast<Sym::ENumberFormatSymbol>(Sym::kOneDigitSymbol + d)));
    v_Set(data, 0x13, digits);
    v_Set(data, 0x14, s_Of(symbols.getSymbol(Sym::kCurrencySymbol)));
    v_Set(data, 0x15, s_Of(symbols.getSymbol(Sym::kIntlCurrencySymbol)));

    std::unique_ptr<icu::NumberFormat> number(icu::NumberFormat::createInstance(locale, error));
    auto* decimalFormat = dynamic_cast<icu::DecimalFormat*>(number.get());
    unsigned negative = 1;
    std::u16string grouping = u"3;0";
    if (U_SUCCESS(error) && decimalFormat) {
        icu::UnicodeString prefix, suffix;
        decimalFormat->getNegativePrefix(prefix);
        decimalFormat->getNegativeSuffix(suffix);
        negative = n_NegativeOrder(s_WithoutMarks(s_Of(prefix)), s_WithoutMarks(s_Of(suffix)));
        int32_t primary = decimalFormat->getGroupingSize(), secondary = decimalFormat->getSecondaryGroupingSize();
        if (primary > 0 && primary < 10) {
            grouping = s_Number(primary);
            if (secondary > 0 && secondary != primary && secondary < 10) grouping += u";" + s_Number(secondary);
            grouping += u";0";
        }
    }
    v_SetNumber(data, 0x1010, negative);
    v_Set(data, 0x10, grouping);
    v_Set(data, 0x18, grouping);
    v_SetNumber(data, 0x11, 2);
    v_SetNumber(data, 0x12, 1);
    v_SetNumber(data, 0x1014, 1);

    // Currency: where the symbol stands and whether a space parts it from
    // the number; the negative form puts a minus sign before the positive
    // one (LOCALE_INEGCURR 1, 5, 9 or 8 for the four positions).
    error = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberFormat> currency(icu::NumberFormat::createCurrencyInstance(locale, error));
    auto* currencyFormat = dynamic_cast<icu::DecimalFormat*>(currency.get());
    unsigned position = 0, currencyDigits = 2;
    if (U_SUCCESS(error) && currencyFormat) {
        icu::UnicodeString pattern;
        currencyFormat->toPattern(pattern);
        std::u16string text = s_Of(pattern);
        size_t semicolon = text.find(u';');
        if (semicolon != std::u16string::npos) text.resize(semicolon);
        size_t symbol = text.find(u'\u00A4'), digit = text.find_first_of(u"#0");
        bool before = symbol != std::u16string::npos && symbol < digit;
        bool spaced = text.find_first_of(u" \u00A0\u202F") != std::u16string::npos;
        position = (before ? 0 : 1) + (spaced ? 2 : 0);
        currencyDigits = static_cast<unsigned>(currencyFormat->getMinimumFractionDigits());
    }
    static unsigned const sanNegativeCurrency[4] = {1, 5, 9, 8};
    v_SetNumber(data, 0x1B, position);
    v_SetNumber(data, 0x1C, sanNegativeCurrency[position]);
    v_SetNumber(data, 0x19, currencyDigits);
    v_SetNumber(data, 0x1A, currencyDigits);
    v_SetNumber(data, 0x52, 3);
    v_SetNumber(data, 0x53, 1);
    v_SetNumber(data, 0x54, position % 2 == 0);
    v_SetNumber(data, 0x55, position >= 2);
    v_SetNumber(data, 0x56, position % 2 == 0);
    v_SetNumber(data, 0x57, position >= 2);

    error = U_ZERO_ERROR;
    UMeasurementSystem measure = ulocdata_getMeasurementSystem(locale.getName(), &error);
    v_SetNumber(data, 0x0D, U_SUCCESS(error) && measure == UMS_US ? 1 : 0);
    v_SetNumber(data, 0x05, n_CallingCode(region));
    v_SetNumber(data, 0x0A, n_CallingCode(region));
}

// The locale's native digits (ICU's "native" numbering system); the ASCII
// digits where it has none of its own.
void v_ReadNativeDigits(st_LocaleData* data, char const* name) {
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::NumberingSystem> system(
        icu::NumberingSystem::createInstance(icu::Locale((std::string(name) + "@numbers=native").c_str()), error));
    if (U_SUCCESS(error) && system && !system->isAlgorithmic() && system->getRadix() == 10) {
        std::u16string digits = s_Of(system->getDescription());
        if (digits.size() == 10) v_Set(data, 0x13, digits);
    }
}

void v_ReadCalendars(st_LocaleData* data, icu::Locale const& locale) {
    UErrorCode error = U_ZERO_ERROR;
    UEnumeration* keywords = ucal_getKeywordValuesForLocale("calendar", locale.getName(), 1, &error);
    unsigned type = 0, optional = 0;
    if (U_SUCCESS(error)) {
        char const* value;
        while ((value = uenum_next(keywords, nullptr, &error)) != nullptr && U_SUCCESS(error)) {
            unsigned id = n_CalendarId(value);
            if (!id) continue;
            if (std::find(data->co_Calendars.begin(), data->co_Calendars.end(), id) != data->co_Calendars.end())
                continue;
            data->co_Calendars.push_back(id);
            data->co_CalendarKeywords.push_back(value);
            if (!type) type = id;
            else if (!optional) optional = id;
        }
        uenum_close(keywords);
    }
    if (!type) {
        type = 1;
        data->co_Calendars.push_back(1);
        data->co_CalendarKeywords.push_back("gregorian");
    }
    data->b_Gregorian = type == 1;
    v_SetNumber(data, 0x1009, type);
    v_SetNumber(data, 0x100B, optional);

    error = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(locale, error));
    if (U_SUCCESS(error)) {
        // Windows counts Monday as 0, ICU Sunday as 1.
        UCalendarDaysOfWeek first = calendar->getFirstDayOfWeek(error);
        v_SetNumber(data, 0x100C, (static_cast<int>(first) + 5) % 7);
        uint8_t minimal = calendar->getMinimalDaysInFirstWeek();
        v_SetNumber(data, 0x100D, minimal >= 7 ? 1 : minimal >= 4 ? 2 : 0);
    }
}

void v_ReadNamesOfPlace(st_LocaleData* data, icu::Locale const& locale) {
    icu::Locale const& english = icu::Locale::getEnglish();
    icu::UnicodeString text;
    v_Set(data, 0x02, s_Of(locale.getDisplayName(english, text)));
    v_Set(data, 0x1001, s_Of(locale.getDisplayLanguage(english, text)));
    v_Set(data, 0x04, s_Of(locale.getDisplayLanguage(locale, text)));
    v_Set(data, 0x06, s_Of(locale.getDisplayCountry(english, text)));
    v_Set(data, 0x1002, s_Of(locale.getDisplayCountry(english, text)));
    v_Set(data, 0x08, s_Of(locale.getDisplayCountry(locale, text)));
    v_Set(data, 0x07, s_Ascii(locale.getISO3Country()));
    // A three-letter language abbreviation: the ISO 639-2 code for the
    // language's first variant, else its two letters and the region's
    // first letter.
    std::string abbreviation;
    if (((data->n_Lcid >> 10) & 63) == 1) {
        abbreviation = locale.getISO3Language();
    } else {
        abbreviation = std::string(locale.getLanguage()) + locale.getCountry()[0];
    }
    for (char& c : abbreviation) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    v_Set(data, 0x03, s_Ascii(abbreviation.c_str()));
    char hex[8];
    std::snprintf(hex, sizeof hex, "%04x", data->n_Lcid & 0xFFFF);
    v_Set(data, 0x01, s_Ascii(hex));
    v_Set(data, 0x09, s_Ascii(hex));
}

void v_DerivePictureValues(st_LocaleData* data) {
    std::u16string const& shortDate = data->s_ShortDate;
    std::u16string const& time = data->s_TimeFormat;
    v_Set(data, 0x1F, shortDate);
    v_Set(data, 0x20, data->s_LongDate);
    v_Set(data, 0x1003, time);
    v_Set(data, 0x1006, data->s_YearMonth);
    v_Set(data, 0x1D, s_FirstSeparator(shortDate, u"dMy"));
    v_Set(data, 0x1E, s_FirstSeparator(time, u"hHms"));
    v_SetNumber(data, 0x21, n_DateOrder(shortDate));
    v_SetNumber(data, 0x22, n_DateOrder(data->s_LongDate));
    v_SetNumber(data, 0x23, time.find(u'H') != std::u16string::npos);
    size_t mark = time.find(u't'), hour = time.find_first_of(u"hH");
    v_SetNumber(data, 0x1005, mark != std::u16string::npos && mark < hour);
    v_SetNumber(data, 0x24, n_RunOf(shortDate, u'y') >= 4);
    v_SetNumber(data, 0x25, std::max(n_RunOf(time, u'h'), n_RunOf(time, u'H')) >= 2);
    v_SetNumber(data, 0x26, n_RunOf(shortDate, u'd') == 2);
    v_SetNumber(data, 0x27, n_RunOf(shortDate, u'M') == 2);
    v_Set(data, 0x28, data->s_Am);
    v_Set(data, 0x29, data->s_Pm);
    for (int i = 0; i < 7; ++i) {
        // Monday first here, Sunday first in the data.
        v_Set(data, 0x2A + i, data->as_Days[(i + 1) % 7]);
        v_Set(data, 0x31 + i, data->as_AbbrevDays[(i + 1) % 7]);
    }
    for (int i = 0; i < 12; ++i) {
        v_Set(data, 0x38 + i, data->as_Months[i]);
        v_Set(data, 0x44 + i, data->as_AbbrevMonths[i]);
    }
    v_Set(data, 0x100E, data->as_Months[12]);
    v_Set(data, 0x100F, data->as_AbbrevMonths[12]);
}

std::unique_ptr<st_LocaleData> pco_Read(unsigned lcid) {
    char name[ULOC_FULLNAME_CAPACITY] = {0};
    UErrorCode error = U_ZERO_ERROR;
    uloc_getLocaleForLCID(lcid, name, sizeof name, &error);
    if (U_FAILURE(error) || !name[0]) return nullptr;
    auto data = std::make_unique<st_LocaleData>();
    data->n_Lcid = lcid;
    data->s_IcuName = name;
    icu::Locale locale(name);
    if (locale.isBogus()) return nullptr;
    char const* region = locale.getCountry();
    data->n_AnsiCodePage = n_GetAnsiCodePageOfLocale(s_PosixName(name).c_str());
    v_SetNumber(data.get(), 0x1004, data->n_AnsiCodePage);
    v_SetNumber(data.get(), 0x0B, n_OemCodePage(data->n_AnsiCodePage, region));
    v_SetNumber(data.get(), 0x1011, n_MacCodePage(data->n_AnsiCodePage));
    v_ReadNamesOfPlace(data.get(), locale);
    v_ReadCalendars(data.get(), locale);
    // Names and pictures are those of the locale's own calendar, which ICU
    // takes from the locale's keyword rather than the region's preference;
    // numbers are written in ASCII digits, as Windows writes them whatever
    // the locale's native digits (those are a value of their own).
    std::string withCalendar = std::string(name) + "@calendar=" + data->co_CalendarKeywords.front();
    data->s_CalendarLocale = withCalendar;
    icu::Locale calendarLocale(withCalendar.c_str());
    v_ReadNames(data.get(), calendarLocale);
    v_ReadPictures(data.get(), calendarLocale);
    v_ReadNumbers(data.get(), icu::Locale((std::string(name) + "@numbers=latn").c_str()), region);
    v_ReadNativeDigits(data.get(), name);
    v_DerivePictureValues(data.get());
    return data;
}

// The LCIDs of ICU's locales that name a language and a region (the
// neutral, language-only identifiers are not locales on Windows either),
// ascending, and the cache of locale data read so far.
struct st_Registry {
    std::vector<unsigned> co_Lcids;
    std::mutex co_Lock;
    std::map<unsigned, std::unique_ptr<st_LocaleData>> co_Data;

    st_Registry() {
        int32_t count = uloc_countAvailable();
        for (int32_t i = 0; i < count; ++i) {
            unsigned lcid = uloc_getLCID(uloc_getAvailable(i));
            if (lcid == 0 || lcid > 0xFFFF || ((lcid >> 10) & 63) == 0) continue;
            co_Lcids.push_back(lcid);
        }
        std::sort(co_Lcids.begin(), co_Lcids.end());
        co_Lcids.erase(std::unique(co_Lcids.begin(), co_Lcids.end()), co_Lcids.end());
    }
};

st_Registry& rco_Registry() {
    static st_Registry sco_Registry;
    return sco_Registry;
}

st_LocaleData const* pcso_Find(unsigned lcid);

char const* qccz_ProcessLocaleName() {
    for (char const* name : {"LC_ALL", "LC_TIME", "LC_CTYPE", "LANG"}) {
        char const* value = std::getenv(name);
        if (value && *value) return value;
    }
    return "C";
}

}  // namespace

unsigned n_GetProcessLcid() {
    static unsigned const sn_Lcid = [] {
        char const* p = qccz_ProcessLocaleName();
        std::string language, territory, modifier;
        while (*p && *p != '_' && *p != '.' && *p != '@') language.push_back(*p++);
        if (*p == '_')
            for (++p; *p && *p != '.' && *p != '@'; ++p) territory.push_back(*p);
        while (*p && *p != '@') ++p;
        if (*p == '@') modifier = p + 1;
        if (language.empty() || language == "C" || language == "POSIX") return 1033u;
        std::string name = language;
        if (modifier == "latin") name += "_Latn";
        else if (modifier == "cyrillic") name += "_Cyrl";
        if (!territory.empty()) name += "_" + territory;
        unsigned lcid = uloc_getLCID(name.c_str());
        if (lcid == 0 || !b_HasLocaleData(lcid)) {
            // A language ICU knows with a region it does not: the language's
            // own first locale.
            unsigned neutral = uloc_getLCID(language.c_str()) & 0x3FF;
            for (unsigned known : rco_Registry().co_Lcids)
                if (neutral && (known & 0x3FF) == neutral) return known;
            return 1033u;
        }
        return lcid;
    }();
    return sn_Lcid;
}

bool b_HasLocaleData(unsigned lcid) {
    thread_local unsigned stn_LastKnown = ~0u;
    if (lcid == stn_LastKnown) return true;
    std::vector<unsigned> const& lcids = rco_Registry().co_Lcids;
    bool known = std::binary_search(lcids.begin(), lcids.end(), lcid);
    if (known) stn_LastKnown = lcid;
    return known;
}

unsigned n_GetLcidCount() { return static_cast<unsigned>(rco_Registry().co_Lcids.size()); }

unsigned n_GetLcidAt(unsigned index) {
    std::vector<unsigned> const& lcids = rco_Registry().co_Lcids;
    return index < lcids.size() ? lcids[index] : 0;
}

st_LocaleData const* pcso_GetLocaleData(unsigned lcid) {
    // 0 and the Windows placeholders for the user and system defaults.
    if (lcid == 0 || lcid == 0x400 || lcid == 0x800) lcid = n_GetProcessLcid();
    // Callers ask for the same locale many times in a row: the thread keeps
    // its last answer (entries live as long as the process).
    thread_local unsigned stn_LastLcid = ~0u;
    thread_local st_LocaleData const* stpcso_Last = nullptr;
    if (lcid == stn_LastLcid) return stpcso_Last;
    st_LocaleData const* result = pcso_Find(lcid);
    stn_LastLcid = lcid;
    stpcso_Last = result;
    return result;
}

namespace {

st_LocaleData const* pcso_Find(unsigned lcid) {
    st_Registry& registry = rco_Registry();
    if (!std::binary_search(registry.co_Lcids.begin(), registry.co_Lcids.end(), lcid)) return nullptr;
    std::lock_guard<std::mutex> guard(registry.co_Lock);
    auto found = registry.co_Data.find(lcid);
    if (found != registry.co_Data.end()) return found->second.get();
    std::unique_ptr<st_LocaleData> data = pco_Read(lcid);
    st_LocaleData const* result = data.get();
    registry.co_Data[lcid] = std::move(data);
    return result;
}

}  // namespace

void v_ToLocaleCalendar(st_LocaleData const& data, unsigned year, unsigned month, unsigned day, int* outYear,
                        unsigned* outMonth, unsigned* outDay) {
    *outYear = static_cast<int>(year);
    *outMonth = month;
    *outDay = day;
    if (data.b_Gregorian) return;
    UErrorCode error = U_ZERO_ERROR;
    std::unique_ptr<icu::Calendar> calendar(icu::Calendar::createInstance(
        icu::TimeZone::createTimeZone("GMT"), icu::Locale(data.s_CalendarLocale.c_str()), error));
    if (U_FAILURE(error)) return;
    // Days from 1970-01-01 of the Gregorian date (proleptic).
    int y = static_cast<int>(year) - (month <= 2);
    int era = (y >= 0 ? y : y - 399) / 400;
    unsigned yoe = static_cast<unsigned>(y - era * 400);
    unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    double days = static_cast<double>(era) * 146097 + static_cast<double>(doe) - 719468;
    calendar->setTime(days * 86400000.0 + 43200000.0, error);
    int32_t y2 = calendar->get(UCAL_YEAR, error), m2 = calendar->get(UCAL_MONTH, error),
            d2 = calendar->get(UCAL_DATE, error);
    if (U_FAILURE(error)) return;
    *outYear = y2;
    *outMonth = static_cast<unsigned>(m2 + 1);
    *outDay = static_cast<unsigned>(d2);
}

}  // namespace Platform
