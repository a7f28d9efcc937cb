#include "Foundation/Platform/Posix/ProfileFile.h"

#include <errno.h>
#include <fcntl.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cstdint>
#include <mutex>
#include <vector>

namespace Platform {
namespace Posix {

namespace {

// A file larger than this is read up to here only: the profile functions
// are for settings, and a hostile file must not take all memory.
constexpr std::size_t n_MaxProfileBytes = 64u << 20;

// The parsed files kept, most recently used last. A file is known again by
// its name and by what stat says of it: device, inode, size, modification
// and change time. Every write of this library gives the file a new inode,
// so even two writes within one tick of the clock are told apart.
//
// A file's state is asked of the system at most once per tick of the
// coarse clock (1 to 10 ms, the tick the system also stamps files with):
// a read within the tick of the last check takes the parse as it is. A
// stat costs as much as a whole read from the cache many times over, and
// a change made in place within one tick could not be told by its times
// anyway. So another process's write is seen at most one tick late, while
// this process's own writes are seen at once (they update the cache), and
// the flush request (b_WriteProfileString with all three null) makes the
// next read ask the system.
constexpr std::size_t n_CachedFiles = 8;

struct st_Identity {
    dev_t o_Device;
    ino_t o_Inode;
    off_t o_Size;
    std::int64_t i8_Modified;  // nanoseconds
    std::int64_t i8_Changed;
    bool operator==(st_Identity const&) const = default;
};

st_Identity o_IdentityOf(struct stat const& info) {
    return st_Identity{info.st_dev, info.st_ino, info.st_size,
                       static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec,
                       static_cast<std::int64_t>(info.st_ctim.tv_sec) * 1000000000 + info.st_ctim.tv_nsec};
}

std::int64_t i8_Tick() {
    struct timespec now;
    if (::clock_gettime(CLOCK_MONOTONIC_COARSE, &now) != 0) return -1;  // then every read checks
    return static_cast<std::int64_t>(now.tv_sec) * 1000000000 + now.tv_nsec;
}

struct st_Cached {
    std::string s_Path;
    st_Identity o_Identity;
    std::int64_t i8_Checked;  // the tick of the last check, -1 for none
    std::shared_ptr<CT_ProfileText const> pco_Text;
};

struct st_Cache {
    std::mutex o_Lock;
    std::vector<st_Cached> ao_Files;

    // The entry of path, moved to the back as the most recently used; null
    // if none. The lock must be held.
    st_Cached* pso_Find(std::string const& path) {
        for (std::size_t i = 0; i < ao_Files.size(); ++i) {
            if (ao_Files[i].s_Path != path) continue;
            if (i + 1 != ao_Files.size()) {
                st_Cached entry = std::move(ao_Files[i]);
                ao_Files.erase(ao_Files.begin() + static_cast<std::ptrdiff_t>(i));
                ao_Files.push_back(std::move(entry));
            }
            return &ao_Files.back();
        }
        return nullptr;
    }
};

// Made on first use and never destroyed, so a profile call from another
// static object's destructor still finds it.
st_Cache& ro_Cache() {
    static st_Cache* cache = new st_Cache;
    return *cache;
}

// The parse of path if it was checked in this tick (identity null), or if
// its identity is the one given; then the check is recorded.
std::shared_ptr<CT_ProfileText const> pco_Lookup(std::string const& path, std::int64_t tick,
                                                 st_Identity const* identity) {
    st_Cache& cache = ro_Cache();
    std::lock_guard<std::mutex> hold(cache.o_Lock);
    st_Cached* entry = cache.pso_Find(path);
    if (entry == nullptr) return nullptr;
    if (identity == nullptr) return (tick >= 0 && entry->i8_Checked == tick) ? entry->pco_Text : nullptr;
    if (!(entry->o_Identity == *identity)) return nullptr;
    entry->i8_Checked = tick;
    return entry->pco_Text;
}

void v_Remember(std::string const& path, st_Identity const& identity, std::int64_t tick,
                std::shared_ptr<CT_ProfileText const> text) {
    st_Cache& cache = ro_Cache();
    std::lock_guard<std::mutex> hold(cache.o_Lock);
    if (st_Cached* entry = cache.pso_Find(path)) {
        *entry = st_Cached{path, identity, tick, std::move(text)};
        return;
    }
    if (cache.ao_Files.size() >= n_CachedFiles) cache.ao_Files.erase(cache.ao_Files.begin());
    cache.ao_Files.push_back(st_Cached{path, identity, tick, std::move(text)});
}

// Reads up to n_MaxProfileBytes of the open file from its start.
int b_ReadAll(int fd, std::size_t size, std::string* text) {
    if (size > n_MaxProfileBytes) size = n_MaxProfileBytes;
    text->resize(size);
    std::size_t done = 0;
    while (done < size) {
        ssize_t got = ::pread(fd, text->data() + done, size - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return 0;
        if (got == 0) break;  // the file shrank meanwhile
        done += static_cast<std::size_t>(got);
    }
    text->resize(done);
    return 1;
}

int b_WriteAll(int fd, std::string const& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        ssize_t put = ::write(fd, text.data() + done, text.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return 0;
        done += static_cast<std::size_t>(put);
    }
    return 1;
}

void v_CloseKeepingErrno(int fd) {
    int saved = errno;
    ::close(fd);
    errno = saved;
}

// Writes text to a temporary file beside path, on the disk, then puts it in
// path's place in one rename: a reader, or a crash at any moment, sees the
// old file or the new one whole. The temporary name is fixed: only the
// holder of the lock writes it, and one left by a killed writer is simply
// written over by the next. The new file is locked before it takes the
// name and stays locked, open in *locked, until the caller closes it: a
// writer that opens the new file at once waits until this one has also
// recorded it in the cache.
int b_ReplaceFile(std::string const& path, std::string const& text, mode_t mode, struct stat* written, int* locked) {
    std::string const temporary = path + ".~new";
    int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, mode);
    if (fd < 0) return 0;
    if (::flock(fd, LOCK_EX) != 0 || !b_WriteAll(fd, text) || ::fchmod(fd, mode) != 0 || ::fdatasync(fd) != 0 ||
        ::fstat(fd, written) != 0 || ::rename(temporary.c_str(), path.c_str()) != 0) {
        v_CloseKeepingErrno(fd);
        int saved = errno;
        ::unlink(temporary.c_str());
        errno = saved;
        return 0;
    }
    // The rename itself reaches the disk with its folder.
    std::string::size_type slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    *locked = fd;
    return 1;
}

// A symbolic link keeps pointing at the file it names: the file it leads
// to is the one replaced.
std::string s_ResolvedPath(std::string const& path) {
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) != nullptr) return resolved;
    return path;
}

void v_Drop(std::string const& path) {
    st_Cache& cache = ro_Cache();
    std::lock_guard<std::mutex> hold(cache.o_Lock);
    if (cache.pso_Find(path)) cache.ao_Files.pop_back();
}

}  // namespace

