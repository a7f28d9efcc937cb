// The Linux registry stores: where they live, how they refuse what they
// cannot do, what a writer killed at any moment leaves, and two processes
// writing at once.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>
#include <thread>

#include "Foundation/Platform/Process.h"
#include "Foundation/Platform/Registry.h"
#include "Foundation/System/Registry/RegistryTesting.h"

using RegistryTesting::ScratchRegistry;

namespace {

std::u16string s_U(std::string const& text) { return std::u16string(text.begin(), text.end()); }
unsigned short const* pu(std::u16string const& text) { return reinterpret_cast<unsigned short const*>(text.c_str()); }

// The bytes of value i: its length and contents both follow from i.
std::string s_Pattern(unsigned i) {
    std::string bytes(1 + i % 300, '\0');
    for (std::size_t at = 0; at < bytes.size(); ++at) bytes[at] = static_cast<char>(i * 31 + at * 7);
    return bytes;
}

std::string s_IntegrityCheck(std::filesystem::path const& file) {
    sqlite3* db = nullptr;
    std::string verdict = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &statement, nullptr) == SQLITE_OK &&
            sqlite3_step(statement) == SQLITE_ROW)
            verdict = reinterpret_cast<char const*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return verdict;
}

class ScopedVariable {
public:
    ScopedVariable(char const* name, char const* value) : qcz_Name(name) {
        char const* old = std::getenv(name);
        b_Had = old != nullptr;
        if (old) s_Old = old;
        value ? ::setenv(name, value, 1) : ::unsetenv(name);
    }
    ~ScopedVariable() { b_Had ? ::setenv(qcz_Name, s_Old.c_str(), 1) : ::unsetenv(qcz_Name); }

private:
    char const* qcz_Name;
    bool b_Had;
    std::string s_Old;
};

TEST(RegistryStore, LivesInTheUsersConfigurationFolder) {
    ScratchRegistry scratch;
    auto folder = scratch.co_Folder();
    // XDG_CONFIG_HOME, HOME and where the store goes; a relative
    // XDG_CONFIG_HOME is ignored, as the XDG rules say.
    std::string const config = (folder / "config").string(), home = (folder / "home").string();
    struct {
        char const *config, *home, *file;
    } const cases[] = {{config.c_str(), home.c_str(), "config/basis/registry/HKEY_CURRENT_USER.db"},
                       {"relative", home.c_str(), "home/.config/basis/registry/HKEY_CURRENT_USER.db"}};
    for (auto const& c : cases) {
        ScopedVariable configVariable("XDG_CONFIG_HOME", c.config), homeVariable("HOME", c.home);
        Platform::v_SetRegistryFolder(nullptr);
        HKEY key = nullptr;
        ASSERT_EQ(Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(u"Probe"), Platform::e_KeyWrite, &key), 0u);
        Platform::n_RegCloseKey(key);
        EXPECT_TRUE(std::filesystem::exists(folder / c.file)) << c.file;
    }
    std::u16string native = folder.u16string();
    Platform::v_SetRegistryFolder(pu(native));
}

