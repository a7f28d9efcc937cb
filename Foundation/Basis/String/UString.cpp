#include "Foundation/Basis/String/UString.h"

#include <cstring>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/CharacterRules.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/System/String/StringConvert.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_UString)
BASIS_DEFINE_POOL(CT_UString)

unsigned short const CT_UString::su_Empty = 0;

namespace {

constexpr unsigned n_All = ~0u;
unsigned short const au_Terminator[1] = {0};

bool b_Inside(CT_Buffer const& buffer, void const* text) {
    char const* storage = static_cast<char const*>(buffer.qcv_Get());
    char const* p = static_cast<char const*>(text);
    return storage && p >= storage && p < storage + buffer.n_GetMaximumSize();
}

}  // namespace

// Construction.

CT_UString::CT_UString() { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(unsigned length) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    CT_UString::vv_Init(length);
}

CT_UString::CT_UString(char const* text, unsigned count, unsigned codePage) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    CT_UString::vv_Init(text, count, codePage);
}

CT_UString::CT_UString(unsigned short const* text, unsigned count) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    CT_UString::vv_Init(text, count);
}

CT_UString::CT_UString(CT_Buffer const* buffer) : CT_String(buffer) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(CT_String const* source) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    CT_UString::vv_Init(source);
}

CT_UString::CT_UString(CT_CString const* source) {
    BASIS_TYPE_CONSTRUCT(CT_UString);
    if (source) CT_UString::vv_StringReplace(source->qccz_Get(), source->n_GetLength(), 0, source->n_GetCodePage());
}

CT_UString::CT_UString(CT_UString const* source) : CT_String(&source->co_Buffer) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(CT_UString const& other) : CT_String(other) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString::CT_UString(CT_Type* type) : CT_String(type) { BASIS_TYPE_CONSTRUCT(CT_UString); }

CT_UString& CT_UString::operator=(CT_UString const& other) {
    CT_String::operator=(other);
    return *this;
}

CT_UString::~CT_UString() { (void)BASIS_TYPE_DESTRUCT(CT_UString); }

CT_UString* CT_UString::vpco_Create() const { return new CT_UString(this); }

// Helpers.

void CT_UString::v_End(unsigned length) {
    unsigned used = (length + 1) * 2;
    if (co_Buffer.n_GetMaximumSize() < used) co_Buffer.v_SetSize(used, 1);
    co_Buffer.v_SetUsedSize(used);
    pu_Data()[length] = 0;
}

void CT_UString::v_Terminate(unsigned count) {
    if (co_Buffer.n_GetUsedSize() >= 2) return;
    co_Buffer.v_Set(count * 2 + 2, n_All, 1);
    v_End(0);
}

void CT_UString::v_Fill(unsigned short c, unsigned count, unsigned at) {
    // A fill that would reach past the most a string holds fills nothing.
    if (!sb_Within(at, count, 2)) return;
    unsigned old = n_GetLength();
    vv_SetMinSize(at + count, 1);
    if (at + count >= old) v_End(at + count);
    else co_Buffer.v_CopyWeWrite();
    unsigned short* units = pu_Data();
    for (unsigned i = 0; i < count; ++i) units[at + i] = c;
}

void CT_UString::v_Keep(unsigned first, unsigned last) {
    if (first == 0 && last == n_GetLength()) return;
    co_Buffer.v_CopyWeWrite();
    if (first) std::memmove(pu_Data(), pu_Data() + first, (last - first) * 2);
    v_End(last - first);
}

// Setting the whole string.

void CT_UString::vv_Init(CT_Buffer const* buffer) { co_Buffer.v_Set(buffer); }

void CT_UString::vv_Init(unsigned short const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, 0);
}

void CT_UString::vv_Init(char const* text, unsigned count, unsigned codePage) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, 0, codePage);
}

