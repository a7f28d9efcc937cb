#include "Foundation/Database/RecordManager/RecordManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "Foundation/Database/RecordManager/RecordManagerTesting.h"

using namespace RecordManagerTesting;

namespace {

class RecordManager : public RecordFileTest {
protected:
    unsigned n_Add(CT_RecordManager& manager, std::string const& data) {
        CT_Buffer buffer = co_Buffer(data);
        unsigned number = manager.n_AddRecord(&buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        return number;
    }
    std::string s_Get(CT_RecordManager const& manager, unsigned number) {
        CT_Buffer buffer;
        manager.v_GetRecord(number, &buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << number << ": " << s_Message();
        return s_Bytes(buffer);
    }
    void v_Update(CT_RecordManager& manager, unsigned number, std::string const& data) {
        CT_Buffer buffer = co_Buffer(data);
        manager.v_UpdateRecord(number, &buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    }
    // Every hit of a scan as (record number, data), iterating from 0 with
    // each result until 0 comes back.
    std::vector<std::pair<unsigned, std::string>> ao_Scan(CT_RecordManager const& manager, bool robust) {
        std::vector<std::pair<unsigned, std::string>> hits;
        CT_Buffer buffer;
        for (unsigned from = 0, guard = 0; guard < 100000; ++guard) {
            from = robust ? manager.n_GetNextRecordRobust(from, &buffer) : manager.n_GetNextRecord(from, &buffer);
            EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
            if (from == 0) break;
            hits.emplace_back(from - 1, s_Bytes(buffer));
        }
        return hits;
    }
    std::vector<unsigned> an_ScanNumbers(CT_RecordManager const& manager, bool robust) {
        std::vector<unsigned> numbers;
        for (unsigned from = 0, guard = 0; guard < 100000; ++guard) {
            from = robust ? manager.n_GetNextRecordRobust(from, nullptr) : manager.n_GetNextRecord(from, nullptr);
            if (from == 0) break;
            numbers.push_back(from - 1);
        }
        return numbers;
    }
    // The check after each of the four openings of the closed file (for
    // reading or writing, mapped or not), each closed again with clearing.
    template <class F>
    void v_InEveryOpening(CT_RecordManager& manager, F check) {
        for (auto mode : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
            for (int map : {0, 1}) {
                SCOPED_TRACE(::testing::Message() << "mode " << mode << " map " << map);
                v_Reopen(manager, mode, map);
                check(mode);
                v_Close(manager, 1);
            }
        }
    }
};

// A record not longer than the header size stores no length: it reads back
// as its H header bytes, those it was given and, behind them, what the block
// held (zeros in blocks new at the end of the file).
std::string s_ReadWithoutBody(std::string header, unsigned headerSize) {
    header.resize(headerSize, '\0');
    return header;
}

// Scan hits compared without printing whole records when they differ.
using Hits = std::vector<std::pair<unsigned, std::string>>;
void v_ExpectHits(Hits const& got, Hits const& expected) {
    std::vector<unsigned> gotNumbers, expectedNumbers;
    for (auto const& hit : got) gotNumbers.push_back(hit.first);
    for (auto const& hit : expected) expectedNumbers.push_back(hit.first);
    ASSERT_EQ(gotNumbers, expectedNumbers);
    for (unsigned i = 0; i < got.size(); ++i)
        EXPECT_TRUE(got[i].second == expected[i].second)
            << "record " << got[i].first << ": " << got[i].second.size() << " bytes read, "
            << expected[i].second.size() << " expected";
}

struct st_Geometry {
    unsigned n_HeaderSize, n_BlockSize, n_ResourceMax, n_End;
};

}  // namespace

TEST_F(RecordManager, NewFileHeaderForEachGeometry) {
    st_Geometry const geometries[] = {
        {16, 512, 16, 1536},    // 256 + 8 * 144 = 1408, up to three blocks
        {8, 64, 0, 1280},       // the tables end on a block boundary
        {100, 4096, 100, 4096}, // one block holds header and tables
        {0, 8, 1, 1288},        // the smallest block that holds a free block's two words
        {20, 100, 3, 1400},     // a block size that is no power of two
        {4, 1024, 1000, 10240}, // a resource table of 8000 bytes
        {100, 64, 0, 1280},     // a fixed part of two blocks
    };
    for (st_Geometry const& g : geometries) {
        SCOPED_TRACE(::testing::Message() << "H=" << g.n_HeaderSize << " B=" << g.n_BlockSize << " R=" << g.n_ResourceMax);
        ASSERT_EQ(n_DataStart(g.n_BlockSize, g.n_ResourceMax), g.n_End);
        auto manager = po_Create(g.n_HeaderSize, g.n_BlockSize, g.n_ResourceMax);
        EXPECT_EQ(manager->e_GetOpenMode(), CT_RecordManager::e_ModeReadWrite);
        EXPECT_EQ(manager->n_GetBlockSize(), g.n_BlockSize);
        EXPECT_EQ(manager->n_GetRecordHeaderSize(), g.n_HeaderSize);
        EXPECT_EQ(manager->n_GetResourceMaxCount(), g.n_ResourceMax);
        EXPECT_EQ(manager->n_GetResourceCount(), 0u);
        EXPECT_EQ(manager->n_GetRecordCount(), 0u);
        EXPECT_EQ(manager->n_GetSize(), g.n_End);
        EXPECT_FALSE(manager->b_IsCorrupt());
        v_Close(*manager, 1);

        // Closing truncates the mapped file to the end offset; nothing but
        // the header was written, so the tables and the rest are zero.
        std::string expected(g.n_End, '\0');
        expected.replace(0, 20, "VORLAN RecordManager");
        expected[20] = 0x1A;
        v_PutWord(expected, e_AtMagic, 0xA1B2C3D4);
        v_PutWord(expected, e_AtVersion, 1);
        v_PutWord(expected, e_AtBlockSize, g.n_BlockSize);
        v_PutWord(expected, e_AtHeaderSize, g.n_HeaderSize);
        v_PutWord(expected, e_AtFreeCapacity, 128);
        v_PutWord(expected, e_AtResourceMax, g.n_ResourceMax);
        v_PutWord(expected, e_AtModification, 1);
        v_PutWord(expected, e_AtResourceCounter, 1);
        v_PutWord(expected, e_AtFreeCounter, 1);
        v_PutWord(expected, e_AtEnd, g.n_End);
        std::string disk = s_Disk();
        ASSERT_EQ(disk.size(), expected.size());
        for (unsigned at = 0; at < expected.size(); at += 4)
            ASSERT_EQ(n_Word(disk, at), n_Word(expected, at)) << "at byte " << at;

        // Both open modes, mapped or not, read the same geometry back.
        auto reader = po_Manager();
        v_InEveryOpening(*reader, [&](CT_RecordManager::et_OpenMode mode) {
            EXPECT_EQ(reader->e_GetOpenMode(), mode);
            EXPECT_EQ(reader->n_GetBlockSize(), g.n_BlockSize);
            EXPECT_EQ(reader->n_GetRecordHeaderSize(), g.n_HeaderSize);
            EXPECT_EQ(reader->n_GetResourceMaxCount(), g.n_ResourceMax);
            EXPECT_EQ(reader->n_GetSize(), g.n_End);
            EXPECT_EQ(reader->n_GetNextRecord(0, nullptr), 0u);
        });
        EXPECT_EQ(s_Disk(), disk);
    }
}

TEST_F(RecordManager, RecordNumbersAndBodyBlocks) {
    auto manager = po_Create(16, 512, 16);
    std::string const exact = s_Data(16, 1), oneMore = s_Data(17, 2), large = s_Data(16 + 600, 4);
    // Fixed parts take align(16 + 8) = one block; bodies align(length + 4).
    EXPECT_EQ(n_Add(*manager, exact), 3u);    // 1536, no body
    EXPECT_EQ(n_Add(*manager, oneMore), 4u);  // 2048, body of 5 at 2560
    EXPECT_EQ(n_Add(*manager, ""), 6u);       // 3072, no body
    EXPECT_EQ(n_Add(*manager, large), 7u);    // 3584, body of 604 at 4096..5119
    EXPECT_EQ(manager->n_GetRecordCount(), 4u);
    EXPECT_EQ(manager->n_GetSize(), 5120u);

    EXPECT_EQ(s_Get(*manager, 3), s_ReadWithoutBody(exact, 16));
    EXPECT_EQ(s_Get(*manager, 4), oneMore);
    EXPECT_EQ(s_Get(*manager, 6), s_ReadWithoutBody("", 16));
    EXPECT_EQ(s_Get(*manager, 7), large);
    v_Close(*manager, 0);

    std::string disk = s_Disk();
    ASSERT_EQ(disk.size(), 5120u);
    v_ExpectWords(disk, {{e_AtRecordCount, 4u}, {e_AtEnd, 5120u}, {e_AtModification, 5u},  // one raise per record
                         {e_AtFreeCounter, 1u},  // every block came from the end
                         {e_AtFreeCount, 0u}, {1536, 0xFFFFFFFFu}, {1540, 0u}});
    EXPECT_EQ(disk.substr(1544, 16), exact);
    EXPECT_EQ(n_Word(disk, 2048), 0xFFFFFFFFu);
    EXPECT_EQ(n_Word(disk, 2052), 2560u);
    EXPECT_EQ(disk.substr(2056, 16), oneMore.substr(0, 16));
    EXPECT_EQ(n_Word(disk, 2560), 5u);  // body length + 4, not rounded
    EXPECT_EQ(disk[2564], oneMore[16]);
    v_ExpectWords(disk, {{3072, 0xFFFFFFFFu}, {3076, 0u}, {3584, 0xFFFFFFFFu},
                         {3588, 4096u}});
    EXPECT_EQ(disk.substr(3592, 16), large.substr(0, 16));
    EXPECT_EQ(n_Word(disk, 4096), 604u);
    EXPECT_EQ(disk.substr(4100, 600), large.substr(16));

    // The same records through every kind of opening.
    v_InEveryOpening(*manager, [&](CT_RecordManager::et_OpenMode) {
        EXPECT_EQ(manager->n_GetRecordCount(), 4u);
        EXPECT_EQ(s_Get(*manager, 4), oneMore);
        EXPECT_EQ(s_Get(*manager, 7), large);
        EXPECT_FALSE(manager->b_IsCorrupt());
    });
    EXPECT_EQ(s_Disk(), disk);
}

TEST_F(RecordManager, UpdatesMoveBodiesOnlyWhenTheirBlocksChange) {
    for (int map : {1, 0}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        auto manager = po_Create(8, 64, 0);
        if (!map) {
            manager->v_Close(1);
            v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 0);
        }
        unsigned const d = 1280;
        unsigned number = n_Add(*manager, s_Data(8 + 50, 1));  // body of 54 at d + 64
        ASSERT_EQ(number, d / 64);
        unsigned other = n_Add(*manager, s_Data(8 + 2, 9));    // keeps the end from moving back
        EXPECT_EQ(manager->n_GetSize(), d + 256);

        // Same number of blocks: rewritten in place.
        std::string data = s_Data(8 + 60, 2);
        v_Update(*manager, number, data);
        EXPECT_EQ(s_Get(*manager, number), data);
        EXPECT_EQ(manager->n_GetSize(), d + 256);

        // A longer body moves to new blocks at the end; the old one is freed.
        data = s_Data(8 + 100, 3);
        v_Update(*manager, number, data);
        EXPECT_EQ(s_Get(*manager, number), data);
        EXPECT_EQ(manager->n_GetSize(), d + 384);

        // No body any more: both bodies' blocks are free, the record keeps its number.
        data = s_Data(5, 4);
        v_Update(*manager, number, data);
        EXPECT_EQ(s_Get(*manager, number), s_ReadWithoutBody(data + s_Data(8 + 100, 3).substr(5, 3), 8));

        // A new body takes the first free block that fits: the 64 at d + 64.
        data = s_Data(8 + 1, 5);
        v_Update(*manager, number, data);
        EXPECT_EQ(s_Get(*manager, number), data);
        EXPECT_EQ(manager->n_GetSize(), d + 384);

        // The header part alone: fewer bytes keep the rest, more are cut at H.
        CT_Buffer head = co_Buffer("abc");
        manager->v_UpdateRecordHeader(number, &head);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(s_Get(*manager, number), "abc" + data.substr(3));
        head = co_Buffer("0123456789XYZ");
        manager->v_UpdateRecordHeader(number, &head);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(s_Get(*manager, number), "01234567" + data.substr(8));
        EXPECT_EQ(s_Get(*manager, other), s_Data(8 + 2, 9));
        EXPECT_EQ(manager->n_GetRecordCount(), 2u);

        v_Close(*manager, 0);
        std::string disk = s_Disk();
        // A mapped file is cut to the end offset at the close; written
        // directly, it ends with the last byte written.
        if (map) {
            EXPECT_EQ(disk.size(), d + 384);
        }
        ASSERT_GE(disk.size(), d + 360);
        EXPECT_EQ(n_Word(disk, d + 4), d + 64);  // the body's offset
        EXPECT_EQ(n_Word(disk, d + 64), 5u);
        // Freed: the 128-byte body at d + 256 (freed by the change to no body).
        v_ExpectWords(disk, {{e_AtFreeCount, 1u}, {e_AtFreeTable, d + 256}, {e_AtFreeTable + 4, 128u},
                             {d + 256, 128u}});
        // One raise per update and header update, two adds.
        EXPECT_EQ(n_Word(disk, e_AtModification), 1u + 2 + 4 + 2);
        // The free list changed three times: two bodies freed, one taken.
        // The update in place neither freed nor took a block.
        EXPECT_EQ(n_Word(disk, e_AtFreeCounter), 1u + 3);
        EXPECT_EQ(n_Word(disk, e_AtRecordCount), 2u);
    }
}

TEST_F(RecordManager, DeletingFreesTheBlocksAndTheNumber) {
    auto manager = po_Create(8, 64, 0);
    unsigned const d = 1280;
    unsigned first = n_Add(*manager, s_Data(8 + 120, 1));  // d, body of 124 at d + 64
    unsigned second = n_Add(*manager, s_Data(4, 2));       // d + 192
    manager->v_DeleteRecord(first);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(manager->n_GetRecordCount(), 1u);
    CT_Buffer buffer = co_Buffer("left alone");
    manager->v_GetRecord(first, &buffer);
    EXPECT_EQ(n_TakeCode(), 31051u);
    EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
    manager->v_DeleteRecord(first);  // twice: the marker is gone
    EXPECT_EQ(n_TakeCode(), 31051u);
    EXPECT_EQ(manager->n_GetRecordCount(), 1u);
    EXPECT_EQ(an_ScanNumbers(*manager, false), std::vector<unsigned>{second});
    EXPECT_EQ(an_ScanNumbers(*manager, true), std::vector<unsigned>{second});
    v_Close(*manager, 1);

    // (The free list it leaves is checked with the allocation.)
    std::string disk = s_Disk();
    v_ExpectWords(disk, {{d, 64u},  // the marker became the free block's size
                         {d + 64, 128u}, {e_AtRecordCount, 1u}, {e_AtEnd, d + 256}});
}

TEST_F(RecordManager, ScansVisitEveryLiveRecordOnce) {
    auto manager = po_Create(8, 64, 4);
    EXPECT_EQ(manager->n_GetNextRecord(0, nullptr), 0u);
    EXPECT_EQ(manager->n_GetNextRecordRobust(0, nullptr), 0u);
    CT_Buffer buffer;
    EXPECT_EQ(manager->n_GetNextRecord(0, &buffer), 0u);

    unsigned const d = n_DataStart(64, 4);  // 1344
    std::vector<std::pair<unsigned, std::string>> live;
    auto add = [&](std::string const& data) {
        unsigned number = n_Add(*manager, data);
        live.emplace_back(number, data);
        return number;
    };
    std::string withFakeRecord = s_Data(8 + 200, 2);
    // The body's data starts 4 bytes into its block, so its data byte 60
    // begins the body's second block: a live-record marker there, followed
    // by a zero body offset, looks like a record to whoever steps block by block.
    v_PutWord(withFakeRecord, 8 + 60, 0xFFFFFFFF);
    v_PutWord(withFakeRecord, 8 + 64, 0);
    add(s_Data(8, 1));
    unsigned bodyOwner = add(withFakeRecord);
    unsigned doomed = n_Add(*manager, s_Data(3, 3));
    add(s_Data(8 + 70000, 4));  // a body too large for the size step
    add(s_Data(30, 5));
    CT_Buffer resource = co_Buffer(s_Data(300, 6));  // resource blocks lie between records too
    manager->v_AddResource(7, &resource);
    add(s_Data(0, 7));
    manager->v_DeleteRecord(doomed);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    for (auto& hit : live) {
        if (hit.second.size() <= 8) hit.second = s_ReadWithoutBody(hit.second, 8);
    }

    v_ExpectHits(ao_Scan(*manager, false), live);
    std::vector<unsigned> numbers;
    for (auto const& hit : live) numbers.push_back(hit.first);
    EXPECT_EQ(an_ScanNumbers(*manager, false), numbers);

    // Block by block the scan also takes the marker inside the body.
    std::vector<unsigned> robust = numbers;
    unsigned fake = bodyOwner + 2;  // fixed part, then the body's first block
    robust.insert(robust.begin() + 2, fake);
    EXPECT_EQ(an_ScanNumbers(*manager, true), robust);
    EXPECT_EQ(ao_Scan(*manager, true).size(), robust.size());

    // A start inside the data area: the record at that block, else the next.
    EXPECT_EQ(manager->n_GetNextRecord(numbers[1], nullptr), numbers[1] + 1);
    EXPECT_EQ(manager->n_GetNextRecord(doomed, &buffer), numbers[2] + 1);
    EXPECT_EQ(s_Bytes(buffer), live[2].second);
    EXPECT_EQ(manager->n_GetNextRecord(manager->n_GetSize() / 64, nullptr), 0u);
    EXPECT_EQ(manager->n_GetNextRecordRobust(manager->n_GetSize() / 64 + 5, nullptr), 0u);
    EXPECT_EQ(manager->n_GetNextRecord(d / 64 - 1, nullptr), numbers[0] + 1);  // from the tables on
    EXPECT_FALSE(manager->b_IsCorrupt());
    EXPECT_EQ(manager->n_GetRecordCount(), live.size());
    v_Close(*manager, 1);

    // A free block whose size word claims two blocks hides the record
    // behind it from the size-stepping scan, not from the robust one.
    v_PatchDisk(doomed * 64, 128);
    for (int map : {0, 1}) {
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, map);
        std::vector<unsigned> skipped = numbers;
        skipped.erase(skipped.begin() + 2);
        EXPECT_EQ(an_ScanNumbers(*manager, false), skipped);
        EXPECT_EQ(an_ScanNumbers(*manager, true), robust);
        // b_IsCorrupt walks as the size-stepping scan does.
        EXPECT_TRUE(manager->b_IsCorrupt());
        EXPECT_FALSE(errors->b_IsSetError());
        manager->v_Close(1);
    }
    // A size word beyond 64 KiB is not trusted: the scan goes on block by
    // block and finds every record behind it.
    v_PatchDisk(doomed * 64, 0x20000);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    EXPECT_EQ(an_ScanNumbers(*manager, false), numbers);
    EXPECT_FALSE(manager->b_IsCorrupt());
    manager->v_Close(1);
}

TEST_F(RecordManager, ScansAndConsistencyCheckSkipUnreadableRecords) {
    auto manager = po_Create(8, 64, 0);
    unsigned a = n_Add(*manager, s_Data(20, 1));
    unsigned b = n_Add(*manager, s_Data(20, 2));
    unsigned c = n_Add(*manager, s_Data(20, 3));
    unsigned end = manager->n_GetSize();
    v_Close(*manager, 1);

    // b's body offset points past the end: unreadable, corrupt data.
    v_PatchDisk(b * 64 + 4, end + 64);
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, map);
        CT_Buffer buffer = co_Buffer("old");
        manager->v_GetRecord(b, &buffer);
        EXPECT_EQ(n_TakeCode(), 31005u);
        EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
        Hits expected = {{a, s_Data(20, 1)}, {c, s_Data(20, 3)}};
        v_ExpectHits(ao_Scan(*manager, false), expected);
        v_ExpectHits(ao_Scan(*manager, true), expected);
        // Without a buffer the scan does not read, so it stops at b too.
        EXPECT_EQ(an_ScanNumbers(*manager, false), (std::vector<unsigned>{a, b, c}));
        EXPECT_TRUE(manager->b_IsCorrupt());
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        manager->v_Close(1);
    }

    // Body offset fine, body length word impossible; then a record whose
    // addition did not finish.
    for (unsigned length : {0xFFFFFFFFu, end, end - (b + 1) * 64 + 1}) {
        SCOPED_TRACE(::testing::Message() << "length " << length);
        v_PatchDisk(b * 64 + 4, (b + 1) * 64);
        v_PatchDisk((b + 1) * 64, length);
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
        CT_Buffer buffer;
        manager->v_GetRecord(b, &buffer);
        EXPECT_EQ(n_TakeCode(), 31005u);
        EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
        EXPECT_EQ(ao_Scan(*manager, true).size(), 2u);
        EXPECT_TRUE(manager->b_IsCorrupt());
        manager->v_Close(1);
    }
    // A body length word below 4 holds no data: the record reads empty,
    // and counts as readable.
    for (unsigned length : {0u, 3u}) {
        SCOPED_TRACE(::testing::Message() << "length " << length);
        v_PatchDisk((b + 1) * 64, length);
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, 1);
        CT_Buffer buffer = co_Buffer("old");
        manager->v_GetRecord(b, &buffer);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
        EXPECT_EQ(ao_Scan(*manager, false).size(), 3u);
        EXPECT_FALSE(manager->b_IsCorrupt());
        manager->v_Close(1);
    }
    v_PatchDisk((b + 1) * 64, 16);
    v_PatchDisk(b * 64, 0xFFFFFFFE);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 1);
    CT_Buffer buffer;
    manager->v_GetRecord(b, &buffer);
    EXPECT_EQ(n_TakeCode(), 31051u);
    EXPECT_EQ(an_ScanNumbers(*manager, false), (std::vector<unsigned>{a, c}));
    EXPECT_EQ(an_ScanNumbers(*manager, true), (std::vector<unsigned>{a, c}));
    EXPECT_TRUE(manager->b_IsCorrupt());
    manager->v_Close(1);
    v_PatchDisk(e_AtRecordCount, 2);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    EXPECT_FALSE(manager->b_IsCorrupt());
    manager->v_Close(1);

    // Not open: nothing to check.
    EXPECT_FALSE(po_Manager()->b_IsCorrupt());
    EXPECT_FALSE(errors->b_IsSetError());
}

