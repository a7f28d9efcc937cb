#include "Foundation/Basis/String/CString.h"

#include <cstring>

#include "Foundation/Basis/String/CharacterRules.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/System/String/StringConvert.h"

BASIS_DEFINE_TYPE_OPERATIONS(CT_CString)
BASIS_DEFINE_POOL(CT_CString)

char const CT_CString::sc_Empty = 0;

namespace {

constexpr unsigned n_All = ~0u;

// Whether text lies in a buffer's storage, which may move or change while
// the buffer is written.
bool b_Inside(CT_Buffer const& buffer, void const* text) {
    char const* storage = static_cast<char const*>(buffer.qcv_Get());
    char const* p = static_cast<char const*>(text);
    return storage && p >= storage && p < storage + buffer.n_GetMaximumSize();
}

}  // namespace

// Construction. Each form starts empty, with growth 32 and its code page.

CT_CString::CT_CString(unsigned codePage) : n_CodePage(codePage) { BASIS_TYPE_CONSTRUCT(CT_CString); }

CT_CString::CT_CString(char const* text, unsigned count, unsigned codePage) : n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
    CT_CString::vv_Init(text, count, codePage);
}

CT_CString::CT_CString(unsigned short const* text, unsigned count, unsigned codePage) : n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
    CT_CString::vv_Init(text, count);
}

CT_CString::CT_CString(CT_Buffer const* buffer, unsigned codePage) : CT_String(buffer), n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
}

CT_CString::CT_CString(CT_String const* source, unsigned codePage) : n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
    CT_CString::vv_Init(source);
}

CT_CString::CT_CString(CT_UString const* source, unsigned codePage) : n_CodePage(codePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
    if (source) CT_CString::vv_StringReplace(source->qcuz_Get(), source->n_GetLength(), 0);
}

CT_CString::CT_CString(CT_CString const* source) : CT_String(&source->co_Buffer), n_CodePage(source->n_CodePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
}

CT_CString::CT_CString(CT_CString const& other) : CT_String(other), n_CodePage(other.n_CodePage) {
    BASIS_TYPE_CONSTRUCT(CT_CString);
}

CT_CString::CT_CString(CT_Type* type) : CT_String(type), n_CodePage(0) { BASIS_TYPE_CONSTRUCT(CT_CString); }

CT_CString& CT_CString::operator=(CT_CString const& other) {
    CT_String::operator=(other);
    n_CodePage = other.n_CodePage;
    return *this;
}

CT_CString::~CT_CString() { (void)BASIS_TYPE_DESTRUCT(CT_CString); }

CT_CString* CT_CString::vpco_Create() const { return new CT_CString(this); }

// Helpers.

void CT_CString::v_End(unsigned length) {
    if (co_Buffer.n_GetMaximumSize() < length + 1) co_Buffer.v_SetSize(length + 1, 1);
    co_Buffer.v_SetUsedSize(length + 1);
    pc_Data()[length] = 0;
}

void CT_CString::v_Fill(char c, unsigned count, unsigned at) {
    // A fill that would reach past the most a string holds fills nothing.
    if (!sb_Within(at, count, 1)) return;
    unsigned old = n_GetLength();
    vv_SetMinSize(at + count, 1);
    if (at + count >= old) v_End(at + count);
    else co_Buffer.v_CopyWeWrite();
    if (count) std::memset(pc_Data() + at, c, count);
}

void CT_CString::v_Keep(unsigned first, unsigned last) {
    if (first == 0 && last == n_GetLength()) return;
    co_Buffer.v_CopyWeWrite();
    if (first) std::memmove(pc_Data(), pc_Data() + first, last - first);
    v_End(last - first);
}

// Setting the whole string.

void CT_CString::vv_Init(CT_Buffer const* buffer) { co_Buffer.v_Set(buffer); }

void CT_CString::vv_Init(unsigned short const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, 0);
}

void CT_CString::vv_Init(char const* text, unsigned count, unsigned codePage) {
    n_CodePage = codePage;
    if (count == n_All) count = StringText::sn_Length(text);
    vv_StringReplace(text, count, 0, codePage);
}

