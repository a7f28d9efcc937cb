// CT_UString: the wide string, UTF-16 code units with no code page of its
// own (surrogate pairs are not combined: every operation works on units).
//
// Narrow text given to it is converted with a code page: the one passed
// in, the narrow source string's own, or code page 0 where an operation
// says so. Storage: the units and one terminating zero unit; length = used
// size / 2 - 1, maximum length = maximum size / 2 - 1 (0 without storage).
// Positions and counts are in units; the buffer's sizes are in bytes, and
// so is its growth (vn_GetGrowth and vv_SetGrowth speak in units).
//
// Case mapping follows the C locale: only A to Z and a to z change. White
// space is the narrow six and the other Unicode white-space characters
// (see CharacterRules.h). See CT_String for the rules common to both kinds.
#pragma once

#include <cstdarg>

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/String.h"

class CT_CString;

class BASIS_API CT_UString : public CT_String {
    BASIS_DECLARE_DERIVED_TYPE(CT_UString)
    BASIS_DECLARE_POOL()

public:
    CT_UString();
    // Empty, with room for length - 1 units and the terminator.
    explicit CT_UString(unsigned length);
    // A length as a plain int literal: CT_UString(0) must not read as a
    // null string pointer.
    explicit CT_UString(int length) : CT_UString(static_cast<unsigned>(length)) {}
    CT_UString(char const* text, unsigned count, unsigned codePage);
    CT_UString(unsigned short const* text, unsigned count);
    // Shares the buffer (zero-terminated wide text, the used size counting
    // the terminator).
    explicit CT_UString(CT_Buffer const* buffer);
    // A wide source shares its buffer; a narrow one is converted with its
    // own code page.
    explicit CT_UString(CT_String const* source);
    explicit CT_UString(CT_CString const* source);
    explicit CT_UString(CT_UString const* source);
    CT_UString(CT_UString const& other);
    CT_UString& operator=(CT_UString const& other);
    ~CT_UString() override;

    // The zero-terminated units; an empty string gives an empty text.
    unsigned short const* qcuz_Get() const {
        return co_Buffer.n_GetUsedSize() >= 2 ? static_cast<unsigned short const*>(co_Buffer.qcv_Get()) : &su_Empty;
    }
    // The length without a virtual call.
    unsigned n_GetLength() const {
        unsigned used = co_Buffer.n_GetUsedSize();
        return used >= 2 ? used / 2 - 1 : 0;
    }
    unsigned short u_GetAt(unsigned at) const { return at < n_GetLength() ? qcuz_Get()[at] : 0; }
    void v_SetAt(unsigned short c, unsigned at) { vv_SetAt(c, at); }
    // Wildcard match of the whole string: "*" any run, "?" any one unit.
    int b_Match(unsigned short const* pattern) const;

    // Appending: a zero character, or a count of 0, appends nothing; a
    // count of ~0u is the text's whole length. CT_String's v_Append(char)
    // and v_Append(char const*, count) convert with code page 0.
    using CT_String::v_Append;
    // The common case stays inline, as in the narrow string.
    void v_Append(unsigned short c) {
        unsigned used = co_Buffer.n_GetUsedSize();
        if (c == 0) return;
        if (used < 2) {
            v_AppendText(&c, 1);
            return;
        }
        unsigned short const terminator = 0;
        co_Buffer.v_Append(&terminator, 2);
        pu_Data()[used / 2 - 1] = c;
    }
    void v_Append(unsigned short const* text, unsigned count) {
        unsigned used = co_Buffer.n_GetUsedSize();
        if (count == ~0u || used < 2) {
            v_AppendText(text, count);
            return;
        }
        if (count == 0) return;
        if (count > sn_MaximumLength(2) - (used / 2 - 1)) return;  // past the most a string holds: nothing
        unsigned short const first = text[0];  // read before the storage can move
        unsigned short const terminator = 0;
        co_Buffer.v_Append(text + 1, (count - 1) * 2);
        co_Buffer.v_Append(&terminator, 2);
        pu_Data()[used / 2 - 1] = first;
    }
    void v_Append(char c, unsigned codePage);
    void v_Append(char const* text, unsigned count, unsigned codePage);
    // A narrow source is converted with code page 0, not its own.
    void v_Append(CT_String const* source, unsigned count);

