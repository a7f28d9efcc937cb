// `basis time parse`: reads a date and time by a picture in a locale, as
// an application reads what its user typed, and shows what was read.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Locale.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/CalendarNames.h"
#include "tools/basis/Commands.h"
#include "tools/basis/ToolErrors.h"

namespace {

enum : int { e_Ok = 0, e_Failed = 1, e_Usage = 2 };

int i_TimeUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis time parse <text> --picture <picture> [--locale N] [--calendar C]\n"
                 "\n"
                 "  Reads the text by the date and time picture (d dd ddd dddd M MM MMM\n"
                 "  MMMM y yy yyyy g gg h hh H HH m mm s ss t tt, 'quoted' literals) in\n"
                 "  the locale (default: the user's). A year is resolved against the\n"
                 "  locale's alternate calendar, or the calendar given (gregorian, hebrew,\n"
                 "  hijri, japanese, taiwan, korean, thai, or its number). Prints the\n"
                 "  local date and time read, its calendar time and its absolute time;\n"
                 "  exit status 1 when the text does not fit the picture.\n");
    return out == stdout ? e_Ok : e_Usage;
}

// One line naming the mistake and pointing at --help, status 2.
int i_UsageError(char const* what, char const* word) {
    return i_ToolUsageError(std::string(what) + " \"" + word + "\"");
}

int i_Parse(int argc, char** argv) {
    if (argc < 1) return i_TimeUsage(stderr);
    char const* text = argv[0];
    char const* picture = nullptr;
    unsigned lcid = Platform::n_GetUserDefaultLCID();
    CT_Calendar::et_ID calendar = CT_Calendar::e_NoID;
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return i_UsageError("missing value of", argv[i]);
        if (std::strcmp(argv[i], "--picture") == 0) {
            picture = argv[i + 1];
        } else if (std::strcmp(argv[i], "--locale") == 0) {
            char* end = nullptr;
            unsigned long value = std::strtoul(argv[i + 1], &end, 0);
            if (end == argv[i + 1] || *end != 0 || value > 0xFFFFFFFFul ||
                !Platform::b_IsValidLocale(static_cast<unsigned>(value), Platform::e_LocaleSupported))
                return i_UsageError("unknown locale", argv[i + 1]);
            lcid = static_cast<unsigned>(value);
        } else if (std::strcmp(argv[i], "--calendar") == 0) {
            calendar = eo_CalendarByName(argv[i + 1]);
            if (calendar == CT_Calendar::e_NoID) return i_UsageError("unknown calendar", argv[i + 1]);
        } else {
            return i_UsageError("unknown option", argv[i]);
        }
    }
    if (!picture) return i_UsageError("no --picture for", text);
    CT_UString wideText, widePicture;
    v_GetArgumentName(text, &wideText);
    v_GetArgumentName(picture, &widePicture);
    CT_Time time;
    if (!time.b_Set(&wideText, &widePicture, lcid, calendar, 1)) {
        std::fprintf(stderr, "basis time: \"%s\" does not fit the picture \"%s\" in locale %u\n", text, picture, lcid);
        return e_Failed;
    }
    struct tm date = *CT_Time::spso_Abs2Date(time.n8_Get());
    std::printf("%04d-%02d-%02d %02d:%02d:%02d  calendar time %u  absolute time %llu\n", date.tm_year + 1900,
                date.tm_mon + 1, date.tm_mday, date.tm_hour, date.tm_min, date.tm_sec, time.n_Get(), time.n8_Get());
    return e_Ok;
}

}  // namespace

int i_RunTime(int argc, char** argv) {
    if (argc < 1) return i_TimeUsage(stderr);
    if (std::strcmp(argv[0], "--help") == 0 || std::strcmp(argv[0], "-h") == 0) return i_TimeUsage(stdout);
    if (std::strcmp(argv[0], "parse") == 0) return i_Parse(argc - 1, argv + 1);
    return i_UsageError("unknown subcommand", argv[0]);
}
