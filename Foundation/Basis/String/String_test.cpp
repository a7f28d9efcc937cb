#include "Foundation/Basis/String/String.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::Text;
using StringTesting::W;

namespace {

std::string Bytes(CT_CString const& s) { return std::string(s.qccz_Get(), s.n_GetLength()); }

// Calls the last slot of the dispatch table the way a variadic caller does.
void v_VFormat(CT_String* target, CT_String const* format, ...) {
    va_list args;
    va_start(args, format);
    if (CT_CString* narrow = static_cast<CT_CString*>(target->vpv_IsKindOf(CT_CString::spcco_GetType())))
        narrow->vv_VFormat(format, args);
    else static_cast<CT_UString*>(target->vpv_IsKindOf(CT_UString::spcco_GetType()))->vv_VFormat(format, args);
    va_end(args);
}

}  // namespace

TEST(StringTest, TheBaseClassDoesNothingAndAnswersZero) {
    CT_String& base = CT_String::sco_Object;
    EXPECT_EQ(base.vpco_Create(), nullptr);
    base.vv_SetLength(5);
    base.vv_Replace('x', 3, 0);
    EXPECT_EQ(base.vn_GetLength(), 0u);
    EXPECT_EQ(base.vn_GetMaximumLength(), 0u);
    EXPECT_EQ(base.vn_GetGrowth(), 0u);
    EXPECT_EQ(base.vc_GetAt(0), 0);
    EXPECT_EQ(base.vu_GetAt(0), 0u);
    EXPECT_EQ(base.vn_Find('x', 0), 0u) << "position 0, not ~0";
    EXPECT_EQ(base.vi_Compare("x", ~0u, 0), 0);
    EXPECT_EQ(base.vb_Match(nullptr), 0);
    base.vv_Format(&base, 1, 2);
    EXPECT_EQ(base.pcco_GetBuffer()->qcv_Get(), nullptr);

    // As an argument it reads as the empty text.
    CT_CString narrow("abc", ~0u, 0);
    EXPECT_EQ(narrow.vi_Compare(&base, 0, ~0u, 0), 1);
    narrow.v_Set(&base);
    EXPECT_EQ(narrow.vn_GetLength(), 0u);
}

TEST(StringTest, EitherKindThroughTheBaseClass) {
    // ASCII only: a narrow string reads a wide argument in code page 0.
    CT_CString narrow("Cafe", ~0u, 1252);
    CT_UString wide(W(u"Cafe"), ~0u);
    CT_String* strings[] = {&narrow, &wide};
    for (CT_String* s : strings) {
        EXPECT_EQ(s->vn_GetLength(), 4u);
        EXPECT_EQ(s->vu_GetAt(3), static_cast<unsigned short>(u'e'));
        EXPECT_EQ(s->vc_GetAt(0), 'C');
        for (CT_String const* other : strings) {
            EXPECT_EQ(s->vi_Compare(other, 0, ~0u, 0), 0);
            EXPECT_EQ(s->vn_Find(other, 0), 0u);
            EXPECT_TRUE(s->vb_Match(other));
        }
    }

    // A copy of either kind, made and destroyed through the base class,
    // goes back to its class's pool.
    std::int32_t narrowBlocks = CT_CString::spso_GetMemPool()->i4_GetBlocksInUse();
    std::int32_t wideBlocks = CT_UString::spso_GetMemPool()->i4_GetBlocksInUse();
    for (CT_String* s : strings) {
        CT_String* copy = s->vpco_Create();
        EXPECT_NE(copy->vpv_IsA(s->vpcco_GetType()), nullptr);
        EXPECT_EQ(copy->pcco_GetBuffer()->qcv_Get(), s->pcco_GetBuffer()->qcv_Get());
        copy->v_Append("!", ~0u);
        EXPECT_EQ(s->vn_GetLength(), 4u);
        delete copy;
    }
    EXPECT_EQ(CT_CString::spso_GetMemPool()->i4_GetBlocksInUse(), narrowBlocks);
    EXPECT_EQ(CT_UString::spso_GetMemPool()->i4_GetBlocksInUse(), wideBlocks);

    // Setting one kind from the other converts (with the narrow string's
    // code page both ways); from the same kind shares.
    CT_CString accented("Caf\xe9", ~0u, 1252);
    CT_UString copied;
    copied.v_Set(static_cast<CT_String const*>(&accented));
    EXPECT_EQ(Text(copied), u"Caf\u00e9");
    CT_CString back(1252);
    back.v_Set(static_cast<CT_String const*>(&copied));
    EXPECT_EQ(Bytes(back), "Caf\xe9");
    back.v_Set(static_cast<CT_String const*>(&accented));
    EXPECT_EQ(accented.pcco_GetBuffer()->n_GetUseCount(), 2u);
    back.v_Set(static_cast<CT_String const*>(&back));
    EXPECT_EQ(accented.pcco_GetBuffer()->n_GetUseCount(), 2u);
}

