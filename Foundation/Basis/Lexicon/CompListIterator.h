// The iterators of a compressed list: every stored word with its handle.
//
// At every branching point the last alternative is listed first and the
// first one last; a word that longer words continue comes before them. The
// empty word (kept in the header) is not listed. An iterator is valid for
// the image it started on: adding to the list moves offsets under it.
//
// CT_CompListIterator walks the stream and keeps a stack of the branching
// points still to visit; its two subclasses collect the word as narrow
// (CT_CCompListIterator) or wide (CT_UCompListIterator) characters.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"

class CT_CompList;

class BASIS_API CT_CompListIterator {
public:
    explicit CT_CompListIterator(CT_CompList const* pcoList);
    virtual ~CT_CompListIterator();
    // Starts again, on this or another list.
    virtual void vv_Set(CT_CompList const* pcoList);
    virtual CT_String const* vpcco_GetCollectedString() const = 0;
    // Removes and returns the collected word's last character.
    virtual unsigned vn_PopCharacter() = 0;
    virtual void vv_AppendCharacter(unsigned nCharacter) = 0;

    // The next word and its handle (either may be null); false at the end.
    int b_GetNext(CT_String* pcoWord, unsigned* pnHandle);

protected:
    CT_CompListIterator(CT_CompListIterator const&) = default;
    CT_CompListIterator& operator=(CT_CompListIterator const&) = default;

private:
    // A branching point still to visit.
    struct st_Pending {
        std::uint32_t n_Link;       // offset of the alternative link
        std::uint32_t n_Length;     // collected length before its first character
        std::uint32_t n_Character;  // that first character
    };
    // Back to the latest branching point; false when none is left.
    int b_Restore();

    CT_CompList const* pcco_List;
    std::uint32_t n_Pos;
    CT_VoidArray co_Stack;
    // Elements visited since the start: a sound image is walked once, so
    // more steps than the image has bytes means a damaged image.
    std::uint32_t n_Steps;
};

class BASIS_API CT_CCompListIterator : public CT_CompListIterator {
public:
    explicit CT_CCompListIterator(CT_CompList const* pcoList);
    CT_CCompListIterator(CT_CCompListIterator const& other) = default;
    CT_CCompListIterator& operator=(CT_CCompListIterator const& other) = default;
    ~CT_CCompListIterator() override;
    void vv_Set(CT_CompList const* pcoList) override;
    CT_String const* vpcco_GetCollectedString() const override { return &co_Word; }
    unsigned vn_PopCharacter() override;
    void vv_AppendCharacter(unsigned nCharacter) override;

private:
    CT_CString co_Word;
};

class BASIS_API CT_UCompListIterator : public CT_CompListIterator {
public:
    explicit CT_UCompListIterator(CT_CompList const* pcoList);
    CT_UCompListIterator(CT_UCompListIterator const& other) = default;
    CT_UCompListIterator& operator=(CT_UCompListIterator const& other) = default;
    ~CT_UCompListIterator() override;
    void vv_Set(CT_CompList const* pcoList) override;
    CT_String const* vpcco_GetCollectedString() const override { return &co_Word; }
    unsigned vn_PopCharacter() override;
    void vv_AppendCharacter(unsigned nCharacter) override;

private:
    CT_UString co_Word;
};