void CT_CString::vv_Init(CT_String const* source) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        if (narrow == this) return;
        co_Buffer.v_Set(&narrow->co_Buffer);
        n_CodePage = narrow->n_CodePage;
    } else {
        // A wide source (or none, which reads as empty) is converted into
        // our code page, which afterwards is a real one.
        CT_UString const* wide = StringText::spcco_AsWide(source);
        if (wide) vv_StringReplace(wide->qcuz_Get(), wide->n_GetLength(), 0);
        else vv_StringReplace(&sc_Empty, 0, 0, n_All);
        if (n_CodePage == ~0u || n_CodePage == ~1u) n_CodePage = 0;
    }
}

void CT_CString::vv_Init(unsigned length) {
    // Room past the most a string holds is not reserved: the string is
    // only emptied.
    if (length > sn_MaximumLength(1)) length = 0;
    co_Buffer.v_Set(length + 1, n_All, 0);
    v_End(0);
}

void CT_CString::vv_Init() { co_Buffer.v_SetSize(0, 0); }

// Sizes.

void CT_CString::vv_SetSize(unsigned length, int keep) {
    if (length == 0) {
        co_Buffer.v_SetSize(0, 0);
        return;
    }
    if (length > sn_MaximumLength(1)) return;  // more than a string holds: nothing changes
    unsigned old = n_GetLength();
    co_Buffer.v_SetSize(length + 1, keep);
    if (keep && old > 0) {
        if (old >= length) v_End(length);
    } else {
        v_End(0);
    }
}

void CT_CString::vv_SetMinSize(unsigned length, int keep) {
    if (vn_GetMaximumLength() < length) vv_SetSize(length, keep);
}

void CT_CString::vv_SetLength(unsigned length) {
    // Length 0 takes the buffer down to room for the terminator alone; the
    // storage is reused when it is ours and large enough, so a string made
    // empty keeps its room (see v_Set(length, reuse)). A length past the
    // most a string holds changes nothing.
    if (length > sn_MaximumLength(1)) return;
    if (length == 0) co_Buffer.v_Set(1, n_All, 1);
    else vv_SetMinSize(length, 1);
    v_End(length);
}

unsigned CT_CString::vn_GetLength() const { return n_GetLength(); }

unsigned CT_CString::vn_GetMaximumLength() const {
    unsigned maximum = co_Buffer.n_GetMaximumSize();
    return maximum ? maximum - 1 : 0;
}

void CT_CString::vv_SetGrowth(unsigned growth) { co_Buffer.v_SetGrowth(growth); }

unsigned CT_CString::vn_GetGrowth() const { return co_Buffer.n_GetGrowth(); }

void CT_CString::vv_Update() {
    unsigned maximum = co_Buffer.n_GetMaximumSize();
    if (maximum == 0) return;
    // The caller may have written past the old length, up to the room.
    char const* bytes = static_cast<char const*>(co_Buffer.qcv_Get());
    void const* zero = std::memchr(bytes, 0, maximum);
    v_End(zero ? static_cast<unsigned>(static_cast<char const*>(zero) - bytes) : maximum - 1);
}

// Characters.

char CT_CString::vc_GetAt(unsigned at) const { return c_GetAt(at); }

unsigned short CT_CString::vu_GetAt(unsigned at) const {
    char c = c_GetAt(at);
    return c ? CT_StringConvert::sus_MultiToWide(c, n_CodePage) : 0;
}

void CT_CString::vv_SetAt(char c, unsigned at) {
    // Only the characters themselves can be set: writing the terminator's
    // place or past it would leave the string without one.
    if (at >= n_GetLength()) return;
    co_Buffer.v_CopyWeWrite();
    pc_Data()[at] = c;
    if (c == 0) co_Buffer.v_SetUsedSize(at + 1);
}

void CT_CString::vv_SetAt(unsigned short c, unsigned at) { vv_SetAt(CT_StringConvert::sc_WideToMulti(c, n_CodePage), at); }

void CT_CString::vv_Replace(char c, unsigned count, unsigned at) {
    if (count == n_All) count = n_GetLength();
    v_Fill(c, count, at);
}

void CT_CString::vv_Replace(unsigned short c, unsigned count, unsigned at) {
    if (count >= ~1u) count = n_GetLength();
    v_Fill(CT_StringConvert::sc_WideToMulti(c, n_CodePage), count, at);
}

