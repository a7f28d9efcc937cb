// Text as the tool writes it: UTF-8 from the library's UTF-16. The
// library's own UTF-8 coder turns each half of a surrogate pair into a
// sequence of its own (its contract, kept for the files it reads and
// writes); what a user reads, or feeds back to the tool, must be plain
// UTF-8, so the tool joins the pairs itself.
#pragma once

#include <string>
#include <vector>

// UTF-16 units up to a zero unit, or count units, as UTF-8: a surrogate
// pair becomes one four-byte sequence; a lone surrogate becomes U+FFFD.
std::string s_Utf8FromWide(unsigned short const* units);
std::string s_Utf8FromWide(unsigned short const* units, std::size_t count);

// text in double quotes, for messages. Built by appending: gcc 12 warns
// wrongly of overlapping copies for a literal put before a string.
std::string s_InQuotes(std::string const& text);
