// The logic shared by every file (lines, buffers, byte-order mark, wide
// text detection, direction switching, appending), run on each concrete
// file class.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Basis/String/StringTesting.h"

using FileTesting::TemporaryFile;
using FileTesting::s_Wide;
using StringTesting::Text;
using StringTesting::W;

namespace {

template <class File>
class FileLogic : public ::testing::Test {
protected:
    void TearDown() override { CT_ErrorManager::spco_Get()->v_ClearError(); }

    void v_OpenRead(File& file) { file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0); }

    // (text, result) pairs of one reader until it reports the end.
    template <class Reader>
    std::vector<std::pair<std::string, unsigned>> ao_Lines(TemporaryFile const& temp, Reader read, bool sequential) {
        File file(temp.pcco_Name(), 4096);
        v_OpenRead(file);
        std::vector<std::pair<std::string, unsigned>> lines;
        CT_CString line(static_cast<unsigned>(0));
        for (unsigned guard = 0; guard < 100000; ++guard) {
            unsigned result = read(file, line);
            if (result == 0) {
                if (sequential && line.n_GetLength()) lines.emplace_back(line.qccz_Get(), 0u);
                break;
            }
            lines.emplace_back(std::string(line.qccz_Get(), line.n_GetLength()), result);
        }
        EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
        return lines;
    }

    std::vector<std::pair<std::u16string, unsigned>> ao_WideLines(TemporaryFile const& temp, bool sequential) {
        File file(temp.pcco_Name(), 4096);
        v_OpenRead(file);
        std::vector<std::pair<std::u16string, unsigned>> lines;
        CT_UString line;
        for (unsigned guard = 0; guard < 100000; ++guard) {
            unsigned result = sequential ? file.n_ReadLineUSequential(&line, nullptr) : file.n_ReadLineU(&line, nullptr);
            if (result == 0) {
                if (sequential && line.n_GetLength()) lines.emplace_back(Text(line), 0u);
                break;
            }
            lines.emplace_back(Text(line), result);
        }
        EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
        return lines;
    }
};

unsigned n_Plain(CT_File& file, CT_CString& line) { return file.n_ReadLineC(&line, nullptr); }
unsigned n_Sequential(CT_File& file, CT_CString& line) { return file.n_ReadLineCSequential(&line, nullptr); }

typedef std::vector<std::pair<std::string, unsigned>> Lines;

}  // namespace

typedef ::testing::Types<CT_WinFile, CT_StdFile> FileClasses;
TYPED_TEST_SUITE(FileLogic, FileClasses);

TYPED_TEST(FileLogic, NarrowLineEndings) {
    TemporaryFile temp;
    temp.v_Write("a\r\nb");
    EXPECT_EQ(this->ao_Lines(temp, n_Plain, false), (Lines{{"a", 2}, {"b", 1}}));
    EXPECT_EQ(this->ao_Lines(temp, n_Sequential, true), (Lines{{"a", 2}, {"b", 0}}));
    temp.v_Write("\n");
    EXPECT_EQ(this->ao_Lines(temp, n_Plain, false), (Lines{{"", 1}}));
    EXPECT_EQ(this->ao_Lines(temp, n_Sequential, true), (Lines{{"", 1}}));
    // A lone CR inside a line stays; CR LF and LF both end lines.
    temp.v_Write("x\ry\r\n\r\nz\n");
    EXPECT_EQ(this->ao_Lines(temp, n_Plain, false), (Lines{{"x\ry", 4}, {"", 1}, {"z", 2}}));
    EXPECT_EQ(this->ao_Lines(temp, n_Sequential, true), (Lines{{"x\ry", 4}, {"", 1}, {"z", 2}}));
    temp.v_Write("");
    EXPECT_EQ(this->ao_Lines(temp, n_Plain, false), Lines{});
    EXPECT_EQ(this->ao_Lines(temp, n_Sequential, true), Lines{});

    // After the end, the plain reader keeps answering 0 with an empty line.
    temp.v_Write("only");
    TypeParam file(temp.pcco_Name(), 1024);
    this->v_OpenRead(file);
    CT_CString line(W(u"junk"), ~0u, 0);
    EXPECT_EQ(file.n_ReadLineC(&line, nullptr), 4u);
    EXPECT_EQ(file.n_ReadLineC(&line, nullptr), 0u);
    EXPECT_EQ(line.n_GetLength(), 0u);
    // Stripping comes after counting.
    file.vv_Close();
    temp.v_Write("  padded  \r\nnext");
    TypeParam padded(temp.pcco_Name(), 1024);
    this->v_OpenRead(padded);
    CT_UString wideLine;
    CT_CString blank(" ", ~0u, 0);
    EXPECT_EQ(padded.n_ReadLineC(&wideLine, &blank), 11u);
    EXPECT_EQ(Text(wideLine), u"padded");
    EXPECT_EQ(padded.n_ReadLineCSequential(&wideLine, &blank), 0u);
    EXPECT_EQ(Text(wideLine), u"next");
}