TEST_F(RecordManager, ResourcesInKeyOrder) {
    auto manager = po_Create(8, 64, 5);
    unsigned const keys[] = {5, 0x80000000u, 1, 0xFFFFFFFEu, 0};
    unsigned end = 0;
    CT_Buffer other = co_Buffer("other");
    for (unsigned key : keys) {
        CT_Buffer data = co_Buffer(s_Data(key % 97 + 10, key % 13));
        manager->v_AddResource(key, &data);
        ASSERT_FALSE(errors->b_IsSetError()) << key << ": " << s_Message();
        if (key == 0xFFFFFFFEu) {
            // A key that exists is refused while there is room.
            end = manager->n_GetSize();
            manager->v_AddResource(1, &other);
            EXPECT_EQ(n_TakeCode(), 31054u);
            EXPECT_EQ(manager->n_GetResourceCount(), 4u);
            EXPECT_EQ(manager->n_GetSize(), end);
        }
    }
    EXPECT_EQ(manager->n_GetResourceCount(), 5u);
    std::vector<unsigned> order;
    for (unsigned i = 0; i <= 6; ++i) order.push_back(manager->n_GetResourceKeyAt(i));
    EXPECT_EQ(order, (std::vector<unsigned>{0xFFFFFFFFu, 0, 1, 5, 0x80000000u, 0xFFFFFFFEu, 0xFFFFFFFFu}));
    EXPECT_EQ(manager->n_GetResourceKeyAt(0xFFFFFFFFu), 0xFFFFFFFFu);
    for (unsigned key : keys) {
        EXPECT_TRUE(manager->b_ResourceExists(key));
        CT_Buffer data = co_Buffer("stale");
        manager->v_GetResource(key, &data);
        EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
        EXPECT_EQ(s_Bytes(data), s_Data(key % 97 + 10, key % 13));
    }
    EXPECT_FALSE(manager->b_ResourceExists(2));
    EXPECT_FALSE(manager->b_ResourceExists(0xFFFFFFFFu));
    EXPECT_FALSE(errors->b_IsSetError());

    // A full index refuses, and nothing changes.
    end = manager->n_GetSize();
    manager->v_AddResource(77, &other);
    EXPECT_EQ(n_TakeCode(), 31052u);
    manager->v_AddResource(5, &other);  // full and existing: the count is checked first
    EXPECT_EQ(n_TakeCode(), 31052u);
    EXPECT_EQ(manager->n_GetSize(), end);
    EXPECT_EQ(manager->n_GetResourceCount(), 5u);
    EXPECT_FALSE(manager->b_ResourceExists(77));
    CT_Buffer data;
    manager->v_GetResource(1, &data);
    EXPECT_EQ(s_Bytes(data), s_Data(11, 1));

    // Missing keys.
    data = co_Buffer("stale");
    manager->v_GetResource(2, &data);
    EXPECT_EQ(n_TakeCode(), 31053u);
    manager->v_UpdateResource(2, &other);
    EXPECT_EQ(n_TakeCode(), 31053u);
    manager->v_DeleteResource(2);
    EXPECT_EQ(n_TakeCode(), 31053u);
    EXPECT_EQ(manager->n_GetResourceCount(), 5u);
    EXPECT_EQ(manager->n_GetSize(), end);

    // Delete one, then a new key fits again and is put in order.
    manager->v_DeleteResource(5);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_FALSE(manager->b_ResourceExists(5));
    EXPECT_EQ(manager->n_GetResourceCount(), 4u);
    CT_Buffer empty;
    manager->v_AddResource(3, &empty);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    data = co_Buffer("stale");
    manager->v_GetResource(3, &data);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(data.n_GetUsedSize(), 0u);
    order.clear();
    for (unsigned i = 1; i <= 5; ++i) order.push_back(manager->n_GetResourceKeyAt(i));
    EXPECT_EQ(order, (std::vector<unsigned>{0, 1, 3, 0x80000000u, 0xFFFFFFFEu}));
    v_Close(*manager, 0);

    // The table on disk: ascending keys, each with its block.
    std::string disk = s_Disk();
    EXPECT_EQ(n_Word(disk, e_AtResourceCount), 5u);
    for (unsigned i = 0; i < 5; ++i) {
        unsigned key = n_Word(disk, e_AtResourceTable + 8 * i), at = n_Word(disk, e_AtResourceTable + 8 * i + 4);
        EXPECT_EQ(key, order[i]);
        unsigned length = key == 3 ? 0 : key % 97 + 10;
        EXPECT_EQ(n_Word(disk, at), length + 4) << key;
        EXPECT_EQ(disk.substr(at + 4, length), s_Data(length, key % 13)) << key;
        EXPECT_EQ(at % 64, 0u);
    }
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    for (unsigned i = 1; i <= 5; ++i) EXPECT_EQ(manager->n_GetResourceKeyAt(i), order[i - 1]);
    manager->v_Close(1);
}

