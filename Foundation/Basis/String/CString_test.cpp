#include "Foundation/Basis/String/CString.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::W;

namespace {

std::string Bytes(CT_CString const& s) { return std::string(s.qccz_Get(), s.n_GetLength()); }

// The bytes a change leaves in a fresh string of code page 1252.
template <class F>
std::string After(char const* start, F change) {
    CT_CString s(start, ~0u, 1252);
    change(s);
    return Bytes(s);
}

// A count the compiler cannot see through: hostile counts with small
// texts must reach the string at run time, not be rejected while compiling.
unsigned Opaque(unsigned count) {
    volatile unsigned value = count;
    return value;
}

}  // namespace

TEST(CStringTest, ConstructionKeepsCodePageAndSharesWhereItShould) {
    CT_CString empty(0);
    EXPECT_EQ(empty.vn_GetLength(), 0u);
    ASSERT_NE(empty.qccz_Get(), nullptr);
    EXPECT_STREQ(empty.qccz_Get(), "");
    EXPECT_EQ(empty.vn_GetMaximumLength(), 0u);
    EXPECT_EQ(empty.vn_GetGrowth(), 32u);

    CT_CString text("bilingual", ~0u, 1252);
    EXPECT_EQ(Bytes(text), "bilingual");
    EXPECT_EQ(text.n_GetCodePage(), 1252u);
    EXPECT_EQ(Bytes(CT_CString("bilingual", 2, 1252)), "bi");

    // Wide text is converted into the given code page.
    CT_CString fromWide(W(u"caf\u00e9"), ~0u, 1252);
    EXPECT_EQ(Bytes(fromWide), "caf\xe9");
    EXPECT_EQ(fromWide.n_GetCodePage(), 1252u);
    CT_UString wide(W(u"na\u00efve"), ~0u);
    EXPECT_EQ(Bytes(CT_CString(&wide, 1252)), "na\xefve");

    // A narrow source shares its buffer and brings its code page along.
    CT_CString shared(static_cast<CT_String const*>(&text), 437);
    EXPECT_EQ(shared.n_GetCodePage(), 1252u);
    EXPECT_EQ(shared.pcco_GetBuffer()->qcv_Get(), text.pcco_GetBuffer()->qcv_Get());
    EXPECT_EQ(text.pcco_GetBuffer()->n_GetUseCount(), 2u);

    // A wide source through CT_String const* is converted; ~0 and ~1 as a
    // code page become 0 afterwards.
    CT_CString converted(static_cast<CT_String const*>(&wide), ~1u);
    EXPECT_EQ(converted.n_GetCodePage(), 0u);
    // (What the ANSI code page makes of the letter with the diaeresis is its
    // own business; the ASCII around it converts in every code page.)
    EXPECT_EQ(Bytes(converted).substr(0, 2), "na");
    EXPECT_EQ(Bytes(converted).substr(Bytes(converted).size() - 2), "ve");

    CT_CString fromBuffer(text.pcco_GetBuffer(), 850);
    EXPECT_EQ(Bytes(fromBuffer), "bilingual");
    EXPECT_EQ(fromBuffer.n_GetCodePage(), 850u);

    CT_CString* created = text.vpco_Create();
    EXPECT_EQ(Bytes(*created), "bilingual");
    EXPECT_EQ(created->n_GetCodePage(), 1252u);
    EXPECT_EQ(created->pcco_GetBuffer()->qcv_Get(), text.pcco_GetBuffer()->qcv_Get());
    delete created;

    CT_CString assigned(0);
    assigned = text;
    EXPECT_EQ(assigned.n_GetCodePage(), 1252u);
    EXPECT_EQ(assigned.pcco_GetBuffer()->qcv_Get(), text.pcco_GetBuffer()->qcv_Get());
}

