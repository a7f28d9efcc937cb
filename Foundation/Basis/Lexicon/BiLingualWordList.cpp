#include "Foundation/Basis/Lexicon/BiLingualWordList.h"

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/UString.h"

BASIS_DEFINE_POOL(CT_BiLingualCWordList)
BASIS_DEFINE_POOL(CT_BiLingualUWordList)

namespace {

enum : unsigned { e_TextGrowth = 32, e_IndexGrowth = 128, e_HandleSize = 4 };

// Zero-terminated lengths in units of the list's width.
using StringText::sn_Length;

// The text at a handle of an index, or null when the word was not found (or
// the handle does not lie inside the texts).
void const* spcv_TextAt(CT_Buffer const& texts, unsigned handle) {
    if (handle == CT_CompList::e_NotFound || handle >= texts.n_GetUsedSize()) return nullptr;
    return static_cast<unsigned char const*>(texts.qcv_Get()) + handle;
}

}  // namespace

// ---------------------------------------------------------------------------
// The texts

CT_BiLingualWordListBasis::CT_BiLingualWordListBasis()
    : co_SourceTexts(0, e_TextGrowth), co_TargetTexts(0, e_TextGrowth), n_Count(0) {}

CT_BiLingualWordListBasis::CT_BiLingualWordListBasis(CT_BiLingualWordListBasis const* pcoOther)
    : co_SourceTexts(&pcoOther->co_SourceTexts), co_TargetTexts(&pcoOther->co_TargetTexts), n_Count(pcoOther->n_Count) {}

CT_BiLingualWordListBasis& CT_BiLingualWordListBasis::operator=(CT_BiLingualWordListBasis const& other) {
    v_Set(&other);
    return *this;
}

CT_BiLingualWordListBasis::~CT_BiLingualWordListBasis() = default;

void CT_BiLingualWordListBasis::v_Set() {
    co_SourceTexts.v_Set(0u, e_TextGrowth, 0);
    co_TargetTexts.v_Set(0u, e_TextGrowth, 0);
    n_Count = 0;
}

void CT_BiLingualWordListBasis::v_Set(CT_BiLingualWordListBasis const* pcoOther) {
    if (pcoOther == this) return;
    co_SourceTexts.v_Set(&pcoOther->co_SourceTexts);
    co_TargetTexts.v_Set(&pcoOther->co_TargetTexts);
    n_Count = pcoOther->n_Count;
}

// ---------------------------------------------------------------------------
// Narrow list

CT_BiLingualCWordList::CT_BiLingualCWordList()
    : co_SourceIndex(CT_CompList::e_Byte, e_HandleSize, 0, 0, e_IndexGrowth, 0),
      co_TargetIndex(CT_CompList::e_Byte, e_HandleSize, 0, 0, e_IndexGrowth, 0) {}

CT_BiLingualCWordList::CT_BiLingualCWordList(CT_BiLingualCWordList const* pcoOther)
    : CT_BiLingualWordListBasis(pcoOther), co_SourceIndex(&pcoOther->co_SourceIndex),
      co_TargetIndex(&pcoOther->co_TargetIndex) {}

CT_BiLingualCWordList& CT_BiLingualCWordList::operator=(CT_BiLingualCWordList const& other) {
    v_Set(&other);
    return *this;
}

CT_BiLingualCWordList::~CT_BiLingualCWordList() = default;

void CT_BiLingualCWordList::v_Set() {
    CT_BiLingualWordListBasis::v_Set();
    co_SourceIndex.v_Set(CT_CompList::e_Byte, e_HandleSize, 0, 0, e_IndexGrowth, 0);
    co_TargetIndex.v_Set(CT_CompList::e_Byte, e_HandleSize, 0, 0, e_IndexGrowth, 0);
}

void CT_BiLingualCWordList::v_Set(CT_BiLingualCWordList const* pcoOther) {
    if (pcoOther == this) return;
    CT_BiLingualWordListBasis::v_Set(pcoOther);
    co_SourceIndex.v_Set(&pcoOther->co_SourceIndex);
    co_TargetIndex.v_Set(&pcoOther->co_TargetIndex);
}

void CT_BiLingualCWordList::v_Insert(char const* pcSource, char const* pcTarget) {
    if (!pcSource) pcSource = "";
    if (!pcTarget) pcTarget = "";
    unsigned sourceEnd = co_SourceTexts.n_GetUsedSize();
    unsigned targetEnd = co_TargetTexts.n_GetUsedSize();
    co_SourceIndex.b_Add(pcSource, targetEnd);
    co_TargetIndex.b_Add(pcTarget, sourceEnd);
    co_SourceTexts.v_Append(pcSource, sn_Length(pcSource) + 1);
    co_TargetTexts.v_Append(pcTarget, sn_Length(pcTarget) + 1);
    ++n_Count;
}