TEST_F(RecordManager, ResourceUpdatesInPlaceOrMoved) {
    auto manager = po_Create(8, 64, 2);
    unsigned const d = n_DataStart(64, 2);
    CT_Buffer data = co_Buffer(s_Data(50, 1));  // 54 bytes: one block at d
    manager->v_AddResource(9, &data);
    CT_Buffer next = co_Buffer(s_Data(10, 2));  // at d + 64
    manager->v_AddResource(10, &next);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    manager->v_Close(0);
    std::string disk = s_Disk();
    v_ExpectWords(disk, {{e_AtResourceTable + 4, d}, {e_AtResourceCounter, 3u}, {e_AtModification, 3u}});
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 1);

    // Still one block: written in place, the index unchanged.
    data = co_Buffer(s_Data(60, 3));
    manager->v_UpdateResource(9, &data);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    manager->v_Close(0);
    disk = s_Disk();
    v_ExpectWords(disk, {{e_AtResourceTable + 4, d}, {d, 64u}, {e_AtResourceCounter, 3u},
                         {e_AtModification, 4u}});
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 0);

    // Two blocks: moved to the end, the old block freed.
    data = co_Buffer(s_Data(61, 4));
    manager->v_UpdateResource(9, &data);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    CT_Buffer back;
    manager->v_GetResource(9, &back);
    EXPECT_EQ(s_Bytes(back), s_Data(61, 4));
    manager->v_GetResource(10, &back);
    EXPECT_EQ(s_Bytes(back), s_Data(10, 2));
    manager->v_Close(0);
    disk = s_Disk();
    v_ExpectWords(disk, {{e_AtResourceTable, 9u}, {e_AtResourceTable + 4, d + 128}, {d + 128, 65u},
                         {e_AtResourceCounter, 4u}, {e_AtModification, 5u}, {e_AtFreeCount, 1u},
                         {e_AtFreeTable, d}, {e_AtEnd, d + 256}});

    // Deleting frees the block with the size from its word.
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 1);
    manager->v_DeleteResource(9);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    manager->v_Close(1);
    disk = s_Disk();
    v_ExpectWords(disk, {{e_AtResourceCount, 1u}, {e_AtResourceTable, 10u}, {e_AtFreeCount, 2u},
                         {e_AtFreeTable + 8, d + 128}, {e_AtFreeTable + 12, 128u}, {d + 128, 128u}});
}

