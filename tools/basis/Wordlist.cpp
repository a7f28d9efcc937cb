// `basis wordlist`: builds a bilingual word list from a tab-separated file
// of pairs, looks words up in either direction, lists the pairs, and saves
// and loads the list's images.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <algorithm>
#include <unordered_map>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/ToolErrors.h"
#include "tools/basis/ToolText.h"
#include "Foundation/Platform/CodePage.h"
#include "tools/basis/Progress.h"
#include "tools/basis/WordlistIndex.h"
#include "tools/basis/WordlistInfo.h"
#include "tools/basis/WordlistStore.h"

namespace {

enum : int { e_Ok = e_ExitOk };
// Malformed lines reported one by one before the rest is only counted.
unsigned const kReportedLines = 20;

int i_WordlistUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis wordlist build <pairs.tsv> <list.bwl> [--codepage N] [--one-by-one] [--force]\n"
                 "       basis wordlist source <list> <word> [--codepage N] [--json]\n"
                 "       basis wordlist target <list> <word> [--codepage N] [--json]\n"
                 "       basis wordlist list <list> [--codepage N] [--json]\n"
                 "       basis wordlist info <list> [--codepage N] [--json]\n"
                 "\n"
                 "  A pairs file has one pair a line: source word, a tab, target word.\n"
                 "  It is UTF-8 (a list of wide words; default --codepage 65001) unless\n"
                 "  --codepage gives the code page it is in (a list of narrow words); a\n"
                 "  file that starts with a UTF-16 byte-order mark is read as UTF-16.\n"
                 "  <list> is a pairs file or a list saved by build (which knows its own\n"
                 "  code page); \"-\" reads it from standard input.\n"
                 "  build: saves the list to <list.bwl> (\"-\": standard output), which may\n"
                 "  not be the pairs file and is not replaced when it exists, unless\n"
                 "  --force. A source word given twice is reported; lookups find the\n"
                 "  first. A list holds as many pairs as its indexes' 2-byte links reach\n"
                 "  across 64 KiB of index: about 2,900 pairs of short words; the line\n"
                 "  that passes the limit is named.\n"
                 "  source: the target word of a source word; target: the source word\n"
                 "  of a target word. Words on the command line and output are UTF-8.\n"
                 "  info: the counts of pairs and distinct words, the sizes of texts and\n"
                 "  indexes, the code page, and how near each index's longest link comes\n"
                 "  to the 65535 bytes its 2 bytes reach.\n"
                 "  --json (info, list, source, target): one JSON object on standard\n"
                 "  output instead of text.\n"
                 "  --one-by-one builds the list pair by pair through the library's word\n"
                 "  lists instead of laying out its indexes in one pass (the same list,\n"
                 "  more slowly: for checking the one against the other).\n"
                 "%s",
                 kToolCommonUsage);
    return out == stdout ? e_ExitOk : e_ExitUsage;
}

// Failures to read or build a list are input or format errors.
int i_Fail(std::string const& message) { return i_ToolFail(e_ExitError, message); }

// The length of a valid UTF-8 sequence at text, 0 when it is not valid.
unsigned n_Utf8Sequence(unsigned char const* text, std::size_t left) {
    unsigned char c = text[0];
    if (c < 0x80) return 1;
    unsigned length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC2 ? 2 : 0;
    if (length == 0 || c > 0xF4 || left < length) return 0;
    for (unsigned k = 1; k < length; ++k)
        if ((text[k] & 0xC0) != 0x80) return 0;
    if (c == 0xE0 && text[1] < 0xA0) return 0;  // overlong
    if (c == 0xED && text[1] >= 0xA0) return 0;  // a surrogate
    if (c == 0xF0 && text[1] < 0x90) return 0;  // overlong
    if (c == 0xF4 && text[1] >= 0x90) return 0;  // past U+10FFFF
    return length;
}

