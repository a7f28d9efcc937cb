#include "Foundation/Basis/Lexicon/CompList.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"

namespace {

enum : unsigned {
    e_EndField = 4,
    e_CodePageField = 8,
    e_EmptyHandleField = 12,
    e_JumpTable = 16,
    e_EntriesField = 120,
    e_NetworkOrderByte = 124,
    e_ElementSizeByte = 125,
    e_HandleSizeByte = 126,
    e_FlagsByte = 127,
    e_ReservedField = 128,
    e_FlagEmptyWord = 1,
    e_FlagLongOffsets = 2,
};

unsigned sn_LittleEndian(unsigned char const* pc) {
    return unsigned(pc[0]) | unsigned(pc[1]) << 8 | unsigned(pc[2]) << 16 | unsigned(pc[3]) << 24;
}

void sv_PutLittleEndian(unsigned char* pc, unsigned value) {
    pc[0] = static_cast<unsigned char>(value);
    pc[1] = static_cast<unsigned char>(value >> 8);
    pc[2] = static_cast<unsigned char>(value >> 16);
    pc[3] = static_cast<unsigned char>(value >> 24);
}

int sb_ValidWidth(unsigned width) { return width == 1 || width == 2 || width == 4; }

}  // namespace

// A link of the image: its marker's offset and its target's offset.
struct CT_CompList::st_LinkIndex {
    struct st_Link {
        std::uint32_t n_Link;
        std::uint32_t n_Target;
    };
    // Ordered by target. Targets are distinct in a sound image; an insertion
    // moves every target at or after its point by the same count, so the
    // order holds, and what an insertion has to look at is a tail of it.
    std::vector<st_Link> ao_Links;
};

// ---------------------------------------------------------------------------
// Construction

CT_CompList::CT_CompList(et_ElementSize eElementSize, unsigned nHandleSize, int bEmptyStringSupport,
                         int bLongOffsetSupport, unsigned nGrowth, unsigned nCodePage)
    : n_StreamStart(e_StreamStart), b_Changed(0), n_OffsetSize(2), pso_LinkIndex(nullptr) {
    v_Set(eElementSize, nHandleSize, bEmptyStringSupport, bLongOffsetSupport, nGrowth, nCodePage);
}

CT_CompList::CT_CompList(CT_Buffer const* pcoImage)
    : n_StreamStart(e_StreamStart), b_Changed(0), n_OffsetSize(2), pso_LinkIndex(nullptr) {
    v_Set(pcoImage);
}

CT_CompList::CT_CompList(CT_CompList const* pcoOther)
    : n_StreamStart(e_StreamStart), b_Changed(0), n_OffsetSize(2), pso_LinkIndex(nullptr) {
    v_Set(pcoOther);
}

CT_CompList& CT_CompList::operator=(CT_CompList const& other) {
    if (this != &other) v_Set(&other);
    return *this;
}

CT_CompList::~CT_CompList() { v_DropLinks(); }

void CT_CompList::v_Set(et_ElementSize eElementSize, unsigned nHandleSize, int bEmptyStringSupport,
                        int bLongOffsetSupport, unsigned nGrowth, unsigned nCodePage) {
    v_DropLinks();
    unsigned es = static_cast<unsigned>(eElementSize);
    unsigned size = e_HeaderSize + es;
    unsigned char image[e_HeaderSize + 4] = {};
    sv_PutLittleEndian(image, e_Magic);
    sv_PutLittleEndian(image + e_EndField, size);
    sv_PutLittleEndian(image + e_CodePageField, nCodePage);
    sv_PutLittleEndian(image + e_EmptyHandleField, e_NotFound);
    image[e_ElementSizeByte] = static_cast<unsigned char>(es);
    image[e_HandleSizeByte] = static_cast<unsigned char>(nHandleSize);
    image[e_FlagsByte] = static_cast<unsigned char>((bEmptyStringSupport ? unsigned(e_FlagEmptyWord) : 0u) |
                                                    (bLongOffsetSupport ? unsigned(e_FlagLongOffsets) : 0u));
    image[e_ReservedField] = 1;
    // The end marker in host order with the element's width.
    sv_SetNumber(image + e_StreamStart, sb_ValidWidth(es) ? es : 0, e_StreamEnd);
    co_Image.v_Set(image, sb_ValidWidth(es) ? size : e_HeaderSize, std::max<unsigned>(nGrowth, e_MinimumGrowth));
    n_StreamStart = e_StreamStart;
    b_Changed = 0;
    n_OffsetSize = bLongOffsetSupport ? 4 : 2;
}

