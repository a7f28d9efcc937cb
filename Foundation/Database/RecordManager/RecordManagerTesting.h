// Helpers for the record manager tests: a fixture with a temporary file and
// error taking, buffers from byte strings, and raw access to the file's
// little-endian words, to check what reached the disk and to damage it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Basis/File/WinFile.h"
#include "Foundation/Database/RecordManager/DatabaseError.h"
#include "Foundation/Database/RecordManager/RecordManager.h"

namespace RecordManagerTesting {

// Header fields by byte offset.
enum : unsigned {
    e_AtMagic = 32,
    e_AtVersion = 36,
    e_AtBlockSize = 40,
    e_AtHeaderSize = 44,
    e_AtFreeCapacity = 48,
    e_AtFreeCount = 52,
    e_AtResourceMax = 56,
    e_AtResourceCount = 60,
    e_AtModification = 64,
    e_AtResourceCounter = 68,
    e_AtFreeCounter = 72,
    e_AtRecordCount = 76,
    e_AtEnd = 80,
    e_AtFreeTable = 256,
    e_AtResourceTable = 256 + 8 * 128,
};

inline unsigned n_Align(unsigned n, unsigned block) { return ((n - 1) / block + 1) * block; }
// The start of the data area of a file with R resource slots.
inline unsigned n_DataStart(unsigned block, unsigned resources) {
    return n_Align(256 + 8 * (128 + resources), block);
}

inline unsigned n_Word(std::string const& bytes, unsigned at) {
    if (std::size_t{at} + 4 > bytes.size()) return 0xDEADDEAD;  // visible in a failure, never a valid word here
    unsigned value = 0;
    for (unsigned i = 0; i < 4; ++i) value |= static_cast<unsigned>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    return value;
}
inline void v_PutWord(std::string& bytes, unsigned at, unsigned value) {
    if (bytes.size() < std::size_t{at} + 4) bytes.resize(std::size_t{at} + 4, '\0');
    for (unsigned i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

// Words of the closed file, each named by its byte offset where it differs.
struct st_Word {
    unsigned n_At, n_Value;
};
inline void v_ExpectWords(std::string const& disk, std::initializer_list<st_Word> words) {
    for (st_Word const& word : words) EXPECT_EQ(n_Word(disk, word.n_At), word.n_Value) << "at byte " << word.n_At;
}

inline CT_Buffer co_Buffer(std::string const& bytes) {
    return CT_Buffer(bytes.data(), static_cast<unsigned>(bytes.size()), 32);
}
inline std::string s_Bytes(CT_Buffer const& buffer) {
    return std::string(static_cast<char const*>(buffer.qcv_Get()), buffer.n_GetUsedSize());
}
// Data whose bytes differ from record to record and from place to place.
inline std::string s_Data(unsigned length, unsigned seed) {
    std::string bytes(length, '\0');
    for (unsigned i = 0; i < length; ++i) bytes[i] = static_cast<char>((seed * 131 + i * 7 + 1) & 0xFF);
    return bytes;
}

class RecordFileTest : public ::testing::Test {
protected:
    void TearDown() override { errors->v_ClearError(); }

    // The code of the error set since the last take (0 for none), cleared.
    unsigned n_TakeCode() {
        unsigned code = errors->b_IsSetError() ? errors->n_GetErrorCode() : 0;
        errors->v_ClearError();
        return code;
    }
    std::string s_Message() const {
        if (!errors->b_IsSetError()) return {};
        std::string text;
        for (unsigned short const* p = errors->qcuz_GetErrorMessage(); p && *p; ++p)
            text.push_back(*p < 0x80 ? static_cast<char>(*p) : '?');
        return text;
    }
    // A record manager on the fixture's file, not open.
    std::unique_ptr<CT_RecordManager> po_Manager() const {
        CT_WinFile co_File(file.pcco_Name(), 16384);
        return std::make_unique<CT_RecordManager>(&co_File);
    }
    // A new file of the given geometry, left open as creation leaves it.
    std::unique_ptr<CT_RecordManager> po_Create(unsigned headerSize, unsigned blockSize, unsigned resourceMax) {
        std::unique_ptr<CT_RecordManager> manager = po_Manager();
        manager->v_Create(headerSize, blockSize, resourceMax);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        return manager;
    }
    // Opening and closing that expect no error.
    void v_Reopen(CT_RecordManager& manager, CT_RecordManager::et_OpenMode mode, int map) {
        manager.v_Open(mode, map);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    void v_Close(CT_RecordManager& manager, int clear) {
        manager.v_Close(clear);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    // Each change of record `number` fails with `code` (any code for 0).
    void v_ExpectRecordChangesFail(CT_RecordManager& manager, unsigned number, unsigned code) {
        CT_Buffer data = co_Buffer(s_Data(300, 9));
        for (int change = 0; change < 3; ++change) {
            SCOPED_TRACE(::testing::Message() << "change " << change);
            if (change == 0) manager.v_UpdateRecord(number, &data);
            if (change == 1) manager.v_UpdateRecordHeader(number, &data);
            if (change == 2) manager.v_DeleteRecord(number);
            unsigned got = n_TakeCode();
            if (code != 0) {
                EXPECT_EQ(got, code);
            } else {
                EXPECT_NE(got, 0u);
            }
        }
    }
    std::string s_Disk() const { return file.s_Read(); }
    void v_SetDisk(std::string const& bytes) const { file.v_Write(bytes); }
    // One word of the closed file changed by hand.
    void v_PatchDisk(unsigned at, unsigned value) const {
        std::string bytes = s_Disk();
        v_PutWord(bytes, at, value);
        v_SetDisk(bytes);
    }

    FileTesting::TemporaryFile file;
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
};

}  // namespace RecordManagerTesting
