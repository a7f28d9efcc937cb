#include "Foundation/Basis/Lexicon/StringMap.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

CT_CString C(char const* text) { return CT_CString(text, ~0u, 1252); }

bool b_IsWide(CT_String const* s) { return s->vpv_IsA(CT_UString::spcco_GetType()) != nullptr; }

std::vector<unsigned char> Bytes(CT_Buffer const& buffer) {
    auto const* data = static_cast<unsigned char const*>(buffer.qcv_Get());
    return std::vector<unsigned char>(data, data + buffer.n_GetUsedSize());
}

}  // namespace

TEST(StringMapTest, OrdinalMapLookupsAndCopies) {
    std::unique_ptr<CT_StringOrdinalMap> map(new CT_StringOrdinalMap);
    EXPECT_EQ(1u, map->n_Insert("one"));
    EXPECT_EQ(2u, map->n_Insert(W(u"two")));
    map->v_Insert("three");
    EXPECT_EQ(3u, map->n_GetCount());
    EXPECT_EQ(2u, map->n_Get(W(u"two")));
    EXPECT_EQ(3u, map->n_Get("three"));
    EXPECT_EQ(0u, map->n_Get("Three"));
    EXPECT_STREQ("one", map->qccz_Get(1));
    EXPECT_EQ(u"two", std::u16string(reinterpret_cast<char16_t const*>(map->qcuz_Get(2))));
    EXPECT_STREQ("", map->qccz_Get(2));  // a wide string has no narrow text

    // The map keeps copies: changing the source leaves it alone.
    CT_CString source = C("four");
    map->v_Insert(&source);
    source = C("changed");
    EXPECT_STREQ("four", map->qccz_Get(4));

    CT_StringOrdinalMap copy(*map);
    map->v_SetAt("ONE", 1);
    EXPECT_STREQ("ONE", map->qccz_Get(1));
    EXPECT_STREQ("one", copy.qccz_Get(1));
    CT_StringOrdinalMap assigned;
    assigned.v_Insert("gone");
    assigned = copy;
    copy.v_SetAt("x", 4);
    EXPECT_EQ(4u, assigned.n_GetCount());
    EXPECT_STREQ("four", assigned.qccz_Get(4));

    map->v_RemoveAt(2);
    EXPECT_EQ(3u, map->n_GetCount());
    EXPECT_STREQ("three", map->qccz_Get(2));
    EXPECT_EQ(2u, map->n_Get("three"));

    CT_StringOrdinalMap appended;
    appended.v_Append(map.get(), 2);
    appended.v_Append(map.get(), 0xFFFFFFFFu);
    EXPECT_EQ(5u, appended.n_GetCount());
    EXPECT_STREQ("three", appended.qccz_Get(2));
    EXPECT_STREQ("four", appended.qccz_Get(5));
}

TEST(StringMapTest, OrdinalMapText) {
    CT_StringOrdinalMap map;
    CT_CString in = C("a;b;c");
    map.v_String2Map(&in, ';');
    ASSERT_EQ(3u, map.n_GetCount());
    EXPECT_EQ(1u, map.n_Get("a"));
    EXPECT_EQ(3u, map.n_Get("c"));
    EXPECT_FALSE(b_IsWide(map.pcco_Get(2)));
    CT_CString out = C("old");
    map.v_Map2String(&out, ';');
    EXPECT_STREQ("a;b;c;", out.qccz_Get());

    // Read back: the trailing separator adds nothing.
    CT_StringOrdinalMap back;
    back.v_String2Map(&out, ';');
    EXPECT_EQ(3u, back.n_GetCount());

    CT_CString gap = C("a;;b");
    map.v_String2Map(&gap, ';');
    ASSERT_EQ(1u, map.n_GetCount());
    EXPECT_STREQ("a", map.qccz_Get(1));

    CT_UString wide(W(u"\u00e9;\u03a9"), ~0u);
    map.v_String2Map(&wide, ';');
    ASSERT_EQ(2u, map.n_GetCount());
    EXPECT_TRUE(b_IsWide(map.pcco_Get(2)));
    EXPECT_EQ(2u, map.n_Get(W(u"\u03a9")));
    CT_UString wideOut;
    map.v_Map2String(&wideOut, '|');
    EXPECT_EQ(u"\u00e9|\u03a9|", Text(wideOut));

    CT_CString empty(1252);
    map.v_String2Map(&empty, ';');
    EXPECT_EQ(0u, map.n_GetCount());

    // Plain texts, narrow and wide, read as strings of their kind.
    map.v_String2Map("p;q;", ';');
    ASSERT_EQ(2u, map.n_GetCount());
    EXPECT_FALSE(b_IsWide(map.pcco_Get(1)));
    EXPECT_STREQ("q", map.qccz_Get(2));
    map.v_String2Map(W(u"r|s|t"), '|');
    ASSERT_EQ(3u, map.n_GetCount());
    EXPECT_TRUE(b_IsWide(map.pcco_Get(3)));
    EXPECT_EQ(3u, map.n_Get(W(u"t")));

    // The map's own string as the input: read before the reset deletes it.
    map.v_SetAt("u;v", 2);
    map.v_String2Map(map.pcco_Get(2), ';');
    ASSERT_EQ(2u, map.n_GetCount());
    EXPECT_EQ(u"u", Text(*static_cast<CT_UString const*>(map.pcco_Get(1))));
    EXPECT_EQ(2u, map.n_Get(W(u"v")));

    // Ordinals outside 1 to the count: nothing there, nothing changed.
    EXPECT_EQ(nullptr, map.pcco_Get(0));
    EXPECT_EQ(nullptr, map.pcco_Get(3));
    EXPECT_STREQ("", map.qccz_Get(3));
    map.v_SetAt("w", 0);
    map.v_SetAt("w", 3);
    map.v_RemoveAt(0);
    map.v_RemoveAt(3);
    EXPECT_EQ(2u, map.n_GetCount());
    EXPECT_EQ(0u, map.n_Get("w"));
}