TYPED_TEST(FileLogic, LinesAcrossChunkBorders) {
    std::mt19937 random(7);
    std::string content;
    Lines expected;
    for (int i = 0; i < 400; ++i) {
        std::string text(random() % 700, 'a');
        for (char& c : text) c = static_cast<char>('a' + random() % 26);
        bool crlf = random() % 2;
        content += text + (crlf ? "\r\n" : "\n");
        expected.emplace_back(text, static_cast<unsigned>(text.size() + 1));
    }
    content += "unterminated";
    TemporaryFile temp;
    temp.v_Write(content);

    Lines plain = expected;
    plain.emplace_back("unterminated", 12u);
    EXPECT_EQ(this->ao_Lines(temp, n_Plain, false), plain);
    Lines sequential = expected;
    sequential.emplace_back("unterminated", 0u);
    EXPECT_EQ(this->ao_Lines(temp, n_Sequential, true), sequential);
    {
        // A copy the caller keeps shares the line's storage; reading the
        // next line into the line must leave the copy as it was.
        TypeParam file(temp.pcco_Name(), 4096);
        this->v_OpenRead(file);
        CT_CString line(static_cast<unsigned>(0));
        std::vector<CT_CString> kept;
        for (int i = 0; i < 20 && file.n_ReadLineCSequential(&line, nullptr); ++i) kept.push_back(line);
        for (std::size_t i = 0; i < kept.size(); ++i)
            EXPECT_EQ(std::string(kept[i].qccz_Get(), kept[i].n_GetLength()), expected[i].first);
    }

    // The same lines as UTF-16 with a byte-order mark, and without one.
    std::u16string wide;
    for (char c : content) wide.push_back(static_cast<char16_t>(static_cast<unsigned char>(c)));
    for (char16_t& c : wide) {
        if (c >= u'a' && c <= u'z') {
            c = u'\x3b1';  // a unit whose high byte is not zero
            break;
        }
    }
    std::vector<std::pair<std::u16string, unsigned>> wideExpected;
    std::size_t at = 0;
    for (auto const& entry : expected) {
        std::size_t end = wide.find(u'\n', at);
        std::u16string text = wide.substr(at, end - at);
        if (!text.empty() && text.back() == u'\r') text.pop_back();
        wideExpected.emplace_back(text, static_cast<unsigned>(entry.first.size() * 2 + 2));
        at = end + 1;
    }
    for (std::string mark : {std::string("\xFF\xFE"), std::string()}) {
        temp.v_Write(mark + s_Wide(wide));
        auto withLast = wideExpected;
        withLast.emplace_back(u"unterminated", 24u);
        EXPECT_EQ(this->ao_WideLines(temp, false), withLast);
        withLast.back().second = 0;
        EXPECT_EQ(this->ao_WideLines(temp, true), withLast);
    }
}

