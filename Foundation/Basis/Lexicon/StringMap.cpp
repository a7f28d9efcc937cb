#include "Foundation/Basis/Lexicon/StringMap.h"

#include <cstring>
#include <memory>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Basis/Text/StringScanner.h"

BASIS_DEFINE_POOL(CT_StringOrdinalMap)
BASIS_DEFINE_POOL(CT_StringNumberMap)
BASIS_DEFINE_POOL(CT_StringStringMap)

namespace {

using StringArray = CT_Array<CT_String*>;

// Zero-terminated texts wrapped as strings for the string forms. Narrow
// texts are taken in the ANSI code page.
CT_CString co_Narrow(char const* text) { return CT_CString(text, ~0u, 0u); }
CT_UString co_Wide(unsigned short const* text) { return CT_UString(text, ~0u); }

// The string at a position; null for a position outside 1 to the count,
// which the maps then treat as absent (nothing read, changed or removed).
CT_String* pco_Get(StringArray const& strings, unsigned position) {
    if (position == 0 || position > strings.n_GetCount()) return nullptr;
    CT_String* s = nullptr;
    strings.v_GetAt(&s, static_cast<int>(position));
    return s;
}

void v_DeleteAll(StringArray* strings) {
    for (unsigned i = 1; i <= strings->n_GetCount(); ++i) delete pco_Get(*strings, i);
}

// Appends copies of the first count strings of from (~0: all).
void v_AppendCopies(StringArray* to, StringArray const& from, unsigned count) {
    unsigned n = from.n_GetCount();
    if (count < n) n = count;
    for (unsigned i = 1; i <= n; ++i) to->v_Insert(pco_Get(from, i)->vpco_Create());
}

bool b_Equal(CT_String const* a, CT_String const* b) { return a->vi_Compare(b, 0, 0xFFFFFFFFu, 0) == 0; }

// The position of the first string equal to s, 0 if none.
unsigned n_Find(StringArray const& strings, CT_String const* s) {
    for (unsigned i = 1; i <= strings.n_GetCount(); ++i)
        if (b_Equal(pco_Get(strings, i), s)) return i;
    return 0;
}

// The text of a string of the asked kind; the library's empty text of that
// kind for a missing or empty string or one of the other kind (a narrow
// text is never handed out as wide units or the other way round).
char const* qccz_Text(CT_String const* s) {
    if (s && s->vpv_IsA(CT_CString::spcco_GetType())) return static_cast<CT_CString const*>(s)->qccz_Get();
    return CT_CString().qccz_Get();
}

unsigned short const* qcuz_Text(CT_String const* s) {
    if (s && s->vpv_IsA(CT_UString::spcco_GetType())) return static_cast<CT_UString const*>(s)->qcuz_Get();
    return CT_UString().qcuz_Get();
}

// Item n of in (either kind) into a fresh string of in's kind. The item is
// emptied first, so an input of neither kind yields the empty item.
std::unique_ptr<CT_String> pco_Item(CT_StringScanner* scanner, CT_String const* in, char separator, unsigned n) {
    std::unique_ptr<CT_String> item(in->vpco_Create());
    item->vv_SetLength(0);
    scanner->v_Item(item.get(), in, static_cast<unsigned char>(separator), n);
    return item;
}

}  // namespace

// ---- CT_StringOrdinalMap ----

CT_StringOrdinalMap::CT_StringOrdinalMap(unsigned nGrowth) : ao_Strings(nGrowth, 0), n_Growth(nGrowth) {}

CT_StringOrdinalMap::CT_StringOrdinalMap(CT_StringOrdinalMap const* other)
    : ao_Strings(other->n_Growth, 0), n_Growth(other->n_Growth) {
    v_AppendCopies(&ao_Strings, other->ao_Strings, ~0u);
}

CT_StringOrdinalMap& CT_StringOrdinalMap::operator=(CT_StringOrdinalMap const& other) {
    if (this != &other) v_Set(&other);
    return *this;
}

