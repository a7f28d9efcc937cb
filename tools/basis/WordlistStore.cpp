#include "tools/basis/WordlistStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Foundation/Platform/Terminal.h"
#include "tools/basis/ToolText.h"

namespace {

// The most the tool reads of a pairs file or a saved list. A list's
// indexes reach 64 KiB through their 2-byte links, which a few thousand
// pairs fill, so anything near this size cannot be a list it could
// build; the bound keeps an endless input (a device) from filling memory.
std::size_t const kMostBytesRead = std::size_t(256) << 20;

char const kMagic[4] = {'B', 'W', 'L', '1'};

void v_Put32(std::string* out, unsigned value) {
    for (int shift = 0; shift < 32; shift += 8) out->push_back(static_cast<char>((value >> shift) & 0xFF));
}

unsigned n_Get32(std::string const& bytes, std::size_t at) {
    unsigned value = 0;
    for (int k = 3; k >= 0; --k) value = value << 8 | static_cast<unsigned char>(bytes[at + k]);
    return value;
}

void v_PutBlock(std::string* out, CT_Buffer const* buffer) {
    unsigned size = buffer ? buffer->n_GetUsedSize() : 0;
    v_Put32(out, size);
    if (size) out->append(static_cast<char const*>(buffer->qcv_Get()), size);
}

// The length in units of the zero-terminated word at offset in texts; false
// when no terminator follows inside the texts.
bool b_WordLength(CT_Buffer const& texts, unsigned offset, unsigned unit, unsigned* units) {
    unsigned used = texts.n_GetUsedSize();
    auto const* bytes = static_cast<unsigned char const*>(texts.qcv_Get());
    if (offset % unit != 0) return false;
    for (unsigned at = offset, n = 0; at + unit <= used; at += unit, ++n) {
        if (bytes[at] == 0 && (unit == 1 || bytes[at + 1] == 0)) {
            *units = n;
            return true;
        }
    }
    return false;
}

}  // namespace

void st_WordlistView::v_Take(CT_BiLingualCWordList const& list, unsigned codePage) {
    n_Kind = e_NarrowWords;
    n_CodePage = codePage;
    n_Count = list.n_GetCount();
    co_SourceTexts.v_Set(list.pcco_GetSourceBuffer());
    co_TargetTexts.v_Set(list.pcco_GetTargetBuffer());
    co_SourceIndex.v_Set(list.pcco_GetSourceIndex());
    co_TargetIndex.v_Set(list.pcco_GetTargetIndex());
}

void st_WordlistView::v_Take(CT_BiLingualUWordList const& list) {
    n_Kind = e_WideWords;
    n_CodePage = 65001;
    n_Count = list.n_GetCount();
    co_SourceTexts.v_Set(list.pcco_GetSourceBuffer());
    co_TargetTexts.v_Set(list.pcco_GetTargetBuffer());
    co_SourceIndex.v_Set(list.pcco_GetSourceIndex());
    co_TargetIndex.v_Set(list.pcco_GetTargetIndex());
}

bool b_IsSavedWordlist(std::string const& bytes) {
    return bytes.size() >= 4 && std::memcmp(bytes.data(), kMagic, 4) == 0;
}

bool b_SaveWordlist(st_WordlistView const& view, char const* path, std::string* error) {
    std::string out(kMagic, 4);
    v_Put32(&out, view.n_Kind);
    v_Put32(&out, view.n_CodePage);
    v_Put32(&out, view.n_Count);
    v_PutBlock(&out, &view.co_SourceTexts);
    v_PutBlock(&out, &view.co_TargetTexts);
    v_PutBlock(&out, view.co_SourceIndex.pcco_GetBuffer());
    v_PutBlock(&out, view.co_TargetIndex.pcco_GetBuffer());
    bool toStandardOutput = std::strcmp(path, "-") == 0;
    if (toStandardOutput) Platform::v_SetStandardOutputBinary();
    FILE* file = toStandardOutput ? stdout : std::fopen(path, "wb");
    if (!file) {
        *error = std::string("cannot create \"") + path + "\": " + std::strerror(errno);
        return false;
    }
    bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    written = (toStandardOutput ? std::fflush(file) : std::fclose(file)) == 0 && written;
    if (!written)
        *error = toStandardOutput ? std::string("cannot write to standard output")
                                  : std::string("cannot write \"") + path + "\"";
    return written;
}

