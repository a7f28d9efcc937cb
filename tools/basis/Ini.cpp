// `basis ini`: INI files from the command line, through CT_IniFile. Reads
// a value, writes one, deletes a key or a section, and lists the sections
// or the keys of a section, one name a line.
#include <cstdio>
#include <cstring>
#include <string>

#include "Foundation/Basis.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/ToolErrors.h"

namespace {

int i_IniUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis ini get <file> <section> <key>\n"
                 "       basis ini set <file> <section> <key> <value>\n"
                 "       basis ini delete <file> <section> [<key>]\n"
                 "       basis ini sections <file>\n"
                 "       basis ini keys <file> <section>\n"
                 "\n"
                 "  get: prints the value; exit status 1 when the key is not there.\n"
                 "  set: writes the value, adding the key and the section as needed.\n"
                 "  delete: removes the key, or the whole section when no key is given.\n"
                 "  sections, keys: the names in file order, one a line.\n"
                 "  Names match without regard to letter case. Names and values are\n"
                 "  text in the system's ANSI code page. On Windows a file name without\n"
                 "  a folder names a file in the Windows folder, as the system has it.\n");
    return out == stdout ? 0 : 2;
}

void v_PrintNames(CT_Array<CT_CString*>* names) {
    for (unsigned i = 1; i <= names->n_GetCount(); ++i) {
        CT_CString* name = nullptr;
        names->v_GetAt(&name, static_cast<int>(i));
        std::printf("%s\n", name->qccz_Get());
        delete name;
    }
}

}  // namespace

int i_RunIni(int argc, char** argv) {
    for (int i = 0; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return i_IniUsage(stdout);
    if (argc == 0) return i_IniUsage(stderr);
    std::string const action = argv[0];
    int const wanted = action == "get" ? 4 : action == "set" ? 5 : action == "sections" ? 2 : action == "keys" ? 3 : 0;
    bool const fits = action == "delete" ? (argc == 3 || argc == 4) : argc == wanted;
    if (!fits) {
        if (wanted == 0 && action != "delete")
            return i_ToolUsageError((action[0] == '-' ? "unknown option \"" : "unknown action \"") + action + "\"");
        return i_ToolUsageError(action + " takes " +
                                (action == "delete" ? std::string("a file, a section and perhaps a key")
                                                    : s_Count(static_cast<unsigned>(wanted - 1), "argument")));
    }
    CT_UString name;
    v_GetArgumentName(argv[1], &name);
    CT_IniFile ini(&name);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();

    if (action == "get") {
        // A missing key reads as the default: two different defaults both
        // coming back tell that it is missing, whatever its value could be.
        CT_CString value;
        CT_CString other;
        ini.v_ReadString(argv[2], argv[3], &value, "-");
        ini.v_ReadString(argv[2], argv[3], &other, "+");
        if (std::strcmp(value.qccz_Get(), "-") == 0 && std::strcmp(other.qccz_Get(), "+") == 0) {
            std::fprintf(stderr, "basis ini: no key \"%s\" in section \"%s\"\n", argv[3], argv[2]);
            return 1;
        }
        std::printf("%s\n", value.qccz_Get());
        return 0;
    }
    if (action == "set") {
        ini.v_WriteString(argv[2], argv[3], argv[4]);
        if (errors->b_IsSetError()) {
            CT_CString message(errors->qcuz_GetErrorMessage(), ~0u, 65001);
            std::fprintf(stderr, "basis ini: cannot write %s: %s\n", argv[1], message.qccz_Get());
            errors->v_ClearError();
            return 1;
        }
        return 0;
    }
    if (action == "delete") {
        if (argc == 4) ini.v_DeleteKey(argv[2], argv[3]);
        else ini.v_DeleteSection(argv[2]);
        return 0;
    }
    CT_Array<CT_CString*> names;
    if (action == "sections") ini.v_GetSectionNames(&names);
    else ini.v_GetKeysInSection(argv[2], &names);
    v_PrintNames(&names);
    return 0;
}