TEST_F(RecordManager, DamagedResourcesAreCorruptData) {
    auto manager = po_Create(8, 64, 4);
    for (unsigned key = 1; key <= 4; ++key) {
        CT_Buffer data = co_Buffer(s_Data(20, key));
        manager->v_AddResource(key, &data);
    }
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    unsigned end = manager->n_GetSize();
    manager->v_Close(1);
    std::string const good = s_Disk();
    auto blockOf = [&](unsigned key) { return n_Word(good, e_AtResourceTable + 8 * (key - 1) + 4); };

    // Size words past the end or below the length word itself; an index entry past the end.
    std::string bad = good;
    v_PutWord(bad, blockOf(1), end + 1);
    v_PutWord(bad, blockOf(2), 2);
    v_PutWord(bad, e_AtResourceTable + 8 * 2 + 4, end + 640);
    v_SetDisk(bad);
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        for (unsigned key = 1; key <= 3; ++key) {
            CT_Buffer data;
            manager->v_GetResource(key, &data);
            EXPECT_EQ(n_TakeCode(), 31005u) << key;
        }
        CT_Buffer data;
        manager->v_GetResource(4, &data);
        EXPECT_EQ(s_Bytes(data), s_Data(20, 4));
        manager->v_DeleteResource(1);
        EXPECT_EQ(n_TakeCode(), 31005u);
        EXPECT_TRUE(manager->b_ResourceExists(1));
        EXPECT_EQ(manager->n_GetResourceCount(), 4u);
        v_Close(*manager, 1);
        EXPECT_EQ(s_Disk(), bad);
    }
}

