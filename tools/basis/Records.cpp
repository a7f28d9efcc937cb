// `basis records`: record files from the command line. Creates one, adds
// files (or standard input) as records, writes a record back out, lists
// the records with either scan, checks a file and shows its header.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManager.h"
#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/Progress.h"
#include "tools/basis/RecordsFile.h"

namespace {

enum : int { e_Ok = 0, e_Failed = 1, e_Usage = 2 };

// The defaults of create. A record no longer than the record header has
// no body and its length is not kept; with a header of 0 bytes only the
// empty record is such a record, so every file added reads back as it
// was. 512-byte blocks keep the scans' steps few for file-sized records
// while a small record wastes little.
unsigned const kDefaultHeaderSize = 0;
unsigned const kDefaultBlockSize = 512;
unsigned const kDefaultResources = 16;
// Bounds create sets on its arguments: a free block keeps two words; the
// tables and a block must stay far from the 32-bit offsets' end.
unsigned const kMinimumBlockSize = 8;
unsigned const kMaximumBlockSize = 1u << 24;
unsigned const kMaximumResources = 1u << 20;
// The bytes of a record that list shows.
unsigned const kPreviewBytes = 24;

char const qcz_Location[] = "tools/basis/Records";

int i_RecordsUsage(FILE* out) {
    std::fprintf(out,
                 "usage: basis records create <file> [--header H] [--block B] [--resources R] [--force]\n"
                 "       basis records add <file> [<input>...]\n"
                 "       basis records get <file> <record> [--out <output>]\n"
                 "       basis records list <file> [--robust]\n"
                 "       basis records check <file>\n"
                 "       basis records header <file>\n"
                 "\n"
                 "  create: a new record file of B-byte blocks (default %u) whose records\n"
                 "  start with an H-byte record header (default %u; H + 8 <= B), with room\n"
                 "  for R resources (default %u). An existing file is kept unless --force.\n"
                 "  add: one record per input file, or one from standard input when no\n"
                 "  input or \"-\" is given; prints each new record's number.\n"
                 "  get: writes the record's bytes to standard output or to <output>.\n"
                 "  list: number, length and first bytes of every record, found by the\n"
                 "  scan that trusts size words or, with --robust, block by block.\n"
                 "  check: geometry, free space and resources, and the records found\n"
                 "  against the stored count; exit status 1 when the file is corrupt.\n"
                 "  header: the header's fields as stored.\n"
                 "  A record no longer than H bytes has no body and does not keep its\n"
                 "  length: with H = 0 every input reads back exactly as it was added.\n",
                 kDefaultBlockSize, kDefaultHeaderSize, kDefaultResources);
    return out == stdout ? e_Ok : e_Usage;
}

std::string s_Narrow(unsigned short const* text) { return CT_CString(text, ~0u, 65001).qccz_Get(); }
std::string s_Narrow(CT_UString const& text) { return s_Narrow(text.qcuz_Get()); }

int i_Fail(std::string const& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "basis records: %s\n", message.c_str());
    return e_Failed;
}

// Whether the error manager holds an error; if so this place is added to
// its locations.
bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

// The error manager's error as the tool reports it, its message (which
// starts with its code) and then
// the places it passed through, innermost first; the error is cleared, so
// that files can still be closed.
std::string s_TakeError() {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    std::string text = s_Narrow(errors->qcuz_GetErrorMessage());
    for (unsigned k = 1; k <= errors->n_GetLocationCount(); ++k)
        text += std::string("\n  at ") + errors->qccz_GetLocationFileAt(k) + ":" +
                std::to_string(errors->n_GetLocationLineAt(k));
    errors->v_ClearError();
    return text;
}

// Reports the error manager's error after what the tool was doing.
int i_FailWithError(std::string const& doing) { return i_Fail(doing + ": " + s_TakeError()); }

// Closes the record file after a failure (taken from the error manager
// before, so that closing is not refused) and reports both.
int i_CloseAndFail(CT_RecordManager* records, std::string const& failure) {
    records->v_Close(1);
    std::string closing = CT_ErrorManager::spco_Get()->b_IsSetError() ? "\nclosing failed too: " + s_TakeError() : "";
    return i_Fail(failure + closing);
}

