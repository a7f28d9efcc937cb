#include "Foundation/Platform/File.h"

#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "Foundation/Platform/Posix/PathText.h"

namespace Platform {

namespace {

enum : unsigned {
    e_AttributeReadOnly = 0x01,
    e_AttributeHidden = 0x02,
    e_AttributeDirectory = 0x10,
    e_AttributeArchive = 0x20,
    e_FlagWriteThrough = 0x80000000u,
    e_FlagDeleteOnClose = 0x04000000u,
};

struct st_File {
    int i_Descriptor;  // -1 once the system has taken it back (see b_CloseFile)
    int b_Writable;
    int i_MarkDescriptor;  // a second, readable descriptor holding the share marks; -1 when none
    std::string s_DeleteOnClose;                            // empty unless asked
    std::vector<std::pair<unsigned, unsigned>> ao_Locks;  // ranges this handle holds
};

struct st_Mapping {
    int i_Descriptor;
    unsigned n_Size;
};

st_File* pso_File(void* file) { return static_cast<st_File*>(file); }

// A closed file has no handle: every call on it fails as on a bad handle.
bool b_Valid(void* file) {
    if (file && pso_File(file)->i_Descriptor >= 0) return true;
    errno = EBADF;
    return false;
}

// The errno that stands for ERROR_SHARING_VIOLATION: an opening or a copy
// that the share modes of other handles refuse.
constexpr int i_SharingViolation = EBUSY;

// Share modes, as Windows checks them at each opening. An opening that
// reads or writes (access 0 takes part in no check, either way) conflicts
// with an existing one when either wants what the other does not share:
// it reads and the other does not share reading, it writes and the other
// does not share writing, or the other reads (writes) and it does not
// share reading (writing).
//
// The record of who holds what is the kernel's table of OFD locks on the
// file itself, which every process sees and which ends with the last
// descriptor of the opening, so a crashed process leaves nothing behind.
// Each opening holds shared (read) locks on up to four mark bytes far
// beyond any 32-bit offset, one for each of "reads", "writes", "does not
// share reading", "does not share writing". A new opening first takes its
// own marks, then asks (F_OFD_GETLK, which sees only other openings'
// locks) whether another opening holds a mark that conflicts with it. Two
// openings racing at the same instant can so both be refused, never both
// admitted. A shared lock needs a descriptor open for reading: a
// write-only opening keeps a second, read-only descriptor for its marks;
// where the file cannot be read by this user at all, it takes no marks
// and only its own check protects it.
constexpr off_t i8_MarkBase = 0x7FFFFFFFFFFF0000ll;
enum : unsigned { e_MarkReads, e_MarkWrites, e_MarkKeepsReaders, e_MarkKeepsWriters };

// One OFD lock request over bytes start to start + length - 1; never waits.
bool b_SetLock(int descriptor, short type, off_t start, off_t length) {
    struct flock lock;
    std::memset(&lock, 0, sizeof lock);
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = start;
    lock.l_len = length;
    return ::fcntl(descriptor, F_OFD_SETLK, &lock) == 0;
}

// Whether another opening holds a lock on any of those bytes (F_OFD_GETLK
// sees only other openings' locks): 1 held, 0 free, -1 when the question
// itself failed (errno set).
int i_HeldByOther(int descriptor, off_t start, off_t length) {
    struct flock probe;
    std::memset(&probe, 0, sizeof probe);
    probe.l_type = F_WRLCK;
    probe.l_whence = SEEK_SET;
    probe.l_start = start;
    probe.l_len = length;
    if (::fcntl(descriptor, F_OFD_GETLK, &probe) != 0) return -1;
    return probe.l_type != F_UNLCK;
}

bool b_MarkHeldByOther(int descriptor, unsigned mark) { return i_HeldByOther(descriptor, i8_MarkBase + mark, 1) == 1; }

bool b_TakeMark(int descriptor, unsigned mark) { return b_SetLock(descriptor, F_RDLCK, i8_MarkBase + mark, 1); }

// Takes the opening's marks and checks them against the other openings.
// markDescriptor is readable, or -1 when the marks cannot be held;
// checkDescriptor is any descriptor of the opening. Returns 0 with errno
// set to the sharing violation on a conflict.
int b_ClaimShare(int markDescriptor, int checkDescriptor, unsigned access, unsigned share) {
    access &= 3;
    if (access == 0) return 1;
    if (markDescriptor >= 0) {
        // No one holds a mark in write mode, so taking one fails only where
        // the file takes no locks at all (some devices and file systems):
        // such a file is opened without share modes, as before them.
        bool wants[4] = {(access & 1) != 0, (access & 2) != 0, (share & 1) == 0, (share & 2) == 0};
        for (unsigned mark = 0; mark < 4; ++mark)
            if (wants[mark] && !b_TakeMark(markDescriptor, mark)) return 1;
        checkDescriptor = markDescriptor;
    }
    bool conflict = ((access & 1) && b_MarkHeldByOther(checkDescriptor, e_MarkKeepsReaders)) ||
                    ((access & 2) && b_MarkHeldByOther(checkDescriptor, e_MarkKeepsWriters)) ||
                    (!(share & 1) && b_MarkHeldByOther(checkDescriptor, e_MarkReads)) ||
                    (!(share & 2) && b_MarkHeldByOther(checkDescriptor, e_MarkWrites));
    if (conflict) {
        errno = i_SharingViolation;
        return 0;
    }
    return 1;
}

void v_CloseKeepingError(int descriptor) {
    if (descriptor < 0) return;
    int code = errno;
    ::close(descriptor);
    errno = code;
}

// Opens a file with the share rules above; truncation (disposition 2)
// waits until the share check has passed, so a refused opening leaves the
// file as it was. Null on failure, errno set.
st_File* pso_Open(std::string const& path, unsigned access, unsigned share, unsigned disposition,
                  unsigned attributesAndFlags, mode_t mode) {
    int flags = O_CLOEXEC;
    switch (access & 3) {
        case 3: flags |= O_RDWR; break;
        case 2: flags |= O_WRONLY; break;
        default: flags |= O_RDONLY; break;
    }
    if (disposition != 1) flags |= O_CREAT;
    if (attributesAndFlags & e_FlagWriteThrough) flags |= O_DSYNC;
    int descriptor = ::open(path.c_str(), flags, mode);
    if (descriptor < 0) return nullptr;
    struct stat status;
    if (::fstat(descriptor, &status) != 0 || S_ISDIR(status.st_mode)) {
        if (S_ISDIR(status.st_mode)) errno = EISDIR;
        v_CloseKeepingError(descriptor);
        return nullptr;
    }
    int markDescriptor = -1;
    if ((access & 3) == 2) {
        // The name may have been replaced since the opening: a descriptor
        // of another file would hold the marks in the wrong place.
        markDescriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);  // a FIFO must not block here
        struct stat markStatus;
        if (markDescriptor >= 0 && (::fstat(markDescriptor, &markStatus) != 0 || markStatus.st_dev != status.st_dev ||
                                    markStatus.st_ino != status.st_ino)) {
            ::close(markDescriptor);
            markDescriptor = -1;
        }
    }
    int marks = (access & 3) == 2 ? markDescriptor : descriptor;
    if (!b_ClaimShare(marks, descriptor, access, share)) {
        v_CloseKeepingError(markDescriptor);
        v_CloseKeepingError(descriptor);
        return nullptr;
    }
    // An empty file is not truncated: on ext4 a truncation to zero marks
    // the file for writing back all of its new data when it is closed,
    // which a newly created file has no reason to pay.
    if (disposition == 2 && (::fstat(descriptor, &status) != 0 || status.st_size != 0) &&
        ::ftruncate(descriptor, 0) != 0) {
        v_CloseKeepingError(markDescriptor);
        v_CloseKeepingError(descriptor);
        return nullptr;
    }
    st_File* file = new st_File;
    file->i_Descriptor = descriptor;
    file->b_Writable = (access & 2) != 0;
    file->i_MarkDescriptor = markDescriptor;
    if (attributesAndFlags & e_FlagDeleteOnClose) file->s_DeleteOnClose = path;
    return file;
}

std::string s_BaseName(std::string const& path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

int b_CopyContent(int from, int to) {
    std::vector<char> buffer(1 << 16);
    for (;;) {
        ssize_t got = ::read(from, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == EINTR) continue;
            return 0;
        }
        if (got == 0) return 1;
        for (ssize_t done = 0; done < got;) {
            ssize_t put = ::write(to, buffer.data() + done, static_cast<std::size_t>(got - done));
            if (put < 0) {
                if (errno == EINTR) continue;
                return 0;
            }
            done += put;
        }
    }
}

}  // namespace