void CT_StringOrdinalMap::v_Exit() {
    v_DeleteAll(&ao_Strings);
    ao_Strings.v_Set(n_Growth, 0, 0);
}

void CT_StringOrdinalMap::v_Set(unsigned nGrowth) {
    v_Exit();
    n_Growth = nGrowth;
    ao_Strings.v_Set(nGrowth, 0, 0);
}

void CT_StringOrdinalMap::v_Set(CT_StringOrdinalMap const* other) {
    if (other == this) return;
    v_Set(other->n_Growth);
    v_AppendCopies(&ao_Strings, other->ao_Strings, ~0u);
}

CT_String* CT_StringOrdinalMap::pco_At(unsigned nOrdinal) const { return pco_Get(ao_Strings, nOrdinal); }

void CT_StringOrdinalMap::v_Insert(char const* text) {
    CT_CString s = co_Narrow(text);
    v_Insert(&s);
}
void CT_StringOrdinalMap::v_Insert(unsigned short const* text) {
    CT_UString s = co_Wide(text);
    v_Insert(&s);
}

unsigned CT_StringOrdinalMap::n_Insert(CT_String const* s) {
    ao_Strings.v_Insert(s->vpco_Create());
    return ao_Strings.n_GetCount();
}
unsigned CT_StringOrdinalMap::n_Insert(char const* text) {
    CT_CString s = co_Narrow(text);
    return n_Insert(&s);
}
unsigned CT_StringOrdinalMap::n_Insert(unsigned short const* text) {
    CT_UString s = co_Wide(text);
    return n_Insert(&s);
}

void CT_StringOrdinalMap::v_SetAt(CT_String const* s, unsigned nOrdinal) {
    if (CT_String* at = pco_At(nOrdinal)) at->v_Set(s);
}
void CT_StringOrdinalMap::v_SetAt(char const* text, unsigned nOrdinal) {
    CT_CString s = co_Narrow(text);
    v_SetAt(&s, nOrdinal);
}
void CT_StringOrdinalMap::v_SetAt(unsigned short const* text, unsigned nOrdinal) {
    CT_UString s = co_Wide(text);
    v_SetAt(&s, nOrdinal);
}

unsigned CT_StringOrdinalMap::n_Get(CT_String const* s) const { return n_Find(ao_Strings, s); }
unsigned CT_StringOrdinalMap::n_Get(char const* text) const {
    CT_CString s = co_Narrow(text);
    return n_Get(&s);
}
unsigned CT_StringOrdinalMap::n_Get(unsigned short const* text) const {
    CT_UString s = co_Wide(text);
    return n_Get(&s);
}

char const* CT_StringOrdinalMap::qccz_Get(unsigned nOrdinal) const { return qccz_Text(pco_At(nOrdinal)); }
unsigned short const* CT_StringOrdinalMap::qcuz_Get(unsigned nOrdinal) const { return qcuz_Text(pco_At(nOrdinal)); }

void CT_StringOrdinalMap::v_RemoveAt(unsigned nOrdinal) {
    CT_String* at = pco_At(nOrdinal);
    if (at == nullptr) return;  // no such ordinal: nothing to remove
    delete at;
    ao_Strings.v_RemoveAt(nOrdinal);
}

void CT_StringOrdinalMap::v_Append(CT_StringOrdinalMap* other, unsigned nCount) {
    v_AppendCopies(&ao_Strings, other->ao_Strings, nCount);
}

void CT_StringOrdinalMap::v_Map2String(CT_String* pcoOut, char cSeparator) const {
    pcoOut->vv_SetLength(0);
    for (unsigned i = 1; i <= n_GetCount(); ++i) {
        pcoOut->v_Append(pco_At(i), ~0u);
        pcoOut->v_Append(cSeparator);
    }
}

