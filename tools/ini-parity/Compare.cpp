// The comparison: both runs line by line against the known differences,
//   <script line> <reason>
//   <script line> layout <reason>
// one a line ('#' starts a comment line). A difference not listed fails,
// and so does a listed line whose results agree (the list stays true). A
// "layout" line is a file dump whose two sides must hold the same lines
// once laid out alike (see s_Layout): only blank lines, blanks around
// names, values and brackets, text after a header's ']' and line ends may
// differ.
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "tools/ini-parity/Parity.h"

namespace IniParity {

namespace {

bool b_ReadLines(char const* name, std::map<unsigned, std::string>* results, std::map<unsigned, std::string>* ops) {
    FILE* file = std::fopen(name, "rb");
    if (!file) return false;
    std::string text;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) text.append(chunk, got);
    std::fclose(file);
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::size_t tab1 = line.find('\t');
        std::size_t tab2 = tab1 == std::string::npos ? tab1 : line.find('\t', tab1 + 1);
        if (tab2 == std::string::npos) continue;
        unsigned number = static_cast<unsigned>(std::strtoul(line.c_str(), nullptr, 10));
        (*results)[number] = line.substr(tab2 + 1);
        if (ops) (*ops)[number] = line.substr(tab1 + 1, tab2 - tab1 - 1);
    }
    return true;
}

// An escaped file dump laid out in one way: every line trimmed, blank lines
// dropped, a header as "[name]", an entry as "name=value", CR LF after each.
std::string s_Layout(std::string const& escaped) {
    // Undo the escapes of line ends and blanks only; the rest stays escaped.
    std::string text;
    for (std::size_t i = 0; i < escaped.size(); ++i) {
        if (escaped[i] == '\\' && i + 1 < escaped.size()) {
            char e = escaped[++i];
            if (e == 'r') text += '\r';
            else if (e == 'n') text += '\n';
            else if (e == 't') text += '\t';
            else {
                text += '\\';
                text += e;
            }
        } else text += escaped[i];
    }
    auto trim = [](std::string t) {
        std::size_t b = t.find_first_not_of(" \t");
        if (b == std::string::npos) return std::string();
        return t.substr(b, t.find_last_not_of(" \t") - b + 1);
    };
    std::string laid;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t end = text.find_first_of("\r\n", at);
        if (end == std::string::npos) end = text.size();
        std::string line = trim(text.substr(at, end - at));
        at = end + 1;
        if (end < text.size() && text[end] == '\r' && at < text.size() && text[at] == '\n') ++at;
        if (line.empty()) continue;
        std::size_t close = line.rfind(']');
        std::size_t equals = line.find('=');
        // Appended piece by piece: GCC 12 warns wrongly about overlapping
        // copies in chains of string additions.
        if (line[0] == '[' && close != std::string::npos && close > 0) {
            laid += '[';
            laid += trim(line.substr(1, close - 1));
            laid += ']';
        } else if (line[0] != '[' && equals != std::string::npos) {
            laid += trim(line.substr(0, equals));
            laid += '=';
            laid += trim(line.substr(equals + 1));
        } else {
            laid += line;
        }
        laid += "\r\n";
    }
    return laid;
}

}  // namespace

int i_Compare(char const* linux, char const* windows, char const* known) {
    std::map<unsigned, std::string> a, b, ops;
    if (!b_ReadLines(linux, &a, &ops) || !b_ReadLines(windows, &b, nullptr)) {
        std::fprintf(stderr, "ini_parity: cannot read the results\n");
        return 1;
    }
    std::map<unsigned, std::string> listed;
    if (FILE* file = std::fopen(known, "rb")) {
        char line[1024];
        while (std::fgets(line, sizeof line, file)) {
            if (line[0] == '#' || line[0] < '0' || line[0] > '9') continue;
            char* rest = nullptr;
            unsigned number = static_cast<unsigned>(std::strtoul(line, &rest, 10));
            listed[number] = rest;
        }
        std::fclose(file);
    }
    unsigned same = 0, explained = 0, failures = 0;
    std::set<unsigned> numbers;
    for (auto const& entry : a) numbers.insert(entry.first);
    for (auto const& entry : b) numbers.insert(entry.first);
    for (unsigned number : numbers) {
        auto ia = a.find(number);
        auto ib = b.find(number);
        bool differ = ia == a.end() || ib == b.end() || ia->second != ib->second;
        bool isListed = listed.count(number) != 0;
        if (!differ && !isListed) {
            ++same;
        } else if (differ && isListed) {
            // A layout difference must be one of layout only.
            std::string const& reason = listed[number];
            std::size_t word = reason.find_first_not_of(" \t");
            if (word != std::string::npos && reason.compare(word, 7, "layout ") == 0 &&
                (ia == a.end() || ib == b.end() || s_Layout(ia->second) != s_Layout(ib->second))) {
                ++failures;
                std::printf("line %u: listed as layout only, but the lines differ\n  linux:   %s\n  windows: %s\n",
                            number, ia == a.end() ? "(none)" : s_Layout(ia->second).c_str(),
                            ib == b.end() ? "(none)" : s_Layout(ib->second).c_str());
                continue;
            }
            ++explained;
        } else if (differ) {
            ++failures;
            std::printf("line %u: %s\n  linux:   %s\n  windows: %s\n", number, ops[number].c_str(),
                        ia == a.end() ? "(none)" : ia->second.c_str(), ib == b.end() ? "(none)" : ib->second.c_str());
        } else {
            ++failures;
            std::printf("line %u: listed as a difference, but both give %s\n", number, ia->second.c_str());
        }
    }
    for (auto const& entry : listed)
        if (!numbers.count(entry.first)) {
            ++failures;
            std::printf("line %u: listed, but no operation there\n", entry.first);
        }
    std::printf("ini parity: %zu operations, %u alike, %u known differences, %u unexplained\n", numbers.size(), same,
                explained, failures);
    return failures ? 1 : 0;
}

}  // namespace IniParity