void CT_CompList::v_Set(CT_Buffer const* pcoImage) {
    v_DropLinks();
    // The magic number is not checked: the image is taken as it is. Its
    // growth is the buffer's, but never below the list's own minimum.
    co_Image.v_Set(pcoImage);
    co_Image.v_SetGrowth(std::max<unsigned>(co_Image.n_GetGrowth(), e_MinimumGrowth));
    n_StreamStart = e_StreamStart;
    b_Changed = 0;
    n_OffsetSize = b_HasLongOffsetSupport() ? 4 : 2;
}

void CT_CompList::v_Set(CT_CompList const* pcoOther) {
    if (pcoOther == this) return;
    v_DropLinks();
    co_Image.v_Set(&pcoOther->co_Image);
    n_StreamStart = pcoOther->n_StreamStart;
    b_Changed = pcoOther->b_Changed;
    n_OffsetSize = pcoOther->n_OffsetSize;
}

// ---------------------------------------------------------------------------
// Header and numbers

unsigned CT_CompList::n_HeaderField(unsigned at) const {
    unsigned char const* image = pcuc_Image();
    return image && co_Image.n_GetUsedSize() >= at + 4 ? sn_LittleEndian(image + at) : 0;
}

unsigned CT_CompList::n_HeaderByte(unsigned at) const {
    unsigned char const* image = pcuc_Image();
    return image && co_Image.n_GetUsedSize() > at ? image[at] : 0;
}

unsigned char* CT_CompList::puc_WritableImage() {
    co_Image.v_CopyWeWrite();
    return static_cast<unsigned char*>(const_cast<void*>(co_Image.qcv_Get()));
}

void CT_CompList::v_SetHeaderField(unsigned at, unsigned value) {
    if (co_Image.n_GetUsedSize() >= at + 4) sv_PutLittleEndian(puc_WritableImage() + at, value);
}

unsigned CT_CompList::n_Limit() const {
    unsigned used = co_Image.n_GetUsedSize();
    if (used < e_HeaderSize) return 0;
    unsigned es = n_GetElementSize();
    if (!sb_ValidWidth(es) || !sb_ValidWidth(n_GetHandleSize())) return 0;
    unsigned end = std::min(n_GetEnd(), used);
    return end >= e_HeaderSize + es ? end : 0;
}

unsigned CT_CompList::sn_GetNumber(unsigned char const* pc, unsigned nWidth) {
    switch (nWidth) {
        case 1: return *pc;
        case 2: {
            std::uint16_t value;
            std::memcpy(&value, pc, 2);
            return value;
        }
        case 4: {
            std::uint32_t value;
            std::memcpy(&value, pc, 4);
            return value;
        }
        default: return 0;
    }
}

void CT_CompList::sv_SetNumber(unsigned char* pc, unsigned nWidth, unsigned nValue) {
    switch (nWidth) {
        case 1: *pc = static_cast<unsigned char>(nValue); break;
        case 2: {
            std::uint16_t value = static_cast<std::uint16_t>(nValue);
            std::memcpy(pc, &value, 2);
            break;
        }
        case 4: {
            std::uint32_t value = nValue;
            std::memcpy(pc, &value, 4);
            break;
        }
        default: break;
    }
}

unsigned CT_CompList::n_GetJumpOffset(char cIndex) const {
    unsigned index = static_cast<unsigned char>(cIndex);
    return index < 26 ? n_HeaderField(e_JumpTable + 4 * index) : 0;
}

void CT_CompList::v_SetJumpOffset(char cIndex, unsigned nOffset) {
    unsigned index = static_cast<unsigned char>(cIndex);
    if (index < 26) v_SetHeaderField(e_JumpTable + 4 * index, nOffset);
}

unsigned CT_CompList::n_GetEmptyStringHandle() const {
    return b_HasEmptyStringSupport() ? n_HeaderField(e_EmptyHandleField) : e_NotFound;
}

void CT_CompList::v_SetEmptyStringHandle(unsigned nHandle) {
    if (b_HasEmptyStringSupport()) v_SetHeaderField(e_EmptyHandleField, nHandle);
}

