#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Basis/String/StringTesting.h"
#include "Foundation/Platform/Process.h"

using FileTesting::TemporaryFile;
using StringTesting::Text;
using StringTesting::W;

namespace {

class WinFile : public ::testing::Test {
protected:
    void TearDown() override { errors->v_ClearError(); }

    std::string s_Message() const { return CT_CString(errors->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get(); }
    bool b_TakeError() { return n_TakeCode() != 0; }
    // The code of the pending error, cleared; 0 when none is pending.
    unsigned n_TakeCode() {
        unsigned code = errors->b_IsSetError() ? errors->n_GetErrorCode() : 0;
        if (code == 0 && errors->b_IsSetError()) code = ~0u;  // set, yet without a code
        errors->v_ClearError();
        return code;
    }

    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
};

// What the system reports when share modes refuse an opening or a copy:
// ERROR_SHARING_VIOLATION, and its stand-in on Linux.
#ifdef _WIN32
unsigned const n_SharingViolation = 32;
#else
unsigned const n_SharingViolation = EBUSY;
#endif

}  // namespace

TEST_F(WinFile, AppendModeAndOffsets) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    CT_WinFile file(temp.pcco_Name(), 16384);
    file.vv_Open(CT_File::e_Write, CT_File::e_OpenAppend, CT_File::e_ShareNone, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(file.vn_GetOffset(), 10u);
    EXPECT_NE(file.vb_IsEof(), 0);
    EXPECT_EQ(file.vn_Write("ab", 2), 2u);
    EXPECT_EQ(file.vn_GetOffset(), 12u);
    file.vv_SetOffset(CT_File::e_Current, -4);
    EXPECT_EQ(file.vn_GetOffset(), 8u);
    file.vv_SetOffset(CT_File::e_End, -1);
    EXPECT_EQ(file.vn_GetOffset(), 11u);
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "0123456789ab");
    EXPECT_EQ(file.vn_GetSize(), 12u);  // closed: opened and closed for the question
    EXPECT_FALSE(file.b_IsOpen());

    // Appending creates a missing file; an empty file is at its end at once.
    temp.v_Delete();
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenAppend, CT_File::e_ShareRead, 1, 0);
    EXPECT_TRUE(file.b_IsOpen());
    EXPECT_EQ(file.vn_GetOffset(), 0u);
    EXPECT_NE(file.vb_IsEof(), 0);
    file.vv_Close();
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, MappingGrowsInMebibytesAndIsCutBack) {
    TemporaryFile temp;
    temp.v_Write("abc");
    CT_WinFile file(temp.pcco_Name(), 16384);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0x08);
    file.v_CreateMap(0xFFFFF);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_TRUE(file.b_GetMapping());
    EXPECT_EQ(file.n_GetMapSize(), 0x100000u);
    EXPECT_EQ(file.vn_GetSize(), 0x100000u);  // a writable mapping lengthens the file
    EXPECT_EQ(std::string(static_cast<char const*>(file.pv_GetMapping()), 3), "abc");

    std::vector<char> big(0x100001, 'm');
    big.back() = 'z';
    EXPECT_EQ(file.vn_Write(big.data(), static_cast<unsigned>(big.size())), big.size());
    EXPECT_EQ(file.n_GetMapSize(), 0x200000u);
    EXPECT_EQ(file.vn_GetSize(), 0x200000u);
    EXPECT_EQ(file.vn_GetOffset(), 0x100001u);
    file.vv_SetOffset(CT_File::e_Begin, 0x100000);
    char last = 0;
    EXPECT_EQ(file.vn_Read(&last, 1), 1u);
    EXPECT_EQ(last, 'z');
    // Reads stop at the map, not at the data.
    file.vv_SetOffset(CT_File::e_Begin, 0x1FFFFE);
    char tail[8];
    EXPECT_EQ(file.vn_Read(tail, 8), 2u);
    EXPECT_EQ(file.vn_Read(tail, 8), 0u);
    file.vv_SetOffset(CT_File::e_Begin, 0x300000);
    EXPECT_EQ(file.vn_Read(tail, 8), 0u);
    // Growing again, the view keeps what was written before.
    file.vv_SetOffset(CT_File::e_Begin, 0x100001);
    EXPECT_EQ(file.vn_Write("end", 3), 3u);
    file.vv_SetOffset(CT_File::e_Begin, 0x1FFFFF);
    EXPECT_EQ(file.vn_Write("xy", 2), 2u);  // one byte past the view
    EXPECT_EQ(file.n_GetMapSize(), 0x300000u);
    EXPECT_EQ(file.vn_GetSize(), 0x300000u);
    char const* view = static_cast<char const*>(file.pv_GetMapping());
    EXPECT_EQ(view[0], 'm');
    EXPECT_EQ(std::string(view + 0x100000, 4), "zend");
    EXPECT_EQ(std::string(view + 0x1FFFFF, 2), "xy");
    file.v_FlushMap();
    file.v_CloseMap(0x100001);
    EXPECT_FALSE(file.b_GetMapping());
    file.vv_Close();
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    std::string content = temp.s_Read();
    ASSERT_EQ(content.size(), 0x100001u);
    EXPECT_EQ(content.back(), 'z');

    // Read-only: the map is the file, and closing never changes its length.
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    file.v_CreateMap(0xFFFFF);
    EXPECT_EQ(file.n_GetMapSize(), 0x100001u);
    file.vv_SetOffset(CT_File::e_Begin, 0x100000);
    EXPECT_EQ(file.vn_Read(tail, 8), 1u);
    file.v_CloseMap(5);
    file.vv_Close();
    EXPECT_EQ(temp.s_Read().size(), 0x100001u);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();

    // An empty file cannot be mapped read-only: the failure is reported.
    temp.v_Write("");
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    file.v_CreateMap(0xFFFFF);
    EXPECT_TRUE(b_TakeError());
    file.vv_Close();
    EXPECT_FALSE(file.b_IsOpen());
}