TEST(StringMapTest, NumberMap) {
    CT_StringNumberMap map;
    map.v_Insert("abc", 5);
    map.v_Insert(W(u"d\u00e9"), 0x01020304);
    map.v_Insert("xyz", 5);
    EXPECT_EQ(5u, map.n_Get("xyz"));
    EXPECT_EQ(0u, map.n_Get("nope"));
    EXPECT_STREQ("abc", map.qccz_Get(5));  // the first with that number
    EXPECT_EQ(nullptr, map.pcco_Get(7));
    EXPECT_STREQ("", map.qccz_Get(7));
    EXPECT_EQ(0x01020304u, map.n_GetAt(2));

    map.v_Update("ABC", 5);
    EXPECT_STREQ("ABC", map.qccz_GetAt(1));
    EXPECT_STREQ("xyz", map.qccz_GetAt(3));
    map.v_SetAt(9u, 3);
    EXPECT_EQ(9u, map.n_Get("xyz"));
    map.v_SetAt("uvw", 3);
    EXPECT_STREQ("uvw", map.qccz_Get(9));

    CT_StringNumberMap copy(&map);
    map.v_RemoveAt(2);
    EXPECT_EQ(2u, map.n_GetCount());
    EXPECT_STREQ("uvw", map.qccz_GetAt(2));
    EXPECT_EQ(9u, map.n_GetAt(2));
    map.v_Remove(5);
    EXPECT_EQ(1u, map.n_GetCount());
    EXPECT_EQ(9u, map.n_GetAt(1));
    EXPECT_EQ(3u, copy.n_GetCount());
    EXPECT_EQ(u"d\u00e9", std::u16string(reinterpret_cast<char16_t const*>(copy.qcuz_GetAt(2))));

    // An absent number, or a position outside 1 to the count, changes
    // nothing and reads nothing.
    copy.v_Update("none", 77);
    copy.v_Update(W(u"none"), 77);
    copy.v_Remove(77);
    copy.v_RemoveAt(0);
    copy.v_RemoveAt(4);
    copy.v_SetAt("none", 0);
    copy.v_SetAt(12u, 4);
    EXPECT_EQ(3u, copy.n_GetCount());
    EXPECT_EQ(0u, copy.n_Get("none"));
    EXPECT_EQ(0u, copy.n_GetAt(0));
    EXPECT_EQ(0u, copy.n_GetAt(4));
    EXPECT_EQ(nullptr, copy.pcco_GetAt(4));
    EXPECT_STREQ("", copy.qccz_GetAt(4));
    EXPECT_STREQ("ABC", copy.qccz_GetAt(1));
    EXPECT_EQ(9u, copy.n_GetAt(3));
    map.v_Remove(5);  // the one entry left has number 9
    EXPECT_EQ(1u, map.n_GetCount());
}

TEST(StringMapTest, NumberMapBuffer) {
    CT_StringNumberMap narrow;
    narrow.v_Insert("abc", 5);
    narrow.v_Insert("z", 0x80000001u);
    CT_Buffer buffer;
    narrow.v_Map2Buffer(&buffer);
    std::vector<unsigned char> expected = {0x05, 0, 0, 0, 'a', 'b', 'c', 0, 0x01, 0, 0, 0x80, 'z', 0};
    EXPECT_EQ(expected, Bytes(buffer));

    CT_StringNumberMap back;
    back.v_Buffer2Map(&buffer, 0);
    ASSERT_EQ(2u, back.n_GetCount());
    EXPECT_STREQ("abc", back.qccz_GetAt(1));
    EXPECT_EQ(0x80000001u, back.n_GetAt(2));
    EXPECT_FALSE(b_IsWide(back.pcco_GetAt(1)));

    CT_StringNumberMap wide;
    wide.v_Insert(W(u"\u03a9a"), 0x0102);
    wide.v_Insert(W(u"b"), 3);
    wide.v_Map2Buffer(&buffer);  // the old contents go
    expected = {0x02, 0x01, 0, 0, 0xa9, 0x03, 'a', 0, 0, 0, 3, 0, 0, 0, 'b', 0, 0, 0};
    EXPECT_EQ(expected, Bytes(buffer));
    back.v_Buffer2Map(&buffer, 1);
    ASSERT_EQ(2u, back.n_GetCount());
    EXPECT_TRUE(b_IsWide(back.pcco_GetAt(1)));
    EXPECT_EQ(u"\u03a9a", std::u16string(reinterpret_cast<char16_t const*>(back.qcuz_GetAt(1))));
    EXPECT_EQ(3u, back.n_Get(W(u"b")));

    // An empty text ends the reading, as in the text forms.
    CT_StringNumberMap gap;
    gap.v_Insert("a", 1);
    gap.v_Insert("", 2);
    gap.v_Insert("c", 3);
    gap.v_Map2Buffer(&buffer);
    EXPECT_EQ(17u, buffer.n_GetUsedSize());  // 6 + 5 + 6: the empty text is written
    back.v_Buffer2Map(&buffer, 0);
    EXPECT_EQ(1u, back.n_GetCount());

    CT_Buffer empty;
    back.v_Buffer2Map(&empty, 0);
    EXPECT_EQ(0u, back.n_GetCount());
}

