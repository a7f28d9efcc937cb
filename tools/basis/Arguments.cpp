#include "tools/basis/Arguments.h"

#include <vector>

#include "Foundation/Platform/CommandLine.h"

namespace {

int gi_Count = 0;
char const* const* gppc_Values = nullptr;

}  // namespace

void v_KeepArguments(int argc, char** argv) {
    gi_Count = argc;
    gppc_Values = argv;
}

void v_GetArgumentName(char const* argument, CT_UString* name) {
    for (int index = 0; index < gi_Count; ++index) {
        if (gppc_Values[index] != argument) continue;
        std::vector<unsigned short> units(64);
        unsigned length = Platform::n_GetWideArgument(gi_Count, gppc_Values, index, units.data(),
                                                      static_cast<unsigned>(units.size()));
        if (length >= units.size()) {
            units.resize(length + 1);
            Platform::n_GetWideArgument(gi_Count, gppc_Values, index, units.data(), length + 1);
        }
        *name = CT_UString(units.data(), length);
        return;
    }
    *name = CT_UString(argument, ~0u, 65001);
}
