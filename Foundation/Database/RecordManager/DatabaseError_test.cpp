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
    EXPECT_EQ(CT_DatabaseError::sqcuz_GetErrorMessage(31150)[0], 0);

    // The record manager's named codes are the table's.
    EXPECT_EQ(CT_DatabaseError::e_CorruptData, 31005u);
    EXPECT_EQ(CT_DatabaseError::e_InvalidFormat, 31050u);
    EXPECT_EQ(CT_DatabaseError::e_InvalidReference, 31051u);
    EXPECT_EQ(CT_DatabaseError::e_ResourceMaxCount, 31052u);
    EXPECT_EQ(CT_DatabaseError::e_ResourceNotFound, 31053u);
    EXPECT_EQ(CT_DatabaseError::e_ResourceExists, 31054u);
}

TEST(DatabaseError, CodesOutsideTheTableHaveNoMessage) {
    // Below the database range nothing is looked up, not even the end mark's 0.
    EXPECT_EQ(CT_DatabaseError::sqcuz_GetErrorMessage(0), nullptr);
    EXPECT_EQ(CT_DatabaseError::sqcuz_GetErrorMessage(30999), nullptr);
    for (unsigned code : {31006u, 31049u, 31055u, 31099u, 31108u, 31149u, 31151u, 60005u, 0xFFFFFFFFu})
        EXPECT_EQ(CT_DatabaseError::sqcuz_GetErrorMessage(code), nullptr) << code;
}

TEST(DatabaseError, FormatsTheMessageWithTheFileName) {
    auto buffer = ao_Marked(256);
    CT_DatabaseError::sv_FormatError(buffer.data(), 255, 31051, static_cast<unsigned short const*>(W(u"data.rm")));
    EXPECT_EQ(s_Text(buffer.data()), u"Invalid record reference in data.rm");

    // A message without a conversion ignores the argument.
    buffer = ao_Marked(256);
    CT_DatabaseError::sv_FormatError(buffer.data(), 255, 31005, static_cast<unsigned short const*>(W(u"data.rm")));
    EXPECT_EQ(s_Text(buffer.data()), u"Corrupt data");

    // Codes without a message: the fixed text, below the range as above it.
    for (unsigned code : {0u, 30999u, 31006u, 99999u}) {
        buffer = ao_Marked(256);
        CT_DatabaseError::sv_FormatError(buffer.data(), 255, code, static_cast<unsigned short const*>(W(u"x")));
        EXPECT_EQ(s_Text(buffer.data()), u"Unspecified Database Error") << code;
    }

    buffer = ao_Marked(4);
    CT_DatabaseError::sv_FormatError(buffer.data(), 4, 31150, static_cast<unsigned short const*>(W(u"x")));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_EQ(buffer[1], 0xBEEF);

    // An empty file name, as the record manager passes for an unnamed file.
    buffer = ao_Marked(256);
    CT_DatabaseError::sv_FormatError(buffer.data(), 255, 31053, static_cast<unsigned short const*>(W(u"")));
    EXPECT_EQ(s_Text(buffer.data()), u"Resource not found in ");

    // A long name fills a record manager's buffer (at most 255 written).
    std::u16string name(400, u'n');
    buffer = ao_Marked(256);
    CT_DatabaseError::sv_FormatError(buffer.data(), 255, 31050, static_cast<unsigned short const*>(W(name.c_str())));
    std::u16string expected = (u"Invalid RecordManager file format in " + name).substr(0, 255);
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + 255), expected);
    EXPECT_EQ(buffer[255], 0xBEEF);
}

TEST(DatabaseError, WritesAtMostTheGivenNumberOfUnits) {
    W name(u"f");
    std::u16string const full = u"Index full in f";  // 15 units
    unsigned const length = static_cast<unsigned>(full.size());

    // Shorter than the limit: text and zero, nothing behind.
    auto buffer = ao_Marked(32);
    CT_DatabaseError::sv_FormatError(buffer.data(), length + 1, 31103, static_cast<unsigned short const*>(name));
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + length), full);
    EXPECT_EQ(buffer[length], 0);
    EXPECT_EQ(buffer[length + 1], 0xBEEF);

    // Exactly the limit: the whole text, no room for the zero.
    buffer = ao_Marked(32);
    CT_DatabaseError::sv_FormatError(buffer.data(), length, 31103, static_cast<unsigned short const*>(name));
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + length), full);
    EXPECT_EQ(buffer[length], 0xBEEF);

    // Longer than the limit: cut at the limit, no zero.
    buffer = ao_Marked(32);
    CT_DatabaseError::sv_FormatError(buffer.data(), 5, 31103, static_cast<unsigned short const*>(name));
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + 5), u"Index");
    EXPECT_EQ(buffer[5], 0xBEEF);

    buffer = ao_Marked(32);
    CT_DatabaseError::sv_FormatError(buffer.data(), 1, 31103, static_cast<unsigned short const*>(name));
    EXPECT_EQ(buffer[0], u'I');
    EXPECT_EQ(buffer[1], 0xBEEF);

    // A limit of 0 writes nothing.
    buffer = ao_Marked(32);
    CT_DatabaseError::sv_FormatError(buffer.data(), 0, 31103, static_cast<unsigned short const*>(name));
    EXPECT_EQ(buffer[0], 0xBEEF);

    // Beyond the formatter's stack area the same rules hold.
    std::u16string longName(3000, u'z');
    buffer = ao_Marked(2100);
    CT_DatabaseError::sv_FormatError(buffer.data(), 2000, 31103,
                                     static_cast<unsigned short const*>(W(longName.c_str())));
    EXPECT_EQ(std::u16string(buffer.begin(), buffer.begin() + 2000), (u"Index full in " + longName).substr(0, 2000));
    EXPECT_EQ(buffer[2000], 0xBEEF);
    buffer = ao_Marked(2100);
    CT_DatabaseError::sv_FormatError(buffer.data(), 2000, 31103, static_cast<unsigned short const*>(W(u"short")));
    EXPECT_EQ(s_Text(buffer.data()), u"Index full in short");
    EXPECT_EQ(buffer[20], 0xBEEF);
}