// Why a word cannot be stored, or empty when it can.
std::string s_WordProblem(std::string const& word, bool utf8, char const* which) {
    if (word.empty()) return std::string("empty ") + which + " word";
    for (std::size_t k = 0; k < word.size();) {
        auto c = static_cast<unsigned char>(word[k]);
        if (c < 0x20 || c == 0x7F) {
            char text[80];
            std::snprintf(text, sizeof text, "control character 0x%02X in the %s word", c, which);
            return text;
        }
        if (!utf8) {
            ++k;
            continue;
        }
        unsigned length = n_Utf8Sequence(reinterpret_cast<unsigned char const*>(word.data()) + k, word.size() - k);
        if (length == 0) {
            char text[80];
            std::snprintf(text, sizeof text, "the %s word is not valid UTF-8 (byte %zu)", which, k + 1);
            // Most such files are in a code page such as Latin-1.
            return std::string(text) + "; for a file in a code page, name it with --codepage (e.g. --codepage 1252)";
        }
        k += length;
    }
    return std::string();
}

// A word's wide units with their terminator.
std::vector<unsigned short> ao_Wide(std::string const& utf8) {
    std::vector<unsigned short> units = ao_ToWide(utf8.data(), static_cast<unsigned>(utf8.size()), 65001);
    units.push_back(0);
    return units;
}

// Walks the pairs file line by line: each well-formed line goes to
// pair(line, source, target) as its two words, each malformed one to
// complain(line, why); pair returns false to stop the walk.
template <class Pair, class Complain>
void v_ReadPairs(std::string const& bytes, bool utf8, CT_Progress* progress, Pair pair, Complain complain) {
    unsigned lineNumber = 0, pairs = 0;
    std::size_t at = 0;
    if (utf8 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) at = 3;  // a byte-order mark
    while (at < bytes.size()) {
        std::size_t end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        std::size_t tab = line.find('\t');
        if (tab == std::string::npos) {
            complain(lineNumber, "no tab between the source word and the target word");
            continue;
        }
        if (line.find('\t', tab + 1) != std::string::npos) {
            complain(lineNumber, "more than one tab (expected source<TAB>target)");
            continue;
        }
        std::string source = line.substr(0, tab), target = line.substr(tab + 1);
        std::string problem = s_WordProblem(source, utf8, "source");
        if (problem.empty()) problem = s_WordProblem(target, utf8, "target");
        if (!problem.empty()) {
            complain(lineNumber, problem);
            continue;
        }
        if (!pair(lineNumber, source, target)) break;
        progress->v_Update(at, ++pairs);
    }
}

