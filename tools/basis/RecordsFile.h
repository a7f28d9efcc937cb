// `basis records`: a record file's header and tables read straight from
// the file, for the header and check actions. They show what the record
// manager's interface keeps to itself (signature, version, change
// counters, the free list and its overflow chain) and must work on files
// the record manager refuses, so they go around it.
#pragma once

#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Database/RecordManager/RecordManager.h"

struct st_RecordFileHeader {
    unsigned char auc_Signature[32];
    unsigned n_Magic, n_Version, n_BlockSize, n_RecordHeaderSize, n_FreeCapacity, n_FreeCount;
    unsigned n_ResourceMax, n_ResourceCount, n_Modification, n_ResourceTable, n_FreeList;
    unsigned n_RecordCount, n_End;
};

// What the free list and its overflow chain hold.
struct st_FreeSpace {
    unsigned n_Entries = 0;      // regular entries of the list
    unsigned n_ChainBlocks = 0;  // blocks of the overflow chain, its head's included
    unsigned long long n8_Bytes = 0;
};

class CT_RecordFileReader {
public:
    explicit CT_RecordFileReader(CT_UString const* name) : co_File(name, 4096) {}
    ~CT_RecordFileReader() { v_Close(); }

    // Opens the file for shared reading and reads its header; false with
    // the error set in the error manager, or with *problem set when the
    // file is too short to hold a header.
    bool b_Open(std::string* problem);
    void v_Close();

    st_RecordFileHeader const& so_GetHeader() const { return so_Header; }
    unsigned n_GetFileSize() const { return n_FileSize; }
    // The data area's start as the header's geometry puts it; 0 when the
    // block size is 0 or the tables would not fit in 32 bits.
    unsigned n_GetDataStart() const;

    // Walks the free-list table and the chain; what does not look right is
    // added to problems. False when a read fails (the error is set).
    bool b_ReadFreeSpace(st_FreeSpace* space, std::vector<std::string>* problems);
    // The resource table's entries; problems as above.
    bool b_ReadResources(std::vector<CT_RecordManager::st_Resource>* resources, std::vector<std::string>* problems);
    // The body of the record whose fixed part is at offset: a problem is
    // added when it reaches past the file's end, where it would read back
    // as zeros. False when a read fails (the error is set).
    bool b_CheckBody(unsigned number, unsigned offset, std::vector<std::string>* problems);

private:
    bool b_Read(unsigned offset, void* data, unsigned length);
    bool b_IsBlockInData(unsigned offset, unsigned long long size) const;

    CT_WinFile co_File;
    st_RecordFileHeader so_Header{};
    unsigned n_FileSize = 0;
};

// Everything check finds out about a record file, read-only: the header
// and tables as stored, then what the record manager's scans find.
struct st_RecordFileExamination {
    st_RecordFileHeader so_Header{};
    unsigned n_FileSize = 0, n_DataStart = 0;
    st_FreeSpace so_Space;
    std::vector<CT_RecordManager::st_Resource> ao_Resources;
    bool b_Opened = false;     // whether the record manager opened the file
    std::string s_Refusal;     // else why it refused
    unsigned n_Found = 0, n_FoundRobust = 0;
    std::vector<std::string> as_Problems;
};

// Examines the file (retrying while another process holds it, for up to
// waitSeconds). Returns 0 when the file could be examined (problems may
// have been found), or the exit code after reporting why it could not:
// it cannot be opened or read, is too short or is not a record file.
int i_ExamineRecordFile(CT_UString const& name, unsigned waitSeconds, st_RecordFileExamination* examination);

// The checks before the file is opened for writing: a file that does not
// examine clean is refused (exit 1, its first problems named) unless
// force; one that cannot be examined is refused whatever force says,
// since the record manager would refuse it too, after growing it.
int i_CheckBeforeWriting(CT_UString const& name, unsigned waitSeconds, bool force);

// The 32-bit little-endian number at bytes.
unsigned n_Get32(unsigned char const* bytes);
