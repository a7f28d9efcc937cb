#include "tools/basis/WordlistIndex.h"

#include <cstring>

namespace {

unsigned const kStreamStart = CT_CompList::e_StreamStart;
unsigned const kHandleSize = 4;
unsigned const kOffsetSize = 2;
// Header fields of the image (see the compressed list).
unsigned const kEndField = 4;
unsigned const kJumpTable = 16;
unsigned const kEntriesField = 120;

void v_Put(unsigned char* at, unsigned width, unsigned value) {
    // Numbers in the stream are in host order, each with its own width.
    if (width == 1) {
        *at = static_cast<unsigned char>(value);
    } else if (width == 2) {
        auto number = static_cast<unsigned short>(value);
        std::memcpy(at, &number, 2);
    } else {
        std::memcpy(at, &value, 4);
    }
}

void v_PutLittle32(unsigned char* at, unsigned value) {
    for (int k = 0; k < 4; ++k) at[k] = static_cast<unsigned char>(value >> (8 * k));
}

bool b_IsMarker(unsigned element) {
    return element == 0 || element == CT_CompList::e_WordEndContinued || element == CT_CompList::e_AltLink ||
           element == CT_CompList::e_StreamEnd || element == CT_CompList::e_WordEndLeaf;
}

}  // namespace

void CT_WordlistIndex::v_Add(void const* word, unsigned count, unsigned handle) {
    auto const* bytes = static_cast<unsigned char const*>(word);
    if (count == 0) b_Unsupported = true;
    unsigned node = 0;
    for (unsigned i = 0; i < count; ++i) {
        unsigned element = n_ElementSize == 1 ? bytes[i] : 0;
        if (n_ElementSize == 2) {
            unsigned short unit;
            std::memcpy(&unit, bytes + 2 * i, 2);
            element = unit;
        }
        if (b_IsMarker(element)) b_Unsupported = true;
        // The alternatives in the order of their creation, as the chain has them.
        unsigned child = ao_Nodes[node].n_FirstChild;
        while (child && ao_Nodes[child].n_Element != element) child = ao_Nodes[child].n_NextSibling;
        if (child == 0) {
            child = static_cast<unsigned>(ao_Nodes.size());
            ao_Nodes.push_back(st_Node{element, 0, 0, 0, 0, false});
            st_Node& parent = ao_Nodes[node];
            // A node's first child follows it in its own stretch; a further
            // one is a new alternative, which starts a stretch at the end.
            if (parent.n_FirstChild == 0) {
                parent.n_FirstChild = child;
                if (node == 0) an_Stretches.push_back(child);
            } else {
                ao_Nodes[parent.n_LastChild].n_NextSibling = child;
                an_Stretches.push_back(child);
            }
            parent.n_LastChild = child;
        }
        node = child;
    }
    if (count == 0 || ao_Nodes[node].b_End) return;
    ao_Nodes[node].b_End = true;
    ao_Nodes[node].n_Handle = handle;
    ++n_Entries;
}

bool CT_WordlistIndex::b_Build(CT_Buffer* image) const {
    if (b_Unsupported) return false;
    unsigned const es = n_ElementSize, hs = kHandleSize, os = kOffsetSize;
    // Each stretch is a node and its first children in turn: the element,
    // the link to the next alternative where there is one, the word end
    // where a word ends (continued when longer words go on, else a leaf).
    std::vector<unsigned> positions(ao_Nodes.size(), 0);
    unsigned long long end = kStreamStart;
    for (unsigned first : an_Stretches) {
        for (unsigned node = first; node; node = ao_Nodes[node].n_FirstChild) {
            st_Node const& n = ao_Nodes[node];
            positions[node] = static_cast<unsigned>(end);
            end += es + (n.n_NextSibling ? es + os : 0) + (n.b_End ? es + hs : 0);
            if (end > 0xFFFFFF00ull) return false;
        }
    }
    end += es;  // the end marker

    // The header as the list makes it for an empty image, then its fields.
    CT_CompList empty(n_ElementSize == 1 ? CT_CompList::e_Byte : CT_CompList::e_Word, hs, 0, 0, 128, 0);
    std::vector<unsigned char> bytes(static_cast<std::size_t>(end), 0);
    std::memcpy(bytes.data(), empty.pcco_GetBuffer()->qcv_Get(), kStreamStart);
    v_PutLittle32(bytes.data() + kEndField, static_cast<unsigned>(end));
    v_PutLittle32(bytes.data() + kEntriesField, n_Entries);
    for (unsigned top = ao_Nodes[0].n_FirstChild; top; top = ao_Nodes[top].n_NextSibling) {
        unsigned element = ao_Nodes[top].n_Element;
        if (element >= 'a' && element <= 'z') v_PutLittle32(bytes.data() + kJumpTable + 4 * (element - 'a'), positions[top]);
    }

    for (unsigned first : an_Stretches) {
        for (unsigned node = first; node; node = ao_Nodes[node].n_FirstChild) {
            st_Node const& n = ao_Nodes[node];
            unsigned char* at = bytes.data() + positions[node];
            v_Put(at, es, n.n_Element);
            at += es;
            if (n.n_NextSibling) {
                // The distance from the link's marker to the alternative.
                unsigned link = positions[node] + es;
                unsigned offset = positions[n.n_NextSibling] - link;
                if (offset > 0xFFFFu) return false;
                v_Put(at, es, CT_CompList::e_AltLink);
                v_Put(at + es, os, offset);
                at += es + os;
            }
            if (n.b_End) {
                v_Put(at, es, n.n_FirstChild ? CT_CompList::e_WordEndContinued : CT_CompList::e_WordEndLeaf);
                v_Put(at + es, hs, n.n_Handle);
            }
        }
    }
    v_Put(bytes.data() + end - es, es, CT_CompList::e_StreamEnd);
    image->v_Set(bytes.data(), static_cast<unsigned>(end), 128);
    return true;
}

