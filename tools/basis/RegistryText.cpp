#include "tools/basis/RegistryText.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace RegistryText {

namespace {

char16_t const ac_Header5[] = u"Windows Registry Editor Version 5.00";
char16_t const ac_Header4[] = u"REGEDIT4";

struct st_Root {
    char const* qcz_Name;
    char const* qcz_Short;
    HKEY h_Root;
};

st_Root const aso_Roots[] = {
    {"HKEY_CURRENT_USER", "HKCU", HKEY_CURRENT_USER},
    {"HKEY_LOCAL_MACHINE", "HKLM", HKEY_LOCAL_MACHINE},
    {"HKEY_CLASSES_ROOT", "HKCR", HKEY_CLASSES_ROOT},
    {"HKEY_USERS", "HKU", HKEY_USERS},
};

char16_t c_Upper(char16_t c) { return c >= 'a' && c <= 'z' ? static_cast<char16_t>(c - 32) : c; }

bool b_SameAscii(std::u16string const& text, char const* ascii) {
    std::size_t length = std::strlen(ascii);
    if (text.size() != length) return false;
    for (std::size_t i = 0; i < length; ++i)
        if (c_Upper(text[i]) != static_cast<char16_t>(ascii[i])) return false;
    return true;
}

int i_Hex(char16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string s_Bytes(std::u16string const& text, bool terminate) {
    std::string bytes;
    bytes.reserve((text.size() + 1) * 2);
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    if (terminate) bytes.append(2, '\0');
    return bytes;
}

// The file's text as UTF-16 units: UTF-16LE after its BOM, else UTF-8
// (with or without its BOM).
bool b_Decode(std::string const& bytes, std::u16string* text) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF && static_cast<unsigned char>(bytes[1]) == 0xFE) {
        if (bytes.size() % 2) return false;  // half a unit at the end: a damaged file
        text->resize((bytes.size() - 2) / 2);
        for (std::size_t i = 0; i < text->size(); ++i)
            (*text)[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 + 2 * i]) |
                                               static_cast<unsigned char>(bytes[3 + 2 * i]) << 8);
        return true;
    }
    std::size_t skip = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    *text = s_Utf16(bytes.substr(skip));
    return true;
}

std::vector<std::u16string> ao_Lines(std::u16string const& text) {
    std::vector<std::u16string> lines;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= text.size(); ++at) {
        if (at == text.size() || text[at] == '\n' || text[at] == '\r') {
            lines.push_back(text.substr(start, at - start));
            if (at + 1 < text.size() && text[at] == '\r' && text[at + 1] == '\n') ++at;
            start = at + 1;
        }
    }
    return lines;
}

void v_Trim(std::u16string* text) {
    std::size_t begin = 0, end = text->size();
    while (begin < end && ((*text)[begin] == ' ' || (*text)[begin] == '\t')) ++begin;
    while (end > begin && ((*text)[end - 1] == ' ' || (*text)[end - 1] == '\t')) --end;
    *text = text->substr(begin, end - begin);
}

// A quoted text starting at *at (at the opening quote), with \\ and \"
// escapes; *at ends past the closing quote.
bool b_Quoted(std::u16string const& line, std::size_t* at, std::u16string* out) {
    if (*at >= line.size() || line[*at] != '"') return false;
    out->clear();
    for (std::size_t i = *at + 1; i < line.size(); ++i) {
        char16_t c = line[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) c = line[++i];
        out->push_back(c);
    }
    return false;
}

// Comma-separated two-digit bytes; blanks around them are allowed.
bool b_HexBytes(std::u16string const& list, std::string* data) {
    data->clear();
    std::u16string rest = list;
    v_Trim(&rest);
    if (rest.empty()) return true;
    std::size_t at = 0;
    while (true) {
        while (at < rest.size() && rest[at] == ' ') ++at;
        if (at + 1 >= rest.size() + 0 || i_Hex(rest[at]) < 0) return false;
        int high = i_Hex(rest[at]), low = at + 1 < rest.size() ? i_Hex(rest[at + 1]) : -1;
        if (low < 0) return false;
        data->push_back(static_cast<char>(high << 4 | low));
        at += 2;
        while (at < rest.size() && rest[at] == ' ') ++at;
        if (at == rest.size()) return true;
        if (rest[at] != ',') return false;
        ++at;
    }
}