// ---------------------------------------------------------------------------
// Public additions and searches

int CT_CompList::b_Add(char const* pcWord, unsigned nHandle) {
    if (!n_Walk(pcWord, e_Add, nHandle, nullptr)) return 0;
    v_SetHeaderField(e_EntriesField, n_GetNrOfEntries() + 1);
    return 1;
}

int CT_CompList::b_Add(unsigned short const* puWord, unsigned nHandle) {
    return b_Add(reinterpret_cast<char const*>(puWord), nHandle);
}

int CT_CompList::b_Add(CT_CString const* pcoWord, unsigned nHandle) { return b_Add(pcoWord->qccz_Get(), nHandle); }

int CT_CompList::b_Add(CT_UString const* pcoWord, unsigned nHandle) { return b_Add(pcoWord->qcuz_Get(), nHandle); }

unsigned CT_CompList::n_Search(char const* pcWord, unsigned* pnPos) const {
    // The search mode never writes: the walk is shared with the additions.
    return const_cast<CT_CompList*>(this)->n_Walk(pcWord, e_Search, 0, pnPos);
}

unsigned CT_CompList::n_Search(unsigned short const* puWord, unsigned* pnPos) const {
    return n_Search(reinterpret_cast<char const*>(puWord), pnPos);
}

unsigned CT_CompList::n_Search(CT_CString const* pcoWord, unsigned* pnPos) const {
    return n_Search(pcoWord->qccz_Get(), pnPos);
}

unsigned CT_CompList::n_Search(CT_UString const* pcoWord, unsigned* pnPos) const {
    return n_Search(pcoWord->qcuz_Get(), pnPos);
}

// ---------------------------------------------------------------------------
// The walk