void* h_OpenFile(unsigned short const* name, unsigned access, unsigned share, unsigned disposition,
                 unsigned attributesAndFlags) {
    mode_t mode = (attributesAndFlags & e_AttributeReadOnly) ? 0444 : 0666;
    st_File* file = pso_Open(Posix::s_NativePath(name), access, share, disposition, attributesAndFlags, mode);
    if (file) errno = 0;
    return file;
}

// A failed CloseHandle leaves the handle to its owner, who closes it once
// more (a protected handle stays valid). Linux takes a descriptor back
// even when close reports an error, so the record stays, without a
// descriptor: every later call on it fails as on a closed handle, and the
// next close only frees the record. The descriptor number is never closed
// twice, since by then it may belong to another file.
int b_CloseFile(void* handle) {
    if (handle == nullptr) {
        errno = EBADF;
        return 0;
    }
    st_File* file = pso_File(handle);
    if (file->i_Descriptor < 0) {
        delete file;
        return 1;
    }
    if (!file->s_DeleteOnClose.empty()) ::unlink(file->s_DeleteOnClose.c_str());
    if (file->i_MarkDescriptor >= 0) ::close(file->i_MarkDescriptor);
    file->i_MarkDescriptor = -1;
    int result = ::close(file->i_Descriptor);
    if (result == 0 || errno == EINTR) {
        delete file;
        return 1;
    }
    file->i_Descriptor = -1;
    file->s_DeleteOnClose.clear();
    return 0;
}