TEST_F(WinFile, MappingsAndWritesEndAt32Bits) {
    TemporaryFile temp;
    temp.v_Write("abc");
    CT_WinFile file(temp.pcco_Name(), 16384);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    // The next mebibyte step above 0xFFF00000 does not fit in 32 bits.
    file.v_CreateMap(0xFFF00001u);
    EXPECT_EQ(n_TakeCode(), 60021u);
    EXPECT_FALSE(file.b_GetMapping());
    EXPECT_EQ(file.vn_GetSize(), 3u);

    // A write whose end passes 2^32 is refused whole, mapped or not, and
    // the mapping stays as it was.
    file.v_CreateMap(0xFFFFF);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    for (int mapped = 1; mapped >= 0; --mapped) {
        if (!mapped) file.v_CloseMap(3);
        // A write first, so that the next one needs no change of direction
        // (whose reposition takes a signed offset).
        file.vv_SetOffset(CT_File::e_Begin, 0);
        EXPECT_EQ(file.vn_Write("a", 1), 1u);
        file.vv_SetOffset(CT_File::e_Begin, 0x7FFFFFFF);
        file.vv_SetOffset(CT_File::e_Current, 0x7FFFFFFF);
        ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
        ASSERT_EQ(file.vn_GetOffset(), 0xFFFFFFFEu);
        EXPECT_EQ(file.vn_Write("0123456789abcdef", 16), 0u) << mapped;
        EXPECT_EQ(n_TakeCode(), 60021u) << mapped;
        EXPECT_EQ(file.vn_GetOffset(), 0xFFFFFFFEu);
        EXPECT_EQ(file.b_GetMapping(), mapped);
        if (mapped) {
            EXPECT_EQ(file.n_GetMapSize(), 0x100000u);
        }
    }
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "abc");
}

TEST_F(WinFile, OverlappedHandleFinishesEachTransferBeforeReturning) {
    TemporaryFile temp;
    std::vector<char> data(4 << 20);
    for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7 + (i >> 12));
    CT_WinFile file(temp.pcco_Name(), 16384);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_CreateAlways, CT_File::e_ShareNone, 1, 0x02);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(file.vn_Write(data.data(), static_cast<unsigned>(data.size())), data.size());
    file.vv_SetOffset(CT_File::e_Begin, 0);
    std::vector<char> back(data.size() + 16);
    EXPECT_EQ(file.vn_Read(back.data(), static_cast<unsigned>(back.size())), data.size());
    back.resize(data.size());
    EXPECT_TRUE(back == data);
    EXPECT_EQ(file.vn_Read(back.data(), 16), 0u);  // at the end
    file.vv_Close();
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(temp.s_Read().size(), data.size());
}