unsigned CT_CompList::n_Walk(char const* pcWord, et_WalkMode eMode, unsigned nHandle, unsigned* pnPos) {
    unsigned scratch;
    unsigned& pos = pnPos ? *pnPos : scratch;
    bool const adding = eMode == e_Add;
    unsigned const miss = adding ? 0u : unsigned(e_NotFound);
    pos = 0;
    unsigned const limit = n_Limit();
    if (!limit || !pcWord) return miss;
    unsigned const es = n_GetElementSize();
    unsigned const hs = n_GetHandleSize();
    unsigned const os = n_OffsetSize;
    unsigned char const* word = reinterpret_cast<unsigned char const*>(pcWord);
    auto wordAt = [&](unsigned i) { return sn_GetNumber(word + i * es, es); };
    unsigned length = 0;
    while (wordAt(length) != 0) ++length;

    // 1. The empty word lives in the header.
    if (length == 0) {
        if (!b_HasEmptyStringSupport()) return miss;
        if (!adding) return n_GetEmptyStringHandle();
        // Only the header changes: no insertion, so the changed flag stays.
        v_SetEmptyStringHandle(nHandle);
        return 1;
    }
    if (adding) {
        // An image whose end lies beyond its buffer is damaged: nothing is
        // added to it (the list's own images end exactly at the buffer's).
        if (n_GetEnd() > co_Image.n_GetUsedSize()) return 0;
        // The link index must describe the image before its first insertion.
        pso_Links();
    }

    // Reads of the stream: an element past the image reads as the end
    // marker, a number that does not fit marks the image as damaged.
    bool damaged = false;
    auto elementAt = [&](unsigned p) -> unsigned {
        unsigned char const* image = pcuc_Image();
        return p + es <= limit ? sn_GetNumber(image + p, es) : unsigned(e_StreamEnd);
    };
    auto numberAt = [&](unsigned p, unsigned width) -> unsigned {
        if (p + width > limit) {
            damaged = true;
            return 0;
        }
        return sn_GetNumber(pcuc_Image() + p, width);
    };
    // A link's target, or 0 when it does not lead forward inside the image.
    auto targetOf = [&](unsigned link) -> unsigned {
        unsigned offset = numberAt(link + es, os);
        if (damaged || offset == 0 || offset >= limit - link) {
            damaged = true;
            return 0;
        }
        return link + offset;
    };

    // 2. Start at the first letter's own branch where there is one.
    unsigned p = e_StreamStart;
    unsigned first = wordAt(0);
    if (first >= 'a' && first <= 'z') {
        unsigned jump = n_GetJumpOffset(static_cast<char>(first - 'a'));
        if (jump >= e_StreamStart && jump < limit) p = jump;
    }

    // 3. Walk; p only moves forward, so the walk ends.
    unsigned i = 0;
    for (;;) {
        unsigned e = elementAt(p);
        if (i == length) {
            if (e == e_AltLink) {
                if (p + es + os > limit) return adding ? 0 : (pos = 0, miss);
                p += es + os;
                e = elementAt(p);
            }
            pos = length;
            if (e == e_WordEndContinued || e == e_WordEndLeaf) {
                if (adding) return 0;
                unsigned handle = numberAt(p + es, hs);
                return damaged ? (pos = 0, miss) : handle;
            }
            if (!adding) return miss;
            // Mark the walked characters as a word whose longer words go on.
            unsigned count = es + hs;
            if (p > limit || !b_CanInsert(p, count)) return 0;
            unsigned char* at = reinterpret_cast<unsigned char*>(pc_InsertBytes(p, count));
            sv_SetNumber(at, es, e_WordEndContinued);
            sv_SetNumber(at + es, hs, nHandle);
            return 1;
        }
        if (e == wordAt(i) && e != e_StreamEnd) {
            p += es;
            ++i;
            continue;
        }
        if (e == e_WordEndContinued) {
            p += es + hs;
            continue;
        }
        if (e == e_AltLink) {
            p += es + os;
            continue;
        }
        if (e == e_StreamEnd || e == e_WordEndLeaf) {
            if (!adding) {
                pos = eMode == e_SearchLength || e == e_WordEndLeaf ? i : 0;
                return miss;
            }
            // 4. Append the rest of the word as a new branch end.
            if (p + es > limit) return 0;
            unsigned at = p;
            if (e == e_WordEndLeaf) {
                if (p + es + hs > limit) return 0;
                at = p + es + hs;
            }
            unsigned count = (length - i) * es + es + hs;
            if (!b_CanInsert(at, count)) return 0;
            if (e == e_WordEndLeaf) sv_SetNumber(puc_WritableImage() + p, es, e_WordEndContinued);
            unsigned char* out = reinterpret_cast<unsigned char*>(pc_InsertBytes(at, count));
            std::memcpy(out, word + i * es, (length - i) * es);
            sv_SetNumber(out + (length - i) * es, es, e_WordEndLeaf);
            sv_SetNumber(out + (length - i + 1) * es, hs, nHandle);
            if (e == e_StreamEnd && i == 0 && first >= 'a' && first <= 'z')
                v_SetJumpOffset(static_cast<char>(first - 'a'), at);
            return 1;
        }
        // A different character: go on to the next alternative, if any.
        p += es;
        if (elementAt(p) == e_AltLink) {
            unsigned target = targetOf(p);
            if (damaged) return adding ? 0 : (pos = 0, miss);
            p = target;
            continue;
        }
        if (!adding) {
            pos = 0;
            return miss;
        }
        // 5. A new alternative: a link after the mismatched character, the
        // rest of the word at the end of the stream.
        if (p >= limit) return 0;
        unsigned linkCount = es + os;
        unsigned restCount = (length - i) * es + es + hs;
        unsigned restAt = limit + linkCount - es;
        if (os == 2 && restAt - p > 0xFFFFu) return 0;
        if (!b_CanInsert(p, linkCount) || !b_CanInsert(limit - es, linkCount + restCount)) return 0;
        unsigned char* link = reinterpret_cast<unsigned char*>(pc_InsertBytes(p, linkCount));
        sv_SetNumber(link, es, e_AltLink);
        sv_SetNumber(link + es, os, 0);
        restAt = n_Limit() - es;
        unsigned char* out = reinterpret_cast<unsigned char*>(pc_InsertBytes(restAt, restCount));
        std::memcpy(out, word + i * es, (length - i) * es);
        sv_SetNumber(out + (length - i) * es, es, e_WordEndLeaf);
        sv_SetNumber(out + (length - i + 1) * es, hs, nHandle);
        sv_SetNumber(puc_WritableImage() + p + es, os, restAt - p);
        // The new link joins the index (its target is the image's newest).
        if (pso_LinkIndex) {
            auto& links = pso_LinkIndex->ao_Links;
            st_LinkIndex::st_Link entry{p, restAt};
            auto place = std::upper_bound(links.begin(), links.end(), restAt,
                                          [](unsigned t, st_LinkIndex::st_Link const& l) { return t < l.n_Target; });
            links.insert(place, entry);
        }
        if (i == 0 && first >= 'a' && first <= 'z') v_SetJumpOffset(static_cast<char>(first - 'a'), restAt);
        return 1;
    }
}

