#include "Foundation/Platform/CommandLine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string s_Units(unsigned short const* text) {
    std::u16string units;
    for (; *text; ++text) units.push_back(static_cast<char16_t>(*text));
    return units;
}

// An argument vector that is not the process's own: every platform takes
// these arguments from the vector itself, so ASCII gives the same answers
// everywhere.
TEST(CommandLine, WideArgumentsOfAnArgumentVector) {
    char const* const argv[] = {"prog", "records.bfr", "", nullptr};
    int const argc = 3;
    unsigned short buffer[32];
    EXPECT_EQ(11u, Platform::n_GetWideArgument(argc, argv, 1, buffer, 32));
    EXPECT_EQ(u"records.bfr", s_Units(buffer));
    EXPECT_EQ(0u, Platform::n_GetWideArgument(argc, argv, 2, buffer, 32));
    EXPECT_EQ(0, buffer[0]);

    // Cut short: the whole length comes back, the buffer holds what fits
    // and its terminator.
    for (unsigned room : {5u, 11u, 12u}) {
        EXPECT_EQ(11u, Platform::n_GetWideArgument(argc, argv, 1, buffer, room));
        EXPECT_EQ(std::u16string(u"records.bfr").substr(0, room - 1), s_Units(buffer)) << room;
    }
    // A buffer of no size only measures.
    buffer[0] = 'x';
    EXPECT_EQ(11u, Platform::n_GetWideArgument(argc, argv, 1, buffer, 0));
    EXPECT_EQ('x', buffer[0]);

    // Outside the vector: nothing, an empty text.
    for (int index : {-1, 3, 100}) {
        buffer[0] = 'x';
        EXPECT_EQ(0u, Platform::n_GetWideArgument(argc, argv, index, buffer, 32)) << index;
        EXPECT_EQ(0, buffer[0]) << index;
    }
}

}  // namespace
