#include "Foundation/Basis/String/UString.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"

using StringTesting::Text;
using StringTesting::Units;
using StringTesting::W;

namespace {

// A count the compiler cannot see through: hostile counts with small
// texts must reach the string at run time, not be rejected while compiling.
unsigned Opaque(unsigned count) {
    volatile unsigned value = count;
    return value;
}

// The text a change leaves in a fresh string.
template <class F>
std::u16string After(char16_t const* start, F change) {
    CT_UString s(W(start), ~0u);
    change(s);
    return Text(s);
}

}  // namespace

TEST(UStringTest, ConstructionAndSizesInUnits) {
    CT_UString empty;
    EXPECT_EQ(empty.vn_GetLength(), 0u);
    EXPECT_EQ(empty.qcuz_Get()[0], 0u);
    EXPECT_EQ(empty.vn_GetGrowth(), 16u) << "the buffer's 32 bytes, in units";

    CT_UString room(3);
    EXPECT_EQ(room.vn_GetLength(), 0u);
    EXPECT_GE(room.vn_GetMaximumLength(), 2u);
    EXPECT_EQ(room.pcco_GetBuffer()->n_GetUsedSize(), 2u);

    CT_UString zero(0);
    EXPECT_EQ(zero.vn_GetLength(), 0u);

    room.vv_SetGrowth(32);
    EXPECT_EQ(room.vn_GetGrowth(), 32u);
    EXPECT_EQ(room.pcco_GetBuffer()->n_GetGrowth(), 64u);

    CT_UString text(W(u"w\u00f6rter"), ~0u);
    EXPECT_EQ(Text(text), u"w\u00f6rter");
    EXPECT_EQ(Text(CT_UString(W(u"w\u00f6rter"), 2)), u"w\u00f6");
    EXPECT_EQ(Text(CT_UString("abc", ~0u, 1252)), u"abc");

    // A narrow source is converted with its own code page.
    CT_CString latin("caf\xe9", ~0u, 1252);
    EXPECT_EQ(Text(CT_UString(&latin)), u"caf\u00e9");
    EXPECT_EQ(Text(CT_UString(static_cast<CT_String const*>(&latin))), u"caf\u00e9");

    // A wide source, and a buffer, are shared.
    CT_UString shared(static_cast<CT_String const*>(&text));
    EXPECT_EQ(shared.pcco_GetBuffer()->qcv_Get(), text.pcco_GetBuffer()->qcv_Get());
    CT_UString fromBuffer(text.pcco_GetBuffer());
    EXPECT_EQ(text.pcco_GetBuffer()->n_GetUseCount(), 3u);
    CT_UString* created = text.vpco_Create();
    EXPECT_EQ(Text(*created), u"w\u00f6rter");
    EXPECT_EQ(text.pcco_GetBuffer()->n_GetUseCount(), 4u);
    delete created;

    CT_UString sized;
    sized.vv_SetSize(10, 0);
    EXPECT_GE(sized.vn_GetMaximumLength(), 10u);
    EXPECT_EQ(sized.pcco_GetBuffer()->n_GetUsedSize(), 2u);
    sized.v_Set(W(u"abcdefgh"), ~0u);
    sized.vv_SetSize(5, 1);
    EXPECT_EQ(Text(sized), u"abcde");
    sized.vv_SetLength(3);
    EXPECT_EQ(Text(sized), u"abc");
    sized.vv_SetLength(0);
    EXPECT_EQ(sized.pcco_GetBuffer()->n_GetUsedSize(), 2u);

    CT_UString written(20);
    written.v_CopyWeWrite();
    unsigned short* units = const_cast<unsigned short*>(written.qcuz_Get());
    units[0] = u'o';
    units[1] = u'k';
    units[2] = 0;
    written.vv_Update();
    EXPECT_EQ(Text(written), u"ok");
}