TEST_F(WinFile, FailuresReportTheSystemErrorAndTheName) {
    TemporaryFile temp;
    temp.v_Delete();
    CT_WinFile file(temp.pcco_Name(), 16384);
    file.vv_Remove();
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_EQ(errors->n_GetErrorCode(), 2u);  // ENOENT and ERROR_FILE_NOT_FOUND alike
    EXPECT_NE(s_Message().find(temp.s_Narrow()), std::string::npos) << s_Message();
    ASSERT_GE(errors->n_GetLocationCount(), 1u);
    EXPECT_STREQ(errors->qccz_GetLocationFileAt(1), "Foundation/Basis/FILE/WinFile");
    errors->v_ClearError();

    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    EXPECT_TRUE(b_TakeError());
    EXPECT_FALSE(file.b_IsOpen());
    EXPECT_FALSE(temp.b_Exists());  // a failed open creates nothing
    EXPECT_EQ(file.vn_GetSize(), 0u);
    EXPECT_TRUE(b_TakeError());
    EXPECT_EQ(file.n_GetAttributes(), 0xFFFFFFFFu);
    EXPECT_TRUE(b_TakeError());
}

TEST_F(WinFile, RenameOntoAFileAndCopy) {
    TemporaryFile from, to, copy;
    copy.v_Delete();
    to.v_Write("content");
    CT_WinFile file(to.pcco_Name(), 1024);

    // An existing target refuses the rename; both names are in the message.
    from.v_Write("other");
    CT_WinFile back(from.pcco_Name(), 1024);
    back.vv_Rename(to.pcco_Name());
    ASSERT_TRUE(errors->b_IsSetError());
    EXPECT_NE(s_Message().find(from.s_Narrow() + " : " + to.s_Narrow()), std::string::npos) << s_Message();
    errors->v_ClearError();
    EXPECT_EQ(to.s_Read(), "content");
    EXPECT_EQ(from.s_Read(), "other");

    // Copying keeps the content and the read-only attribute, and replaces.
    file.v_SetAttributes(0x01);
    EXPECT_NE(file.n_GetAttributes() & 0x01u, 0u);
    file.v_CopyFile(copy.pcco_Name());
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(copy.s_Read(), "content");
    CT_WinFile copied(copy.pcco_Name(), 1024);
    EXPECT_NE(copied.n_GetAttributes() & 0x01u, 0u);
    // Read-only refuses writers, unless the system lets this user write
    // anyway (the superuser on Linux).
    FILE* probe = std::fopen(copy.s_Narrow().c_str(), "r+");
    bool enforced = probe == nullptr;
    if (probe) std::fclose(probe);
    copied.vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    EXPECT_EQ(b_TakeError(), enforced);
    copied.vv_Close();
    copied.v_SetAttributes(0x80);
    EXPECT_EQ(copied.n_GetAttributes() & 0x01u, 0u);
    CT_WinFile source(from.pcco_Name(), 1024);
    source.v_CopyFile(copy.pcco_Name());
    EXPECT_EQ(copy.s_Read(), "other");
    file.v_SetAttributes(0x80);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, CopyRefusesTheSameFileAndOpeningsThatDoNotShare) {
    TemporaryFile source, target;
    source.v_Write("source");
    target.v_Write("target");
    CT_WinFile file(source.pcco_Name(), 1024);
    auto refused = [&](CT_String const* to) {
        file.v_CopyFile(to);
        return n_TakeCode() == n_SharingViolation;
    };

    // Onto itself, by its own name or by another spelling of it: refused,
    // and the file keeps its content.
    EXPECT_TRUE(refused(source.pcco_Name()));
    CT_UString drive, directory, name, extension, other;
    CT_FileSystem::sv_SplitPath(source.pcco_Name(), &drive, &directory, &name, &extension);
    directory.v_Append(W(u"."), ~0u);
    CT_FileSystem::sv_MakePath(&other, &drive, &directory, &name, &extension);
    EXPECT_TRUE(refused(&other)) << CT_CString(&other, 0).qccz_Get();
    EXPECT_EQ(source.s_Read(), "source");

    // A target held by a writer of a record file (mapped, sharing nothing)
    // or by a reader that does not share writing is left alone.
    CT_WinFile holder(target.pcco_Name(), 1024);
    holder.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0x08);
    holder.v_CreateMap(0xFFFFF);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_TRUE(refused(target.pcco_Name()));
    EXPECT_EQ(holder.vn_GetSize(), 0x100000u);
    EXPECT_EQ(std::string(static_cast<char const*>(holder.pv_GetMapping()), 6), "target");
    holder.v_CloseMap(6);
    holder.vv_Close();
    holder.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    EXPECT_TRUE(refused(target.pcco_Name()));
    holder.vv_Close();
    EXPECT_EQ(target.s_Read(), "target");
    // A reader that shares writing lets the copy in.
    holder.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    file.v_CopyFile(target.pcco_Name());
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    holder.vv_Close();
    EXPECT_EQ(target.s_Read(), "source");

    // The source is read sharing reading and writing: a writer that shares
    // reading lets the copy read, an opening that keeps readers out not.
    target.v_Write("target");
    holder.vv_Set(source.pcco_Name(), 1024);
    holder.vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    file.v_CopyFile(target.pcco_Name());
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    holder.vv_Close();
    EXPECT_EQ(target.s_Read(), "source");
    target.v_Write("target");
    holder.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    EXPECT_TRUE(refused(target.pcco_Name()));
    holder.vv_Close();
    EXPECT_EQ(target.s_Read(), "target");
}

