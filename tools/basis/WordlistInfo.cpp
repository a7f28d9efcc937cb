// `basis wordlist info`, and the JSON forms of info, list and the lookups:
// what a word list holds and how much room its indexes have left.
#include "tools/basis/WordlistInfo.h"

#include <cstdio>
#include <set>
#include <string>

#include "tools/basis/Json.h"
#include "tools/basis/ToolErrors.h"
#include "tools/basis/WordlistIndex.h"

namespace {

// What 2-byte links reach: the farthest an alternative may lie from its link.
unsigned const kLinkReach = 0xFFFF;

// The words of one side's texts, in order, as UTF-8; false when the texts
// end before the count of words (a damaged saved list).
bool b_Words(st_WordlistView const& view, CT_Buffer const& texts, std::vector<std::string>* words) {
    unsigned unit = view.n_Unit(), used = texts.n_GetUsedSize();
    auto const* bytes = static_cast<unsigned char const*>(texts.qcv_Get());
    unsigned at = 0;
    words->clear();
    for (unsigned pair = 0; pair < view.n_Count; ++pair) {
        unsigned k = at;
        while (k + unit <= used && !(bytes[k] == 0 && (unit == 1 || bytes[k + 1] == 0))) k += unit;
        if (k + unit > used) return false;
        words->push_back(s_WordForOutput(view, bytes + at, (k - at) / unit));
        at = k + unit;
    }
    return true;
}

std::size_t n_Distinct(std::vector<std::string> const& words) {
    return std::set<std::string>(words.begin(), words.end()).size();
}

struct st_Side {
    char const* qccz_Name;
    unsigned n_Texts, n_Index, n_Link;
    std::size_t n_Distinct;
};

}  // namespace

int i_WordlistInfo(st_WordlistView const& view, char const* path, bool json) {
    std::vector<std::string> sources, targets;
    if (!b_Words(view, view.co_SourceTexts, &sources) || !b_Words(view, view.co_TargetTexts, &targets))
        return i_ToolFail(e_ExitError, std::string("\"") + path + "\": the list's texts end before its pair count");
    st_Side const sides[2] = {
        {"source", view.co_SourceTexts.n_GetUsedSize(), view.co_SourceIndex.n_GetEnd(),
         n_LongestIndexLink(view.co_SourceIndex), n_Distinct(sources)},
        {"target", view.co_TargetTexts.n_GetUsedSize(), view.co_TargetIndex.n_GetEnd(),
         n_LongestIndexLink(view.co_TargetIndex), n_Distinct(targets)},
    };
    bool wide = view.n_Kind == e_WideWords;
    if (json) {
        std::printf("{\"list\": %s, \"words\": \"%s\", \"code_page\": %u, \"pairs\": %u", s_JsonString(path).c_str(),
                    wide ? "wide" : "narrow", view.n_CodePage, view.n_Count);
        for (st_Side const& side : sides)
            std::printf(",\n \"%s\": {\"distinct_words\": %zu, \"text_bytes\": %u, \"index_bytes\": %u, "
                        "\"longest_link\": %u, \"link_reach\": %u}",
                        side.qccz_Name, side.n_Distinct, side.n_Texts, side.n_Index, side.n_Link, kLinkReach);
        std::printf("}\n");
        return i_EndStandardOutput(e_ExitOk);
    }
    std::printf("list          %s\n", path);
    std::printf("words         %s, code page %u\n", wide ? "wide (UTF-16, from UTF-8)" : "narrow", view.n_CodePage);
    std::printf("pairs         %u\n", view.n_Count);
    for (st_Side const& side : sides) {
        std::printf("%-13s %s (%s repeated), texts %s, index %s\n", side.qccz_Name,
                    s_Count(side.n_Distinct, "distinct word").c_str(),
                    s_Count(view.n_Count - side.n_Distinct, "word").c_str(), s_Count(side.n_Texts, "byte").c_str(),
                    s_Count(side.n_Index, "byte").c_str());
        std::printf("%-13s longest link %u of the %u bytes its 2 bytes reach (%u%% full)\n", "", side.n_Link,
                    kLinkReach, static_cast<unsigned>(side.n_Link * 100ull / kLinkReach));
    }
    return i_EndStandardOutput(e_ExitOk);
}

int i_WordlistListJson(st_WordlistView const& view) {
    std::vector<std::string> sources, targets;
    if (!b_Words(view, view.co_SourceTexts, &sources) || !b_Words(view, view.co_TargetTexts, &targets))
        return i_ToolFail(e_ExitError, "the list's texts end before its pair count");
    std::printf("{\"pairs\": [");
    for (std::size_t k = 0; k < sources.size(); ++k)
        std::printf("%s\n  [%s, %s]", k ? "," : "", s_JsonString(sources[k]).c_str(), s_JsonString(targets[k]).c_str());
    std::printf("%s], \"count\": %zu}\n", sources.empty() ? "" : "\n", sources.size());
    return i_EndStandardOutput(e_ExitOk);
}

int i_WordlistLookupJson(char const* word, bool fromSource, std::string const* partner) {
    std::printf("{\"%s\": %s, \"%s\": %s}\n", fromSource ? "source" : "target", s_JsonString(word).c_str(),
                fromSource ? "target" : "source", partner ? s_JsonString(*partner).c_str() : "null");
    return i_EndStandardOutput(partner ? e_ExitOk : e_ExitNo);
}
