// The tour's word-list stop: a compressed list's image as words go in, a
// bilingual list built from sample pairs, lookups both ways and the pairs
// in insertion order.
#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"
#include "tools/basis/WordlistIndex.h"

namespace {

// The stream of a byte list: characters as themselves, markers and numbers
// in brackets.
void v_ShowStream(char const* label, CT_CompList const& list) {
    auto const* image = static_cast<unsigned char const*>(list.pcco_GetBuffer()->qcv_Get());
    std::printf("  %-14s end %3u  ", label, list.n_GetEnd());
    for (unsigned at = CT_CompList::e_StreamStart; at < list.n_GetEnd(); ++at) {
        unsigned char c = image[at];
        if (c >= 'a' && c <= 'z')
            std::printf("%c ", c);
        else
            std::printf("[%u] ", c);
    }
    std::printf("\n");
}

struct st_Pair {
    char const* qccz_Source;
    char const* qccz_Target;
};

st_Pair const aso_Pairs[] = {
    {"dog", "Hund"}, {"cat", "Katze"}, {"house", "Haus"}, {"horse", "Pferd"},
    {"hose", "Schlauch"}, {"car", "Auto"}, {"dog", "Ruede"},
};

}  // namespace

int i_TourWordlist() {
    v_TourHeading("Word lists");
    std::printf("A compressed list (elements, handles 1 byte; [10]/[26] word ends, [13] links, [25] end):\n");
    CT_CompList list(CT_CompList::e_Byte, 1, 0, 0, 0, 1252);
    v_ShowStream("(empty)", list);
    char const* words[] = {"cat", "car", "ca", "cats"};
    unsigned handles[] = {7, 8, 9, 3};
    for (unsigned k = 0; k < 4; ++k) {
        char const* word = words[k];
        list.b_Add(word, handles[k]);
        char label[32];
        std::snprintf(label, sizeof label, "+ %s", word);
        v_ShowStream(label, list);
    }
    std::printf("  listed:");
    CT_CCompListIterator listed(&list);
    CT_CString word;
    unsigned found = 0;
    while (listed.b_GetNext(&word, &found)) std::printf(" %s=%u", word.qccz_Get(), found);
    unsigned pos = 0;
    unsigned miss = list.n_Search("cab", &pos);
    std::printf("\n  search cab: %s, matched %u characters\n", miss == CT_CompList::e_NotFound ? "not stored" : "?", pos);
    CT_CompList rebuilt(list.pcco_GetBuffer());
    std::printf("  rebuilt from the image: cats=%u\n", rebuilt.n_Search("cats", nullptr));

    std::printf("\nA bilingual list (source, target), looked up both ways:\n");
    CT_BiLingualCWordList pairs;
    for (st_Pair const& pair : aso_Pairs) pairs.v_Insert(pair.qccz_Source, pair.qccz_Target);
    int failures = 0;
    for (char const* source : {"dog", "horse", "hose", "cow"}) {
        char const* target = pairs.qccz_FindSource(source);
        std::printf("  %-6s -> %s\n", source, target ? target : "(none)");
    }
    for (char const* target : {"Auto", "Schlauch", "Ruede", "dog"}) {
        char const* source = pairs.qccz_FindTarget(target);
        std::printf("  %-6s <- %s\n", source ? source : "(none)", target);
    }
    failures += pairs.qccz_FindSource("dog") == nullptr || std::strcmp(pairs.qccz_FindSource("dog"), "Hund") != 0;
    failures += pairs.qccz_FindTarget("Ruede") == nullptr || std::strcmp(pairs.qccz_FindTarget("Ruede"), "dog") != 0;
    std::printf("  %u pairs in insertion order:", pairs.n_GetCount());
    CT_BiCWordListIterator it(&pairs);
    while (it.b_Next()) {
        char* source = nullptr;
        char* target = nullptr;
        it.v_Get(&source, &target);
        std::printf(" %s/%s", source, target);
    }
    std::printf("\n  source index %u bytes, target index %u bytes\n", pairs.pcco_GetSourceIndex()->n_GetEnd(),
                pairs.pcco_GetTargetIndex()->n_GetEnd());
    // An index's links are 2 bytes: how far the longest reaches says how
    // much more the list can take (basis wordlist info shows it too).
    std::printf("  longest links %u and %u bytes, of the 65535 that 2-byte links reach\n",
                n_LongestIndexLink(*pairs.pcco_GetSourceIndex()), n_LongestIndexLink(*pairs.pcco_GetTargetIndex()));
    if (failures) std::printf("  a lookup gave the wrong partner\n");
    return failures ? 1 : 0;
}
