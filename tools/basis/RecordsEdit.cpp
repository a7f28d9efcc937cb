// `basis records` create, add and get: the actions that make or change
// a record file, and the one that takes a record back out. A file is
// examined read-only before it is opened for writing: opening it mapped
// for writing grows it, so a file that would be refused must never get
// that far.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/OutputFile.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsFile.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsEdit";

// Bounds create sets on its arguments: a free block keeps two words; the
// tables and a block must stay far from the 32-bit offsets' end.
unsigned const kMinimumBlockSize = 8;
unsigned const kMaximumBlockSize = 1u << 24;
unsigned const kMaximumResources = 1u << 20;

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

std::string s_InputName(char const* argument) {
    if (std::strcmp(argument, "-") == 0) return "standard input";
    CT_UString name;
    v_GetArgumentName(argument, &name);
    return s_Quoted(name);
}

// Reads one input of add into data: a file, or standard input for "-",
// at most limit bytes (what the record file's 32-bit offsets still
// reach). Only this one input is held. Exit code 0, or the failure's
// code with *failure set: an unreadable input is an input error (3), one
// too large or beyond the memory there is a refusal (1).
int i_ReadInput(char const* argument, unsigned long long limit, CT_Buffer* data, std::string* failure) {
    try {
        return i_ReadWholeInput(argument, limit, data, failure);
    } catch (std::bad_alloc const&) {
        // The one place the tool meets an allocation failure it can
        // survive: what was read is let go and the file is left as it is.
        unsigned held = data->n_GetUsedSize();
        data->v_Set(0u, 64, 0);
        *failure = "out of memory reading " + s_InputName(argument) + " after " + std::to_string(held) + " bytes";
        return e_ExitNo;
    }
}

std::string s_Stored(std::vector<unsigned> const& numbers) {
    if (numbers.empty()) return "no record was stored";
    std::string text = numbers.size() == 1 ? "record " : "records ";
    for (std::size_t k = 0; k < numbers.size(); ++k) text += (k ? ", " : "") + std::to_string(numbers[k]);
    return text + (numbers.size() == 1 ? " was stored" : " were stored");
}

}  // namespace

int i_RecordsCreate(char const* argument, st_RecordsOptions const& options) {
    unsigned headerSize = options.n_HeaderSize, blockSize = options.n_BlockSize, resources = options.n_Resources;
    if (blockSize < kMinimumBlockSize || blockSize > kMaximumBlockSize)
        return i_ToolUsageError("the block size must lie between " + std::to_string(kMinimumBlockSize) + " and " +
                                std::to_string(kMaximumBlockSize) + " bytes");
    // The scans step one block past a record's first block; a record's
    // fixed part (its 8 bytes of bookkeeping and the record header) that
    // reaches into the next block would be read as if it began blocks.
    if (headerSize > blockSize - 8)
        return i_ToolUsageError("a record header of " + std::to_string(headerSize) +
                                " bytes and the record's 8 bytes of bookkeeping do not fit in a block of " +
                                std::to_string(blockSize) + " bytes (H + 8 <= B)");
    if (resources > kMaximumResources)
        return i_ToolUsageError("at most " + std::to_string(kMaximumResources) + " resources");
    int checked = i_CheckOutput(argument, {}, options.b_Force);
    if (checked != e_ExitOk) return checked;
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    records.v_Create(headerSize, blockSize, resources);
    if (b_Failed(__LINE__)) return i_ToolFailWithError("creating " + s_Quoted(name));
    unsigned start = records.n_GetSize();
    int result = i_Close(&records, e_ExitOk);
    if (result == e_ExitOk)
        std::printf("created %s: %u-byte blocks, %u-byte record header, room for %s; "
                    "the data area starts at offset %u\n",
                    s_Utf8(name).c_str(), blockSize, headerSize, s_Count(resources, "resource").c_str(), start);
    return i_EndStandardOutput(result);
}