TEST(UStringTest, NarrowArgumentsConvertWithTheirOwnCodePageOrZero) {
    CT_CString latin("\xe9", ~0u, 1252);
    CT_UString set;
    set.v_Set(&latin);
    EXPECT_EQ(Text(set), u"\u00e9");

    // v_Append of a string converts a narrow source with code page 0,
    // whatever its own; what code page 0 is, is the system's choice.
    CT_UString expected("\xe9", 1, 0);
    CT_UString appended;
    appended.v_Append(&latin, ~0u);
    EXPECT_EQ(Units(appended), Units(expected));
    appended.v_Append(&latin, 0);
    EXPECT_EQ(Units(appended), Units(expected));

    // Through CT_String, the insertion converts with the source's own.
    CT_UString viaBase;
    static_cast<CT_String&>(viaBase).v_Append(&latin, ~0u);
    EXPECT_EQ(Text(viaBase), u"\u00e9");

    CT_UString s(W(u"ab"), ~0u);
    s.v_Append('c', 1252);
    s.v_Append("\xe9\xe8", ~0u, 1252);
    s.v_Append("xyz", 1, 1252);
    s.v_Append('d');            // CT_String's: code page 0, ASCII
    s.v_Append("ef", ~0u);      // likewise
    s.v_Append(static_cast<unsigned short>(u'\u3042'));
    s.v_Append(static_cast<unsigned short>(0));
    s.v_Append("", ~0u, 1252);
    EXPECT_EQ(Text(s), u"abc\u00e9\u00e8xdef\u3042");

    CT_UString w(W(u"x"), ~0u);
    w.v_Replace("yz", ~0u, 1);  // code page ~0: the ANSI code page
    EXPECT_EQ(Text(w), u"xyz");
    CT_UString exact(W(u"x"), ~0u);
    CT_CString source("-\xe0-", ~0u, 1252);
    exact.v_Replace(&source, 1, 1, 1);
    EXPECT_EQ(Text(exact), u"x\u00e0");
}

TEST(UStringTest, ReplaceInsertRemoveAndFill) {
    // An insertion past the end goes at the end; replacing with nothing at
    // 0 empties; a fill count of ~0 is the length.
    EXPECT_EQ(After(u"abcd", [](CT_UString& s) { s.v_Replace(W(u"xy"), 2, 1); }), u"axy");
    EXPECT_EQ(After(u"axy", [](CT_UString& s) { s.v_Insert(W(u"123"), ~0u, 1); }), u"a123xy");
    EXPECT_EQ(After(u"a123xy", [](CT_UString& s) { s.v_Insert("!", ~0u, 99); }), u"a123xy!");
    EXPECT_EQ(After(u"a123xy!", [](CT_UString& s) { s.vv_Remove(2, 1); }), u"a3xy!");
    EXPECT_EQ(After(u"a3xy!", [](CT_UString& s) { s.vv_Remove(~0u, 3); }), u"a3x");
    EXPECT_EQ(After(u"a3x", [](CT_UString& s) { s.v_Replace(W(u""), 0, 0); }), u"");
    EXPECT_EQ(After(u"abcd", [](CT_UString& s) { s.vv_Replace(static_cast<unsigned short>(u'\u00e9'), 2, 1); }),
              u"a\u00e9\u00e9d");
    EXPECT_EQ(After(u"abcd", [](CT_UString& s) { s.vv_Replace('x', 2, 3); }), u"abcxx");
    EXPECT_EQ(After(u"abcde", [](CT_UString& s) { s.vv_Replace('-', ~0u, 0); }), u"-----");

    CT_UString at(W(u"abcd"), ~0u);
    at.vv_SetAt(static_cast<unsigned short>(u'\u4e2d'), 1);
    at.vv_SetAt('C', 2);
    EXPECT_EQ(Text(at), u"a\u4e2dCd");
    EXPECT_EQ(at.vu_GetAt(1), 0x4e2du);
    EXPECT_EQ(at.vc_GetAt(2), 'C');
    EXPECT_EQ(at.vu_GetAt(4), 0u);
    at.v_SetAt(0, 2);
    EXPECT_EQ(Text(at), u"a\u4e2d");
    EXPECT_EQ(at.pcco_GetBuffer()->n_GetUsedSize(), 6u);

    // The string's own units as the source, while the storage grows.
    CT_UString self(W(u"abc"), ~0u);
    std::u16string expected = u"abc";
    for (int i = 0; i < 8; ++i) {
        self.v_Append(self.qcuz_Get(), ~0u);
        expected += expected;
    }
    EXPECT_EQ(Text(self), expected);
    self.v_Replace(self.qcuz_Get() + 1, 2, 0);
    EXPECT_EQ(Text(self), u"bc");
}

