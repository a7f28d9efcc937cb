// `basis wordlist info` and the JSON forms of the word-list actions.
#pragma once

#include <string>

#include "tools/basis/WordlistStore.h"

// Counts, sizes, the code page and how far each index's longest 2-byte
// link reaches, as text or as one JSON object. path names the list.
int i_WordlistInfo(st_WordlistView const& view, char const* path, bool json);
// The pairs as a JSON array of [source, target], in list order.
int i_WordlistListJson(st_WordlistView const& view);
// A lookup's answer as JSON: the word and its partner, or null (exit 1)
// when partner is null.
int i_WordlistLookupJson(char const* word, bool fromSource, std::string const* partner);
