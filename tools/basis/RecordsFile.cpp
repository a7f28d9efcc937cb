#include "tools/basis/RecordsFile.h"

#include <cstring>

namespace {

char const qcz_Location[] = "tools/basis/RecordsFile";

std::string s_Hex(unsigned value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

}  // namespace

unsigned n_Get32(unsigned char const* bytes) {
    return bytes[0] | unsigned(bytes[1]) << 8 | unsigned(bytes[2]) << 16 | unsigned(bytes[3]) << 24;
}

bool CT_RecordFileReader::b_Open(std::string* problem) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    co_File.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qcz_Location, __LINE__);
        return false;
    }
    n_FileSize = co_File.vn_GetSize();
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qcz_Location, __LINE__);
        return false;
    }
    if (n_FileSize < CT_RecordManager::e_HeaderSize) {
        *problem = "the file has " + std::to_string(n_FileSize) + " bytes, too few for the " +
                   std::to_string(unsigned(CT_RecordManager::e_HeaderSize)) + "-byte header of a record file";
        return false;
    }
    unsigned char bytes[CT_RecordManager::e_HeaderSize];
    if (!b_Read(0, bytes, sizeof bytes)) return false;
    std::memcpy(so_Header.auc_Signature, bytes, 32);
    unsigned* const fields[] = {&so_Header.n_Magic,         &so_Header.n_Version,       &so_Header.n_BlockSize,
                                &so_Header.n_RecordHeaderSize, &so_Header.n_FreeCapacity, &so_Header.n_FreeCount,
                                &so_Header.n_ResourceMax,   &so_Header.n_ResourceCount, &so_Header.n_Modification,
                                &so_Header.n_ResourceTable, &so_Header.n_FreeList,      &so_Header.n_RecordCount,
                                &so_Header.n_End};
    unsigned at = 32;
    for (unsigned* field : fields) {
        *field = n_Get32(bytes + at);
        at += 4;
    }
    return true;
}

void CT_RecordFileReader::v_Close() {
    if (co_File.b_IsOpen()) co_File.vv_Close();
}

unsigned CT_RecordFileReader::n_GetDataStart() const {
    unsigned long long block = so_Header.n_BlockSize;
    if (block == 0) return 0;
    unsigned long long tables = 256 + 8ull * (so_Header.n_FreeCapacity + 0ull + so_Header.n_ResourceMax);
    unsigned long long start = ((tables - 1) / block + 1) * block;
    return start > 0xFFFFFFFFull ? 0 : static_cast<unsigned>(start);
}

bool CT_RecordFileReader::b_Read(unsigned offset, void* data, unsigned length) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    co_File.vv_SetOffset(CT_File::e_Begin, static_cast<int>(offset));
    unsigned count = errors->b_IsSetError() ? 0 : co_File.vn_Read(data, length);
    if (errors->b_IsSetError()) {
        errors->v_AddLocation(qcz_Location, __LINE__);
        return false;
    }
    // Past the file's end reads as zeros: the caller judges the values.
    if (count < length) std::memset(static_cast<unsigned char*>(data) + count, 0, length - count);
    return true;
}

bool CT_RecordFileReader::b_IsBlockInData(unsigned offset, unsigned long long size) const {
    unsigned block = so_Header.n_BlockSize, start = n_GetDataStart();
    return block != 0 && start != 0 && offset >= start && offset % block == 0 && size != 0 && size % block == 0 &&
           offset + size <= so_Header.n_End;
}