void CT_UString::vv_Init(CT_String const* source) {
    if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        if (wide != this) co_Buffer.v_Set(&wide->co_Buffer);
    } else if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        vv_StringReplace(narrow->qccz_Get(), narrow->n_GetLength(), 0, narrow->n_GetCodePage());
    } else {
        vv_StringReplace(&su_Empty, 0, 0);
    }
}

void CT_UString::vv_Init(unsigned length) {
    // Room past the most a string holds is not reserved: the string is
    // only emptied.
    if (length > sn_MaximumLength(2)) length = 0;
    co_Buffer.v_Set(length * 2, n_All, 0);
    v_End(0);
}

void CT_UString::vv_Init() { co_Buffer.v_SetSize(0, 0); }

// Sizes.

void CT_UString::vv_SetSize(unsigned length, int keep) {
    if (length == 0) {
        co_Buffer.v_SetSize(0, 0);
        return;
    }
    if (length > sn_MaximumLength(2)) return;  // more than a string holds: nothing changes
    unsigned old = n_GetLength();
    co_Buffer.v_SetSize(length * 2 + 2, keep);
    if (keep && old > 0) {
        if (old >= length) v_End(length);
    } else {
        v_End(0);
    }
}

void CT_UString::vv_SetMinSize(unsigned length, int keep) {
    if (vn_GetMaximumLength() < length) vv_SetSize(length, keep);
}

void CT_UString::vv_SetLength(unsigned length) {
    // As in the narrow string: length 0 reuses storage that is ours, and a
    // length past the most a string holds changes nothing.
    if (length > sn_MaximumLength(2)) return;
    if (length == 0) co_Buffer.v_Set(1, n_All, 1);
    else vv_SetMinSize(length, 1);
    v_End(length);
}

unsigned CT_UString::vn_GetLength() const { return n_GetLength(); }

unsigned CT_UString::vn_GetMaximumLength() const {
    unsigned maximum = co_Buffer.n_GetMaximumSize() / 2;
    return maximum ? maximum - 1 : 0;
}

void CT_UString::vv_SetGrowth(unsigned growth) { co_Buffer.v_SetGrowth(growth * 2); }

unsigned CT_UString::vn_GetGrowth() const { return co_Buffer.n_GetGrowth() / 2; }

void CT_UString::vv_Update() {
    unsigned maximum = co_Buffer.n_GetMaximumSize() / 2;
    if (maximum == 0) return;
    unsigned short const* units = static_cast<unsigned short const*>(co_Buffer.qcv_Get());
    unsigned length = 0;
    while (length < maximum && units[length]) ++length;
    v_End(length < maximum ? length : maximum - 1);
}

// Characters.

char CT_UString::vc_GetAt(unsigned at) const {
    unsigned short u = u_GetAt(at);
    return u ? CT_StringConvert::sc_WideToMulti(u, 0) : 0;
}

unsigned short CT_UString::vu_GetAt(unsigned at) const { return u_GetAt(at); }

void CT_UString::vv_SetAt(unsigned short c, unsigned at) {
    // Only the units themselves can be set (see the narrow string).
    if (at >= n_GetLength()) return;
    co_Buffer.v_CopyWeWrite();
    pu_Data()[at] = c;
    if (c == 0) co_Buffer.v_SetUsedSize((at + 1) * 2);
}

void CT_UString::vv_SetAt(char c, unsigned at) { vv_SetAt(c ? CT_StringConvert::sus_MultiToWide(c, 0) : static_cast<unsigned short>(0), at); }

void CT_UString::vv_Replace(unsigned short c, unsigned count, unsigned at) {
    if (count == n_All) count = n_GetLength();
    v_Fill(c, count, at);
}

void CT_UString::vv_Replace(char c, unsigned count, unsigned at) {
    if (count == n_All) count = n_GetLength();
    v_Fill(c ? CT_StringConvert::sus_MultiToWide(c, 0) : 0, count, at);
}

