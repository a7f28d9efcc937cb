// `basis records` create, add and get: the actions that make or change
// a record file, and the one that takes a record back out.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Records.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsEdit";

// Bounds create sets on its arguments: a free block keeps two words; the
// tables and a block must stay far from the 32-bit offsets' end.
unsigned const kMinimumBlockSize = 8;
unsigned const kMaximumBlockSize = 1u << 24;
unsigned const kMaximumResources = 1u << 20;

// A file name in quotes, built by appending: gcc 12 warns wrongly of
// overlapping copies for a literal put before a string.
std::string s_Quoted(CT_UString const& name) {
    std::string text(1, '"');
    text += s_Utf8(name);
    text += '"';
    return text;
}

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

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
        *failure = "reading " + s_Utf8(name) + ": " + s_TakeError();
        return false;
    }
    for (;;) {
        unsigned n = file.vn_Read(chunk, sizeof chunk);
        if (b_Failed(__LINE__)) {
            *failure = "reading " + s_Utf8(name) + ": " + s_TakeError();
            file.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return false;
        }
        if (n == 0) break;
        bytes->append(chunk, n);
        if (bytes->size() > limit) {
            *failure = s_Quoted(name) + " is too large for one record";
            file.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return false;
        }
    }
    file.vv_Close();
    if (b_Failed(__LINE__)) {
        *failure = "reading " + s_Utf8(name) + ": " + s_TakeError();
        return false;
    }
    return true;
}

}  // namespace

int i_RecordsCreate(char const* argument, unsigned headerSize, unsigned blockSize, unsigned resources, bool force) {
    if (blockSize < kMinimumBlockSize || blockSize > kMaximumBlockSize)
        return i_RecordsFail("the block size must lie between " + std::to_string(kMinimumBlockSize) + " and " +
                      std::to_string(kMaximumBlockSize) + " bytes");
    // The scans step one block past a record's first block; a record's
    // fixed part (its 8 bytes of bookkeeping and the record header) that
    // reaches into the next block would be read as if it began blocks.
    if (headerSize > blockSize - 8)
        return i_RecordsFail("a record header of " + std::to_string(headerSize) + " bytes and the record's 8 bytes of "
                      "bookkeeping do not fit in a block of " + std::to_string(blockSize) +
                      " bytes (H + 8 <= B)");
    if (resources > kMaximumResources)
        return i_RecordsFail("at most " + std::to_string(kMaximumResources) + " resources");
    CT_UString name;
    v_GetArgumentName(argument, &name);
    if (!force && CT_FileSystem::sb_IsExistent(&name))
        return i_RecordsFail(s_Quoted(name) + " exists; pass --force to replace it");
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    records.v_Create(headerSize, blockSize, resources);
    if (b_Failed(__LINE__)) return i_FailWithError("creating " + s_Utf8(name));
    unsigned start = records.n_GetSize();
    int result = i_Close(&records, e_RecordsOk);
    if (result == e_RecordsOk)
        std::printf("created %s: %u-byte blocks, %u-byte record header, room for %u resources; "
                    "the data area starts at offset %u\n",
                    s_Utf8(name).c_str(), blockSize, headerSize, resources, start);
    return result;
}

int i_RecordsAdd(char const* argument, std::vector<char const*> inputs) {
    if (inputs.empty()) inputs.push_back("-");
    unsigned fromStandardInput = 0;
    for (char const* input : inputs) fromStandardInput += std::strcmp(input, "-") == 0;
    if (fromStandardInput > 1) return i_RecordsFail("standard input (\"-\") can be added once only");
    // Every input is read before the record file is touched, so that a
    // mistyped name adds nothing.
    std::vector<std::string> contents(inputs.size());
    for (std::size_t k = 0; k < inputs.size(); ++k) {
        std::string failure;
        if (!b_ReadInput(inputs[k], &contents[k], &failure)) return i_RecordsFail(failure);
    }
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeReadWrite)) return i_FailWithError("opening " + s_Utf8(name));
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
            return i_CloseAndFail(&records, "adding " + input + " would take " + s_Utf8(name) +
                                                " past the 4 GiB its offsets reach");
        CT_Buffer data(bytes.data(), length, 64);
        unsigned number = records.n_AddRecord(&data);
        if (b_Failed(__LINE__)) return i_CloseAndFailWithError(&records, "adding " + input + " to " + s_Utf8(name));
        std::printf("%u\n", number);
        if (length > headerSize) continue;
        // Such a record has no body and its length is not stored: say how
        // it reads back when that differs from what was added.
        CT_Buffer back;
        records.v_GetRecord(number, &back);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " back");
        if (back.n_GetUsedSize() != length || (length && !back.b_IsEqual(bytes.data(), length, 0))) {
            std::fflush(stdout);
            std::fprintf(stderr,
                         "basis records: note: record %u (%s, %u bytes) is not longer than the %u-byte record "
                         "header; its length is not stored and it reads back as %u bytes\n",
                         number, input.c_str(), length, headerSize, back.n_GetUsedSize());
        }
    }
    return i_Close(&records, std::fflush(stdout) == 0 ? e_RecordsOk : e_RecordsFailed);
}

int i_RecordsGet(char const* argument, char const* numberText, char const* output) {
    unsigned number = 0;
    if (!b_ParseNumber(numberText, &number))
        return i_RecordsFail(std::string("\"") + numberText + "\" is not a record number");
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead)) return i_FailWithError("opening " + s_Utf8(name));
    // A record's offset is its number times the block size, in 32 bits:
    // a number past the end must not wrap around onto a record.
    unsigned long long offset = static_cast<unsigned long long>(number) * records.n_GetBlockSize();
    if (offset >= records.n_GetSize())
        return i_CloseAndFail(&records, "no record " + std::to_string(number) + " in " + s_Utf8(name) +
                                            ": its block would start at or past the end offset " +
                                            std::to_string(records.n_GetSize()));
    CT_Buffer data;
    records.v_GetRecord(number, &data);
    if (b_Failed(__LINE__))
        return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " of " + s_Utf8(name));
    int closed = i_Close(&records, e_RecordsOk);
    if (closed != e_RecordsOk) return closed;
    unsigned size = data.n_GetUsedSize();
    if (output) {
        CT_UString outName;
        v_GetArgumentName(output, &outName);
        CT_WinFile out(&outName, 4096);
        out.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
        if (b_Failed(__LINE__)) return i_FailWithError("creating " + s_Utf8(outName));
        if (size) out.vn_Write(data.qcv_Get(), size);
        if (b_Failed(__LINE__)) {
            std::string failure = s_TakeError();
            out.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return i_RecordsFail(failure);
        }
        out.vv_Close();
        return b_Failed(__LINE__) ? i_FailWithError("writing " + s_Utf8(outName)) : e_RecordsOk;
    }
    Platform::v_SetStandardOutputBinary();
    if ((size && std::fwrite(data.qcv_Get(), 1, size, stdout) != size) || std::fflush(stdout) != 0)
        return i_RecordsFail("cannot write the record to standard output");
    return e_RecordsOk;
}
