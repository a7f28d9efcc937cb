#include "Foundation/Database/RecordManager/DatabaseError.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "Foundation/Basis/String/StringTesting.h"

using StringTesting::W;

namespace {

std::u16string s_Text(unsigned short const* text) {
    std::u16string out;
    if (text)
        while (*text) out.push_back(static_cast<char16_t>(*text++));
    return out;
}

// A buffer whose units all hold a mark, to see which ones were written.
std::vector<unsigned short> ao_Marked(unsigned size) { return std::vector<unsigned short>(size, 0xBEEF); }

}  // namespace

TEST(DatabaseError, TableHoldsEveryCodeAndMessage) {
    std::vector<std::pair<unsigned, std::u16string>> const expected = {
        {31000, u"Invalid file format in %s"},
        {31001, u"Could not obtain lock for %s"},
        {31002, u"Could not release lock on %s"},
        {31003, u"Unsufficient lock to perform this operation on file %s"},
        {31004, u"Buffer overflow (user data, file %s)"},
        {31005, u"Corrupt data"},
        {31050, u"Invalid RecordManager file format in %s"},
        {31051, u"Invalid record reference in %s"},
        {31052, u"Resource max count exceeded in %s"},
        {31053, u"Resource not found in %s"},
        {31054, u"Resource already exists in %s"},
        {31100, u"Invalid index file format in %s"},
        {31101, u"Reference too large in %s"},
        {31102, u"Key too long in %s"},
        {31103, u"Index full in %s"},
        {31104, u"Key already exists in %s"},
        {31105, u"Key not found in %s"},
        {31106, u"Locale not installed"},
        {31107, u"Unicode to MBCS conversion failed in %s"},
        {31150, u""},
    };
    std::vector<std::pair<unsigned, std::u16string>> table;
    CT_DatabaseError::st_ErrorMessage const* entry = CT_DatabaseError::saso_ErrorMessage;
    for (; entry->n_Code != 0 && table.size() <= expected.size(); ++entry) {
        ASSERT_NE(entry->pcu_Message, nullptr) << entry->n_Code;
        table.emplace_back(entry->n_Code, s_Text(entry->pcu_Message));
    }
    EXPECT_EQ(entry->n_Code, 0u);  // the end mark follows the last message
    EXPECT_EQ(table, expected);

    for (auto const& [code, message] : expected) {
        unsigned short const* found = CT_DatabaseError::sqcuz_GetErrorMessage(code);
        ASSERT_NE(found, nullptr) << code;
        EXPECT_EQ(s_Text(found), message) << code;
    }
}

TEST(DatabaseError, CodesOutsideTheTableHaveNoMessage) {
    // Below the database range nothing is looked up, not even the end mark's 0.
    for (unsigned code : {0u, 30999u, 31006u, 31049u, 31055u, 31099u, 31108u, 31149u, 31151u, 60005u, 0xFFFFFFFFu})
        EXPECT_EQ(CT_DatabaseError::sqcuz_GetErrorMessage(code), nullptr) << code;
}

// The formatted text, cut to the limit; the zero follows only where it fits,
// and no unit behind what was written changes.
TEST(DatabaseError, FormatsWithTheFileNameWithinTheLimit) {
    std::u16string const longName(400, u'n'), longerName(3000, u'z'), full = u"Index full in f";
    struct st_Case {
        unsigned n_Code;
        std::u16string s_Name;
        unsigned n_Limit;
        std::u16string s_Written;
        bool b_Zero;
    } const cases[] = {
        {31051, u"data.rm", 255, u"Invalid record reference in data.rm", true},
        {31005, u"data.rm", 255, u"Corrupt data", true},  // no conversion: the argument is ignored
        // Codes without a message: the fixed text, below the range as above it.
        {0, u"x", 255, u"Unspecified Database Error", true},
        {30999, u"x", 255, u"Unspecified Database Error", true},
        {31006, u"x", 255, u"Unspecified Database Error", true},
        {99999, u"x", 255, u"Unspecified Database Error", true},
        {31150, u"x", 4, u"", true},
        // An empty file name, as the record manager passes for an unnamed file.
        {31053, u"", 255, u"Resource not found in ", true},
        // A long name fills a record manager's buffer (at most 255 written).
        {31050, longName, 255, (u"Invalid RecordManager file format in " + longName).substr(0, 255), false},
        {31103, u"f", 16, full, true},
        {31103, u"f", 15, full, false},  // exactly the limit: no room for the zero
        {31103, u"f", 5, u"Index", false},
        {31103, u"f", 1, u"I", false},
        {31103, u"f", 0, u"", false},
        // Beyond the formatter's stack area the same rules hold.
        {31103, longerName, 2000, (u"Index full in " + longerName).substr(0, 2000), false},
        {31103, u"short", 2000, u"Index full in short", true},
    };
    for (st_Case const& c : cases) {
        SCOPED_TRACE(::testing::Message() << c.n_Code << " limit " << c.n_Limit);
        auto buffer = ao_Marked(c.n_Limit + 2);
        CT_DatabaseError::sv_FormatError(buffer.data(), c.n_Limit, c.n_Code,
                                         static_cast<unsigned short const*>(W(c.s_Name.c_str())));
        std::size_t end = c.s_Written.size();
        EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + static_cast<std::ptrdiff_t>(end)), c.s_Written);
        if (c.b_Zero) {
            EXPECT_EQ(buffer[end++], 0);
        }
        EXPECT_EQ(buffer[end], 0xBEEF);
    }
}