TYPED_TEST(FileLogic, CarriageReturnAtTheEndOfAChunkIsDropped) {
    TemporaryFile temp;
    std::size_t const zs = 4095 - 258;  // puts the second CR at index 4095
    temp.v_Write(std::string(255, 'x') + "\ry\n" + std::string(zs, 'z') + "\rw\n");
    Lines plain = this->ao_Lines(temp, n_Plain, false);
    ASSERT_EQ(plain.size(), 2u);
    EXPECT_EQ(plain[0].first, std::string(255, 'x') + "y");
    EXPECT_EQ(plain[0].second, 257u);
    // The sequential chunk is 4096 bytes: its last byte is the second CR.
    Lines sequential = this->ao_Lines(temp, n_Sequential, true);
    ASSERT_EQ(sequential.size(), 2u);
    EXPECT_EQ(sequential[0].first, std::string(255, 'x') + "\ry");
    EXPECT_EQ(sequential[1].first, std::string(zs, 'z') + "w");
    EXPECT_EQ(plain[1].first, std::string(zs, 'z') + "\rw");
}

TYPED_TEST(FileLogic, ByteOrderMarkAndWideDetection) {
    TemporaryFile temp;
    temp.v_Write("\xFF\xFE" + s_Wide(u"ab\r\ncd"));
    typedef std::vector<std::pair<std::u16string, unsigned>> WideLines;
    EXPECT_EQ(this->ao_WideLines(temp, false), (WideLines{{u"ab", 6}, {u"cd", 4}}));
    // A big-endian mark is not skipped: it is read as text.
    temp.v_Write("\xFE\xFF" + s_Wide(u"ab\n"));
    EXPECT_EQ(this->ao_WideLines(temp, false), (WideLines{{u"\xFFFE" u"ab", 8}}));

    TypeParam file(temp.pcco_Name(), 1024);
    for (auto const& [bytes, wide] : std::vector<std::pair<std::string, int>>{
             {"", 0}, {"abc", 0}, {s_Wide(u"plain English text in UTF-16 without a mark"), 1}}) {
        temp.v_Write(bytes);
        this->v_OpenRead(file);
        EXPECT_EQ(file.b_IsUnicode(), wide) << bytes;
        file.vv_Close();
    }
    // Asked past the start, it reads from the current offset, then goes
    // back to the start.
    temp.v_Write(std::string("\xFF\xFE" "a\0b\0", 6));
    this->v_OpenRead(file);
    unsigned char skip[3];
    file.vn_Read(skip, 3);
    file.b_IsUnicode();
    EXPECT_EQ(file.vn_GetOffset(), 0u);
    EXPECT_EQ(file.b_IsUnicode(), 1);
    EXPECT_EQ(file.vn_GetOffset(), 0u);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}

TYPED_TEST(FileLogic, WritingLinesAndBuffers) {
    TemporaryFile temp;
    {
        TypeParam file(temp.pcco_Name(), 1);
        EXPECT_EQ(file.n_GetBufferSize(), 1024u);
        file.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, 1, 0);
        ASSERT_TRUE(file.b_IsOpen());
        file.v_WriteLineC(nullptr, 1);
        CT_UString ab(W(u"ab"), ~0u);
        file.v_WriteLineU(&ab, 1);
        file.v_WriteLineC(&ab, 0);
        CT_Buffer buffer("xyz", 3, 16);
        EXPECT_EQ(file.n_Write(&buffer, 0xFFFFFFFFu), 3u);
        EXPECT_EQ(file.n_Write(&buffer, 0), 0u);
        CT_Buffer empty;
        EXPECT_EQ(file.n_Write(&empty, 0xFFFFFFFFu), 0u);
        file.vv_Close();
        EXPECT_FALSE(file.b_IsOpen());
    }
    EXPECT_EQ(temp.s_Read(), std::string("\r\na\0b\0\r\0\n\0abxyz", 15));

    TypeParam file(temp.pcco_Name(), 0);
    EXPECT_EQ(file.n_GetBufferSize(), 0u);
    file.vv_Set(temp.pcco_Name(), 1025);
    EXPECT_EQ(file.n_GetBufferSize(), 2048u);
    this->v_OpenRead(file);
    CT_Buffer in;
    EXPECT_EQ(file.n_Read(&in, 4), 4u);
    EXPECT_EQ(in.n_GetUsedSize(), 4u);
    EXPECT_EQ(file.n_Read(&in, 100), 11u);
    EXPECT_EQ(std::string(static_cast<char const*>(in.qcv_Get()), 11), std::string("b\0\r\0\n\0abxyz", 11));
    EXPECT_EQ(file.n_Read(&in, 100), 0u);
    EXPECT_NE(file.vb_IsEof(), 0);
    EXPECT_EQ(file.n_Read(&in, 0), 0u);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}