void CT_StringOrdinalMap::v_String2Map(CT_String const* pcoIn, char cSeparator) {
    // The input may be one of this map's own strings, which the reset
    // deletes: it is read from a copy.
    std::unique_ptr<CT_String> in(pcoIn->vpco_Create());
    v_Set(8u);
    CT_StringScanner scanner;
    for (unsigned n = 1;; ++n) {
        std::unique_ptr<CT_String> item = pco_Item(&scanner, in.get(), cSeparator, n);
        if (item->vn_GetLength() == 0) break;
        v_Insert(item.get());
    }
}

void CT_StringOrdinalMap::v_String2Map(char const* text, char cSeparator) {
    CT_CString in = co_Narrow(text);
    v_String2Map(&in, cSeparator);
}
void CT_StringOrdinalMap::v_String2Map(unsigned short const* text, char cSeparator) {
    CT_UString in = co_Wide(text);
    v_String2Map(&in, cSeparator);
}

// ---- CT_StringNumberMap ----

CT_StringNumberMap::CT_StringNumberMap(unsigned nGrowth)
    : ao_Strings(nGrowth, 0), an_Numbers(nGrowth, 0), n_Growth(nGrowth) {}

CT_StringNumberMap::CT_StringNumberMap(CT_StringNumberMap const* other)
    : ao_Strings(other->n_Growth, 0), an_Numbers(other->n_Growth, 0), n_Growth(other->n_Growth) {
    v_Append(const_cast<CT_StringNumberMap*>(other), ~0u);
}

CT_StringNumberMap& CT_StringNumberMap::operator=(CT_StringNumberMap const& other) {
    if (this != &other) v_Set(&other);
    return *this;
}

void CT_StringNumberMap::v_Exit() {
    v_DeleteAll(&ao_Strings);
    ao_Strings.v_Set(n_Growth, 0, 0);
    an_Numbers.v_Set(n_Growth, 0, 0);
}

void CT_StringNumberMap::v_Set(unsigned nGrowth) {
    v_Exit();
    n_Growth = nGrowth;
    ao_Strings.v_Set(nGrowth, 0, 0);
    an_Numbers.v_Set(nGrowth, 0, 0);
}

void CT_StringNumberMap::v_Set(CT_StringNumberMap const* other) {
    if (other == this) return;
    v_Set(other->n_Growth);
    v_Append(const_cast<CT_StringNumberMap*>(other), ~0u);
}

CT_String* CT_StringNumberMap::pco_At(unsigned nPos) const { return pco_Get(ao_Strings, nPos); }

unsigned CT_StringNumberMap::n_FindNumber(unsigned nNumber) const {
    for (unsigned i = 1; i <= n_GetCount(); ++i)
        if (n_GetAt(i) == nNumber) return i;
    return 0;
}

void CT_StringNumberMap::v_Insert(CT_String const* s, unsigned nNumber) {
    ao_Strings.v_Insert(s->vpco_Create());
    an_Numbers.v_Insert(static_cast<std::uint32_t>(nNumber));
}
void CT_StringNumberMap::v_Insert(char const* text, unsigned nNumber) {
    CT_CString s = co_Narrow(text);
    v_Insert(&s, nNumber);
}
void CT_StringNumberMap::v_Insert(unsigned short const* text, unsigned nNumber) {
    CT_UString s = co_Wide(text);
    v_Insert(&s, nNumber);
}

// An absent number finds position 0, where v_SetAt changes nothing.
void CT_StringNumberMap::v_Update(CT_String const* s, unsigned nNumber) { v_SetAt(s, n_FindNumber(nNumber)); }
void CT_StringNumberMap::v_Update(char const* text, unsigned nNumber) {
    CT_CString s = co_Narrow(text);
    v_Update(&s, nNumber);
}
void CT_StringNumberMap::v_Update(unsigned short const* text, unsigned nNumber) {
    CT_UString s = co_Wide(text);
    v_Update(&s, nNumber);
}

