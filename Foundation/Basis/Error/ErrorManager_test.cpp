#include "Foundation/Basis/Error/ErrorManager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <clocale>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "Foundation/Basis/Error/StringTable.h"
#include "Foundation/Platform/Resource.h"
#include "Foundation/Platform/SystemError.h"
#include "Foundation/Platform/Thread.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {

std::u16string s_Wide(unsigned short const* text) {
    std::u16string out;
    while (*text) out.push_back(static_cast<char16_t>(*text++));
    return out;
}

// Wide text literals for the wide interfaces.
struct Wide {
    explicit Wide(char16_t const* text) {
        while (*text) units.push_back(static_cast<unsigned short>(*text++));
        units.push_back(0);
    }
    operator unsigned short const*() const { return units.data(); }
    std::vector<unsigned short> units;
};

// Every test starts and ends with no error on its thread.
class ErrorManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        errors = CT_ErrorManager::spco_Get();
        ASSERT_NE(errors, nullptr);
        while (errors->b_IsSetError() || errors->b_IsHoldError() || errors->n_GetErrorCode()) errors->v_ClearError();
    }
    void TearDown() override {
        while (errors->b_IsSetError() || errors->b_IsHoldError() || errors->n_GetErrorCode()) errors->v_ClearError();
        EXPECT_EQ(errors->n_GetFreeRecords(), 20u);
        EXPECT_EQ(errors->n_GetFreeLocations(), 100u);
    }
    CT_ErrorManager* errors = nullptr;
};

TEST_F(ErrorManagerTest, LibraryMessagesAndTheFirstErrorStays) {
    errors->v_SetError(60006, nullptr, 60006);
    EXPECT_TRUE(errors->b_IsSetError());
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(60006): Out of memory");
    EXPECT_EQ(errors->n_GetFormatID(), 60006u);
    // A second error changes nothing.
    errors->v_SetError(60021, nullptr, 60021);
    EXPECT_EQ(errors->n_GetErrorCode(), 60006u);
    errors->v_ClearError();
    EXPECT_FALSE(errors->b_IsSetError());

    // Formats with arguments: wide strings for %s, as the wide runtime reads them.
    errors->v_SetError(60003, nullptr, 60003, Wide(u"words.dat").units.data(), Wide(u"ReadFile").units.data(), 5u);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(60003): File \"words.dat\": ReadFile returned error 5");
    errors->v_ClearError();

    // Every table entry is there, with its exact text.
    for (unsigned i = 0; i < StringTable::sn_GetCount(); ++i) {
        unsigned short text[256];
        unsigned length = Platform::n_LoadStringW(CT_ErrorManager::sh_GetInstance(), StringTable::spcso_Get()[i].n_Id,
                                                  text, 256);
        std::string narrow(StringTable::spcso_Get()[i].qccz_Text);
        ASSERT_EQ(length, narrow.size()) << StringTable::spcso_Get()[i].n_Id;
        EXPECT_EQ(s_Wide(text), std::u16string(narrow.begin(), narrow.end()));
    }
    // A format id the library does not hold: an empty text behind the prefix.
    errors->v_SetError(7, nullptr, 60002);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(7): ");
    errors->v_ClearError();

    // A direct wide format.
    errors->v_SetError(42, Wide(u"bad %s at %d"), Wide(u"entry").units.data(), 3);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(42): bad entry at 3");
    EXPECT_EQ(errors->n_GetFormatID(), 0u);
}

