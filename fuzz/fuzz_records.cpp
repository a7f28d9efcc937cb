// Feeds arbitrary bytes to the record manager as a whole record file, opened
// for reading, once through the file's handle and once through a mapped
// view. Every reading operation runs over it: both scans, the consistency
// check, every block number as a record, every resource by key. Whatever
// the header, tables and blocks say, nothing may crash, hang or read
// outside the file; failures are reported through the error manager and
// cleared after each call.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"

namespace {

// The work per input is bounded by what the header claims, so that a large
// claim on a small input cannot make one run take seconds. Within the caps
// every operation is tried in full.
//
// - End offset: reads past the file's last byte but inside the end offset
//   are legal (they read zeros), so a header may claim up to 4 GiB, and a
//   record body or resource can be as long as the end offset. Beyond
//   64 KiB no record or resource is read, only the index is walked; below
//   it, 2048 records each reading a 64 KiB body (many records may share
//   one) in each of the passes below stay well under a second.
// - Blocks: every scan, the consistency check and the record loop step
//   through (end offset / block size) blocks at most; beyond 2048 of them
//   only the first block numbers are read as records.
unsigned const n_MaxEnd = 64 * 1024;
unsigned const n_MaxBlocks = 2048;
// Block numbers tried as records when the header is beyond the caps.
unsigned const n_FewRecords = 64;
// Resources read by key: the count is bounded by the table read at the
// opening, which the end offset bounds in turn; this is a second bound.
unsigned const n_MaxResources = 4096;
// The opening reads (resource count x 8) bytes of table, which a header
// may claim up to the end offset, 4 GiB, and puts a table out of key order
// in order; the sort takes quadratic time on many equal keys (the zeros
// read past a small file's end). Inputs claiming more resources than this
// are not opened.
unsigned const n_MaxOpenResources = 1024;
// A scan returns each record once and moves forward, so it ends after at
// most one call per block; the bound only keeps a fault from hiding
// behind a timeout.
unsigned const n_MaxScanCalls = n_MaxBlocks + 2;

CT_ErrorManager* pco_Errors() { return CT_ErrorManager::spco_Get(); }
void v_Clear() { pco_Errors()->v_ClearError(); }

// One temporary file per process, removed at exit.
class TemporaryFile {
public:
    TemporaryFile() {
        static unsigned short const au_Prefix[] = {'f', 'z', 'r', 0};
        CT_FileSystem::sv_MakeTemporaryName(&co_Name, au_Prefix, nullptr, 0);
        s_Narrow = CT_CString(&co_Name, 0).qccz_Get();
    }
    ~TemporaryFile() { std::remove(s_Narrow.c_str()); }
    bool b_Write(std::uint8_t const* data, std::size_t size) const {
        FILE* file = std::fopen(s_Narrow.c_str(), "wb");
        if (!file) return false;
        bool ok = size == 0 || std::fwrite(data, 1, size, file) == size;
        return std::fclose(file) == 0 && ok;
    }
    CT_UString co_Name;
    std::string s_Narrow;
};

void v_Scan(CT_RecordManager const& manager, bool robust, bool withBuffer) {
    CT_Buffer buffer;
    unsigned from = 0;
    for (unsigned calls = 0; calls < n_MaxScanCalls; ++calls) {
        unsigned next = robust ? manager.n_GetNextRecordRobust(from, withBuffer ? &buffer : nullptr)
                               : manager.n_GetNextRecord(from, withBuffer ? &buffer : nullptr);
        v_Clear();
        if (next == 0) return;
        // Each hit lies behind the start it was asked from.
        if (from != 0 && next <= from) __builtin_trap();
        from = next;
    }
}

void v_Exercise(CT_RecordManager& manager) {
    unsigned block = manager.n_GetBlockSize();
    unsigned end = manager.n_GetSize();
    bool readable = end <= n_MaxEnd;
    bool bounded = readable && block != 0 && end / block <= n_MaxBlocks;
    v_Clear();

    unsigned records = !readable ? 0 : bounded ? end / block + 1 : n_FewRecords;
    CT_Buffer buffer;
    for (unsigned number = 0; number < records; ++number) {
        manager.v_GetRecord(number, &buffer);
        v_Clear();
    }
    if (bounded) {
        v_Scan(manager, false, true);
        v_Scan(manager, true, true);
        v_Scan(manager, false, false);  // finds without reading
        manager.b_IsCorrupt();
        v_Clear();
    }

    unsigned count = manager.n_GetResourceCount();
    for (unsigned index = 0; index <= count + 1 && index <= n_MaxResources; ++index) {
        unsigned key = manager.n_GetResourceKeyAt(index);
        if (!manager.b_ResourceExists(key)) {
            // Outside 1..count the key is 0xFFFFFFFF, which may still be
            // a stored key; any other miss is a fault of the index.
            if (index >= 1 && index <= count) __builtin_trap();
            continue;
        }
        if (!readable) continue;
        manager.v_GetResource(key, &buffer);
        v_Clear();
    }
    if (readable) manager.v_GetResource(0x12345678u, &buffer);  // most likely missing
    v_Clear();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    static TemporaryFile file;
    if (size >= 64) {
        unsigned resources = data[60] | data[61] << 8 | data[62] << 16 | static_cast<unsigned>(data[63]) << 24;
        if (resources > n_MaxOpenResources) return 0;
    }
    if (!file.b_Write(data, size)) return 0;
    CT_WinFile native(&file.co_Name, 16384);
    for (int map : {0, 1}) {
        CT_RecordManager manager(&native);
        manager.v_Open(CT_RecordManager::e_ModeRead, map);
        bool opened = !pco_Errors()->b_IsSetError();
        v_Clear();
        if (opened) v_Exercise(manager);
        manager.v_Close(1);
        v_Clear();
        // A reading open and close leave the file as it was.
        if (manager.pcco_GetFile()->b_IsOpen()) __builtin_trap();
    }
    return 0;
}