TEST(UStringTest, CompareGivesTheDifferenceWhenCounted) {
    CT_UString ab(W(u"ab"), ~0u);
    EXPECT_EQ(ab.vi_Compare(W(u"ad"), 2, 0), u'b' - u'd');
    EXPECT_EQ(ab.vi_Compare(W(u"ad"), ~0u, 0), -1);
    EXPECT_EQ(ab.vi_Compare(W(u"aa"), ~0u, 0), 1);
    EXPECT_EQ(ab.vi_Compare(W(u"ab"), ~0u, 0), 0);
    EXPECT_EQ(ab.vi_Compare(W(u"a"), 1, 0), 0);
    EXPECT_EQ(ab.vi_Compare(W(u"b"), 5, 1), 0) << "stops after the terminator";
    EXPECT_EQ(CT_UString(W(u"\uffff"), ~0u).vi_Compare(W(u"a"), ~0u, 0), 1) << "units are unsigned";
    EXPECT_EQ(ab.vi_Compare("ad", 2, 0), u'b' - u'd');
    EXPECT_EQ(ab.vi_Compare("ab", ~0u, 0), 0);
    // With a count, narrow text is read no further than the count: these
    // bytes have no terminator (the sanitizer build sees any read past them).
    std::vector<char> unterminated{'a', 'd', 'x'};
    EXPECT_EQ(ab.vi_Compare(unterminated.data(), 2, 0), u'b' - u'd');
    EXPECT_EQ(ab.vi_Compare(unterminated.data(), 1, 0), 0);
    EXPECT_EQ(ab.vi_Compare(unterminated.data() + 1, 2, 1), u'b' - u'd');

    CT_CString narrow("xab", ~0u, 1252);
    CT_UString wide(W(u"xab"), ~0u);
    EXPECT_EQ(ab.vi_Compare(&narrow, 1, ~0u, 0), 0);
    EXPECT_EQ(ab.vi_Compare(&wide, 1, ~0u, 0), 0);
    EXPECT_LT(ab.vi_Compare(&wide, 0, ~0u, 0), 0);
}

