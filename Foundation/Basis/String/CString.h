// CT_CString: the narrow string, 8-bit characters of a Windows code page
// that the string carries with it (0: the system's ANSI code page).
//
// Narrow text given to it is stored byte for byte, whatever code page it
// came from; wide text is converted into the string's own code page, and
// its bytes read as wide are converted from it. Storage: the bytes and one
// terminating zero byte; length = used size - 1, maximum length = maximum
// size - 1 (0 without storage). See CT_String for the rules common to both
// kinds of string.
//
// Case mapping and the white-space test follow the C locale, the only one
// the library runs in: only A to Z and a to z change case, and white space
// is space, tab, line feed, vertical tab, form feed and carriage return.
#pragma once

#include <cstdarg>

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Basis/String/String.h"

class CT_UString;

class BASIS_API CT_CString : public CT_String {
    BASIS_DECLARE_DERIVED_TYPE(CT_CString)
    BASIS_DECLARE_POOL()

public:
    explicit CT_CString(unsigned codePage = 0);
    // Code page as a plain int literal: CT_CString(0) must not read as a
    // null string pointer.
    explicit CT_CString(int codePage) : CT_CString(static_cast<unsigned>(codePage)) {}
    CT_CString(char const* text, unsigned count, unsigned codePage);
    // The wide text converted into codePage.
    CT_CString(unsigned short const* text, unsigned count, unsigned codePage);
    // Shares the buffer, which holds zero-terminated text whose used size
    // counts the terminator.
    CT_CString(CT_Buffer const* buffer, unsigned codePage);
    // A narrow source shares its buffer and code page; a wide one is
    // converted into codePage.
    CT_CString(CT_String const* source, unsigned codePage);
    CT_CString(CT_UString const* source, unsigned codePage);
    explicit CT_CString(CT_CString const* source);
    CT_CString(CT_CString const& other);
    CT_CString& operator=(CT_CString const& other);
    ~CT_CString() override;

    // The zero-terminated bytes; an empty string gives "".
    char const* qccz_Get() const {
        return co_Buffer.n_GetUsedSize() ? static_cast<char const*>(co_Buffer.qcv_Get()) : &sc_Empty;
    }
    // The length without a virtual call.
    unsigned n_GetLength() const {
        unsigned used = co_Buffer.n_GetUsedSize();
        return used ? used - 1 : 0;
    }
    char c_GetAt(unsigned at) const { return at < co_Buffer.n_GetUsedSize() ? qccz_Get()[at] : 0; }
    void v_SetAt(char c, unsigned at) { vv_SetAt(c, at); }
    unsigned n_GetCodePage() const { return n_CodePage; }
    // Sets the field only; the bytes are not converted.
    void v_SetCodePage(unsigned codePage) { n_CodePage = codePage; }
    // Wildcard match of the whole string: "*" any run, "?" any one byte.
    int b_Match(char const* pattern) const;

    // Appending: a zero character, or a count of 0, appends nothing; a
    // count of ~0u is the text's whole length. Narrow bytes are appended as
    // they are (a narrow source string's too: no conversion between code
    // pages); wide text is converted into the string's code page.
    // The common case, a string that holds its terminator, stays inline:
    // the new terminator is appended first (the buffer grows by its rules
    // and unshares as needed), then the character takes the old one's
    // place. For a text, all but its first byte go after the terminator
    // first, which also copes with text from the string's own storage.
    void v_Append(char c) {
        unsigned used = co_Buffer.n_GetUsedSize();
        if (c == 0) return;
        if (used == 0) {
            v_AppendText(&c, 1);
            return;
        }
        co_Buffer.v_Append(static_cast<unsigned char>(0));
        pc_Data()[used - 1] = c;
    }
    void v_Append(char const* text, unsigned count) {
        unsigned used = co_Buffer.n_GetUsedSize();
        if (count == ~0u || used == 0) {
            v_AppendText(text, count);
            return;
        }
        if (count == 0) return;
        if (count > sn_MaximumLength(1) - (used - 1)) return;  // past the most a string holds: nothing
        char first = text[0];  // read before the storage can move
        co_Buffer.v_Append(text + 1, count - 1);
        co_Buffer.v_Append(static_cast<unsigned char>(0));
        pc_Data()[used - 1] = first;
    }
    // Replaces the text by count bytes (none of them a terminator) where the
    // storage is this string's own and has room; says whether it could.
    bool b_SetTextInPlace(char const* text, unsigned count) { return co_Buffer.b_SetInPlace(text, count, 0); }
    void v_Append(unsigned short c);
    void v_Append(unsigned short const* text, unsigned count);
    void v_Append(CT_String const* source, unsigned count);

    // The dispatch table (see CT_String for the order).
    CT_CString* vpco_Create() const override;
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
    explicit CT_CString(CT_Type* type);

private:
    static char const sc_Empty;

    // The bytes, for writing; the storage must exist and be unshared.
    char* pc_Data() { return static_cast<char*>(const_cast<void*>(co_Buffer.qcv_Get())); }
    // v_Append of a text in every case: the count rules, and an empty
    // string's first terminator.
    void v_AppendText(char const* text, unsigned count);
    // Ends the string at length (terminator there), making room if needed.
    void v_End(unsigned length);
    // Fills count bytes from at with c, ending the string after them when
    // that reaches or passes the old length.
    void v_Fill(char c, unsigned count, unsigned at);
    // Keeps the bytes [first, last) only, unsharing when anything changes.
    void v_Keep(unsigned first, unsigned last);
    unsigned n_FindText(char const* text, unsigned count, unsigned from) const;
    int i_CompareText(char const* text, unsigned count, unsigned at) const;

    unsigned n_CodePage;
};