TEST_F(RecordManager, WrongMagicNumberIsRefused) {
    auto manager = po_Create(8, 64, 0);
    n_Add(*manager, s_Data(12, 1));
    manager->v_Close(1);
    std::string const good = s_Disk();

    for (auto mode : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
        for (int map : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " map " << map);
            v_PatchDisk(e_AtMagic, 0xA1B2C3D5);
            auto reader = po_Manager();
            reader->v_Open(mode, map);
            ASSERT_TRUE(errors->b_IsSetError());
            EXPECT_EQ(errors->n_GetErrorCode(), 31050u);
            EXPECT_NE(s_Message().find("Invalid RecordManager file format in "), std::string::npos) << s_Message();
            std::string name = file.s_Narrow().substr(file.s_Narrow().find_last_of("/\\") + 1);
            name = name.substr(0, name.find('.'));
            EXPECT_NE(s_Message().find(name), std::string::npos) << s_Message();
            ASSERT_GE(errors->n_GetLocationCount(), 1u);
            bool located = false;
            for (unsigned i = 1; i <= errors->n_GetLocationCount(); ++i)
                located |= std::string(errors->qccz_GetLocationFileAt(i)) == "Foundation/Database/RecordManager/RecordManager";
            EXPECT_TRUE(located);
            errors->v_ClearError();
            EXPECT_FALSE(reader->pcco_GetFile()->b_IsOpen());
            v_SetDisk(good);

            // Another signature text with the right magic number opens.
            std::string other = good;
            other.replace(0, 20, "something else here!");
            v_SetDisk(other);
            v_Reopen(*reader, mode, map);
            EXPECT_EQ(reader->n_GetRecordCount(), 1u);
            reader->v_Close(1);
            EXPECT_EQ(s_Disk(), other);
            v_SetDisk(good);
        }
    }

    // Only the magic number is checked: a record header size that leaves
    // no record inside the file opens, and its records read as corrupt.
    v_PatchDisk(e_AtHeaderSize, 0x5A000000);
    for (int map : {0, 1}) {
        auto reader = po_Manager();
        v_Reopen(*reader, CT_RecordManager::e_ModeRead, map);
        CT_Buffer buffer;
        reader->v_GetRecord(n_DataStart(64, 0) / 64, &buffer);
        EXPECT_EQ(n_TakeCode(), 31005u);
        reader->v_Close(1);
        EXPECT_FALSE(reader->pcco_GetFile()->b_IsOpen());
    }
    v_SetDisk(good);

    // A missing file: the file's own error, and nothing open.
    file.v_Delete();
    auto reader = po_Manager();
    reader->v_Open(CT_RecordManager::e_ModeRead, 0);
    EXPECT_TRUE(errors->b_IsSetError());
    EXPECT_NE(errors->n_GetErrorCode(), 31050u);
    errors->v_ClearError();
    EXPECT_FALSE(reader->pcco_GetFile()->b_IsOpen());
    EXPECT_FALSE(file.b_Exists());
}

