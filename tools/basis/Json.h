// The tool's JSON output: text as a JSON string. The tool's own texts are
// UTF-8; bytes that are not (a file name from a system that allows any
// bytes) are written as U+FFFD, so that the output stays valid JSON.
#pragma once

#include <string>

std::string s_JsonString(std::string const& text);