    // The dispatch table (see CT_String for the order).
    CT_UString* vpco_Create() const override;
    void vv_SetSize(unsigned length, int keep) override;
    void vv_SetMinSize(unsigned length, int keep) override;
    void vv_Replace(unsigned short c, unsigned count, unsigned at) override;
    void vv_Replace(char c, unsigned count, unsigned at) override;
    char vc_GetAt(unsigned at) const override;
    unsigned short vu_GetAt(unsigned at) const override;
    void vv_SetAt(unsigned short c, unsigned at) override;
    void vv_SetAt(char c, unsigned at) override;
    void vv_ToLower() override;
    void vv_ToUpper() override;
    void vv_Remove(unsigned count, unsigned at) override;
    unsigned vn_Find(unsigned short c, unsigned from) const override;
    unsigned vn_Find(char c, unsigned from) const override;
    unsigned vn_Find(CT_String const* pattern, unsigned from) const override;
    void vv_Update() override;
    int vb_Match(CT_String const* pattern) const override;
    void vv_Strip(CT_String const* set) override;
    void vv_StripRight() override;
    void vv_StripLeft() override;
    int vi_Compare(CT_String const* other, unsigned from, unsigned count, unsigned at) const override;
    int vi_Compare(unsigned short const* text, unsigned count, unsigned at) const override;
    int vi_Compare(char const* text, unsigned count, unsigned at) const override;
    void vv_Translate(CT_String const* from, CT_String const* to) override;
    void vv_SetLength(unsigned length) override;
    unsigned vn_GetLength() const override;
    unsigned vn_GetMaximumLength() const override;
    void vv_SetGrowth(unsigned growth) override;
    unsigned vn_GetGrowth() const override;
    void vv_Format(CT_String const* format, va_list argList) override;
    void vv_Format(CT_String const* format, ...) override;

protected:
    void vv_Init(CT_Buffer const* buffer) override;
    void vv_Init(unsigned short const* text, unsigned count) override;
    void vv_Init(char const* text, unsigned count, unsigned codePage) override;
    void vv_Init(CT_String const* source) override;
    void vv_Init(unsigned length) override;
    void vv_Init() override;
    void vv_StringReplace(CT_String const* source, unsigned from, unsigned count, unsigned at) override;
    void vv_StringReplace(unsigned short const* text, unsigned count, unsigned at) override;
    void vv_StringReplace(char const* text, unsigned count, unsigned at, unsigned codePage) override;
    void vv_StringInsert(CT_String const* source, unsigned from, unsigned count, unsigned at) override;
    void vv_StringInsert(unsigned short const* text, unsigned count, unsigned at) override;
    void vv_StringInsert(char const* text, unsigned count, unsigned at, unsigned codePage) override;

public:
    // The last slot of the dispatch table: the same as the argList vv_Format.
    virtual void vv_VFormat(CT_String const* format, va_list argList);

protected:
    explicit CT_UString(CT_Type* type);

private:
    static unsigned short const su_Empty;

    // The units, for writing; the storage must exist and be unshared.
    unsigned short* pu_Data() { return static_cast<unsigned short*>(const_cast<void*>(co_Buffer.qcv_Get())); }
    // v_Append of a text in every case (see the narrow string).
    void v_AppendText(unsigned short const* text, unsigned count);
    // Ends the string at length (terminator there), making room if needed.
    void v_End(unsigned length);
    // Makes sure an empty string holds its terminator, with room for count
    // more units.
    void v_Terminate(unsigned count);
    void v_Fill(unsigned short c, unsigned count, unsigned at);
    void v_Keep(unsigned first, unsigned last);
    unsigned n_FindText(unsigned short const* text, unsigned count, unsigned from) const;
    int i_CompareText(unsigned short const* text, unsigned count, unsigned at) const;
};