TEST(StringTest, CountAndCodePageRules) {
    CT_CString s(1252);
    s.v_Set("abcdef", ~0u, ~1u);
    EXPECT_EQ(s.n_GetCodePage(), 1252u) << "~1: the string's own code page";
    s.v_Set("abcdef", 3, 437);
    EXPECT_EQ(Bytes(s), "abc");
    EXPECT_EQ(s.n_GetCodePage(), 437u);

    CT_UString w;
    w.v_Set("abc", ~0u, ~1u);
    EXPECT_EQ(Text(w), u"abc");

    CT_String& any = s;
    any.v_Append("xyz", 0);
    EXPECT_EQ(Bytes(s), "abc");
    any.v_Append("xyz", ~0u);
    any.v_Append(W(u"12"), ~0u);
    any.v_Append('!');
    any.v_Append(static_cast<unsigned short>(u'?'));
    EXPECT_EQ(Bytes(s), "abcxyz12!?");

    CT_CString source("0123456789", ~0u, 0);
    any.v_Replace(&source, 4, ~0u, 3);
    EXPECT_EQ(Bytes(s), "abc456789");
    any.v_Replace(&source, 20, ~0u, 3);
    EXPECT_EQ(Bytes(s), "abc");
    any.v_Insert(&source, ~0u, 1);
    EXPECT_EQ(Bytes(s), "a0123456789bc");
    any.v_Insert(W(u"+"), ~0u, 0);
    EXPECT_EQ(Bytes(s), "+a0123456789bc");
    any.v_Append(&source, 3);
    EXPECT_EQ(Bytes(s), "+a0123456789bc012");
    any.v_Append(&source, ~0u);
    EXPECT_EQ(s.vn_GetLength(), 27u);
}

TEST(StringTest, SetWithReuseKeepsTheStorage) {
    CT_CString s(0);
    s.v_Set(10, 0);
    EXPECT_GE(s.vn_GetMaximumLength(), 10u);
    s.v_Append("some text", ~0u);
    void const* storage = s.pcco_GetBuffer()->qcv_Get();
    s.v_Set(5, 1);
    EXPECT_EQ(s.pcco_GetBuffer()->qcv_Get(), storage);
    EXPECT_EQ(s.vn_GetLength(), 0u);
    EXPECT_STREQ(s.qccz_Get(), "");
    s.v_Set(500, 1);
    EXPECT_GE(s.vn_GetMaximumLength(), 500u);
    EXPECT_EQ(s.vn_GetLength(), 0u);

    CT_UString w(200);
    w.v_Append(W(u"wide text"), ~0u);
    storage = w.pcco_GetBuffer()->qcv_Get();
    w.v_Set(5, 1);
    EXPECT_EQ(w.pcco_GetBuffer()->qcv_Get(), storage);
    EXPECT_EQ(w.vn_GetLength(), 0u);

    // Shared storage is never reused: the other sharer keeps its text.
    CT_UString other(W(u"shared"), ~0u);
    CT_UString copy(other);
    copy.v_Set(2, 1);
    EXPECT_EQ(Text(other), u"shared");
    EXPECT_EQ(copy.vn_GetLength(), 0u);
}

