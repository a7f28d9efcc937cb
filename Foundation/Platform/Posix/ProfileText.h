// The text of one profile file, parsed once into lines and sections, and
// the reads and edits of the profile functions over it. Pure work on
// bytes: the file itself is read and written by ProfileFile.
//
// Lines end at LF, CR LF or a lone CR. Each line is trimmed of blanks at
// both ends, then read as
//   - a blank line;
//   - a section header: '[', the name, the last ']' of the line (text after
//     it is ignored); the name is trimmed;
//   - a line beginning with '[' without a ']': belongs to no key and is
//     skipped;
//   - an entry: a name (trimmed) before the first '=' and a value (trimmed)
//     after it; an entry whose name begins with ';' is a comment: it can
//     be read by its full name, as the system's reader allows, but is never
//     listed;
//   - a bare line without '=': a key without a value, which reads as
//     missing and is not listed, but which a write or delete of its name
//     finds.
// Lines before the first header form the section named "" (when there are
// any); a header with an empty name, "[]", opens a section that is never
// found or listed.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace Platform {
namespace Posix {

class CT_ProfileText {
public:
    CT_ProfileText() = default;
    explicit CT_ProfileText(std::string text);

    std::string const& s_GetText() const { return s_Text; }

    // The profile read (see Profile.h). size > 0 and buffer not null.
    unsigned n_Read(char const* section, char const* key, char const* defaultText, char* buffer,
                    unsigned size) const;

    // The profile write over this text: the new text into *result. Returns
    // 0 when the text stays as it is (nothing to change), 1 when *result
    // holds the changed text.
    int b_Edit(char const* section, char const* key, char const* value, std::string* result) const;

private:
    enum et_Kind { e_Blank, e_Header, e_Skipped, e_Entry, e_Bare };
    struct st_Line {
        unsigned n_Begin;      // first byte of the line
        unsigned n_End;        // one past its last byte, line end excluded
        unsigned n_Next;       // first byte of the next line
        et_Kind eo_Kind;
        unsigned n_NameBegin;  // trimmed name (header or entry)
        unsigned n_NameEnd;
        unsigned n_ValueBegin;  // trimmed value (entry)
        unsigned n_ValueEnd;
    };
    struct st_Section {
        unsigned n_Header;  // index of the header line; ~0u for the lines before the first
        unsigned n_First;   // first line after the header
        unsigned n_End;     // one past its last line
        int b_Findable;     // found by its name
        int b_Listed;       // listed among the section names
    };

    void v_Parse();
    void v_ParseLine(st_Line* line) const;
    // Index into ao_Sections of the first section named name, or ~0u.
    unsigned n_FindSection(char const* name) const;
    // Index into ao_Lines of the first key line named key in the section,
    // or ~0u. withBare: bare lines count (writes), else only entries.
    unsigned n_FindKey(unsigned section, char const* key, int withBare) const;
    int b_NameIs(unsigned begin, unsigned end, char const* name) const;
    // The line end new lines take: the file's first, or CR LF.
    char const* qccz_LineEnd() const;

    // The index of the reads: a name folded to lower case and trimmed, to
    // the first section of that name; the section's number (four bytes)
    // and a folded key name, to the first entry of that name in it.
    static std::string s_Folded(char const* begin, char const* end);
    std::string s_KeyOf(unsigned section, char const* begin, char const* end) const;

    std::string s_Text;
    std::vector<st_Line> ao_Lines;
    std::vector<st_Section> ao_Sections;
    std::unordered_map<std::string, unsigned> o_SectionIndex;
    std::unordered_map<std::string, unsigned> o_EntryIndex;
};

// Blanks as the profile rules trim them: space, tab, LF, VT, FF, CR.
inline bool b_IsProfileBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace Posix
}  // namespace Platform
