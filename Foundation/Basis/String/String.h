// CT_String: the common base of the narrow string (CT_CString, bytes in a
// code page) and the wide string (CT_UString, UTF-16 units).
//
// It fixes the layout (the dispatch table, then one CT_Buffer) and the
// virtual interface through which either kind is read, changed, searched
// and compared without knowing its kind; the non-virtual operations below
// forward to it. An operation that takes a CT_String const* accepts either
// kind: it asks the argument for its class (vpv_IsKindOf) and reads bytes or
// units, converting between the kinds where needed.
//
// Rules common to both kinds:
// - The buffer holds the characters and one terminating zero character; a
//   string of length n uses n + 1 characters' worth of bytes. No storage,
//   or used size 0, is the empty string.
// - Copying or assigning a string shares its buffer; every change unshares.
// - Lengths, counts and positions are in characters of the string's kind.
// - A count of ~0u means the whole zero-terminated length of the argument,
//   or the whole rest of the string, as each operation says.
// - A code page of ~1u means the string's own (a narrow string's field; 0
//   for a wide string). ~0u, like any code page the system does not know,
//   converts as code page 0, the system's ANSI code page.
// - To replace keeps the characters before the position, puts the new text
//   there and ends the string after it; to insert shifts the rest behind.
//
// In CT_String itself every operation from vpco_Create on does nothing and
// returns 0: the class is used through its two derived classes and its
// prototype only.
//
// The argList forms of the format operations take the platform's va_list
// where the library's home platform passes it as a char*. So a call of a
// variadic v_Format or vv_Format whose only argument after the format is a
// (non-const) char* chooses the argList form there: pass such an argument
// as char const*.
#pragma once

#include <cstdarg>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_String {
    // Dispatch table slots 0 to 2: vpcco_GetType, vpv_IsA, vpv_IsKindOf.
    BASIS_DECLARE_TYPE(CT_String)

public:
    // The rest of the dispatch table, in its order.
    virtual ~CT_String();
    // A new string of the same class sharing this one's buffer.
    virtual CT_String* vpco_Create() const;
    virtual void vv_SetSize(unsigned length, int keep);
    virtual void vv_SetMinSize(unsigned length, int keep);
    virtual void vv_Replace(unsigned short c, unsigned count, unsigned at);
    virtual void vv_Replace(char c, unsigned count, unsigned at);
    virtual char vc_GetAt(unsigned at) const;
    virtual unsigned short vu_GetAt(unsigned at) const;
    virtual void vv_SetAt(unsigned short c, unsigned at);
    virtual void vv_SetAt(char c, unsigned at);
    virtual void vv_ToLower();
    virtual void vv_ToUpper();
    virtual void vv_Remove(unsigned count, unsigned at);
    virtual unsigned vn_Find(unsigned short c, unsigned from) const;
    virtual unsigned vn_Find(char c, unsigned from) const;
    virtual unsigned vn_Find(CT_String const* pattern, unsigned from) const;
    virtual void vv_Update();
    virtual int vb_Match(CT_String const* pattern) const;
    virtual void vv_Strip(CT_String const* set);
    virtual void vv_StripRight();
    virtual void vv_StripLeft();
    virtual int vi_Compare(CT_String const* other, unsigned from, unsigned count, unsigned at) const;
    virtual int vi_Compare(unsigned short const* text, unsigned count, unsigned at) const;
    virtual int vi_Compare(char const* text, unsigned count, unsigned at) const;
    virtual void vv_Translate(CT_String const* from, CT_String const* to);
    virtual void vv_SetLength(unsigned length);
    virtual unsigned vn_GetLength() const;
    virtual unsigned vn_GetMaximumLength() const;
    virtual void vv_SetGrowth(unsigned growth);
    virtual unsigned vn_GetGrowth() const;
    virtual void vv_Format(CT_String const* format, va_list argList);
    virtual void vv_Format(CT_String const* format, ...);

