// The tour's trees stop: the character trie, the alpha tree, a token
// pattern, and case mapping over a whole wide string.
#include <cstdio>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

void v_PrintKey(void* key, void* data) {
    std::printf("    %-10s -> %d\n", static_cast<char*>(key), *static_cast<int*>(data));
}

char const* qccz_Result(CT_Pattern::et_Result result) {
    static char const* const names[] = {"is contained in", "contains", "is the same as", "is apart from"};
    return names[result];
}

}  // namespace

int i_TourTrees() {
    v_TourHeading("Tries, the alpha tree and patterns");
    int failures = 0;

    std::printf("A trie of ints; keys print in order of arrival, each before its longer keys:\n");
    CT_VoidTree trie(sizeof(int));
    char const* keys[] = {"tree", "trie", "tries", "try", "a"};
    for (int i = 0; i < 5; ++i) trie.v_Add(keys[i], &i);
    trie.v_SetDebugPrint(&v_PrintKey);
    trie.v_DebugPrint(CT_VoidTree::e_Narrow);
    int found = -1;
    unsigned short const wideKey[] = {'t', 'r', 'i', 'e', 's', 0};
    int hit = trie.b_Search(wideKey, &found);
    std::printf("  wide key \"tries\" finds the narrow one: %s (%d)\n", hit ? "yes" : "no", found);
    failures += !hit || found != 2;
    int removed = trie.b_Remove("trie");
    std::printf("  remove \"trie\" (a prefix of \"tries\"): %d; entries now %u\n", removed, trie.n_Entries());
    failures += !removed || trie.n_Entries() != 4;
    failures += trie.b_Search("tries", &found) ? 0 : 1;

    std::printf("\nAn alpha tree of words and values:\n");
    CT_AlphaTree words;
    words.v_Add("cat", 1);
    words.v_Add("car", 2);
    words.v_Add("cart", 3);
    words.v_SetDebugPrint("stdout", "    ", CT_TestOut::e_File);
    words.v_DebugPrint(CT_AlphaTree::e_Narrow);
    std::printf("  \"ca\" is %s stored; \"cart\" is %u\n", words.n_Search("ca") == 0xFFFFFFFF ? "not" : "",
                words.n_Search("cart"));
    words.b_Remove("car");
    std::printf("  after removing \"car\": %u words, \"cart\" still %u\n", words.n_Entries(), words.n_Search("cart"));
    failures += words.n_Search("cart") != 3;

    std::printf("\nA pattern over tokens: 5, any sequence, 9:\n");
    CT_Pattern pattern;
    pattern.v_AddToken(CT_Pattern::e_Literal, 5);
    pattern.v_AddToken(CT_Pattern::e_AnySequence, 0);
    pattern.v_AddToken(CT_Pattern::e_Literal, 9);
    pattern.v_DoMatch();
    unsigned const tokens[] = {5, 7, 9, 9, 8};
    std::printf("  ");
    for (unsigned t : tokens) std::printf("%u:%s  ", t, pattern.b_IsMatch(t) ? "match" : "-");
    std::printf("\n");
    CT_Pattern open;
    open.v_AddToken(CT_Pattern::e_Literal, 5);
    open.v_AddToken(CT_Pattern::e_AnySequence, 0);
    CT_Pattern::et_Result result = open.et_Compare(&pattern);
    std::printf("  compared with 5, any sequence, 9, the pattern 5, any sequence %s it\n", qccz_Result(result));
    failures += result != CT_Pattern::e_Contains;

    std::printf("\nMapping a whole wide string (a surrogate pair passes unchanged):\n");
    unsigned short const text[] = {'a', 0x00E9, 0xD835, 0xDC1A, 'z', 0};
    CT_UString s(text, ~0u);
    CT_CharMappings::sv_ToUpper(&s);
    std::printf("  ");
    for (unsigned i = 0; i < s.n_GetLength(); ++i) std::printf("U+%04X ", s.qcuz_Get()[i]);
    std::printf("\n");
    failures += s.qcuz_Get()[0] != 'A' || s.qcuz_Get()[3] != 0xDC1A;

    if (failures) std::printf("  %d check(s) failed\n", failures);
    return failures;
}
