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

    unsigned long long n8_End() const { return co_Records.n_GetSize(); }

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

// A body or a resource still to be placed, and the blocks it takes.
struct st_Waiting {
    bool b_Resource;
    unsigned n_Id;  // record number or resource key
    unsigned long long n8_Blocks;
};

class CT_Placer {
public:
    CT_Placer(CT_Builder* builder, st_RecordContents const& contents)
        : po_Builder(builder), ro_Contents(contents), n8_Block(contents.so_Geometry.n_BlockSize),
          n8_Fixed(n8_Align(contents.so_Geometry.n_HeaderSize + 8ull, contents.so_Geometry.n_BlockSize)) {}

    int i_Place(std::string* failure) {
        // The resources wait from the start, with their sizes.
        for (unsigned key : ro_Contents.an_Resources) {
            if (int read = ro_Contents.pf_Resource(key, &co_Data, failure)) return read;
            ao_Waiting.push_back({true, key, n8_Align(co_Data.n_GetUsedSize() + 4ull, static_cast<unsigned>(n8_Block))});
        }
        std::vector<unsigned> const& wanted = ro_Contents.an_Records;
        unsigned const header = ro_Contents.so_Geometry.n_HeaderSize;
        for (std::size_t k = 0; k < wanted.size(); ++k) {
            unsigned number = wanted[k];
            if (k > 0 && number <= wanted[k - 1]) {
                *failure = "record " + std::to_string(number) + " comes after record " +
                           std::to_string(wanted[k - 1]) + ": the numbers must rise";
                return e_ExitNo;
            }
            unsigned long long target = number * n8_Block;
            if (int filled = i_FillGap(target, failure)) return filled;
            if (int filled = po_Builder->i_FillUpTo(target, number, &an_Fillers, failure)) return filled;
            if (int read = ro_Contents.pf_Record(number, &co_Data, failure)) return read;
            // The record goes in whole when its body fits before the next
            // record's place, else as its fixed part alone, its body waiting
            // for a gap wide enough or the end.
            unsigned long long next = k + 1 < wanted.size() ? wanted[k + 1] * n8_Block : kOffsetLimit + 1;
            unsigned long long body = po_Builder->n8_BodyBlocks(co_Data.n_GetUsedSize());
            if (target + n8_Fixed + body > next) {
                ao_Waiting.push_back({false, number, body});
                co_Data.v_SetUsedSize(header);  // the record is longer than its header here
            }
            unsigned placed = 0;
            if (int added = po_Builder->i_Add(co_Data, &placed, failure)) return added;
            if (placed != number) {
                *failure = "record " + std::to_string(number) + " cannot be placed: its place lies before the end of " +
                           (k ? "the record ahead of it" : "the file's tables");
                return e_ExitNo;
            }
        }
        // What is still waiting goes at the end; then the fillers go, and
        // their blocks are the file's free space.
        for (st_Waiting const& item : ao_Waiting)
            if (int placed = i_PlaceWaiting(item, failure)) return placed;
        for (unsigned filler : an_Fillers)
            if (int deleted = po_Builder->i_Delete(filler, failure)) return deleted;
        return e_ExitOk;
    }

private:
    // Puts waiting bodies and resources into the gap before target, first
    // fit in the order they began to wait, as long as what is left of the
    // gap can still be filled (nothing, a fixed part, or a fixed part and
    // a block). The free list is empty until the fillers go, so each lands
    // at the end offset, which is the gap's start.
    int i_FillGap(unsigned long long target, std::string* failure) {
        for (std::size_t k = 0; k < ao_Waiting.size();) {
            unsigned long long end = po_Builder->n8_End();
            if (end >= target) break;
            unsigned long long gap = target - end, blocks = ao_Waiting[k].n8_Blocks;
            bool fits = blocks <= gap && (gap == blocks || gap - blocks == n8_Fixed || gap - blocks >= n8_Fixed + n8_Block);
            if (!fits) {
                ++k;
                continue;
            }
            if (int placed = i_PlaceWaiting(ao_Waiting[k], failure)) return placed;
            ao_Waiting.erase(ao_Waiting.begin() + static_cast<std::ptrdiff_t>(k));
        }
        return e_ExitOk;
    }

    int i_PlaceWaiting(st_Waiting const& item, std::string* failure) {
        if (item.b_Resource) {
            if (int read = ro_Contents.pf_Resource(item.n_Id, &co_Data, failure)) return read;
            return po_Builder->i_AddResource(item.n_Id, co_Data, failure);
        }
        if (int read = ro_Contents.pf_Record(item.n_Id, &co_Data, failure)) return read;
        return po_Builder->i_Update(item.n_Id, co_Data, failure);
    }

    CT_Builder* po_Builder;
    st_RecordContents const& ro_Contents;
    unsigned long long n8_Block, n8_Fixed;
    std::vector<st_Waiting> ao_Waiting;
    std::vector<unsigned> an_Fillers;
    CT_Buffer co_Data;
};

}  // namespace

int i_BuildRecordFile(CT_UString const& name, st_RecordContents const& contents, bool keepNumbers,
                      std::vector<unsigned>* numbers, std::string* failure) {
    numbers->clear();
    CT_Builder builder(name, contents.so_Geometry);
    if (int created = builder.i_Create(failure)) return created;
    int result = e_ExitOk;
    CT_Buffer data;
    if (keepNumbers) {
        CT_Placer placer(&builder, contents);
        result = placer.i_Place(failure);
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
    // (The placer puts the resources where it keeps the numbers.)
    for (std::size_t k = 0; !keepNumbers && result == e_ExitOk && k < contents.an_Resources.size(); ++k) {
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