// One value line of a key; false when it is not one.
bool b_ValueLine(std::u16string const& line, st_Operation* operation) {
    std::size_t at = 0;
    if (line[0] == '@') {
        operation->s_Name.clear();
        at = 1;
    } else if (!b_Quoted(line, &at, &operation->s_Name)) {
        return false;
    }
    while (at < line.size() && line[at] == ' ') ++at;
    if (at >= line.size() || line[at] != '=') return false;
    ++at;
    while (at < line.size() && line[at] == ' ') ++at;
    std::u16string value = line.substr(at);
    v_Trim(&value);
    if (value == u"-") {
        operation->e_Kind = st_Operation::e_DeleteValue;
        return true;
    }
    operation->e_Kind = st_Operation::e_SetValue;
    if (!value.empty() && value[0] == '"') {
        std::size_t end = 0;
        std::u16string text;
        if (!b_Quoted(value, &end, &text) || end != value.size()) return false;
        operation->n_Type = Platform::e_RegText;
        operation->s_Data = s_Bytes(text, true);
        return true;
    }
    if (value.compare(0, 6, u"dword:") == 0) {
        std::u16string digits = value.substr(6);
        if (digits.empty() || digits.size() > 8) return false;
        std::uint32_t number = 0;
        for (char16_t c : digits) {
            if (i_Hex(c) < 0) return false;
            number = number << 4 | static_cast<unsigned>(i_Hex(c));
        }
        operation->n_Type = Platform::e_RegNumber;
        operation->s_Data = std::string{static_cast<char>(number), static_cast<char>(number >> 8),
                                        static_cast<char>(number >> 16), static_cast<char>(number >> 24)};
        return true;
    }
    if (value.compare(0, 4, u"hex:") == 0) {
        operation->n_Type = Platform::e_RegBinary;
        return b_HexBytes(value.substr(4), &operation->s_Data);
    }
    if (value.compare(0, 4, u"hex(") == 0) {
        std::size_t close = value.find(u"):", 4);
        if (close == std::u16string::npos || close == 4 || close > 12) return false;
        std::uint32_t type = 0;
        for (std::size_t i = 4; i < close; ++i) {
            if (i_Hex(value[i]) < 0) return false;
            type = type << 4 | static_cast<unsigned>(i_Hex(value[i]));
        }
        operation->n_Type = type;
        return b_HexBytes(value.substr(close + 2), &operation->s_Data);
    }
    return false;
}

std::string s_Wide(char const* ascii) { return s_Bytes(s_Utf16(ascii), false); }

std::string s_HexLine(std::u16string const& lead, unsigned type, std::string const& data) {
    std::string out;
    std::u16string line = lead;
    if (type == Platform::e_RegBinary) {
        line += u"hex:";
    } else {
        char prefix[16];
        std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
        line += s_Utf16(prefix);
    }
    static char const digits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < data.size(); ++i) {
        unsigned char byte = static_cast<unsigned char>(data[i]);
        line.push_back(static_cast<char16_t>(digits[byte >> 4]));
        line.push_back(static_cast<char16_t>(digits[byte & 15]));
        if (i + 1 < data.size()) {
            line.push_back(',');
            // Long lists go on over several lines, as the editor writes them.
            if (line.size() >= 76) {
                line += u"\\";
                out += s_Bytes(line, false) + s_Wide("\r\n");
                line = u"  ";
            }
        }
    }
    return out + s_Bytes(line, false) + s_Wide("\r\n");
}