TEST(CStringTest, ReplaceEndsTheStringInsertShiftsTheRest) {
    // Replacing with nothing at 0 empties; elsewhere it cuts.
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.v_Replace("xy", 2, 1); }), "axy");
    EXPECT_EQ(After("abcde", [](CT_CString& s) { s.v_Replace("XYZ", ~0u, 2); }), "abXYZ");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.v_Insert("xy", ~0u, 1); }), "axybcd");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.v_Insert("!", 1, 4); }), "abcd!");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.v_Replace("", 0, 2); }), "ab");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.v_Replace("", ~0u, 0); }), "");

    // From another string: its characters from position from.
    CT_CString source("0123456789", ~0u, 1252);
    CT_CString target("abcdef", ~0u, 0);
    target.v_Replace(&source, 7, ~0u, 2);
    EXPECT_EQ(Bytes(target), "ab789");
    target.v_Insert(&source, 3, 1);
    EXPECT_EQ(Bytes(target), "a012b789");
    CT_UString wide(W(u"WXYZ"), ~0u);
    target.v_Replace(&wide, 1, 2, 3);
    EXPECT_EQ(Bytes(target), "a01XY");

    // The string's own bytes as the source, while the storage grows.
    CT_CString self("abc", ~0u, 0);
    self.v_Replace(self.qccz_Get(), 3, 3);
    EXPECT_EQ(Bytes(self), "abcabc");
    std::string expected = "abcabc";
    for (int i = 0; i < 6; ++i) {
        self.v_Insert(self.qccz_Get() + 1, 4, 2);
        expected.insert(2, expected.substr(1, 4));
    }
    EXPECT_EQ(Bytes(self), expected);
}

TEST(CStringTest, FillRemoveAndSetAt) {
    // A count of ~0 or ~1 fills the string's length; wide characters go in
    // through the string's code page.
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.vv_Replace('x', 2, 1); }), "axxd");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.vv_Replace('x', 2, 3); }), "abcxx");
    EXPECT_EQ(After("abcde", [](CT_CString& s) { s.vv_Replace('-', ~0u, 0); }), "-----");
    EXPECT_EQ(After("-----", [](CT_CString& s) { s.vv_Replace(static_cast<unsigned short>(u'\u00e9'), ~1u, 0); }),
              "\xe9\xe9\xe9\xe9\xe9");
    EXPECT_EQ(After("", [](CT_CString& s) { s.vv_Replace(static_cast<unsigned short>(u'\u00e9'), 3, 0); }),
              "\xe9\xe9\xe9");

    // Removing: ~0 cuts the rest, a count past the end stops there.
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.vv_Remove(~0u, 2); }), "ab");
    EXPECT_EQ(After("abcd", [](CT_CString& s) { s.vv_Remove(1, 0); }), "bcd");
    EXPECT_EQ(After("bcd", [](CT_CString& s) { s.vv_Remove(0, 0); s.vv_Remove(5, 3); }), "bcd");
    EXPECT_EQ(After("bcd", [](CT_CString& s) { s.vv_Remove(100, 1); }), "b");

    CT_CString at("abcd", ~0u, 1252);
    at.vv_SetAt('X', 1);
    EXPECT_EQ(Bytes(at), "aXcd");
    at.v_SetAt(static_cast<char>(0), 2);
    EXPECT_EQ(Bytes(at), "aX");
    EXPECT_EQ(at.pcco_GetBuffer()->n_GetUsedSize(), 3u);
    at.vv_SetAt(static_cast<unsigned short>(u'\u00e9'), 0);
    EXPECT_EQ(Bytes(at), "\xe9X");
    at.vv_SetAt('Z', 2);  // the terminator's place: nothing
    EXPECT_EQ(Bytes(at), "\xe9X");

    EXPECT_EQ(at.vc_GetAt(1), 'X');
    EXPECT_EQ(at.vc_GetAt(2), 0);
    EXPECT_EQ(at.vu_GetAt(0), 0xE9u);
    EXPECT_EQ(at.c_GetAt(0), '\xe9');
}