TEST(RegistryStore, RefusesWhatItCannotDo) {
    ScratchRegistry scratch;
    HKEY key = nullptr;
    // Handles that were never opened, or are closed, are not followed.
    EXPECT_EQ(Platform::n_RegOpenKey(reinterpret_cast<HKEY>(&scratch), nullptr, Platform::e_KeyRead, &key), 6u);
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, scratch.pu_Base(), Platform::e_KeyRead, &key), 0u);
    EXPECT_EQ(Platform::n_RegCloseKey(key), 0u);
    EXPECT_EQ(Platform::n_RegCloseKey(key), 6u);
    unsigned count = 0;
    EXPECT_EQ(Platform::n_RegQueryInfoKey(key, &count, nullptr, nullptr, nullptr, nullptr), 6u);
    EXPECT_EQ(Platform::n_RegOpenKey(reinterpret_cast<HKEY>(std::uintptr_t(0x80000009u)), nullptr, 1, &key), 6u);

    // Empty levels and over-long names are invalid parameters.
    for (char const* path : {"A\\\\B", "\\A", "A\\\\"}) {
        EXPECT_EQ(Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(s_U(path)), Platform::e_KeyWrite, &key), 87u) << path;
    }
    EXPECT_EQ(Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(std::u16string(256, u'k')), Platform::e_KeyWrite, &key),
              87u);

    // A key opened for reading refuses changes; a deleted key refuses all.
    HKEY reader = nullptr, parent = nullptr;
    ASSERT_EQ(Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(u"R\\S"), Platform::e_KeyRead, &reader), 0u);
    EXPECT_EQ(Platform::n_RegSetValue(reader, pu(u"v"), 4, "\1\0\0\0", 4), 5u);
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, pu(u"R"), Platform::e_KeyAllAccess, &parent), 0u);
    EXPECT_EQ(Platform::n_RegDeleteKey(HKEY_CURRENT_USER, pu(u"R")), 5u);  // it has a subkey
    EXPECT_EQ(Platform::n_RegDeleteKey(parent, pu(u"s")), 0u);
    unsigned type = 0, size = 0;
    EXPECT_EQ(Platform::n_RegQueryValue(reader, pu(u"v"), &type, nullptr, &size), 1018u);
    Platform::n_RegCloseKey(reader);
    Platform::n_RegCloseKey(parent);

    // A folder that cannot be made: the root reads as empty and refuses
    // every change with 5.
    Platform::v_SetRegistryFolder(pu(u"/proc/basis-registry-nowhere"));
    EXPECT_EQ(Platform::n_RegCreateKey(HKEY_LOCAL_MACHINE, pu(u"Software"), Platform::e_KeyWrite, &key), 5u);
    EXPECT_EQ(Platform::n_RegOpenKey(HKEY_LOCAL_MACHINE, pu(u"Software"), Platform::e_KeyRead, &key), 2u);
    EXPECT_EQ(Platform::n_RegSetValue(HKEY_LOCAL_MACHINE, pu(u"v"), 4, "\1\0\0\0", 4), 5u);
    unsigned short name[8];
    unsigned length = 8;
    EXPECT_EQ(Platform::n_RegEnumKey(HKEY_LOCAL_MACHINE, 0, name, &length), 259u);

    // A damaged store file is refused with a code, never followed.
    auto damaged = scratch.co_Folder() / "damaged";
    std::filesystem::create_directories(damaged);
    {
        std::ofstream junk(damaged / "HKEY_CURRENT_USER.db", std::ios::binary);
        std::string bytes(8192, '\x5A');
        bytes.replace(0, 16, std::string("SQLite format 3\0", 16));
        junk << bytes;
    }
    Platform::v_SetRegistryFolder(pu(damaged.u16string()));
    EXPECT_NE(Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(u"A"), Platform::e_KeyWrite, &key), 0u);
    EXPECT_NE(Platform::n_RegSetValue(HKEY_CURRENT_USER, pu(u"v"), 4, "\1\0\0\0", 4), 0u);
    Platform::v_SetRegistryFolder(pu(scratch.co_Folder().u16string()));
}

// The writer of the crash test: sets values v<start>, v<start+1>, ... and
// logs each number after its set has returned.
int i_CrashWriter(char const* job, void* channel) {
    unsigned start = 0;
    char log[4096];
    if (std::sscanf(job, "%u %4095s", &start, log) != 2) return 1;
    int file = ::open(log, O_WRONLY | O_APPEND | O_CREAT, 0600);
    HKEY key = nullptr;
    if (file < 0 || Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(u"Crash"), Platform::e_KeyAllAccess, &key)) return 2;
    Platform::b_SignalPeer(channel);
    for (unsigned i = start;; ++i) {
        std::string bytes = s_Pattern(i);
        std::u16string name = s_U("v" + std::to_string(i));
        if (Platform::n_RegSetValue(key, pu(name), i % 2 ? 3 : 1, bytes.data(), static_cast<unsigned>(bytes.size())))
            return 3;
        std::string line = std::to_string(i) + "\n";
        if (::write(file, line.data(), line.size()) != static_cast<ssize_t>(line.size())) return 4;
    }
}