int i_CloseAndFailWithError(CT_RecordManager* records, std::string const& doing) {
    return i_CloseAndFail(records, doing + ": " + s_TakeError());
}

// Closes the record file at the end of an action.
int i_Close(CT_RecordManager* records, int result) {
    records->v_Close(1);
    if (b_Failed(__LINE__)) return i_FailWithError("closing " + s_Narrow(*records->pcco_GetFile()->pcco_GetFullName()));
    return result;
}

// Opens the record file (mapped, as scans over it are word by word); false
// with the error set. A file too short for a header fails as one, rather
// than with whatever mapping an empty file says.
bool b_OpenRecords(CT_RecordManager* records, CT_RecordManager::et_OpenMode mode) {
    CT_WinFile const* file = records->pcco_GetFile();
    bool exists = CT_FileSystem::sb_IsExistent(file->pcco_GetFullName());
    unsigned size = exists ? file->vn_GetSize() : 0;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (exists && !errors->b_IsSetError() && size < CT_RecordManager::e_HeaderSize) {
        static unsigned short const au_Format[] = {'%', 's', 0};
        CT_UString message(("a file of " + std::to_string(size) + " bytes, too short for a record file").c_str(), ~0u,
                           65001);
        errors->v_SetError(CT_DatabaseError::e_InvalidFormat, au_Format, message.qcuz_Get());
    }
    if (!errors->b_IsSetError()) records->v_Open(mode, 1);
    return !b_Failed(__LINE__);
}

// A decimal number of at most 32 bits.
bool b_ParseNumber(char const* text, unsigned* value) {
    if (*text < '0' || *text > '9') return false;
    unsigned long long number = 0;
    for (; *text; ++text) {
        if (*text < '0' || *text > '9') return false;
        number = number * 10 + unsigned(*text - '0');
        if (number > 0xFFFFFFFFull) return false;
    }
    *value = static_cast<unsigned>(number);
    return true;
}

unsigned long long n8_Align(unsigned long long n, unsigned block) { return n == 0 ? 0 : ((n - 1) / block + 1) * block; }

// Where a file made with this geometry has its data area; the tables
// before it are the header, the 128 free-list slots and R resource slots.
unsigned n_DataStart(CT_RecordManager const& records) {
    unsigned long long tables = CT_RecordManager::e_HeaderSize + 8ull * (CT_RecordManager::e_FreeListCapacity +
                                                                         0ull + records.n_GetResourceMaxCount());
    unsigned long long start = n8_Align(tables, records.n_GetBlockSize());
    return start > 0xFFFFFFFFull ? 0 : static_cast<unsigned>(start);
}

// The first bytes of a record: as text when they are printable ASCII,
// else in hexadecimal.
std::string s_Preview(CT_Buffer const& data) {
    unsigned size = data.n_GetUsedSize();
    if (size == 0) return "(empty)";
    auto const* bytes = static_cast<unsigned char const*>(data.qcv_Get());
    unsigned shown = size < kPreviewBytes ? size : kPreviewBytes;
    bool text = true;
    for (unsigned k = 0; k < shown && text; ++k)
        text = (bytes[k] >= 0x20 && bytes[k] < 0x7F) || bytes[k] == '\t' || bytes[k] == '\n' || bytes[k] == '\r';
    std::string preview;
    if (text) {
        preview = "\"";
        for (unsigned k = 0; k < shown; ++k) {
            char c = static_cast<char>(bytes[k]);
            if (c == '\t') preview += "\\t";
            else if (c == '\n') preview += "\\n";
            else if (c == '\r') preview += "\\r";
            else if (c == '"' || c == '\\') preview += std::string("\\") + c;
            else preview += c;
        }
        preview += "\"";
    } else {
        if (shown > kPreviewBytes / 2) shown = kPreviewBytes / 2;
        char hex[4];
        for (unsigned k = 0; k < shown; ++k) {
            std::snprintf(hex, sizeof hex, "%s%02x", k ? " " : "", bytes[k]);
            preview += hex;
        }
    }
    if (shown < size) preview += " ...";
    return preview;
}

