// `basis wordlist build`: an index image of a word list made in one pass.
//
// Adding a word to a compressed list inserts into the middle of its image
// and shifts the rest, so a large list built word by word from unsorted
// input costs time in proportion to the square of its size. The image the
// list ends with depends only on the words and on the order in which each
// branching point met its alternatives (a chain of alternatives keeps the
// order of their creation, and each new alternative starts at the end of
// the stream), so it can be laid out in one pass from a trie that keeps
// that order. The result is the very image that adding the same words one
// by one in the same order gives.
#pragma once

#include <vector>

#include "Foundation/Basis.h"

class CT_WordlistIndex {
public:
    // Element size 1 (narrow words) or 2 (wide words); 4-byte handles,
    // 2-byte links, no empty word, code page 0: the word lists' indexes.
    explicit CT_WordlistIndex(unsigned elementSize) : n_ElementSize(elementSize) {}

    // Adds a word of count elements (no terminator) with its handle. A word
    // already present keeps its first handle, as in the list.
    void v_Add(void const* word, unsigned count, unsigned handle);

    // The image; false when one pass cannot give the image that adding the
    // words one by one gives: an empty word, an element that the stream
    // uses as a marker, or a link longer than 2 bytes reach (the list would
    // have refused some words, and only adding them one by one says which).
    bool b_Build(CT_Buffer* image) const;

private:
    struct st_Node {
        unsigned n_Element;
        unsigned n_FirstChild;  // 0: none (node 0 is the root)
        unsigned n_LastChild;
        unsigned n_NextSibling;
        unsigned n_Handle;
        bool b_End;
    };

    unsigned n_ElementSize;
    bool b_Unsupported = false;
    std::vector<st_Node> ao_Nodes{st_Node{0, 0, 0, 0, 0, false}};
    // The nodes that began a stretch of the stream, in the order they were
    // created: the first word's first node, then each new alternative.
    std::vector<unsigned> an_Stretches;
    unsigned n_Entries = 0;
};