void CT_UString::vv_ToLower() {
    unsigned length = n_GetLength();
    if (co_Buffer.n_GetUsedSize() == 0) return;
    co_Buffer.v_CopyWeWrite();
    unsigned short* units = pu_Data();
    for (unsigned i = 0; i < length; ++i) units[i] = CharacterRules::sx_ToLower(units[i]);
}

void CT_UString::vv_ToUpper() {
    unsigned length = n_GetLength();
    if (co_Buffer.n_GetUsedSize() == 0) return;
    co_Buffer.v_CopyWeWrite();
    unsigned short* units = pu_Data();
    for (unsigned i = 0; i < length; ++i) units[i] = CharacterRules::sx_ToUpper(units[i]);
}

// Replacing, inserting, removing.

void CT_UString::vv_StringReplace(char const* text, unsigned count, unsigned at, unsigned codePage) {
    if (count == 0 && at == 0) {
        vv_SetLength(0);
        return;
    }
    // Text that would end past the most a string holds, or bytes promised
    // from no text, change nothing.
    if (!sb_Within(at, count, 2) || (text == nullptr && count)) return;
    CT_Buffer held;
    if (b_Inside(co_Buffer, text)) {
        held.v_Set(text, count, n_All);
        text = static_cast<char const*>(held.qcv_Get());
    }
    // One byte gives at most one unit: convert directly at the position.
    vv_SetMinSize(at + count, 1);
    co_Buffer.v_CopyWeWrite();
    unsigned written = StringText::sn_ToWide(pu_Data() + at, text, count, codePage);
    v_End(at + written);
}

void CT_UString::vv_StringReplace(unsigned short const* text, unsigned count, unsigned at) {
    if (count == 0 && at == 0) {
        vv_SetLength(0);
        return;
    }
    if (!sb_Within(at, count, 2) || (text == nullptr && count)) return;  // as above
    CT_Buffer held;
    if (b_Inside(co_Buffer, text)) {
        held.v_Set(text, count * 2, n_All);
        text = static_cast<unsigned short const*>(held.qcv_Get());
    }
    vv_SetMinSize(at + count, 1);
    v_End(at + count);
    if (count) std::memcpy(pu_Data() + at, text, count * 2);
}

void CT_UString::vv_StringReplace(CT_String const* source, unsigned from, unsigned count, unsigned at) {
    if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringReplace(wide->qcuz_Get() + from, count, at);
    } else if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringReplace(narrow->qccz_Get() + from, count, at, narrow->n_GetCodePage());
    } else {
        vv_StringReplace(&su_Empty, 0, at);
    }
}

void CT_UString::vv_StringInsert(char const* text, unsigned count, unsigned at, unsigned codePage) {
    // A string that would grow past the most it holds, or bytes promised
    // from no text, change nothing.
    if (!sb_Within(n_GetLength(), count, 2) || (text == nullptr && count)) return;
    v_Terminate(count);
    CT_WideText converted(text, count, codePage);
    vv_StringInsert(converted.qcuz_Get(), converted.n_GetLength(), at);
}

void CT_UString::vv_StringInsert(unsigned short const* text, unsigned count, unsigned at) {
    if (!sb_Within(n_GetLength(), count, 2) || (text == nullptr && count)) return;  // as above
    v_Terminate(count);
    // Never past the end (see the narrow string).
    unsigned length = n_GetLength();
    if (at > length) at = length;
    co_Buffer.v_Insert(text, count * 2, at * 2);
}

void CT_UString::vv_StringInsert(CT_String const* source, unsigned from, unsigned count, unsigned at) {
    if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringInsert(wide->qcuz_Get() + from, count, at);
    } else if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringInsert(narrow->qccz_Get() + from, count, at, narrow->n_GetCodePage());
    }
}

void CT_UString::vv_Remove(unsigned count, unsigned at) {
    if (count == 0) return;
    unsigned length = n_GetLength();
    if (at >= length) return;
    if (count == n_All || count >= length - at) v_End(at);
    else co_Buffer.v_Remove(count * 2, at * 2);
}

// Appending.