TEST_F(RecordManager, BadRecordNumbersChangeNothing) {
    auto manager = po_Create(8, 64, 0);
    unsigned const d = 1280;
    unsigned live = n_Add(*manager, s_Data(100, 1));  // d, body d + 64 .. d + 191
    unsigned gone = n_Add(*manager, s_Data(8, 2));    // d + 192
    manager->v_DeleteRecord(gone);
    n_Add(*manager, s_Data(100, 3));  // reuses d + 192, body at the end
    unsigned freed = n_Add(*manager, s_Data(8, 4));
    manager->v_DeleteRecord(freed);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    unsigned end = manager->n_GetSize();
    manager->v_Close(0);
    std::string const disk = s_Disk();

    for (int map : {0, 1}) {
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        std::vector<unsigned> bad = {0, 1, d / 64 - 1, live + 1, live + 2, freed, end / 64 + 1, 0xFFFFFFFFu,
                                     // beyond 2^32 bytes, though n * 64 taken modulo 2^32 is a live record
                                     (1u << 26) + live};
        for (unsigned number : bad) {
            SCOPED_TRACE(::testing::Message() << "map " << map << " number " << number);
            CT_Buffer buffer = co_Buffer("stale");
            manager->v_GetRecord(number, &buffer);
            EXPECT_EQ(n_TakeCode(), 31051u);
            EXPECT_EQ(buffer.n_GetUsedSize(), 0u);
            v_ExpectRecordChangesFail(*manager, number, 31051u);
        }
        // The block at the end offset: nothing there to read.
        // (The word there lies past the end offset: its read may already
        // report corrupt data.)
        CT_Buffer buffer;
        manager->v_GetRecord(end / 64, &buffer);
        unsigned code = n_TakeCode();
        EXPECT_TRUE(code == 31051u || code == 31005u) << code;
        manager->v_DeleteRecord(end / 64);
        EXPECT_NE(n_TakeCode(), 0u);
        EXPECT_EQ(manager->n_GetRecordCount(), 2u);
        EXPECT_EQ(manager->n_GetSize(), end);
        v_Close(*manager, 0);
        EXPECT_EQ(s_Disk(), disk);
    }
}

