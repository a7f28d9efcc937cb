#include "tools/basis/RecordsPlace.h"

#include <algorithm>

#include "Foundation/Database/RecordManager/RecordManager.h"
#include "tools/basis/Records.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsPlace";

// The file's offsets are 32-bit numbers: nothing may end past this.
unsigned long long const kOffsetLimit = 0xFFFFFFFFull;
// A filler's body covers at most this much of a gap, so that a wide gap
// (a dump of a file with few records far apart) costs a bounded buffer
// and a few more fillers.
unsigned long long const kFillerPiece = 1u << 20;

bool b_Failed(unsigned line) { return b_ToolFailed(qcz_Location, line); }

class CT_Builder {
public:
    CT_Builder(CT_UString const& name, st_RecordGeometry const& geometry)
        : co_Name(name), co_File(&name, 4096), co_Records(&co_File), so_Geometry(geometry),
          n8_Fixed(n8_Align(geometry.n_HeaderSize + 8ull, geometry.n_BlockSize)) {}

    int i_Create(std::string* failure) {
        co_Records.v_Create(so_Geometry.n_HeaderSize, so_Geometry.n_BlockSize, so_Geometry.n_ResourceMax);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "creating " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        // A failed create may have left the file behind.
        co_Records.v_Close(1);
        v_Remove();
        return e_ExitError;
    }

    // The blocks a record of length bytes takes, its fixed part apart.
    unsigned long long n8_BodyBlocks(unsigned length) const {
        unsigned header = so_Geometry.n_HeaderSize;
        return length > header ? n8_Align(length - header + 4ull, so_Geometry.n_BlockSize) : 0;
    }

    // Adds a record; false with *failure when it would carry the file past
    // its offsets' reach or the record manager refuses it.
    int i_Add(CT_Buffer const& data, unsigned* number, std::string* failure) {
        if (co_Records.n_GetSize() + n8_Fixed + n8_BodyBlocks(data.n_GetUsedSize()) > kOffsetLimit) {
            *failure = s_Quoted(co_Name) + " would grow past the 4 GiB its offsets reach";
            return e_ExitNo;
        }
        *number = co_Records.n_AddRecord(&data);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "adding a record to " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        return e_ExitError;
    }

    // Adds filler records until the end offset reaches target.
    int i_FillUpTo(unsigned long long target, unsigned wanted, std::vector<unsigned>* fillers, std::string* failure) {
        unsigned long long block = so_Geometry.n_BlockSize;
        for (unsigned long long end = co_Records.n_GetSize(); end < target; end = co_Records.n_GetSize()) {
            unsigned long long gap = target - end, body = 0;
            if (gap != n8_Fixed) {
                // A filler is a fixed part, or a fixed part and a body of
                // whole blocks: a gap narrower than both together (only
                // where the fixed part is wider than a block) cannot be
                // filled.
                if (gap < n8_Fixed + block) {
                    *failure = "record " + std::to_string(wanted) + " cannot be placed: the " +
                               std::to_string(gap) + " bytes before it are narrower than a record";
                    return e_ExitNo;
                }
                body = std::min(gap - n8_Fixed, kFillerPiece / block * block + block);
                unsigned long long rest = gap - n8_Fixed - body;
                // What is left must be nothing or at least a fixed part.
                if (rest != 0 && rest < n8_Fixed)
                    body = gap >= 2 * n8_Fixed + block ? gap - 2 * n8_Fixed : gap - n8_Fixed;
            }
            unsigned length = body ? static_cast<unsigned>(so_Geometry.n_HeaderSize + body - 4) : 0;
            co_Filler.v_SetMinSize(length, 0);
            co_Filler.v_SetUsedSize(length);
            unsigned number = 0;
            if (int added = i_Add(co_Filler, &number, failure)) return added;
            fillers->push_back(number);
        }
        return e_ExitOk;
    }

    int i_Delete(unsigned number, std::string* failure) {
        co_Records.v_DeleteRecord(number);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "removing a filler record from " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        return e_ExitError;
    }

    int i_Update(unsigned number, CT_Buffer const& data, std::string* failure) {
        if (co_Records.n_GetSize() + n8_BodyBlocks(data.n_GetUsedSize()) > kOffsetLimit) {
            *failure = s_Quoted(co_Name) + " would grow past the 4 GiB its offsets reach";
            return e_ExitNo;
        }
        co_Records.v_UpdateRecord(number, &data);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "writing record " + std::to_string(number) + " of " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        return e_ExitError;
    }