// Reads the pairs file into a list pair by pair; the view then holds it.
// Every malformed line is reported with its number; any of them fails the
// build. Through the word lists, each pair goes to the library's
// CT_BiLingual...WordList; otherwise the list's steps are taken here on two
// compressed lists (each word into its index with its partner's offset,
// then both into the texts), so that CT_IndexLinks can spare the indexes
// the words they certainly refuse.
int i_BuildPairByPair(char const* path, std::string const& bytes, bool utf8, unsigned codePage, st_WordlistView* view,
                      bool throughWordLists) {
    CT_BiLingualCWordList narrow;
    CT_BiLingualUWordList wide;
    CT_CompList::et_ElementSize size = utf8 ? CT_CompList::e_Word : CT_CompList::e_Byte;
    CT_CompList sourceIndex(size, 4, 0, 0, 128, 0), targetIndex(size, 4, 0, 0, 128, 0);
    CT_IndexLinks sourceLinks, targetLinks;
    std::string sourceTexts, targetTexts;
    unsigned count = 0;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    CT_Progress progress("reading pairs", bytes.size(), "pairs");
    unsigned malformed = 0, unindexed = 0, firstUnindexed = 0;
    auto complain = [&](unsigned line, std::string const& why) {
        if (++malformed <= kReportedLines) progress.v_Finish();
        if (malformed <= kReportedLines) std::fprintf(stderr, "%s:%u: %s\n", path, line, why.c_str());
    };
    std::string failure;
    auto pair = [&](unsigned lineNumber, std::string const& source, std::string const& target) {
        // A word the index neither holds afterwards nor held before was
        // refused: the index outgrew what its 2-byte links reach.
        bool indexed = true;
        if (!throughWordLists) {
            std::string s = source, t = target;
            if (utf8) {
                std::vector<unsigned short> ws = ao_Wide(source), wt = ao_Wide(target);
                s.assign(reinterpret_cast<char const*>(ws.data()), 2 * ws.size());
                t.assign(reinterpret_cast<char const*>(wt.data()), 2 * wt.size());
            } else {
                s.push_back('\0');
                t.push_back('\0');
            }
            unsigned unit = utf8 ? 2 : 1;
            if (!errors->b_IsSetError()) {
                bool inSource = sourceLinks.b_Add(&sourceIndex, s.data(), static_cast<unsigned>(s.size()) / unit - 1,
                                                  static_cast<unsigned>(targetTexts.size()));
                bool inTarget = targetLinks.b_Add(&targetIndex, t.data(), static_cast<unsigned>(t.size()) / unit - 1,
                                                  static_cast<unsigned>(sourceTexts.size()));
                indexed = inSource && inTarget;
                sourceTexts += s;
                targetTexts += t;
                ++count;
            }
        } else if (utf8) {
            std::vector<unsigned short> s = ao_Wide(source), t = ao_Wide(target);
            wide.v_Insert(s.data(), t.data());
            indexed = wide.pcco_GetSourceIndex()->b_Search(s.data()) && wide.pcco_GetTargetIndex()->b_Search(t.data());
        } else {
            narrow.v_Insert(source.c_str(), target.c_str());
            indexed = narrow.pcco_GetSourceIndex()->b_Search(source.c_str()) &&
                      narrow.pcco_GetTargetIndex()->b_Search(target.c_str());
        }
        if (errors->b_IsSetError()) {
            failure = std::string(path) + ":" + std::to_string(lineNumber) + ": the words cannot be converted";
            errors->v_ClearError();
            return false;
        }
        if (!indexed && !firstUnindexed) firstUnindexed = lineNumber;
        if (!indexed && ++unindexed <= kReportedLines) progress.v_Finish();
        if (!indexed && unindexed <= kReportedLines)
            std::fprintf(stderr, "%s:%u: the pair cannot be indexed: the list has outgrown the reach of its 2-byte links\n",
                         path, lineNumber);
        return true;
    };
    v_ReadPairs(bytes, utf8, &progress, pair, complain);
    progress.v_Finish();
    if (!failure.empty()) return i_Fail(failure);
    if (malformed > kReportedLines) std::fprintf(stderr, "%s: ... %s\n", path, s_Count(malformed - kReportedLines, "more malformed line").c_str());
    if (unindexed > kReportedLines) std::fprintf(stderr, "%s: ... %s not indexed\n", path, s_Count(unindexed - kReportedLines, "more pair").c_str());
    if (malformed) return i_Fail(std::to_string(malformed) + " malformed line" + (malformed == 1 ? "" : "s") + " in \"" + path + "\"");
    // Too many pairs is a refusal of the list, not a fault of the file.
    if (unindexed)
        return i_ToolFail(e_ExitNo, std::to_string(unindexed) + " pair" + (unindexed == 1 ? "" : "s") + " of \"" + path +
                      "\" could not be indexed: the indexes' 2-byte links reach across 64 KiB of index at most, "
                      "and line " + std::to_string(firstUnindexed) + " was the first that did not fit");
    if (throughWordLists) {
        if (utf8)
            view->v_Take(wide);
        else
            view->v_Take(narrow, codePage);
        return e_Ok;
    }
    view->n_Kind = utf8 ? e_WideWords : e_NarrowWords;
    view->n_CodePage = utf8 ? 65001 : codePage;
    view->n_Count = count;
    view->co_SourceTexts.v_Set(sourceTexts.data(), static_cast<unsigned>(sourceTexts.size()), 32);
    view->co_TargetTexts.v_Set(targetTexts.data(), static_cast<unsigned>(targetTexts.size()), 32);
    view->co_SourceIndex.v_Set(&sourceIndex);
    view->co_TargetIndex.v_Set(&targetIndex);
    return e_Ok;
}