void CT_BiLingualCWordList::v_Insert(CT_CString const* pcoSource, CT_CString const* pcoTarget) {
    v_Insert(pcoSource->qccz_Get(), pcoTarget->qccz_Get());
}

char const* CT_BiLingualCWordList::qccz_FindSource(char const* pcSource) const {
    if (!pcSource) return nullptr;
    return static_cast<char const*>(spcv_TextAt(co_TargetTexts, co_SourceIndex.n_Search(pcSource, nullptr)));
}

char const* CT_BiLingualCWordList::qccz_FindSource(CT_CString const* pcoSource) const {
    return qccz_FindSource(pcoSource->qccz_Get());
}

char const* CT_BiLingualCWordList::qccz_FindTarget(char const* pcTarget) const {
    if (!pcTarget) return nullptr;
    return static_cast<char const*>(spcv_TextAt(co_SourceTexts, co_TargetIndex.n_Search(pcTarget, nullptr)));
}

char const* CT_BiLingualCWordList::qccz_FindTarget(CT_CString const* pcoTarget) const {
    return qccz_FindTarget(pcoTarget->qccz_Get());
}

// ---------------------------------------------------------------------------
// Wide list

CT_BiLingualUWordList::CT_BiLingualUWordList()
    : co_SourceIndex(CT_CompList::e_Word, e_HandleSize, 0, 0, e_IndexGrowth, 0),
      co_TargetIndex(CT_CompList::e_Word, e_HandleSize, 0, 0, e_IndexGrowth, 0) {}

CT_BiLingualUWordList::CT_BiLingualUWordList(CT_BiLingualUWordList const* pcoOther)
    : CT_BiLingualWordListBasis(pcoOther), co_SourceIndex(&pcoOther->co_SourceIndex),
      co_TargetIndex(&pcoOther->co_TargetIndex) {}

CT_BiLingualUWordList& CT_BiLingualUWordList::operator=(CT_BiLingualUWordList const& other) {
    v_Set(&other);
    return *this;
}

CT_BiLingualUWordList::~CT_BiLingualUWordList() = default;

void CT_BiLingualUWordList::v_Set() {
    CT_BiLingualWordListBasis::v_Set();
    co_SourceIndex.v_Set(CT_CompList::e_Word, e_HandleSize, 0, 0, e_IndexGrowth, 0);
    co_TargetIndex.v_Set(CT_CompList::e_Word, e_HandleSize, 0, 0, e_IndexGrowth, 0);
}

void CT_BiLingualUWordList::v_Set(CT_BiLingualUWordList const* pcoOther) {
    if (pcoOther == this) return;
    CT_BiLingualWordListBasis::v_Set(pcoOther);
    co_SourceIndex.v_Set(&pcoOther->co_SourceIndex);
    co_TargetIndex.v_Set(&pcoOther->co_TargetIndex);
}

void CT_BiLingualUWordList::v_Insert(unsigned short const* puSource, unsigned short const* puTarget) {
    static unsigned short const empty = 0;
    if (!puSource) puSource = &empty;
    if (!puTarget) puTarget = &empty;
    unsigned sourceEnd = co_SourceTexts.n_GetUsedSize();
    unsigned targetEnd = co_TargetTexts.n_GetUsedSize();
    co_SourceIndex.b_Add(puSource, targetEnd);
    co_TargetIndex.b_Add(puTarget, sourceEnd);
    co_SourceTexts.v_Append(puSource, 2 * (sn_Length(puSource) + 1));
    co_TargetTexts.v_Append(puTarget, 2 * (sn_Length(puTarget) + 1));
    ++n_Count;
}

void CT_BiLingualUWordList::v_Insert(CT_UString const* pcoSource, CT_UString const* pcoTarget) {
    v_Insert(pcoSource->qcuz_Get(), pcoTarget->qcuz_Get());
}

unsigned short const* CT_BiLingualUWordList::qcuz_FindSource(unsigned short const* puSource) const {
    if (!puSource) return nullptr;
    return static_cast<unsigned short const*>(spcv_TextAt(co_TargetTexts, co_SourceIndex.n_Search(puSource, nullptr)));
}

unsigned short const* CT_BiLingualUWordList::qcuz_FindSource(CT_UString const* pcoSource) const {
    return qcuz_FindSource(pcoSource->qcuz_Get());
}

unsigned short const* CT_BiLingualUWordList::qcuz_FindTarget(unsigned short const* puTarget) const {
    if (!puTarget) return nullptr;
    return static_cast<unsigned short const*>(spcv_TextAt(co_SourceTexts, co_TargetIndex.n_Search(puTarget, nullptr)));
}

