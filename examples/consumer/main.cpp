// A program outside the Basis source tree, built against an installed Basis:
// a string in one code page read in another, a record file written, opened
// again and read back, and a word list looked up both ways. It prints each
// step and exits with 0 only when every step gave the expected result.
#include <cstdio>
#include <cstring>

#include "Foundation/Basis.h"

namespace {

int failures = 0;

void check(bool ok, char const* what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what);
    if (!ok) ++failures;
}

// The library reports failures through the calling thread's error manager;
// the message is UTF-16, printed here as far as it is ASCII.
bool succeeded(char const* doing) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return true;
    std::printf("FAIL %s: ", doing);
    for (unsigned short const* u = errors->qcuz_GetErrorMessage(); u && *u; ++u)
        std::putchar(*u < 0x80 ? static_cast<int>(*u) : '?');
    std::printf("\n");
    errors->v_ClearError();
    ++failures;
    return false;
}

void strings() {
    // "Cafe" with an e acute: byte E9 in Windows-1252, U+00E9 in UTF-16,
    // byte 82 in the DOS code page 850.
    CT_CString western("Caf\xe9", ~0u, 1252);
    CT_UString wide(&western);
    CT_CString dos(&wide, 850);
    if (!succeeded("converting the string")) return;
    check(wide.n_GetLength() == 4 && wide.u_GetAt(3) == 0x00E9, "code page 1252 byte E9 reads as U+00E9");
    check(dos.n_GetCodePage() == 850 && static_cast<unsigned char>(dos.c_GetAt(3)) == 0x82,
          "written in code page 850 it is byte 82");
}

void records() {
    static unsigned short const prefix[] = {'c', 'o', 'n', 0};
    static unsigned short const extension[] = {'r', 'e', 'c', 0};
    CT_UString name;
    CT_FileSystem::sv_MakeTemporaryName(&name, prefix, extension, 0);
    if (!succeeded("naming the record file")) return;
    CT_WinFile file(&name, 4096);
    char const text[] = "a record of the consumer";
    unsigned const length = sizeof text - 1;
    {
        CT_RecordManager records(&file);
        records.v_Create(0, 64, 4);
        CT_Buffer data(text, length, 64);
        unsigned number = records.n_AddRecord(&data);
        records.v_Close(1);
        if (!succeeded("writing the record file")) return;
        records.v_Open(CT_RecordManager::e_ModeRead, 0);
        CT_Buffer back;
        records.v_GetRecord(number, &back);
        bool same = back.n_GetUsedSize() == length && std::memcmp(back.qcv_Get(), text, length) == 0;
        unsigned count = records.n_GetRecordCount();
        records.v_Close(1);
        if (!succeeded("reading the record file")) return;
        check(same && count == 1, "the record reads back from the file as written");
    }
    file.vv_Remove();
    succeeded("removing the record file");
}

void wordList() {
    CT_BiLingualCWordList pairs;
    pairs.v_Insert("house", "Haus");
    pairs.v_Insert("dog", "Hund");
    pairs.v_Insert("horse", "Pferd");
    char const* target = pairs.qccz_FindSource("dog");
    char const* source = pairs.qccz_FindTarget("Pferd");
    check(pairs.n_GetCount() == 3 && target && std::strcmp(target, "Hund") == 0 && source &&
              std::strcmp(source, "horse") == 0 && !pairs.qccz_FindSource("cat"),
          "the word list finds partners both ways");
}

}  // namespace

int main() {
    strings();
    records();
    wordList();
    std::printf("%s\n", failures ? "consumer: failed" : "consumer: all steps passed");
    return failures ? 1 : 0;
}
