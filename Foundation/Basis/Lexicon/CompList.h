// CT_CompList: a set of words with a small number (handle) each, kept as
// one contiguous byte image in a CT_Buffer, so that the image can be copied,
// stored and taken back as it is.
//
// Image: a 132-byte header, then a stream of elements (es bytes each: 1, 2
// or 4) in which words that begin alike share their first elements.
//   0 magic 19970101 | 4 end (image length) | 8 code page | 12 handle of the
//   empty word | 16 jump table, 26 x 4 (top-level branch of 'a'..'z') |
//   120 entry count | 124 network-order flag | 125 es | 126 hs (handle size)
//   | 127 flags (bit 0 empty word, bit 1 long offsets) | 128 reserved 1,0,0,0
// Header numbers are little-endian; numbers in the stream are in host order
// with their own width. Stream markers (never characters of a word):
//   10 word end with longer words after it, followed by the handle
//   13 alternative link, followed by the offset (2 or 4 bytes) from this
//      marker to the first character of the next alternative
//   25 end of the stream
//   26 word end closing a branch, followed by the handle
//
// Limits and choices:
// - With 2-byte offsets a link cannot span more than 65535 bytes. An
//   addition that would need a longer link (a new one, or an old one that
//   the insertion stretches) is refused before anything changes: b_Add
//   returns false and the image stays as it was. Lists that must grow past
//   about 64 KiB of image need long offsets.
// - The network-byte-order flag is written 0 and otherwise ignored: images
//   are read and written in host order.
// - The header is read from the buffer at each use rather than through a
//   kept pointer, so that a moved or unshared buffer can never leave a
//   stale pointer behind.
//
// Robustness: an image taken from a buffer is not parsed when it is taken.
// Every read of it is bounds-checked against the image, every link must
// point forward inside it, and an iteration stops after as many steps as
// the image has bytes, so a damaged image makes searches miss, additions
// refuse and iterations end early, never read outside the buffer nor loop.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Platform/Export.h"

class CT_CString;
class CT_UString;

class BASIS_API CT_CompList {
public:
    enum et_ElementSize { e_Byte = 1, e_Word = 2, e_DWord = 4 };
    enum et_WalkMode { e_Search = 0, e_SearchLength = 1, e_Add = 2 };
    enum : std::uint32_t {
        e_Magic = 19970101u,
        e_HeaderSize = 132,
        e_StreamStart = 132,
        e_NotFound = 0xFFFFFFFFu,
        e_MinimumGrowth = 128,
    };
    // The stream's marker values.
    enum : unsigned { e_WordEndContinued = 10, e_AltLink = 13, e_StreamEnd = 25, e_WordEndLeaf = 26 };

    CT_CompList(et_ElementSize eElementSize, unsigned nHandleSize, int bEmptyStringSupport, int bLongOffsetSupport,
                unsigned nGrowth, unsigned nCodePage);
    explicit CT_CompList(CT_Buffer const* pcoImage);
    explicit CT_CompList(CT_CompList const* pcoOther);
    CT_CompList(CT_CompList const& other) : CT_CompList(&other) {}
    // Gives this list its own share of the other's image, as copying does.
    CT_CompList& operator=(CT_CompList const& other);
    ~CT_CompList();

    void v_Set(et_ElementSize eElementSize, unsigned nHandleSize, int bEmptyStringSupport, int bLongOffsetSupport,
               unsigned nGrowth, unsigned nCodePage);
    void v_Set(CT_Buffer const* pcoImage);
    void v_Set(CT_CompList const* pcoOther);

    // Words are zero-terminated runs of elements of the list's element size.
    int b_Add(char const* pcWord, unsigned nHandle);
    int b_Add(unsigned short const* puWord, unsigned nHandle);
    int b_Add(CT_CString const* pcoWord, unsigned nHandle);
    int b_Add(CT_UString const* pcoWord, unsigned nHandle);

    unsigned n_Search(char const* pcWord, unsigned* pnPos) const;
    unsigned n_Search(unsigned short const* puWord, unsigned* pnPos) const;
    unsigned n_Search(CT_CString const* pcoWord, unsigned* pnPos) const;
    unsigned n_Search(CT_UString const* pcoWord, unsigned* pnPos) const;
    int b_Search(char const* pcWord) const { return n_Search(pcWord, nullptr) != e_NotFound; }
    int b_Search(unsigned short const* puWord) const { return n_Search(puWord, nullptr) != e_NotFound; }
    int b_Search(CT_CString const* pcoWord) const { return n_Search(pcoWord, nullptr) != e_NotFound; }
    int b_Search(CT_UString const* pcoWord) const { return n_Search(pcoWord, nullptr) != e_NotFound; }

    unsigned n_GetElementSize() const { return n_HeaderByte(125); }
    unsigned n_GetHandleSize() const { return n_HeaderByte(126); }
    unsigned n_GetCodePage() const { return n_HeaderField(8); }
    unsigned n_GetNrOfEntries() const { return n_HeaderField(120); }
    unsigned n_GetEnd() const { return n_HeaderField(4); }
    int b_HasEmptyStringSupport() const { return (n_HeaderByte(127) & 1) != 0; }
    int b_HasLongOffsetSupport() const { return (n_HeaderByte(127) & 2) != 0; }
    int b_IsInNetworkByteOrder() const { return n_HeaderByte(124) != 0; }
    int b_IsEmpty() const { return n_GetEnd() == e_HeaderSize + n_GetElementSize(); }
    int b_IsChanged() const { return b_Changed; }
    CT_Buffer const* pcco_GetBuffer() const { return co_Image.qcv_Get() ? &co_Image : nullptr; }

private:
    friend class CT_CompListIterator;
    struct st_LinkIndex;

    // The image's bytes, null when there is no image.
    unsigned char const* pcuc_Image() const { return static_cast<unsigned char const*>(co_Image.qcv_Get()); }
    unsigned char* puc_WritableImage();
    unsigned n_HeaderField(unsigned at) const;
    unsigned n_HeaderByte(unsigned at) const;
    void v_SetHeaderField(unsigned at, unsigned value);
    // Bytes that may be read: the end field, cut to the buffer's used size;
    // 0 when the header is not one this list can walk (bad sizes, too short).
    unsigned n_Limit() const;

    unsigned n_Walk(char const* pcWord, et_WalkMode eMode, unsigned nHandle, unsigned* pnPos);
    char* pc_InsertBytes(unsigned nAt, unsigned nCount);
    void v_RecalcAltPos(unsigned nAt, unsigned nCount);
    // Whether inserting nCount bytes at nAt keeps every link offset within
    // its width (always true with long offsets).
    int b_CanInsert(unsigned nAt, unsigned nCount);
    st_LinkIndex* pso_Links();
    void v_DropLinks();

    // Numbers of an explicit width (1, 2, 4; any other reads 0, writes nothing).
    static unsigned sn_GetNumber(unsigned char const* pc, unsigned nWidth);
    static void sv_SetNumber(unsigned char* pc, unsigned nWidth, unsigned nValue);
    unsigned n_GetJumpOffset(char cIndex) const;
    void v_SetJumpOffset(char cIndex, unsigned nOffset);
    unsigned n_GetEmptyStringHandle() const;
    void v_SetEmptyStringHandle(unsigned nHandle);

    CT_Buffer co_Image;
    unsigned n_StreamStart;
    int b_Changed;
    unsigned n_OffsetSize;
    // The image's alternative links ordered by target, built on the first
    // addition and kept up to date by it, so that an insertion repairs the
    // links it spans without walking the stream before it.
    st_LinkIndex* pso_LinkIndex;
};