TEST(UStringTest, FindMatchStripTranslateCase) {
    CT_UString s(W(u"\u00e9t\u00e9 \u00e9t\u00e9"), ~0u);
    EXPECT_EQ(s.vn_Find(static_cast<unsigned short>(u't'), 2), 5u);
    EXPECT_EQ(s.vn_Find('t', 0), 1u);
    EXPECT_EQ(s.vn_Find(static_cast<unsigned short>(0), 0), ~0u);
    CT_CString pattern("t\xe9", ~0u, 1252);
    EXPECT_EQ(s.vn_Find(&pattern, 2), 5u) << "a narrow pattern with its own code page";
    CT_UString missing(W(u"\u00e9\u00e9"), ~0u);
    EXPECT_EQ(s.vn_Find(&missing, 0), ~0u);

    CT_UString name(W(u"\u00c9T\u00c9.txt"), ~0u);
    EXPECT_TRUE(name.b_Match(W(u"\u00c9*.t?t")));
    EXPECT_FALSE(name.b_Match(W(u"\u00e9*")));
    EXPECT_TRUE(name.b_Match(W(u"")));
    CT_CString narrowPattern("\xc9*", ~0u, 1252);
    EXPECT_TRUE(name.vb_Match(&narrowPattern));

    name.vv_ToLower();
    EXPECT_EQ(Text(name), u"\u00c9t\u00c9.txt") << "only A to Z change case";
    name.vv_ToUpper();
    EXPECT_EQ(Text(name), u"\u00c9T\u00c9.TXT");

    CT_UString spaced(W(u"\u3000\u00a0\t x \u2028\u2003"), ~0u);
    CT_UString copy(spaced);
    spaced.vv_Strip(nullptr);
    EXPECT_EQ(Text(spaced), u"x");
    EXPECT_EQ(Units(copy).size(), 8u);
    EXPECT_EQ(After(u"\u200bx\ufeff", [](CT_UString& s) { s.vv_StripLeft(); s.vv_StripRight(); }), u"\u200bx\ufeff")
        << "format characters are not white space";
    CT_CString set("*-", ~0u, 0), from("abc", ~0u, 0);
    CT_UString to(W(u"\u00e9"), ~0u);
    EXPECT_EQ(After(u"*-*t-i*-", [&](CT_UString& s) { s.vv_Strip(&set); }), u"t-i");
    EXPECT_EQ(After(u"aabbcd", [&](CT_UString& s) { s.vv_Translate(&from, &to); }), u"\u00e9\u00e9d");

    // The string itself as from or to: its units as they were before, not
    // as the translation has rewritten them so far.
    CT_UString ba(W(u"ba"), ~0u), cba(W(u"cba"), ~0u), x(W(u"x"), ~0u);
    EXPECT_EQ(After(u"ab", [&](CT_UString& s) { s.vv_Translate(&s, &ba); }), u"ba");
    EXPECT_EQ(After(u"abc", [&](CT_UString& s) { s.vv_Translate(&cba, &s); }), u"cba");
    EXPECT_EQ(After(u"abcab", [&](CT_UString& s) { s.vv_Translate(&x, &s); }), u"abcab");
    EXPECT_EQ(After(u"abcab", [&](CT_UString& s) { s.vv_Translate(&s, &x); }), u"xx");
    CT_UString shrinking(W(u"abcab"), ~0u);
    CT_UString shared(shrinking);
    shrinking.vv_Translate(&shrinking, &x);
    EXPECT_EQ(Text(shrinking), u"xx");
    EXPECT_EQ(Text(shared), u"abcab");
}

TEST(UStringTest, EveryChangeUnsharesTheBuffer) {
    std::vector<std::pair<char const*, std::function<void(CT_UString&)>>> changes = {
        {"v_Append(unit)", [](CT_UString& s) { s.v_Append(static_cast<unsigned short>(u'!')); }},
        {"v_Append(text)", [](CT_UString& s) { s.v_Append(W(u"!!"), ~0u); }},
        {"v_Append(narrow)", [](CT_UString& s) { s.v_Append("!!", ~0u, 1252); }},
        {"v_Replace", [](CT_UString& s) { s.v_Replace(W(u"X"), 1, 1); }},
        {"v_Insert", [](CT_UString& s) { s.v_Insert(W(u"X"), 1, 1); }},
        {"vv_Replace", [](CT_UString& s) { s.vv_Replace('X', 1, 0); }},
        {"vv_SetAt", [](CT_UString& s) { s.vv_SetAt(static_cast<unsigned short>(u'X'), 0); }},
        {"vv_Remove", [](CT_UString& s) { s.vv_Remove(1, 0); }},
        {"vv_ToLower", [](CT_UString& s) { s.vv_ToLower(); }},
        {"vv_Strip", [](CT_UString& s) { s.vv_Strip(nullptr); }},
        {"vv_SetLength", [](CT_UString& s) { s.vv_SetLength(1); }},
        {"v_Format", [](CT_UString& s) { s.v_Format(W(u"%d"), 7); }},
    };
    for (auto const& [name, change] : changes) {
        CT_UString original(W(u" ABC "), ~0u);
        CT_UString copy;
        copy = original;
        EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 2u) << name;
        change(copy);
        EXPECT_EQ(Text(original), u" ABC ") << name;
        EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 1u) << name;
        EXPECT_NE(Text(copy), u" ABC ") << name;
    }
}

