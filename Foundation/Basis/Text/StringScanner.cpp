#include "Foundation/Basis/Text/StringScanner.h"

#include <string>

#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/System/String/StringConvert.h"

BASIS_DEFINE_POOL(CT_StringScanner)

namespace {

// A found item or word: its first character and its length.
struct st_Span {
    unsigned n_At;
    unsigned n_Count;
};

// Item n of text[0, length): from the start of the text or behind a
// delimiter up to the next delimiter or the end. n = 0 never matches.
template <typename Char>
bool b_FindItem(Char const* text, unsigned length, Char delimiter, unsigned n, st_Span* span) {
    unsigned count = 1;
    unsigned start = 0;
    for (unsigned i = 0; i < length; ++i) {
        if (text[i] != delimiter) continue;
        if (count == n) {
            *span = {start, i - start};
            return true;
        }
        ++count;
        start = i + 1;
    }
    if (count != n) return false;
    *span = {start, length - start};
    return true;
}

template <typename Char>
unsigned n_CountItems(Char const* text, unsigned length, Char delimiter) {
    unsigned count = 1;
    for (unsigned i = 0; i < length; ++i)
        if (text[i] == delimiter) ++count;
    return count;
}

template <typename Char>
bool b_IsSeparator(Char c, Char const* set, unsigned setLength) {
    for (unsigned i = 0; i < setLength; ++i)
        if (set[i] == c) return true;
    return false;
}

// Walks text counting words; stops at word n (at the separator or the end
// behind it). Returns the number of words seen, and whether word n was
// found. With n = 0 a leading separator yields the empty word at 0.
template <typename Char>
bool b_WalkWords(Char const* text, unsigned length, Char const* set, unsigned setLength, unsigned n,
                 st_Span* span, unsigned* words) {
    unsigned count = 0;
    unsigned start = 0;
    bool afterSeparator = true;
    for (unsigned i = 0; i < length; ++i) {
        if (b_IsSeparator(text[i], set, setLength)) {
            if (count == n) {
                *span = {start, i - start};
                *words = count;
                return true;
            }
            afterSeparator = true;
        } else if (afterSeparator) {
            ++count;
            start = i;
            afterSeparator = false;
        }
    }
    *words = count;
    if (count != n) return false;
    *span = {start, length - start};
    return true;
}

CT_CString* pco_Narrow(CT_String const* s) {
    return s && s->vpv_IsA(CT_CString::spcco_GetType())
               ? const_cast<CT_CString*>(static_cast<CT_CString const*>(s))
               : nullptr;
}

CT_UString* pco_Wide(CT_String const* s) {
    return s && s->vpv_IsA(CT_UString::spcco_GetType())
               ? const_cast<CT_UString*>(static_cast<CT_UString const*>(s))
               : nullptr;
}

char c_Narrow(unsigned short delimiter) { return CT_StringConvert::sc_WideToMulti(delimiter, 0); }

// Sets out to a piece of in. The piece is copied first: out may be in.
void v_SetPiece(CT_CString* out, CT_CString const* in, st_Span span) {
    std::string piece(in->qccz_Get() + span.n_At, span.n_Count);
    out->v_Set(piece.c_str(), span.n_Count, in->n_GetCodePage());
}

void v_SetPiece(CT_UString* out, CT_UString const* in, st_Span span) {
    std::u16string piece(reinterpret_cast<char16_t const*>(in->qcuz_Get()) + span.n_At, span.n_Count);
    out->v_Set(reinterpret_cast<unsigned short const*>(piece.c_str()), span.n_Count);
}

}  // namespace

// ---- dispatch ----

void CT_StringScanner::v_Item(CT_String* out, CT_String const* in, unsigned short delimiter, unsigned n) {
    if (pco_Narrow(out) && pco_Narrow(in))
        v_ItemC(pco_Narrow(out), pco_Narrow(in), c_Narrow(delimiter), n);
    else if (pco_Wide(out) && pco_Wide(in))
        v_ItemU(pco_Wide(out), pco_Wide(in), delimiter, n);
}

unsigned CT_StringScanner::n_ItemCount(CT_String const* in, unsigned short delimiter) {
    if (pco_Narrow(in)) return n_ItemCountC(pco_Narrow(in), c_Narrow(delimiter));
    if (pco_Wide(in)) return n_ItemCountU(pco_Wide(in), delimiter);
    return 0;
}

void CT_StringScanner::v_RemoveItem(CT_String* s, unsigned short delimiter, unsigned n) {
    if (pco_Narrow(s))
        v_RemoveItemC(pco_Narrow(s), c_Narrow(delimiter), n);
    else if (pco_Wide(s))
        v_RemoveItemU(pco_Wide(s), delimiter, n);
}

void CT_StringScanner::v_SubWord(CT_String* out, CT_String const* in, CT_String const* separatorText, unsigned n) {
    if (pco_Narrow(out) && pco_Narrow(in) && pco_Narrow(separatorText))
        v_SubWordC(pco_Narrow(out), pco_Narrow(in), pco_Narrow(separatorText), n);
    else if (pco_Wide(out) && pco_Wide(in) && pco_Wide(separatorText))
        v_SubWordU(pco_Wide(out), pco_Wide(in), pco_Wide(separatorText), n);
}