TEST_F(ErrorManagerTest, HoldIgnoreAndClear) {
    errors->v_SetError(60021, nullptr, 60021);
    errors->v_HoldError();
    EXPECT_FALSE(errors->b_IsSetError());
    EXPECT_TRUE(errors->b_IsHoldError());
    EXPECT_EQ(errors->n_GetErrorCode(), 60021u);
    // A new error replaces the held one.
    errors->v_SetError(60006, nullptr, 60006);
    EXPECT_TRUE(errors->b_IsSetError());
    EXPECT_FALSE(errors->b_IsHoldError());
    EXPECT_EQ(errors->n_GetErrorCode(), 60006u);
    EXPECT_EQ(errors->n_GetFreeRecords(), 19u);
    // Ignored: no longer set, but still blocks a new one.
    errors->v_SetIgnoreError(1);
    EXPECT_FALSE(errors->b_IsSetError());
    errors->v_SetError(60021, nullptr, 60021);
    EXPECT_EQ(errors->n_GetErrorCode(), 60006u);
    errors->v_ClearError();
    EXPECT_EQ(errors->n_GetErrorCode(), 0u);
    // A held error is cleared when there is no active one; a new error
    // destroys it anyway.
    errors->v_SetError(1, Wide(u"held"));
    errors->v_HoldError();
    errors->v_ClearError();
    EXPECT_FALSE(errors->b_IsHoldError());
    errors->v_SetError(1, Wide(u"held"));
    errors->v_HoldError();
    errors->v_SetMessageError("plain %d", 7);
    EXPECT_FALSE(errors->b_IsHoldError());
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"plain 7");  // no code prefix
    EXPECT_EQ(errors->n_GetErrorCode(), 0u);
    errors->v_ClearError();
    EXPECT_FALSE(errors->b_IsSetError());
    // Reads and changes without an error are harmless.
    EXPECT_EQ(errors->n_GetLocationCount(), 0u);
    EXPECT_EQ(errors->qccz_GetLocationFileAt(1), nullptr);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"");
    errors->v_HoldError();
    errors->v_SetIgnoreError(1);
    errors->v_AddLocation("Foundation/Basis/File/File", 1);
    EXPECT_EQ(errors->n_GetFreeLocations(), 100u);
}

TEST_F(ErrorManagerTest, LocationChainAndItsLimit) {
    errors->v_SetError(60021, nullptr, 60021);
    errors->v_AddLocation("Foundation/Basis/Output/Output", 10);
    errors->v_AddLocation("Foundation/Basis/File/File", 20);
    ASSERT_EQ(errors->n_GetLocationCount(), 2u);
    EXPECT_STREQ(errors->qccz_GetLocationFileAt(1), "Foundation/Basis/Output/Output");
    EXPECT_EQ(errors->n_GetLocationLineAt(2), 20u);
    EXPECT_EQ(errors->qccz_GetLocationFileAt(3), nullptr);
    for (unsigned i = 0; i < 150; ++i) errors->v_AddLocation("x", i);
    EXPECT_EQ(errors->n_GetLocationCount(), 100u);
    EXPECT_EQ(errors->n_GetLocationLineAt(100), 97u);
    EXPECT_EQ(errors->n_GetFreeLocations(), 0u);
    errors->v_ClearError();
    EXPECT_EQ(errors->n_GetFreeLocations(), 100u);
}

TEST_F(ErrorManagerTest, SystemErrorsAreFolded) {
    unsigned short expected[1024];
    Platform::n_GetSystemMessageW(5, expected, 1024);
    std::u16string text = s_Wide(expected);
    while (!text.empty() && (text.back() == u'\r' || text.back() == u'\n')) text.pop_back();
    Platform::v_SetLastError(5);
    errors->v_SetSystemError();
    EXPECT_EQ(errors->n_GetErrorCode(), 5u);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(5): " + text);
    EXPECT_EQ(Platform::n_GetLastError(), 0u);
    errors->v_ClearError();

    Platform::v_SetLastError(5);
    errors->v_SetSystemError(Wide(u"%s"), Wide(u"CreateFile").units.data());
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(5): " + text + u" [CreateFile]");
    errors->v_ClearError();

    // The folding itself, through a mapping function that supplies a
    // system-like text is not possible (system texts come from the
    // system); check it on a message with inner line ends instead.
    Platform::v_SetLastError(2);
    errors->v_SetSystemErrorName("OpenFile");
    std::u16string message = s_Wide(errors->qcuz_GetErrorMessage());
    EXPECT_EQ(message.find(u'\r'), std::u16string::npos);
    EXPECT_EQ(message.find(u'\n'), std::u16string::npos);
    EXPECT_EQ(message.substr(message.size() - 11), u" [OpenFile]");
}

int i_Mapper(unsigned short* message, unsigned size, unsigned code, unsigned formatId, va_list args) {
    EXPECT_EQ(size, 2048u);
    if (code != 99) return 0;
    int value = va_arg(args, int);
    std::u16string text = u"mapped " + std::u16string(1, static_cast<char16_t>(u'0' + value)) + u" id " +
                          std::u16string(1, static_cast<char16_t>(u'0' + formatId % 10));
    for (std::size_t i = 0; i <= text.size(); ++i) message[i] = i < text.size() ? text[i] : 0;
    return 1;
}