unsigned short const* CT_BiLingualUWordList::qcuz_FindTarget(CT_UString const* pcoTarget) const {
    return qcuz_FindTarget(pcoTarget->qcuz_Get());
}

// ---------------------------------------------------------------------------
// Iterators

CT_BiWordListIteratorBasis::CT_BiWordListIteratorBasis(CT_BiLingualWordListBasis const* pcoList) { v_Set(pcoList); }

CT_BiWordListIteratorBasis::CT_BiWordListIteratorBasis(CT_BiWordListIteratorBasis const* pcoOther)
    : CT_BiWordListIteratorBasis(*pcoOther) {}

void CT_BiWordListIteratorBasis::v_Set(CT_BiLingualWordListBasis const* pcoList) {
    pcco_List = pcoList;
    pcco_SourceTexts = pcoList ? pcoList->pcco_GetSourceBuffer() : nullptr;
    pcco_TargetTexts = pcoList ? pcoList->pcco_GetTargetBuffer() : nullptr;
    n_SourceOffset = 0;
    n_TargetOffset = 0;
    n_Index = 0;
}

int CT_BiWordListIteratorBasis::b_IsEqual(CT_BiWordListIteratorBasis const* pcoOther) const {
    return pcco_List == pcoOther->pcco_List && pcco_SourceTexts == pcoOther->pcco_SourceTexts &&
           pcco_TargetTexts == pcoOther->pcco_TargetTexts && n_SourceOffset == pcoOther->n_SourceOffset &&
           n_TargetOffset == pcoOther->n_TargetOffset && n_Index == pcoOther->n_Index;
}

namespace {
// The offset behind the first terminator at or after at (a zero unit on a
// unit boundary); the text's used size when there is none.
unsigned sn_PastTerminator(CT_Buffer const* texts, unsigned at, unsigned unit) {
    unsigned used = texts->n_GetUsedSize();
    unsigned char const* bytes = static_cast<unsigned char const*>(texts->qcv_Get());
    for (; at + unit <= used; at += unit) {
        bool zero = bytes[at] == 0 && (unit == 1 || bytes[at + 1] == 0);
        if (zero) return at + unit;
    }
    return used;
}
}  // namespace

int CT_BiWordListIteratorBasis::b_Step(unsigned nUnit) {
    unsigned count = n_GetCount();
    if (n_Index == 0) {
        if (count == 0) return 0;
    } else {
        if (n_Index >= count) return 0;
        n_SourceOffset = sn_PastTerminator(pcco_SourceTexts, n_SourceOffset, nUnit);
        n_TargetOffset = sn_PastTerminator(pcco_TargetTexts, n_TargetOffset, nUnit);
    }
    ++n_Index;
    return 1;
}

void CT_BiCWordListIterator::v_Get(char** ppcSource, char** ppcTarget) const {
    if (ppcSource) *ppcSource = static_cast<char*>(const_cast<void*>(pcco_SourceTexts->qcv_Get())) + n_SourceOffset;
    if (ppcTarget) *ppcTarget = static_cast<char*>(const_cast<void*>(pcco_TargetTexts->qcv_Get())) + n_TargetOffset;
}

void CT_BiCWordListIterator::v_Get(CT_String* pcoSource, CT_String* pcoTarget) const {
    char* source = nullptr;
    char* target = nullptr;
    v_Get(&source, &target);
    // ~1u: each string keeps its own code page.
    if (pcoSource) pcoSource->v_Set(source, ~0u, ~1u);
    if (pcoTarget) pcoTarget->v_Set(target, ~0u, ~1u);
}

void CT_BiUWordListIterator::v_Get(unsigned short** ppuSource, unsigned short** ppuTarget) const {
    unsigned char* source = static_cast<unsigned char*>(const_cast<void*>(pcco_SourceTexts->qcv_Get()));
    unsigned char* target = static_cast<unsigned char*>(const_cast<void*>(pcco_TargetTexts->qcv_Get()));
    if (ppuSource) *ppuSource = reinterpret_cast<unsigned short*>(source + n_SourceOffset);
    if (ppuTarget) *ppuTarget = reinterpret_cast<unsigned short*>(target + n_TargetOffset);
}

void CT_BiUWordListIterator::v_Get(CT_String* pcoSource, CT_String* pcoTarget) const {
    unsigned short* source = nullptr;
    unsigned short* target = nullptr;
    v_Get(&source, &target);
    if (pcoSource) pcoSource->v_Set(source, ~0u);
    if (pcoTarget) pcoTarget->v_Set(target, ~0u);
}