TEST_F(RecordManager, OnlyChangedStateIsWrittenBack) {
    auto manager = po_Create(8, 64, 4);
    unsigned number = n_Add(*manager, s_Data(40, 1));
    CT_Buffer data = co_Buffer(s_Data(10, 2));
    manager->v_AddResource(100, &data);
    v_Close(*manager, 0);
    std::string const disk = s_Disk();
    std::filesystem::path const path(file.s_Narrow());
    auto const old = std::filesystem::last_write_time(path) - std::chrono::hours(48);

    // Reading, and opening for writing without writing, leave the file as it is.
    for (auto mode : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
        for (int clear : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "mode " << mode << " clear " << clear);
            std::filesystem::last_write_time(path, old);
            v_Reopen(*manager, mode, 0);
            EXPECT_EQ(s_Get(*manager, number), s_Data(40, 1));
            CT_Buffer back;
            manager->v_GetResource(100, &back);
            EXPECT_FALSE(manager->b_IsCorrupt());
            // (A read-only handle cannot be flushed on every system.)
            if (mode == CT_RecordManager::e_ModeReadWrite) manager->v_Flush();
            v_Close(*manager, clear);
            EXPECT_EQ(std::filesystem::last_write_time(path), old);
            EXPECT_EQ(s_Disk(), disk);
        }
    }

    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    manager->v_Close(0);

    // Closed without clearing, the object keeps its tables: a reopening of
    // the unchanged file (same counters) does not read them again. The
    // table is damaged by hand to tell the two apart.
    std::string damaged = disk;
    v_PutWord(damaged, e_AtResourceTable, 200);
    v_SetDisk(damaged);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 1);
    EXPECT_EQ(manager->n_GetResourceKeyAt(1), 100u);
    manager->v_Close(1);
    // After clearing, everything is read.
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 1);
    EXPECT_EQ(manager->n_GetResourceKeyAt(1), 200u);
    manager->v_Close(0);
    v_SetDisk(disk);

    // A fresh object reads the tables; a file changed by someone else
    // (its counter moved) is read again.
    auto other = po_Manager();
    v_Reopen(*other, CT_RecordManager::e_ModeReadWrite, 0);
    EXPECT_EQ(other->n_GetResourceKeyAt(1), 100u);
    CT_Buffer more = co_Buffer("more");
    other->v_AddResource(50, &more);
    other->v_Close(1);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    EXPECT_EQ(manager->n_GetResourceCount(), 2u);
    EXPECT_EQ(manager->n_GetResourceKeyAt(1), 50u);
    EXPECT_EQ(manager->n_GetResourceKeyAt(2), 100u);
    manager->v_Close(0);

    // The free list, too, is kept over a close without clearing: a
    // damaged table on disk is not consulted by the next allocation.
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 0);
    manager->v_DeleteRecord(number);
    v_Close(*manager, 0);
    std::string freed = s_Disk();
    ASSERT_EQ(n_Word(freed, e_AtFreeCount), 2u);
    unsigned fixed = n_Word(freed, e_AtFreeTable);
    v_PatchDisk(e_AtFreeTable, fixed + 64 * 1000);
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 1);
    EXPECT_EQ(n_Add(*manager, s_Data(8, 5)), fixed / 64);
    v_Close(*manager, 1);

    // A change writes the header with its counters raised.
    std::string changed = s_Disk();
    EXPECT_EQ(n_Word(changed, e_AtModification), n_Word(freed, e_AtModification) + 1);
    EXPECT_EQ(n_Word(changed, e_AtFreeCounter), n_Word(freed, e_AtFreeCounter) + 1);
}

// A writer that ends without a close leaves the header of its last flush:
// the records then, or a count that lags behind the blocks.
TEST_F(RecordManager, FlushWritesTheHeaderAndALaggingHeaderIsCorrupt) {
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        auto manager = po_Create(8, 64, 0);
        manager->v_Close(1);
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        unsigned a = n_Add(*manager, s_Data(20, 1));
        unsigned b = n_Add(*manager, s_Data(5, 2));
        unsigned c = n_Add(*manager, s_Data(80, 3));
        manager->v_Flush();
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        manager.reset();
        auto reader = po_Manager();
        v_Reopen(*reader, CT_RecordManager::e_ModeRead, 0);
        EXPECT_EQ(reader->n_GetRecordCount(), 3u);
        EXPECT_EQ(an_ScanNumbers(*reader, false), (std::vector<unsigned>{a, b, c}));
        EXPECT_FALSE(reader->b_IsCorrupt());
        reader->v_Close(1);

        // Records deleted, and the object gone without a close: the blocks
        // changed, the header still counts three.
        manager = po_Manager();
        v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, map);
        manager->v_DeleteRecord(a);
        manager->v_DeleteRecord(c);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        manager.reset();
        v_Reopen(*reader, CT_RecordManager::e_ModeRead, 0);
        EXPECT_EQ(reader->n_GetRecordCount(), 3u);
        EXPECT_EQ(an_ScanNumbers(*reader, false), std::vector<unsigned>{b});
        EXPECT_EQ(an_ScanNumbers(*reader, true), std::vector<unsigned>{b});
        EXPECT_TRUE(reader->b_IsCorrupt());
        reader->v_Close(1);

        // The count put right by hand.
        v_PatchDisk(e_AtRecordCount, 1);
        v_Reopen(*reader, CT_RecordManager::e_ModeRead, 1);
        EXPECT_FALSE(reader->b_IsCorrupt());
        reader->v_Close(1);
        v_PatchDisk(e_AtRecordCount, 0);
        v_Reopen(*reader, CT_RecordManager::e_ModeRead, 1);
        EXPECT_TRUE(reader->b_IsCorrupt());
        reader->v_Close(1);
    }
}

TEST_F(RecordManager, ConsistencyCheckWalksOnceKeepingItsStepByBlockState) {
    auto manager = po_Create(8, 64, 0);
    std::vector<unsigned> numbers;
    for (unsigned i = 0; i < 7; ++i) numbers.push_back(n_Add(*manager, s_Data(8, i)));
    v_Close(*manager, 1);
    // Records 0, 2, 4, 5, 6 stay; a zero word at 1 makes a walk go block
    // by block from there; a size word of three blocks at 3 would carry a
    // walk that trusted it again past 4 and 5.
    v_PatchDisk(numbers[1] * 64, 0);
    v_PatchDisk(numbers[3] * 64, 192);
    v_PatchDisk(e_AtRecordCount, 5);
    for (int map : {0, 1}) {
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, map);
        // Each scan call starts trusting size words again.
        EXPECT_EQ(an_ScanNumbers(*manager, false), (std::vector<unsigned>{numbers[0], numbers[2], numbers[6]}));
        EXPECT_EQ(an_ScanNumbers(*manager, true),
                  (std::vector<unsigned>{numbers[0], numbers[2], numbers[4], numbers[5], numbers[6]}));
        EXPECT_FALSE(manager->b_IsCorrupt());
        manager->v_Close(1);
    }
}

