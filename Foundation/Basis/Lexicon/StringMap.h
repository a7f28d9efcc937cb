// Three small collections of owned strings with linear lookup, for short
// lists: CT_StringOrdinalMap (strings numbered by their 1-based position),
// CT_StringNumberMap (strings paired with an unsigned 32-bit number) and
// CT_StringStringMap (pairs of strings, looked up from either side).
//
// Every string stored is a copy made by the source string's vpco_Create,
// so it keeps the kind (narrow or wide) of its source; a map deletes its
// strings on removal, reset and destruction. Lookups compare whole strings
// (vi_Compare(other, 0, ~0, 0)) and take the first entry that compares
// equal. Positions lie between 1 and the count, and numbers given to
// v_Update and v_Remove are present; a position outside that range, or an
// absent number, reads as nothing (null, 0 or the empty text) and changes
// nothing.
//
// The text forms end at the first empty item, and so do the maps read back
// from them: an empty string does not survive a round trip, nor does
// anything after it.
#pragma once

#include <cstdint>

#include "Foundation/Basis/Container/Array.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Export.h"

class CT_Buffer;
class CT_String;

class BASIS_API CT_StringOrdinalMap {
    BASIS_DECLARE_POOL()

public:
    explicit CT_StringOrdinalMap(unsigned nGrowth = 8);
    explicit CT_StringOrdinalMap(CT_StringOrdinalMap const* other);
    CT_StringOrdinalMap(CT_StringOrdinalMap const& other) : CT_StringOrdinalMap(&other) {}
    // The target gets copies of its own, as the copy constructors give.
    CT_StringOrdinalMap& operator=(CT_StringOrdinalMap const& other);
    ~CT_StringOrdinalMap() { v_Exit(); }

    void v_Set(unsigned nGrowth);
    void v_Set(CT_StringOrdinalMap const* other);

    unsigned n_GetCount() const { return ao_Strings.n_GetCount(); }

    void v_Insert(CT_String const* s) { (void)n_Insert(s); }
    void v_Insert(char const* text);
    void v_Insert(unsigned short const* text);
    // The new count: the new string's ordinal.
    unsigned n_Insert(CT_String const* s);
    unsigned n_Insert(char const* text);
    unsigned n_Insert(unsigned short const* text);

    void v_SetAt(CT_String const* s, unsigned nOrdinal);
    void v_SetAt(char const* text, unsigned nOrdinal);
    void v_SetAt(unsigned short const* text, unsigned nOrdinal);

    // The ordinal of the first equal string, 0 if none.
    unsigned n_Get(CT_String const* s) const;
    unsigned n_Get(char const* text) const;
    unsigned n_Get(unsigned short const* text) const;

    CT_String const* pcco_Get(unsigned nOrdinal) const { return pco_At(nOrdinal); }
    // The text of a string of the asked kind; the library's empty text for
    // an empty string or one of the other kind.
    char const* qccz_Get(unsigned nOrdinal) const;
    unsigned short const* qcuz_Get(unsigned nOrdinal) const;

    // Deletes the string; later ordinals move down by one.
    void v_RemoveAt(unsigned nOrdinal);
    // Copies of the other map's first nCount strings (~0: all).
    void v_Append(CT_StringOrdinalMap* other, unsigned nCount);

    // Every string followed by the separator, the last one included.
    void v_Map2String(CT_String* pcoOut, char cSeparator) const;
    // Reset with growth 8, then the items of pcoIn up to the first empty
    // one, each as a string of pcoIn's kind.
    void v_String2Map(CT_String const* pcoIn, char cSeparator);
    void v_String2Map(char const* text, char cSeparator);
    void v_String2Map(unsigned short const* text, char cSeparator);

private:
    CT_String* pco_At(unsigned nOrdinal) const;
    void v_Exit();

    CT_Array<CT_String*> ao_Strings;
    unsigned n_Growth;
};

class BASIS_API CT_StringNumberMap {
    BASIS_DECLARE_POOL()

public:
    explicit CT_StringNumberMap(unsigned nGrowth = 8);
    explicit CT_StringNumberMap(CT_StringNumberMap const* other);
    CT_StringNumberMap(CT_StringNumberMap const& other) : CT_StringNumberMap(&other) {}
    CT_StringNumberMap& operator=(CT_StringNumberMap const& other);
    ~CT_StringNumberMap() { v_Exit(); }

    void v_Set(unsigned nGrowth);
    void v_Set(CT_StringNumberMap const* other);

    unsigned n_GetCount() const { return ao_Strings.n_GetCount(); }

    void v_Insert(CT_String const* s, unsigned nNumber);
    void v_Insert(char const* text, unsigned nNumber);
    void v_Insert(unsigned short const* text, unsigned nNumber);