    int i_AddResource(unsigned key, CT_Buffer const& data, std::string* failure) {
        if (co_Records.n_GetSize() + n8_Align(data.n_GetUsedSize() + 4ull, so_Geometry.n_BlockSize) > kOffsetLimit) {
            *failure = s_Quoted(co_Name) + " would grow past the 4 GiB its offsets reach";
            return e_ExitNo;
        }
        co_Records.v_AddResource(key, &data);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "adding resource " + std::to_string(key) + " to " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        return e_ExitError;
    }

    int i_Close(std::string* failure) {
        co_Records.v_Close(1);
        if (!b_Failed(__LINE__)) return e_ExitOk;
        *failure = "closing " + s_Quoted(co_Name) + ": " + s_TakeToolError();
        v_Remove();
        return e_ExitError;
    }

    // After a failure: the half-built file goes.
    void v_Abandon() {
        CT_ErrorManager::spco_Get()->v_ClearError();
        co_Records.v_Close(1);
        CT_ErrorManager::spco_Get()->v_ClearError();
        v_Remove();
    }

private:
    void v_Remove() {
        CT_WinFile file(&co_Name, 4096);
        file.vv_Remove();
        CT_ErrorManager::spco_Get()->v_ClearError();
    }

    CT_UString co_Name;
    CT_WinFile co_File;
    CT_RecordManager co_Records;
    st_RecordGeometry so_Geometry;
    unsigned long long n8_Fixed;  // a record's fixed part in bytes, whole blocks
    CT_Buffer co_Filler;
};

int i_PlaceKeepingNumbers(CT_Builder* builder, st_RecordContents const& contents, std::string* failure) {
    unsigned long long const block = contents.so_Geometry.n_BlockSize;
    unsigned const header = contents.so_Geometry.n_HeaderSize;
    unsigned long long const fixed = n8_Align(header + 8ull, static_cast<unsigned>(block));
    std::vector<unsigned> fillers, waiting;
    CT_Buffer data;
    std::vector<unsigned> const& wanted = contents.an_Records;
    for (std::size_t k = 0; k < wanted.size(); ++k) {
        unsigned number = wanted[k];
        if (k > 0 && number <= wanted[k - 1]) {
            *failure = "record " + std::to_string(number) + " comes after record " + std::to_string(wanted[k - 1]) +
                       ": the numbers must rise";
            return e_ExitNo;
        }
        if (int filled = builder->i_FillUpTo(number * block, number, &fillers, failure)) return filled;
        if (int read = contents.pf_Record(number, &data, failure)) return read;
        // The record goes in whole when its body fits before the next
        // record's place, else as its fixed part alone, to be completed
        // once the fillers have made room.
        unsigned long long next = k + 1 < wanted.size() ? wanted[k + 1] * block : kOffsetLimit + 1;
        if (number * block + fixed + builder->n8_BodyBlocks(data.n_GetUsedSize()) > next) {
            waiting.push_back(number);
            data.v_SetUsedSize(header);  // the record is longer than its header here
        }
        unsigned placed = 0;
        if (int added = builder->i_Add(data, &placed, failure)) return added;
        if (placed != number) {
            *failure = "record " + std::to_string(number) + " cannot be placed: its place lies before the end of " +
                       (k ? "the record ahead of it" : "the file's tables");
            return e_ExitNo;
        }
    }
    for (unsigned filler : fillers)
        if (int deleted = builder->i_Delete(filler, failure)) return deleted;
    for (unsigned number : waiting) {
        if (int read = contents.pf_Record(number, &data, failure)) return read;
        if (int updated = builder->i_Update(number, data, failure)) return updated;
    }
    return e_ExitOk;
}

}  // namespace

int i_BuildRecordFile(CT_UString const& name, st_RecordContents const& contents, bool keepNumbers,
                      std::vector<unsigned>* numbers, std::string* failure) {
    numbers->clear();
    CT_Builder builder(name, contents.so_Geometry);
    if (int created = builder.i_Create(failure)) return created;
    int result = e_ExitOk;
    CT_Buffer data;
    if (keepNumbers) {
        result = i_PlaceKeepingNumbers(&builder, contents, failure);
        if (result == e_ExitOk) *numbers = contents.an_Records;
    } else {
        for (unsigned number : contents.an_Records) {
            unsigned placed = 0;
            result = contents.pf_Record(number, &data, failure);
            if (result == e_ExitOk) result = builder.i_Add(data, &placed, failure);
            if (result != e_ExitOk) break;
            numbers->push_back(placed);
        }
    }
    for (std::size_t k = 0; result == e_ExitOk && k < contents.an_Resources.size(); ++k) {
        unsigned key = contents.an_Resources[k];
        result = contents.pf_Resource(key, &data, failure);
        if (result == e_ExitOk) result = builder.i_AddResource(key, data, failure);
    }
    if (result != e_ExitOk) {
        builder.v_Abandon();
        return result;
    }
    return builder.i_Close(failure);
}