TEST_F(ErrorManagerTest, MappingFunctionsPerThread) {
    unsigned self = Platform::n_GetCurrentThreadId();
    errors->v_SetMapFunction(&i_Mapper, self);
    errors->v_SetError(99, nullptr, 60003, 4);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(99): mapped 4 id 3");
    errors->v_ClearError();
    // A code the mapper declines goes to the resource format.
    errors->v_SetError(60006, nullptr, 60006);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(60006): Out of memory");
    errors->v_ClearError();
    // Another thread does not use this thread's mapper.
    std::thread other([this] {
        errors->v_SetError(99, nullptr, 60006);
        EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(99): Out of memory");
        errors->v_ClearError();
    });
    other.join();
    errors->v_RemoveMapFunction(self);
    errors->v_SetError(99, nullptr, 60006);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"(99): Out of memory");
}

std::u16string s_BoxText, s_BoxCaption;
unsigned n_BoxStyle = 0;
int i_CaptureBox(unsigned short const* text, unsigned short const* caption, unsigned style) {
    s_BoxText = s_Wide(text);
    s_BoxCaption = s_Wide(caption);
    n_BoxStyle = style;
    return 1;
}

TEST_F(ErrorManagerTest, LocationWindowText) {
    Platform::pf_MessageBoxHook previous = Platform::pf_SetMessageBoxHook(&i_CaptureBox);
    EXPECT_EQ(errors->i_ErrorLocationWindow(60000, nullptr, 0), 0);  // no error: no box
    errors->v_SetError(60021, nullptr, 60021);
    errors->v_AddLocation("C:\\src\\Foundation\\Basis\\File\\File", 12);
    errors->v_AddLocation("Foundation/Database/RecordManager/RecordManager", 345);
    errors->v_AddLocation("Bare", 7);
    EXPECT_EQ(errors->i_ErrorLocationWindow(60000, nullptr, 0x30), 1);
    EXPECT_EQ(s_BoxCaption, u"Error Stack");
    EXPECT_EQ(s_BoxText, u"(60021): Limits violated\n\nFile: line 12\nRecordManager: line 345\n(unknown file): line 7");
    EXPECT_EQ(n_BoxStyle, 0x10030u);
    errors->v_ClearError();
    // No locations: no line breaks after the message; a given title wins.
    errors->v_SetError(60006, nullptr, 60006);
    errors->i_ErrorLocationWindow(60000, Wide(u"Mine"), 0);
    EXPECT_EQ(s_BoxCaption, u"Mine");
    EXPECT_EQ(s_BoxText, u"(60006): Out of memory");
    errors->v_ClearError();
    Platform::pf_SetMessageBoxHook(previous);
}

// The window's caption and location names may be as long as their caller
// likes: they are cut to the one message buffer, never written past it.
TEST_F(ErrorManagerTest, LocationWindowKeepsLongTextsInItsBuffer) {
    Platform::pf_MessageBoxHook previous = Platform::pf_SetMessageBoxHook(&i_CaptureBox);
    std::string longName(300, 'n');
    std::string path = "C:\\src\\" + longName;
    errors->v_SetError(60021, nullptr, 60021);
    errors->v_AddLocation(path.c_str(), 9);
    errors->v_AddLocation("Foundation/Basis/File/File", 10);
    errors->i_ErrorLocationWindow(60000, nullptr, 0);
    EXPECT_EQ(s_BoxCaption, u"Error Stack");
    EXPECT_EQ(s_BoxText, u"(60021): Limits violated\n\n" + std::u16string(300, u'n') + u": line 9\nFile: line 10");
    // A caption that leaves the text some room, and captions that fill the
    // buffer or run past it: the text gets what is left, down to nothing.
    for (unsigned length : {1000u, 1022u, 1023u, 1024u, 1500u}) {
        std::vector<unsigned short> title(length, 'T');
        title.push_back(0);
        EXPECT_EQ(errors->i_ErrorLocationWindow(0, title.data(), 0), 1);
        unsigned caption = length < 1022u ? length : 1022u;
        EXPECT_EQ(s_BoxCaption, std::u16string(caption, u'T')) << length;
        EXPECT_EQ(std::u16string(u"(60021): Limits violated").compare(0, s_BoxText.size(), s_BoxText), 0)
            << length;
        EXPECT_LE(s_BoxText.size(), 1024u - caption - 2) << length;
    }
    errors->v_ClearError();
    Platform::pf_SetMessageBoxHook(previous);
}

