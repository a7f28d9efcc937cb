// The tour's record-file stop: a file of 64-byte blocks in the temporary
// directory, records with and without a body, a deletion whose blocks the
// next record of the same size takes again, both scans, an update that
// keeps the number while the body moves, keyed resources,
// and the consistency check after the file is opened again.
#include <cstdio>
#include <cstring>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "tools/basis/Tour.h"

namespace {



std::string s_Text(CT_Buffer const& data) {
    return std::string(static_cast<char const*>(data.qcv_Get()), data.n_GetUsedSize());
}

// The record header is 8 bytes: a record of up to 8 bytes lives in its
// fixed part alone, a longer one has the rest in a body block.
unsigned const kHeaderSize = 8, kBlockSize = 64, kResources = 4;

unsigned n_Add(CT_RecordManager* records, char const* text) {
    CT_Buffer data(text, static_cast<unsigned>(std::strlen(text)), 32);
    unsigned number = records->n_AddRecord(&data);
    unsigned length = data.n_GetUsedSize();
    std::printf("  + \"%s\" (%u bytes%s) -> record %u; end offset %u\n", text, length,
                length > kHeaderSize ? ", a body block for the rest" : ", no body", number, records->n_GetSize());
    return number;
}

void v_Scan(CT_RecordManager const& records, bool robust) {
    std::printf("  %-15s", robust ? "block by block:" : "the scan:");
    CT_Buffer data;
    for (unsigned next = 0;;) {
        next = robust ? records.n_GetNextRecordRobust(next, &data) : records.n_GetNextRecord(next, &data);
        if (next == 0) break;
        std::printf(" %u=\"%s\"", next - 1, s_Text(data).c_str());
    }
    std::printf("\n");
}

}  // namespace

int i_TourRecords() {
    v_TourHeading("Record files");
    static unsigned short const au_Prefix[] = {'r', 'e', 'c', 0};
    static unsigned short const au_Extension[] = {'b', 'f', 'r', 0};
    CT_UString name;
    v_TourScratchName(&name, au_Prefix, au_Extension);
    if (b_TourFailed("naming the file")) return 1;
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    records.v_Create(kHeaderSize, kBlockSize, kResources);
    if (b_TourFailed("creating the file")) return 1;
    std::printf("%s: %u-byte blocks, %u-byte record headers, %u resource slots.\n", s_TourNarrow(name.qcuz_Get()).c_str(),
                kBlockSize, kHeaderSize, kResources);
    std::printf("Header and tables take 256 + 8 * (128 + %u) bytes; the data area starts at %u (block %u).\n",
                kResources, records.n_GetSize(), records.n_GetSize() / kBlockSize);

    std::printf("Records are numbered by their first block:\n");
    unsigned first = n_Add(&records, "rec:0001");
    unsigned second = n_Add(&records, "rec:0002 and the rest in a body block");
    unsigned third = n_Add(&records, "rec:0003 short body");
    v_Scan(records, false);

    records.v_DeleteRecord(second);
    std::printf("Deleting record %u frees its fixed part and its body: %u records, end offset still %u.\n", second,
                records.n_GetRecordCount(), records.n_GetSize());
    unsigned again = n_Add(&records, "rec:0004 takes the freed blocks again");
    std::printf("  the free blocks fit exactly, so the new record takes number %u again: %s\n", again,
                again == second ? "yes" : "no");
    CT_Buffer data;
    records.v_GetRecord(first, &data);
    std::printf("  record %u reads back as \"%s\"\n", first, s_Text(data).c_str());
    v_Scan(records, false);
    v_Scan(records, true);
    // What the tool's dump and restore, and compact, build on: a record
    // keeps its number while its body moves.
    char const grown[] = "rec:0003 grown past its old 64-byte body block, which is freed for the next record";
    CT_Buffer longer(grown, sizeof grown - 1, 32);
    records.v_UpdateRecord(third, &longer);
    if (b_TourFailed("updating a record")) return 1;
    records.v_GetRecord(third, &data);
    std::printf("Updating record %u with %u bytes keeps its number; its body moves to the end: end offset %u\n"
                "  record %u reads back as \"%s\"\n",
                third, longer.n_GetUsedSize(), records.n_GetSize(), third, s_Text(data).c_str());

    std::printf("Resources are whole buffers under 32-bit keys, kept in key order:\n");
    CT_Buffer settings("colour=blue", 11, 32), notes("read me first", 13, 32);
    records.v_AddResource(7, &settings);
    records.v_AddResource(3, &notes);
    if (b_TourFailed("adding resources")) return 1;
    std::printf("  keys:");
    for (unsigned k = 1; k <= records.n_GetResourceCount(); ++k) std::printf(" %u", records.n_GetResourceKeyAt(k));
    records.v_GetResource(7, &data);
    std::printf("; resource 7 is \"%s\"\n", s_Text(data).c_str());
    records.v_AddResource(3, &settings);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    int refused = errors->b_IsSetError();
    std::printf("  adding key 3 again: %s\n", refused ? s_TourNarrow(errors->qcuz_GetErrorMessage()).c_str() : "(allowed!)");
    errors->v_ClearError();

    records.v_Close(1);
    if (b_TourFailed("closing")) return 1;
    records.v_Open(CT_RecordManager::e_ModeRead, 0);
    if (b_TourFailed("opening again")) return 1;
    int corrupt = records.b_IsCorrupt();
    std::printf("Opened again for reading: %u records, %u resources, end offset %u; consistent: %s\n",
                records.n_GetRecordCount(), records.n_GetResourceCount(), records.n_GetSize(), corrupt ? "no" : "yes");
    records.v_Close(1);
    file.vv_Remove();
    if (b_TourFailed("removing the file")) return 1;
    return refused && !corrupt && again == second ? 0 : 1;
}
