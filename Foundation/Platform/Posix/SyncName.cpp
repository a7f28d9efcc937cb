// Named synchronisation objects on Linux: one POSIX shared-memory segment
// per name, "/basis-sync.<uid>.<name>", so every user has a namespace of
// his own (the segment is made with mode 0600 as well). Characters of the
// name outside [A-Za-z0-9_.-] are written as %XX, so "Local\a" and
// "Local/a" stay apart.
//
// A segment holds a header and the st_SyncObject. The header lists the
// processes that hold handles to it (process id, the process's start time
// so that a reused id is not mistaken for its old owner, and the number of
// handles). Every change to the header, and the first set-up, is done
// under an exclusive flock on the segment, which the kernel drops when a
// process dies, so a crash inside it blocks nobody.
//
// Lifetime: the object lives while any process holds a handle. Closing the
// last handle marks the segment dead and removes its name; a process that
// opened the old name just before and then finds it dead starts again with
// a fresh segment.
//
// Reclamation after a kill: a process killed while holding handles never
// closes them, so its entry stays in the header. Whenever a process creates,
// opens or closes the name, entries of processes that no longer run (no
// such id, or a different start time) are dropped first. When no live
// holder remains, the object is treated as gone: a create sets the segment
// up afresh (not reporting 183), an open removes the name and reports 2.
// Until the name is used again the segment stays in /dev/shm, where a
// killed process's segments are the system's ordinary leftovers.
#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <climits>
#include <cstdio>
#include <cstring>
#include <new>

#include "Foundation/Platform/Posix/SyncObject.h"
#include "Foundation/Platform/Sync.h"

namespace Platform::Posix {

namespace {

constexpr std::uint32_t n_Magic = 0x53594E43;  // "SYNC"
constexpr unsigned n_MaxHolders = 64;

struct st_Holder {
    std::int32_t i_Process;
    std::uint32_t n_Handles;
    unsigned long long n_Start;
};

struct st_Segment {
    std::uint32_t n_Magic;
    std::uint32_t b_Dead;
    st_Holder aso_Holders[n_MaxHolders];
    st_SyncObject so_Object;
};

// The start time of a process in clock ticks since boot (field 22 of its
// stat line), or 0 when it does not run.
unsigned long long n_ProcessStart(int process) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", process);
    int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0) return 0;
    char line[1024];
    ssize_t length = ::read(fd, line, sizeof line - 1);
    ::close(fd);
    if (length <= 0) return 0;
    line[length] = 0;
    // The command name may hold spaces and parentheses: count from the last ')'.
    char const* at = std::strrchr(line, ')');
    if (at == nullptr) return 0;
    unsigned field = 2;
    while (*at != 0 && field < 22) {
        if (*at++ == ' ') ++field;
    }
    return std::strtoull(at, nullptr, 10);
}

// Cached per process id: a forked child inherits the cache of its parent.
unsigned long long n_OwnStart() {
    static std::atomic<int> si_Process{0};
    static std::atomic<unsigned long long> sn_Start{0};
    int self = static_cast<int>(::getpid());
    if (si_Process.load() != self) {
        sn_Start.store(n_ProcessStart(self));
        si_Process.store(self);
    }
    return sn_Start.load();
}

// Drops the entries of processes that have ended; returns the live ones.
unsigned n_PruneHolders(st_Segment* segment) {
    unsigned live = 0;
    int self = static_cast<int>(::getpid());
    for (st_Holder& holder : segment->aso_Holders) {
        if (holder.n_Handles == 0) continue;
        if (holder.i_Process != self && n_ProcessStart(holder.i_Process) != holder.n_Start) {
            holder = st_Holder{};
            continue;
        }
        ++live;
    }
    return live;
}

bool b_AddHolder(st_Segment* segment) {
    int self = static_cast<int>(::getpid());
    st_Holder* free = nullptr;
    for (st_Holder& holder : segment->aso_Holders) {
        if (holder.n_Handles != 0 && holder.i_Process == self) {
            ++holder.n_Handles;
            return true;
        }
        if (holder.n_Handles == 0 && free == nullptr) free = &holder;
    }
    // More processes than entries: this one is refused, as a system out of
    // resources refuses a handle.
    if (free == nullptr) return false;
    *free = st_Holder{self, 1, n_OwnStart()};
    return true;
}

bool b_SetUp(st_Segment* segment, et_SyncKind kind, std::int32_t count, std::int32_t maximum) {
    std::memset(static_cast<void*>(segment), 0, sizeof *segment);
    if (!b_InitSyncObject(&segment->so_Object, kind, count, maximum)) return false;
    // Each handle maps the segment at its own address, so the identity that
    // orders a wait-all's locks is a number drawn here, the same for all.
    std::uint64_t identity = 0;
    if (::getrandom(&identity, sizeof identity, 0) != sizeof identity)
        identity = reinterpret_cast<std::uintptr_t>(segment) ^ static_cast<std::uint64_t>(::getpid());
    segment->so_Object.n_Identity = identity | 1;  // odd: never an unnamed object's address
    segment->n_Magic = n_Magic;
    return true;
}