int b_FlushFile(void* file) { return b_Valid(file) && ::fsync(pso_File(file)->i_Descriptor) == 0; }

int b_ReadFile(void* file, void* data, unsigned n, unsigned* count) {
    if (!b_Valid(file)) {
        *count = 0;
        return 0;
    }
    unsigned done = 0;
    while (done < n) {
        ssize_t got = ::read(pso_File(file)->i_Descriptor, static_cast<char*>(data) + done, n - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            *count = done;
            return 0;
        }
        if (got == 0) break;
        done += static_cast<unsigned>(got);
    }
    *count = done;
    return 1;
}

int b_WriteFile(void* file, void const* data, unsigned n, unsigned* count) {
    if (!b_Valid(file)) {
        *count = 0;
        return 0;
    }
    unsigned done = 0;
    while (done < n) {
        ssize_t put = ::write(pso_File(file)->i_Descriptor, static_cast<char const*>(data) + done, n - done);
        if (put < 0) {
            if (errno == EINTR) continue;
            *count = done;
            return 0;
        }
        done += static_cast<unsigned>(put);
    }
    *count = done;
    return 1;
}

int b_ReadFileAt(void* file, unsigned offset, void* data, unsigned n, unsigned* count) {
    if (!b_Valid(file)) {
        *count = 0;
        return 0;
    }
    unsigned done = 0;
    while (done < n) {
        ssize_t got = ::pread(pso_File(file)->i_Descriptor, static_cast<char*>(data) + done, n - done,
                              static_cast<off_t>(offset) + done);
        if (got < 0) {
            if (errno == EINTR) continue;
            if (errno == ESPIPE && done == 0) return b_ReadFile(file, data, n, count);
            *count = done;
            return 0;
        }
        if (got == 0) break;
        done += static_cast<unsigned>(got);
    }
    *count = done;
    return 1;
}

int b_WriteFileAt(void* file, unsigned offset, void const* data, unsigned n, unsigned* count) {
    if (!b_Valid(file)) {
        *count = 0;
        return 0;
    }
    unsigned done = 0;
    while (done < n) {
        ssize_t put = ::pwrite(pso_File(file)->i_Descriptor, static_cast<char const*>(data) + done, n - done,
                               static_cast<off_t>(offset) + done);
        if (put < 0) {
            if (errno == EINTR) continue;
            if (errno == ESPIPE && done == 0) return b_WriteFile(file, data, n, count);
            *count = done;
            return 0;
        }
        done += static_cast<unsigned>(put);
    }
    *count = done;
    return 1;
}

unsigned n_GetFileSize(void* file) {
    if (!b_Valid(file)) {
        return 0xFFFFFFFFu;
    }
    struct stat status;
    if (::fstat(pso_File(file)->i_Descriptor, &status) != 0) return 0xFFFFFFFFu;
    if (status.st_size >= 0xFFFFFFFFll) {
        errno = EFBIG;
        return 0xFFFFFFFFu;
    }
    return static_cast<unsigned>(status.st_size);
}

