// The Linux profile writer across processes: a writer killed at any moment
// leaves the old file or the new one, and writers in two processes lose no
// update. Also the parse cache noticing a file changed from outside.
#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Platform/Profile.h"

namespace {

unsigned short const au_Ini[] = {'i', 'n', 'i', 0};

std::string s_Key(char const* prefix, int i) {
    std::string key = prefix;
    key.append(std::to_string(i));
    return key;
}

std::string s_Get(std::string const& file, char const* section, std::string const& key) {
    char buffer[64];
    unsigned n = Platform::n_GetProfileString(section, key.c_str(), "", buffer, sizeof buffer, file.c_str());
    return std::string(buffer, n);
}

// The file after the first count keys of the crash test's writer.
std::string s_Expected(int count) {
    std::string text = "; kept\r\n[c]\r\n";
    for (int i = 0; i < count; ++i) {
        // Appended piece by piece: gcc 12 at -O3 warns wrongly (-Wrestrict)
        // about a chain of std::string additions.
        text.append(s_Key("k", i)).append("=").append(std::to_string(i)).append("\r\n");
    }
    return text;
}

// Writes keys first, first + 1, ... and reports each through the pipe once
// its write has returned; runs until killed.
[[noreturn]] void v_Writer(std::string const& file, int first, int report) {
    for (int i = first;; ++i) {
        std::string key = s_Key("k", i);
        if (!Platform::b_WriteProfileString("c", key.c_str(), std::to_string(i).c_str(), file.c_str())) _exit(3);
        if (::write(report, &i, sizeof i) != sizeof i) _exit(4);
    }
}

}  // namespace

TEST(ProfileProcesses, KilledWriterLeavesTheOldFileOrTheNewOne) {
    FileTesting::TemporaryFile file(au_Ini);
    std::string const name = file.s_Narrow();
    file.v_Write(s_Expected(0));
    int present = 0;
    int kills = 0;
    for (int round = 0; round < 20; ++round) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            v_Writer(name, present, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);
        // Kill it after a few writes, at a moment that varies by round.
        int confirmed = present - 1;
        int wanted = present + 2 + round % 5;
        while (confirmed < wanted) {
            int i;
            if (::read(pipeEnds[0], &i, sizeof i) != sizeof i) break;
            confirmed = i;
        }
        struct pollfd wait = {pipeEnds[0], POLLIN, 0};
        ::poll(&wait, 1, round % 7);
        ::kill(child, SIGKILL);
        for (int i; ::read(pipeEnds[0], &i, sizeof i) == sizeof i;) confirmed = i;
        ::close(pipeEnds[0]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer failed with " << WEXITSTATUS(status);
        ++kills;
        // Every confirmed write is there, and at most the one after it:
        // the file is byte for byte one that a whole write left.
        std::string bytes = file.s_Read();
        if (bytes == s_Expected(confirmed + 1)) {
            present = confirmed + 1;
        } else {
            ASSERT_EQ(bytes, s_Expected(confirmed + 2)) << "round " << round;
            present = confirmed + 2;
        }
        // Another process wrote it: the flush request makes the read look
        // at the disk at once.
        Platform::b_WriteProfileString(nullptr, nullptr, nullptr, name.c_str());
        ASSERT_EQ(s_Get(name, "c", s_Key("k", confirmed)), std::to_string(confirmed));
    }
    EXPECT_EQ(kills, 20);
    EXPECT_GE(present, 40);
    std::remove(std::string(name).append(".~new").c_str());
}

TEST(ProfileProcesses, TwoWritingProcessesLoseNoUpdate) {
    FileTesting::TemporaryFile file(au_Ini);
    std::string const name = file.s_Narrow();
    file.v_Write("[shared]\r\n");
    int const perWriter = 60;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = ::fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            char const* prefix = w ? "b" : "a";
            for (int i = 0; i < perWriter; ++i) {
                std::string key = s_Key(prefix, i);
                // Both also rewrite one key the other writes too.
                if (!Platform::b_WriteProfileString("shared", key.c_str(), "1", name.c_str()) ||
                    !Platform::b_WriteProfileString("shared", "last", prefix, name.c_str()))
                    _exit(1);
            }
            _exit(0);
        }
    }
    for (pid_t writer : writers) {
        int status = 0;
        ASSERT_EQ(::waitpid(writer, &status, 0), writer);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (char const* prefix : {"a", "b"})
        for (int i = 0; i < perWriter; ++i) EXPECT_EQ(s_Get(name, "shared", s_Key(prefix, i)), "1") << prefix << i;
    std::string last = s_Get(name, "shared", "last");
    EXPECT_TRUE(last == "a" || last == "b");
    // One line per key: no write was applied twice.
    std::string bytes = file.s_Read();
    std::size_t lines = 0;
    for (char c : bytes) lines += c == '\n';
    EXPECT_EQ(lines, 1u + 2 * perWriter + 1);
}

TEST(ProfileProcesses, ReadsNoticeFilesChangedFromOutside) {
    FileTesting::TemporaryFile file(au_Ini);
    std::string const name = file.s_Narrow();
    file.v_Write("[s]\r\nk=1\r\n");
    Platform::b_WriteProfileString(nullptr, nullptr, nullptr, name.c_str());
    EXPECT_EQ(s_Get(name, "s", "k"), "1");
    // Changed in place: seen at once after the flush request.
    file.v_Write("[s]\r\nk=22\r\n");
    Platform::b_WriteProfileString(nullptr, nullptr, nullptr, name.c_str());
    EXPECT_EQ(s_Get(name, "s", "k"), "22");
    // Replaced by another file of the same size: seen without a flush once
    // the clock has moved on (its coarse tick is at most 10 ms).
    std::string other = std::string(name).append(".other");
    FILE* out = std::fopen(other.c_str(), "wb");
    ASSERT_NE(out, nullptr);
    std::fputs("[s]\r\nk=33\r\n", out);
    std::fclose(out);
    ASSERT_EQ(std::rename(other.c_str(), name.c_str()), 0);
    ::usleep(30000);
    EXPECT_EQ(s_Get(name, "s", "k"), "33");
    file.v_Delete();
    ::usleep(30000);
    EXPECT_EQ(s_Get(name, "s", "k"), "");
}