bool b_MakePath(char const* name, char* path, std::size_t size) {
    int used = std::snprintf(path, size, "/basis-sync.%u.", static_cast<unsigned>(::getuid()));
    std::size_t at = static_cast<std::size_t>(used);
    for (unsigned char const* c = reinterpret_cast<unsigned char const*>(name); *c != 0; ++c) {
        bool plain = (*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') ||
                     *c == '_' || *c == '.' || *c == '-';
        if (at + (plain ? 1 : 3) >= size) return false;
        if (plain)
            path[at++] = static_cast<char>(*c);
        else
            at += static_cast<std::size_t>(std::snprintf(path + at, size - at, "%%%02X", *c));
    }
    path[at] = 0;
    return true;
}

void v_Lock(int fd) {
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
}

}  // namespace

struct st_NamedMapping {
    int i_File;
    st_Segment* pso_Segment;
    char ac_Path[NAME_MAX + 1];
};

st_NamedMapping* pso_OpenNamed(char const* name, et_SyncKind kind, bool create, std::int32_t count,
                               std::int32_t maximum, st_SyncObject** object, bool* existed) {
    st_NamedMapping* mapping = new (std::nothrow) st_NamedMapping{};
    if (mapping == nullptr) {
        errno = e_SyncErrorNotEnoughMemory;
        return nullptr;
    }
    // A name that does not fit a file name is refused as too long (206).
    if (!b_MakePath(name, mapping->ac_Path, sizeof mapping->ac_Path)) {
        delete mapping;
        errno = 206;
        return nullptr;
    }
    // Each round either settles the name or finds that it was removed while
    // this process waited for it; a removal needs a closing process, so the
    // rounds are bounded to keep a pathological race from running forever.
    unsigned error = e_SyncErrorFileNotFound;
    for (unsigned round = 0; round < 64; ++round) {
        int fd = ::shm_open(mapping->ac_Path, O_RDWR | O_CLOEXEC | (create ? O_CREAT : 0), 0600);
        if (fd < 0) {
            error = errno == ENOENT ? e_SyncErrorFileNotFound : static_cast<unsigned>(errno);
            break;
        }
        v_Lock(fd);
        struct stat status;
        bool fresh = ::fstat(fd, &status) == 0 && status.st_size == 0;
        if (fresh && !create) {
            // A creator that has not set the segment up yet: not there yet.
            ::close(fd);
            error = e_SyncErrorFileNotFound;
            break;
        }
        if (fresh && ::ftruncate(fd, sizeof(st_Segment)) != 0) {
            error = static_cast<unsigned>(errno);
            ::close(fd);
            break;
        }
        void* view = ::mmap(nullptr, sizeof(st_Segment), PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (view == MAP_FAILED) {
            error = static_cast<unsigned>(errno);
            ::close(fd);
            break;
        }
        st_Segment* segment = static_cast<st_Segment*>(view);
        bool again = false, fail = false;
        *existed = false;
        if (!fresh && segment->b_Dead != 0) {
            again = true;  // removed meanwhile: the next shm_open finds or makes the new one
        } else if (fresh || segment->n_Magic != n_Magic || n_PruneHolders(segment) == 0) {
            // New, left half set up by a creator that died, or no live holder.
            if (!create) {
                segment->b_Dead = 1;
                ::shm_unlink(mapping->ac_Path);
                error = e_SyncErrorFileNotFound;
                fail = true;
            } else if (!b_SetUp(segment, kind, count, maximum)) {
                error = e_SyncErrorNotEnoughMemory;
                fail = true;
            }
        } else if (segment->so_Object.eo_Kind != kind) {
            error = e_SyncErrorInvalidHandle;
            fail = true;
        } else {
            *existed = true;
        }
        if (!again && !fail && !b_AddHolder(segment)) {
            error = e_SyncErrorNotEnoughMemory;
            fail = true;
        }
        if (again || fail) {
            ::munmap(view, sizeof(st_Segment));
            ::close(fd);  // drops the flock
            if (fail) break;
            continue;
        }
        ::flock(fd, LOCK_UN);
        mapping->i_File = fd;
        mapping->pso_Segment = segment;
        *object = &segment->so_Object;
        return mapping;
    }
    delete mapping;
    errno = static_cast<int>(error);
    return nullptr;
}

void v_CloseNamed(st_NamedMapping* mapping, bool unmap) {
    v_Lock(mapping->i_File);
    st_Segment* segment = mapping->pso_Segment;
    int self = static_cast<int>(::getpid());
    for (st_Holder& holder : segment->aso_Holders)
        if (holder.n_Handles != 0 && holder.i_Process == self && --holder.n_Handles == 0) holder = st_Holder{};
    if (n_PruneHolders(segment) == 0) {
        segment->b_Dead = 1;
        ::shm_unlink(mapping->ac_Path);
    }
    if (unmap) ::munmap(segment, sizeof(st_Segment));
    ::close(mapping->i_File);
    delete mapping;
}

}  // namespace Platform::Posix