TEST(CStringTest, TranslateMapsByFirstOccurrenceAndRemovesThePastTo) {
    // The first occurrence in from decides; wide arguments are read as
    // narrow text.
    CT_CString from("abc", ~0u, 0), to("x", ~0u, 0), from2("aab", ~0u, 0), to2("123", ~0u, 0);
    CT_UString wideFrom(W(u"lo"), ~0u), wideTo(W(u"L"), ~0u);
    EXPECT_EQ(After("aabbcd", [&](CT_CString& s) { s.vv_Translate(&from, &to); }), "xxd");
    EXPECT_EQ(After("abab", [&](CT_CString& s) { s.vv_Translate(&from2, &to2); }), "1313");
    EXPECT_EQ(After("hello", [&](CT_CString& s) { s.vv_Translate(&wideFrom, &wideTo); }), "heLL");

    // The string itself as from or to: its bytes as they were before.
    CT_CString ba("ba", ~0u, 0), cba("cba", ~0u, 0);
    EXPECT_EQ(After("ab", [&](CT_CString& s) { s.vv_Translate(&s, &ba); }), "ba");
    EXPECT_EQ(After("abc", [&](CT_CString& s) { s.vv_Translate(&cba, &s); }), "cba");
    EXPECT_EQ(After("abab", [](CT_CString& s) { s.vv_Translate(&s, &s); }), "abab");

    // Nothing to change: the buffer stays shared; an empty string is left alone.
    CT_CString original("zzz", ~0u, 0);
    CT_CString copy(original);
    copy.vv_Translate(&from, &to);
    EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 2u);
    CT_CString empty(0);
    empty.vv_Translate(&from, &to);
    EXPECT_EQ(empty.pcco_GetBuffer()->qcv_Get(), nullptr);
}

TEST(CStringTest, WildcardMatch) {
    // Case matters, and the pattern must cover the whole string.
    struct {
        char const* text;
        char const* pattern;
        bool matches;
    } const rows[] = {
        {"abbc", "a*c", true},  {"ac", "a*c", true},         {"abcd", "a*c", false},        {"ac", "a?c", false},
        {"abc", "a?c", true},   {"anything", "", true},      {"", "", true},                {"", "*", true},
        {"", "?", false},       {"abc", "*", true},          {"abc", "**c", true},          {"aaaaab", "*a*ab", true},
        {"Abc", "abc", false},  {"abc", "ab", false},        {"ab", "abc", false},
        {"mississippi", "m*iss*ppi", true},                  {"mississippi", "m*iss*ppx", false},
    };
    for (auto const& row : rows)
        EXPECT_EQ(CT_CString(row.text, ~0u, 0).b_Match(row.pattern) != 0, row.matches)
            << row.text << " " << row.pattern;

    CT_CString s("file.txt", ~0u, 0);
    CT_UString widePattern(W(u"*.t?t"), ~0u);
    CT_CString narrowPattern("*.doc", ~0u, 0);
    EXPECT_TRUE(s.vb_Match(&widePattern));
    EXPECT_FALSE(s.vb_Match(&narrowPattern));
}