void CT_CString::vv_ToLower() {
    unsigned length = n_GetLength();
    if (co_Buffer.n_GetUsedSize() == 0) return;
    co_Buffer.v_CopyWeWrite();
    char* bytes = pc_Data();
    for (unsigned i = 0; i < length; ++i) bytes[i] = CharacterRules::sx_ToLower(bytes[i]);
}

void CT_CString::vv_ToUpper() {
    unsigned length = n_GetLength();
    if (co_Buffer.n_GetUsedSize() == 0) return;
    co_Buffer.v_CopyWeWrite();
    char* bytes = pc_Data();
    for (unsigned i = 0; i < length; ++i) bytes[i] = CharacterRules::sx_ToUpper(bytes[i]);
}

// Replacing, inserting, removing.

void CT_CString::vv_StringReplace(char const* text, unsigned count, unsigned at, unsigned) {
    if (count == 0 && at == 0) {
        vv_SetLength(0);
        return;
    }
    // Text that would end past the most a string holds, or bytes promised
    // from no text, change nothing.
    if (!sb_Within(at, count, 1) || (text == nullptr && count)) return;
    // Our own bytes may move when the storage grows: hold them apart.
    CT_Buffer held;
    if (b_Inside(co_Buffer, text)) {
        held.v_Set(text, count, n_All);
        text = static_cast<char const*>(held.qcv_Get());
    }
    vv_SetMinSize(at + count, 1);
    v_End(at + count);
    if (count) std::memcpy(pc_Data() + at, text, count);
}

void CT_CString::vv_StringReplace(unsigned short const* text, unsigned count, unsigned at) {
    if (count == 0 && at == 0) {
        vv_SetLength(0);
        return;
    }
    // As for narrow text, with the room the conversion may need: a third
    // of the limit keeps that room itself from wrapping.
    if (count > sn_MaximumLength(1) / 3 || !sb_Within(at, StringText::sn_NarrowRoom(count, n_CodePage), 1) ||
        (text == nullptr && count))
        return;
    CT_Buffer held;
    if (b_Inside(co_Buffer, text)) {
        held.v_Set(text, count * 2, n_All);
        text = static_cast<unsigned short const*>(held.qcv_Get());
    }
    // Room for what the conversion can write, directly at the position.
    vv_SetMinSize(at + StringText::sn_NarrowRoom(count, n_CodePage), 1);
    co_Buffer.v_CopyWeWrite();
    unsigned written = StringText::sn_ToNarrow(pc_Data() + at, text, count, n_CodePage);
    v_End(at + written);
}

void CT_CString::vv_StringReplace(CT_String const* source, unsigned from, unsigned count, unsigned at) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringReplace(narrow->qccz_Get() + from, count, at, narrow->n_CodePage);
    } else if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringReplace(wide->qcuz_Get() + from, count, at);
    } else {
        vv_StringReplace(&sc_Empty, 0, at, n_All);
    }
}

void CT_CString::vv_StringInsert(char const* text, unsigned count, unsigned at, unsigned) {
    // A string that would grow past the most it holds, or bytes promised
    // from no text, change nothing.
    if (!sb_Within(n_GetLength(), count, 1) || (text == nullptr && count)) return;
    if (co_Buffer.n_GetUsedSize() == 0) {
        co_Buffer.v_Set(count + 1, n_All, 1);
        v_End(0);
    }
    // Inserting past the end would leave a gap of unknown bytes before
    // the terminator: the end is as far as text can go.
    unsigned length = n_GetLength();
    if (at > length) at = length;
    co_Buffer.v_Insert(text, count, at);
}

void CT_CString::vv_StringInsert(unsigned short const* text, unsigned count, unsigned at) {
    CT_NarrowText converted(text, count, n_CodePage);
    vv_StringInsert(converted.qccz_Get(), converted.n_GetLength(), at, n_CodePage);
}

void CT_CString::vv_StringInsert(CT_String const* source, unsigned from, unsigned count, unsigned at) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringInsert(narrow->qccz_Get() + from, count, at, narrow->n_CodePage);
    } else if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        if (from > length) from = length;
        if (count > length - from) count = length - from;
        vv_StringInsert(wide->qcuz_Get() + from, count, at);
    }
}