// The same list built in one pass: the texts in file order, the two index
// images laid out at once (WordlistIndex.h), so the time grows with the
// size of the file and not with its square. The result, and every message,
// is that of the build pair by pair, to which this falls back when one pass
// cannot tell it: when a word cannot be converted, or when an index needs a
// link its 2 bytes cannot hold (then only adding pair by pair says which
// pairs the list refuses). Returns -1 for that fallback.
int i_BuildInOnePass(char const* path, std::string const& bytes, bool utf8, unsigned codePage, st_WordlistView* view) {
    unsigned const unit = utf8 ? 2 : 1;
    CT_WordlistIndex sourceIndex(unit), targetIndex(unit);
    std::string sourceTexts, targetTexts;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    CT_Progress progress("reading pairs", bytes.size(), "pairs");
    std::vector<std::string> complaints;
    unsigned malformed = 0, count = 0;
    bool converted = true;
    // A list far past what its links reach is told early: at each
    // checkpoint the indexes so far are laid out, and once either cannot
    // be (which stays so as words are added), the remaining pairs are
    // still read, for malformed lines and words that cannot be converted,
    // but no longer indexed, and the build by pairs says which pairs are
    // refused. The checkpoints double, so the layouts cost at most as much
    // as one more.
    bool outgrown = false;
    unsigned checkpoint = 1024;
    auto complain = [&](unsigned line, std::string const& why) {
        if (++malformed <= kReportedLines) complaints.push_back(std::string(path) + ":" + std::to_string(line) + ": " + why);
    };
    // Each word goes into its index with the offset its partner will have,
    // then into its texts with its terminator, as the list inserts a pair.
    auto add = [&](std::string const& source, std::string const& target) {
        if (source.size() > 0x7FFFFFF0u || target.size() > 0x7FFFFFF0u ||
            sourceTexts.size() + source.size() > 0xFFFFFF00u || targetTexts.size() + target.size() > 0xFFFFFF00u) {
            converted = false;  // past what a 32-bit handle reaches: left to the library
            return;
        }
        // Past the checkpoint that found the indexes outgrown, the words are
        // still measured (a failure there falls back as before).
        if (!outgrown) {
            sourceIndex.v_Add(source.data(), static_cast<unsigned>(source.size()) / unit, static_cast<unsigned>(targetTexts.size()));
            targetIndex.v_Add(target.data(), static_cast<unsigned>(target.size()) / unit, static_cast<unsigned>(sourceTexts.size()));
        }
        sourceTexts.append(source).append(unit, '\0');
        targetTexts.append(target).append(unit, '\0');
        if (++count == checkpoint && !outgrown) {
            checkpoint = checkpoint <= 0x7FFFFFFFu ? 2 * checkpoint : 0xFFFFFFFFu;
            outgrown = !sourceIndex.b_CanBuild() || !targetIndex.b_CanBuild();
        }
    };
    auto pair = [&](unsigned, std::string const& source, std::string const& target) {
        if (!utf8) {
            add(source, target);
            return converted;
        }
        std::vector<unsigned short> s = ao_ToWide(source.data(), static_cast<unsigned>(source.size()), 65001);
        std::vector<unsigned short> t = ao_ToWide(target.data(), static_cast<unsigned>(target.size()), 65001);
        if (errors->b_IsSetError()) {
            errors->v_ClearError();
            converted = false;
            return false;
        }
        add(std::string(reinterpret_cast<char const*>(s.data()), 2 * s.size()),
            std::string(reinterpret_cast<char const*>(t.data()), 2 * t.size()));
        return converted;
    };
    v_ReadPairs(bytes, utf8, &progress, pair, complain);
    progress.v_Finish();
    if (!converted) return -1;
    if (malformed) {
        // A malformed line fails the build before the indexes matter.
        for (std::string const& complaint : complaints) std::fprintf(stderr, "%s\n", complaint.c_str());
        if (malformed > kReportedLines) std::fprintf(stderr, "%s: ... %s\n", path, s_Count(malformed - kReportedLines, "more malformed line").c_str());
        return i_Fail(std::to_string(malformed) + " malformed line" + (malformed == 1 ? "" : "s") + " in \"" + path + "\"");
    }
    CT_Buffer sourceImage, targetImage;
    if (outgrown || !sourceIndex.b_Build(&sourceImage) || !targetIndex.b_Build(&targetImage)) return -1;
    view->n_Kind = utf8 ? e_WideWords : e_NarrowWords;
    view->n_CodePage = utf8 ? 65001 : codePage;
    view->n_Count = count;
    view->co_SourceTexts.v_Set(sourceTexts.data(), static_cast<unsigned>(sourceTexts.size()), 32);
    view->co_TargetTexts.v_Set(targetTexts.data(), static_cast<unsigned>(targetTexts.size()), 32);
    view->co_SourceIndex.v_Set(&sourceImage);
    view->co_TargetIndex.v_Set(&targetImage);
    return e_Ok;
}

