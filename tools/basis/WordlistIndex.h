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

    // Whether b_Build would give an image now. Adding words never shortens
    // a link (they only come between a node and its next alternative, or
    // after the last), so once this is false it stays false.
    bool b_CanBuild() const;

private:
    struct st_Node {
        unsigned n_Element;
        unsigned n_FirstChild;  // 0: none (node 0 is the root)
        unsigned n_LastChild;
        unsigned n_NextSibling;
        unsigned n_Handle;
        bool b_End;
    };

    // Each node's offset in the image and the image's end; false where
    // b_Build gives none.
    bool b_LayOut(std::vector<unsigned>* positions, unsigned long long* end) const;
    // Children are found by (parent, element) in an open-addressed table
    // rather than by walking the chain of alternatives: the chain's nodes
    // lie far apart in memory, and a walk along them waited for memory at
    // every step.
    struct st_ChildSlot {
        unsigned n_Parent;
        unsigned n_Element;
        unsigned n_Child;  // 0: a free slot
    };
    // The slot of parent's child for element: the child's, or the free
    // slot where it goes.
    st_ChildSlot* pso_ChildSlot(unsigned parent, unsigned element);
    void v_GrowChildTable();
    std::vector<st_ChildSlot> ao_ChildTable;
    unsigned n_ChildCount = 0;

    unsigned n_ElementSize;
    bool b_Unsupported = false;
    std::vector<st_Node> ao_Nodes{st_Node{0, 0, 0, 0, 0, false}};
    // The nodes that began a stretch of the stream, in the order they were
    // created: the first word's first node, then each new alternative.
    std::vector<unsigned> an_Stretches;
    unsigned n_Entries = 0;
};


// Adds words to a compressed list with 2-byte links one by one, as b_Add
// does, and keeps the image's links beside it (their positions, in order)
// so that an addition the list certainly refuses, because a link would grow
// past what 2 bytes reach, is told by a search instead of the list's own
// checks, which look at every link behind the insertion point. A list
// that has outgrown its links refuses most new words, and each such
// refusal then costs the list nothing. Whatever is not certain is left to
// the list itself, and the image is the list's own throughout.
class CT_IndexLinks {
public:
    // Adds count elements (zero-terminated) with a handle; whether the list
    // holds the word afterwards.
    bool b_Add(CT_CompList* list, void const* word, unsigned count, unsigned handle);

private:
    struct st_Link {
        unsigned n_Link;    // the link marker's image offset
        unsigned n_Target;  // the alternative it leads to
    };
    struct st_Plan {
        enum et_Kind { e_Unknown, e_Present, e_Insert, e_NewAlternative } e_Kind = e_Unknown;
        unsigned n_At = 0;     // where the bytes go (for a new alternative: its link)
        unsigned n_Count = 0;  // how many (for a new alternative: link and rest)
        unsigned n_NewLink = 0;  // the new link's length
    };
    st_Plan so_Plan(CT_CompList const& list, void const* word, unsigned count) const;
    bool b_Spanned(unsigned at, unsigned count) const;
    void v_Shift(unsigned at, unsigned count);
    void v_Reread(CT_CompList const& list);
    void v_CollectNearlyFull();
    void v_MapRooms() const;

    // Links within this many bytes of the 2-byte limit.
    enum : unsigned { kNearlyFull = 1024 };
    std::vector<st_Link> ao_Links;
    std::vector<st_Link> ao_NearlyFull;
    // From n_From on, up to the next entry's n_From, the least room the
    // nearly full links over those insertion points leave (the largest
    // number where none does); made from ao_NearlyFull when stale.
    struct st_Room {
        unsigned long long n_From;
        long long n_Room;
    };
    mutable std::vector<st_Room> ao_Rooms;
    mutable bool b_RoomsStale = true;
};

// The longest alternative link in a word list's index image (2-byte
// links, 4-byte handles), in bytes; 0 for an image of another form or
// without links. A link reaches at most 65535 bytes: how close the
// longest comes says how much more the index can take.
unsigned n_LongestIndexLink(CT_CompList const& list);
