// The comparison of a Linux and a Windows dump (see Dump.cpp for their
// form). Every result that differs must be explained by a rule of the known
// differences file, and every rule must explain exactly as many results as
// it says, so that a change on either side shows.
//
// A rule is one line:  <code page> <byte|pair|unit|page> <first>-<last>
//                      <linux> <windows> <count> <reason>
// For byte and pair results (UTF-16 units) the two results must have as
// many units, and each unit that differs must match <linux> and <windows>:
// a unit in hex, "pua" (U+E000-U+F8FF) or "*" ("* *" matches any two
// results, of any lengths). For unit results (bytes)
// the whole results must match: bytes in hex ("3F!"), "default" (the
// default character was used) or "mapped" (it was not), or "*". A page
// rule (range 0-0, count 1) explains a page that one platform converts and
// the other does not: <linux> and <windows> are "valid" or "invalid".
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tools/codepage-parity/Parity.h"

namespace Parity {

namespace {

struct st_Rule {
    unsigned n_CodePage;
    std::string o_What;
    unsigned n_First, n_Last;
    std::string o_Linux, o_Windows;
    unsigned n_Count;
    std::string o_Reason;
    unsigned n_Explained = 0;
};

struct st_Tally {
    unsigned n_Results = 0;
    unsigned n_Differ = 0;
    unsigned n_Unexplained = 0;
};

std::vector<std::string> ao_Split(std::string const& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    std::istringstream in(text);
    while (std::getline(in, part, separator)) parts.push_back(part);
    return parts;
}

int b_UnitMatches(std::string const& pattern, std::string const& unit) {
    if (pattern == "*") return 1;
    if (pattern == "pua") {
        unsigned long value = std::strtoul(unit.c_str(), nullptr, 16);
        return unit.size() == 4 && value >= 0xE000 && value <= 0xF8FF;
    }
    return pattern == unit;
}

int b_BytesMatch(std::string const& pattern, std::string const& bytes) {
    if (pattern == "*") return 1;
    int isDefault = !bytes.empty() && bytes.back() == '!';
    if (pattern == "default") return isDefault;
    if (pattern == "mapped") return !isDefault && bytes != "-";
    return pattern == bytes;
}

int b_RuleExplains(st_Rule const& rule, unsigned codePage, std::string const& what, unsigned key,
                   std::string const& linux, std::string const& windows) {
    if (rule.n_CodePage != codePage || rule.o_What != what || key < rule.n_First || key > rule.n_Last) return 0;
    if (what == "page") return rule.o_Linux == linux && rule.o_Windows == windows;
    if (what == "unit") return b_BytesMatch(rule.o_Linux, linux) && b_BytesMatch(rule.o_Windows, windows);
    // "* *": any two results, also of different lengths (a page whose
    // sequences the two sides cut differently).
    if (rule.o_Linux == "*" && rule.o_Windows == "*") return 1;
    std::vector<std::string> l = ao_Split(linux, '.'), w = ao_Split(windows, '.');
    if (l.size() != w.size()) return 0;
    for (size_t i = 0; i < l.size(); ++i)
        if (l[i] != w[i] && !(b_UnitMatches(rule.o_Linux, l[i]) && b_UnitMatches(rule.o_Windows, w[i]))) return 0;
    return 1;
}

int b_ReadRules(char const* path, std::vector<st_Rule>& rules) {
    std::ifstream in(path);
    if (!in) {
        std::perror(path);
        return 0;
    }
    std::string line;
    unsigned number = 0;
    while (std::getline(in, line)) {
        ++number;
        if (line.empty() || line[0] == '#') continue;
        std::istringstream fields(line);
        st_Rule rule;
        std::string range;
        fields >> rule.n_CodePage >> rule.o_What >> range >> rule.o_Linux >> rule.o_Windows >> rule.n_Count;
        std::getline(fields, rule.o_Reason);
        size_t dash = range.find('-');
        if (!fields.eof() && fields.fail()) dash = std::string::npos;
        if (dash == std::string::npos || rule.o_Reason.empty() ||
            (rule.o_What != "byte" && rule.o_What != "pair" && rule.o_What != "unit" && rule.o_What != "page")) {
            std::fprintf(stderr, "%s:%u: not a rule: %s\n", path, number, line.c_str());
            return 0;
        }
        rule.n_First = static_cast<unsigned>(std::strtoul(range.substr(0, dash).c_str(), nullptr, 16));
        rule.n_Last = static_cast<unsigned>(std::strtoul(range.substr(dash + 1).c_str(), nullptr, 16));
        rules.push_back(rule);
    }
    return 1;
}

// A dump read line by line, with one line of look-ahead.
struct st_DumpReader {
    std::ifstream o_In;
    std::string o_Pending;
    int b_HasPending = 0;