std::shared_ptr<CT_ProfileText const> pco_ReadProfile(std::string const& path) {
    static std::shared_ptr<CT_ProfileText const> const empty = std::make_shared<CT_ProfileText const>();
    std::int64_t const tick = i8_Tick();
    if (auto known = pco_Lookup(path, tick, nullptr)) return known;
    struct stat info;
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
        // Gone: its parse is let go as well.
        v_Drop(path);
        return empty;
    }
    st_Identity const identity = o_IdentityOf(info);
    if (auto known = pco_Lookup(path, tick, &identity)) return known;
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return empty;
    std::string bytes;
    if (::fstat(fd, &info) != 0 || !b_ReadAll(fd, static_cast<std::size_t>(info.st_size), &bytes)) {
        ::close(fd);
        return empty;
    }
    ::close(fd);
    auto text = std::make_shared<CT_ProfileText const>(std::move(bytes));
    v_Remember(path, o_IdentityOf(info), tick, text);
    return text;
}

void v_ForgetProfile(std::string const& path) {
    st_Cache& cache = ro_Cache();
    std::lock_guard<std::mutex> hold(cache.o_Lock);
    if (st_Cached* entry = cache.pso_Find(path)) entry->i8_Checked = -1;
}

int b_EditProfile(std::string const& givenPath, char const* section, char const* key, char const* value) {
    std::string const path = s_ResolvedPath(givenPath);
    // Only a write of a value makes a missing file; deleting from one that
    // is not there is done at once.
    int const creates = key != nullptr && value != nullptr;
    // Each round locks the file that has the name now. When another writer
    // replaced it while this one waited, the lock is on the old file: take
    // the new one. Each such round means another writer finished, so the
    // rounds end; the bound only keeps a pathological folder (a name
    // replaced from outside without end) from holding the caller forever.
    for (int round = 0; round < 100000; ++round) {
        int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | (creates ? O_CREAT : 0), 0666);
        if (fd < 0) return (errno == ENOENT && !creates) ? 1 : 0;
        while (::flock(fd, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            v_CloseKeepingErrno(fd);
            return 0;
        }
        struct stat held, current;
        if (::fstat(fd, &held) != 0) {
            v_CloseKeepingErrno(fd);
            return 0;
        }
        if (::stat(path.c_str(), &current) != 0 || current.st_dev != held.st_dev || current.st_ino != held.st_ino) {
            ::close(fd);
            if (!creates && errno == ENOENT) return 1;
            continue;
        }
        std::string bytes;
        if (!b_ReadAll(fd, static_cast<std::size_t>(held.st_size), &bytes)) {
            v_CloseKeepingErrno(fd);
            return 0;
        }
        CT_ProfileText const text(std::move(bytes));
        std::string changed;
        if (!text.b_Edit(section, key, value, &changed)) {
            ::close(fd);
            return 1;
        }
        struct stat written;
        int locked = -1;
        if (!b_ReplaceFile(path, changed, held.st_mode & 07777, &written, &locked)) {
            v_CloseKeepingErrno(fd);
            return 0;
        }
        // Known again by what stat says after the rename (which may change
        // the change time); the same inode means no other writer has put
        // its own file there since.
        struct stat now;
        if (::stat(givenPath.c_str(), &now) == 0 && now.st_dev == written.st_dev && now.st_ino == written.st_ino)
            v_Remember(givenPath, o_IdentityOf(now), i8_Tick(),
                       std::make_shared<CT_ProfileText const>(std::move(changed)));
        // Closing the new file lets the next writer in; the one waiting on
        // the old file finds it replaced and goes on to the new one.
        ::close(locked);
        ::close(fd);
        return 1;
    }
    errno = EAGAIN;
    return 0;
}

}  // namespace Posix
}  // namespace Platform