// Reads an input of add: a file, or standard input for "-". False with a
// message in *failure.
bool b_ReadInput(char const* argument, std::string* bytes, std::string* failure) {
    bytes->clear();
    // A record's length is a 32-bit number, and its blocks must fit below
    // the 4 GiB the file's offsets reach.
    unsigned long long const limit = 0xFFFFFFFFull - (1u << 25);
    char chunk[1 << 16];
    if (std::strcmp(argument, "-") == 0) {
        Platform::v_SetStandardInputBinary();
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
            bytes->append(chunk, n);
            if (bytes->size() > limit) {
                *failure = "standard input holds too many bytes for one record";
                return false;
            }
        }
        if (std::ferror(stdin)) *failure = "cannot read standard input";
        return !std::ferror(stdin);
    }
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) {
        *failure = "reading " + s_Narrow(name) + ": " + s_TakeError();
        return false;
    }
    for (;;) {
        unsigned n = file.vn_Read(chunk, sizeof chunk);
        if (b_Failed(__LINE__)) {
            *failure = "reading " + s_Narrow(name) + ": " + s_TakeError();
            file.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return false;
        }
        if (n == 0) break;
        bytes->append(chunk, n);
        if (bytes->size() > limit) {
            *failure = "\"" + s_Narrow(name) + "\" is too large for one record";
            file.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return false;
        }
    }
    file.vv_Close();
    if (b_Failed(__LINE__)) {
        *failure = "reading " + s_Narrow(name) + ": " + s_TakeError();
        return false;
    }
    return true;
}

int i_Create(char const* argument, unsigned headerSize, unsigned blockSize, unsigned resources, bool force) {
    if (blockSize < kMinimumBlockSize || blockSize > kMaximumBlockSize)
        return i_Fail("the block size must lie between " + std::to_string(kMinimumBlockSize) + " and " +
                      std::to_string(kMaximumBlockSize) + " bytes");
    // The scans step one block past a record's first block; a record's
    // fixed part (its 8 bytes of bookkeeping and the record header) that
    // reaches into the next block would be read as if it began blocks.
    if (headerSize > blockSize - 8)
        return i_Fail("a record header of " + std::to_string(headerSize) + " bytes and the record's 8 bytes of "
                      "bookkeeping do not fit in a block of " + std::to_string(blockSize) +
                      " bytes (H + 8 <= B)");
    if (resources > kMaximumResources)
        return i_Fail("at most " + std::to_string(kMaximumResources) + " resources");
    CT_UString name;
    v_GetArgumentName(argument, &name);
    if (!force && CT_FileSystem::sb_IsExistent(&name))
        return i_Fail("\"" + s_Narrow(name) + "\" exists; pass --force to replace it");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    records.v_Create(headerSize, blockSize, resources);
    if (b_Failed(__LINE__)) return i_FailWithError("creating " + s_Narrow(name));
    unsigned start = records.n_GetSize();
    int result = i_Close(&records, e_Ok);
    if (result == e_Ok)
        std::printf("created %s: %u-byte blocks, %u-byte record header, room for %u resources; "
                    "the data area starts at offset %u\n",
                    s_Narrow(name).c_str(), blockSize, headerSize, resources, start);
    return result;
}