void CT_StringNumberMap::v_SetAt(CT_String const* s, unsigned nPos) {
    if (CT_String* at = pco_At(nPos)) at->v_Set(s);
}
void CT_StringNumberMap::v_SetAt(char const* text, unsigned nPos) {
    CT_CString s = co_Narrow(text);
    v_SetAt(&s, nPos);
}
void CT_StringNumberMap::v_SetAt(unsigned short const* text, unsigned nPos) {
    CT_UString s = co_Wide(text);
    v_SetAt(&s, nPos);
}
void CT_StringNumberMap::v_SetAt(unsigned nNumber, unsigned nPos) {
    if (nPos == 0 || nPos > n_GetCount()) return;  // no such position: nothing changes
    an_Numbers.v_SetAt(static_cast<std::uint32_t>(nNumber), static_cast<int>(nPos));
}

unsigned CT_StringNumberMap::n_Get(CT_String const* s) const {
    unsigned at = n_Find(ao_Strings, s);
    return at ? n_GetAt(at) : 0;
}
unsigned CT_StringNumberMap::n_Get(char const* text) const {
    CT_CString s = co_Narrow(text);
    return n_Get(&s);
}
unsigned CT_StringNumberMap::n_Get(unsigned short const* text) const {
    CT_UString s = co_Wide(text);
    return n_Get(&s);
}

unsigned CT_StringNumberMap::n_GetAt(unsigned nPos) const {
    if (nPos == 0 || nPos > n_GetCount()) return 0;  // no such position: 0, read from nowhere
    std::uint32_t number = 0;
    an_Numbers.v_GetAt(&number, static_cast<int>(nPos));
    return number;
}

CT_String const* CT_StringNumberMap::pcco_Get(unsigned nNumber) const {
    unsigned at = n_FindNumber(nNumber);
    return at ? pco_At(at) : nullptr;
}

char const* CT_StringNumberMap::qccz_Get(unsigned nNumber) const { return qccz_Text(pcco_Get(nNumber)); }
unsigned short const* CT_StringNumberMap::qcuz_Get(unsigned nNumber) const { return qcuz_Text(pcco_Get(nNumber)); }
char const* CT_StringNumberMap::qccz_GetAt(unsigned nPos) const { return qccz_Text(pco_At(nPos)); }
unsigned short const* CT_StringNumberMap::qcuz_GetAt(unsigned nPos) const { return qcuz_Text(pco_At(nPos)); }

// An absent number finds position 0, where v_RemoveAt removes nothing.
void CT_StringNumberMap::v_Remove(unsigned nNumber) { v_RemoveAt(n_FindNumber(nNumber)); }

void CT_StringNumberMap::v_RemoveAt(unsigned nPos) {
    CT_String* at = pco_At(nPos);
    if (at == nullptr) return;
    delete at;
    ao_Strings.v_RemoveAt(nPos);
    an_Numbers.v_RemoveAt(nPos);
}

void CT_StringNumberMap::v_Append(CT_StringNumberMap* other, unsigned nCount) {
    unsigned n = other->n_GetCount();
    if (nCount < n) n = nCount;
    for (unsigned i = 1; i <= n; ++i) v_Insert(other->pco_At(i), other->n_GetAt(i));
}