// Every pair of openings of one file, by access and share mode, against
// the rule Windows applies: an opening that reads or writes is refused
// when it reads (writes) and an earlier one does not share reading
// (writing), or when an earlier one reads (writes) and it does not share
// reading (writing). An opening with no access takes part in no check.
TEST_F(WinFile, ShareModesFollowTheWindowsRuleBothWays) {
    TemporaryFile temp;
    temp.v_Write("matrix");
    std::string wrong;
    for (unsigned firstAccess = 0; firstAccess < 4; ++firstAccess)
        for (unsigned firstShare = 0; firstShare < 4; ++firstShare)
            for (unsigned access = 0; access < 4; ++access)
                for (unsigned share = 0; share < 4; ++share) {
                    bool conflict = firstAccess != 0 && access != 0 &&
                                    (((access & 1) && !(firstShare & 1)) || ((access & 2) && !(firstShare & 2)) ||
                                     ((firstAccess & 1) && !(share & 1)) || ((firstAccess & 2) && !(share & 2)));
                    CT_WinFile first(temp.pcco_Name(), 1024), second(temp.pcco_Name(), 1024);
                    first.vv_Open(static_cast<CT_File::et_Access>(firstAccess), CT_File::e_OpenExisting,
                                  static_cast<CT_File::et_Share>(firstShare), 1, 0);
                    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
                    second.vv_Open(static_cast<CT_File::et_Access>(access), CT_File::e_OpenExisting,
                                   static_cast<CT_File::et_Share>(share), 1, 0);
                    if (n_TakeCode() != (conflict ? n_SharingViolation : 0)) {
                        char const pair[] = {' ', static_cast<char>('0' + firstAccess), static_cast<char>('0' + firstShare),
                                             '/', static_cast<char>('0' + access), static_cast<char>('0' + share), 0};
                        wrong += pair;
                    }
                }
    EXPECT_EQ(wrong, "") << "first access and share / second access and share";
    EXPECT_EQ(temp.s_Read(), "matrix");
}

