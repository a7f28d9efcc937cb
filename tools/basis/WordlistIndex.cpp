#include "tools/basis/WordlistIndex.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <set>

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

CT_WordlistIndex::st_ChildSlot* CT_WordlistIndex::pso_ChildSlot(unsigned parent, unsigned element) {
    std::size_t mask = ao_ChildTable.size() - 1;
    unsigned long long key = static_cast<unsigned long long>(parent) << 16 ^ element;
    std::size_t k = static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
    while (ao_ChildTable[k].n_Child && (ao_ChildTable[k].n_Parent != parent || ao_ChildTable[k].n_Element != element))
        k = (k + 1) & mask;
    return &ao_ChildTable[k];
}

// Doubles the table, keeping it at most half full, so that a search ends
// at a free slot after a few steps.
void CT_WordlistIndex::v_GrowChildTable() {
    std::vector<st_ChildSlot> old;
    old.swap(ao_ChildTable);
    ao_ChildTable.assign(old.empty() ? 1024 : 2 * old.size(), st_ChildSlot{0, 0, 0});
    for (st_ChildSlot const& slot : old)
        if (slot.n_Child) *pso_ChildSlot(slot.n_Parent, slot.n_Element) = slot;
}

void CT_WordlistIndex::v_Add(void const* word, unsigned count, unsigned handle) {
    auto const* bytes = static_cast<unsigned char const*>(word);
    if (count == 0) b_Unsupported = true;
    unsigned node = 0;
    for (unsigned i = 0; i < count; ++i) {
        // Grown as nodes come, never ahead for a long word.
        if (2ull * (n_ChildCount + 1) > ao_ChildTable.size()) v_GrowChildTable();
        unsigned element = n_ElementSize == 1 ? bytes[i] : 0;
        if (n_ElementSize == 2) {
            unsigned short unit;
            std::memcpy(&unit, bytes + 2 * i, 2);
            element = unit;
        }
        if (b_IsMarker(element)) b_Unsupported = true;
        st_ChildSlot* slot = pso_ChildSlot(node, element);
        unsigned child = slot->n_Child;
        if (child == 0) {
            child = static_cast<unsigned>(ao_Nodes.size());
            *slot = st_ChildSlot{node, element, child};
            ++n_ChildCount;
            ao_Nodes.push_back(st_Node{element, 0, 0, 0, 0, false});
            st_Node& parent = ao_Nodes[node];
            // The alternatives keep the order of their creation, as the
            // chain has them. A node's first child follows it in its own
            // stretch; a further one is a new alternative, which starts a
            // stretch at the end.
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

bool CT_WordlistIndex::b_LayOut(std::vector<unsigned>* positions, unsigned long long* end) const {
    if (b_Unsupported) return false;
    unsigned const es = n_ElementSize, hs = kHandleSize, os = kOffsetSize;
    // Each stretch is a node and its first children in turn: the element,
    // the link to the next alternative where there is one, the word end
    // where a word ends (continued when longer words go on, else a leaf).
    positions->assign(ao_Nodes.size(), 0);
    unsigned long long at = kStreamStart;
    for (unsigned first : an_Stretches) {
        for (unsigned node = first; node; node = ao_Nodes[node].n_FirstChild) {
            st_Node const& n = ao_Nodes[node];
            (*positions)[node] = static_cast<unsigned>(at);
            at += es + (n.n_NextSibling ? es + os : 0) + (n.b_End ? es + hs : 0);
            if (at > 0xFFFFFF00ull) return false;
        }
    }
    // Every link within what its 2 bytes reach.
    for (unsigned node = 1; node < ao_Nodes.size(); ++node)
        if (ao_Nodes[node].n_NextSibling &&
            (*positions)[ao_Nodes[node].n_NextSibling] - ((*positions)[node] + es) > 0xFFFFu)
            return false;
    *end = at + es;  // the end marker
    return true;
}

bool CT_WordlistIndex::b_CanBuild() const {
    std::vector<unsigned> positions;
    unsigned long long end = 0;
    return b_LayOut(&positions, &end);
}

bool CT_WordlistIndex::b_Build(CT_Buffer* image) const {
    unsigned const es = n_ElementSize, hs = kHandleSize, os = kOffsetSize;
    std::vector<unsigned> positions;
    unsigned long long end = 0;
    if (!b_LayOut(&positions, &end)) return false;

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


namespace {

struct st_Image {
    unsigned char const* puc_Bytes;
    unsigned n_Limit;
    unsigned es, hs, os;

    explicit st_Image(CT_CompList const& list)
        : puc_Bytes(nullptr), n_Limit(0), es(list.n_GetElementSize()), hs(list.n_GetHandleSize()), os(kOffsetSize) {
        CT_Buffer const* buffer = list.pcco_GetBuffer();
        if (!buffer || list.b_HasLongOffsetSupport() || (es != 1 && es != 2) || hs != 4) return;
        unsigned used = buffer->n_GetUsedSize(), end = list.n_GetEnd();
        unsigned limit = end < used ? end : used;
        if (limit < kStreamStart + es) return;
        puc_Bytes = static_cast<unsigned char const*>(buffer->qcv_Get());
        n_Limit = limit;
    }
    unsigned n_Number(unsigned at, unsigned width) const {
        if (width == 1) return puc_Bytes[at];
        if (width == 2) {
            unsigned short value;
            std::memcpy(&value, puc_Bytes + at, 2);
            return value;
        }
        unsigned value;
        std::memcpy(&value, puc_Bytes + at, 4);
        return value;
    }
    unsigned n_Element(unsigned p) const { return p + es <= n_Limit ? n_Number(p, es) : unsigned(CT_CompList::e_StreamEnd); }
};

unsigned n_WordElement(void const* word, unsigned es, unsigned i) {
    auto const* bytes = static_cast<unsigned char const*>(word);
    if (es == 1) return bytes[i];
    unsigned short unit;
    std::memcpy(&unit, bytes + 2 * i, 2);
    return unit;
}

}  // namespace

// The list's own walk in its adding mode (see the compressed list), up to
// the change it would make.
CT_IndexLinks::st_Plan CT_IndexLinks::so_Plan(CT_CompList const& list, void const* word, unsigned count) const {
    st_Plan plan;
    st_Image image(list);
    if (!image.puc_Bytes || count == 0) return plan;
    unsigned const es = image.es, hs = image.hs, os = image.os, limit = image.n_Limit;
    unsigned p = kStreamStart;
    unsigned first = n_WordElement(word, es, 0);
    if (first >= 'a' && first <= 'z') {
        unsigned jump = image.n_Number(kJumpTable + 4 * (first - 'a'), 4);
        if (jump >= kStreamStart && jump < limit) p = jump;
    }
    for (unsigned i = 0;;) {
        unsigned e = image.n_Element(p);
        if (i == count) {
            if (e == CT_CompList::e_AltLink) {
                if (p + es + os > limit) return plan;
                p += es + os;
                e = image.n_Element(p);
            }
            if (e == CT_CompList::e_WordEndContinued || e == CT_CompList::e_WordEndLeaf) {
                plan.e_Kind = st_Plan::e_Present;
                return plan;
            }
            plan.e_Kind = st_Plan::e_Insert;
            plan.n_At = p;
            plan.n_Count = es + hs;
            return plan;
        }
        if (e == n_WordElement(word, es, i) && e != CT_CompList::e_StreamEnd) {
            p += es;
            ++i;
        } else if (e == CT_CompList::e_WordEndContinued) {
            p += es + hs;
        } else if (e == CT_CompList::e_AltLink) {
            p += es + os;
        } else if (e == CT_CompList::e_StreamEnd || e == CT_CompList::e_WordEndLeaf) {
            plan.e_Kind = st_Plan::e_Insert;
            plan.n_At = e == CT_CompList::e_WordEndLeaf ? p + es + hs : p;
            plan.n_Count = (count - i) * es + es + hs;
            return plan;
        } else {
            p += es;
            if (image.n_Element(p) == CT_CompList::e_AltLink) {
                if (p + es + os > limit) return plan;
                unsigned offset = image.n_Number(p + es, os);
                if (offset == 0 || offset >= limit - p) return plan;
                p += offset;
                continue;
            }
            if (p >= limit) return plan;
            plan.e_Kind = st_Plan::e_NewAlternative;
            plan.n_At = p;
            plan.n_Count = es + os + (count - i) * es + es + hs;
            plan.n_NewLink = limit + os - p;
            return plan;
        }
    }
}

// Whether a link before at leads to at or beyond and would grow past what
// 2 bytes reach by count more bytes. Only a link within count of that
// limit can: for the short counts of words, the least room left by the
// nearly full links over at is looked up; otherwise only links that begin
// less than 64 KiB before at can lead past it.
bool CT_IndexLinks::b_Spanned(unsigned at, unsigned count) const {
    if (count <= kNearlyFull) {
        if (b_RoomsStale) v_MapRooms();
        // The last stretch that starts at or before at.
        auto after = std::upper_bound(ao_Rooms.begin(), ao_Rooms.end(), static_cast<unsigned long long>(at),
                                      [](unsigned long long value, st_Room const& room) { return value < room.n_From; });
        return after != ao_Rooms.begin() && static_cast<long long>(count) > (after - 1)->n_Room;
    }
    auto spans = [&](st_Link const& link) {
        return link.n_Link < at && link.n_Target >= at && link.n_Target - link.n_Link + count > 0xFFFFu;
    };
    unsigned from = at > 0xFFFFu ? at - 0xFFFFu : 0;
    std::size_t k = std::lower_bound(ao_Links.begin(), ao_Links.end(), from,
                                     [](st_Link const& link, unsigned value) { return link.n_Link < value; }) -
                    ao_Links.begin();
    for (std::size_t n = ao_Links.size(); k < n && ao_Links[k].n_Link < at; ++k)
        if (spans(ao_Links[k])) return true;
    return false;
}

// A nearly full link from l to t spans the insertion points l + 1 to t
// and leaves 0xFFFF - (t - l) bytes of room: the image is cut where such
// spans begin and end, and each stretch keeps the least room of the links
// over it. Made again only when a word was added since: most words, once
// the list is full, are refused without changing anything.
void CT_IndexLinks::v_MapRooms() const {
    struct st_Edge {
        unsigned long long n_Where;
        long long n_Room;
        bool b_Start;
    };
    std::vector<st_Edge> edges;
    edges.reserve(2 * ao_NearlyFull.size());
    for (st_Link const& link : ao_NearlyFull) {
        if (link.n_Target <= link.n_Link) continue;  // spans nothing
        long long room = 0xFFFFll - (static_cast<long long>(link.n_Target) - link.n_Link);
        edges.push_back({link.n_Link + 1ull, room, true});
        edges.push_back({link.n_Target + 1ull, room, false});
    }
    std::sort(edges.begin(), edges.end(), [](st_Edge const& a, st_Edge const& b) { return a.n_Where < b.n_Where; });
    ao_Rooms.clear();
    std::multiset<long long> open;
    for (std::size_t k = 0; k < edges.size();) {
        unsigned long long where = edges[k].n_Where;
        for (; k < edges.size() && edges[k].n_Where == where; ++k) {
            if (edges[k].b_Start)
                open.insert(edges[k].n_Room);
            else
                open.erase(open.find(edges[k].n_Room));
        }
        ao_Rooms.push_back({where, open.empty() ? std::numeric_limits<long long>::max() : *open.begin()});
    }
    b_RoomsStale = false;
}

// The links move as the insertion of count bytes at at moves them. Those
// that begin at or after at move whole and keep their length; of those
// that begin before it, only the ones less than 64 KiB before can reach
// it and grow, and only those can join the nearly full ones (a link never
// gets shorter, so none leaves them).
void CT_IndexLinks::v_Shift(unsigned at, unsigned count) {
    auto before = [](st_Link const& link, unsigned value) { return link.n_Link < value; };
    std::size_t window = std::lower_bound(ao_Links.begin(), ao_Links.end(), at > 0xFFFFu ? at - 0xFFFFu : 0u, before) -
                         ao_Links.begin();
    std::size_t moved = std::lower_bound(ao_Links.begin() + window, ao_Links.end(), at, before) - ao_Links.begin();
    for (st_Link& link : ao_NearlyFull) {
        if (link.n_Link >= at) link.n_Link += count;
        if (link.n_Target >= at) link.n_Target += count;
    }
    st_Link* links = ao_Links.data();
    for (std::size_t k = window; k < moved; ++k) {
        if (links[k].n_Target < at) continue;
        bool wasNearlyFull = links[k].n_Target - links[k].n_Link + kNearlyFull > 0xFFFFu;
        links[k].n_Target += count;
        if (!wasNearlyFull && links[k].n_Target - links[k].n_Link + kNearlyFull > 0xFFFFu) ao_NearlyFull.push_back(links[k]);
    }
    for (std::size_t k = moved, n = ao_Links.size(); k < n; ++k) {
        links[k].n_Link += count;
        links[k].n_Target += count;
    }
    b_RoomsStale = true;
}

void CT_IndexLinks::v_CollectNearlyFull() {
    ao_NearlyFull.clear();
    for (std::size_t k = 0, n = ao_Links.size(); k < n; ++k)
        if (ao_Links[k].n_Target - ao_Links[k].n_Link + kNearlyFull > 0xFFFFu) ao_NearlyFull.push_back(ao_Links[k]);
    b_RoomsStale = true;
}

void CT_IndexLinks::v_Reread(CT_CompList const& list) {
    ao_Links.clear();
    st_Image image(list);
    if (!image.puc_Bytes) return;
    unsigned const es = image.es, hs = image.hs, os = image.os, limit = image.n_Limit;
    for (unsigned p = kStreamStart; p + es <= limit;) {
        unsigned e = image.n_Number(p, es);
        if (e == CT_CompList::e_WordEndContinued || e == CT_CompList::e_WordEndLeaf) {
            p += es + hs;
        } else if (e == CT_CompList::e_AltLink) {
            if (p + es + os > limit) break;
            unsigned offset = image.n_Number(p + es, os);
            if (offset != 0 && offset < limit - p) ao_Links.push_back({p, p + offset});
            p += es + os;
        } else {
            p += es;
        }
    }
}

bool CT_IndexLinks::b_Add(CT_CompList* list, void const* word, unsigned count, unsigned handle) {
    st_Plan plan = so_Plan(*list, word, count);
    bool refused = (plan.e_Kind == st_Plan::e_NewAlternative &&
                    (plan.n_NewLink > 0xFFFFu || b_Spanned(plan.n_At, list->n_GetElementSize() + kOffsetSize))) ||
                   (plan.e_Kind == st_Plan::e_Insert && b_Spanned(plan.n_At, plan.n_Count));
    if (refused) return false;
    unsigned end = list->n_GetEnd();
    int added = list->n_GetElementSize() == 1 ? list->b_Add(static_cast<char const*>(word), handle)
                                              : list->b_Add(static_cast<unsigned short const*>(word), handle);
    if (added) {
        // The links move as the list moved them; when the list did what
        // the walk did not foresee, they are read again from the image.
        unsigned grown = list->n_GetEnd() - end;
        if (plan.e_Kind == st_Plan::e_Insert && grown == plan.n_Count) {
            v_Shift(plan.n_At, plan.n_Count);
        } else if (plan.e_Kind == st_Plan::e_NewAlternative && grown == plan.n_Count) {
            unsigned const es = list->n_GetElementSize();
            v_Shift(plan.n_At, es + kOffsetSize);
            st_Image image(*list);
            unsigned offset = image.puc_Bytes ? image.n_Number(plan.n_At + es, kOffsetSize) : 0;
            st_Link link{plan.n_At, plan.n_At + offset};
            auto place = std::lower_bound(ao_Links.begin(), ao_Links.end(), link.n_Link,
                                          [](st_Link const& l, unsigned value) { return l.n_Link < value; });
            ao_Links.insert(place, link);
            if (link.n_Target - link.n_Link + kNearlyFull > 0xFFFFu) ao_NearlyFull.push_back(link);
        } else {
            v_Reread(*list);
            v_CollectNearlyFull();
        }
    }
    if (plan.e_Kind == st_Plan::e_Present || added) return true;
    return list->n_GetElementSize() == 1 ? list->b_Search(static_cast<char const*>(word)) != 0
                                         : list->b_Search(static_cast<unsigned short const*>(word)) != 0;
}

unsigned n_LongestIndexLink(CT_CompList const& list) {
    // The links are found as v_Reread finds them: by walking the stream
    // element by element, skipping each word end's handle and each link's
    // offset.
    st_Image image(list);
    if (!image.puc_Bytes) return 0;
    unsigned const es = image.es, hs = image.hs, os = image.os, limit = image.n_Limit;
    unsigned longest = 0;
    for (unsigned p = kStreamStart; p + es <= limit;) {
        unsigned e = image.n_Number(p, es);
        if (e == CT_CompList::e_WordEndContinued || e == CT_CompList::e_WordEndLeaf) {
            p += es + hs;
        } else if (e == CT_CompList::e_AltLink) {
            if (p + es + os > limit) break;
            unsigned offset = image.n_Number(p + es, os);
            if (offset > longest) longest = offset;
            p += es + os;
        } else {
            p += es;
        }
    }
    return longest;
}
