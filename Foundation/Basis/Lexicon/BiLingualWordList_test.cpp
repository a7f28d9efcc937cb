#include "Foundation/Basis/Lexicon/BiLingualWordList.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

std::string Bytes(CT_Buffer const* buffer) {
    return std::string(static_cast<char const*>(buffer->qcv_Get()), buffer->n_GetUsedSize());
}

std::vector<std::pair<std::string, std::string>> Pairs(CT_BiLingualCWordList const& list) {
    std::vector<std::pair<std::string, std::string>> result;
    CT_BiCWordListIterator it(&list);
    EXPECT_TRUE(it.b_AtHome());
    char* source = nullptr;
    char* target = nullptr;
    while (it.b_Next()) {
        it.v_Get(&source, &target);
        result.emplace_back(source, target);
    }
    EXPECT_TRUE(it.b_AtEnd());
    EXPECT_FALSE(it.b_Next());
    return result;
}

TEST(BiLingualWordList, NarrowLookupsBothWaysAndTexts) {
    CT_BiLingualCWordList list;
    list.v_Insert("dog", "Hund");
    list.v_Insert("cat", "Katze");
    EXPECT_EQ(list.n_GetCount(), 2u);
    EXPECT_STREQ(list.qccz_FindSource("cat"), "Katze");
    EXPECT_STREQ(list.qccz_FindSource("dog"), "Hund");
    EXPECT_STREQ(list.qccz_FindTarget("Hund"), "dog");
    EXPECT_STREQ(list.qccz_FindTarget("Katze"), "cat");
    EXPECT_EQ(list.qccz_FindSource("Hund"), nullptr);  // not a source word
    EXPECT_EQ(list.qccz_FindTarget("cat"), nullptr);
    EXPECT_EQ(list.qccz_FindSource("ca"), nullptr);
    EXPECT_EQ(Bytes(list.pcco_GetSourceBuffer()), std::string("dog\0cat\0", 8));
    EXPECT_EQ(Bytes(list.pcco_GetTargetBuffer()), std::string("Hund\0Katze\0", 11));
    EXPECT_EQ(list.pcco_GetSourceIndex()->n_Search("cat", nullptr), 5u);
    EXPECT_EQ(list.pcco_GetTargetIndex()->n_Search("Katze", nullptr), 4u);
    // The indexes: element size 1, handle size 4, short offsets, code page 0.
    CT_CompList const* index = list.pcco_GetSourceIndex();
    EXPECT_EQ(index->n_GetElementSize(), 1u);
    EXPECT_EQ(index->n_GetHandleSize(), 4u);
    EXPECT_FALSE(index->b_HasLongOffsetSupport());
    EXPECT_FALSE(index->b_HasEmptyStringSupport());
    EXPECT_EQ(index->n_GetCodePage(), 0u);
    // The result points into the texts: no copy.
    EXPECT_EQ(list.qccz_FindSource("cat"), static_cast<char const*>(list.pcco_GetTargetBuffer()->qcv_Get()) + 5);

    CT_CString cat("cat", ~0u, 0), hund("Hund", ~0u, 0);
    EXPECT_STREQ(list.qccz_FindSource(&cat), "Katze");
    EXPECT_STREQ(list.qccz_FindTarget(&hund), "dog");

    EXPECT_EQ(Pairs(list), (std::vector<std::pair<std::string, std::string>>{{"dog", "Hund"}, {"cat", "Katze"}}));

    // A repeated source word adds a pair; lookups keep the first partner.
    list.v_Insert("dog", "Ruede");
    EXPECT_STREQ(list.qccz_FindSource("dog"), "Hund");
    EXPECT_STREQ(list.qccz_FindTarget("Ruede"), "dog");
    EXPECT_EQ(Pairs(list).size(), 3u);
    EXPECT_EQ(Pairs(list)[2], (std::pair<std::string, std::string>("dog", "Ruede")));

    // Empty words are kept as pairs but not indexed.
    CT_CString empty;
    list.v_Insert(&empty, &hund);
    EXPECT_EQ(list.n_GetCount(), 4u);
    EXPECT_EQ(Pairs(list)[3], (std::pair<std::string, std::string>("", "Hund")));
    EXPECT_EQ(list.qccz_FindSource(""), nullptr);

    list.v_Set();
    EXPECT_EQ(list.n_GetCount(), 0u);
    EXPECT_EQ(list.qccz_FindSource("cat"), nullptr);
    EXPECT_EQ(list.qccz_FindTarget("Hund"), nullptr);
    EXPECT_TRUE(list.pcco_GetSourceIndex()->b_IsEmpty());
    EXPECT_TRUE(Pairs(list).empty());
}

