// The tour's scratch files: in the folder TMPDIR names when it is set, as
// users of command-line tools expect, otherwise where the library puts
// temporary files. The library itself reads no environment; the tool does.
#include <cstdlib>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

void v_TourScratchName(CT_UString* name, unsigned short const* prefix, unsigned short const* extension) {
    char const* folder = std::getenv("TMPDIR");
    // A name the library made is new in its own folder; in TMPDIR it is
    // tried again until it is new there too. After a hundred tries (a
    // folder that cannot be read says every name exists) the library's
    // own folder is used.
    for (int attempt = 0; attempt < 100; ++attempt) {
        CT_FileSystem::sv_MakeTemporaryName(name, prefix, extension, 0);
        if (folder == nullptr || *folder == 0 || CT_ErrorManager::spco_Get()->b_IsSetError()) return;
        unsigned short const* units = name->qcuz_Get();
        unsigned length = name->n_GetLength(), file = 0;
        for (unsigned k = 0; k < length; ++k)
            if (units[k] == '/' || units[k] == '\\') file = k + 1;
        // The environment's text is in the system's code page (0).
        CT_UString path(folder, ~0u, 0);
        unsigned short last = path.n_GetLength() ? path.u_GetAt(path.n_GetLength() - 1) : 0;
        if (last != '/' && last != '\\') path.v_Append(static_cast<unsigned short>('/'));
        path.v_Append(units + file, length - file);
        if (!CT_FileSystem::sb_IsExistent(&path)) {
            *name = path;
            return;
        }
    }
}
