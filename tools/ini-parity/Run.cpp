// The run: one line of the script, one operation, one result line.
//
// Script lines (blank lines and lines starting with '#' are skipped):
//   copy NAME                      a fresh copy of files/NAME in the work folder,
//                                  then the flush request
//   get NAME SECTION KEY [SIZE [DEFAULT]]
//                                  the profile read into a buffer of SIZE bytes
//                                  (default 256); DEFAULT defaults to "<def>"
//   set NAME SECTION KEY VALUE     the profile write
//   dump NAME                      the file's bytes
// A word is a run of characters without blanks, or a text in double
// quotes with the escapes \\ \" \r \n \t \xHH; a lone - is a null argument.
// Results: "<line>\t<operation>\t<result>", the result being the count and
// the bytes up to and with its terminator, the write's result, or the
// file's bytes (or "missing").
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Platform/Profile.h"
#include "tools/ini-parity/Parity.h"

namespace IniParity {

namespace {

struct st_Word {
    bool b_Null = false;
    std::string s_Text;
};

int i_Hex(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool b_Split(std::string const& line, std::vector<st_Word>* words) {
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
        if (at >= line.size()) break;
        st_Word word;
        if (line[at] == '"') {
            ++at;
            while (at < line.size() && line[at] != '"') {
                char c = line[at++];
                if (c == '\\' && at < line.size()) {
                    char e = line[at++];
                    if (e == 'r') c = '\r';
                    else if (e == 'n') c = '\n';
                    else if (e == 't') c = '\t';
                    else if (e == 'x' && at + 1 < line.size() && i_Hex(line[at]) >= 0 && i_Hex(line[at + 1]) >= 0) {
                        c = static_cast<char>(i_Hex(line[at]) * 16 + i_Hex(line[at + 1]));
                        at += 2;
                    } else c = e;
                }
                word.s_Text.push_back(c);
            }
            if (at >= line.size()) return false;
            ++at;
        } else {
            while (at < line.size() && line[at] != ' ' && line[at] != '\t') word.s_Text.push_back(line[at++]);
            word.b_Null = word.s_Text == "-";
        }
        words->push_back(word);
    }
    return true;
}

bool b_ReadFile(std::string const& name, std::string* bytes) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return false;
    bytes->clear();
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes->append(chunk, got);
    std::fclose(file);
    return true;
}

bool b_WriteFile(std::string const& name, std::string const& bytes) {
    FILE* file = std::fopen(name.c_str(), "wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

char const* qccz_Arg(st_Word const& word) { return word.b_Null ? nullptr : word.s_Text.c_str(); }

}  // namespace

std::string s_Escape(std::string const& bytes) {
    std::string text;
    for (unsigned char c : bytes) {
        if (c == '\\') text += "\\\\";
        else if (c == '"') text += "\\\"";
        else if (c == '\r') text += "\\r";
        else if (c == '\n') text += "\\n";
        else if (c == '\t') text += "\\t";
        else if (c == 0) text += "\\0";
        else if (c >= 0x20 && c < 0x7F) text.push_back(static_cast<char>(c));
        else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            text += hex;
        }
    }
    return text;
}

int i_Run(char const* script, char const* work, char const* results) {
    std::string text;
    if (!b_ReadFile(script, &text)) {
        std::fprintf(stderr, "ini_parity: cannot read %s\n", script);
        return 1;
    }
    std::string scriptPath = script;
    std::string::size_type slash = scriptPath.find_last_of("/\\");
    std::string const files = (slash == std::string::npos ? std::string(".") : scriptPath.substr(0, slash)) + "/files/";
    std::string const folder = std::string(work) + "/";
    std::string out;
    unsigned lineNumber = 0;
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(at, end - at);
        at = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<st_Word> words;
        if (line.empty() || line[0] == '#') continue;
        if (!b_Split(line, &words) || words.size() < 2) {
            std::fprintf(stderr, "%s:%u: cannot read the line\n", script, lineNumber);
            return 1;
        }
        std::string const& op = words[0].s_Text;
        std::string const file = folder + words[1].s_Text;
        std::string result;
        if (op == "copy" && words.size() == 2) {
            std::string bytes;
            if (!b_ReadFile(files + words[1].s_Text, &bytes) || !b_WriteFile(file, bytes)) {
                std::fprintf(stderr, "%s:%u: cannot copy %s\n", script, lineNumber, words[1].s_Text.c_str());
                return 1;
            }
            // The copy was made from outside the profile functions: the
            // flush request makes the next read look at it.
            Platform::b_WriteProfileString(nullptr, nullptr, nullptr, file.c_str());
            continue;
        } else if (op == "get" && words.size() >= 4 && words.size() <= 6) {
            unsigned size = words.size() >= 5 ? static_cast<unsigned>(std::strtoul(words[4].s_Text.c_str(), nullptr, 10)) : 256;
            char const* defaultText = words.size() == 6 ? qccz_Arg(words[5]) : "<def>";
            std::vector<char> buffer(size + 1, '#');
            unsigned count = Platform::n_GetProfileString(qccz_Arg(words[2]), qccz_Arg(words[3]), defaultText,
                                                          buffer.data(), size, file.c_str());
            // The answer and its terminator, never beyond the buffer.
            unsigned shown = count + 1 < size ? count + 1 : size;
            result = std::to_string(count) + " " + s_Escape(std::string(buffer.data(), shown));
        } else if (op == "set" && words.size() == 5) {
            int ok = Platform::b_WriteProfileString(qccz_Arg(words[2]), qccz_Arg(words[3]), qccz_Arg(words[4]),
                                                    file.c_str());
            result = ok ? "ok" : "failed";
        } else if (op == "dump" && words.size() == 2) {
            std::string bytes;
            result = b_ReadFile(file, &bytes) ? s_Escape(bytes) : "missing";
        } else {
            std::fprintf(stderr, "%s:%u: unknown operation\n", script, lineNumber);
            return 1;
        }
        out += std::to_string(lineNumber) + "\t" + line + "\t" + result + "\n";
    }
    if (!b_WriteFile(results, out)) {
        std::fprintf(stderr, "ini_parity: cannot write %s\n", results);
        return 1;
    }
    return 0;
}

}  // namespace IniParity