    // The entry whose number is nNumber gets the new text.
    void v_Update(CT_String const* s, unsigned nNumber);
    void v_Update(char const* text, unsigned nNumber);
    void v_Update(unsigned short const* text, unsigned nNumber);

    void v_SetAt(CT_String const* s, unsigned nPos);
    void v_SetAt(char const* text, unsigned nPos);
    void v_SetAt(unsigned short const* text, unsigned nPos);
    void v_SetAt(unsigned nNumber, unsigned nPos);

    // The number of the first equal string, 0 if none.
    unsigned n_Get(CT_String const* s) const;
    unsigned n_Get(char const* text) const;
    unsigned n_Get(unsigned short const* text) const;
    unsigned n_GetAt(unsigned nPos) const;

    // The string of the first entry with that number, null if none.
    CT_String const* pcco_Get(unsigned nNumber) const;
    CT_String const* pcco_GetAt(unsigned nPos) const { return pco_At(nPos); }
    char const* qccz_Get(unsigned nNumber) const;
    unsigned short const* qcuz_Get(unsigned nNumber) const;
    char const* qccz_GetAt(unsigned nPos) const;
    unsigned short const* qcuz_GetAt(unsigned nPos) const;

    void v_Remove(unsigned nNumber);
    void v_RemoveAt(unsigned nPos);
    void v_Append(CT_StringNumberMap* other, unsigned nCount);

    // One record per entry: the number (4 bytes, little-endian), then the
    // string's characters and terminating zero (bytes, or 2-byte units).
    void v_Map2Buffer(CT_Buffer* buffer) const;
    // Reset with growth 8 and read the records up to the buffer's end or the
    // first empty text; the texts are wide (bWide) or narrow.
    void v_Buffer2Map(CT_Buffer const* buffer, int bWide);

private:
    CT_String* pco_At(unsigned nPos) const;
    // The position of the first entry with that number, 0 if none.
    unsigned n_FindNumber(unsigned nNumber) const;
    void v_Exit();

    CT_Array<CT_String*> ao_Strings;
    CT_Array<std::uint32_t> an_Numbers;
    unsigned n_Growth;
};

class BASIS_API CT_StringStringMap {
    BASIS_DECLARE_POOL()

public:
    explicit CT_StringStringMap(unsigned nGrowth = 4);
    explicit CT_StringStringMap(CT_StringStringMap const* other);
    CT_StringStringMap(CT_StringStringMap const& other) : CT_StringStringMap(&other) {}
    CT_StringStringMap& operator=(CT_StringStringMap const& other);
    ~CT_StringStringMap() { v_Exit(); }

    void v_Set(unsigned nGrowth);
    void v_Set(CT_StringStringMap const* other);

    unsigned n_GetCount() const { return ao_Strings1.n_GetCount(); }

    void v_Insert(CT_String const* s1, CT_String const* s2);
    void v_Insert(char const* text1, char const* text2);
    void v_Insert(unsigned short const* text1, unsigned short const* text2);

    void v_GetAt(CT_String** ppco1, CT_String** ppco2, unsigned nPos) const;

    // String 1 of the first pair whose string 2 equals s2, null if none.
    CT_String const* pcco_GetString1(CT_String const* s2) const;
    CT_String const* pcco_GetString1(char const* text2) const;
    CT_String const* pcco_GetString1(unsigned short const* text2) const;
    // String 2 of the first pair whose string 1 equals s1, null if none.
    CT_String const* pcco_GetString2(CT_String const* s1) const;
    CT_String const* pcco_GetString2(char const* text1) const;
    CT_String const* pcco_GetString2(unsigned short const* text1) const;

    void v_RemoveAt(unsigned nPos);
    void v_Append(CT_StringStringMap* other, unsigned nCount);

    // For each pair: string 1, the pair separator, string 2, the entry
    // separator.
    void v_Map2String(CT_String* pcoOut, char cPairSeparator, char cEntrySeparator) const;
    // Reset with growth 4 and read the entries up to the first empty one as
    // pairs of wide strings.
    void v_String2Map(CT_String const* pcoIn, char cPairSeparator, char cEntrySeparator);
    void v_String2Map(char const* text, char cPairSeparator, char cEntrySeparator);
    void v_String2Map(unsigned short const* text, char cPairSeparator, char cEntrySeparator);

private:
    CT_String const* pcco_Get(CT_Array<CT_String*> const* pSearch, CT_Array<CT_String*> const* pResult,
                              CT_String const* s) const;
    void v_Exit();

    CT_Array<CT_String*> ao_Strings1;
    CT_Array<CT_String*> ao_Strings2;
    unsigned n_Growth;
};