// What a pair of openings cannot show: a refused create-always opening
// truncates nothing, and a writer stays out until the last of two readers
// that share only reading is closed.
TEST_F(WinFile, ShareModesBetweenSeveralHandles) {
    TemporaryFile temp;
    temp.v_Write("keep");
    CT_WinFile first(temp.pcco_Name(), 1024), second(temp.pcco_Name(), 1024), writer(temp.pcco_Name(), 1024);
    first.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    ASSERT_TRUE(first.b_IsOpen());
    writer.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareReadWrite, 1, 0);
    EXPECT_EQ(n_TakeCode(), n_SharingViolation);
    EXPECT_FALSE(writer.b_IsOpen());
    first.vv_Close();
    EXPECT_EQ(temp.s_Read(), "keep");

    first.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    second.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    first.vv_Close();
    writer.vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    EXPECT_EQ(n_TakeCode(), n_SharingViolation);
    second.vv_Close();
    writer.vv_Open(CT_File::e_Write, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, ByteRangeLocksBetweenHandles) {
    TemporaryFile temp;
    temp.v_Write(std::string(100, 'x'));
    CT_WinFile first(temp.pcco_Name(), 1024), second(temp.pcco_Name(), 1024);
    first.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    second.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    first.v_LockFile(10, 20);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    second.v_LockFile(25, 10);  // overlaps 25..29: refused at once
    EXPECT_TRUE(b_TakeError());
    second.v_LockFile(30, 10);  // beside it: fine
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    second.v_UnlockFile(0, 5);  // never locked
    EXPECT_TRUE(b_TakeError());
    first.v_UnlockFile(10, 20);
    second.v_LockFile(25, 5);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    // Locks end with the handle.
    second.vv_Close();
    first.v_LockFile(0, 100);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();

    CT_WinFile::st_FileInformation information;
    first.v_GetFileInfo(&information);
    EXPECT_EQ(information.n4_SizeLow, 100u);
    EXPECT_GE(information.n4_Links, 1u);
    first.vv_Close();

    // A lock is exclusive on handles open for reading only too, against
    // each other and against writers, both ways.
    CT_WinFile reader(temp.pcco_Name(), 1024), otherReader(temp.pcco_Name(), 1024);
    reader.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    otherReader.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    first.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, 1, 0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    reader.v_LockFile(0, 10);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    otherReader.v_LockFile(5, 10);
    EXPECT_TRUE(b_TakeError()) << "two read-only handles must not lock the same bytes";
    first.v_LockFile(9, 1);
    EXPECT_TRUE(b_TakeError()) << "a read-only handle's lock keeps writers out";
    first.v_LockFile(10, 10);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    otherReader.v_LockFile(15, 1);
    EXPECT_TRUE(b_TakeError()) << "a writer's lock keeps read-only handles out";
    otherReader.v_LockFile(20, 5);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    reader.v_UnlockFile(0, 10);
    otherReader.v_LockFile(5, 5);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, SetEndOfFileAndAssignment) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    CT_WinFile file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    file.vv_SetOffset(CT_File::e_Begin, 4);
    file.v_SetEndOfFile();
    EXPECT_EQ(file.vn_GetSize(), 4u);
    file.vv_SetOffset(CT_File::e_Begin, 6);
    file.v_SetEndOfFile();
    EXPECT_EQ(file.vn_GetSize(), 6u);
    // An assigned copy takes the name, never the handle.
    CT_WinFile copy;
    copy = file;
    EXPECT_FALSE(copy.b_IsOpen());
    EXPECT_EQ(copy.h_GetHandle(), nullptr);
    EXPECT_EQ(Text(*copy.pcco_GetFullName()), Text(*file.pcco_GetFullName()));
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), std::string("0123\0\0", 6));
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, FailedWriteKeepsTheBytesBeforeIt) {
    TemporaryFile temp;
    temp.v_Write("before");
    CT_WinFile file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    EXPECT_EQ(file.vn_Write("more", 4), 0u);  // a handle opened for reading
    ASSERT_TRUE(errors->b_IsSetError());
    unsigned code = errors->n_GetErrorCode();
    std::string message = s_Message();
    EXPECT_NE(code, 0u);
    EXPECT_NE(message.find(temp.s_Narrow()), std::string::npos) << message;
    errors->v_ClearError();

    // Through a read-only view the write fails the same way and writes
    // nothing, inside the view and beyond it alike.
    file.v_CreateMap(0xFFFFF);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    for (int at : {2, 4096}) {
        file.vv_SetOffset(CT_File::e_Begin, at);
        EXPECT_EQ(file.vn_Write("more", 4), 0u);
        ASSERT_TRUE(errors->b_IsSetError()) << at;
        EXPECT_EQ(errors->n_GetErrorCode(), code);
        EXPECT_EQ(s_Message(), message);
        ASSERT_GE(errors->n_GetLocationCount(), 1u);
        EXPECT_STREQ(errors->qccz_GetLocationFileAt(1), "Foundation/Basis/FILE/WinFile");
        errors->v_ClearError();
        EXPECT_EQ(file.vn_GetOffset(), static_cast<unsigned>(at));
    }
    EXPECT_EQ(std::string(static_cast<char const*>(file.pv_GetMapping()), 6), "before");
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "before");
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, MovesAreTheObjectsOwnMappedOrNot) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    CT_WinFile file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0x08);
    // A move is the object's offset alone: the handle stays put, and the
    // read goes where the object stands.
    file.vv_SetOffset(CT_File::e_Begin, 6);
    file.vv_SetOffset(CT_File::e_Current, -1);
    EXPECT_EQ(Platform::n_SetFilePointer(file.h_GetHandle(), 0, 1), 0u);
    char byte = 0;
    EXPECT_EQ(file.vn_Read(&byte, 1), 1u);
    EXPECT_EQ(byte, '5');
    file.vv_SetOffset(CT_File::e_Begin, 0);

    file.v_CreateMap(0xFFFFF);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    Platform::n_SetFilePointer(file.h_GetHandle(), 0, 0);
    file.vv_SetOffset(CT_File::e_Begin, 3);
    file.vv_SetOffset(CT_File::e_Current, 2);
    file.vv_SetOffset(CT_File::e_Current, -1);
    EXPECT_EQ(file.vn_GetOffset(), 4u);
    EXPECT_EQ(Platform::n_SetFilePointer(file.h_GetHandle(), 0, 1), 0u);
    EXPECT_EQ(file.vn_Write("X", 1), 1u);
    EXPECT_EQ(file.vn_Read(&byte, 1), 1u);
    EXPECT_EQ(byte, '5');
    EXPECT_EQ(file.vn_GetOffset(), 6u);
    EXPECT_EQ(file.vb_IsEof(), 0);

    // A move before the start fails as unmapped and keeps the offset.
    TemporaryFile other;
    CT_WinFile unmapped(other.pcco_Name(), 1024);
    unmapped.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    unmapped.vv_SetOffset(CT_File::e_Current, -7);
    unsigned code = n_TakeCode();
    EXPECT_NE(code, 0u);
    unmapped.vv_Close();
    file.vv_SetOffset(CT_File::e_Current, -7);
    EXPECT_EQ(n_TakeCode(), code);
    EXPECT_EQ(file.vn_GetOffset(), 6u);
    file.vv_SetOffset(CT_File::e_End, -2);
    EXPECT_EQ(file.vn_GetOffset(), 0x100000u - 2);  // the mapping lengthened the file

    // Unmapped, reads and writes go on at the object's offset.
    file.vv_SetOffset(CT_File::e_Begin, 7);
    file.v_CloseMap(0);
    ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(file.vn_Read(&byte, 1), 1u);
    EXPECT_EQ(byte, '7');
    EXPECT_EQ(file.vn_Write("Y", 1), 1u);
    EXPECT_EQ(file.vn_GetOffset(), 9u);

    // Closing the view with a length cuts the file there and moves the
    // offset to it; the end is then set where the object stands.
    file.v_CreateMap(0xFFFFF);
    file.vv_SetOffset(CT_File::e_Begin, 2);
    EXPECT_EQ(file.vn_Write("Z", 1), 1u);
    file.v_CloseMap(10);
    EXPECT_EQ(file.vn_GetOffset(), 10u);
    file.vv_SetOffset(CT_File::e_Begin, 9);
    file.v_SetEndOfFile();
    file.vv_Close();
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
    EXPECT_EQ(temp.s_Read(), "01Z3X567Y");
    // A closed file has no offset to move.
    file.vv_SetOffset(CT_File::e_Begin, 3);
    EXPECT_TRUE(b_TakeError());
    EXPECT_EQ(file.vn_GetOffset(), 0u);
}

