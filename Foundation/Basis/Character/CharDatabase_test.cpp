// Checks the library's character tables against the current Unicode database
// where the system has it (Debian's unicode-data package): for every code
// point assigned in Unicode 2.0, the general category, the case mappings and
// the decomposition agree, except for the characters listed with a reason in
// CharDatabaseChanges.inc.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "Foundation/Basis/Character/CharMappings.h"
#include "Foundation/Basis/Character/CharProperties.h"

namespace {

using CP = CT_CharProperties;
using CM = CT_CharMappings;
using Text = std::vector<unsigned short>;

struct st_Change {
    unsigned short n2_First;
    unsigned short n2_Last;
    char c_Property;
    char const* qcz_Reason;
};

st_Change const ast_Changes[] = {
#include "Foundation/Basis/Character/CharDatabaseChanges.inc"
};

char const qcz_DatabasePath[] = "/usr/share/unicode/UnicodeData.txt";

struct st_Entry {
    std::string s_Category;
    unsigned n_Upper = 0;  // 0: none
    unsigned n_Lower = 0;
    Text o_Canonical;  // empty: none
};

// The database's entries of the 16-bit range, First/Last ranges spelled out.
std::map<unsigned, st_Entry> o_ReadDatabase(std::ifstream& in) {
    std::map<unsigned, st_Entry> entries;
    std::string line;
    unsigned rangeFirst = 0;
    while (std::getline(in, line)) {
        std::vector<std::string> fields;
        std::stringstream split(line);
        std::string field;
        while (std::getline(split, field, ';')) fields.push_back(field);
        while (fields.size() < 15) fields.emplace_back();
        unsigned code = std::stoul(fields[0], nullptr, 16);
        if (code > 0xFFFF) break;
        st_Entry entry;
        entry.s_Category = fields[2];
        if (!fields[12].empty()) entry.n_Upper = std::stoul(fields[12], nullptr, 16);
        if (!fields[13].empty()) entry.n_Lower = std::stoul(fields[13], nullptr, 16);
        if (!fields[5].empty() && fields[5][0] != '<') {
            std::stringstream parts(fields[5]);
            std::string part;
            while (parts >> part) entry.o_Canonical.push_back(static_cast<unsigned short>(std::stoul(part, nullptr, 16)));
        }
        if (fields[1].find(", First>") != std::string::npos) {
            rangeFirst = code;
            continue;
        }
        if (fields[1].find(", Last>") != std::string::npos) {
            for (unsigned c = rangeFirst; c <= code; ++c) entries[c] = entry;
            continue;
        }
        entries[code] = entry;
    }
    return entries;
}

// As the library builds its rows: the base letter taken apart again, the
// marks as they stand.
Text o_Expand(std::map<unsigned, st_Entry> const& entries, unsigned short c) {
    auto it = entries.find(c);
    if (it == entries.end() || it->second.o_Canonical.empty()) return Text{c};
    Text const& parts = it->second.o_Canonical;
    Text out = o_Expand(entries, parts[0]);
    out.insert(out.end(), parts.begin() + 1, parts.end());
    return out;
}

std::string s_CategoryName(int value) {
    static char const* const names[] = {"Mn", "Mc", "Me", "Nd", "Nl", "No", "Zs", "Zl", "Zp", "Cc",
                                        "Cf", "Cs", "Co", "Cn", "Lu", "Ll", "Lt", "Lm", "Lo", "Pc",
                                        "Pd", "Ps", "Pe", "Po", "Sm", "Sc", "Sk", "So"};
    return value >= 0 && value < 28 ? names[value] : "--";
}

st_Change const* pcst_FindChange(unsigned short c, char property) {
    for (st_Change const& change : ast_Changes)
        if (change.c_Property == property && c >= change.n2_First && c <= change.n2_Last) return &change;
    return nullptr;
}

std::string s_Hex(unsigned c) {
    char text[8];
    std::snprintf(text, sizeof text, "U+%04X", c);
    return text;
}

}  // namespace

TEST(CharDatabase, AgreesWithTheCurrentUnicodeDatabase) {
    std::ifstream in(qcz_DatabasePath);
    if (!in) GTEST_SKIP() << qcz_DatabasePath << " is not installed";
    std::map<unsigned, st_Entry> const entries = o_ReadDatabase(in);
    ASSERT_GT(entries.size(), 50000u);

    unsigned assigned = 0, listed = 0;
    for (unsigned code = 0; code <= 0xFFFF; ++code) {
        unsigned short c = static_cast<unsigned short>(code);
        int category = CP::seo_GetUnicodeProperty(c);
        if (category == CP::e_UnknownProperty) continue;  // not assigned in 2.0
        ++assigned;
        auto it = entries.find(code);
        st_Entry const empty{"Cn", 0, 0, {}};
        st_Entry const& entry = it != entries.end() ? it->second : empty;

        // Each property: does it differ, and is the difference listed?
        auto judge = [&](char property, bool differs, std::string const& detail) {
            st_Change const* change = pcst_FindChange(c, property);
            if (change) ++listed;
            if (differs && !change)
                ADD_FAILURE() << s_Hex(code) << " '" << property << "' differs, not listed: " << detail;
            if (!differs && change)
                ADD_FAILURE() << s_Hex(code) << " '" << property << "' is listed but agrees: " << change->qcz_Reason;
        };

        judge('C', s_CategoryName(category) != entry.s_Category,
              "library " + s_CategoryName(category) + ", database " + entry.s_Category);
        unsigned short upper = entry.n_Upper ? static_cast<unsigned short>(entry.n_Upper) : c;
        judge('U', CM::su_ToUpper(c) != upper, "library " + s_Hex(CM::su_ToUpper(c)) + ", database " + s_Hex(upper));
        unsigned short lower = entry.n_Lower ? static_cast<unsigned short>(entry.n_Lower) : c;
        judge('L', CM::su_ToLower(c) != lower, "library " + s_Hex(CM::su_ToLower(c)) + ", database " + s_Hex(lower));

        unsigned short const* parts = CM::sqcuz_GetDecomposition(c);
        if (parts) {
            Text library;
            for (; *parts; ++parts) {
                // The library's own rule, not a change of Unicode: voiced
                // kana end in the halfwidth sound marks.
                unsigned short part = *parts == 0xFF9E ? 0x3099 : *parts == 0xFF9F ? 0x309A : *parts;
                library.push_back(part);
            }
            Text database = o_Expand(entries, c);
            std::string detail;
            for (unsigned short p : database) detail += s_Hex(p) + " ";
            judge('D', library != database, "database " + detail);
        } else if (pcst_FindChange(c, 'D')) {
            ADD_FAILURE() << s_Hex(code) << " is listed with a decomposition but has no row";
        }
    }
    EXPECT_EQ(assigned, 47398u);  // Unicode 2.0, surrogates and private use included
    EXPECT_GT(listed, 0u);
}