void v_SetNarrowMessage(CT_ErrorManager* errors, char const* format, ...) {
    va_list args;
    va_start(args, format);
    errors->v_SetMessageError(format, args);
    va_end(args);
}

// What the C runtime makes of one narrow character under its current
// locale, or U+FFFD when it rejects it.
char16_t u_RuntimeAnswer(char const* character, std::size_t length) {
    std::mbtowc(nullptr, nullptr, 0);
    wchar_t wide = 0;
    int used = std::mbtowc(&wide, character, length);
    std::mbtowc(nullptr, nullptr, 0);
    return used == static_cast<int>(length) ? static_cast<char16_t>(wide) : u'\xFFFD';
}

// Narrow messages and location names go through the runtime's multibyte
// conversion under its current locale; an empty one is an empty text, even
// in a record that last held another thread's, or this thread's, message.
TEST_F(ErrorManagerTest, NarrowTextsFollowTheRuntimeLocale) {
    std::string saved = std::setlocale(LC_CTYPE, nullptr);
    ASSERT_NE(std::setlocale(LC_CTYPE, "C"), nullptr);

    errors->v_SetError(60006, nullptr, 60006);  // leaves its text in the record
    errors->v_ClearError();
    v_SetNarrowMessage(errors, "");
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"");
    errors->v_ClearError();
    errors->v_SetError(60006, nullptr, 60006);
    errors->v_ClearError();
    errors->v_SetMessageError("");
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"");
    errors->v_ClearError();
    v_SetNarrowMessage(errors, "%s %u", "Disk", 7u);
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"Disk 7");
    errors->v_ClearError();

    // In the "C" locale byte 0x80 is whatever the runtime says it is (its
    // own value, or rejected), never the euro sign of a Windows code page.
    char16_t answer = u_RuntimeAnswer("\x80", 1);
    EXPECT_NE(answer, u'\x20AC');
    v_SetNarrowMessage(errors, "A\x80Z");
    EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), std::u16string(u"A") + answer + u"Z");
    Platform::pf_MessageBoxHook previous = Platform::pf_SetMessageBoxHook(&i_CaptureBox);
    errors->v_AddLocation("dir/\x80name", 3);
    errors->i_ErrorLocationWindow(0, Wide(u"c"), 0);
    EXPECT_EQ(s_BoxText, std::u16string(u"A") + answer + u"Z\n\n" + answer + u"name: line 3");
    errors->v_ClearError();

    // Under a UTF-8 locale, where the runtime has one: characters beyond
    // U+FFFF become surrogate pairs; a rejected byte and a character cut
    // short by the end each give U+FFFD.
    if (std::setlocale(LC_CTYPE, "C.UTF-8") || std::setlocale(LC_CTYPE, "en_US.UTF-8")) {
        v_SetNarrowMessage(errors, "\xC3\xA9-\xF0\x9F\x98\x80-\xFF-\xC3");
        EXPECT_EQ(s_Wide(errors->qcuz_GetErrorMessage()), u"\u00E9-\U0001F600-\uFFFD-\uFFFD");
        errors->v_AddLocation("dir/\xC3\xA9", 4);
        errors->i_ErrorLocationWindow(0, Wide(u"c"), 0);
        EXPECT_EQ(s_BoxText.substr(s_BoxText.find(u"\n\n") + 2), u"\u00E9: line 4");
        errors->v_ClearError();
    }
    Platform::pf_SetMessageBoxHook(previous);
    std::setlocale(LC_CTYPE, saved.c_str());
}

// The narrow system call's text: only its characters are converted, so a
// code without a text gives an empty text after the code, not a stale one.
TEST_F(ErrorManagerTest, NarrowSystemTextsAreNeverStale) {
    unsigned const code = 0x2FFFFFFF;  // no system has a text for it
    char narrow[1024];
    unsigned length = Platform::n_GetSystemMessage(code, narrow, sizeof narrow);
    int windowsNT = CT_OS::sb_IsWindowsNT;
    CT_OS::sb_IsWindowsNT = 0;
    errors->v_SetError(60006, nullptr, 60006);
    errors->v_ClearError();
    Platform::v_SetLastError(code);
    errors->v_SetSystemError();
    CT_OS::sb_IsWindowsNT = windowsNT;
    std::u16string message = s_Wide(errors->qcuz_GetErrorMessage());
    EXPECT_EQ(message.find(u"Out of memory"), std::u16string::npos) << std::string(message.begin(), message.end());
    EXPECT_EQ(message.compare(0, 13, u"(805306367): "), 0);
    if (length == 0) EXPECT_EQ(message, u"(805306367): ");
    else EXPECT_EQ(message.size(), 13u + length);  // the text is ASCII
}