unsigned n_SetFilePointer(void* file, std::int32_t displacement, unsigned origin) {
    if (!b_Valid(file)) {
        return 0xFFFFFFFFu;
    }
    int whence = origin == 0 ? SEEK_SET : origin == 1 ? SEEK_CUR : origin == 2 ? SEEK_END : -1;
    if (whence < 0) {
        errno = EINVAL;
        return 0xFFFFFFFFu;
    }
    off_t position = ::lseek(pso_File(file)->i_Descriptor, displacement, whence);
    if (position < 0) return 0xFFFFFFFFu;
    if (position >= 0xFFFFFFFFll) {
        errno = EOVERFLOW;
        return 0xFFFFFFFFu;
    }
    return static_cast<unsigned>(position);
}

int b_SetEndOfFile(void* file) {
    if (!b_Valid(file)) {
        return 0;
    }
    int descriptor = pso_File(file)->i_Descriptor;
    off_t position = ::lseek(descriptor, 0, SEEK_CUR);
    return position >= 0 && ::ftruncate(descriptor, position) == 0;
}

// A Windows range lock is exclusive whatever the handle's access. An OFD
// lock belongs to the open file description, so two handles of one
// process exclude each other as two processes do, and the kernel's lock
// table is shared by all processes. A handle open for writing takes a
// write lock, which the kernel grants only when no other opening holds
// any part of the range. A write lock needs a descriptor open for writing,
// which a read-only handle lacks (and opening the file for writing behind
// its back would need a permission the caller may not have, and would
// make the file busy for programs that run it). A read-only handle
// therefore takes a read lock, which keeps every writer's lock out, and
// then asks the kernel (F_OFD_GETLK, which sees only other openings'
// locks) whether any other opening holds any lock on the range; if so it
// gives its own back and fails. Two read-only handles locking the same
// bytes at the same instant can so both fail, never both succeed. No
// request here ever waits.
int b_LockFile(void* handle, unsigned offset, unsigned length) {
    if (!b_Valid(handle)) {
        return 0;
    }
    st_File* file = pso_File(handle);
    if (length == 0) return 1;  // an empty range locks nothing (Linux would read 0 as "to the end")
    for (auto const& range : file->ao_Locks) {
        if (offset < static_cast<unsigned long long>(range.first) + range.second &&
            range.first < static_cast<unsigned long long>(offset) + length) {
            errno = EAGAIN;  // Windows refuses an overlapping lock on the same handle too
            return 0;
        }
    }
    int descriptor = file->i_Descriptor;
    if (file->b_Writable) {
        if (!b_SetLock(descriptor, F_WRLCK, offset, length)) return 0;
    } else {
        if (!b_SetLock(descriptor, F_RDLCK, offset, length)) return 0;
        int held = i_HeldByOther(descriptor, offset, length);
        if (held != 0) {
            int code = held < 0 ? errno : EAGAIN;
            b_SetLock(descriptor, F_UNLCK, offset, length);
            errno = code;
            return 0;
        }
    }
    file->ao_Locks.emplace_back(offset, length);
    return 1;
}

int b_UnlockFile(void* handle, unsigned offset, unsigned length) {
    if (!b_Valid(handle)) {
        return 0;
    }
    st_File* file = pso_File(handle);
    for (auto range = file->ao_Locks.begin(); range != file->ao_Locks.end(); ++range) {
        if (range->first != offset || range->second != length) continue;
        if (!b_SetLock(file->i_Descriptor, F_UNLCK, offset, length)) return 0;
        file->ao_Locks.erase(range);
        return 1;
    }
    errno = ENOLCK;  // not a range this handle locked
    return 0;
}