TYPED_TEST(FileLogic, SwitchingBetweenReadingAndWriting) {
    TemporaryFile temp;
    temp.v_Write("0123456789");
    TypeParam file(temp.pcco_Name(), 1024);
    file.vv_Open(CT_File::e_ReadWrite, CT_File::e_OpenExisting, CT_File::e_ShareNone, 1, 0);
    char bytes[4] = {0};
    EXPECT_EQ(file.vn_Read(bytes, 3), 3u);
    EXPECT_EQ(file.vn_Write("ab", 2), 2u);  // lands right after what was read
    EXPECT_EQ(file.vn_Read(bytes, 2), 2u);
    EXPECT_EQ(std::string(bytes, 2), "56");
    EXPECT_EQ(file.vn_GetOffset(), 7u);
    file.vv_Close();
    EXPECT_EQ(temp.s_Read(), "012ab56789");
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError());
}

TYPED_TEST(FileLogic, AppendingAFileAndNames) {
    TemporaryFile source, target;
    source.v_Write(std::string(70000, 's'));
    target.v_Write("head");
    TypeParam in(source.pcco_Name(), 1024), out(target.pcco_Name(), 1024);
    out.v_Append(&in, 4096);
    EXPECT_FALSE(CT_ErrorManager::spco_Get()->b_IsSetError())
        << CT_CString(CT_ErrorManager::spco_Get()->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get();
    EXPECT_FALSE(in.b_IsOpen());
    EXPECT_FALSE(out.b_IsOpen());
    EXPECT_EQ(target.s_Read(), "head" + std::string(70000, 's'));

    // A missing source stops at once and reports.
    TemporaryFile missing;
    missing.v_Delete();
    TypeParam none(missing.pcco_Name(), 1024);
    out.v_Append(&none, 4096);
    EXPECT_TRUE(CT_ErrorManager::spco_Get()->b_IsSetError());
    CT_ErrorManager::spco_Get()->v_ClearError();

    CT_UString name(W(u"C:\\dir\\base.txt"), ~0u);
    TypeParam named(&name, 0);
    CT_CString extension("md", ~0u, 0);
    named.v_SetExtension(&extension);
    EXPECT_EQ(Text(*named.pcco_GetFullName()), u"C:\\dir\\base.md");
    CT_UString other(W(u"/x/y"), ~0u);
    named.v_SetDirectory(&other);
    EXPECT_EQ(Text(*named.pcco_GetFullName()), u"C:/x/y\\base.md");
    TypeParam copy(&named);
    EXPECT_EQ(Text(*copy.pcco_GetFullName()), Text(*named.pcco_GetFullName()));
    EXPECT_FALSE(copy.b_IsOpen());
}

TYPED_TEST(FileLogic, RenameClosesAndTakesTheNewName) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    TemporaryFile from, to;
    to.v_Delete();
    from.v_Write("content");
    TypeParam file(from.pcco_Name(), 1024);
    // Windows refuses to rename a file that is open, so the file is closed
    // here; the rename still resets the buffer size.
    file.vv_Rename(to.pcco_Name());
    ASSERT_FALSE(errors->b_IsSetError()) << CT_CString(errors->qcuz_GetErrorMessage(), ~0u, 0).qccz_Get();
    EXPECT_FALSE(file.b_IsOpen());
    EXPECT_EQ(file.n_GetBufferSize(), 16384u);
    EXPECT_EQ(Text(*file.pcco_GetFullName()), Text(*to.pcco_Name()));
    EXPECT_FALSE(from.b_Exists());
    EXPECT_EQ(to.s_Read(), "content");
}