int i_Add(char const* argument, std::vector<char const*> inputs) {
    if (inputs.empty()) inputs.push_back("-");
    unsigned fromStandardInput = 0;
    for (char const* input : inputs) fromStandardInput += std::strcmp(input, "-") == 0;
    if (fromStandardInput > 1) return i_Fail("standard input (\"-\") can be added once only");
    // Every input is read before the record file is touched, so that a
    // mistyped name adds nothing.
    std::vector<std::string> contents(inputs.size());
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        std::string failure;
        if (!b_ReadInput(inputs[k], &contents[k], &failure)) return i_Fail(failure);
    }
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeReadWrite)) return i_FailWithError("opening " + s_Narrow(name));
    unsigned headerSize = records.n_GetRecordHeaderSize(), blockSize = records.n_GetBlockSize();
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        std::string const& bytes = contents[k];
        auto length = static_cast<unsigned>(bytes.size());
        std::string input = std::strcmp(inputs[k], "-") == 0 ? "standard input" : inputs[k];
        // The record manager does not watch its 32-bit end offset; a record
        // that could carry it past 4 GiB is refused here.
        unsigned long long need = n8_Align(headerSize + 8ull, blockSize) +
                                  (length > headerSize ? n8_Align(length - headerSize + 4ull, blockSize) : 0);
        if (records.n_GetSize() + need > 0xFFFFFFFFull)
            return i_CloseAndFail(&records, "adding " + input + " would take " + s_Narrow(name) +
                                                " past the 4 GiB its offsets reach");
        CT_Buffer data(bytes.data(), length, 64);
        unsigned number = records.n_AddRecord(&data);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "adding " + input + " to " + s_Narrow(name));
        std::printf("%u\n", number);
        if (length > headerSize) continue;
        // Such a record has no body and its length is not stored: say how
        // it reads back when that differs from what was added.
        CT_Buffer back;
        records.v_GetRecord(number, &back);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " back");
        if (back.n_GetUsedSize() != length || (length && !back.b_IsEqual(bytes.data(), length, 0))) {
            std::fflush(stdout);
            std::fprintf(stderr,
                         "basis records: note: record %u (%s, %u bytes) is not longer than the %u-byte record "
                         "header; its length is not stored and it reads back as %u bytes\n",
                         number, input.c_str(), length, headerSize, back.n_GetUsedSize());
        }
    }
    return i_Close(&records, std::fflush(stdout) == 0 ? e_Ok : e_Failed);
}

int i_Get(char const* argument, char const* numberText, char const* output) {
    unsigned number = 0;
    if (!b_ParseNumber(numberText, &number))
        return i_Fail(std::string("\"") + numberText + "\" is not a record number");
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Narrow(name));
    // A record's offset is its number times the block size, in 32 bits:
    // a number past the end must not wrap around onto a record.
    unsigned long long offset = static_cast<unsigned long long>(number) * records.n_GetBlockSize();
    if (offset >= records.n_GetSize())
        return i_CloseAndFail(&records, "no record " + std::to_string(number) + " in " + s_Narrow(name) +
                                            ": its block would start at or past the end offset " +
                                            std::to_string(records.n_GetSize()));
    CT_Buffer data;
    records.v_GetRecord(number, &data);
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " of " + s_Narrow(name));
    int closed = i_Close(&records, e_Ok);
    if (closed != e_Ok) return closed;
    unsigned size = data.n_GetUsedSize();
    if (output) {
        CT_UString outName;
        v_GetArgumentName(output, &outName);
        CT_WinFile out(&outName, 4096);
        out.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
        if (b_Failed(__LINE__)) return i_FailWithError("creating " + s_Narrow(outName));
        if (size) out.vn_Write(data.qcv_Get(), size);
        if (b_Failed(__LINE__)) {
            std::string failure = s_TakeError();
            out.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return i_Fail(failure);
        }
        out.vv_Close();
        return b_Failed(__LINE__) ? i_FailWithError("writing " + s_Narrow(outName)) : e_Ok;
    }
    Platform::v_SetStandardOutputBinary();
    if ((size && std::fwrite(data.qcv_Get(), 1, size, stdout) != size) || std::fflush(stdout) != 0)
        return i_Fail("cannot write the record to standard output");
    return e_Ok;
}

// Runs a scan over the records, calling visit for each (number and data);
// false with the error reported when the scan fails.
template <typename Visit>
bool b_Scan(CT_RecordManager const& records, bool robust, CT_Progress* progress, Visit visit) {
    unsigned start = n_DataStart(records), blockSize = records.n_GetBlockSize();
    CT_Buffer data;
    unsigned found = 0;
    for (unsigned from = 0;;) {
        unsigned next = robust ? records.n_GetNextRecordRobust(from, &data) : records.n_GetNextRecord(from, &data);
        if (b_Failed(__LINE__)) return false;
        if (next == 0) return true;
        visit(next - 1, data);
        unsigned long long at = static_cast<unsigned long long>(next - 1) * blockSize;
        progress->v_Update(at > start ? at - start : 0, ++found);
        from = next;
    }
}