TEST(BiLingualWordList, WideListAndIteratorCopies) {
    CT_BiLingualUWordList list;
    list.v_Insert(W(u"dog"), W(u"Hund"));
    CT_UString cat(W(u"cat"), ~0u), katze(W(u"Katze"), ~0u);
    list.v_Insert(&cat, &katze);
    EXPECT_EQ(Text(CT_UString(list.qcuz_FindSource(W(u"cat")), ~0u)), u"Katze");
    EXPECT_EQ(Text(CT_UString(list.qcuz_FindTarget(&katze), ~0u)), u"cat");
    EXPECT_EQ(Text(CT_UString(list.qcuz_FindTarget(W(u"Hund")), ~0u)), u"dog");
    EXPECT_EQ(list.qcuz_FindSource(W(u"Katze")), nullptr);
    EXPECT_EQ(list.pcco_GetSourceBuffer()->n_GetUsedSize(), 16u);  // 2-byte characters and terminators
    EXPECT_EQ(list.pcco_GetSourceIndex()->n_Search(W(u"cat"), nullptr), 10u);
    EXPECT_EQ(list.pcco_GetSourceIndex()->n_GetElementSize(), 2u);

    CT_BiUWordListIterator it(&list);
    CT_UString source, target;
    CT_CString narrow;
    ASSERT_TRUE(it.b_Next());
    it.v_Get(&source, &target);
    EXPECT_EQ(Text(source), u"dog");
    EXPECT_EQ(Text(target), u"Hund");
    CT_BiUWordListIterator copy(&it);
    EXPECT_TRUE(copy.b_IsEqual(&it));
    ASSERT_TRUE(it.b_Next());
    EXPECT_FALSE(copy.b_IsEqual(&it));
    it.v_Get(&narrow, &target);  // a narrow copy of a wide word
    EXPECT_STREQ(narrow.qccz_Get(), "cat");
    EXPECT_EQ(Text(target), u"Katze");
    unsigned short* psource = nullptr;
    it.v_Get(&psource, nullptr);
    EXPECT_EQ(psource[0], 'c');
    EXPECT_FALSE(it.b_Next());
    EXPECT_TRUE(it.b_AtEnd());
    EXPECT_EQ(it.n_GetCount(), 2u);
    ASSERT_TRUE(copy.b_Next());
    EXPECT_TRUE(copy.b_IsEqual(&it));
    it.v_Set(&list);
    EXPECT_TRUE(it.b_AtHome());

    // A wide word whose units have a zero low byte is not cut at it.
    list.v_Insert(W(u"\u0100x"), W(u"\u2000"));
    CT_BiUWordListIterator third(&list);
    third.b_Next(), third.b_Next(), third.b_Next();
    third.v_Get(&source, &target);
    EXPECT_EQ(Text(source), u"\u0100x");
    EXPECT_EQ(Text(target), u"\u2000");
    EXPECT_FALSE(third.b_Next());
}

TEST(BiLingualWordList, CopiesShareAndThenGoTheirOwnWay) {
    CT_BiLingualCWordList* list = new CT_BiLingualCWordList;  // from the class's pool
    list->v_Insert("one", "eins");
    CT_BiLingualCWordList copy(list);
    EXPECT_EQ(copy.pcco_GetSourceBuffer()->qcv_Get(), list->pcco_GetSourceBuffer()->qcv_Get());
    EXPECT_EQ(copy.pcco_GetSourceIndex()->pcco_GetBuffer()->qcv_Get(),
              list->pcco_GetSourceIndex()->pcco_GetBuffer()->qcv_Get());
    copy.v_Insert("two", "zwei");
    EXPECT_EQ(list->n_GetCount(), 1u);
    EXPECT_EQ(list->qccz_FindSource("two"), nullptr);
    EXPECT_STREQ(copy.qccz_FindSource("two"), "zwei");
    EXPECT_STREQ(copy.qccz_FindTarget("eins"), "one");
    CT_BiLingualCWordList assigned;
    assigned = copy;
    list->v_Set(&assigned);
    delete list;
    EXPECT_STREQ(assigned.qccz_FindTarget("zwei"), "two");
    EXPECT_EQ(assigned.n_GetCount(), 2u);

    CT_BiLingualUWordList* wide = new CT_BiLingualUWordList;
    wide->v_Insert(W(u"a"), W(u"b"));
    CT_BiLingualUWordList wideCopy;
    wideCopy = *wide;
    delete wide;
    EXPECT_NE(wideCopy.qcuz_FindSource(W(u"a")), nullptr);
}

}  // namespace