void CT_StringNumberMap::v_Map2Buffer(CT_Buffer* buffer) const {
    buffer->v_Set(nullptr, 0, buffer->n_GetGrowth());
    for (unsigned i = 1; i <= n_GetCount(); ++i) {
        std::uint32_t number = n_GetAt(i);
        unsigned char bytes[4] = {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
                                  static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
        buffer->v_Append(bytes, 4);
        CT_String const* s = pco_At(i);
        if (s->vpv_IsA(CT_UString::spcco_GetType())) {
            // 2-byte units, low byte first, terminator included.
            unsigned short const* text = static_cast<CT_UString const*>(s)->qcuz_Get();
            unsigned length = static_cast<CT_UString const*>(s)->n_GetLength();
            for (unsigned k = 0; k <= length; ++k) {
                unsigned char unit[2] = {static_cast<unsigned char>(text[k]), static_cast<unsigned char>(text[k] >> 8)};
                buffer->v_Append(unit, 2);
            }
        } else {
            char const* text = qccz_Text(s);
            buffer->v_Append(text, static_cast<unsigned>(std::strlen(text)) + 1);
        }
    }
}

void CT_StringNumberMap::v_Buffer2Map(CT_Buffer const* buffer, int bWide) {
    v_Set(8u);
    unsigned char const* data = static_cast<unsigned char const*>(buffer->qcv_Get());
    unsigned const size = buffer->n_GetUsedSize();
    unsigned at = 0;
    // A record cut short by the buffer's end ends the reading.
    while (size - at >= 4) {
        std::uint32_t number = static_cast<std::uint32_t>(data[at]) | static_cast<std::uint32_t>(data[at + 1]) << 8 |
                               static_cast<std::uint32_t>(data[at + 2]) << 16 |
                               static_cast<std::uint32_t>(data[at + 3]) << 24;
        at += 4;
        if (bWide) {
            CT_UString text;
            while (size - at >= 2) {
                unsigned short unit = static_cast<unsigned short>(data[at] | data[at + 1] << 8);
                at += 2;
                if (unit == 0) break;
                text.v_Append(unit);
            }
            if (text.n_GetLength() == 0) break;
            v_Insert(&text, number);
        } else {
            unsigned start = at;
            while (at < size && data[at] != 0) ++at;
            unsigned length = at - start;
            if (at < size) ++at;  // the terminator
            if (length == 0) break;
            CT_CString text(reinterpret_cast<char const*>(data + start), length, 0u);
            v_Insert(&text, number);
        }
    }
}

// ---- CT_StringStringMap ----

CT_StringStringMap::CT_StringStringMap(unsigned nGrowth)
    : ao_Strings1(nGrowth, 0), ao_Strings2(nGrowth, 0), n_Growth(nGrowth) {}

CT_StringStringMap::CT_StringStringMap(CT_StringStringMap const* other)
    : ao_Strings1(other->n_Growth, 0), ao_Strings2(other->n_Growth, 0), n_Growth(other->n_Growth) {
    v_AppendCopies(&ao_Strings1, other->ao_Strings1, ~0u);
    v_AppendCopies(&ao_Strings2, other->ao_Strings2, ~0u);
}

CT_StringStringMap& CT_StringStringMap::operator=(CT_StringStringMap const& other) {
    if (this != &other) v_Set(&other);
    return *this;
}

void CT_StringStringMap::v_Exit() {
    v_DeleteAll(&ao_Strings1);
    v_DeleteAll(&ao_Strings2);
    ao_Strings1.v_Set(n_Growth, 0, 0);
    ao_Strings2.v_Set(n_Growth, 0, 0);
}

void CT_StringStringMap::v_Set(unsigned nGrowth) {
    v_Exit();
    n_Growth = nGrowth;
    ao_Strings1.v_Set(nGrowth, 0, 0);
    ao_Strings2.v_Set(nGrowth, 0, 0);
}

void CT_StringStringMap::v_Set(CT_StringStringMap const* other) {
    if (other == this) return;
    v_Set(other->n_Growth);
    v_AppendCopies(&ao_Strings1, other->ao_Strings1, ~0u);
    v_AppendCopies(&ao_Strings2, other->ao_Strings2, ~0u);
}

void CT_StringStringMap::v_Insert(CT_String const* s1, CT_String const* s2) {
    ao_Strings1.v_Insert(s1->vpco_Create());
    ao_Strings2.v_Insert(s2->vpco_Create());
}
void CT_StringStringMap::v_Insert(char const* text1, char const* text2) {
    CT_CString s1 = co_Narrow(text1);
    CT_CString s2 = co_Narrow(text2);
    v_Insert(&s1, &s2);
}
void CT_StringStringMap::v_Insert(unsigned short const* text1, unsigned short const* text2) {
    CT_UString s1 = co_Wide(text1);
    CT_UString s2 = co_Wide(text2);
    v_Insert(&s1, &s2);
}

void CT_StringStringMap::v_GetAt(CT_String** ppco1, CT_String** ppco2, unsigned nPos) const {
    *ppco1 = pco_Get(ao_Strings1, nPos);
    *ppco2 = pco_Get(ao_Strings2, nPos);
}

CT_String const* CT_StringStringMap::pcco_Get(StringArray const* pSearch, StringArray const* pResult,
                                              CT_String const* s) const {
    unsigned at = n_Find(*pSearch, s);
    return at ? pco_Get(*pResult, at) : nullptr;
}

CT_String const* CT_StringStringMap::pcco_GetString1(CT_String const* s2) const {
    return pcco_Get(&ao_Strings2, &ao_Strings1, s2);
}
CT_String const* CT_StringStringMap::pcco_GetString1(char const* text2) const {
    CT_CString s = co_Narrow(text2);
    return pcco_GetString1(&s);
}
CT_String const* CT_StringStringMap::pcco_GetString1(unsigned short const* text2) const {
    CT_UString s = co_Wide(text2);
    return pcco_GetString1(&s);
}
CT_String const* CT_StringStringMap::pcco_GetString2(CT_String const* s1) const {
    return pcco_Get(&ao_Strings1, &ao_Strings2, s1);
}
CT_String const* CT_StringStringMap::pcco_GetString2(char const* text1) const {
    CT_CString s = co_Narrow(text1);
    return pcco_GetString2(&s);
}
CT_String const* CT_StringStringMap::pcco_GetString2(unsigned short const* text1) const {
    CT_UString s = co_Wide(text1);
    return pcco_GetString2(&s);
}

void CT_StringStringMap::v_RemoveAt(unsigned nPos) {
    if (nPos == 0 || nPos > n_GetCount()) return;  // no such pair: nothing to remove
    delete pco_Get(ao_Strings1, nPos);
    delete pco_Get(ao_Strings2, nPos);
    ao_Strings1.v_RemoveAt(nPos);
    ao_Strings2.v_RemoveAt(nPos);
}

void CT_StringStringMap::v_Append(CT_StringStringMap* other, unsigned nCount) {
    v_AppendCopies(&ao_Strings1, other->ao_Strings1, nCount);
    v_AppendCopies(&ao_Strings2, other->ao_Strings2, nCount);
}

void CT_StringStringMap::v_Map2String(CT_String* pcoOut, char cPairSeparator, char cEntrySeparator) const {
    pcoOut->vv_SetLength(0);
    for (unsigned i = 1; i <= n_GetCount(); ++i) {
        pcoOut->v_Append(pco_Get(ao_Strings1, i), ~0u);
        pcoOut->v_Append(cPairSeparator);
        pcoOut->v_Append(pco_Get(ao_Strings2, i), ~0u);
        pcoOut->v_Append(cEntrySeparator);
    }
}

void CT_StringStringMap::v_String2Map(CT_String const* pcoIn, char cPairSeparator, char cEntrySeparator) {
    // Converted before the reset, which would delete an input that is one
    // of this map's own strings.
    CT_UString in(pcoIn);
    v_Set(4u);
    CT_StringScanner scanner;
    for (unsigned n = 1;; ++n) {
        std::unique_ptr<CT_String> entry = pco_Item(&scanner, &in, cEntrySeparator, n);
        if (entry->vn_GetLength() == 0) break;
        std::unique_ptr<CT_String> s1 = pco_Item(&scanner, entry.get(), cPairSeparator, 1);
        std::unique_ptr<CT_String> s2 = pco_Item(&scanner, entry.get(), cPairSeparator, 2);
        v_Insert(s1.get(), s2.get());
    }
}

void CT_StringStringMap::v_String2Map(char const* text, char cPairSeparator, char cEntrySeparator) {
    CT_CString in = co_Narrow(text);
    v_String2Map(&in, cPairSeparator, cEntrySeparator);
}
void CT_StringStringMap::v_String2Map(unsigned short const* text, char cPairSeparator, char cEntrySeparator) {
    CT_UString in = co_Wide(text);
    v_String2Map(&in, cPairSeparator, cEntrySeparator);
}