int b_GetFileInformation(void* file, st_FileInformation* information) {
    if (!b_Valid(file)) {
        return 0;
    }
    struct stat status;
    if (::fstat(pso_File(file)->i_Descriptor, &status) != 0) return 0;
    // Seconds since 1970 in 100-nanosecond units since 1601.
    auto filetime = [](struct timespec const& t) {
        return (static_cast<std::uint64_t>(t.tv_sec) + 11644473600ull) * 10000000ull +
               static_cast<std::uint64_t>(t.tv_nsec) / 100;
    };
    information->n4_Attributes = (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) ? e_AttributeArchive
                                                                                  : e_AttributeArchive | e_AttributeReadOnly;
    information->n8_Created = filetime(status.st_ctim);
    information->n8_Accessed = filetime(status.st_atim);
    information->n8_Written = filetime(status.st_mtim);
    information->n4_VolumeSerial = static_cast<std::uint32_t>(status.st_dev);
    information->n4_SizeHigh = static_cast<std::uint32_t>(static_cast<std::uint64_t>(status.st_size) >> 32);
    information->n4_SizeLow = static_cast<std::uint32_t>(status.st_size);
    information->n4_Links = static_cast<std::uint32_t>(status.st_nlink);
    information->n4_IndexHigh = static_cast<std::uint32_t>(static_cast<std::uint64_t>(status.st_ino) >> 32);
    information->n4_IndexLow = static_cast<std::uint32_t>(status.st_ino);
    return 1;
}

int b_DeleteFile(unsigned short const* name) {
    std::string path = Posix::s_NativePath(name);
    struct stat status;
    if (::stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) {
        errno = EISDIR;
        return 0;
    }
    return ::unlink(path.c_str()) == 0;
}

int b_MoveFile(unsigned short const* fromName, unsigned short const* toName) {
    std::string from = Posix::s_NativePath(fromName);
    std::string to = Posix::s_NativePath(toName);
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return 1;
    if (errno == EINVAL) {  // a file system without RENAME_NOREPLACE
        if (::access(to.c_str(), F_OK) == 0) {
            errno = EEXIST;
            return 0;
        }
        return ::rename(from.c_str(), to.c_str()) == 0;
    }
    if (errno != EXDEV) return 0;
    // Across file systems the move is a copy and a removal, as with
    // MOVEFILE_COPY_ALLOWED.
    if (::access(to.c_str(), F_OK) == 0) {
        errno = EEXIST;
        return 0;
    }
    if (!b_CopyFile(fromName, toName)) return 0;
    return ::unlink(from.c_str()) == 0;
}

// As CopyFile does: the source is opened for reading and the target for
// writing, each sharing reading and writing, so that an opening that
// keeps readers from the source or writers from the target refuses the
// copy with a sharing violation. A target that is the source itself, by
// the same name or another (a hard link), is refused the same way. The
// target is cut to nothing only once both are open and checked, so a
// refused copy leaves it as it was.
int b_CopyFile(unsigned short const* fromName, unsigned short const* toName) {
    std::string from = Posix::s_NativePath(fromName);
    std::string to = Posix::s_NativePath(toName);
    st_File* source = pso_Open(from, 1, 3, 1, 0, 0);
    if (source == nullptr) return 0;
    struct stat status;
    if (::fstat(source->i_Descriptor, &status) != 0) {
        int code = errno;
        b_CloseFile(source);
        errno = code;
        return 0;
    }
    // The mode is set once the content is in; until then the owner may
    // write, even where the source is read-only.
    st_File* target = pso_Open(to, 2, 3, 3, 0, (status.st_mode & 07777) | S_IWUSR);
    if (target == nullptr) {
        int code = errno;
        b_CloseFile(source);
        errno = code;
        return 0;
    }
    struct stat targetStatus;
    int ok = ::fstat(target->i_Descriptor, &targetStatus) == 0;
    if (ok && targetStatus.st_dev == status.st_dev && targetStatus.st_ino == status.st_ino) {
        ok = 0;
        errno = i_SharingViolation;
    }
    ok = ok && (targetStatus.st_size == 0 || ::ftruncate(target->i_Descriptor, 0) == 0) &&
         b_CopyContent(source->i_Descriptor, target->i_Descriptor) &&
         ::fchmod(target->i_Descriptor, status.st_mode & 07777) == 0;
    int code = errno;
    b_CloseFile(source);
    if (!b_CloseFile(target) && ok) {
        ok = 0;
        code = errno;
    }
    errno = ok ? 0 : code;
    return ok;
}

