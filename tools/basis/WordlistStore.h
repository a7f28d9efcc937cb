// `basis wordlist`: the bilingual word list as the command keeps it in hand,
// whether just built from a pairs file or loaded from a saved file: the
// two texts, the pair count and the two index images. Lookups go through
// compressed lists taken from the index images as they are stored.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"

// Words of a list built from UTF-8 are wide; from a code page, narrow.
enum et_WordlistKind : unsigned { e_NarrowWords = 1, e_WideWords = 2 };

struct st_WordlistView {
    unsigned n_Kind = e_WideWords;
    unsigned n_CodePage = 65001;
    unsigned n_Count = 0;
    CT_Buffer co_SourceTexts;
    CT_Buffer co_TargetTexts;
    CT_CompList co_SourceIndex{CT_CompList::e_Word, 4, 0, 0, 128, 0};
    CT_CompList co_TargetIndex{CT_CompList::e_Word, 4, 0, 0, 128, 0};

    void v_Take(CT_BiLingualCWordList const& list, unsigned codePage);
    void v_Take(CT_BiLingualUWordList const& list);
    unsigned n_Unit() const { return n_Kind == e_WideWords ? 2 : 1; }
};

// Saved file: "BWL1", kind, code page, count (32-bit little-endian), then
// the source texts, target texts, source index and target index, each as a
// 32-bit length and its bytes. False with a message on failure.
bool b_SaveWordlist(st_WordlistView const& view, char const* path, std::string* error);
bool b_LoadWordlist(st_WordlistView* view, std::string const& bytes, std::string* error);
bool b_IsSavedWordlist(std::string const& bytes);

// Whole files in and out of memory.
bool b_ReadWholeFile(char const* path, std::string* bytes, std::string* error);

// A word typed on the command line (UTF-8) as the list's words are kept:
// wide units, or bytes in the list's code page (with a zero terminator).
std::string s_WordForList(st_WordlistView const& view, char const* utf8);
// A word of the list (in its kind and code page) as UTF-8 for output.
std::string s_WordForOutput(st_WordlistView const& view, unsigned char const* word, unsigned units);

// Conversions through the library: narrow text in a code page (65001 is
// UTF-8) to wide units and back.
std::vector<unsigned short> ao_ToWide(char const* text, unsigned count, unsigned codePage);
std::string s_FromWide(unsigned short const* units, unsigned count, unsigned codePage);

// The partner of a word through an index, as a pointer into the other texts
// with its length in units; false when the word is not indexed (or its
// handle does not lead to a whole word inside the texts).
bool b_FindPartner(st_WordlistView const& view, bool fromSource, std::string const& word,
                   unsigned char const** partner, unsigned* units);
