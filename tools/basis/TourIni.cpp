// The tour's INI stop: a hand-written settings file in the temporary
// folder, read with its odd spacing, quotes and comments, changed by one
// write (which leaves every other line as it was on Linux), listed, and
// removed again.
#include <cstdio>
#include <string>

#include "Foundation/Basis.h"
#include "tools/basis/Tour.h"

namespace {

void v_PrintFile(std::string const& name) {
    FILE* file = std::fopen(name.c_str(), "rb");
    if (!file) return;
    std::printf("  | ");
    for (int c; (c = std::fgetc(file)) != EOF;) {
        if (c == '\r') continue;
        std::putchar(c);
        if (c == '\n') std::printf("  | ");
    }
    std::printf("\n");
    std::fclose(file);
}

}  // namespace

int i_TourIni() {
    v_TourHeading("INI files");
    static unsigned short const au_Prefix[] = {'t', 'o', 'u', 'r', 0};
    static unsigned short const au_Extension[] = {'i', 'n', 'i', 0};
    CT_UString name;
    v_TourScratchName(&name, au_Prefix, au_Extension);
    std::string const path = s_TourNarrow(name.qcuz_Get());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::printf("cannot write %s\n", path.c_str());
        return 1;
    }
    std::fputs("; written by hand\r\n[Window]\r\n  Width =  640 \r\ntitle = \"Main window\"\r\nMaximized=yes\r\n"
               "\r\n[Recent]\r\nfile1=a.txt\r\n", file);
    std::fclose(file);
    std::printf("%s:\n", path.c_str());
    v_PrintFile(path);

    CT_IniFile ini(&name);
    unsigned width = 0;
    int maximized = 0;
    CT_CString title;
    ini.v_ReadN("WINDOW", "width", &width, 0);
    ini.v_ReadB("window", "MAXIMIZED", &maximized, 0);
    ini.v_ReadString("window", "Title", &title, "");
    std::printf("width %u, maximized %d, title \"%s\" (names in any case, blanks and quotes gone)\n", width, maximized,
                title.qccz_Get());

    ini.v_WriteN("Window", "Width", 800);
    ini.v_WriteB("Window", "Toolbar", 0);
    ini.v_WriteString("Recent", "file2", "b.txt");
    if (b_TourFailed("writing")) return 1;
    std::printf("after three writes (one changed line, two new keys at the ends of their sections):\n");
    v_PrintFile(path);

    CT_Array<CT_CString*> names;
    ini.v_GetKeysInSection("window", &names);
    std::printf("keys of [Window]:");
    for (unsigned i = 1; i <= names.n_GetCount(); ++i) {
        CT_CString* key = nullptr;
        names.v_GetAt(&key, static_cast<int>(i));
        std::printf(" %s", key->qccz_Get());
        delete key;
    }
    ini.v_DeleteSection("recent");
    std::printf("\nsection Recent %s after deleting it\n", ini.b_SectionExists("RECENT") ? "still there" : "gone");
    std::remove(path.c_str());
    return 0;
}
