// CT_StringScanner: cuts a text into items or words and extracts, counts or
// removes the n-th of them (numbered from 1).
//
// An item is a field between single delimiter characters: the text a,,b
// holds three items, the middle one empty, and every text holds one item
// more than it has delimiters. A word is a maximal run of characters none of
// which occurs in a separator text.
//
// The public operations take CT_String and dispatch on the kind of the
// strings passed: all narrow runs the narrow form (a wide delimiter is first
// converted to one narrow character by CT_StringConvert::sc_WideToMulti
// with the ANSI code page), all wide runs the wide form, and mixed kinds do
// nothing (the counts are then 0). An unset string counts as empty.
#pragma once

#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class CT_String;
class CT_CString;
class CT_UString;

class BASIS_API CT_StringScanner {
    BASIS_DECLARE_POOL()

public:
    // out := item n of in; the empty text when there is no item n.
    void v_Item(CT_String* out, CT_String const* in, unsigned short delimiter, unsigned n);
    // 1 + the number of delimiters in the text.
    unsigned n_ItemCount(CT_String const* in, unsigned short delimiter);
    // Removes the characters of item n (the delimiters stay); nothing
    // without an item n.
    void v_RemoveItem(CT_String* s, unsigned short delimiter, unsigned n);

    // out := word n of in; out stays as it is when there is no word n.
    void v_SubWord(CT_String* out, CT_String const* in, CT_String const* separatorText, unsigned n);
    unsigned n_WordCount(CT_String const* in, CT_String const* separatorText);
    // Removes the characters of word n; the separators around it stay.
    void v_RemoveWord(CT_String* s, CT_String const* separatorText, unsigned n);

private:
    void v_ItemC(CT_CString* out, CT_CString const* in, char delimiter, unsigned n);
    void v_ItemU(CT_UString* out, CT_UString const* in, unsigned short delimiter, unsigned n);
    unsigned n_ItemCountC(CT_CString const* in, char delimiter);
    unsigned n_ItemCountU(CT_UString const* in, unsigned short delimiter);
    void v_RemoveItemC(CT_CString* s, char delimiter, unsigned n);
    void v_RemoveItemU(CT_UString* s, unsigned short delimiter, unsigned n);
    void v_SubWordC(CT_CString* out, CT_CString const* in, CT_CString const* separatorText, unsigned n);
    void v_SubWordU(CT_UString* out, CT_UString const* in, CT_UString const* separatorText, unsigned n);
    unsigned n_WordCountC(CT_CString const* in, CT_CString const* separatorText);
    unsigned n_WordCountU(CT_UString const* in, CT_UString const* separatorText);
    void v_RemoveWordC(CT_CString* s, CT_CString const* separatorText, unsigned n);
    void v_RemoveWordU(CT_UString* s, CT_UString const* separatorText, unsigned n);
};