// Reads the pairs file into a list; the view then holds it.
int i_BuildFromPairs(char const* path, std::string const& bytes, bool utf8, unsigned codePage, st_WordlistView* view,
                     bool oneByOne = false) {
    if (oneByOne) return i_BuildPairByPair(path, bytes, utf8, codePage, view, true);
    int result = i_BuildInOnePass(path, bytes, utf8, codePage, view);
    return result >= 0 ? result : i_BuildPairByPair(path, bytes, utf8, codePage, view, false);
}

// A pairs file that starts with a UTF-16 byte-order mark is turned into
// UTF-8 here, so that it is read as what it is; with --codepage it is
// refused, as no code page reads it. Returns 0, or the exit code after
// reporting.
int i_TakeUtf16(char const* path, std::string* bytes, bool utf8, unsigned codePage) {
    if (bytes->size() < 2) return e_Ok;
    auto b0 = static_cast<unsigned char>((*bytes)[0]), b1 = static_cast<unsigned char>((*bytes)[1]);
    bool little = b0 == 0xFF && b1 == 0xFE, big = b0 == 0xFE && b1 == 0xFF;
    if (!little && !big) return e_Ok;
    std::string name = std::strcmp(path, "-") == 0 ? std::string("standard input") : s_InQuotes(path);
    if (!utf8)
        return i_Fail(name + " is UTF-16 (it starts with a byte-order mark), not in code page " +
                      std::to_string(codePage) + "; leave out --codepage to read it as UTF-16");
    if (bytes->size() % 2 != 0) return i_Fail(name + " starts as UTF-16 but has an odd number of bytes");
    std::vector<unsigned short> units((bytes->size() - 2) / 2);
    for (std::size_t k = 0; k < units.size(); ++k) {
        auto lo = static_cast<unsigned char>((*bytes)[2 + 2 * k + (big ? 1 : 0)]);
        auto hi = static_cast<unsigned char>((*bytes)[2 + 2 * k + (big ? 0 : 1)]);
        units[k] = static_cast<unsigned short>(lo | hi << 8);
    }
    *bytes = s_Utf8FromWide(units.data(), units.size());
    return e_Ok;
}