// ---- between processes --------------------------------------------------

namespace {

// The job is its kind (0 hold an exclusive opening, 1 hold a range lock,
// 2 write past a size limit, 3 hold a reader that shares only reading,
// 4 hold a range lock of a read-only handle), a space and the file's name.
std::string s_ChildJob(int what, TemporaryFile const& file) { return std::to_string(what) + " " + file.s_Narrow(); }

// A program that cannot copy itself starts a fresh instance running only
// this helper test.
char const pcc_ChildArguments[] = "--gtest_filter=WinFileChild.RunsTheJobOfAnotherProcess";

int i_ChildBody(char const* job, void* channel) {
    int what = job[0] - '0';
    CT_UString name(job + 2, ~0u, 0);
    CT_WinFile file(&name, 1024);
    if (what == 2) {
        if (!Platform::b_LimitFileSize(10)) return 3;
        file.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, 1, 0);
        unsigned written = file.vn_Write("0123456789abcdef", 16);
        int failed = CT_ErrorManager::spco_Get()->b_IsSetError();
        unsigned code = CT_ErrorManager::spco_Get()->n_GetErrorCode();
        CT_ErrorManager::spco_Get()->v_ClearError();
        file.vv_Close();
        return written == 0 && failed && code != 0 ? 0 : 4;
    }
    if (what == 0) file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    else if (what == 3) file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
    else {
        file.vv_Open(what == 4 ? CT_File::e_Read : CT_File::e_ReadWrite, CT_File::e_OpenExisting,
                     CT_File::e_ShareReadWrite, 1, 0);
        file.v_LockFile(0, 50);
    }
    if (CT_ErrorManager::spco_Get()->b_IsSetError()) return 1;
    Platform::b_SignalPeer(channel);   // holding
    Platform::b_WaitForPeer(channel);  // until the parent has tried
    file.vv_Close();
    return 0;
}

}  // namespace