int i_List(char const* argument, bool robust) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Narrow(name));
    unsigned start = n_DataStart(records), end = records.n_GetSize();
    CT_Progress progress(robust ? "scanning block by block" : "scanning", end > start ? end - start : 0, "records");
    unsigned count = 0;
    unsigned long long bytes = 0;
    std::printf("%10s %10s  %s\n", "record", "bytes", "first bytes");
    bool scanned = b_Scan(records, robust, &progress, [&](unsigned number, CT_Buffer const& data) {
        progress.v_Erase();
        std::printf("%10u %10u  %s\n", number, data.n_GetUsedSize(), s_Preview(data).c_str());
        ++count;
        bytes += data.n_GetUsedSize();
    });
    progress.v_Erase();
    if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Narrow(name));
    std::printf("%u record%s, %llu bytes (%s)\n", count, count == 1 ? "" : "s", bytes,
                robust ? "found block by block" : "found by the scan");
    return i_Close(&records, std::fflush(stdout) == 0 ? e_Ok : e_Failed);
}

std::string s_NotRecordFile(CT_UString const& name) {
    char magic[16];
    std::snprintf(magic, sizeof magic, "0x%08X", unsigned(CT_RecordManager::e_Magic));
    return s_Narrow(name) + " is not a record file: its magic number is not " + magic;
}

// Opens the file raw for header and check; a short file is a failure of
// its own, and so is a wrong magic number when the tables are to be read
// (their sizes would be anybody's guess).
int i_OpenRaw(CT_RecordFileReader* reader, CT_UString const& name, bool needMagic) {
    std::string problem;
    if (reader->b_Open(&problem)) {
        bool magic = reader->so_GetHeader().n_Magic == CT_RecordManager::e_Magic;
        return magic || !needMagic ? e_Ok : i_Fail(s_NotRecordFile(name));
    }
    return problem.empty() ? i_FailWithError("opening " + s_Narrow(name)) : i_Fail(s_Narrow(name) + ": " + problem);
}

// The signature: its text runs quoted, other bytes in hexadecimal and
// the zero bytes that end it counted.
std::string s_Signature(unsigned char const* bytes, unsigned size) {
    unsigned last = size;
    while (last > 0 && bytes[last - 1] == 0) --last;
    std::string shown;
    bool quoted = false;
    for (unsigned k = 0; k < last; ++k) {
        bool printable = bytes[k] >= 0x20 && bytes[k] < 0x7F && bytes[k] != '"';
        if (printable != quoted) {
            shown += quoted ? "\"" : (shown.empty() ? "\"" : " \"");
            quoted = printable;
        }
        if (printable) {
            shown += static_cast<char>(bytes[k]);
        } else {
            char hex[4];
            std::snprintf(hex, sizeof hex, "%s%02X", shown.empty() ? "" : " ", bytes[k]);
            shown += hex;
        }
    }
    if (quoted) shown += "\"";
    if (last < size) shown += (shown.empty() ? "" : ", then ") + std::to_string(size - last) + " zero bytes";
    return shown;
}

int i_Header(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_RecordFileReader reader(&name);
    int opened = i_OpenRaw(&reader, name, false);
    if (opened != e_Ok) return opened;
    st_RecordFileHeader const& header = reader.so_GetHeader();
    std::printf("file                    %s (%u bytes)\n", s_Narrow(name).c_str(), reader.n_GetFileSize());
    std::printf("signature               %s\n", s_Signature(header.auc_Signature, 32).c_str());
    std::printf("magic number            0x%08X\n", header.n_Magic);
    std::printf("format version          %u\n", header.n_Version);
    std::printf("block size              %u\n", header.n_BlockSize);
    std::printf("record header size      %u\n", header.n_RecordHeaderSize);
    std::printf("free-list capacity      %u\n", header.n_FreeCapacity);
    std::printf("free-list count         %u\n", header.n_FreeCount);
    std::printf("resource maximum        %u\n", header.n_ResourceMax);
    std::printf("resource count          %u\n", header.n_ResourceCount);
    std::printf("modification counter    %u\n", header.n_Modification);
    std::printf("resource-table counter  %u\n", header.n_ResourceTable);
    std::printf("free-list counter       %u\n", header.n_FreeList);
    std::printf("record count            %u\n", header.n_RecordCount);
    std::printf("end offset              %u\n", header.n_End);
    if (header.n_Magic != CT_RecordManager::e_Magic) return i_Fail(s_NotRecordFile(name));
    return std::fflush(stdout) == 0 ? e_Ok : e_Failed;
}

