// Feeds arbitrary bytes to a compressed list as its stored image, then
// searches, iterates, adds and iterates again. Whatever the image holds,
// none of it may read outside the buffer, crash or loop.
//
// Input: byte 0 gives the length n (0..63) of a word area at the input's
// end; the bytes between are the image. The word area is cut at its zero
// bytes into words, each padded to a multiple of four bytes and ended by
// four zero bytes, so that it reads as a word for any element size; a few
// fixed words are always tried too.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "Foundation/Basis.h"

namespace {

void v_Terminate(std::vector<unsigned char>* word) { word->resize((word->size() + 3) / 4 * 4 + 4, 0); }

void v_Drain(CT_CompListIterator& iterator, CT_String* word) {
    unsigned handle = 0;
    // The iterator must end on its own; the bound only keeps a fault from
    // hiding behind a timeout.
    for (int n = 0; n < 1 << 20 && iterator.b_GetNext(word, &handle); ++n) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    if (size < 1) return 0;
    std::size_t wordBytes = data[0] % 64;
    if (wordBytes > size - 1) wordBytes = size - 1;
    std::size_t imageBytes = size - 1 - wordBytes;

    std::vector<std::vector<unsigned char>> words;
    for (char const* fixed : {"cat", "car", "ca", "cats", "dog", "Zebra", "a", ""}) {
        std::vector<unsigned char> word(fixed, fixed + std::strlen(fixed));
        v_Terminate(&word);
        words.push_back(word);
    }
    std::vector<unsigned char> current;
    for (std::size_t i = 1 + imageBytes; i < size; ++i) {
        if (data[i] == 0) {
            v_Terminate(&current);
            words.push_back(current);
            current.clear();
        } else {
            current.push_back(data[i]);
        }
    }
    v_Terminate(&current);
    words.push_back(current);

    CT_Buffer image(data + 1, static_cast<unsigned>(imageBytes), 32);
    CT_CompList list(&image);
    unsigned pos = 0;
    for (auto const& word : words) list.n_Search(reinterpret_cast<char const*>(word.data()), &pos);

    CT_CCompListIterator narrow(&list);
    CT_UCompListIterator wide(&list);
    CT_CString narrowWord;
    CT_UString wideWord;
    v_Drain(narrow, &narrowWord);
    v_Drain(wide, &wideWord);

    unsigned handle = 1;
    for (auto const& word : words) list.b_Add(reinterpret_cast<char const*>(word.data()), handle++);
    for (auto const& word : words) list.n_Search(reinterpret_cast<char const*>(word.data()), &pos);
    narrow.vv_Set(&list);
    wide.vv_Set(&list);
    v_Drain(narrow, &narrowWord);
    v_Drain(wide, &wideWord);

    // A list rebuilt from the changed image answers as the list does.
    CT_CompList rebuilt(list.pcco_GetBuffer() ? list.pcco_GetBuffer() : &image);
    for (auto const& word : words) {
        char const* text = reinterpret_cast<char const*>(word.data());
        if (list.pcco_GetBuffer() && rebuilt.n_Search(text, nullptr) != list.n_Search(text, nullptr)) __builtin_trap();
    }
    return 0;
}