    explicit st_DumpReader(char const* path) : o_In(path) {}
    int b_Next(std::string& line) {
        if (b_HasPending) {
            line.swap(o_Pending);
            b_HasPending = 0;
            return 1;
        }
        return static_cast<bool>(std::getline(o_In, line));
    }
    // Skips the lines of a page up to the next page line.
    void v_SkipPage() {
        std::string line;
        while (b_Next(line))
            if (line.compare(0, 5, "page ") == 0) {
                o_Pending.swap(line);
                b_HasPending = 1;
                return;
            }
    }
};

}  // namespace

int i_Compare(char const* linuxPath, char const* windowsPath, char const* knownPath) {
    std::vector<st_Rule> rules;
    if (!b_ReadRules(knownPath, rules)) return 2;
    st_DumpReader linuxIn(linuxPath), windowsIn(windowsPath);
    if (!linuxIn.o_In || !windowsIn.o_In) {
        std::perror(!linuxIn.o_In ? linuxPath : windowsPath);
        return 2;
    }
    // Pages that one platform converts and the other does not.
    std::map<unsigned, std::string> onlyOne;
    std::vector<unsigned> pages;
    std::map<unsigned, std::map<std::string, st_Tally>> tallies;
    std::vector<std::string> unexplained;
    unsigned unexplainedTotalPages = 0;
    unsigned codePage = 0;
    std::string linuxLine, windowsLine;
    while (true) {
        int moreLinux = linuxIn.b_Next(linuxLine);
        int moreWindows = windowsIn.b_Next(windowsLine);
        if (!moreLinux && !moreWindows) break;
        std::vector<std::string> l = ao_Split(linuxLine, ' '), w = ao_Split(windowsLine, ' ');
        if (moreLinux != moreWindows || l.size() != w.size() || l.empty() || l[0] != w[0] ||
            (l[0] != "byte" && l.size() > 1 && l[1] != w[1]) ||
            (l[0] == "page" && l.size() == 3 && l[2] != w[2] && l[2] != "invalid" && w[2] != "invalid")) {
            std::fprintf(stderr, "the dumps do not have the same form:\n  %.60s\n  %.60s\n", linuxLine.c_str(),
                         windowsLine.c_str());
            return 2;
        }
        if (l[0] == "page") {
            codePage = static_cast<unsigned>(std::strtoul(l[1].c_str(), nullptr, 10));
            if (l.size() == 3 && l[2] != w[2]) {
                std::string linuxSide = l[2] == "invalid" ? "invalid" : "valid";
                std::string windowsSide = w[2] == "invalid" ? "invalid" : "valid";
                (linuxSide == "valid" ? linuxIn : windowsIn).v_SkipPage();
                st_Rule* explaining = nullptr;
                for (st_Rule& rule : rules)
                    if (b_RuleExplains(rule, codePage, "page", 0, linuxSide, windowsSide)) explaining = &rule;
                if (explaining) ++explaining->n_Explained;
                else unexplained.push_back(std::to_string(codePage) + " page: linux " + linuxSide + ", windows " + windowsSide);
                onlyOne[codePage] = (linuxSide == "valid" ? "Linux only" : "Windows only") +
                                    std::string(explaining ? ": known difference" : ": FAIL");
                if (!explaining) ++unexplainedTotalPages;
            }
            pages.push_back(codePage);
            continue;
        }
        if (l[0] != "byte" && l[0] != "pair" && l[0] != "unit") continue;
        size_t first = l[0] == "byte" ? 1 : 2;
        unsigned base = l[0] == "byte" ? 0 : static_cast<unsigned>(std::strtoul(l[1].c_str(), nullptr, 16)) << 8;
        st_Tally& tally = tallies[codePage][l[0]];
        for (size_t i = first; i < l.size(); ++i) {
            ++tally.n_Results;
            if (l[i] == w[i]) continue;
            ++tally.n_Differ;
            unsigned key = base + static_cast<unsigned>(i - first);
            st_Rule* explaining = nullptr;
            for (st_Rule& rule : rules)
                if (b_RuleExplains(rule, codePage, l[0], key, l[i], w[i])) {
                    explaining = &rule;
                    break;
                }
            if (explaining) {
                ++explaining->n_Explained;
                continue;
            }
            ++tally.n_Unexplained;
            char text[160];
            std::snprintf(text, sizeof text, "%u %s %04X: linux %s, windows %s", codePage, l[0].c_str(), key,
                          l[i].c_str(), w[i].c_str());
            unexplained.push_back(text);
        }
    }

    unsigned unexplainedTotal = unexplainedTotalPages;
    for (unsigned page : pages) {
        if (onlyOne.count(page)) {
            std::printf("code page %-5u %s\n", page, onlyOne[page].c_str());
            continue;
        }
        std::string line;
        unsigned differ = 0, open = 0;
        for (char const* what : {"byte", "pair", "unit"}) {
            auto found = tallies[page].find(what);
            if (found == tallies[page].end()) continue;
            st_Tally const& tally = found->second;
            char part[96];
            std::snprintf(part, sizeof part, "%s%u/%u %ss", line.empty() ? "" : ", ", tally.n_Differ,
                          tally.n_Results, what);
            line += part;
            differ += tally.n_Differ;
            open += tally.n_Unexplained;
        }
        unexplainedTotal += open;
        std::printf("code page %-5u %s: %s (%s differ)\n", page,
                    open ? "FAIL" : differ ? "known differences only" : "identical", line.c_str(),
                    open ? (std::to_string(open) + " unexplained, " + std::to_string(differ - open) + " known").c_str()
                         : std::to_string(differ).c_str());
    }
    for (size_t i = 0; i < unexplained.size() && i < 40; ++i) std::printf("  unexplained: %s\n", unexplained[i].c_str());
    if (unexplained.size() > 40) std::printf("  ... and %zu more\n", unexplained.size() - 40);

    int rulesOff = 0;
    for (st_Rule const& rule : rules) {
        int checked = 0;
        for (unsigned page : pages) checked |= page == rule.n_CodePage;
        if (!checked || rule.n_Explained == rule.n_Count) continue;
        std::printf("  rule %u %s %04X-%04X %s %s %u explains %u:%s\n", rule.n_CodePage, rule.o_What.c_str(),
                    rule.n_First, rule.n_Last, rule.o_Linux.c_str(), rule.o_Windows.c_str(), rule.n_Count,
                    rule.n_Explained, rule.o_Reason.c_str());
        rulesOff = 1;
    }
    if (unexplainedTotal || rulesOff) {
        std::printf("code-page parity: FAILED\n");
        return 1;
    }
    std::printf("code-page parity: every difference is a known one\n");
    return 0;
}

}  // namespace Parity