TEST(StringMapTest, StringStringMap) {
    CT_StringStringMap map;
    map.v_Insert("a", "x");
    map.v_Insert("b", "y");
    CT_CString text = C("");
    map.v_Map2String(&text, '=', ';');
    EXPECT_STREQ("a=x;b=y;", text.qccz_Get());

    CT_StringStringMap back;
    back.v_String2Map(&text, '=', ';');
    ASSERT_EQ(2u, back.n_GetCount());
    CT_String* s1 = nullptr;
    CT_String* s2 = nullptr;
    back.v_GetAt(&s1, &s2, 2);
    ASSERT_TRUE(b_IsWide(s1));
    EXPECT_EQ(u"b", Text(*static_cast<CT_UString*>(s1)));
    EXPECT_EQ(u"y", Text(*static_cast<CT_UString*>(s2)));
    CT_String const* y = back.pcco_GetString2(W(u"b"));
    ASSERT_NE(nullptr, y);
    EXPECT_EQ(u"y", Text(*static_cast<CT_UString const*>(y)));
    CT_String const* a = back.pcco_GetString1(W(u"x"));
    ASSERT_NE(nullptr, a);
    EXPECT_EQ(u"a", Text(*static_cast<CT_UString const*>(a)));
    EXPECT_EQ(nullptr, back.pcco_GetString1(W(u"a")));

    // A copy owns its strings; removal shifts the later pairs down.
    CT_StringStringMap copy = back;
    back.v_RemoveAt(1);
    EXPECT_EQ(1u, back.n_GetCount());
    back.v_GetAt(&s1, &s2, 1);
    EXPECT_EQ(u"b", Text(*static_cast<CT_UString*>(s1)));
    EXPECT_EQ(2u, copy.n_GetCount());
    EXPECT_NE(nullptr, copy.pcco_GetString2(W(u"a")));

    copy.v_Append(&map, 1);
    EXPECT_EQ(3u, copy.n_GetCount());
    EXPECT_NE(nullptr, copy.pcco_GetString1("x"));

    // An entry without a pair separator has an empty string 2; an empty
    // entry ends the reading.
    CT_CString odd = C("k;m=n;;p=q");
    map.v_String2Map(&odd, '=', ';');
    ASSERT_EQ(2u, map.n_GetCount());
    map.v_GetAt(&s1, &s2, 1);
    EXPECT_EQ(u"k", Text(*static_cast<CT_UString*>(s1)));
    EXPECT_EQ(u"", Text(*static_cast<CT_UString*>(s2)));

    // Plain texts, narrow and wide; and the map's own string as the input,
    // converted before the reset deletes it.
    map.v_String2Map("c=z;", '=', ';');
    ASSERT_EQ(1u, map.n_GetCount());
    ASSERT_NE(nullptr, map.pcco_GetString2(W(u"c")));
    map.v_String2Map(W(u"d:1,e:2,"), ':', ',');
    ASSERT_EQ(2u, map.n_GetCount());
    ASSERT_NE(nullptr, map.pcco_GetString1(W(u"2")));
    EXPECT_EQ(u"e", Text(*static_cast<CT_UString const*>(map.pcco_GetString1(W(u"2")))));
    map.v_Insert("f", "g:3,h:4");
    map.v_String2Map(map.pcco_GetString2("f"), ':', ',');
    ASSERT_EQ(2u, map.n_GetCount());
    EXPECT_EQ(u"4", Text(*static_cast<CT_UString const*>(map.pcco_GetString2(W(u"h")))));

    // A position outside 1 to the count: no strings, nothing removed.
    map.v_GetAt(&s1, &s2, 3);
    EXPECT_EQ(nullptr, s1);
    EXPECT_EQ(nullptr, s2);
    map.v_RemoveAt(0);
    map.v_RemoveAt(3);
    EXPECT_EQ(2u, map.n_GetCount());
}
