// Feeds arbitrary bytes to the record manager as a whole record file, once
// through the file's handle and once through a mapped view.
//
// Opened for reading, every reading operation runs over it: both scans,
// the consistency check, every block number as a record, every resource
// by key. Opened for reading and writing, records and resources are added,
// updated and deleted; then nothing may have been written outside the
// data area but the header and the two tables at their places, and the
// file must still open. Whatever the header, tables and blocks say,
// nothing may crash, hang or read or write outside the file; failures are
// reported through the error manager and cleared after each call.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

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
// may claim up to the end offset, 4 GiB (zeros past a small file's end).
// Inputs claiming more resources than this are not opened.
unsigned const n_MaxOpenResources = 1u << 16;
// The writing half grows the file by whole blocks and record fixed parts:
// it runs only where those stay small.
unsigned const n_MaxWriteBlock = 4096;
unsigned const n_MaxWriteHeader = 4096;
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


unsigned n_Word(std::uint8_t const* data, std::size_t size, unsigned at) {
    if (at + 4ull > size) return 0;
    return data[at] | data[at + 1] << 8 | data[at + 2] << 16 | static_cast<unsigned>(data[at + 3]) << 24;
}

std::string s_ReadFile(std::string const& path) {
    std::string bytes;
    FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) return bytes;
    char chunk[4096];
    for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) bytes.append(chunk, got);
    std::fclose(file);
    return bytes;
}

// Adds, updates and deletes records and resources; each failure is
// cleared and the next operation goes on.
void v_Change(CT_RecordManager& manager) {
    unsigned headerSize = manager.n_GetRecordHeaderSize();
    std::vector<unsigned char> bytes(headerSize + 300);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    auto data = [&](unsigned length) { return CT_Buffer(bytes.data(), length, 32); };
    unsigned const lengths[] = {0, headerSize, headerSize + 1, headerSize + 60, headerSize + 300};

    // The records the file holds, as a scan finds them.
    std::vector<unsigned> numbers;
    unsigned from = 0;
    for (unsigned calls = 0; calls < 16; ++calls) {
        from = manager.n_GetNextRecordRobust(from, nullptr);
        v_Clear();
        if (from == 0) break;
        numbers.push_back(from - 1);
    }
    for (unsigned length : lengths) {
        CT_Buffer buffer = data(length);
        unsigned number = manager.n_AddRecord(&buffer);
        v_Clear();
        if (number) numbers.push_back(number);
    }
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        CT_Buffer buffer = data(lengths[(i + 2) % 5]);
        manager.v_UpdateRecord(numbers[i], &buffer);
        v_Clear();
        if (i % 3 == 0) {
            manager.v_UpdateRecordHeader(numbers[i], &buffer);
            v_Clear();
        }
        if (i % 2 == 1) {
            manager.v_DeleteRecord(numbers[i]);
            v_Clear();
        }
    }
    for (unsigned length : lengths) {
        CT_Buffer buffer = data(length);
        manager.n_AddRecord(&buffer);
        v_Clear();
    }

    std::vector<unsigned> keys;
    for (unsigned index = 1; index <= manager.n_GetResourceCount() && index <= 8; ++index)
        keys.push_back(manager.n_GetResourceKeyAt(index));
    for (unsigned key : {0x10u, 0x20u, 0x30u}) {
        CT_Buffer buffer = data(key);
        manager.v_AddResource(key, &buffer);
        v_Clear();
        keys.push_back(key);
    }
    for (std::size_t i = 0; i < keys.size(); ++i) {
        CT_Buffer buffer = data(lengths[i % 5]);
        manager.v_UpdateResource(keys[i], &buffer);
        v_Clear();
        if (i % 2 == 0) {
            manager.v_DeleteResource(keys[i]);
            v_Clear();
        }
    }
}

// What the writing half may have changed: the header, the two tables and
// the data area up to the end offset after the changes. The geometry
// fields never change, so the input's give the places.
void v_CheckWrites(std::uint8_t const* data, std::size_t size, std::string const& after) {
    unsigned capacity = n_Word(data, size, 48);
    unsigned resourceMax = n_Word(data, size, 56);
    unsigned block = n_Word(data, size, 40);
    unsigned long long tablesEnd = 256ull + 8ull * (static_cast<unsigned long long>(capacity) + resourceMax);
    unsigned long long b = block ? block : 1;
    unsigned long long dataStart = ((tablesEnd - 1) / b + 1) * b;
    unsigned long long end = n_Word(reinterpret_cast<std::uint8_t const*>(after.data()), after.size(), 80);
    std::size_t common = size < after.size() ? size : after.size();
    for (std::size_t i = 0; i < common; ++i) {
        if (data[i] == static_cast<std::uint8_t>(after[i])) continue;
        if (i < tablesEnd) continue;                   // header and tables
        if (i >= dataStart && i < end) continue;       // the data area
        __builtin_trap();
    }
    // Bytes beyond the input were written by the changes: the tables at
    // their places (an input cut short inside them gets them back whole),
    // the data area, and elsewhere only zeros (the gap a file's growth
    // leaves).
    for (std::size_t i = common; i < after.size(); ++i) {
        if (after[i] == 0 || i < tablesEnd || (i >= dataStart && i < end)) continue;
        __builtin_trap();
    }
}

void v_Write(std::uint8_t const* data, std::size_t size, TemporaryFile const& file) {
    unsigned block = n_Word(data, size, 40);
    unsigned headerSize = n_Word(data, size, 44);
    unsigned end = n_Word(data, size, 80);
    if (block > n_MaxWriteBlock || headerSize > n_MaxWriteHeader || end > n_MaxEnd) return;
    CT_WinFile native(&file.co_Name, 16384);
    for (int map : {0, 1}) {
        if (!file.b_Write(data, size)) return;
        {
            CT_RecordManager manager(&native);
            manager.v_Open(CT_RecordManager::e_ModeReadWrite, map);
            bool opened = !pco_Errors()->b_IsSetError();
            v_Clear();
            if (!opened) return;
            v_Change(manager);
            manager.v_Close(1);
            v_Clear();
            if (manager.pcco_GetFile()->b_IsOpen()) __builtin_trap();
        }
        std::string after = s_ReadFile(file.s_Narrow);
        v_CheckWrites(data, size, after);
        // The magic number stays where it was: the file opens again.
        if (n_Word(reinterpret_cast<std::uint8_t const*>(after.data()), after.size(), 32) != CT_RecordManager::e_Magic)
            continue;
        CT_RecordManager reader(&native);
        reader.v_Open(CT_RecordManager::e_ModeRead, 0);
        if (pco_Errors()->b_IsSetError()) __builtin_trap();
        reader.v_Close(1);
        v_Clear();
    }
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
    v_Write(data, size, file);
    return 0;
}