TEST(CStringTest, CompareIsUnsignedAndCountBounded) {
    CT_CString abc("abc", ~0u, 0);
    EXPECT_EQ(abc.vi_Compare("abd", ~0u, 0), -1);
    EXPECT_EQ(abc.vi_Compare("abd", 2, 0), 0);
    EXPECT_EQ(abc.vi_Compare("abc", ~0u, 0), 0);
    EXPECT_EQ(abc.vi_Compare("ab", ~0u, 0), 1);
    EXPECT_EQ(abc.vi_Compare("abcd", ~0u, 0), -1);
    EXPECT_EQ(abc.vi_Compare("bc", ~0u, 1), 0);
    EXPECT_EQ(abc.vi_Compare("abc\0x", 5, 0), 0) << "stops after the terminator";
    EXPECT_EQ(abc.vi_Compare("\xe9", ~0u, 0), -1) << "bytes compare as unsigned values";
    EXPECT_EQ(CT_CString("\xe9", ~0u, 0).vi_Compare("z", ~0u, 0), 1);

    EXPECT_EQ(abc.vi_Compare(W(u"abd"), ~0u, 0), -1);
    EXPECT_EQ(abc.vi_Compare(W(u"abd"), 2, 0), 0);
    // With a count, wide text is read no further than the count: these
    // units have no terminator (the sanitizer build sees any read past them).
    std::vector<unsigned short> unterminated{'a', 'b', 'd'};
    EXPECT_EQ(abc.vi_Compare(unterminated.data(), 2, 0), 0);
    EXPECT_EQ(abc.vi_Compare(unterminated.data(), 3, 0), -1);
    EXPECT_EQ(abc.vi_Compare(unterminated.data() + 1, 2, 1), -1);

    CT_CString other("xxabc", ~0u, 0);
    CT_UString wide(W(u"..abc"), ~0u);
    EXPECT_EQ(abc.vi_Compare(&other, 2, ~0u, 0), 0);
    EXPECT_EQ(abc.vi_Compare(&wide, 2, ~0u, 0), 0);
    EXPECT_EQ(abc.vi_Compare(&wide, 0, ~0u, 0), 1);
}

TEST(CStringTest, FindCharactersAndTexts) {
    CT_CString s("abcabc", ~0u, 1252);
    EXPECT_EQ(s.vn_Find('c', 0), 2u);
    EXPECT_EQ(s.vn_Find('c', 3), 5u);
    EXPECT_EQ(s.vn_Find('z', 0), ~0u);
    EXPECT_EQ(s.vn_Find('a', 6), ~0u);
    EXPECT_EQ(s.vn_Find(static_cast<char>(0), 0), ~0u) << "the terminator is not a character";
    EXPECT_EQ(s.vn_Find(static_cast<unsigned short>(u'b'), 2), 4u);

    CT_CString bc("bc", ~0u, 0), none("cb", ~0u, 0), empty(0);
    CT_UString wideBc(W(u"bc"), ~0u);
    EXPECT_EQ(s.vn_Find(&bc, 0), 1u);
    EXPECT_EQ(s.vn_Find(&bc, 2), 4u);
    EXPECT_EQ(s.vn_Find(&wideBc, 2), 4u);
    EXPECT_EQ(s.vn_Find(&none, 0), ~0u);
    EXPECT_EQ(s.vn_Find(&bc, 5), ~0u);
    EXPECT_EQ(s.vn_Find(&empty, 3), 3u);

    CT_CString accents("caf\xe9", ~0u, 1252);
    EXPECT_EQ(accents.vn_Find(static_cast<unsigned short>(u'\u00e9'), 0), 3u);
}

TEST(CStringTest, StripWhiteSpaceAndSets) {
    EXPECT_EQ(After(" \t\n\v\f\rtext \r\n", [](CT_CString& s) { s.vv_StripLeft(); }), "text \r\n");
    EXPECT_EQ(After("text \r\n", [](CT_CString& s) { s.vv_StripRight(); }), "text");
    EXPECT_EQ(After("  two sides  ", [](CT_CString& s) { s.vv_Strip(nullptr); }), "two sides");
    EXPECT_EQ(After("\xa0x\xa0", [](CT_CString& s) { s.vv_Strip(nullptr); }), "\xa0x\xa0")
        << "only the six C-locale white-space bytes";
    CT_CString set("-=", ~0u, 0), emptySet(0);
    EXPECT_EQ(After("=-=title-=-", [&](CT_CString& s) { s.vv_Strip(&set); }), "title");
    EXPECT_EQ(After("-=-", [&](CT_CString& s) { s.vv_Strip(&set); }), "");
    EXPECT_EQ(After(" x ", [&](CT_CString& s) { s.vv_Strip(&emptySet); }), " x ");
}