unsigned CT_StringScanner::n_WordCount(CT_String const* in, CT_String const* separatorText) {
    if (pco_Narrow(in) && pco_Narrow(separatorText)) return n_WordCountC(pco_Narrow(in), pco_Narrow(separatorText));
    if (pco_Wide(in) && pco_Wide(separatorText)) return n_WordCountU(pco_Wide(in), pco_Wide(separatorText));
    return 0;
}

void CT_StringScanner::v_RemoveWord(CT_String* s, CT_String const* separatorText, unsigned n) {
    if (pco_Narrow(s) && pco_Narrow(separatorText))
        v_RemoveWordC(pco_Narrow(s), pco_Narrow(separatorText), n);
    else if (pco_Wide(s) && pco_Wide(separatorText))
        v_RemoveWordU(pco_Wide(s), pco_Wide(separatorText), n);
}

// ---- items ----

void CT_StringScanner::v_ItemC(CT_CString* out, CT_CString const* in, char delimiter, unsigned n) {
    st_Span span{0, 0};
    if (!b_FindItem(in->qccz_Get(), in->n_GetLength(), delimiter, n, &span)) span = {0, 0};
    v_SetPiece(out, in, span);
}

void CT_StringScanner::v_ItemU(CT_UString* out, CT_UString const* in, unsigned short delimiter, unsigned n) {
    st_Span span{0, 0};
    if (!b_FindItem(in->qcuz_Get(), in->n_GetLength(), delimiter, n, &span)) span = {0, 0};
    v_SetPiece(out, in, span);
}

unsigned CT_StringScanner::n_ItemCountC(CT_CString const* in, char delimiter) {
    return n_CountItems(in->qccz_Get(), in->n_GetLength(), delimiter);
}

unsigned CT_StringScanner::n_ItemCountU(CT_UString const* in, unsigned short delimiter) {
    return n_CountItems(in->qcuz_Get(), in->n_GetLength(), delimiter);
}

void CT_StringScanner::v_RemoveItemC(CT_CString* s, char delimiter, unsigned n) {
    st_Span span{0, 0};
    if (b_FindItem(s->qccz_Get(), s->n_GetLength(), delimiter, n, &span) && span.n_Count)
        s->vv_Remove(span.n_Count, span.n_At);
}

void CT_StringScanner::v_RemoveItemU(CT_UString* s, unsigned short delimiter, unsigned n) {
    st_Span span{0, 0};
    if (b_FindItem(s->qcuz_Get(), s->n_GetLength(), delimiter, n, &span) && span.n_Count)
        s->vv_Remove(span.n_Count, span.n_At);
}

// ---- words ----

void CT_StringScanner::v_SubWordC(CT_CString* out, CT_CString const* in, CT_CString const* separatorText,
                                  unsigned n) {
    st_Span span{0, 0};
    unsigned words = 0;
    // No word n leaves the output empty.
    if (!b_WalkWords(in->qccz_Get(), in->n_GetLength(), separatorText->qccz_Get(), separatorText->n_GetLength(), n,
                     &span, &words))
        span = {0, 0};
    v_SetPiece(out, in, span);
}

void CT_StringScanner::v_SubWordU(CT_UString* out, CT_UString const* in, CT_UString const* separatorText,
                                  unsigned n) {
    st_Span span{0, 0};
    unsigned words = 0;
    if (!b_WalkWords(in->qcuz_Get(), in->n_GetLength(), separatorText->qcuz_Get(), separatorText->n_GetLength(), n,
                     &span, &words))
        span = {0, 0};
    v_SetPiece(out, in, span);
}

unsigned CT_StringScanner::n_WordCountC(CT_CString const* in, CT_CString const* separatorText) {
    st_Span span{0, 0};
    unsigned words = 0;
    // Word ~0 is never reached: the walk covers the whole text.
    b_WalkWords(in->qccz_Get(), in->n_GetLength(), separatorText->qccz_Get(), separatorText->n_GetLength(), ~0u,
                &span, &words);
    return words;
}

unsigned CT_StringScanner::n_WordCountU(CT_UString const* in, CT_UString const* separatorText) {
    st_Span span{0, 0};
    unsigned words = 0;
    b_WalkWords(in->qcuz_Get(), in->n_GetLength(), separatorText->qcuz_Get(), separatorText->n_GetLength(), ~0u,
                &span, &words);
    return words;
}

void CT_StringScanner::v_RemoveWordC(CT_CString* s, CT_CString const* separatorText, unsigned n) {
    st_Span span{0, 0};
    unsigned words = 0;
    if (b_WalkWords(s->qccz_Get(), s->n_GetLength(), separatorText->qccz_Get(), separatorText->n_GetLength(), n,
                    &span, &words) &&
        span.n_Count)
        s->vv_Remove(span.n_Count, span.n_At);
}

void CT_StringScanner::v_RemoveWordU(CT_UString* s, CT_UString const* separatorText, unsigned n) {
    st_Span span{0, 0};
    unsigned words = 0;
    if (b_WalkWords(s->qcuz_Get(), s->n_GetLength(), separatorText->qcuz_Get(), separatorText->n_GetLength(), n,
                    &span, &words) &&
        span.n_Count)
        s->vv_Remove(span.n_Count, span.n_At);
}