protected:
    virtual void vv_Init(CT_Buffer const* buffer);
    virtual void vv_Init(unsigned short const* text, unsigned count);
    virtual void vv_Init(char const* text, unsigned count, unsigned codePage);
    virtual void vv_Init(CT_String const* source);
    virtual void vv_Init(unsigned length);
    virtual void vv_Init();
    virtual void vv_StringReplace(CT_String const* source, unsigned from, unsigned count, unsigned at);
    virtual void vv_StringReplace(unsigned short const* text, unsigned count, unsigned at);
    virtual void vv_StringReplace(char const* text, unsigned count, unsigned at, unsigned codePage);
    virtual void vv_StringInsert(CT_String const* source, unsigned from, unsigned count, unsigned at);
    virtual void vv_StringInsert(unsigned short const* text, unsigned count, unsigned at);
    virtual void vv_StringInsert(char const* text, unsigned count, unsigned at, unsigned codePage);
    // (The two string classes add vv_VFormat as the last slot.)

public:
    CT_String& operator=(CT_String const& other) {
        co_Buffer.v_Set(&other.co_Buffer);
        return *this;
    }

    CT_Buffer const* pcco_GetBuffer() const { return &co_Buffer; }
    // Unshares the buffer, for callers that write through a character pointer.
    void v_CopyWeWrite() { co_Buffer.v_CopyWeWrite(); }

    void v_Set(CT_String const* source) { vv_Init(source); }
    void v_Set(unsigned short const* text, unsigned count) { vv_Init(text, count); }
    void v_Set(CT_Buffer const* buffer) { vv_Init(buffer); }
    // codePage ~1u: the string's own.
    void v_Set(char const* text, unsigned count, unsigned codePage);
    // Empty, with room for length characters; with reuse the storage is kept
    // when it is large enough.
    void v_Set(unsigned length, int reuse);

    // count ~0u: the rest of the source from position from.
    void v_Replace(CT_String const* source, unsigned from, unsigned count, unsigned at);
    void v_Replace(char const* text, unsigned count, unsigned at);
    void v_Replace(unsigned short const* text, unsigned count, unsigned at);
    void v_Insert(char const* text, unsigned count, unsigned at);
    void v_Insert(unsigned short const* text, unsigned count, unsigned at);
    void v_Insert(CT_String const* source, unsigned count, unsigned at);

    void v_Append(char c);
    void v_Append(unsigned short c);
    void v_Append(char const* text, unsigned count);
    void v_Append(unsigned short const* text, unsigned count);
    void v_Append(CT_String const* source, unsigned count);

    // Narrow formatting by the platform C library's rules into a work area
    // of 2048 bytes (at most 2047 characters are kept), then set as narrow
    // text in the string's own code page. Wide arguments (%ls, %S) are read
    // as the platform's wchar_t: use the wide format for wide arguments.
    void v_Format(char const* format, ...);
    void v_Format(char const* format, va_list argList);
    // Wide formatting into a work area of 2048 units (at most 2047 kept),
    // by the library's own UTF-16 formatter (see WideFormat.h): %s reads a
    // wide text, %S or %hs a narrow one.
    void v_Format(unsigned short const* format, ...);
    void v_Format(unsigned short const* format, va_list argList);

    enum : unsigned { e_FormatArea = 2048 };

    // The most characters of unit bytes (1 narrow, 2 wide) a string holds.
    // With the terminator they stay below the largest storage a buffer can
    // describe, so no size, and no sum of a position and a count that the
    // operations check against it, wraps around 32 bits. A position, count
    // or length that would take a string past it is not a valid argument:
    // the operations given one do nothing, as each says at its place.
    static constexpr unsigned sn_MaximumLength(unsigned unit) { return 0xFFFFFF00u / unit - 1; }
    // Whether at and at + count both lie within that limit.
    static constexpr bool sb_Within(unsigned at, unsigned count, unsigned unit) {
        return at <= sn_MaximumLength(unit) && count <= sn_MaximumLength(unit) - at;
    }

protected:
    // The conversion functions fill strings of either kind in place.
    friend class CT_StringConvert;

    CT_String();
    explicit CT_String(CT_Buffer const* buffer);
    explicit CT_String(CT_Type* type);
    CT_String(CT_String const& other) : CT_String(&other.co_Buffer) {}

    CT_Buffer co_Buffer;
};