std::u16string s_Escaped(std::u16string const& text) {
    std::u16string out;
    for (char16_t c : text) {
        if (c == '\\' || c == '"') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

// Text that a quoted line can carry: whole units, one zero at the end and
// none before, no line ends.
bool b_PlainText(std::string const& data, std::u16string* text) {
    if (data.size() < 2 || data.size() % 2 || data[data.size() - 1] || data[data.size() - 2]) return false;
    text->clear();
    for (std::size_t i = 0; i + 2 < data.size(); i += 2) {
        char16_t c = static_cast<char16_t>(static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8);
        if (c == 0 || c == '\r' || c == '\n') return false;
        text->push_back(c);
    }
    return true;
}

unsigned n_ExportKey(HKEY root, std::u16string const& path, std::string* bytes) {
    HKEY key = nullptr;
    std::u16string wide = path;
    if (unsigned code = Platform::n_RegOpenKey(root, reinterpret_cast<unsigned short const*>(wide.c_str()),
                                               Platform::e_KeyRead, &key))
        return code;
    std::u16string header = u"[" + s_Utf16(qcz_RootName(root));
    if (!path.empty()) header.append(1, u'\\').append(path);
    header.append(1, u']');
    *bytes += s_Bytes(header, false) + s_Wide("\r\n");
    unsigned code = 0;
    for (unsigned index = 0;; ++index) {
        std::u16string name;
        unsigned type = 0;
        std::string data;
        code = n_ReadValue(key, index, &name, &type, &data);
        if (code == Platform::e_RegNoMoreItems) {
            code = 0;
            break;
        }
        if (code) break;
        std::u16string lead = name.empty() ? u"@=" : u"\"" + s_Escaped(name) + u"\"=";
        std::u16string text;
        if (type == Platform::e_RegText && b_PlainText(data, &text)) {
            *bytes += s_Bytes(lead + u"\"" + s_Escaped(text) + u"\"", false) + s_Wide("\r\n");
        } else if (type == Platform::e_RegNumber && data.size() == 4) {
            char number[16];
            std::uint32_t value = static_cast<unsigned char>(data[0]) | static_cast<unsigned char>(data[1]) << 8 |
                                  static_cast<unsigned char>(data[2]) << 16 |
                                  static_cast<std::uint32_t>(static_cast<unsigned char>(data[3])) << 24;
            std::snprintf(number, sizeof number, "dword:%08x", value);
            *bytes += s_Bytes(lead + s_Utf16(number), false) + s_Wide("\r\n");
        } else {
            *bytes += s_HexLine(lead, type, data);
        }
    }
    *bytes += s_Wide("\r\n");
    std::vector<std::u16string> children;
    if (code == 0) code = n_ReadSubkeyNames(key, &children);
    Platform::n_RegCloseKey(key);
    for (std::u16string const& child : children) {
        if (code) break;
        code = n_ExportKey(root, path.empty() ? child : path + u"\\" + child, bytes);
    }
    return code;
}

unsigned n_DeleteTree(HKEY parent, std::u16string const& name) {
    HKEY key = nullptr;
    auto units = [](std::u16string const& text) { return reinterpret_cast<unsigned short const*>(text.c_str()); };
    if (unsigned code = Platform::n_RegOpenKey(parent, units(name), Platform::e_KeyAllAccess, &key)) return code;
    unsigned code = 0;
    while (code == 0) {
        unsigned short child[256];
        unsigned length = 256;
        unsigned result = Platform::n_RegEnumKey(key, 0, child, &length);
        if (result == Platform::e_RegNoMoreItems) break;
        code = result ? result : n_DeleteTree(key, std::u16string(reinterpret_cast<char16_t const*>(child), length));
    }
    Platform::n_RegCloseKey(key);
    return code ? code : Platform::n_RegDeleteKey(parent, units(name));
}

}  // namespace

std::string s_Utf8(std::u16string const& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::uint32_t c = text[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (text[++i] - 0xDC00);
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else if (c < 0x800) {
            out.push_back(static_cast<char>(0xC0 | c >> 6));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else if (c < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | c >> 12));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | c >> 18));
            out.push_back(static_cast<char>(0x80 | (c >> 12 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c >> 6 & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

std::u16string s_Utf16(std::string const& text) {
    std::u16string out;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char lead = static_cast<unsigned char>(text[i]);
        unsigned extra = lead < 0x80 ? 0 : lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : 9;
        std::uint32_t c = extra == 0 ? lead : extra == 1 ? lead & 0x1F : extra == 2 ? lead & 0x0F : lead & 0x07;
        bool good = extra != 9 && i + extra < text.size();
        for (unsigned k = 1; good && k <= extra; ++k) {
            unsigned char next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) good = false;
            c = c << 6 | (next & 0x3F);
        }
        if (!good) {
            // A broken sequence reads as one replacement character per byte.
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        i += extra + 1;
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
    }
    return out;
}

std::u16string s_Utf16(char const* text) { return s_Utf16(std::string(text ? text : "")); }

char const* qcz_RootName(HKEY root) {
    for (st_Root const& known : aso_Roots)
        if (known.h_Root == root) return known.qcz_Name;
    return "?";
}

bool b_ParseKey(std::u16string const& text, HKEY* root, std::u16string* path) {
    std::size_t slash = text.find(u'\\');
    std::u16string first = text.substr(0, slash);
    *path = slash == std::u16string::npos ? std::u16string() : text.substr(slash + 1);
    while (!path->empty() && path->back() == '\\') path->pop_back();
    bool known = false;
    for (st_Root const& candidate : aso_Roots) {
        if (b_SameAscii(first, candidate.qcz_Name) || b_SameAscii(first, candidate.qcz_Short)) {
            *root = candidate.h_Root;
            known = true;
        }
    }
    if (!known) return false;
    std::size_t start = 0;
    for (std::size_t at = 0; at <= path->size() && !path->empty(); ++at) {
        if (at == path->size() || (*path)[at] == '\\') {
            if (at == start || at - start > 255) return false;  // empty or over-long level
            start = at + 1;
        }
    }
    return true;
}

bool b_Parse(std::string const& bytes, std::vector<st_Operation>* operations, std::string* error) {
    operations->clear();
    std::u16string text;
    if (!b_Decode(bytes, &text)) {
        *error = "the file ends in the middle of a UTF-16 unit";
        return false;
    }
    std::vector<std::u16string> lines = ao_Lines(text);
    std::size_t index = 0;
    while (index < lines.size() && (v_Trim(&lines[index]), lines[index].empty())) ++index;
    if (index == lines.size() || (lines[index] != ac_Header5 && lines[index] != ac_Header4)) {
        *error = "line " + std::to_string(index + 1) + ": not a registry file (no header)";
        return false;
    }
    bool inKey = false, deleting = false;
    HKEY root = nullptr;
    std::u16string path;
    for (++index; index < lines.size(); ++index) {
        std::size_t number = index + 1;
        std::u16string line = lines[index];
        // A line ending in a backslash goes on in the next one.
        while (!line.empty() && line.back() == '\\' && line.find(u'=') != std::u16string::npos &&
               index + 1 < lines.size()) {
            line.pop_back();
            std::u16string next = lines[++index];
            v_Trim(&next);
            line += next;
        }
        v_Trim(&line);
        if (line.empty() || line[0] == ';') continue;
        auto fail = [&](char const* what) {
            *error = "line " + std::to_string(number) + ": " + what;
            operations->clear();
            return false;
        };
        if (line[0] == '[') {
            if (line.back() != ']') return fail("a key line without its closing bracket");
            deleting = line.size() > 1 && line[1] == '-';
            std::u16string name = line.substr(deleting ? 2 : 1, line.size() - (deleting ? 3 : 2));
            if (!b_ParseKey(name, &root, &path)) return fail("an unknown root or an empty level in the key");
            if (deleting && path.empty()) return fail("a root cannot be deleted");
            st_Operation operation{deleting ? st_Operation::e_DeleteKey : st_Operation::e_CreateKey, root, path, u"", 0, ""};
            operations->push_back(operation);
            inKey = true;
            continue;
        }
        if (!inKey) return fail("a value before the first key");
        // Values under a key being deleted would be ambiguous: refused.
        if (deleting) return fail("a value under a deleted key");
        st_Operation operation{st_Operation::e_SetValue, root, path, u"", 0, ""};
        if (!b_ValueLine(line, &operation)) return fail("not a value line");
        operations->push_back(operation);
    }
    return true;
}

unsigned n_Apply(std::vector<st_Operation> const& operations) {
    for (st_Operation const& operation : operations) {
        auto units = [](std::u16string const& text) { return reinterpret_cast<unsigned short const*>(text.c_str()); };
        unsigned code = 0;
        if (operation.e_Kind == st_Operation::e_DeleteKey) {
            code = n_DeleteTree(operation.h_Root, operation.s_Path);
            if (code == Platform::e_RegNotFound) code = 0;  // already gone
        } else {
            HKEY key = nullptr;
            code = Platform::n_RegCreateKey(operation.h_Root, units(operation.s_Path), Platform::e_KeyAllAccess, &key);
            if (code == 0 && operation.e_Kind == st_Operation::e_SetValue)
                code = Platform::n_RegSetValue(key, units(operation.s_Name), operation.n_Type, operation.s_Data.data(),
                                               static_cast<unsigned>(operation.s_Data.size()));
            if (code == 0 && operation.e_Kind == st_Operation::e_DeleteValue) {
                code = Platform::n_RegDeleteValue(key, units(operation.s_Name));
                if (code == Platform::e_RegNotFound) code = 0;
            }
            if (key) Platform::n_RegCloseKey(key);
        }
        if (code) return code;
    }
    return 0;
}

unsigned n_Export(HKEY root, std::u16string const& path, std::string* bytes) {
    *bytes = "\xFF\xFE" + s_Bytes(ac_Header5, false) + s_Wide("\r\n\r\n");
    return n_ExportKey(root, path, bytes);
}

unsigned n_ReadSubkeyNames(HKEY key, std::vector<std::u16string>* children) {
    for (unsigned index = 0;; ++index) {
        unsigned short name[256];
        unsigned length = 256;
        unsigned result = Platform::n_RegEnumKey(key, index, name, &length);
        if (result == Platform::e_RegNoMoreItems) return 0;
        if (result) return result;
        children->emplace_back(reinterpret_cast<char16_t const*>(name), length);
    }
}

unsigned n_ReadValue(HKEY key, unsigned index, std::u16string* name, unsigned* type, std::string* data) {
    unsigned short units[16384];
    data->clear();
    for (int attempt = 0; attempt < 4; ++attempt) {
        unsigned length = 16384, size = static_cast<unsigned>(data->size());
        unsigned code = Platform::n_RegEnumValue(key, index, units, &length, type, data->empty() ? nullptr : &(*data)[0],
                                                 &size);
        if (code == 0 && !data->empty()) {
            data->resize(size);
            name->assign(reinterpret_cast<char16_t const*>(units), length);
            return 0;
        }
        if (code != 0 && code != Platform::e_RegMoreData) return code;
        // First the size, then the bytes (again if the value grew meanwhile);
        // one spare byte keeps the buffer from being empty for an empty value.
        data->resize(size + 1);
    }
    return Platform::e_RegMoreData;
}

}  // namespace RegistryText