int i_RecordsAdd(char const* argument, std::vector<char const*> inputs, st_RecordsOptions const& options) {
    if (inputs.empty()) inputs.push_back("-");
    unsigned fromStandardInput = 0;
    for (char const* input : inputs) fromStandardInput += std::strcmp(input, "-") == 0;
    if (fromStandardInput > 1) return i_ToolUsageError("standard input (\"-\") can be added once only");
    CT_UString name;
    v_GetArgumentName(argument, &name);
    // Every input is opened before the record file is touched, so that a
    // mistyped name adds nothing; each is read only when its turn comes.
    for (char const* input : inputs) {
        if (std::strcmp(input, "-") == 0) continue;
        CT_UString inName;
        v_GetArgumentName(input, &inName);
        if (b_IsSameFile(inName, name))
            return i_ToolFail(e_ExitNo, "the input " + s_Quoted(inName) + " is the record file itself");
        CT_WinFile probe(&inName, 4096);
        probe.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
        if (b_Failed(__LINE__)) return i_ToolFailWithError("opening " + s_Quoted(inName));
        probe.vv_Close();
        CT_ErrorManager::spco_Get()->v_ClearError();
    }
    int checked = i_CheckBeforeWriting(name, options.n_WaitSeconds, options.b_Force);
    if (checked != e_ExitOk) return checked;
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeReadWrite, options.n_WaitSeconds))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    unsigned headerSize = records.n_GetRecordHeaderSize(), blockSize = records.n_GetBlockSize();
    std::vector<unsigned> stored;
    CT_Buffer data;
    for (char const* argumentOfInput : inputs) {
        std::string input = s_InputName(argumentOfInput);
        if (std::strcmp(argumentOfInput, "-") == 0 && Platform::b_IsStandardInputTerminal())
            std::fprintf(stderr, "basis records: reading a record from standard input (end it with an end-of-file)\n");
        // The record manager does not watch its 32-bit end offset: the
        // fixed part and a body's length word and blocks must stay below
        // 4 GiB, so the input may not be longer than what is left.
        unsigned long long overhead = n8_Align(headerSize + 8ull, blockSize) + 4 + blockSize;
        unsigned long long room = 0xFFFFFFFFull > records.n_GetSize() + overhead
                                      ? 0xFFFFFFFFull - records.n_GetSize() - overhead
                                      : 0;
        std::string failure;
        int read = i_ReadInput(argumentOfInput, room, &data, &failure);
        if (read != e_ExitOk) return i_CloseAndFail(&records, read, failure + "; " + s_Stored(stored));
        unsigned length = data.n_GetUsedSize();
        unsigned number = records.n_AddRecord(&data);
        if (b_Failed(__LINE__))
            return i_CloseAndFail(&records, e_ExitError,
                                  "adding " + input + " to " + s_Quoted(name) + ": " + s_TakeToolError() + "; " +
                                      s_Stored(stored));
        stored.push_back(number);
        std::printf("%u\n", number);
        if (b_StandardOutputFailed())
            return i_CloseAndFail(&records, e_ExitError, "writing to standard output failed; " + s_Stored(stored));
        if (length > headerSize) continue;
        // Such a record has no body and its length is not stored: say how
        // it reads back when that differs from what was added.
        CT_Buffer back;
        records.v_GetRecord(number, &back);
        if (b_Failed(__LINE__))
            return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " back");
        if (back.n_GetUsedSize() != length || (length && !back.b_IsEqual(data.qcv_Get(), length, 0)))
            v_ToolWarn("record " + std::to_string(number) + " (" + input + ", " + s_Count(length, "byte") +
                       ") is not longer than the " + std::to_string(headerSize) +
                       "-byte record header; its length is not stored and it reads back as " +
                       s_Count(back.n_GetUsedSize(), "byte"));
    }
    return i_EndStandardOutput(i_Close(&records, e_ExitOk));
}

int i_RecordsGet(char const* argument, char const* numberText, st_RecordsOptions const& options) {
    unsigned number = 0;
    std::string problem;
    if (!b_ReadNumber("the record number", numberText, 0xFFFFFFFFull, &number, &problem))
        return i_ToolUsageError(problem);
    char const* output = options.qccz_Out ? options.qccz_Out : "-";
    int checked = i_CheckOutput(output, {argument}, options.b_Force);
    if (checked != e_ExitOk) return checked;
    CT_UString name;
    v_GetArgumentName(argument, &name);
    CT_WinFile file(&name, 4096);
    CT_RecordManager records(&file);
    if (!b_OpenRecords(&records, CT_RecordManager::e_ModeRead, options.n_WaitSeconds))
        return i_ToolFailWithError("opening " + s_Quoted(name));
    // A file shorter than its end offset reads as zeros past its end.
    unsigned fileSize = file.vn_GetSize();
    CT_ErrorManager::spco_Get()->v_ClearError();
    bool truncated = fileSize < records.n_GetSize();
    // A record's offset is its number times the block size, in 32 bits:
    // a number past the end must not wrap around onto a record.
    unsigned long long offset = static_cast<unsigned long long>(number) * records.n_GetBlockSize();
    if (offset >= records.n_GetSize())
        return i_CloseAndFail(&records, e_ExitNo,
                              "no record " + std::to_string(number) + " in " + s_Quoted(name) +
                                  ": its block would start at or past the end offset " +
                                  std::to_string(records.n_GetSize()));
    CT_Buffer data;
    records.v_GetRecord(number, &data);
    if (b_Failed(__LINE__)) {
        // A block that holds no live record's start is a "no", not damage.
        if (CT_ErrorManager::spco_Get()->n_GetErrorCode() == CT_DatabaseError::e_InvalidReference)
            return i_CloseAndFail(&records, e_ExitNo,
                                  "no record " + std::to_string(number) + " in " + s_Quoted(name) + ": " +
                                      s_TakeToolError());
        return i_CloseAndFailWithError(&records, "reading record " + std::to_string(number) + " of " + s_Quoted(name));
    }
    int closed = i_Close(&records, e_ExitOk);
    if (closed != e_ExitOk) return closed;
    if (truncated) {
        std::string what = s_Quoted(name) + " has " + std::to_string(fileSize) + " bytes, fewer than its end offset " +
                           std::to_string(records.n_GetSize()) + ": what lies past its end reads as zeros";
        if (!options.b_Force) return i_ToolFail(e_ExitNo, what + "; pass --force to get the record all the same");
        v_ToolWarn(what);
    }
    if (std::strcmp(output, "-") == 0 && Platform::b_IsStandardOutputTerminal()) {
        unsigned size = data.n_GetUsedSize();
        auto const* bytes = static_cast<unsigned char const*>(data.qcv_Get());
        bool binary = false;
        for (unsigned k = 0; k < size && !binary; ++k)
            binary = bytes[k] < 0x20 && bytes[k] != '\n' && bytes[k] != '\r' && bytes[k] != '\t';
        if (binary) v_ToolWarn("record " + std::to_string(number) + " holds binary bytes; writing them to the terminal");
    }
    return i_WriteOutput(output, data.qcv_Get(), data.n_GetUsedSize());
}