TEST(CStringTest, CaseChangesOnlyAsciiLetters) {
    CT_CString s("Hello, W\xf6rld \xc9t\xe9!", ~0u, 1252);
    CT_CString copy(s);
    s.vv_ToUpper();
    EXPECT_EQ(Bytes(s), "HELLO, W\xf6RLD \xc9T\xe9!");
    s.vv_ToLower();
    EXPECT_EQ(Bytes(s), "hello, w\xf6rld \xc9t\xe9!");
    EXPECT_EQ(Bytes(copy), "Hello, W\xf6rld \xc9t\xe9!");
}

TEST(CStringTest, SizesLengthsAndUpdate) {
    CT_CString s(0);
    s.vv_SetSize(10, 0);
    EXPECT_EQ(s.vn_GetLength(), 0u);
    EXPECT_EQ(s.vn_GetMaximumLength(), 19u) << "11 bytes round up to a 32-byte allocation";
    s.v_Set("abcdefgh", ~0u, 0);
    s.vv_SetSize(5, 1);
    EXPECT_EQ(Bytes(s), "abcde") << "keep cuts a longer string";
    s.vv_SetSize(50, 1);
    EXPECT_EQ(Bytes(s), "abcde") << "keep leaves a shorter one";
    EXPECT_GE(s.vn_GetMaximumLength(), 50u);
    s.vv_SetSize(50, 0);
    EXPECT_EQ(s.vn_GetLength(), 0u);
    s.vv_SetSize(0, 0);
    EXPECT_EQ(s.pcco_GetBuffer()->qcv_Get(), nullptr);

    CT_CString m("abc", ~0u, 0);
    void const* before = m.pcco_GetBuffer()->qcv_Get();
    m.vv_SetMinSize(10, 1);
    EXPECT_EQ(m.pcco_GetBuffer()->qcv_Get(), before) << "the room is already there";
    m.vv_SetMinSize(100, 1);
    EXPECT_EQ(Bytes(m), "abc");
    EXPECT_GE(m.vn_GetMaximumLength(), 100u);

    m.vv_SetLength(2);
    EXPECT_EQ(Bytes(m), "ab");
    m.vv_SetLength(0);
    EXPECT_STREQ(m.qccz_Get(), "");
    EXPECT_EQ(m.pcco_GetBuffer()->n_GetUsedSize(), 1u);

    // Writing through the pointer, then recounting.
    CT_CString w(0);
    w.v_Set(20, 0);
    w.v_CopyWeWrite();
    char* bytes = const_cast<char*>(w.qccz_Get());
    bytes[0] = 'o';
    bytes[1] = 'k';
    bytes[2] = 0;
    w.vv_Update();
    EXPECT_EQ(Bytes(w), "ok");

    CT_CString g(0);
    g.vv_SetGrowth(64);
    g.v_Append('x');
    EXPECT_EQ(g.vn_GetMaximumLength(), 51u);
}

