// Reading a string argument of either kind as the kind an operation needs.
//
// An operation that takes a CT_String const* asks it for its class through
// the type system (vpv_IsKindOf) and reads its bytes or its units; where
// the kinds differ, CT_NarrowText and CT_WideText hold the converted text
// for the length of the operation. A null argument, or one of neither kind
// (only the base-class prototype is), reads as the empty text.
// Internal to the library.
#pragma once

class CT_String;
class CT_CString;
class CT_UString;

namespace StringText {

// The narrow or the wide part of a string argument, or null.
CT_CString const* spcco_AsNarrow(CT_String const* source);
CT_UString const* spcco_AsWide(CT_String const* source);

unsigned sn_Length(char const* text);
unsigned sn_Length(unsigned short const* text);
// The length up to the terminator, but no further than limit characters
// (~0u: no limit); nothing past them is read.
unsigned sn_Length(char const* text, unsigned limit);
unsigned sn_Length(unsigned short const* text, unsigned limit);

// The bytes, without the terminator, that converting count units into a
// code page can produce: two per unit in a code page of the system (the
// conversion is bounded there), and the UTF-8 or UTF-7 worst case (three
// per unit, and the opening and closing of a UTF-7 run) for 65001 and
// 65000, whose coders know no bound.
unsigned sn_NarrowRoom(unsigned count, unsigned codePage);

// Conversions into a caller's area, always zero-terminated; they return
// the number of units or bytes written without the terminator. The target
// of sn_ToWide holds count + 1 units; that of sn_ToNarrow
// sn_NarrowRoom(count, codePage) + 1 bytes.
unsigned sn_ToWide(unsigned short* target, char const* source, unsigned count, unsigned codePage);
unsigned sn_ToNarrow(char* target, unsigned short const* source, unsigned count, unsigned codePage);

}  // namespace StringText

// Narrow text for the length of one operation: narrow text as it is, wide
// text converted into a code page.
class CT_NarrowText {
public:
    CT_NarrowText(unsigned short const* text, unsigned count, unsigned codePage);
    // The characters of source from position from on; a wide source is
    // converted with code page 0.
    CT_NarrowText(CT_String const* source, unsigned from);
    CT_NarrowText(CT_NarrowText const&) = delete;
    CT_NarrowText& operator=(CT_NarrowText const&) = delete;
    ~CT_NarrowText();

    char const* qccz_Get() const { return qccz_Text; }
    unsigned n_GetLength() const { return n_Length; }

private:
    void v_Convert(unsigned short const* text, unsigned count, unsigned codePage);

    char const* qccz_Text;
    unsigned n_Length;
    char* pc_Owned;
    char ac_Local[128];
};

// Wide text for the length of one operation: wide text as it is, narrow
// text converted from a code page.
class CT_WideText {
public:
    enum et_CodePage : unsigned {
        // Convert a narrow source with the source string's own code page.
        e_SourceCodePage = 0xFFFFFFFDu
    };

    CT_WideText(char const* text, unsigned count, unsigned codePage);
    // The characters of source from position from on; a narrow source is
    // converted with codePage (e_SourceCodePage: with its own).
    CT_WideText(CT_String const* source, unsigned from, unsigned codePage);
    CT_WideText(CT_WideText const&) = delete;
    CT_WideText& operator=(CT_WideText const&) = delete;
    ~CT_WideText();

    unsigned short const* qcuz_Get() const { return qcuz_Text; }
    unsigned n_GetLength() const { return n_Length; }

private:
    void v_Convert(char const* text, unsigned count, unsigned codePage);

    unsigned short const* qcuz_Text;
    unsigned n_Length;
    unsigned short* pu_Owned;
    unsigned short au_Local[64];
};
