#include "Foundation/Basis/Text/StringScanner.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

CT_CString C(char const* text) { return CT_CString(text, ~0u, 1252); }
CT_UString U(char16_t const* text) { return CT_UString(W(text), ~0u); }

}  // namespace

TEST(StringScannerTest, ItemsNarrow) {
    std::unique_ptr<CT_StringScanner> scanner(new CT_StringScanner);
    CT_CString empty(1252), ab = C("a,b,"), middle = C("a,,bcd");
    EXPECT_EQ(1u, scanner->n_ItemCount(&empty, ','));
    EXPECT_EQ(3u, scanner->n_ItemCount(&ab, ','));
    // Item 0, and items past the last, are empty whatever the output held.
    struct {
        CT_CString const* in;
        unsigned n;
        char const* expected;
    } const items[] = {{&ab, 3, ""},      {&ab, 4, ""},      {&ab, 0, ""},        {&ab, 2, "b"},
                       {&middle, 1, "a"}, {&middle, 2, ""}, {&middle, 3, "bcd"}};
    for (auto const& item : items) {
        CT_CString out = C("junk");
        scanner->v_Item(&out, item.in, ',', item.n);
        EXPECT_STREQ(item.expected, out.qccz_Get()) << item.n;
    }

    // The input itself as the output.
    scanner->v_Item(&middle, &middle, ',', 3);
    EXPECT_STREQ("bcd", middle.qccz_Get());

    CT_CString s = C("a,bb,c");
    scanner->v_RemoveItem(&s, ',', 2);
    EXPECT_STREQ("a,,c", s.qccz_Get());
    scanner->v_RemoveItem(&s, ',', 3);
    EXPECT_STREQ("a,,", s.qccz_Get());
    scanner->v_RemoveItem(&s, ',', 5);
    EXPECT_STREQ("a,,", s.qccz_Get());
    scanner->v_RemoveItem(&s, ',', 0);
    EXPECT_STREQ("a,,", s.qccz_Get());
}

TEST(StringScannerTest, ItemsWideAndMixedKinds) {
    CT_StringScanner scanner;
    CT_UString in = U(u"\u00e9t\u00e9;hiver;;x");
    CT_UString out;
    EXPECT_EQ(4u, scanner.n_ItemCount(&in, ';'));
    scanner.v_Item(&out, &in, ';', 2);
    EXPECT_EQ(u"hiver", Text(out));
    scanner.v_Item(&out, &in, ';', 1);
    EXPECT_EQ(u"\u00e9t\u00e9", Text(out));
    scanner.v_RemoveItem(&in, ';', 1);
    EXPECT_EQ(u";hiver;;x", Text(in));

    // A wide delimiter that only the wide form sees as such.
    CT_UString greek = U(u"a\u03a9b");
    EXPECT_EQ(2u, scanner.n_ItemCount(&greek, 0x03a9));

    // Mixed kinds change nothing.
    CT_CString narrowOut = C("keep");
    scanner.v_Item(&narrowOut, &in, ';', 2);
    EXPECT_STREQ("keep", narrowOut.qccz_Get());
    CT_UString sep = U(u" ");
    CT_CString narrowIn = C("a b");
    EXPECT_EQ(0u, scanner.n_WordCount(&narrowIn, &sep));
}

TEST(StringScannerTest, Words) {
    CT_StringScanner scanner;
    CT_CString space = C(" ");
    CT_CString text = C("  two  words ");
    EXPECT_EQ(2u, scanner.n_WordCount(&text, &space));
    CT_CString out = C("x");
    scanner.v_SubWord(&out, &text, &space, 2);
    EXPECT_STREQ("words", out.qccz_Get());
    scanner.v_SubWord(&out, &text, &space, 1);
    EXPECT_STREQ("two", out.qccz_Get());
    // No word 3: the output is emptied, whatever it held.
    out = C("left");
    scanner.v_SubWord(&out, &text, &space, 3);
    EXPECT_STREQ("", out.qccz_Get());
    EXPECT_EQ(0u, out.n_GetLength());
    // Word 0 of a text beginning with a separator: the empty word before it.
    scanner.v_SubWord(&out, &text, &space, 0);
    EXPECT_STREQ("", out.qccz_Get());

    CT_CString r = C("  two  words ");
    scanner.v_RemoveWord(&r, &space, 1);
    EXPECT_STREQ("    words ", r.qccz_Get());
    scanner.v_RemoveWord(&r, &space, 3);
    EXPECT_STREQ("    words ", r.qccz_Get());

    // Several separators, wide.
    CT_UString seps = U(u",; ");
    CT_UString w = U(u"alpha, beta;;gamma");
    CT_UString wout;
    EXPECT_EQ(3u, scanner.n_WordCount(&w, &seps));
    scanner.v_SubWord(&wout, &w, &seps, 3);
    EXPECT_EQ(u"gamma", Text(wout));
    scanner.v_SubWord(&wout, &w, &seps, 4);
    EXPECT_EQ(u"", Text(wout));
    scanner.v_RemoveWord(&w, &seps, 2);
    EXPECT_EQ(u"alpha, ;;gamma", Text(w));

    CT_CString empty(1252);
    EXPECT_EQ(0u, scanner.n_WordCount(&empty, &space));
}