TEST_F(RecordManager, FixedPartsMaySpanSeveralBlocks) {
    auto manager = po_Create(100, 64, 0);
    unsigned const d = n_DataStart(64, 0);
    std::string const small = s_Data(100, 1), large = s_Data(150, 2);
    EXPECT_EQ(n_Add(*manager, small), d / 64);           // align(108): two blocks
    EXPECT_EQ(n_Add(*manager, large), d / 64 + 2);       // body of 54 behind it
    EXPECT_EQ(manager->n_GetSize(), d + 5 * 64);
    v_Close(*manager, 1);
    v_InEveryOpening(*manager, [&](CT_RecordManager::et_OpenMode) {
        EXPECT_EQ(s_Get(*manager, d / 64), small);
        EXPECT_EQ(s_Get(*manager, d / 64 + 2), large);
        EXPECT_FALSE(manager->b_IsCorrupt());
    });
    v_Reopen(*manager, CT_RecordManager::e_ModeReadWrite, 1);
    manager->v_DeleteRecord(d / 64);
    EXPECT_EQ(n_Add(*manager, s_Data(100, 3)), d / 64);  // the same two blocks
    v_Close(*manager, 1);
}

TEST_F(RecordManager, EveryOpenIsClosedAndNoneIsOpenedTwice) {
    auto manager = po_Create(8, 64, 0);
    unsigned number = n_Add(*manager, s_Data(20, 1));
    v_Close(*manager, 1);
    std::string const disk = s_Disk();

    // Mode 0 opens for reading; closing and flushing treat it as open.
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "mode 0, map " << map);
        v_Reopen(*manager, CT_RecordManager::e_ModeNone, map);
        EXPECT_TRUE(manager->pcco_GetFile()->b_IsOpen());
        EXPECT_EQ(manager->e_GetOpenMode(), CT_RecordManager::e_ModeNone);
        EXPECT_EQ(s_Get(*manager, number), s_Data(20, 1));
        EXPECT_FALSE(manager->b_IsCorrupt());  // not checked below mode 1
        // Flushing reaches the read-only handle, which Windows refuses to
        // flush and Linux flushes.
        manager->v_Flush();
        errors->v_ClearError();
        v_Close(*manager, 1);
        EXPECT_FALSE(manager->pcco_GetFile()->b_IsOpen());
        // The share lock went with the handle.
        auto writer = po_Manager();
        v_Reopen(*writer, CT_RecordManager::e_ModeReadWrite, map);
        writer->v_Close(1);
    }

    // A second open or creation on an open manager gets the error the
    // file itself gives a second opener, and leaves the first open as it is.
    for (auto first : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
        for (int map : {0, 1}) {
            SCOPED_TRACE(::testing::Message() << "mode " << first << " map " << map);
            v_Reopen(*manager, first, map);
            CT_WinFile probe(file.pcco_Name(), 16384);
            probe.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 8);
            unsigned sharing = n_TakeCode();
            ASSERT_NE(sharing, 0u);
            for (auto second : {CT_RecordManager::e_ModeRead, CT_RecordManager::e_ModeReadWrite}) {
                manager->v_Open(second, 1 - map);
                EXPECT_EQ(n_TakeCode(), sharing);
                EXPECT_EQ(manager->e_GetOpenMode(), first);
            }
            manager->v_Create(8, 64, 0);
            EXPECT_EQ(n_TakeCode(), sharing);
            EXPECT_EQ(manager->e_GetOpenMode(), first);
            EXPECT_EQ(s_Get(*manager, number), s_Data(20, 1));
            v_Close(*manager, 1);
        }
    }
    EXPECT_EQ(s_Disk(), disk);
}

TEST_F(RecordManager, ReadOnlyOpeningRefusesChanges) {
    auto manager = po_Create(8, 64, 2);
    unsigned number = n_Add(*manager, s_Data(30, 1));
    CT_Buffer resource = co_Buffer("r");
    manager->v_AddResource(1, &resource);
    manager->v_Close(1);
    std::string const disk = s_Disk();

    // Mapped read-only views cannot take writes either; the file reports them.
    for (int map : {0, 1}) {
        SCOPED_TRACE(::testing::Message() << "map " << map);
        v_Reopen(*manager, CT_RecordManager::e_ModeRead, map);
        CT_Buffer data = co_Buffer(s_Data(30, 2));
        EXPECT_EQ(manager->n_AddRecord(&data), 0u);
        EXPECT_NE(n_TakeCode(), 0u);
        v_ExpectRecordChangesFail(*manager, number, 0);
        manager->v_AddResource(2, &data);
        EXPECT_NE(n_TakeCode(), 0u);
        manager->v_UpdateResource(1, &data);
        EXPECT_NE(n_TakeCode(), 0u);
        manager->v_DeleteResource(1);
        EXPECT_NE(n_TakeCode(), 0u);
        EXPECT_EQ(s_Get(*manager, number), s_Data(30, 1));
        manager->v_Close(1);
        errors->v_ClearError();
        EXPECT_EQ(s_Disk(), disk);
    }
}

TEST_F(RecordManager, CopiesAreIndependent) {
    auto manager = po_Create(8, 64, 4);
    CT_Buffer data = co_Buffer("first");
    manager->v_AddResource(1, &data);
    n_Add(*manager, s_Data(30, 1));
    manager->v_Close(0);

    // A copy of a closed object: same file, geometry, tables and counters.
    CT_RecordManager copy(*manager);
    FileTesting::TemporaryFile elsewhere;
    CT_WinFile otherFile(elsewhere.pcco_Name(), 16384);
    CT_RecordManager assigned(&otherFile);
    assigned = *manager;
    for (CT_RecordManager* target : {&copy, &assigned}) {
        EXPECT_EQ(target->n_GetBlockSize(), 64u);
        EXPECT_EQ(target->n_GetResourceKeyAt(1), 1u);
        v_Reopen(*target, CT_RecordManager::e_ModeReadWrite, 0);
        CT_Buffer more = co_Buffer("more");
        target->v_AddResource(target == &copy ? 2 : 3, &more);
        // The assigned object finds the copy's addition: the file's
        // counter moved, so it reads the table again.
        EXPECT_EQ(target->n_GetResourceCount(), target == &copy ? 2u : 3u);
        v_Close(*target, 1);
    }
    // The original's tables were not touched by its copies.
    EXPECT_EQ(manager->n_GetResourceCount(), 1u);
    EXPECT_EQ(manager->n_GetResourceKeyAt(2), 0xFFFFFFFFu);
    v_Reopen(*manager, CT_RecordManager::e_ModeRead, 0);
    EXPECT_EQ(manager->n_GetResourceCount(), 3u);  // both copies wrote to the same file
    manager->v_Close(1);
}
