#include "Foundation/Platform/Posix/ProfileText.h"

#include <cstring>

namespace Platform {
namespace Posix {

namespace {

char c_Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// The part of a caller's name that is compared: blanks at both ends are
// not part of a name.
void v_TrimName(char const* name, char const** begin, char const** end) {
    char const* b = name;
    char const* e = name + std::strlen(name);
    while (b < e && b_IsProfileBlank(*b)) ++b;
    while (e > b && b_IsProfileBlank(e[-1])) --e;
    *begin = b;
    *end = e;
}

// Names and values as a write puts them into the file: without leading
// blanks; trailing ones stay, as the system's writer keeps them (reads trim
// them again).
std::string s_Written(char const* text) {
    while (b_IsProfileBlank(*text)) ++text;
    return std::string(text);
}

// A single value: cut to size - 1 bytes and zero-terminated.
unsigned n_CopyValue(char const* text, std::size_t length, char* buffer, unsigned size) {
    std::size_t n = length < size - 1 ? length : size - 1;
    std::memcpy(buffer, text, n);
    buffer[n] = 0;
    return static_cast<unsigned>(n);
}

// A listing: each name followed by a zero, then one more zero. When it does
// not fit, the list is cut to size - 2 bytes (the last name loses its end)
// and two zeros close the buffer; the count is then size - 2. A list that
// would fill the buffer to its last byte counts as not fitting, as with the
// system's functions: a count of size - 2 always means "try a larger one".
unsigned n_CopyList(std::string const& list, char* buffer, unsigned size) {
    if (list.size() + 2 <= size) {
        std::memcpy(buffer, list.data(), list.size());
        buffer[list.size()] = 0;
        buffer[list.size() + 1] = 0;
        return static_cast<unsigned>(list.size());
    }
    if (size < 2) {
        buffer[0] = 0;
        return 0;
    }
    std::memcpy(buffer, list.data(), size - 2);
    buffer[size - 2] = 0;
    buffer[size - 1] = 0;
    return size - 2;
}

}  // namespace

CT_ProfileText::CT_ProfileText(std::string text) : s_Text(std::move(text)) {
    // Offsets are 32-bit: a text beyond 2 GiB is cut there (the file layer
    // reads far less; this only keeps the arithmetic sound).
    if (s_Text.size() > 0x7FFFFFFFu) s_Text.resize(0x7FFFFFFFu);
    v_Parse();
}

void CT_ProfileText::v_Parse() {
    unsigned const size = static_cast<unsigned>(s_Text.size());
    char const* text = s_Text.data();
    unsigned at = 0;
    while (at < size) {
        st_Line line{};
        line.n_Begin = at;
        while (at < size && text[at] != '\n' && text[at] != '\r') ++at;
        line.n_End = at;
        if (at < size && text[at] == '\r') ++at;
        if (at < size && text[at] == '\n') ++at;
        line.n_Next = at;
        v_ParseLine(&line);
        ao_Lines.push_back(line);
    }

    // Sections: the lines before the first header, then one per header.
    unsigned const count = static_cast<unsigned>(ao_Lines.size());
    unsigned first = 0;
    while (first < count && ao_Lines[first].eo_Kind != e_Header) ++first;
    int hasPreamble = 0;
    for (unsigned i = 0; i < first; ++i)
        if (ao_Lines[i].eo_Kind != e_Blank) hasPreamble = 1;
    if (hasPreamble) ao_Sections.push_back(st_Section{~0u, 0, first, 1, 0});
    for (unsigned i = first; i < count;) {
        unsigned end = i + 1;
        while (end < count && ao_Lines[end].eo_Kind != e_Header) ++end;
        int named = ao_Lines[i].n_NameEnd > ao_Lines[i].n_NameBegin;
        ao_Sections.push_back(st_Section{i, i + 1, end, named, named});
        i = end;
    }

    // The first of duplicate names wins: later ones do not replace it.
    char const* base = s_Text.data();
    for (unsigned i = 0; i < ao_Sections.size(); ++i) {
        st_Section const& section = ao_Sections[i];
        if (!section.b_Findable) continue;
        std::string name;
        if (section.n_Header != ~0u) {
            st_Line const& header = ao_Lines[section.n_Header];
            name = s_Folded(base + header.n_NameBegin, base + header.n_NameEnd);
        }
        if (!o_SectionIndex.emplace(name, i).second) continue;
        for (unsigned l = section.n_First; l < section.n_End; ++l) {
            st_Line const& line = ao_Lines[l];
            if (line.eo_Kind == e_Entry)
                o_EntryIndex.emplace(s_KeyOf(i, base + line.n_NameBegin, base + line.n_NameEnd), l);
        }
    }
}

std::string CT_ProfileText::s_Folded(char const* begin, char const* end) {
    std::string folded(begin, end);
    for (char& c : folded) c = c_Fold(c);
    return folded;
}

std::string CT_ProfileText::s_KeyOf(unsigned section, char const* begin, char const* end) const {
    std::string key(reinterpret_cast<char const*>(&section), sizeof section);
    key.append(begin, end);
    for (std::size_t i = sizeof section; i < key.size(); ++i) key[i] = c_Fold(key[i]);
    return key;
}

void CT_ProfileText::v_ParseLine(st_Line* line) const {
    char const* text = s_Text.data();
    unsigned b = line->n_Begin;
    unsigned e = line->n_End;
    while (b < e && b_IsProfileBlank(text[b])) ++b;
    while (e > b && b_IsProfileBlank(text[e - 1])) --e;
    line->n_NameBegin = line->n_NameEnd = line->n_ValueBegin = line->n_ValueEnd = b;
    if (b == e) {
        line->eo_Kind = e_Blank;
        return;
    }
    if (text[b] == '[') {
        unsigned close = e;
        while (close > b + 1 && text[close - 1] != ']') --close;
        if (close == b + 1) {
            line->eo_Kind = e_Skipped;
            return;
        }
        // close - 1 is the last ']'; the name lies between the brackets.
        unsigned nb = b + 1;
        unsigned ne = close - 1;
        while (nb < ne && b_IsProfileBlank(text[nb])) ++nb;
        while (ne > nb && b_IsProfileBlank(text[ne - 1])) --ne;
        line->eo_Kind = e_Header;
        line->n_NameBegin = nb;
        line->n_NameEnd = ne;
        return;
    }
    char const* equals = static_cast<char const*>(std::memchr(text + b, '=', e - b));
    if (equals == nullptr) {
        line->eo_Kind = e_Bare;
        line->n_NameEnd = e;
        return;
    }
    unsigned eq = static_cast<unsigned>(equals - text);
    unsigned ne = eq;
    while (ne > b && b_IsProfileBlank(text[ne - 1])) --ne;
    unsigned vb = eq + 1;
    while (vb < e && b_IsProfileBlank(text[vb])) ++vb;
    line->eo_Kind = e_Entry;
    line->n_NameEnd = ne;
    line->n_ValueBegin = vb;
    line->n_ValueEnd = e;
}

int CT_ProfileText::b_NameIs(unsigned begin, unsigned end, char const* name) const {
    char const* nb;
    char const* ne;
    v_TrimName(name, &nb, &ne);
    if (static_cast<std::size_t>(ne - nb) != end - begin) return 0;
    // Letter case is ignored for A to Z only, as the library's narrow
    // strings fold case in the C locale.
    for (unsigned i = begin; i < end; ++i, ++nb)
        if (c_Fold(s_Text[i]) != c_Fold(*nb)) return 0;
    return 1;
}

unsigned CT_ProfileText::n_FindSection(char const* name) const {
    char const* begin;
    char const* end;
    v_TrimName(name, &begin, &end);
    auto found = o_SectionIndex.find(s_Folded(begin, end));
    return found == o_SectionIndex.end() ? ~0u : found->second;
}

unsigned CT_ProfileText::n_FindKey(unsigned section, char const* key, int withBare) const {
    char const* begin;
    char const* end;
    v_TrimName(key, &begin, &end);
    if (!withBare) {
        auto found = o_EntryIndex.find(s_KeyOf(section, begin, end));
        return found == o_EntryIndex.end() ? ~0u : found->second;
    }
    // Writes also find bare lines, which the index leaves out.
    st_Section const& s = ao_Sections[section];
    for (unsigned i = s.n_First; i < s.n_End; ++i) {
        st_Line const& line = ao_Lines[i];
        if (line.eo_Kind != e_Entry && line.eo_Kind != e_Bare) continue;
        if (b_NameIs(line.n_NameBegin, line.n_NameEnd, key)) return i;
    }
    return ~0u;
}

char const* CT_ProfileText::qccz_LineEnd() const {
    // New lines follow the file's own habit, so an LF file stays an LF
    // file; a file without a line end yet (or a new one) takes CR LF.
    for (st_Line const& line : ao_Lines) {
        if (line.n_Next == line.n_End) continue;
        if (s_Text[line.n_End] == '\n') return "\n";
        if (line.n_Next - line.n_End == 1) return "\r";
        return "\r\n";
    }
    return "\r\n";
}

unsigned CT_ProfileText::n_Read(char const* section, char const* key, char const* defaultText, char* buffer,
                                unsigned size) const {
    char const* text = s_Text.data();
    if (section == nullptr) {
        std::string list;
        for (st_Section const& s : ao_Sections) {
            if (!s.b_Listed) continue;
            st_Line const& header = ao_Lines[s.n_Header];
            list.append(text + header.n_NameBegin, header.n_NameEnd - header.n_NameBegin);
            list.push_back(0);
        }
        return n_CopyList(list, buffer, size);
    }
    unsigned found = n_FindSection(section);
    if (key == nullptr && found != ~0u) {
        std::string list;
        st_Section const& s = ao_Sections[found];
        for (unsigned i = s.n_First; i < s.n_End; ++i) {
            st_Line const& line = ao_Lines[i];
            if (line.eo_Kind != e_Entry) continue;
            if (line.n_NameEnd > line.n_NameBegin && text[line.n_NameBegin] == ';') continue;
            list.append(text + line.n_NameBegin, line.n_NameEnd - line.n_NameBegin);
            list.push_back(0);
        }
        // A listing that shows no name at its start (none at all, too
        // little room for the first, or an empty first name) gives the
        // default instead, as the system's function does.
        unsigned count = n_CopyList(list, buffer, size);
        if (buffer[0] != 0) return count;
    }
    if (key != nullptr && found != ~0u) {
        unsigned at = n_FindKey(found, key, 0);
        if (at != ~0u) {
            st_Line const& line = ao_Lines[at];
            unsigned b = line.n_ValueBegin;
            unsigned e = line.n_ValueEnd;
            if (e - b >= 2 && (text[b] == '"' || text[b] == '\'') && text[e - 1] == text[b]) {
                ++b;
                --e;
            }
            return n_CopyValue(text + b, e - b, buffer, size);
        }
    }
    // Missing (and a section without keys to list): the default, without
    // its trailing blanks.
    if (defaultText == nullptr) defaultText = "";
    std::size_t length = std::strlen(defaultText);
    while (length > 0 && b_IsProfileBlank(defaultText[length - 1])) --length;
    return n_CopyValue(defaultText, length, buffer, size);
}

int CT_ProfileText::b_Edit(char const* section, char const* key, char const* value, std::string* result) const {
    if (section == nullptr) return 0;
    unsigned found = n_FindSection(section);
    std::string const lineEnd = qccz_LineEnd();

    if (key == nullptr || value == nullptr) {
        // Deletes: of the section (every line from its header to the next
        // header), or of the key's line.
        if (found == ~0u) return 0;
        st_Section const& s = ao_Sections[found];
        unsigned firstLine = s.n_Header == ~0u ? s.n_First : s.n_Header;
        unsigned endLine = s.n_End;
        if (key != nullptr) {
            firstLine = n_FindKey(found, key, 1);
            if (firstLine == ~0u) return 0;
            endLine = firstLine + 1;
        }
        unsigned from = ao_Lines[firstLine].n_Begin;
        unsigned to = endLine < ao_Lines.size() ? ao_Lines[endLine].n_Begin : static_cast<unsigned>(s_Text.size());
        *result = s_Text.substr(0, from) + s_Text.substr(to);
        return 1;
    }

    std::string const keyName = s_Written(key);
    std::string const valueText = s_Written(value);
    if (found != ~0u) {
        st_Section const& s = ao_Sections[found];
        unsigned at = n_FindKey(found, key, 1);
        if (at != ~0u) {
            // Otherwise the key's line is written anew from its own name and
            // the value; its line end stays.
            st_Line const& line = ao_Lines[at];
            // The same value again leaves the line, spacing and all.
            if (line.eo_Kind == e_Entry &&
                s_Text.compare(line.n_ValueBegin, line.n_ValueEnd - line.n_ValueBegin, valueText) == 0)
                return 0;
            std::string replaced = s_Text.substr(line.n_NameBegin, line.n_NameEnd - line.n_NameBegin);
            replaced += '=';
            replaced += valueText;
            *result = s_Text.substr(0, line.n_Begin) + replaced + s_Text.substr(line.n_End);
            return 1;
        }
        // A new key goes behind the section's last line that is not blank,
        // so the blank lines that part it from the next section stay there.
        unsigned last = s.n_Header;
        for (unsigned i = s.n_First; i < s.n_End; ++i)
            if (ao_Lines[i].eo_Kind != e_Blank) last = i;
        std::string inserted = keyName + "=" + valueText + lineEnd;
        if (last == ~0u) {
            *result = inserted + s_Text;
            return 1;
        }
        st_Line const& line = ao_Lines[last];
        if (line.n_Next == line.n_End) inserted = lineEnd + inserted;
        *result = s_Text.substr(0, line.n_Next) + inserted + s_Text.substr(line.n_Next);
        return 1;
    }

    std::string const sectionName = s_Written(section);
    if (sectionName.empty()) {
        // The nameless section is the lines before the first header.
        *result = keyName + "=" + valueText + lineEnd + s_Text;
        return 1;
    }
    *result = s_Text;
    if (!result->empty() && result->back() != '\n' && result->back() != '\r') *result += lineEnd;
    *result += "[" + sectionName + "]" + lineEnd + keyName + "=" + valueText + lineEnd;
    return 1;
}

}  // namespace Posix
}  // namespace Platform