// A source word given on an earlier line as well is reported (the list
// keeps both pairs, and a lookup finds only one of them).
void v_ReportDuplicates(char const* path, std::string const& bytes, bool utf8) {
    // Looked up, never walked in order: a hash table spares the
    // comparisons along a tree's path.
    std::unordered_map<std::string, unsigned> seen;
    seen.reserve(static_cast<std::size_t>(std::count(bytes.begin(), bytes.end(), '\n')) + 1);
    unsigned reported = 0, more = 0;
    CT_Progress quiet("", 0, "");
    v_ReadPairs(
        bytes, utf8, &quiet,
        [&](unsigned line, std::string const& source, std::string const&) {
            auto found = seen.emplace(source, line);
            if (found.second) return true;
            if (++reported <= kReportedLines)
                v_ToolWarn(std::string(path) + ":" + std::to_string(line) + ": the source word \"" + source +
                           "\" was given before, on line " + std::to_string(found.first->second));
            else
                ++more;
            return true;
        },
        [](unsigned, std::string const&) {});
    if (more) v_ToolWarn(std::string(path) + ": ... " + s_Count(more, "more duplicate source word") );
}

// A list named on the command line: a saved list or a pairs file.
int i_OpenList(char const* path, bool utf8, unsigned codePage, st_WordlistView* view) {
    std::string bytes, error;
    if (!b_ReadWholeFile(path, &bytes, &error)) return i_Fail(error);
    if (b_IsSavedWordlist(bytes)) return b_LoadWordlist(view, bytes, &error) ? e_Ok : i_Fail(std::string(path) + ": " + error);
    int taken = i_TakeUtf16(path, &bytes, utf8, codePage);
    if (taken != e_Ok) return taken;
    return i_BuildFromPairs(path, bytes, utf8, codePage, view);
}

// Walks the texts pair by pair (the count says how many).
int i_ListPairs(st_WordlistView const& view) {
    unsigned unit = view.n_Unit();
    CT_Buffer const* texts[2] = {&view.co_SourceTexts, &view.co_TargetTexts};
    unsigned offsets[2] = {0, 0};
    for (unsigned pair = 0; pair < view.n_Count; ++pair) {
        std::string words[2];
        for (int side = 0; side < 2; ++side) {
            auto const* bytes = static_cast<unsigned char const*>(texts[side]->qcv_Get());
            unsigned used = texts[side]->n_GetUsedSize(), start = offsets[side], k = start;
            while (k + unit <= used && !(bytes[k] == 0 && (unit == 1 || bytes[k + 1] == 0))) k += unit;
            if (k + unit > used) return i_Fail("the list's texts end before its pair count");
            words[side] = s_WordForOutput(view, bytes + start, (k - start) / unit);
            offsets[side] = k + unit;
        }
        std::printf("%s\t%s\n", words[0].c_str(), words[1].c_str());
    }
    return i_EndStandardOutput(e_Ok);
}

int i_Lookup(st_WordlistView const& view, bool fromSource, char const* argument, bool json) {
    // The word as typed: on Windows main's arguments went through the ANSI
    // code page, so it is taken from the wide command line, as UTF-8.
    CT_UString typed;
    v_GetArgumentName(argument, &typed);
    std::string utf8 = s_Utf8FromWide(typed.qcuz_Get());
    char const* word = utf8.c_str();
    unsigned char const* partner = nullptr;
    unsigned units = 0;
    bool found = b_FindPartner(view, fromSource, s_WordForList(view, word), &partner, &units);
    if (json) {
        std::string answer = found ? s_WordForOutput(view, partner, units) : std::string();
        int result = i_WordlistLookupJson(word, fromSource, found ? &answer : nullptr);
        if (found || result != e_ExitNo) return result;
    }
    if (!found)
        return i_ToolFail(e_ExitNo,
                          std::string("\"") + word + "\" is not a " + (fromSource ? "source" : "target") + " word of the list");
    std::printf("%s\n", s_WordForOutput(view, partner, units).c_str());
    return i_EndStandardOutput(e_Ok);
}

}  // namespace

