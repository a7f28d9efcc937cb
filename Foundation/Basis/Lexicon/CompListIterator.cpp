#include "Foundation/Basis/Lexicon/CompListIterator.h"

#include "Foundation/Basis/Lexicon/CompList.h"

namespace {
enum : unsigned { e_StackGrowth = 8, e_WordGrowth = 32 };
}

CT_CompListIterator::CT_CompListIterator(CT_CompList const* pcoList)
    : pcco_List(pcoList), n_Pos(CT_CompList::e_StreamStart), co_Stack(sizeof(st_Pending), e_StackGrowth, 0), n_Steps(0) {}

CT_CompListIterator::~CT_CompListIterator() = default;

void CT_CompListIterator::vv_Set(CT_CompList const* pcoList) {
    pcco_List = pcoList;
    n_Pos = CT_CompList::e_StreamStart;
    co_Stack.v_Set(e_StackGrowth, 0, 1);
    n_Steps = 0;
}

int CT_CompListIterator::b_Restore() {
    unsigned count = co_Stack.n_GetCount();
    if (count == 0) {
        n_Pos = pcco_List->n_GetEnd();
        return 0;
    }
    st_Pending top;
    co_Stack.v_GetAt(&top, static_cast<int>(count));
    co_Stack.v_RemoveAt(count);
    const_cast<CT_String*>(vpcco_GetCollectedString())->vv_SetLength(top.n_Length);
    vv_AppendCharacter(top.n_Character);
    n_Pos = top.n_Link + pcco_List->n_GetElementSize() + pcco_List->n_OffsetSize;
    return 1;
}

int CT_CompListIterator::b_GetNext(CT_String* pcoWord, unsigned* pnHandle) {
    if (!pcco_List) return 0;
    unsigned const limit = pcco_List->n_Limit();
    if (!limit || n_Pos >= pcco_List->n_GetEnd() || n_Pos >= limit) return 0;
    unsigned const es = pcco_List->n_GetElementSize();
    unsigned const hs = pcco_List->n_GetHandleSize();
    unsigned const os = pcco_List->n_OffsetSize;
    unsigned char const* image = pcco_List->pcuc_Image();
    auto giveUp = [&] {
        n_Pos = limit;
        return 0;
    };
    for (;;) {
        if (++n_Steps > limit || n_Pos + es > limit) return giveUp();
        unsigned e = CT_CompList::sn_GetNumber(image + n_Pos, es);
        if (e == CT_CompList::e_WordEndContinued || e == CT_CompList::e_WordEndLeaf) {
            if (n_Pos + es + hs > limit) return giveUp();
            if (pnHandle) *pnHandle = CT_CompList::sn_GetNumber(image + n_Pos + es, hs);
            if (pcoWord) pcoWord->v_Set(vpcco_GetCollectedString());
            if (e == CT_CompList::e_WordEndContinued)
                n_Pos += es + hs;
            else
                b_Restore();
            return 1;
        }
        if (e == CT_CompList::e_AltLink) {
            if (n_Pos + es + os > limit) return giveUp();
            unsigned offset = CT_CompList::sn_GetNumber(image + n_Pos + es, os);
            if (offset == 0 || offset >= limit - n_Pos) return giveUp();
            st_Pending pending{n_Pos, 0, 0};
            pending.n_Character = vn_PopCharacter();
            pending.n_Length = vpcco_GetCollectedString()->vn_GetLength();
            co_Stack.v_Insert(&pending);
            n_Pos += offset;
            continue;
        }
        if (e == CT_CompList::e_StreamEnd) return 0;
        vv_AppendCharacter(e);
        n_Pos += es;
    }
}

// ---------------------------------------------------------------------------

CT_CCompListIterator::CT_CCompListIterator(CT_CompList const* pcoList) : CT_CompListIterator(pcoList) {
    co_Word.vv_SetGrowth(e_WordGrowth);
    co_Word.v_SetCodePage(pcoList ? pcoList->n_GetCodePage() : 0);
}

CT_CCompListIterator::~CT_CCompListIterator() = default;

void CT_CCompListIterator::vv_Set(CT_CompList const* pcoList) {
    CT_CompListIterator::vv_Set(pcoList);
    co_Word.v_Set(0u, 1);
    // The collected word carries the list's code page, so that copying it
    // into a wide string converts from the code page the words are in.
    co_Word.v_SetCodePage(pcoList ? pcoList->n_GetCodePage() : 0);
}

unsigned CT_CCompListIterator::vn_PopCharacter() {
    unsigned length = co_Word.n_GetLength();
    if (length == 0) return 0;
    unsigned c = static_cast<unsigned char>(co_Word.qccz_Get()[length - 1]);
    co_Word.vv_SetLength(length - 1);
    return c;
}

void CT_CCompListIterator::vv_AppendCharacter(unsigned nCharacter) { co_Word.v_Append(static_cast<char>(nCharacter)); }

// ---------------------------------------------------------------------------

CT_UCompListIterator::CT_UCompListIterator(CT_CompList const* pcoList) : CT_CompListIterator(pcoList) {
    co_Word.vv_SetGrowth(e_WordGrowth);
}

CT_UCompListIterator::~CT_UCompListIterator() = default;

void CT_UCompListIterator::vv_Set(CT_CompList const* pcoList) {
    CT_CompListIterator::vv_Set(pcoList);
    co_Word.v_Set(0u, 1);
}

unsigned CT_UCompListIterator::vn_PopCharacter() {
    unsigned length = co_Word.n_GetLength();
    if (length == 0) return 0;
    unsigned c = co_Word.qcuz_Get()[length - 1];
    co_Word.vv_SetLength(length - 1);
    return c;
}

void CT_UCompListIterator::vv_AppendCharacter(unsigned nCharacter) {
    co_Word.v_Append(static_cast<unsigned short>(nCharacter));
}