// ---------------------------------------------------------------------------
// Insertion and link repair

char* CT_CompList::pc_InsertBytes(unsigned nAt, unsigned nCount) {
    co_Image.v_Insert(static_cast<unsigned char>(0), nCount, nAt);
    v_SetHeaderField(e_EndField, n_GetEnd() + nCount);
    v_RecalcAltPos(nAt, nCount);
    b_Changed = 1;
    return reinterpret_cast<char*>(puc_WritableImage() + nAt);
}

CT_CompList::st_LinkIndex* CT_CompList::pso_Links() {
    if (pso_LinkIndex) return pso_LinkIndex;
    pso_LinkIndex = new st_LinkIndex;
    // One pass over the stream, stepping over elements, word ends with
    // their handles and links with their offsets, as the repair walk does.
    unsigned limit = n_Limit();
    if (!limit) return pso_LinkIndex;
    unsigned es = n_GetElementSize(), hs = n_GetHandleSize(), os = n_OffsetSize;
    unsigned char const* image = pcuc_Image();
    auto& links = pso_LinkIndex->ao_Links;
    for (unsigned p = e_StreamStart; p + es <= limit;) {
        unsigned e = sn_GetNumber(image + p, es);
        if (e == e_WordEndContinued || e == e_WordEndLeaf) {
            p += es + hs;
        } else if (e == e_AltLink) {
            if (p + es + os > limit) break;
            unsigned offset = sn_GetNumber(image + p + es, os);
            // A link that does not lead forward inside the image is damage
            // that no walk follows; it is left as it is.
            if (offset != 0 && offset < limit - p) links.push_back({p, p + offset});
            p += es + os;
        } else {
            p += es;
        }
    }
    std::stable_sort(links.begin(), links.end(),
                     [](st_LinkIndex::st_Link const& a, st_LinkIndex::st_Link const& b) { return a.n_Target < b.n_Target; });
    return pso_LinkIndex;
}

void CT_CompList::v_DropLinks() {
    delete pso_LinkIndex;
    pso_LinkIndex = nullptr;
}

int CT_CompList::b_CanInsert(unsigned nAt, unsigned nCount) {
    if (nAt > n_Limit() || nCount > 0xFFFFFFFFu - n_GetEnd()) return 0;
    if (n_OffsetSize != 2) return 1;
    // Short offsets cannot hold a link longer than 65535 bytes; an insertion
    // that would need one is refused before anything changes.
    auto& links = pso_Links()->ao_Links;
    for (auto it = links.rbegin(); it != links.rend() && it->n_Target >= nAt; ++it)
        if (it->n_Link < nAt && it->n_Target - it->n_Link + nCount > 0xFFFFu) return 0;
    return 1;
}

void CT_CompList::v_RecalcAltPos(unsigned nAt, unsigned nCount) {
    // Links before the insertion point whose target lies at or after it grow
    // by the count; links after it move with their targets. The index is
    // ordered by target, so the links concerned are a tail of it: the repair
    // looks at no more links than the insertion moved bytes past.
    unsigned char* image = puc_WritableImage();
    unsigned limit = n_Limit();
    unsigned es = n_GetElementSize(), os = n_OffsetSize;
    auto& links = pso_Links()->ao_Links;
    for (auto it = links.rbegin(); it != links.rend() && it->n_Target >= nAt; ++it) {
        if (it->n_Link < nAt) {
            if (it->n_Link + es + os <= limit) {
                unsigned char* field = image + it->n_Link + es;
                sv_SetNumber(field, os, sn_GetNumber(field, os) + nCount);
            }
        } else {
            it->n_Link += nCount;
        }
        it->n_Target += nCount;
    }
    for (char index = 0; index < 26; ++index) {
        unsigned jump = n_GetJumpOffset(index);
        if (jump >= nAt) v_SetJumpOffset(index, jump + nCount);
    }
}
