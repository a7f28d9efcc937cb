// The tour's first stop: what happened when the library was loaded.
#include <cstdio>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

int i_TourFrame() {
    v_TourHeading("The library frame");
    std::printf("Loaded from   %s\n", CT_BasisDLLMain::spcco_GetModuleName()->qccz_Get());
    std::printf("Version %u, build %u; version resource %s\n", CT_BasisDLLMain::sn_GetVersion(),
                CT_BasisDLLMain::sn_GetBuild(), CT_BasisDLLMain::spcco_GetVersion() ? "read" : "not read (never is)");
    std::printf("\nStart-up steps, in the order they ran at load (unload runs them backwards):\n");
    for (unsigned i = 0; i < StartUp::sn_GetStepCount(); ++i) std::printf("  %2u. %s\n", i + 1, StartUp::sqccz_GetStep(i));

    std::printf("\nTypes the library knows (newest first), with their base tables:\n");
    for (CT_Type const* type = CT_Type::spco_GetAny(); type; type = type->pco_GetNext()) {
        std::printf("  %-12s %3u bytes  bases:", type->qccz_GetName(), type->n_GetSize());
        for (unsigned i = 0; i < type->n_GetTypes(); ++i)
            std::printf(" %s@+%llu", type->pcso_GetTypes()[i].pco_Type->qccz_GetName(), type->pcso_GetTypes()[i].n_Offset);
        std::printf("\n");
    }

    CT_CString text("bilingual", ~0u, 1252);
    CT_String* any = &text;
    std::printf("\nA CT_CString seen through CT_String*: IsA(CT_String) %s, IsKindOf(CT_String) %s, IsA(CT_CString) %s\n",
                any->vpv_IsA(CT_String::spcco_GetType()) ? "yes" : "no",
                any->vpv_IsKindOf(CT_String::spcco_GetType()) ? "yes" : "no",
                any->vpv_IsA(CT_CString::spcco_GetType()) ? "yes" : "no");

    CT_Counter counter(5);
    CT_Counter after = counter++;
    std::printf("An interlocked counter at 5, counter++ returns %d and holds %d (the new value, both times)\n",
                after.i4_Get(), counter.i4_Get());
    return 0;
}