TEST(StringTest, AssignmentSharesAndChangesUnshare) {
    CT_CString a("first", ~0u, 0), b("second", ~0u, 0);
    CT_String& base = b;
    base = a;
    EXPECT_EQ(a.pcco_GetBuffer()->n_GetUseCount(), 2u);
    EXPECT_EQ(b.pcco_GetBuffer()->qcv_Get(), a.pcco_GetBuffer()->qcv_Get());
    base.v_Append("!", ~0u);
    EXPECT_EQ(Bytes(a), "first");
    EXPECT_EQ(Bytes(b), "first!");
    EXPECT_EQ(a.pcco_GetBuffer()->n_GetUseCount(), 1u);
}

TEST(StringTest, NarrowFormatting) {
    CT_CString s(1252);
    s.v_Format("%s-%05d|%-4s|%x|%c", "ab", 42, "z", 255, 'Q');
    EXPECT_EQ(Bytes(s), "ab-00042|z   |ff|Q");
    EXPECT_EQ(s.n_GetCodePage(), 1252u) << "set in the string's own code page";

    std::string longText(3000, 'x');
    longText[2046] = 'y';
    s.v_Format("%s", longText.c_str());
    EXPECT_EQ(s.vn_GetLength(), 2047u);
    EXPECT_EQ(s.qccz_Get()[2046], 'y');

    CT_UString w;
    w.v_Format("%d apples", 3);
    EXPECT_EQ(Text(w), u"3 apples");

    // A format of either kind through CT_String const*.
    CT_CString narrowFormat("<%s:%d>", ~0u, 0);
    CT_UString wideFormat(W(u"<%s:%d>"), ~0u);
    CT_CString n(1252);
    n.vv_Format(&narrowFormat, "k", 1);
    EXPECT_EQ(Bytes(n), "<k:1>");
    n.vv_Format(&wideFormat, static_cast<unsigned short const*>(W(u"\u00e9")), 2);
    EXPECT_EQ(Bytes(n), "<\xe9:2>");
    CT_UString u;
    u.vv_Format(&wideFormat, static_cast<unsigned short const*>(W(u"\u4e2d")), 3);
    EXPECT_EQ(Text(u), u"<\u4e2d:3>");
    u.vv_Format(&narrowFormat, "n", 4);
    EXPECT_EQ(Text(u), u"<n:4>");
    v_VFormat(&n, &narrowFormat, "v", 5);
    EXPECT_EQ(Bytes(n), "<v:5>");
    v_VFormat(&u, &wideFormat, static_cast<unsigned short const*>(W(u"v")), 6);
    EXPECT_EQ(Text(u), u"<v:6>");
    // A string formatted with itself as the format.
    n.v_Set("[%d]", ~0u, 0);
    n.vv_Format(&n, 7);
    EXPECT_EQ(Bytes(n), "[7]");
}

// Copies on several threads share one buffer; each thread's first change
// takes its own copy, and the shared text stays as it was.
TEST(StringTest, SharedBufferAcrossThreads) {
    CT_CString original("shared between threads", ~0u, 1252);
    CT_UString wideOriginal(W(u"geteilt"), ~0u);
    std::vector<std::thread> threads;
    std::vector<int> results(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                CT_CString copy(original);
                CT_UString wideCopy(wideOriginal);
                copy.v_Append(static_cast<char>('0' + t));
                wideCopy.vv_ToUpper();
                if (copy.vn_GetLength() != 23 || copy.c_GetAt(22) != '0' + t) return;
                if (Text(wideCopy) != u"GETEILT") return;
            }
            results[static_cast<std::size_t>(t)] = 1;
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int result : results) EXPECT_EQ(result, 1);
    EXPECT_STREQ(original.qccz_Get(), "shared between threads");
    EXPECT_EQ(Text(wideOriginal), u"geteilt");
    EXPECT_EQ(original.pcco_GetBuffer()->n_GetUseCount(), 1u);
}