bool CT_RecordFileReader::b_ReadFreeSpace(st_FreeSpace* space, std::vector<std::string>* problems) {
    *space = st_FreeSpace();
    unsigned count = so_Header.n_FreeCount, capacity = so_Header.n_FreeCapacity;
    if (count > capacity) {
        problems->push_back("the free-list count " + std::to_string(count) + " exceeds its capacity " +
                            std::to_string(capacity));
        count = capacity;
    }
    // The table must lie inside the file.
    unsigned long long room = (n_FileSize - CT_RecordManager::e_HeaderSize) / 8;
    if (count > room) {
        problems->push_back("the free-list table of " + std::to_string(count) + " entries runs past the file's end");
        count = static_cast<unsigned>(room);
    }
    if (count == 0) return true;
    std::vector<unsigned char> table(8 * std::size_t(count));
    if (!b_Read(CT_RecordManager::e_HeaderSize, table.data(), static_cast<unsigned>(table.size()))) return false;
    unsigned chainHead = 0;
    for (unsigned k = 0; k < count; ++k) {
        unsigned offset = n_Get32(&table[8 * k]), size = n_Get32(&table[8 * k + 4]);
        if (size == 0 && k + 1 == capacity) {
            chainHead = offset;  // the slot behind which further free blocks are chained
            continue;
        }
        ++space->n_Entries;
        space->n8_Bytes += size;
        if (!b_IsBlockInData(offset, size))
            problems->push_back("free-list entry " + std::to_string(k + 1) + " {" + s_Hex(offset) + ", " +
                                std::to_string(size) + "} is not a run of whole blocks inside the data area");
    }
    // The chain: each block's first word is its size, the second the next
    // block's offset (0 at the end). A chain longer than the data area has
    // blocks must run in a loop.
    unsigned start = n_GetDataStart(), block = so_Header.n_BlockSize;
    unsigned blocks = block && start && so_Header.n_End > start ? (so_Header.n_End - start) / block : 0;
    for (unsigned offset = chainHead; offset != 0;) {
        if (space->n_ChainBlocks > blocks) {
            problems->push_back("the free blocks' overflow chain runs in a loop");
            break;
        }
        unsigned char words[8];
        if (offset >= so_Header.n_End || !b_Read(offset, words, sizeof words)) {
            if (offset >= so_Header.n_End)
                problems->push_back("the overflow chain leads to " + s_Hex(offset) + ", past the end offset");
            else
                return false;
            break;
        }
        unsigned size = n_Get32(words);
        ++space->n_ChainBlocks;
        space->n8_Bytes += size;
        if (!b_IsBlockInData(offset, size))
            problems->push_back("chained free block at " + s_Hex(offset) + " (size " + std::to_string(size) +
                                ") is not a run of whole blocks inside the data area");
        offset = n_Get32(words + 4);
    }
    return true;
}

bool CT_RecordFileReader::b_ReadResources(std::vector<CT_RecordManager::st_Resource>* resources,
                                          std::vector<std::string>* problems) {
    resources->clear();
    unsigned count = so_Header.n_ResourceCount;
    if (count > so_Header.n_ResourceMax) {
        problems->push_back("the resource count " + std::to_string(count) + " exceeds the maximum " +
                            std::to_string(so_Header.n_ResourceMax));
        count = so_Header.n_ResourceMax;
    }
    unsigned long long at = CT_RecordManager::e_HeaderSize + 8ull * so_Header.n_FreeCapacity;
    unsigned long long room = at < n_FileSize ? (n_FileSize - at) / 8 : 0;
    if (count > room) {
        problems->push_back("the resource table of " + std::to_string(count) + " entries runs past the file's end");
        count = static_cast<unsigned>(room);
    }
    if (count == 0) return true;
    std::vector<unsigned char> table(8 * std::size_t(count));
    if (!b_Read(static_cast<unsigned>(at), table.data(), static_cast<unsigned>(table.size()))) return false;
    for (unsigned k = 0; k < count; ++k) {
        CT_RecordManager::st_Resource resource{n_Get32(&table[8 * k]), n_Get32(&table[8 * k + 4])};
        if (k > 0 && resource.n_Key <= resources->back().n_Key)
            problems->push_back("resource key " + std::to_string(resource.n_Key) + " is out of ascending order");
        if (!b_IsBlockInData(resource.n_Offset, so_Header.n_BlockSize))
            problems->push_back("resource " + std::to_string(resource.n_Key) + " points to " +
                                s_Hex(resource.n_Offset) + ", not a block of the data area");
        resources->push_back(resource);
    }
    return true;
}

bool CT_RecordFileReader::b_CheckBody(unsigned number, unsigned offset, std::vector<std::string>* problems) {
    unsigned char words[8];
    if (offset + 8ull > n_FileSize) {
        problems->push_back("record " + std::to_string(number) + " starts past the file's end");
        return true;
    }
    if (!b_Read(offset, words, sizeof words)) return false;
    unsigned body = n_Get32(words + 4);
    if (body == 0) return true;
    unsigned char length[4];
    if (body + 4ull > n_FileSize) {
        problems->push_back("record " + std::to_string(number) + "'s body at " + s_Hex(body) +
                            " lies past the file's end");
        return true;
    }
    if (!b_Read(body, length, sizeof length)) return false;
    unsigned long long size = n_Get32(length);
    if (body + size > n_FileSize)
        problems->push_back("record " + std::to_string(number) + "'s body of " + std::to_string(size) +
                            " bytes at " + s_Hex(body) + " runs past the file's end (" + std::to_string(n_FileSize) +
                            " bytes)");
    return true;
}