int i_Check(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    // The tables as stored, before the record manager reads them.
    st_FreeSpace space;
    std::vector<CT_RecordManager::st_Resource> resources;
    std::vector<std::string> problems;
    unsigned fileSize = 0, dataStart = 0;
    {
        CT_RecordFileReader reader(&name);
        int opened = i_OpenRaw(&reader, name, true);
        if (opened != e_Ok) return opened;
        if (!reader.b_ReadFreeSpace(&space, &problems) || !reader.b_ReadResources(&resources, &problems))
            return i_FailWithError("reading the tables of " + s_Narrow(name));
        fileSize = reader.n_GetFileSize();
        dataStart = reader.n_GetDataStart();
        st_RecordFileHeader const& header = reader.so_GetHeader();
        if (header.n_BlockSize != 0 && header.n_End % header.n_BlockSize != 0)
            problems.push_back("the end offset " + std::to_string(header.n_End) + " is not a multiple of the block size");
        if (dataStart == 0 || header.n_End < dataStart)
            problems.push_back("the end offset " + std::to_string(header.n_End) + " lies before the data area");
        if (fileSize < header.n_End)
            problems.push_back("the file has " + std::to_string(fileSize) + " bytes, fewer than its end offset " +
                               std::to_string(header.n_End));
    }
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Narrow(name));
    int corrupt = records.b_IsCorrupt();
    if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "checking " + s_Narrow(name));
    unsigned end = records.n_GetSize(), blockSize = records.n_GetBlockSize();
    unsigned found = 0, foundRobust = 0;
    {
        CT_Progress progress("scanning", end > dataStart ? end - dataStart : 0, "records");
        bool scanned = b_Scan(records, false, &progress, [&](unsigned, CT_Buffer const&) { ++found; });
        progress.v_Erase();
        if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Narrow(name));
    }
    {
        CT_Progress progress("scanning block by block", end > dataStart ? end - dataStart : 0, "records");
        bool scanned = b_Scan(records, true, &progress, [&](unsigned, CT_Buffer const&) { ++foundRobust; });
        progress.v_Erase();
        if (!scanned) return i_CloseAndFailWithError(&records, "scanning " + s_Narrow(name));
    }
    std::printf("file           %s (%u bytes)\n", s_Narrow(name).c_str(), fileSize);
    std::printf("block size     %u bytes\n", blockSize);
    std::printf("record header  %u bytes (a record's fixed part: %llu bytes)\n", records.n_GetRecordHeaderSize(),
                n8_Align(records.n_GetRecordHeaderSize() + 8ull, blockSize));
    std::printf("end offset     %u: %u blocks, of which %u in the data area (from offset %u)\n", end,
                blockSize ? end / blockSize : 0, blockSize && end > dataStart ? (end - dataStart) / blockSize : 0,
                dataStart);
    std::printf("records        %u stored, %u found by the scan, %u found block by block\n",
                records.n_GetRecordCount(), found, foundRobust);
    std::printf("free space     %llu bytes in %u free-list entr%s", space.n8_Bytes, space.n_Entries,
                space.n_Entries == 1 ? "y" : "ies");
    if (space.n_ChainBlocks) std::printf(" and %u chained block%s", space.n_ChainBlocks, space.n_ChainBlocks == 1 ? "" : "s");
    std::printf("\nresources      %u of %u", records.n_GetResourceCount(), records.n_GetResourceMaxCount());
    for (std::size_t k = 0; k < resources.size(); ++k) std::printf("%s%u", k ? ", " : ": keys ", resources[k].n_Key);
    std::printf("\n");
    if (corrupt)
        problems.insert(problems.begin(), "the stored record count " + std::to_string(records.n_GetRecordCount()) +
                                              " differs from the records found");
    for (std::string const& problem : problems) std::printf("problem        %s\n", problem.c_str());
    std::printf("result         %s\n", problems.empty() ? "consistent" : "CORRUPT");
    return i_Close(&records, problems.empty() && std::fflush(stdout) == 0 ? e_Ok : e_Failed);
}

