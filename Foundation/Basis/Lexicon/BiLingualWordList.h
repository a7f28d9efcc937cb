// Bilingual word lists: pairs of a source word and its target word, looked
// up in both directions.
//
// The texts of the pairs are kept once, each word with its terminating zero,
// one after another in insertion order (source texts and target texts).
// Two compressed lists index them: the source index maps a source word to
// the byte offset of its partner in the target texts, the target index a
// target word to the offset of its partner in the source texts. A lookup
// therefore returns a pointer into the texts without copying. A word added
// again keeps its first handle, so lookups answer with the first pair while
// the iterators list every pair.
//
// The indexes use 2-byte link offsets: a list whose image grows past what
// they reach stops indexing the words that would need a longer link (their
// pairs are still kept and listed; see CT_CompList).
#pragma once

#include <cstdint>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/Lexicon/CompList.h"
#include "Foundation/Platform/Export.h"

class CT_CString;
class CT_UString;
class CT_String;

class BASIS_API CT_BiLingualWordListBasis {
public:
    CT_BiLingualWordListBasis();
    explicit CT_BiLingualWordListBasis(CT_BiLingualWordListBasis const* pcoOther);
    CT_BiLingualWordListBasis(CT_BiLingualWordListBasis const& other) : CT_BiLingualWordListBasis(&other) {}
    CT_BiLingualWordListBasis& operator=(CT_BiLingualWordListBasis const& other);
    virtual ~CT_BiLingualWordListBasis();

    void v_Set();
    void v_Set(CT_BiLingualWordListBasis const* pcoOther);
    CT_Buffer const* pcco_GetSourceBuffer() const { return &co_SourceTexts; }
    CT_Buffer const* pcco_GetTargetBuffer() const { return &co_TargetTexts; }
    unsigned n_GetCount() const { return n_Count; }

protected:
    CT_Buffer co_SourceTexts;
    CT_Buffer co_TargetTexts;
    std::uint32_t n_Count;
};

class BASIS_API CT_BiLingualCWordList : public CT_BiLingualWordListBasis {
public:
    CT_BiLingualCWordList();
    explicit CT_BiLingualCWordList(CT_BiLingualCWordList const* pcoOther);
    CT_BiLingualCWordList(CT_BiLingualCWordList const& other) : CT_BiLingualCWordList(&other) {}
    CT_BiLingualCWordList& operator=(CT_BiLingualCWordList const& other);
    ~CT_BiLingualCWordList() override;

    void v_Set();
    void v_Set(CT_BiLingualCWordList const* pcoOther);
    void v_Insert(char const* pcSource, char const* pcTarget);
    void v_Insert(CT_CString const* pcoSource, CT_CString const* pcoTarget);
    char const* qccz_FindSource(char const* pcSource) const;
    char const* qccz_FindSource(CT_CString const* pcoSource) const;
    char const* qccz_FindTarget(char const* pcTarget) const;
    char const* qccz_FindTarget(CT_CString const* pcoTarget) const;
    CT_CompList const* pcco_GetSourceIndex() const { return &co_SourceIndex; }
    CT_CompList const* pcco_GetTargetIndex() const { return &co_TargetIndex; }

    BASIS_DECLARE_POOL()

private:
    CT_CompList co_SourceIndex;
    CT_CompList co_TargetIndex;
};

class BASIS_API CT_BiLingualUWordList : public CT_BiLingualWordListBasis {
public:
    CT_BiLingualUWordList();
    explicit CT_BiLingualUWordList(CT_BiLingualUWordList const* pcoOther);
    CT_BiLingualUWordList(CT_BiLingualUWordList const& other) : CT_BiLingualUWordList(&other) {}
    CT_BiLingualUWordList& operator=(CT_BiLingualUWordList const& other);
    ~CT_BiLingualUWordList() override;

    void v_Set();
    void v_Set(CT_BiLingualUWordList const* pcoOther);
    void v_Insert(unsigned short const* puSource, unsigned short const* puTarget);
    void v_Insert(CT_UString const* pcoSource, CT_UString const* pcoTarget);
    unsigned short const* qcuz_FindSource(unsigned short const* puSource) const;
    unsigned short const* qcuz_FindSource(CT_UString const* pcoSource) const;
    unsigned short const* qcuz_FindTarget(unsigned short const* puTarget) const;
    unsigned short const* qcuz_FindTarget(CT_UString const* pcoTarget) const;
    CT_CompList const* pcco_GetSourceIndex() const { return &co_SourceIndex; }
    CT_CompList const* pcco_GetTargetIndex() const { return &co_TargetIndex; }

    BASIS_DECLARE_POOL()

private:
    CT_CompList co_SourceIndex;
    CT_CompList co_TargetIndex;
};

// Walks the pairs of a list in insertion order.
class BASIS_API CT_BiWordListIteratorBasis {
public:
    explicit CT_BiWordListIteratorBasis(CT_BiLingualWordListBasis const* pcoList);
    explicit CT_BiWordListIteratorBasis(CT_BiWordListIteratorBasis const* pcoOther);
    CT_BiWordListIteratorBasis(CT_BiWordListIteratorBasis const& other) = default;
    CT_BiWordListIteratorBasis& operator=(CT_BiWordListIteratorBasis const& other) = default;
    ~CT_BiWordListIteratorBasis() = default;

    void v_Set(CT_BiLingualWordListBasis const* pcoList);
    void v_Set(CT_BiWordListIteratorBasis const* pcoOther) { *this = *pcoOther; }
    int b_AtHome() const { return n_Index == 0; }
    int b_AtEnd() const { return n_Index == n_GetCount(); }
    int b_IsEqual(CT_BiWordListIteratorBasis const* pcoOther) const;
    unsigned n_GetCount() const { return pcco_List ? pcco_List->n_GetCount() : 0; }

protected:
    // One step (b_Next); the unit is the terminator's width in bytes.
    int b_Step(unsigned nUnit);

    CT_BiLingualWordListBasis const* pcco_List;
    CT_Buffer const* pcco_SourceTexts;
    CT_Buffer const* pcco_TargetTexts;
    std::uint32_t n_SourceOffset;
    std::uint32_t n_TargetOffset;
    std::uint32_t n_Index;
};

class BASIS_API CT_BiCWordListIterator : public CT_BiWordListIteratorBasis {
public:
    explicit CT_BiCWordListIterator(CT_BiLingualCWordList const* pcoList) : CT_BiWordListIteratorBasis(pcoList) {}
    explicit CT_BiCWordListIterator(CT_BiCWordListIterator const* pcoOther) : CT_BiWordListIteratorBasis(pcoOther) {}
    int b_Next() { return b_Step(1); }
    // Pointers to the current pair's texts inside the list.
    void v_Get(char** ppcSource, char** ppcTarget) const;
    // Copies of them (set from narrow text).
    void v_Get(CT_String* pcoSource, CT_String* pcoTarget) const;
};

class BASIS_API CT_BiUWordListIterator : public CT_BiWordListIteratorBasis {
public:
    explicit CT_BiUWordListIterator(CT_BiLingualUWordList const* pcoList) : CT_BiWordListIteratorBasis(pcoList) {}
    explicit CT_BiUWordListIterator(CT_BiUWordListIterator const* pcoOther) : CT_BiWordListIteratorBasis(pcoOther) {}
    int b_Next() { return b_Step(2); }
    void v_Get(unsigned short** ppuSource, unsigned short** ppuTarget) const;
    void v_Get(CT_String* pcoSource, CT_String* pcoTarget) const;
};