TEST(CStringTest, AppendGrowsAndConvertsOnlyWideText) {
    CT_CString s(1252);
    std::string expected;
    for (int i = 0; i < 5000; ++i) {
        char c = static_cast<char>('a' + i % 26);
        s.v_Append(c);
        expected.push_back(c);
    }
    EXPECT_EQ(Bytes(s), expected);
    EXPECT_EQ(s.pcco_GetBuffer()->n_GetUsedSize(), 5001u);
    s.v_Append(static_cast<char>(0));
    EXPECT_EQ(s.vn_GetLength(), 5000u);

    CT_CString t("ab", ~0u, 1252);
    t.v_Append("cd", 0);
    EXPECT_EQ(Bytes(t), "ab");
    t.v_Append("cdef", ~0u);
    t.v_Append("ghij", 2);
    EXPECT_EQ(Bytes(t), "abcdefgh");
    t.v_Append(t.qccz_Get(), ~0u);  // its own bytes
    EXPECT_EQ(Bytes(t), "abcdefghabcdefgh");

    CT_CString w(1252);
    w.v_Append(static_cast<unsigned short>(u'\u00e9'));
    w.v_Append(W(u"t\u00e9"), ~0u);
    w.v_Append(static_cast<unsigned short>(0));
    EXPECT_EQ(Bytes(w), "\xe9t\xe9");

    // A narrow source's bytes go in as they are, whatever its code page.
    CT_CString greek("\xe1\xe2", ~0u, 1253);
    w.v_Append(&greek, ~0u);
    EXPECT_EQ(Bytes(w), "\xe9t\xe9\xe1\xe2");
    CT_UString wide(W(u"xyz"), ~0u);
    w.v_Append(&wide, 2);
    EXPECT_EQ(Bytes(w), "\xe9t\xe9\xe1\xe2xy");
    w.v_Append(&w, ~0u);
    EXPECT_EQ(w.vn_GetLength(), 14u);
}

TEST(CStringTest, EveryChangeUnsharesTheBuffer) {
    std::vector<std::pair<char const*, std::function<void(CT_CString&)>>> changes = {
        {"v_Append(char)", [](CT_CString& s) { s.v_Append('!'); }},
        {"v_Append(text)", [](CT_CString& s) { s.v_Append("!!", ~0u); }},
        {"v_Replace", [](CT_CString& s) { s.v_Replace("X", 1, 1); }},
        {"v_Insert", [](CT_CString& s) { s.v_Insert("X", 1, 1); }},
        {"vv_Replace", [](CT_CString& s) { s.vv_Replace('X', 1, 0); }},
        {"vv_SetAt", [](CT_CString& s) { s.vv_SetAt('X', 0); }},
        {"vv_SetAt zero", [](CT_CString& s) { s.vv_SetAt(static_cast<char>(0), 2); }},
        {"vv_Remove", [](CT_CString& s) { s.vv_Remove(1, 0); }},
        {"vv_Remove rest", [](CT_CString& s) { s.vv_Remove(~0u, 2); }},
        {"vv_ToUpper", [](CT_CString& s) { s.vv_ToUpper(); }},
        {"vv_StripLeft", [](CT_CString& s) { s.vv_StripLeft(); }},
        {"vv_StripRight", [](CT_CString& s) { s.vv_StripRight(); }},
        {"vv_SetLength", [](CT_CString& s) { s.vv_SetLength(2); }},
        {"vv_SetLength 0", [](CT_CString& s) { s.vv_SetLength(0); }},
        {"vv_SetSize keep", [](CT_CString& s) { s.vv_SetSize(3, 1); }},
        {"v_Format", [](CT_CString& s) { s.v_Format("%d", 42); }},
        {"vv_Translate", [](CT_CString& s) {
             CT_CString from("a", ~0u, 0), to("A", ~0u, 0);
             s.vv_Translate(&from, &to);
         }},
    };
    for (auto const& [name, change] : changes) {
        CT_CString original(" abc ", ~0u, 1252);
        CT_CString copy(0);
        copy = original;
        EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 2u) << name;
        change(copy);
        EXPECT_EQ(Bytes(original), " abc ") << name;
        EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 1u) << name;
        EXPECT_NE(Bytes(copy), " abc ") << name;
    }
}