int i_RunWordlist(int argc, char** argv) {
    static std::vector<st_OptionRule> const ao_Rules = {
        {"--codepage", true, nullptr},
        {"--one-by-one", false, " build "},
        {"--force", false, " build "},
        {"--json", false, " info list source target "},
    };
    st_CommandLine line;
    bool help = false;
    std::string problem;
    if (!b_ParseCommandLine(argc, argv, ao_Rules, &line, &help, &problem)) return i_ToolUsageError(problem);
    if (help) return i_WordlistUsage(stdout);
    std::vector<char const*> const& args = line.apcc_Positional;
    if (args.empty()) {
        std::fprintf(stderr, "basis wordlist: no action given\n");
        return i_WordlistUsage(stderr);
    }
    std::string action = args[0];
    if (action == "help") return i_WordlistUsage(stdout);
    bool oneByOne = line.b_Has("--one-by-one"), force = line.b_Has("--force");
    unsigned codePage = 65001;
    if (char const* text = line.qccz_Value("--codepage")) {
        if (!b_ReadNumber("--codepage", text, 65535, &codePage, &problem)) return i_ToolUsageError(problem);
        // Only a code page the system converts with, or UTF-8, which the
        // library converts itself.
        if (codePage != 65001 && !Platform::b_IsValidCodePage(codePage))
            return i_ToolUsageError("--codepage " + std::string(text) + " is not a code page this system converts");
    }
    bool utf8 = codePage == 65001;
    std::size_t wanted = action == "build" ? 3 : action == "source" || action == "target" ? 3 : action == "list" || action == "info" ? 2 : 0;
    if (wanted == 0) return i_ToolUsageError("unknown action \"" + action + "\"");
    if (args.size() != wanted) {
        std::fprintf(stderr, "basis wordlist: %s takes %s; %s given\n", action.c_str(),
                     action == "build"  ? "a pairs file and the list to save"
                     : action == "list" || action == "info" ? "a list"
                                        : "a list and a word",
                     s_Count(args.size() - 1, "argument").c_str());
        return i_WordlistUsage(stderr);
    }

    st_WordlistView view;
    if (action == "build") {
        // The output is checked before anything is read: never the pairs
        // file itself, never an existing file without --force.
        int checked = i_CheckOutput(args[2], {args[1]}, force);
        if (checked != e_Ok) return checked;
        std::string bytes, error;
        if (!b_ReadWholeFile(args[1], &bytes, &error)) return i_Fail(error);
        if (b_IsSavedWordlist(bytes)) return i_Fail(std::string("\"") + args[1] + "\" is a saved list, not a pairs file");
        int taken = i_TakeUtf16(args[1], &bytes, utf8, codePage);
        if (taken != e_Ok) return taken;
        v_ReportDuplicates(args[1], bytes, utf8);
        int result = i_BuildFromPairs(args[1], bytes, utf8, codePage, &view, oneByOne);
        if (result != e_Ok) return result;
        if (!b_SaveWordlist(view, args[2], &error)) return i_Fail(error);
        // With the list on standard output, the summary goes to standard error.
        FILE* summary = std::strcmp(args[2], "-") == 0 ? stderr : stdout;
        std::string codePageName = utf8 ? "UTF-8, code page 65001, wide words"
                                        : "code page " + std::to_string(codePage) + ", narrow words";
        std::fprintf(summary, "%s from %s (%s); source index %s, target index %s; saved to %s\n",
                     s_Count(view.n_Count, "pair").c_str(), args[1], codePageName.c_str(),
                     s_Count(view.co_SourceIndex.n_GetEnd(), "byte").c_str(),
                     s_Count(view.co_TargetIndex.n_GetEnd(), "byte").c_str(), args[2]);
        return i_EndStandardOutput(e_Ok);
    }
    int opened = i_OpenList(args[1], utf8, codePage, &view);
    if (opened != e_Ok) return opened;
    bool json = line.b_Has("--json");
    if (action == "info") return i_WordlistInfo(view, args[1], json);
    if (action == "list") return json ? i_WordlistListJson(view) : i_ListPairs(view);
    return i_Lookup(view, action == "source", args[2], json);
}