struct st_Options {
    unsigned n_HeaderSize = kDefaultHeaderSize;
    unsigned n_BlockSize = kDefaultBlockSize;
    unsigned n_Resources = kDefaultResources;
    bool b_Force = false;
    bool b_Robust = false;
    char const* qccz_Out = nullptr;
    std::vector<std::string> ao_Given;  // the options given, to check against the action
};

}  // namespace

int i_RunRecords(int argc, char** argv) {
    std::vector<char const*> args;
    st_Options options;
    for (int i = 0; i < argc; ++i) {
        std::string option = argv[i];
        if (option == "--help" || option == "-h") return i_RecordsUsage(stdout);
        if (option == "--header" || option == "--block" || option == "--resources" || option == "--out") {
            if (i + 1 >= argc) {
                std::fprintf(stderr, "basis records: %s needs a value\n", option.c_str());
                return e_Usage;
            }
            char const* value = argv[++i];
            unsigned number = 0;
            if (option != "--out" && !b_ParseNumber(value, &number)) {
                std::fprintf(stderr, "basis records: %s needs a number, not \"%s\"\n", option.c_str(), value);
                return e_Usage;
            }
            if (option == "--header") options.n_HeaderSize = number;
            else if (option == "--block") options.n_BlockSize = number;
            else if (option == "--resources") options.n_Resources = number;
            else options.qccz_Out = value;
            options.ao_Given.push_back(option);
            continue;
        }
        if (option == "--force" || option == "--robust") {
            (option == "--force" ? options.b_Force : options.b_Robust) = true;
            options.ao_Given.push_back(option);
            continue;
        }
        if (option.size() > 1 && option[0] == '-') {
            std::fprintf(stderr, "basis records: unknown option \"%s\"\n", argv[i]);
            return i_RecordsUsage(stderr);
        }
        args.push_back(argv[i]);
    }
    if (args.empty()) return i_RecordsUsage(stderr);
    std::string action = args[0];
    struct st_Action {
        char const* qccz_Name;
        std::size_t n_Least, n_Most;  // positional arguments with the action's own name
        char const* qccz_Options;
    };
    static st_Action const aso_Actions[] = {
        {"create", 2, 2, " --header --block --resources --force "},
        {"add", 2, ~std::size_t(0), " "},
        {"get", 3, 3, " --out "},
        {"list", 2, 2, " --robust "},
        {"check", 2, 2, " "},
        {"header", 2, 2, " "},
    };
    st_Action const* chosen = nullptr;
    for (st_Action const& candidate : aso_Actions)
        if (action == candidate.qccz_Name) chosen = &candidate;
    if (chosen == nullptr) {
        std::fprintf(stderr, "basis records: unknown action \"%s\"\n", args[0]);
        return i_RecordsUsage(stderr);
    }
    for (std::string const& option : options.ao_Given) {
        if (std::strstr(chosen->qccz_Options, (" " + option + " ").c_str()) == nullptr) {
            std::fprintf(stderr, "basis records: %s does not go with %s\n", option.c_str(), chosen->qccz_Name);
            return i_RecordsUsage(stderr);
        }
    }
    if (args.size() < chosen->n_Least || args.size() > chosen->n_Most) return i_RecordsUsage(stderr);

    if (action == "create")
        return i_Create(args[1], options.n_HeaderSize, options.n_BlockSize, options.n_Resources, options.b_Force);
    if (action == "add") return i_Add(args[1], std::vector<char const*>(args.begin() + 2, args.end()));
    if (action == "get") return i_Get(args[1], args[2], options.qccz_Out);
    if (action == "list") return i_List(args[1], options.b_Robust);
    if (action == "check") return i_Check(args[1]);
    return i_Header(args[1]);
}
