// The tour's files stop: a UTF-16 text file and a narrow one written in
// the temporary directory, read back line by line, a byte-range lock that
// a second handle is refused, and the files removed again.
#include <cstdio>
#include <string>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

std::string s_Narrow(CT_String const* text) { return CT_CString(text, 65001).qccz_Get(); }


// Writes three lines, shows the file's bytes and reads them back.
int i_TextFile(char const* title, unsigned short const* extension, bool wide) {
    static unsigned short const au_Prefix[] = {'t', 'o', 'u', 'r', 0};
    CT_UString name;
    v_TourScratchName(&name, au_Prefix, extension);
    CT_WinFile file(&name, 4096);
    file.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_TourFailed("creating the file")) return 1;
    if (wide) file.vn_Write("\xFF\xFE", 2);  // the byte-order mark
    char const* const lines[] = {"first line", "caf\xC3\xA9 au lait", ""};
    for (char const* text : lines) {
        CT_UString line(text, ~0u, 65001);
        if (wide) file.v_WriteLineU(&line, 1);
        else file.v_WriteLineC(&line, 1);
    }
    file.vv_Close();
    if (b_TourFailed("writing")) return 1;
    std::printf("%s %s, %u bytes:", title, s_Narrow(&name).c_str(), file.vn_GetSize());
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    unsigned char bytes[16];
    unsigned count = file.vn_Read(bytes, sizeof bytes);
    for (unsigned i = 0; i < count; ++i) std::printf(" %02x", bytes[i]);
    std::printf(" ...\n  wide text: %s\n", file.b_IsUnicode() ? "yes" : "no");
    // The test goes back to the start only when it reads; an odd size
    // answers at once, so the file is put back to its start here.
    file.vv_SetOffset(CT_File::e_Begin, 0);
    CT_UString line;
    for (unsigned number = 1;; ++number) {
        unsigned result = wide ? file.n_ReadLineUSequential(&line, nullptr) : file.n_ReadLineCSequential(&line, nullptr);
        if (result == 0) break;
        std::printf("  line %u (%u bytes with its end): \"%s\"\n", number, result, s_Narrow(&line).c_str());
    }
    file.vv_Close();
    file.vv_Remove();
    return b_TourFailed("reading") ? 1 : 0;
}

}  // namespace

int i_TourFiles() {
    v_TourHeading("Files");
    static unsigned short const au_Wide[] = {'t', 'x', 'u', 0};
    static unsigned short const au_Narrow[] = {'t', 'x', 't', 0};
    if (i_TextFile("A UTF-16 text file", au_Wide, true) != 0) return 1;
    if (i_TextFile("A narrow text file (the ANSI code page)", au_Narrow, false) != 0) return 1;

    static unsigned short const au_Prefix[] = {'l', 'o', 'c', 'k', 0};
    CT_UString name;
    v_TourScratchName(&name, au_Prefix, nullptr);
    CT_WinFile first(&name, 4096), second(&name, 4096);
    first.vv_Open(CT_File::e_ReadWrite, CT_File::e_CreateAlways, CT_File::e_ShareReadWrite, CT_File::e_AttributeNormal, 0);
    first.vn_Write("0123456789", 10);
    second.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, CT_File::e_AttributeNormal, 0);
    if (b_TourFailed("opening the lock file")) return 1;
    first.v_LockFile(2, 4);
    std::printf("The first handle locks bytes 2 to 5 of %s.\n", s_Narrow(&name).c_str());
    second.v_LockFile(4, 2);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    std::printf("A second handle asking for bytes 4 to 5 is refused at once:\n  %s\n",
                errors->b_IsSetError() ? s_TourNarrow(errors->qcuz_GetErrorMessage()).c_str() : "(not refused!)");
    int refused = errors->b_IsSetError();
    errors->v_ClearError();
    first.v_UnlockFile(2, 4);
    second.v_LockFile(4, 2);
    std::printf("After the first handle unlocks, the second gets it: %s\n", errors->b_IsSetError() ? "no" : "yes");
    second.vv_Close();
    first.vv_Close();
    first.vv_Remove();
    if (b_TourFailed("locking")) return 1;
    std::printf("The tour's files are removed again.\n");
    return refused ? 0 : 1;
}