TEST(CStringTest, HostileCountsAndPositionsChangeNothing) {
    // Positions and counts whose sum wraps, or that would take the string
    // past the most it can hold, are not valid: nothing is written, nothing
    // is read from the text, and the string stays as it was.
    using Change = std::function<void(CT_CString&)>;
    static char const xy[] = {'x', 'y'};
    static unsigned short const u_X = 'x';
    std::pair<char const*, Change> const hostile[] = {
        {"fill wrapping at + count", [](CT_CString& s) { s.vv_Replace('x', Opaque(0xFFFFFFF0u), 0x20); }},
        {"wide fill wrapping", [](CT_CString& s) { s.vv_Replace(u_X, Opaque(0xFFFFFFF0u), 0x20); }},
        {"fill at ~0", [](CT_CString& s) { s.vv_Replace('x', 2, Opaque(0xFFFFFFFFu)); }},
        {"length ~0", [](CT_CString& s) { s.vv_SetLength(~0u); }},
        {"length ~1", [](CT_CString& s) { s.vv_SetLength(Opaque(0xFFFFFFFEu)); }},
        {"size past the limit", [](CT_CString& s) { s.vv_SetSize(~0u, 1); }},
        {"minimum size past the limit", [](CT_CString& s) { s.vv_SetMinSize(Opaque(0xFFFFFFF0u), 1); }},
        {"replace at ~0", [](CT_CString& s) { s.v_Replace(xy, 2, Opaque(0xFFFFFFFFu)); }},
        {"replace with a count past the limit", [](CT_CString& s) { s.v_Replace(xy, Opaque(0xFFFFFFF0u), 3); }},
        {"wide replace, converted room wraps", [](CT_CString& s) { s.v_Replace(W(u"xy"), Opaque(0x80000000u), 1); }},
        {"insert past the limit", [](CT_CString& s) { s.v_Insert(xy, Opaque(0xFFFFFFFEu), 1); }},
        {"wide insert past the limit", [](CT_CString& s) { s.v_Insert(W(u"xy"), Opaque(0xFFFFFFFEu), 1); }},
        {"append past the limit", [](CT_CString& s) { s.v_Append(xy, Opaque(0xFFFFFFF0u)); }},
        {"wide append past the limit", [](CT_CString& s) { s.v_Append(W(u"xy"), Opaque(0xC0000000u)); }},
        {"replace from no text", [](CT_CString& s) { s.v_Replace(static_cast<char const*>(nullptr), 3, 1); }},
        {"insert from no text", [](CT_CString& s) { s.v_Insert(static_cast<char const*>(nullptr), 3, 1); }},
        {"remove from ~0", [](CT_CString& s) { s.vv_Remove(Opaque(0xFFFFFFF0u), Opaque(0xFFFFFFFFu)); }},
        {"set a character at ~0", [](CT_CString& s) { s.vv_SetAt('x', Opaque(0xFFFFFFFFu)); }},
    };
    for (auto const& [what, change] : hostile) {
        CT_CString s("abcd", ~0u, 1252);
        change(s);
        EXPECT_EQ(Bytes(s), "abcd") << what;
        EXPECT_EQ(s.qccz_Get()[4], 0) << what;
    }
    CT_CString s("abcd", ~0u, 1252);
    EXPECT_EQ(s.vn_Find('a', Opaque(0xFFFFFFFFu)), ~0u);
    EXPECT_EQ(s.vn_Find(static_cast<unsigned short>('a'), Opaque(0xFFFFFFFFu)), ~0u);
    EXPECT_EQ(s.vc_GetAt(Opaque(0xFFFFFFFFu)), 0);

    // Room past the limit is not reserved: the string is only emptied.
    CT_CString room("abcd", ~0u, 1252);
    room.v_Set(Opaque(0xFFFFFFF0u), 0);
    EXPECT_EQ(room.vn_GetLength(), 0u);
    EXPECT_STREQ(room.qccz_Get(), "");

    // The limit itself leaves every valid call as it was.
    EXPECT_TRUE(CT_String::sb_Within(0, CT_String::sn_MaximumLength(1), 1));
    EXPECT_FALSE(CT_String::sb_Within(1, CT_String::sn_MaximumLength(1), 1));
    s.vv_Remove(Opaque(0x7FFFFFFFu), 1);
    EXPECT_EQ(Bytes(s), "a");
}