bool b_LoadWordlist(st_WordlistView* view, std::string const& bytes, std::string* error) {
    if (!b_IsSavedWordlist(bytes) || bytes.size() < 16) {
        *error = "not a saved word list";
        return false;
    }
    unsigned kind = n_Get32(bytes, 4);
    if (kind != e_NarrowWords && kind != e_WideWords) {
        *error = "a saved word list of an unknown kind";
        return false;
    }
    view->n_Kind = kind;
    view->n_CodePage = n_Get32(bytes, 8);
    view->n_Count = n_Get32(bytes, 12);
    std::size_t at = 16;
    CT_Buffer blocks[4];
    for (CT_Buffer& block : blocks) {
        if (bytes.size() - at < 4 || bytes.size() - at - 4 < n_Get32(bytes, at)) {
            *error = "the saved word list is cut short";
            return false;
        }
        unsigned size = n_Get32(bytes, at);
        block.v_Set(bytes.data() + at + 4, size, 32);
        at += 4 + std::size_t(size);
    }
    view->co_SourceTexts.v_Set(&blocks[0]);
    view->co_TargetTexts.v_Set(&blocks[1]);
    // The index images are taken as they are: a damaged one only makes
    // lookups miss.
    view->co_SourceIndex.v_Set(&blocks[2]);
    view->co_TargetIndex.v_Set(&blocks[3]);
    return true;
}

bool b_ReadWholeFile(char const* path, std::string* bytes, std::string* error) {
    bool fromStandardInput = std::strcmp(path, "-") == 0;
    if (fromStandardInput) Platform::v_SetStandardInputBinary();
    FILE* file = fromStandardInput ? stdin : std::fopen(path, "rb");
    if (!file) {
        *error = std::string("cannot open \"") + path + "\": " + std::strerror(errno);
        return false;
    }
    std::string name = fromStandardInput ? std::string("standard input") : s_InQuotes(path);
    bytes->clear();
    static char chunk[1 << 16];
    std::size_t n;
    bool tooLarge = false;
    while (!tooLarge && (n = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes->append(chunk, n);
        tooLarge = bytes->size() > kMostBytesRead;
    }
    bool failed = std::ferror(file) != 0;
    if (!fromStandardInput) std::fclose(file);
    if (failed) *error = "cannot read " + name;
    if (tooLarge) {
        bytes->clear();
        bytes->shrink_to_fit();
        *error = name + " holds more than the " + std::to_string(kMostBytesRead >> 20) +
                 " MiB a word list is read from";
    }
    return !failed && !tooLarge;
}

std::vector<unsigned short> ao_ToWide(char const* text, unsigned count, unsigned codePage) {
    // A byte gives at most one unit.
    std::vector<unsigned short> units(count + 1, 0);
    int written = count ? CT_StringConvert::si_MultiToWide(units.data(), text, count, codePage) : 0;
    units.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return units;
}

std::string s_FromWide(unsigned short const* units, unsigned count, unsigned codePage) {
    // A unit gives at most three bytes (UTF-8) or two (a double-byte code page).
    std::string bytes(3 * std::size_t(count) + 1, '\0');
    int written = count ? CT_StringConvert::si_WideToMulti(bytes.data(), units, count, codePage) : 0;
    bytes.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
    return bytes;
}

std::string s_WordForList(st_WordlistView const& view, char const* utf8) {
    std::vector<unsigned short> wide = ao_ToWide(utf8, static_cast<unsigned>(std::strlen(utf8)), 65001);
    std::string word = view.n_Kind == e_WideWords
                           ? std::string(reinterpret_cast<char const*>(wide.data()), 2 * wide.size())
                           : s_FromWide(wide.data(), static_cast<unsigned>(wide.size()), view.n_CodePage);
    // Zeros enough to end the word for any element size an index from a
    // file may claim.
    word.append(4, '\0');
    return word;
}

std::string s_WordForOutput(st_WordlistView const& view, unsigned char const* word, unsigned units) {
    std::vector<unsigned short> wide;
    if (view.n_Kind == e_WideWords) {
        // Copied: the texts are only 2-byte aligned at a word.
        wide.resize(units);
        if (units) std::memcpy(wide.data(), word, 2 * std::size_t(units));
    } else {
        wide = ao_ToWide(reinterpret_cast<char const*>(word), units, view.n_CodePage);
    }
    return s_Utf8FromWide(wide.data(), wide.size());
}

bool b_FindPartner(st_WordlistView const& view, bool fromSource, std::string const& word,
                   unsigned char const** partner, unsigned* units) {
    CT_CompList const& index = fromSource ? view.co_SourceIndex : view.co_TargetIndex;
    CT_Buffer const& texts = fromSource ? view.co_TargetTexts : view.co_SourceTexts;
    unsigned handle = index.n_Search(word.data(), nullptr);
    if (handle == CT_CompList::e_NotFound || !b_WordLength(texts, handle, view.n_Unit(), units)) return false;
    *partner = static_cast<unsigned char const*>(texts.qcv_Get()) + handle;
    return true;
}
