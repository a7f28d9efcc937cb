#include "Foundation/Basis/Lexicon/CompList.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "Foundation/Basis/Lexicon/CompListIterator.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Basis/String/UString.h"

using StringTesting::W;

namespace {

unsigned const kNone = 0xFFFFFFFFu;

std::vector<unsigned char> Image(CT_CompList const& list) {
    CT_Buffer const* buffer = list.pcco_GetBuffer();
    auto const* bytes = static_cast<unsigned char const*>(buffer->qcv_Get());
    return std::vector<unsigned char>(bytes, bytes + buffer->n_GetUsedSize());
}

// The stream part of the image (from 132 on).
std::vector<unsigned char> Stream(CT_CompList const& list) {
    std::vector<unsigned char> image = Image(list);
    return std::vector<unsigned char>(image.begin() + 132, image.end());
}

unsigned Field(CT_CompList const& list, unsigned at) {
    std::vector<unsigned char> image = Image(list);
    return image[at] | image[at + 1] << 8 | image[at + 2] << 16 | unsigned(image[at + 3]) << 24;
}

unsigned Jump(CT_CompList const& list, char letter) { return Field(list, 16 + 4 * (letter - 'a')); }

CT_CompList ByteList(unsigned handleSize = 1, int emptyWord = 0, int longOffsets = 0) {
    return CT_CompList(CT_CompList::e_Byte, handleSize, emptyWord, longOffsets, 0, 1252);
}

// Every word and handle an iterator lists, in its order.
std::vector<std::pair<std::string, unsigned>> Listing(CT_CompList const& list) {
    std::vector<std::pair<std::string, unsigned>> result;
    CT_CCompListIterator it(&list);
    CT_CString word;
    unsigned handle = 0;
    while (it.b_GetNext(&word, &handle)) result.emplace_back(word.qccz_Get(), handle);
    return result;
}

TEST(CompList, NewListHeader) {
    CT_CompList list = ByteList();
    EXPECT_EQ(list.n_GetEnd(), 133u);
    EXPECT_TRUE(list.b_IsEmpty());
    EXPECT_EQ(list.n_GetNrOfEntries(), 0u);
    EXPECT_FALSE(list.b_IsChanged());
    std::vector<unsigned char> image = Image(list);
    ASSERT_EQ(image.size(), 133u);
    EXPECT_EQ(Field(list, 0), 19970101u);
    EXPECT_EQ(Field(list, 12), kNone);
    for (unsigned at = 16; at < 124; ++at) EXPECT_EQ(image[at], 0) << at;
    EXPECT_EQ(image[128], 1);
    EXPECT_EQ(image[129] | image[130] | image[131], 0);
    EXPECT_EQ(image[132], 25);
    unsigned pos = 99;
    EXPECT_EQ(list.n_Search("cat", &pos), kNone);
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(list.b_Search("a"));
    CT_CCompListIterator it(&list);
    EXPECT_FALSE(it.b_GetNext(nullptr, nullptr));

    CT_CompList wide(CT_CompList::e_DWord, 4, 1, 1, 0, 0);
    EXPECT_EQ(wide.n_GetEnd(), 136u);
    EXPECT_EQ(Image(wide)[127], 3);
    EXPECT_TRUE(wide.b_IsEmpty());
}

TEST(CompList, WorkedExampleByteForByte) {
    CT_CompList list = ByteList();
    EXPECT_TRUE(list.b_Add("cat", 7));
    EXPECT_TRUE(list.b_IsChanged());
    EXPECT_EQ(Stream(list), (std::vector<unsigned char>{'c', 'a', 't', 26, 7, 25}));
    EXPECT_EQ(list.n_GetEnd(), 138u);
    EXPECT_EQ(Jump(list, 'c'), 132u);

    EXPECT_TRUE(list.b_Add("car", 8));
    // The link at 135 holds 5 (host order) and leads to the r at 140.
    EXPECT_EQ(Stream(list), (std::vector<unsigned char>{'c', 'a', 't', 13, 5, 0, 26, 7, 'r', 26, 8, 25}));
    EXPECT_EQ(list.n_GetEnd(), 144u);
    EXPECT_EQ(list.n_GetNrOfEntries(), 2u);
    unsigned pos = 0;
    EXPECT_EQ(list.n_Search("car", &pos), 8u);
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(list.n_Search("cat", &pos), 7u);
    EXPECT_EQ(list.n_Search("ca", &pos), kNone);
    EXPECT_EQ(pos, 2u);
    EXPECT_EQ(list.n_Search("cats", &pos), kNone);  // stops at the leaf of cat
    EXPECT_EQ(pos, 3u);
    EXPECT_EQ(list.n_Search("cow", &pos), kNone);  // no alternative after the a
    EXPECT_EQ(pos, 0u);
    EXPECT_EQ(list.n_Search("dog", &pos), kNone);  // end of the top-level chain
    EXPECT_EQ(pos, 0u);
    // The alternative created later is listed first.
    EXPECT_EQ(Listing(list), (std::vector<std::pair<std::string, unsigned>>{{"car", 8}, {"cat", 7}}));

    // Adding a stored word again changes nothing.
    std::vector<unsigned char> before = Image(list);
    EXPECT_FALSE(list.b_Add("car", 99));
    EXPECT_EQ(Image(list), before);
    EXPECT_EQ(list.n_Search("car", nullptr), 8u);
    EXPECT_EQ(list.n_GetNrOfEntries(), 2u);
}

// Streams worked out by hand, each after its words were added in order:
// every word is then found with its handle and listed.
TEST(CompList, HandWorkedStreams) {
    struct Case {
        std::vector<std::pair<char const*, unsigned>> words;
        std::vector<unsigned char> stream;
    };
    Case const cases[] = {
        // ca inside cat/car: a continued word end before the t; the link
        // behind the insertion point moves with its target, keeping its offset.
        {{{"cat", 7}, {"car", 8}, {"ca", 9}}, {'c', 'a', 10, 9, 't', 13, 5, 0, 26, 7, 'r', 26, 8, 25}},
        // cats after cat: the leaf becomes a continued end, s follows its handle.
        {{{"cat", 7}, {"cats", 3}}, {'c', 'a', 't', 10, 7, 's', 26, 3, 25}},
        // A word that ends on the first character of an alternative (b and
        // a share the top-level chain; a ends right after its link).
        {{{"ab", 1}, {"b", 2}, {"a", 3}}, {'a', 13, 8, 0, 10, 3, 'b', 26, 1, 'b', 26, 2, 25}},
        // dog parts from the c at the top level: a link right after the c.
        {{{"cat", 7}, {"car", 8}, {"dog", 5}},
         {'c', 13, 13, 0, 'a', 't', 13, 5, 0, 26, 7, 'r', 26, 8, 'd', 'o', 'g', 26, 5, 25}},
        // cats goes in at 143, the very target of the second link: both
        // links span the insertion point and grow by the three bytes.
        {{{"cat", 7}, {"car", 8}, {"dog", 5}, {"cats", 4}},
         {'c', 13, 16, 0, 'a', 't', 13, 8, 0, 10, 7, 's', 26, 4, 'r', 26, 8, 'd', 'o', 'g', 26, 5, 25}},
    };
    for (Case const& c : cases) {
        CT_CompList list = ByteList();
        for (auto const& [word, handle] : c.words) EXPECT_TRUE(list.b_Add(word, handle)) << word;
        EXPECT_EQ(Stream(list), c.stream) << c.words.back().first;
        std::vector<std::pair<std::string, unsigned>> expected(c.words.begin(), c.words.end()), listed = Listing(list);
        for (auto const& [word, handle] : expected) EXPECT_EQ(list.n_Search(word.c_str(), nullptr), handle) << word;
        std::sort(expected.begin(), expected.end());
        std::sort(listed.begin(), listed.end());
        EXPECT_EQ(listed, expected);
    }

    // The jump entry of d moves with the insertion, that of c not.
    CT_CompList list = ByteList();
    for (auto const& [word, handle] : cases[3].words) list.b_Add(word, handle);
    EXPECT_EQ(Jump(list, 'd'), 146u);
    list.b_Add("cats", 4);
    EXPECT_EQ(Jump(list, 'c'), 132u);
    EXPECT_EQ(Jump(list, 'd'), 149u);
    // Words beginning with anything but a to z walk the top-level chain.
    char const* const others[] = {"Zebra", "42", "Zero"};
    for (unsigned k = 0; k < 3; ++k) EXPECT_TRUE(list.b_Add(others[k], 20 + k)) << others[k];
    for (unsigned k = 0; k < 3; ++k) EXPECT_EQ(list.n_Search(others[k], nullptr), 20 + k) << others[k];
    EXPECT_EQ(list.n_Search("dog", nullptr), 5u);
    EXPECT_EQ(Field(list, 16 + 4 * 25), 0u);  // no jump entry for z
}

TEST(CompList, EmptyWord) {
    CT_CompList without = ByteList();
    unsigned pos = 5;
    EXPECT_EQ(without.n_Search("", &pos), kNone);
    EXPECT_EQ(pos, 0u);
    EXPECT_FALSE(without.b_Add("", 3));
    EXPECT_EQ(without.n_GetNrOfEntries(), 0u);
    CT_CString empty;
    EXPECT_FALSE(without.b_Add(&empty, 3));

    CT_CompList with = ByteList(2, 1);
    EXPECT_EQ(with.n_Search("", nullptr), kNone);
    EXPECT_TRUE(with.b_Add(&empty, 300));
    EXPECT_EQ(with.n_Search("", &pos), 300u);
    EXPECT_EQ(pos, 0u);
    EXPECT_TRUE(with.b_Add("", 301));  // replaces the handle, counts again
    EXPECT_EQ(with.n_Search(&empty, nullptr), 301u);
    EXPECT_EQ(with.n_GetNrOfEntries(), 2u);
    EXPECT_TRUE(with.b_IsEmpty());  // the stream holds the end marker alone
    EXPECT_FALSE(with.b_IsChanged());
    EXPECT_EQ(Listing(with).size(), 0u);  // not listed
}

TEST(CompList, WiderElementsHandlesAndOffsets) {
    // es 2, hs 4, long offsets: cat then car, every number in host order.
    CT_CompList list(CT_CompList::e_Word, 4, 0, 1, 0, 0);
    EXPECT_TRUE(list.b_Add(W(u"cat"), 0x01020304));
    EXPECT_TRUE(list.b_Add(W(u"car"), 0x0A0B0C0D));
    auto bytes = [](auto v) {
        unsigned char b[sizeof v];
        std::memcpy(b, &v, sizeof v);
        return std::vector<unsigned char>(b, b + sizeof v);
    };
    auto u16 = [&](unsigned v) { return bytes(static_cast<std::uint16_t>(v)); };
    auto u32 = [&](unsigned v) { return bytes(static_cast<std::uint32_t>(v)); };
    std::vector<unsigned char> expected;
    for (auto part : {u16('c'), u16('a'), u16('t'), u16(13), u32(6 + 2 + 4), u16(26), u32(0x01020304), u16('r'),
                      u16(26), u32(0x0A0B0C0D), u16(25)})
        expected.insert(expected.end(), part.begin(), part.end());
    EXPECT_EQ(Stream(list), expected);
    EXPECT_EQ(list.n_Search(W(u"car"), nullptr), 0x0A0B0C0Du);
    CT_UString cat(W(u"cat"), ~0u);
    EXPECT_EQ(list.n_Search(&cat, nullptr), 0x01020304u);
    CT_UCompListIterator it(&list);
    CT_UString word;
    unsigned handle = 0;
    ASSERT_TRUE(it.b_GetNext(&word, &handle));
    EXPECT_EQ(StringTesting::Text(word), u"car");
    // A narrow output string is set from the wide collected word.
    CT_CString narrow;
    ASSERT_TRUE(it.b_GetNext(&narrow, &handle));
    EXPECT_STREQ(narrow.qccz_Get(), "cat");
    EXPECT_EQ(handle, 0x01020304u);
    EXPECT_FALSE(it.b_GetNext(&word, &handle));

    // es 4 with handle size 2: a wider handle is stored cut to its low bytes.
    CT_CompList dwords(CT_CompList::e_DWord, 2, 0, 0, 0, 0);
    std::uint32_t word4[] = {0x10000 + 'x', 'y', 0};
    EXPECT_TRUE(dwords.b_Add(reinterpret_cast<char const*>(word4), 0x12345));
    EXPECT_EQ(dwords.n_Search(reinterpret_cast<char const*>(word4), nullptr), 0x2345u);
    EXPECT_EQ(dwords.n_GetEnd(), 132u + 4 * 3 + 2 + 4);
}

TEST(CompList, ShortOffsetThatWouldOverflowIsRefused) {
    // "a" followed by L z's; adding b puts a link of L + 5 bytes after the a.
    unsigned const L = 65529;
    std::string longWord = "a" + std::string(L, 'z');
    CT_CompList list = ByteList();
    ASSERT_TRUE(list.b_Add(longWord.c_str(), 1));
    ASSERT_TRUE(list.b_Add("b", 2));
    std::vector<unsigned char> image = Image(list);
    EXPECT_EQ(image[133], 13);
    EXPECT_EQ(image[134] | image[135] << 8, 65534);
    // ay needs a link inside the a branch: 3 more bytes under the first link.
    EXPECT_FALSE(list.b_Add("ay", 3));
    EXPECT_EQ(Image(list), image);
    EXPECT_EQ(list.n_GetNrOfEntries(), 2u);
    // A new top-level alternative after b is short enough.
    EXPECT_TRUE(list.b_Add("c", 4));
    // One more past the end of the longest reach.
    std::string far = "a" + std::string(L + 2, 'z');  // a link of 65536
    CT_CompList big = ByteList();
    big.b_Add(far.c_str(), 1);
    image = Image(big);
    EXPECT_FALSE(big.b_Add("b", 2));
    EXPECT_EQ(Image(big), image);
    EXPECT_FALSE(big.b_Search("b"));
    // With long offsets nothing is refused.
    CT_CompList wide = ByteList(1, 0, 1);
    wide.b_Add(far.c_str(), 1);
    EXPECT_TRUE(wide.b_Add("b", 2));
    EXPECT_TRUE(wide.b_Add("ay", 3));
    EXPECT_EQ(wide.n_Search("ay", nullptr), 3u);
    EXPECT_EQ(wide.n_Search(far.c_str(), nullptr), 1u);
}

// The insertion rules written out plainly (the repair walks the stream
// before the insertion point): the library's image must be the same.
struct PlainList {
    std::vector<unsigned char> s = std::vector<unsigned char>(132, 0);
    unsigned hs = 4;
    PlainList() {
        s.push_back(25);
    }
    unsigned jumps[26] = {};
    unsigned get(unsigned at, unsigned w) const {
        unsigned v = 0;
        std::memcpy(&v, &s[at], w);
        return v;
    }
    void put(unsigned at, unsigned w, unsigned v) { std::memcpy(&s[at], &v, w); }
    void insert(unsigned at, std::vector<unsigned char> const& bytes) {
        for (unsigned q = 132; q < at;) {
            unsigned e = s[q];
            if (e == 10 || e == 26) {
                q += 1 + hs;
            } else if (e == 13) {
                unsigned off = get(q + 1, 2);
                if (q + off >= at) put(q + 1, 2, off + unsigned(bytes.size()));
                q += 3;
            } else {
                q += 1;
            }
        }
        for (unsigned& j : jumps)
            if (j >= at) j += unsigned(bytes.size());
        s.insert(s.begin() + at, bytes.begin(), bytes.end());
    }
    std::vector<unsigned char> tail(std::string const& w, unsigned i, unsigned h) {
        std::vector<unsigned char> b(w.begin() + i, w.end());
        b.push_back(26);
        for (unsigned k = 0; k < hs; ++k) b.push_back(static_cast<unsigned char>(h >> (8 * k)));
        return b;
    }
    void add(std::string const& w, unsigned h) {
        unsigned p = 132, i = 0;
        if (w[0] >= 'a' && w[0] <= 'z' && jumps[w[0] - 'a']) p = jumps[w[0] - 'a'];
        for (;;) {
            unsigned e = s[p];
            if (i == w.size()) {
                if (e == 13) e = s[p += 3];
                if (e == 10 || e == 26) return;
                std::vector<unsigned char> b{10};
                for (unsigned k = 0; k < hs; ++k) b.push_back(static_cast<unsigned char>(h >> (8 * k)));
                insert(p, b);
                return;
            }
            if (e == static_cast<unsigned char>(w[i]) && e != 25) {
                ++p, ++i;
            } else if (e == 10) {
                p += 1 + hs;
            } else if (e == 13) {
                p += 3;
            } else if (e == 25 || e == 26) {
                unsigned at = p;
                if (e == 26) s[p] = 10, at = p + 1 + hs;
                insert(at, tail(w, i, h));
                if (e == 25 && i == 0 && w[0] >= 'a' && w[0] <= 'z') jumps[w[0] - 'a'] = at;
                return;
            } else {
                ++p;
                if (s[p] == 13) {
                    p += get(p + 1, 2);
                    continue;
                }
                insert(p, {13, 0, 0});
                unsigned at = unsigned(s.size()) - 1;
                insert(at, tail(w, i, h));
                put(p + 1, 2, at - p);
                if (i == 0 && w[0] >= 'a' && w[0] <= 'z') jumps[w[0] - 'a'] = at;
                return;
            }
        }
    }
};

std::string RandomWord(std::mt19937& rng) {
    // Few letters and short words: many shared beginnings and prefixes.
    std::uniform_int_distribution<int> length(1, 6), letter(0, 5), upper(0, 9);
    std::string word;
    int n = length(rng);
    for (int i = 0; i < n; ++i) word.push_back(static_cast<char>((upper(rng) == 0 ? 'A' : 'a') + letter(rng)));
    return word;
}

TEST(CompList, ImageMatchesThePlainRulesAndIterationListsEveryWord) {
    std::mt19937 rng(20261206);
    for (int round = 0; round < 20; ++round) {
        CT_CompList list = ByteList(4);
        PlainList plain;
        std::map<std::string, unsigned> expected;
        for (unsigned h = 0; h < 300; ++h) {
            std::string word = RandomWord(rng);
            bool isNew = expected.emplace(word, h).second;
            EXPECT_EQ(list.b_Add(word.c_str(), h), isNew ? 1 : 0);
            plain.add(word, h);
        }
        std::vector<unsigned char> stream = Stream(list);
        ASSERT_EQ(stream, std::vector<unsigned char>(plain.s.begin() + 132, plain.s.end())) << round;
        for (int i = 0; i < 26; ++i) EXPECT_EQ(Jump(list, char('a' + i)), plain.jumps[i]);
        EXPECT_EQ(list.n_GetNrOfEntries(), expected.size());
        for (auto const& [word, handle] : expected) EXPECT_EQ(list.n_Search(word.c_str(), nullptr), handle) << word;
        std::map<std::string, unsigned> listed;
        std::vector<std::pair<std::string, unsigned>> order = Listing(list);
        for (auto const& entry : order) EXPECT_TRUE(listed.insert(entry).second) << entry.first;
        EXPECT_EQ(listed, expected);
        // A word that longer listed words continue comes before them.
        for (std::size_t k = 0; k < order.size(); ++k)
            for (std::size_t later = 0; later < k; ++later)
                EXPECT_NE(order[later].first.rfind(order[k].first, 0) == 0 && order[later].first != order[k].first,
                          true)
                    << order[k].first << " after " << order[later].first;
    }
}

TEST(CompList, RebuiltFromBufferAndCopies) {
    CT_CompList list = ByteList(2);
    std::vector<std::string> words = {"apple", "apply", "ape", "banana", "band", "Bandit", "b", "apples"};
    for (unsigned h = 0; h < words.size(); ++h) list.b_Add(words[h].c_str(), h + 100);

    CT_CompList rebuilt(list.pcco_GetBuffer());
    EXPECT_FALSE(rebuilt.b_IsChanged());
    EXPECT_EQ(rebuilt.pcco_GetBuffer()->qcv_Get(), list.pcco_GetBuffer()->qcv_Get());  // shared
    EXPECT_EQ(rebuilt.n_GetNrOfEntries(), words.size());
    EXPECT_EQ(rebuilt.n_GetCodePage(), 1252u);
    for (char const* probe : {"apple", "apply", "ape", "banana", "band", "Bandit", "b", "apples", "ap", "bandits", "",
                              "c", "B", "applez"}) {
        unsigned pos1 = 0, pos2 = 0;
        EXPECT_EQ(rebuilt.n_Search(probe, &pos1), list.n_Search(probe, &pos2)) << probe;
        EXPECT_EQ(pos1, pos2) << probe;
    }
    EXPECT_EQ(Listing(rebuilt), Listing(list));

    // A list taken from a buffer grows by at least 128 bytes, whatever the
    // buffer's own growth; the buffer keeps its growth, and a larger one
    // stays as it is.
    {
        CT_Buffer small(list.pcco_GetBuffer());
        small.v_SetGrowth(8);
        CT_CompList fromSmall(&small);
        EXPECT_EQ(fromSmall.pcco_GetBuffer()->n_GetGrowth(), 128u);
        EXPECT_EQ(small.n_GetGrowth(), 8u);
        fromSmall.v_Set(&small);
        EXPECT_EQ(fromSmall.pcco_GetBuffer()->n_GetGrowth(), 128u);
        small.v_SetGrowth(500);
        EXPECT_EQ(CT_CompList(&small).pcco_GetBuffer()->n_GetGrowth(), 500u);
    }

    // Adding to the rebuilt list and to the original alike gives one image,
    // the same as a list built with every word at once; the original's
    // shared image is not touched by the other's addition.
    std::vector<unsigned char> original = Image(list);
    std::vector<std::string> more = {"apt", "bandana", "a", "cab", "ba"};
    for (unsigned h = 0; h < more.size(); ++h) EXPECT_TRUE(rebuilt.b_Add(more[h].c_str(), h));
    EXPECT_EQ(Image(list), original);
    EXPECT_TRUE(rebuilt.b_IsChanged());
    CT_CompList whole = ByteList(2);
    for (unsigned h = 0; h < words.size(); ++h) whole.b_Add(words[h].c_str(), h + 100);
    for (unsigned h = 0; h < more.size(); ++h) whole.b_Add(more[h].c_str(), h);
    EXPECT_EQ(Image(rebuilt), Image(whole));

    CT_CompList copy(list);
    CT_CompList assigned = ByteList();
    assigned = list;
    EXPECT_EQ(list.pcco_GetBuffer()->n_GetUseCount(), 3u);
    EXPECT_TRUE(assigned.b_Add("zebra", 1));
    EXPECT_EQ(Image(list), original);
    EXPECT_EQ(Image(copy), original);
    EXPECT_TRUE(assigned.b_Search("zebra"));
    EXPECT_FALSE(copy.b_Search("zebra"));

    // v_Set starts again with an empty image.
    assigned.v_Set(CT_CompList::e_Word, 1, 0, 0, 0, 0);
    EXPECT_TRUE(assigned.b_IsEmpty());
    EXPECT_EQ(assigned.n_GetEnd(), 134u);
}

TEST(CompList, DamagedImagesAreHandledSafely) {
    CT_CompList good = ByteList();
    good.b_Add("cat", 7);
    good.b_Add("car", 8);
    good.b_Add("dog", 9);
    std::vector<unsigned char> image = Image(good);

    auto check = [](std::vector<unsigned char> const& bytes) {
        CT_Buffer buffer(bytes.data(), unsigned(bytes.size()), 32);
        CT_CompList list(&buffer);
        list.n_Search("cat", nullptr);
        list.n_Search("dog", nullptr);
        list.n_Search("Q", nullptr);
        CT_CCompListIterator it(&list);
        CT_CString word;
        unsigned handle;
        for (int n = 0; n < 1000 && it.b_GetNext(&word, &handle); ++n) {
        }
        list.b_Add("cow", 1);
        list.b_Add("cab", 2);
        list.b_Add("Zz", 3);
        list.b_Add("catalog", 4);
        it.vv_Set(&list);
        for (int n = 0; n < 1000 && it.b_GetNext(&word, &handle); ++n) {
        }
        return list.n_Search("cow", nullptr);
    };
    // Too short, no image at all, a bad element size, an end beyond the
    // buffer, a link that points back, a link beyond the end, a jump entry
    // outside the image, a stream without an end marker.
    check({});
    check(std::vector<unsigned char>(image.begin(), image.begin() + 100));
    void (*const damages[])(std::vector<unsigned char>&) = {
        [](std::vector<unsigned char>& bad) { bad[4] = 0xFF; },
        [](std::vector<unsigned char>& bad) { bad[136] = 0xF0, bad[137] = 0xFF; },  // the link at 135 points far back
        [](std::vector<unsigned char>& bad) { bad[136] = 0, bad[137] = 0; },        // a link of 0 would loop
        [](std::vector<unsigned char>& bad) { bad[136] = 200; },
        [](std::vector<unsigned char>& bad) { bad[16 + 2 * 4] = 0xFF; },  // the jump entry of c
        [](std::vector<unsigned char>& bad) { bad.pop_back(), bad[4] = static_cast<unsigned char>(bad.size()); },
        [](std::vector<unsigned char>& bad) { std::fill(bad.begin() + 132, bad.end(), 13); },
    };
    for (auto damage : damages) {
        std::vector<unsigned char> bad = image;
        damage(bad);
        check(bad);
    }
    std::vector<unsigned char> bad = image;
    bad[125] = 3;
    EXPECT_EQ(check(bad), kNone);
    bad = image;
    bad[4] = bad[5] = bad[6] = bad[7] = 0xFF;  // an end that would wrap when grown
    {
        CT_Buffer buffer(bad.data(), unsigned(bad.size()), 32);
        CT_CompList list(&buffer);
        EXPECT_EQ(list.n_Search("dog", nullptr), 9u);  // read up to the buffer's end
        EXPECT_FALSE(list.b_Add("cow", 1));
        EXPECT_FALSE(list.b_IsChanged());
    }
    // The sound image still works after all of that (it was never shared
    // for writing).
    EXPECT_EQ(good.n_Search("dog", nullptr), 9u);
}

TEST(CompListIterator, RestartsAndSwitchesLists) {
    CT_CompList first = ByteList();
    first.b_Add("one", 1);
    first.b_Add("two", 2);
    CT_CompList second = ByteList();
    second.b_Add("three", 3);
    CT_CCompListIterator it(&first);
    CT_CString word;
    unsigned handle = 0;
    ASSERT_TRUE(it.b_GetNext(&word, &handle));
    EXPECT_STREQ(word.qccz_Get(), "two");
    it.vv_Set(&second);
    ASSERT_TRUE(it.b_GetNext(&word, nullptr));
    EXPECT_STREQ(word.qccz_Get(), "three");
    EXPECT_STREQ(static_cast<CT_CString const*>(it.vpcco_GetCollectedString())->qccz_Get(), "three");
    EXPECT_FALSE(it.b_GetNext(&word, &handle));
    EXPECT_FALSE(it.b_GetNext(&word, &handle));
    it.vv_Set(&first);
    std::vector<std::string> seen;
    while (it.b_GetNext(&word, nullptr)) seen.push_back(word.qccz_Get());
    EXPECT_EQ(seen, (std::vector<std::string>{"two", "one"}));
    // The wide iterator gives wide words from a byte list (code page 0 text).
    CT_UCompListIterator wide(&second);
    CT_UString uword;
    ASSERT_TRUE(wide.b_GetNext(&uword, &handle));
    EXPECT_EQ(StringTesting::Text(uword), u"three");
    EXPECT_EQ(handle, 3u);
}

}  // namespace