void CT_CString::vv_Remove(unsigned count, unsigned at) {
    if (count == 0) return;
    unsigned length = n_GetLength();
    if (at >= length) return;
    if (count == n_All || count >= length - at) v_End(at);
    else co_Buffer.v_Remove(count, at);  // the terminator moves down with the rest
}

// Appending.

void CT_CString::v_AppendText(char const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    if (!sb_Within(n_GetLength(), count, 1) || text == nullptr) return;  // nothing appended
    // An empty string first gets storage holding its terminator.
    if (co_Buffer.n_GetUsedSize() == 0) co_Buffer.v_Append(static_cast<unsigned char>(0));
    v_Append(text, count);
}

void CT_CString::v_Append(unsigned short c) {
    if (c == 0) return;
    char bytes[8];
    v_Append(bytes, StringText::sn_ToNarrow(bytes, &c, 1, n_CodePage));
}

void CT_CString::v_Append(unsigned short const* text, unsigned count) {
    if (count == n_All) count = StringText::sn_Length(text);
    if (count == 0) return;
    CT_NarrowText converted(text, count, n_CodePage);
    v_Append(converted.qccz_Get(), converted.n_GetLength());
}

void CT_CString::v_Append(CT_String const* source, unsigned count) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(source)) {
        unsigned length = narrow->n_GetLength();
        v_Append(narrow->qccz_Get(), count < length ? count : length);
    } else if (CT_UString const* wide = StringText::spcco_AsWide(source)) {
        unsigned length = wide->n_GetLength();
        v_Append(wide->qcuz_Get(), count < length ? count : length);
    }
}

// Searching and matching.

unsigned CT_CString::n_FindText(char const* text, unsigned count, unsigned from) const {
    unsigned length = n_GetLength();
    if (from > length) return n_All;
    if (count == 0) return from;
    if (count > length - from) return n_All;
    char const* bytes = qccz_Get();
    unsigned last = length - count;  // the last position a whole match can begin at
    for (unsigned at = from; at <= last;) {
        void const* hit = std::memchr(bytes + at, text[0], last - at + 1);
        if (hit == nullptr) return n_All;
        at = static_cast<unsigned>(static_cast<char const*>(hit) - bytes);
        if (std::memcmp(bytes + at + 1, text + 1, count - 1) == 0) return at;
        ++at;
    }
    return n_All;
}

unsigned CT_CString::vn_Find(char c, unsigned from) const {
    // Only the characters are searched: the terminator is never found.
    unsigned length = n_GetLength();
    if (from >= length) return n_All;
    char const* bytes = qccz_Get();
    void const* hit = std::memchr(bytes + from, c, length - from);
    return hit ? static_cast<unsigned>(static_cast<char const*>(hit) - bytes) : n_All;
}

unsigned CT_CString::vn_Find(unsigned short c, unsigned from) const {
    char bytes[8];
    unsigned count = StringText::sn_ToNarrow(bytes, &c, 1, n_CodePage);
    return count ? n_FindText(bytes, count, from) : n_All;
}

unsigned CT_CString::vn_Find(CT_String const* pattern, unsigned from) const {
    CT_NarrowText text(pattern, 0);
    return n_FindText(text.qccz_Get(), text.n_GetLength(), from);
}

int CT_CString::b_Match(char const* pattern) const {
    return CharacterRules::sb_Match(qccz_Get(), n_GetLength(), pattern ? pattern : &sc_Empty,
                                    StringText::sn_Length(pattern));
}

int CT_CString::vb_Match(CT_String const* pattern) const {
    CT_NarrowText text(pattern, 0);
    return CharacterRules::sb_Match(qccz_Get(), n_GetLength(), text.qccz_Get(), text.n_GetLength());
}

// Stripping and translating.

