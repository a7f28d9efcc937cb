// The record file's header fields and the small helpers shared by the
// record manager's source files. Not part of the interface.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"

namespace RecordLayout {

// The resource index is written to the file as it lies in memory.
static_assert(std::endian::native == std::endian::little, "record files are little-endian");

// Byte offsets of the header's 32-bit fields.
enum : unsigned {
    e_Signature = 0,
    e_SignatureSize = 32,
    e_MagicField = 32,
    e_VersionField = 36,
    e_BlockSizeField = 40,
    e_RecordHeaderSizeField = 44,
    e_FreeListCapacityField = 48,
    e_FreeListCountField = 52,
    e_ResourceMaxCountField = 56,
    e_ResourceCountField = 60,
    e_ModificationCounterField = 64,
    e_ResourceTableCounterField = 68,
    e_FreeListCounterField = 72,
    e_RecordCountField = 76,
    e_EndOffsetField = 80,
};

// Entries of the free list and the resource table: two words each.
enum : unsigned { e_EntrySize = 8, e_FixedPartOverhead = 8, e_LengthWordSize = 4 };

// A chain walk gives up after this many blocks: a damaged link cannot
// send it round a loop for ever.
enum : unsigned { e_ChainWalkLimit = 100000 };

// Scans trust a size word only up to this many bytes.
enum : unsigned { e_TrustedStepLimit = 0x10000 };

// "VORLAN RecordManager", 0x1A, then zeros up to byte 32.
inline constexpr char acc_Signature[] = "VORLAN RecordManager\x1A";

inline char const* const qcz_Location = "Foundation/Database/RecordManager/RecordManager";

inline unsigned n_LoadWord(unsigned char const* p) {
    return static_cast<unsigned>(p[0]) | static_cast<unsigned>(p[1]) << 8 | static_cast<unsigned>(p[2]) << 16 |
           static_cast<unsigned>(p[3]) << 24;
}

inline void v_StoreWord(unsigned char* p, unsigned value) {
    p[0] = static_cast<unsigned char>(value);
    p[1] = static_cast<unsigned char>(value >> 8);
    p[2] = static_cast<unsigned char>(value >> 16);
    p[3] = static_cast<unsigned char>(value >> 24);
}

// After a step that can fail: when an error is set, adds this source's
// location and says so, and the caller returns at once.
inline bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

}  // namespace RecordLayout