void CT_UString::v_AppendText(unsigned short const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    if (!sb_Within(n_GetLength(), count, 2) || text == nullptr) return;  // nothing appended
    if (co_Buffer.n_GetUsedSize() < 2) co_Buffer.v_Append(au_Terminator, 2);
    v_Append(text, count);
}

void CT_UString::v_Append(char c, unsigned codePage) {
    if (c == 0) return;
    v_Append(CT_StringConvert::sus_MultiToWide(c, codePage));
}

void CT_UString::v_Append(char const* text, unsigned count, unsigned codePage) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    CT_WideText converted(text, count, codePage);
    v_Append(converted.qcuz_Get(), converted.n_GetLength());
}

void CT_UString::v_Append(CT_String const* source, unsigned count) {
    if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        v_Append(wide->qcuz_Get(), count < length ? count : length);
    } else if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        v_Append(narrow->qccz_Get(), count < length ? count : length, 0);
    }
}

// Searching and matching.

unsigned CT_UString::n_FindText(unsigned short const* text, unsigned count, unsigned from) const {
    unsigned length = n_GetLength();
    if (from > length) return n_All;
    if (count == 0) return from;
    if (count > length - from) return n_All;
    unsigned short const* units = qcuz_Get();
    unsigned short first = text[0];
    std::size_t rest = (count - 1) * std::size_t{2};
    for (unsigned at = from, last = length - count; at <= last; ++at) {
        if (units[at] == first && std::memcmp(units + at + 1, text + 1, rest) == 0) return at;
    }
    return n_All;
}

unsigned CT_UString::vn_Find(unsigned short c, unsigned from) const {
    // Only the units are searched: the terminator is never found.
    unsigned length = n_GetLength();
    unsigned short const* units = qcuz_Get();
    for (unsigned at = from; at < length; ++at)
        if (units[at] == c) return at;
    return n_All;
}

unsigned CT_UString::vn_Find(char c, unsigned from) const {
    return c ? CT_UString::vn_Find(CT_StringConvert::sus_MultiToWide(c, 0), from) : n_All;
}

unsigned CT_UString::vn_Find(CT_String const* pattern, unsigned from) const {
    CT_WideText text(pattern, 0, CT_WideText::e_SourceCodePage);
    return n_FindText(text.qcuz_Get(), text.n_GetLength(), from);
}

int CT_UString::b_Match(unsigned short const* pattern) const {
    return CharacterRules::sb_Match(qcuz_Get(), n_GetLength(), pattern ? pattern : &su_Empty,
                                    StringText::sn_Length(pattern));
}

int CT_UString::vb_Match(CT_String const* pattern) const {
    CT_WideText text(pattern, 0, CT_WideText::e_SourceCodePage);
    return CharacterRules::sb_Match(qcuz_Get(), n_GetLength(), text.qcuz_Get(), text.n_GetLength());
}

// Stripping and translating.

namespace {

// The position of the first occurrence of u in a text, or ~0u.
unsigned n_IndexIn(unsigned short const* text, unsigned length, unsigned short u) {
    for (unsigned k = 0; k < length; ++k)
        if (text[k] == u) return k;
    return n_All;
}

}  // namespace

void CT_UString::vv_Strip(CT_String const* set) {
    if (set == nullptr) {
        vv_StripLeft();
        vv_StripRight();
        return;
    }
    CT_WideText members(set, 0, CT_WideText::e_SourceCodePage);
    unsigned short const* units = qcuz_Get();
    unsigned first = 0, last = n_GetLength();
    while (first < last && n_IndexIn(members.qcuz_Get(), members.n_GetLength(), units[first]) != n_All) ++first;
    while (last > first && n_IndexIn(members.qcuz_Get(), members.n_GetLength(), units[last - 1]) != n_All) --last;
    v_Keep(first, last);
}

void CT_UString::vv_StripLeft() {
    unsigned short const* units = qcuz_Get();
    unsigned length = n_GetLength();
    unsigned first = 0;
    while (first < length && CharacterRules::sb_IsSpace(units[first])) ++first;
    v_Keep(first, length);
}