TEST(RegistryStore, KilledWritersLoseNoValueWhoseSetReturned) {
    ScratchRegistry scratch;
    std::string log = (scratch.co_Folder() / "crash.log").string();
    std::mt19937 random(20261207);
    unsigned next = 0, kills = 0;
    std::set<unsigned> logged;
    for (int round = 0; round < 20; ++round) {
        std::string job = std::to_string(next) + " " + log;
        void* child = Platform::h_StartChild(&i_CrashWriter, job.c_str(), "--gtest_filter=None");
        if (child == nullptr) GTEST_SKIP() << "no second process";
        ASSERT_TRUE(Platform::b_WaitForPeer(child));
        std::this_thread::sleep_for(std::chrono::microseconds(3000 + random() % 30000));
        kills += Platform::b_KillChild(child) ? 1 : 0;
        std::ifstream lines(log);
        for (unsigned i; lines >> i;) logged.insert(i);
        next = logged.empty() ? 0 : *logged.rbegin() + 2;  // past one set the kill may have cut off before its log line
    }
    EXPECT_EQ(kills, 20u);
    ASSERT_GT(logged.size(), 20u);
    HKEY key = nullptr;
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, pu(u"Crash"), Platform::e_KeyRead, &key), 0u);
    unsigned intact = 0;
    for (unsigned i : logged) {
        std::string expected = s_Pattern(i), stored(400, '\0');
        unsigned type = 0, size = 400;
        std::u16string name = s_U("v" + std::to_string(i));
        ASSERT_EQ(Platform::n_RegQueryValue(key, pu(name), &type, stored.data(), &size), 0u) << i;
        stored.resize(size);
        EXPECT_EQ(type, i % 2 ? 3u : 1u);
        intact += stored == expected ? 1 : 0;
    }
    Platform::n_RegCloseKey(key);
    EXPECT_EQ(intact, logged.size());
    EXPECT_EQ(s_IntegrityCheck(scratch.co_Folder() / "HKEY_CURRENT_USER.db"), "ok");
    std::printf("[ registry ] %zu values set by 20 killed writers, all read back intact\n", logged.size());
}

// One of two writers at once: its own values and a shared one, every set
// checked; the exit code counts the failures.
int i_ConcurrentWriter(char const* job, void* channel) {
    HKEY key = nullptr;
    if (Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(u"Both\\Here"), Platform::e_KeyAllAccess, &key)) return 100;
    Platform::b_SignalPeer(channel);
    Platform::b_WaitForPeer(channel);
    int failures = 0;
    for (unsigned i = 0; i < 400; ++i) {
        std::u16string name = s_U(std::string(job) + "-" + std::to_string(i));
        std::uint32_t value = i;
        failures += Platform::n_RegSetValue(key, pu(name), 4, &value, 4) != 0;
        failures += Platform::n_RegSetValue(key, pu(u"shared"), 4, &value, 4) != 0;
        if (i % 50 == 0) {
            HKEY made = nullptr;
            std::u16string sub = s_U(std::string("Both\\") + job + std::to_string(i));
            failures += Platform::n_RegCreateKey(HKEY_CURRENT_USER, pu(sub), Platform::e_KeyWrite, &made) != 0;
            Platform::n_RegCloseKey(made);
        }
    }
    return failures > 99 ? 99 : failures;
}

TEST(RegistryStore, TwoProcessesWriteAtOnceWithoutLoss) {
    ScratchRegistry scratch;
    void* first = Platform::h_StartChild(&i_ConcurrentWriter, "first", "--gtest_filter=None");
    void* second = Platform::h_StartChild(&i_ConcurrentWriter, "second", "--gtest_filter=None");
    if (first == nullptr || second == nullptr) GTEST_SKIP() << "no second process";
    ASSERT_TRUE(Platform::b_WaitForPeer(first));
    ASSERT_TRUE(Platform::b_WaitForPeer(second));
    Platform::b_SignalPeer(first);
    Platform::b_SignalPeer(second);
    EXPECT_EQ(Platform::i_WaitForChild(first), 0);
    EXPECT_EQ(Platform::i_WaitForChild(second), 0);
    HKEY key = nullptr;
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, pu(u"Both\\Here"), Platform::e_KeyRead, &key), 0u);
    unsigned values = 0, subKeys = 0;
    EXPECT_EQ(Platform::n_RegQueryInfoKey(key, nullptr, nullptr, &values, nullptr, nullptr), 0u);
    EXPECT_EQ(values, 801u);
    for (char const* writer : {"first", "second"}) {
        for (unsigned i = 0; i < 400; i += 37) {
            std::u16string name = s_U(std::string(writer) + "-" + std::to_string(i));
            std::uint32_t value = 0;
            unsigned size = 4;
            EXPECT_EQ(Platform::n_RegQueryValue(key, pu(name), nullptr, &value, &size), 0u);
            EXPECT_EQ(value, i);
        }
    }
    Platform::n_RegCloseKey(key);
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, pu(u"Both"), Platform::e_KeyRead, &key), 0u);
    EXPECT_EQ(Platform::n_RegQueryInfoKey(key, &subKeys, nullptr, nullptr, nullptr, nullptr), 0u);
    EXPECT_EQ(subKeys, 17u);  // Here and eight of each writer's own
    Platform::n_RegCloseKey(key);
    EXPECT_EQ(s_IntegrityCheck(scratch.co_Folder() / "HKEY_CURRENT_USER.db"), "ok");
}

}  // namespace
