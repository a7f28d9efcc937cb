#include "Foundation/System/IniFile/IniFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "Foundation/Basis/Error/SystemErrorReport.h"
#include "Foundation/Platform/Profile.h"

BASIS_DEFINE_POOL(CT_IniFile)

namespace {

char const qcz_Location[] = "Foundation/System/IniFile/IniFile";

// Values are read into a buffer of this size: at most 1023 characters.
constexpr unsigned n_ValueSize = 1024;
// Listings start at this size and grow by it while they do not fit.
constexpr unsigned n_ListStep = 4096;

// A caller's string as narrow text in the ANSI code page; a null string
// stays null, so the platform sees a missing argument as such.
struct st_Narrow {
    explicit st_Narrow(CT_String const* text) : b_Null(text == nullptr), co_Text(text ? text : &co_Empty(), 0) {}
    char const* qccz_Get() const { return b_Null ? nullptr : co_Text.qccz_Get(); }

    static CT_CString const& co_Empty() {
        static CT_CString const empty;
        return empty;
    }
    bool b_Null;
    CT_CString co_Text;
};

int b_IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char c_Fold(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

}  // namespace

CT_IniFile::CT_IniFile(CT_String const* fileName) { v_Set(fileName); }

CT_IniFile::~CT_IniFile() = default;

void CT_IniFile::v_Set(CT_String const* fileName) {
    if (fileName == nullptr) {
        co_FileName = CT_CString();
        return;
    }
    co_FileName = CT_CString(fileName, 0);
}

int CT_IniFile::b_Write(char const* section, char const* key, char const* value) {
    return Platform::b_WriteProfileString(section, key, value, co_FileName.qccz_Get());
}

void CT_IniFile::v_WriteString(char const* section, char const* key, char const* value) {
    if (!b_Write(section, key, value)) v_ReportSystemError(qcz_Location, __LINE__);
}

void CT_IniFile::v_WriteString(CT_String const* section, CT_String const* key, CT_String const* value) {
    b_Write(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), st_Narrow(value).qccz_Get());
}

void CT_IniFile::v_WriteN(char const* section, char const* key, unsigned n) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", static_cast<int>(n));
    b_Write(section, key, text);
}

void CT_IniFile::v_WriteN(CT_String const* section, CT_String const* key, unsigned n) {
    v_WriteN(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), n);
}

void CT_IniFile::v_WriteB(char const* section, char const* key, int b) { b_Write(section, key, b ? "Yes" : "No"); }

void CT_IniFile::v_WriteB(CT_String const* section, CT_String const* key, int b) {
    v_WriteB(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), b);
}

void CT_IniFile::v_ReadString(char const* section, char const* key, CT_String* result, char const* defaultText) {
    char value[n_ValueSize];
    unsigned length =
        Platform::n_GetProfileString(section, key, defaultText, value, sizeof value, co_FileName.qccz_Get());
    // The platform's count never exceeds the buffer; kept within it anyway.
    if (length >= sizeof value) length = sizeof value - 1;
    if (result) result->v_Set(value, length, 0);
}

void CT_IniFile::v_ReadString(CT_String const* section, CT_String const* key, CT_String* result,
                              CT_String const* defaultText) {
    v_ReadString(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), result,
                 st_Narrow(defaultText).qccz_Get());
}

void CT_IniFile::v_ReadN(char const* section, char const* key, unsigned* result, unsigned defaultValue) {
    char defaultText[16];
    std::snprintf(defaultText, sizeof defaultText, "%d", static_cast<int>(defaultValue));
    char value[n_ValueSize];
    Platform::n_GetProfileString(section, key, defaultText, value, sizeof value, co_FileName.qccz_Get());
    // Blanks, a sign, then digits. The number is taken modulo 2^32, so a
    // written -1 reads back as 4294967295 and digits beyond the range wrap
    // instead of overflowing.
    char const* at = value;
    while (b_IsBlank(*at)) ++at;
    int negative = 0;
    if (*at == '+' || *at == '-') negative = *at++ == '-';
    unsigned number = 0;
    while (*at >= '0' && *at <= '9') number = number * 10u + static_cast<unsigned>(*at++ - '0');
    if (result) *result = negative ? 0u - number : number;
}

void CT_IniFile::v_ReadN(CT_String const* section, CT_String const* key, unsigned* result, unsigned defaultValue) {
    v_ReadN(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), result, defaultValue);
}

void CT_IniFile::v_ReadB(char const* section, char const* key, int* result, int defaultValue) {
    CT_CString value;
    v_ReadString(section, key, &value, defaultValue ? "Yes" : "No");
    value.vv_Strip(nullptr);
    int b = defaultValue;
    switch (value.c_GetAt(0)) {
    case '0': case 'F': case 'f': case 'N': case 'n': b = 0; break;
    case '1': case 'T': case 't': case 'Y': case 'y': b = 1; break;
    default: break;  // empty, or a first character in neither list
    }
    if (result) *result = b;
}

