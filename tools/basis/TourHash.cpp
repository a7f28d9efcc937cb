// The tour's hashing stop: the text hash worked step by step, a hash table
// growing as its collisions pile up, and a symbol table handing out ids.
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

// ASCII text as the library's wide units (the tour's samples are ASCII).
struct st_Wide {
    explicit st_Wide(char const* text) {
        unsigned i = 0;
        for (; text[i] && i < 63; ++i) au_Units[i] = static_cast<unsigned char>(text[i]);
        au_Units[i] = 0;
    }
    unsigned short au_Units[64];
};

void v_PrintWide(unsigned short const* text) {
    for (; *text; ++text) std::putchar(*text < 0x80 ? *text : '?');
}

int i_ShowTextHash() {
    std::printf("The text hash (h = h*16 + c, top four bits folded back), bucket = h mod n + 1:\n");
    char const* text = "ABCDEFGHI";
    std::uint32_t h = 0;
    for (char const* p = text; *p; ++p) {
        std::uint32_t before = (h << 4) + static_cast<unsigned char>(*p);
        h = (before & 0x0FFFFFFFu) ^ ((before >> 24) & 0xF0u);
        std::printf("  '%c'  %08X -> %08X%s\n", *p, static_cast<unsigned>(before), static_cast<unsigned>(h),
                    before == h ? "" : "  (folded)");
    }
    unsigned bucket = CT_HashFunction::sn_HashCaseQCZ(text, 1000);
    std::printf("  sn_HashCaseQCZ(\"%s\", 1000) = %u (by hand: %u)\n", text, bucket, h % 1000 + 1);
    std::printf("  sn_HashNoCaseQCZ(\"abcdefghi\", 1000) = %u\n", CT_HashFunction::sn_HashNoCaseQCZ("abcdefghi", 1000));
    unsigned short const wide[] = {0xE9, 0};
    std::printf("  the narrow byte E9 enters as -23: bucket %u; the wide unit E9 as 233: bucket %u (n = 1000)\n",
                CT_HashFunction::sn_HashCaseQCZ("\xE9", 1000), CT_HashFunction::sn_HashCaseQUZ(wide, 1000));
    return bucket == h % 1000 + 1 ? 0 : 1;
}

int i_ShowHashTable() {
    std::printf("\nA hash table of 13 buckets, 32-bit keys 1, 14, 27, 40 and 53 (all in bucket 2):\n");
    CT_HashTable<std::uint32_t, std::uint32_t> table(&CT_VoidHashTable::sn_HashInteger,
                                                      &CT_VoidHashTable::si_CompareInteger, 13);
    for (std::uint32_t key : {1u, 14u, 27u, 40u, 53u}) {
        table.b_Insert(key, key * 100);
        std::printf("  insert %2u: %u items, %u collisions, %u buckets\n", static_cast<unsigned>(key),
                    table.n_GetCount(), table.n_GetCollisions(), table.n_GetTableSize());
    }
    std::printf("  walk (bucket order, newest first in a bucket):");
    CT_VoidHashIterator it(&table);
    while (it.b_Next()) {
        std::uint32_t key, data;
        it.v_GetKey(&key);
        it.v_Get(&data);
        std::printf(" %u=%u", static_cast<unsigned>(key), static_cast<unsigned>(data));
    }
    std::printf("\n");
    std::uint32_t data = 0;
    int found = table.b_Get(40u, &data);
    std::uint32_t none = 1;
    int absent = table.b_Get(41u, &none);
    std::printf("  b_Get(40) = %d, datum %u; b_Get(41) = %d, datum zero-filled: %u\n", found,
                static_cast<unsigned>(data), absent, static_cast<unsigned>(none));
    return table.n_GetTableSize() == 29 && found ? 0 : 1;
}

int i_ShowSymbolTable() {
    std::printf("\nA symbol table (not case-sensitive):\n");
    CT_SymbolTable symbols;
    for (char const* name : {"Source", "Target", "Lexicon"})
        symbols.b_Take(new CT_Symbol(st_Wide(name).au_Units, CT_Symbol::e_NoId));
    symbols.b_Take(new CT_Symbol(st_Wide("Glossary").au_Units, 10));
    CT_Symbol* next = new CT_Symbol(st_Wide("Index").au_Units, CT_Symbol::e_NoId);
    symbols.b_Take(next);
    CT_HashIterator<unsigned short*, CT_Symbol*>* it = symbols.pco_GiveIterator();
    while (it->vb_Next()) {
        CT_Symbol* symbol = it->vpco_Get();
        std::printf("  %2u  ", static_cast<unsigned>(symbol->n4_GetId()));
        v_PrintWide(symbol->pcco_GetName()->qcuz_Get());
        std::printf("\n");
    }
    delete it;
    CT_Symbol* found = symbols.pco_Get(st_Wide("LEXICON").au_Units);
    std::printf("  pco_Get(\"LEXICON\") finds id %u; pco_Get(10) finds ",
                found ? static_cast<unsigned>(found->n4_GetId()) : 0u);
    v_PrintWide(symbols.pco_Get(10u)->pcco_GetName()->qcuz_Get());
    std::printf("; \"Index\" was given id %u\n", static_cast<unsigned>(next->n4_GetId()));
    return found != nullptr && next->n4_GetId() == 11 ? 0 : 1;
}

}  // namespace

int i_TourHash() {
    v_TourHeading("Hashing: the text hash, hash tables, symbols");
    int failures = i_ShowTextHash();
    failures += i_ShowHashTable();
    failures += i_ShowSymbolTable();
    return failures;
}
