// The tour's buffer stop: sizing rules, sharing and copy on write.
#include <cstdio>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

void v_Show(char const* label, CT_Buffer const& buffer) {
    std::printf("  %-28s used %5u  max %5u  uses %u  \"", label, buffer.n_GetUsedSize(), buffer.n_GetMaximumSize(),
                buffer.n_GetUseCount());
    unsigned used = buffer.n_GetUsedSize();
    char const* bytes = static_cast<char const*>(buffer.qcv_Get());
    for (unsigned i = 0; i < used && i < 24; ++i) std::putchar(bytes[i]);
    std::printf("%s\"\n", used > 24 ? "..." : "");
}

}  // namespace

int i_TourBuffer() {
    v_TourHeading("The shared buffer");
    std::printf("Sizing: small storage in granules of 32 bytes less a 12-byte header; large grows 25-50%%:\n");
    CT_Buffer small(1, 32);
    v_Show("CT_Buffer(1, 32)", small);
    CT_Buffer grown;
    grown.v_SetSize(1024, 1);
    v_Show("v_SetSize(1024, keep)", grown);
    grown.v_SetSize(3000, 1);
    v_Show("v_SetSize(3000, keep)", grown);

    std::printf("\nSharing and copy on write:\n");
    CT_Buffer original("source language", 15, 32);
    CT_Buffer copy(original);
    v_Show("original", original);
    v_Show("copy (shares)", copy);
    copy.v_Replace("target", 6, 0);
    v_Show("original after writing copy", original);
    v_Show("copy after its first write", copy);

    std::printf("\nMoving and copying inside one buffer:\n");
    CT_Buffer moved("ABCDEFG", 7, 32);
    moved.v_AtInsertMove(0, 2, 5);
    v_Show("ABCDEFG, AtInsertMove(0,2,5)", moved);
    CT_Buffer copied("ABCDE", 5, 32);
    copied.v_AtInsertCopy(0, 2, 3);
    v_Show("ABCDE, AtInsertCopy(0,2,3)", copied);
    return 0;
}