void CT_IniFile::v_ReadB(CT_String const* section, CT_String const* key, int* result, int defaultValue) {
    v_ReadB(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get(), result, defaultValue);
}

void CT_IniFile::v_DeleteSection(char const* section) {
    // A null section would ask the platform to flush its cache, not to
    // delete: nothing to do.
    if (section) b_Write(section, nullptr, nullptr);
}

void CT_IniFile::v_DeleteSection(CT_String const* section) { v_DeleteSection(st_Narrow(section).qccz_Get()); }

void CT_IniFile::v_DeleteKey(char const* section, char const* key) {
    // A null key would delete the whole section: only a named key goes.
    if (section && key) b_Write(section, key, nullptr);
}

void CT_IniFile::v_DeleteKey(CT_String const* section, CT_String const* key) {
    v_DeleteKey(st_Narrow(section).qccz_Get(), st_Narrow(key).qccz_Get());
}

void CT_IniFile::v_GetNames(char const* section, CT_Array<CT_CString*>* names) {
    if (names == nullptr) return;
    std::vector<char> list(n_ListStep);
    for (;;) {
        unsigned size = static_cast<unsigned>(list.size());
        unsigned count = Platform::n_GetProfileString(section, nullptr, "", list.data(), size, co_FileName.qccz_Get());
        if (count != size - 2) break;
        // The platform cannot list more than the file holds, so the buffer
        // stops growing once it is larger than the file; 4 GiB is the hard
        // stop of the 32-bit size.
        if (size > 0xFFFFFFFFu - n_ListStep) break;
        list.assign(list.size() + n_ListStep, 0);
    }
    // Split at the zeros, up to the first empty name; the list is closed
    // within the buffer whatever the platform left in it.
    list.back() = 0;
    char const* at = list.data();
    char const* end = list.data() + list.size();
    while (at < end && *at) {
        std::size_t length = std::strlen(at);
        names->v_Insert(new CT_CString(at, static_cast<unsigned>(length), 0));
        at += length + 1;
    }
}

void CT_IniFile::v_GetSectionNames(CT_Array<CT_CString*>* names) { v_GetNames(nullptr, names); }

void CT_IniFile::v_GetKeysInSection(char const* section, CT_Array<CT_CString*>* keys) {
    // A null section would list the sections instead.
    if (section) v_GetNames(section, keys);
}

void CT_IniFile::v_GetKeysInSection(CT_String const* section, CT_Array<CT_CString*>* keys) {
    v_GetKeysInSection(st_Narrow(section).qccz_Get(), keys);
}

namespace {

int b_InNames(CT_String const* text, CT_Array<CT_CString*>* names) {
    int found = CT_IniFile::sb_StringIsInArray(text, names);
    for (unsigned i = 1; i <= names->n_GetCount(); ++i) {
        CT_CString* name = nullptr;
        names->v_GetAt(&name, static_cast<int>(i));
        delete name;
    }
    return found;
}

}  // namespace

int CT_IniFile::b_SectionExists(CT_String const* section) {
    if (section == nullptr) return 0;
    CT_Array<CT_CString*> names;
    v_GetSectionNames(&names);
    return b_InNames(section, &names);
}

int CT_IniFile::b_SectionExists(char const* section) {
    if (section == nullptr) return 0;
    CT_CString text(section, ~0u, 0);
    return b_SectionExists(&text);
}

int CT_IniFile::b_KeyExists(CT_String const* section, CT_String const* key) {
    if (section == nullptr || key == nullptr) return 0;
    CT_Array<CT_CString*> names;
    v_GetKeysInSection(section, &names);
    return b_InNames(key, &names);
}

int CT_IniFile::b_KeyExists(char const* section, char const* key) {
    if (section == nullptr || key == nullptr) return 0;
    CT_CString sectionText(section, ~0u, 0);
    CT_CString keyText(key, ~0u, 0);
    return b_KeyExists(&sectionText, &keyText);
}

int CT_IniFile::sb_StringIsInArray(CT_String const* text, CT_Array<CT_CString*> const* array) {
    if (text == nullptr || array == nullptr) return 0;
    CT_CString const narrow(text, 0);
    for (unsigned i = 1; i <= array->n_GetCount(); ++i) {
        CT_CString* element = nullptr;
        array->v_GetAt(&element, static_cast<int>(i));
        if (element == nullptr || element->n_GetLength() != narrow.n_GetLength()) continue;
        // Case is folded for A to Z, as the narrow string does in the C
        // locale the library runs in.
        char const* a = element->qccz_Get();
        char const* b = narrow.qccz_Get();
        unsigned n = narrow.n_GetLength();
        unsigned k = 0;
        while (k < n && c_Fold(a[k]) == c_Fold(b[k])) ++k;
        if (k == n) return 1;
    }
    return 0;
}