TEST(UStringTest, HostileCountsAndPositionsChangeNothing) {
    // As in the narrow string; here counts of 2^31 units and more would also
    // wrap the byte counts (two bytes a unit).
    using Change = std::function<void(CT_UString&)>;
    static unsigned short const xy[] = {'x', 'y'};
    static unsigned short const u_X = 'x';
    std::pair<char const*, Change> const hostile[] = {
        {"fill wrapping at + count", [](CT_UString& s) { s.vv_Replace(u_X, Opaque(0xFFFFFFF0u), 0x20); }},
        {"narrow fill wrapping", [](CT_UString& s) { s.vv_Replace('x', Opaque(0xFFFFFFF0u), 0x20); }},
        {"fill of 2^31 units", [](CT_UString& s) { s.vv_Replace(u_X, Opaque(0x80000000u), 0); }},
        {"length ~0", [](CT_UString& s) { s.vv_SetLength(~0u); }},
        {"length 2^31", [](CT_UString& s) { s.vv_SetLength(Opaque(0x80000000u)); }},
        {"size past the limit", [](CT_UString& s) { s.vv_SetSize(Opaque(0x80000000u), 1); }},
        {"minimum size past the limit", [](CT_UString& s) { s.vv_SetMinSize(~0u, 1); }},
        {"replace 2^31 units", [](CT_UString& s) { s.v_Replace(xy, Opaque(0x80000000u), 0); }},
        {"replace at ~0", [](CT_UString& s) { s.v_Replace(xy, 2, Opaque(0xFFFFFFFFu)); }},
        {"narrow replace past the limit", [](CT_UString& s) { s.v_Replace("xy", Opaque(0x80000000u), 1); }},
        {"insert past the limit", [](CT_UString& s) { s.v_Insert(xy, Opaque(0x80000000u), 1); }},
        {"narrow insert past the limit", [](CT_UString& s) { s.v_Insert("xy", Opaque(0x80000000u), 1); }},
        {"append past the limit", [](CT_UString& s) { s.v_Append(xy, Opaque(0x80000000u)); }},
        {"narrow append past the limit", [](CT_UString& s) { s.v_Append("xy", Opaque(0xFFFFFFF0u), 0); }},
        {"replace from no text", [](CT_UString& s) { s.v_Replace(static_cast<unsigned short const*>(nullptr), 3, 1); }},
        {"insert from no text", [](CT_UString& s) { s.v_Insert(static_cast<unsigned short const*>(nullptr), 3, 1); }},
        {"remove from 2^31", [](CT_UString& s) { s.vv_Remove(Opaque(0x80000000u), Opaque(0xFFFFFFFFu)); }},
        {"set a unit past the end", [](CT_UString& s) { s.vv_SetAt(u_X, Opaque(0x80000000u)); }},
    };
    for (auto const& [what, change] : hostile) {
        CT_UString s(W(u"abcd"), ~0u);
        change(s);
        EXPECT_EQ(Units(s), u"abcd") << what;
        EXPECT_EQ(s.qcuz_Get()[4], 0u) << what;
    }
    CT_UString s(W(u"abcd"), ~0u);
    EXPECT_EQ(s.vn_Find(u_X, Opaque(0xFFFFFFFFu)), ~0u);
    EXPECT_EQ(s.vu_GetAt(Opaque(0x80000000u)), 0u);

    CT_UString room(W(u"abcd"), ~0u);
    room.v_Set(Opaque(0x80000000u), 0);
    EXPECT_EQ(room.vn_GetLength(), 0u);
    EXPECT_EQ(room.qcuz_Get()[0], 0u);
    CT_UString huge(Opaque(0x80000000u));
    EXPECT_EQ(huge.vn_GetLength(), 0u);

    s.vv_Remove(Opaque(0x7FFFFFFFu), 1);
    EXPECT_EQ(Text(s), u"a");
}