void CT_CString::vv_Strip(CT_String const* set) {
    if (set == nullptr) {
        vv_StripLeft();
        vv_StripRight();
        return;
    }
    CT_NarrowText members(set, 0);
    char const* chars = members.qccz_Get();
    std::size_t count = members.n_GetLength();
    char const* bytes = qccz_Get();
    unsigned length = n_GetLength();
    unsigned first = 0, last = length;
    while (first < last && std::memchr(chars, bytes[first], count)) ++first;
    while (last > first && std::memchr(chars, bytes[last - 1], count)) --last;
    v_Keep(first, last);
}

void CT_CString::vv_StripLeft() {
    char const* bytes = qccz_Get();
    unsigned length = n_GetLength();
    unsigned first = 0;
    while (first < length && CharacterRules::sb_IsSpace(bytes[first])) ++first;
    v_Keep(first, length);
}

void CT_CString::vv_StripRight() {
    char const* bytes = qccz_Get();
    unsigned last = n_GetLength();
    while (last > 0 && CharacterRules::sb_IsSpace(bytes[last - 1])) --last;
    v_Keep(0, last);
}

void CT_CString::vv_Translate(CT_String const* from, CT_String const* to) {
    unsigned length = n_GetLength();
    if (length == 0) return;
    CT_NarrowText fromText(from, 0), toText(to, 0);
    // What becomes of each byte value: kept, removed, or the byte of to at
    // the position of its first occurrence in from.
    constexpr short e_Keep = -1, e_Remove = -2;
    short map[256];
    for (short& entry : map) entry = e_Keep;
    for (unsigned k = 0; k < fromText.n_GetLength(); ++k) {
        unsigned char b = static_cast<unsigned char>(fromText.qccz_Get()[k]);
        if (map[b] == e_Keep)
            map[b] = k < toText.n_GetLength() ? static_cast<unsigned char>(toText.qccz_Get()[k]) : e_Remove;
    }
    char const* bytes = qccz_Get();
    unsigned i = 0;
    while (i < length && map[static_cast<unsigned char>(bytes[i])] == e_Keep) ++i;
    if (i == length) return;  // nothing changes: the buffer stays shared
    co_Buffer.v_CopyWeWrite();
    char* out = pc_Data();
    unsigned kept = i;
    for (; i < length; ++i) {
        short entry = map[static_cast<unsigned char>(out[i])];
        if (entry == e_Keep) out[kept++] = out[i];
        else if (entry != e_Remove) out[kept++] = static_cast<char>(entry);
    }
    v_End(kept);
}

// Comparing.

int CT_CString::i_CompareText(char const* text, unsigned count, unsigned at) const {
    unsigned length = n_GetLength();
    char const* own = at <= length ? qccz_Get() + at : &sc_Empty;
    if (text == nullptr) text = &sc_Empty;
    // Both compare bytes as unsigned values and stop after a terminator.
    int result = count == n_All ? std::strcmp(own, text) : std::strncmp(own, text, count);
    return (result > 0) - (result < 0);
}

int CT_CString::vi_Compare(char const* text, unsigned count, unsigned at) const {
    return i_CompareText(text, count, at);
}

int CT_CString::vi_Compare(unsigned short const* text, unsigned count, unsigned at) const {
    // Only what the comparison may read is converted: with a count, the
    // text is read no further than count units or its terminator.
    unsigned length = StringText::sn_Length(text, count);
    CT_NarrowText converted(text, length, n_CodePage);
    return i_CompareText(converted.qccz_Get(), count, at);
}

int CT_CString::vi_Compare(CT_String const* other, unsigned from, unsigned count, unsigned at) const {
    // A wide other is converted from its position from on.
    CT_NarrowText text(other, from);
    return i_CompareText(text.qccz_Get(), count, at);
}

// Formatting.

void CT_CString::vv_Format(CT_String const* format, va_list argList) {
    if (CT_CString const* narrow = StringText::spcco_AsNarrow(format)) v_Format(narrow->qccz_Get(), argList);
    else if (CT_UString const* wide = StringText::spcco_AsWide(format)) v_Format(wide->qcuz_Get(), argList);
    else v_Format(&sc_Empty, argList);
}

void CT_CString::vv_Format(CT_String const* format, ...) {
    va_list args;
    va_start(args, format);
    CT_CString::vv_Format(format, args);
    va_end(args);
}

void CT_CString::vv_VFormat(CT_String const* format, va_list argList) { CT_CString::vv_Format(format, argList); }