// A system error that makes no record leaves the thread's last error alone;
// one that does clears it.
TEST_F(ErrorManagerTest, SystemErrorWithoutARecordKeepsTheLastError) {
    errors->v_SetError(60021, nullptr, 60021);
    Platform::v_SetLastError(5);
    errors->v_SetSystemError();
    EXPECT_EQ(Platform::n_GetLastError(), 5u);
    Platform::v_SetLastError(6);
    errors->v_SetSystemError(Wide(u"%s"), Wide(u"CreateFile").units.data());
    EXPECT_EQ(Platform::n_GetLastError(), 6u);
    Platform::v_SetLastError(7);
    errors->v_SetSystemErrorName("OpenFile");
    EXPECT_EQ(Platform::n_GetLastError(), 7u);
    EXPECT_EQ(errors->n_GetErrorCode(), 60021u);
    // An ignored error still keeps the next one from being recorded.
    errors->v_SetIgnoreError(1);
    Platform::v_SetLastError(8);
    errors->v_SetSystemError();
    EXPECT_EQ(Platform::n_GetLastError(), 8u);
    errors->v_ClearError();
    Platform::v_SetLastError(5);
    errors->v_SetSystemError();
    EXPECT_EQ(Platform::n_GetLastError(), 0u);
    EXPECT_EQ(errors->n_GetErrorCode(), 5u);
}

TEST_F(ErrorManagerTest, ThreadsAreIsolatedAndTheTwentyFirstIsNotLost) {
    errors->v_SetError(1, Wide(u"main"));
    std::atomic<int> ready{0};
    std::atomic<bool> release{false};
    std::vector<std::thread> threads;
    std::atomic<int> seenOwn{0};
    for (int i = 0; i < 24; ++i) {
        threads.emplace_back([&, i] {
            EXPECT_FALSE(errors->b_IsSetError());  // the main thread's error is not ours
            errors->v_SetError(100 + i, Wide(u"t"));
            errors->v_AddLocation("worker", i);
            ++ready;
            while (!release) std::this_thread::yield();
            if (errors->b_IsSetError() && errors->n_GetErrorCode() == static_cast<unsigned>(100 + i) &&
                errors->n_GetLocationLineAt(1) == static_cast<unsigned>(i))
                ++seenOwn;
            errors->v_ClearError();
        });
    }
    while (ready < 24) std::this_thread::yield();
    EXPECT_EQ(errors->n_GetFreeRecords(), 0u);  // 20 pooled, 5 more from the heap
    release = true;
    for (auto& t : threads) t.join();
    EXPECT_EQ(seenOwn, 24);
    EXPECT_EQ(errors->n_GetErrorCode(), 1u);
}

TEST_F(ErrorManagerTest, StressThirtyTwoThreads) {
    std::atomic<bool> stop{false};
    std::atomic<long> operations{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 32; ++t) {
        threads.emplace_back([&, t] {
            long n = 0;
            while (!stop) {
                errors->v_SetError(static_cast<unsigned>(t + 1), nullptr, 60021);
                errors->v_AddLocation("stress", static_cast<unsigned>(n));
                errors->v_AddLocation("stress", static_cast<unsigned>(n + 1));
                if (errors->n_GetErrorCode() != static_cast<unsigned>(t + 1)) ADD_FAILURE() << "foreign error";
                if (n % 3 == 0) {
                    errors->v_HoldError();
                    if (!errors->b_IsHoldError()) ADD_FAILURE() << "hold lost";
                }
                errors->v_ClearError();
                ++n;
            }
            operations += n;
        });
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    stop = true;
    for (auto& th : threads) th.join();
    EXPECT_GT(operations.load(), 1000);
    std::printf("[ stress   ] 32 threads, %ld error cycles in 1.5 s\n", operations.load());
}

}  // namespace