void CT_UString::vv_StripRight() {
    unsigned short const* units = qcuz_Get();
    unsigned last = n_GetLength();
    while (last > 0 && CharacterRules::sb_IsSpace(units[last - 1])) --last;
    v_Keep(0, last);
}

void CT_UString::vv_Translate(CT_String const* from, CT_String const* to) {
    unsigned length = n_GetLength();
    if (length == 0) return;
    CT_WideText fromText(from, 0, CT_WideText::e_SourceCodePage);
    CT_WideText toText(to, 0, CT_WideText::e_SourceCodePage);
    unsigned short const* fromUnits = fromText.qcuz_Get();
    unsigned fromLength = fromText.n_GetLength();
    unsigned short const* units = qcuz_Get();
    unsigned i = 0;
    while (i < length && n_IndexIn(fromUnits, fromLength, units[i]) == n_All) ++i;
    if (i == length) return;  // nothing changes: the buffer stays shared
    // from or to may be this string itself: a share of the storage keeps
    // their units as they were while the translation writes a copy.
    CT_Buffer held;
    if (b_Inside(co_Buffer, fromUnits) || b_Inside(co_Buffer, toText.qcuz_Get())) held.v_Set(&co_Buffer);
    co_Buffer.v_CopyWeWrite();
    unsigned short* out = pu_Data();
    unsigned kept = i;
    for (; i < length; ++i) {
        unsigned k = n_IndexIn(fromUnits, fromLength, out[i]);
        if (k == n_All) out[kept++] = out[i];
        else if (k < toText.n_GetLength()) out[kept++] = toText.qcuz_Get()[k];
    }
    v_End(kept);
}

// Comparing.

int CT_UString::i_CompareText(unsigned short const* text, unsigned count, unsigned at) const {
    unsigned length = n_GetLength();
    unsigned short const* own = at <= length ? qcuz_Get() + at : &su_Empty;
    if (text == nullptr) text = &su_Empty;
    if (count == n_All) {
        // The whole texts, terminators included: -1, 0 or 1.
        for (;; ++own, ++text) {
            if (*own != *text) return *own < *text ? -1 : 1;
            if (*own == 0) return 0;
        }
    }
    // At most count units, stopping after a terminator: the difference.
    for (unsigned i = 0; i < count; ++i) {
        if (own[i] != text[i]) return static_cast<int>(own[i]) - static_cast<int>(text[i]);
        if (own[i] == 0) return 0;
    }
    return 0;
}

int CT_UString::vi_Compare(unsigned short const* text, unsigned count, unsigned at) const {
    return i_CompareText(text, count, at);
}

int CT_UString::vi_Compare(char const* text, unsigned count, unsigned at) const {
    // Only what the comparison may read is converted: with a count, the
    // text is read no further than count bytes or its terminator.
    unsigned length = StringText::sn_Length(text, count);
    CT_WideText converted(text, length, 0);
    return i_CompareText(converted.qcuz_Get(), count, at);
}

int CT_UString::vi_Compare(CT_String const* other, unsigned from, unsigned count, unsigned at) const {
    CT_WideText text(other, from, CT_WideText::e_SourceCodePage);
    return i_CompareText(text.qcuz_Get(), count, at);
}

// Formatting.

void CT_UString::vv_Format(CT_String const* format, va_list argList) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(format)) v_Format(narrow->qccz_Get(), argList);
    else if (CT_UString const* wide = StringText::spcco_AsWide(format)) v_Format(wide->qcuz_Get(), argList);
    else v_Format(&su_Empty, argList);
}

void CT_UString::vv_Format(CT_String const* format, ...) {
    va_list args;
    va_start(args, format);
    CT_UString::vv_Format(format, args);
    va_end(args);
}

void CT_UString::vv_VFormat(CT_String const* format, va_list argList) { CT_UString::vv_Format(format, argList); }