unsigned n_GetFileAttributes(unsigned short const* name) {
    std::string path = Posix::s_NativePath(name);
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return 0xFFFFFFFFu;
    unsigned bits = S_ISDIR(status.st_mode) ? e_AttributeDirectory : e_AttributeArchive;
    if ((status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) bits |= e_AttributeReadOnly;
    std::string base = s_BaseName(path);
    if (!base.empty() && base[0] == '.' && base != "." && base != "..") bits |= e_AttributeHidden;
    return bits;
}

// Only the read-only bit has a Linux counterpart: it takes away every
// write permission or gives the owner's back; the other bits are ignored.
int b_SetFileAttributes(unsigned short const* name, unsigned attributes) {
    std::string path = Posix::s_NativePath(name);
    struct stat status;
    if (::stat(path.c_str(), &status) != 0) return 0;
    mode_t mode = status.st_mode & 07777;
    if (attributes & e_AttributeReadOnly) mode &= ~static_cast<mode_t>(S_IWUSR | S_IWGRP | S_IWOTH);
    else mode |= S_IWUSR;
    return ::chmod(path.c_str(), mode) == 0;
}

void* h_CreateFileMapping(void* handle, int writable, unsigned size) {
    if (!b_Valid(handle)) {
        return nullptr;
    }
    st_File* file = pso_File(handle);
    struct stat status;
    if (::fstat(file->i_Descriptor, &status) != 0) return nullptr;
    if (size == 0 || (!writable && static_cast<unsigned long long>(size) > static_cast<unsigned long long>(status.st_size))) {
        errno = EINVAL;  // Windows refuses an empty mapping and a read-only one beyond the end
        return nullptr;
    }
    if (writable && static_cast<unsigned long long>(status.st_size) < size &&
        ::ftruncate(file->i_Descriptor, size) != 0)
        return nullptr;
    st_Mapping* mapping = new st_Mapping;
    mapping->i_Descriptor = file->i_Descriptor;
    mapping->n_Size = size;
    return mapping;
}

void* pv_MapViewOfFile(void* handle, int writable, unsigned size) {
    st_Mapping* mapping = static_cast<st_Mapping*>(handle);
    if (size == 0) size = mapping->n_Size;
    void* view = ::mmap(nullptr, size, writable ? PROT_READ | PROT_WRITE : PROT_READ, MAP_SHARED,
                        mapping->i_Descriptor, 0);
    return view == MAP_FAILED ? nullptr : view;
}

// A new view would map every page afresh, and each first touch of a page
// is a fault; moving the view keeps its page tables.
void* pv_GrowView(void* handle, void* view, unsigned oldSize, unsigned newSize) {
    st_Mapping* mapping = static_cast<st_Mapping*>(handle);
    struct stat status;
    if (::fstat(mapping->i_Descriptor, &status) != 0) return nullptr;
    if (static_cast<unsigned long long>(status.st_size) < newSize && ::ftruncate(mapping->i_Descriptor, newSize) != 0)
        return nullptr;
    void* grown = ::mremap(view, oldSize, newSize, MREMAP_MAYMOVE);
    if (grown == MAP_FAILED) return nullptr;
    mapping->n_Size = newSize;
    return grown;
}

int b_UnmapViewOfFile(void* view, unsigned size) { return ::munmap(view, size) == 0; }

int b_CloseFileMapping(void* mapping) {
    delete static_cast<st_Mapping*>(mapping);
    return 1;
}

int b_FlushViewOfFile(void* view, unsigned size) { return ::msync(view, size, MS_SYNC) == 0; }

// Each first write to a page of a shared file mapping is a fault of its
// own, which costs several times a write to the file of the same bytes;
// prefaulting the range for writing does them in one pass. Kernels before
// 5.14 do not know the request: the writes then fault as usual.
void v_PrepareViewForWriting(void* view, unsigned offset, unsigned length) {
#ifdef MADV_POPULATE_WRITE
    if (length == 0) return;
    std::uintptr_t page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    std::uintptr_t start = reinterpret_cast<std::uintptr_t>(view) + offset;
    std::uintptr_t first = start & ~(page - 1);
    int code = errno;  // a hint leaves the last error as it was
    ::madvise(reinterpret_cast<void*>(first), start + length - first, MADV_POPULATE_WRITE);
    errno = code;
#else
    (void)view;
    (void)offset;
    (void)length;
#endif
}

// Linux gives each process its descriptor limit; the request is granted
// up to it.
unsigned n_SetHandleCount(unsigned count) {
    long limit = ::sysconf(_SC_OPEN_MAX);
    return limit > 0 && count > static_cast<unsigned long>(limit) ? static_cast<unsigned>(limit) : count;
}

}  // namespace Platform