TEST_F(WinFile, ShareModeAndLockExcludeAnotherProcess) {
    TemporaryFile temp;
    temp.v_Write(std::string(100, 'p'));
    for (int what : {0, 1, 3, 4}) {
        std::string job = s_ChildJob(what, temp);
        void* child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
        if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        CT_WinFile file(temp.pcco_Name(), 1024);
        file.vv_Open(what == 4 ? CT_File::e_Read : CT_File::e_ReadWrite, CT_File::e_OpenExisting,
                     CT_File::e_ShareReadWrite, 1, 0);
        if (what == 0) {
            EXPECT_TRUE(b_TakeError()) << "the other process's exclusive opening must refuse this one";
        } else if (what == 3) {
            EXPECT_TRUE(b_TakeError()) << "the other process's reader does not share writing";
            file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, 1, 0);
            EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
            file.vv_Close();
        } else {
            ASSERT_FALSE(errors->b_IsSetError()) << s_Message();
            file.v_LockFile(40, 20);
            EXPECT_TRUE(b_TakeError()) << "the other process's lock must refuse this one at once";
            file.v_LockFile(50, 20);
            EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
            file.vv_Close();
        }
        Platform::b_SignalPeer(child);
        EXPECT_EQ(Platform::i_WaitForChild(child), 0);
    }
    // Once the other process is gone, the file opens exclusively.
    CT_WinFile file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    EXPECT_FALSE(errors->b_IsSetError()) << s_Message();
}

TEST_F(WinFile, WriteBeyondAFileSizeLimitFailsAndKeepsWhatWasWritten) {
    TemporaryFile temp;
    std::string job = s_ChildJob(2, temp);
    void* child = Platform::h_StartChild(&i_ChildBody, job.c_str(), pcc_ChildArguments);
    if (child == nullptr) GTEST_SKIP() << "no second process on this platform";
    int code = Platform::i_WaitForChild(child);
    if (code == 3) GTEST_SKIP() << "no limit on the size of files on this platform";
    EXPECT_EQ(code, 0);
    EXPECT_EQ(temp.s_Read(), "0123456789");
}

// Runs only in a program started by h_StartChild where the system cannot
// copy a running process; never returns there.
TEST(WinFileChild, RunsTheJobOfAnotherProcess) {
    char const* value = std::getenv(Platform::pcc_ChildVariable);
    if (value == nullptr) GTEST_SKIP() << "only the helper of another process";
    Platform::v_RunChild(&i_ChildBody, value);
}
