#include "Foundation/Basis/File/StdFile.h"

#include <cerrno>

#include "Foundation/Basis/Error/ErrorManager.h"

BASIS_DEFINE_POOL(CT_StdFile)

namespace {

char const* const qcz_Location = "Foundation/Basis/File/StdFile";

bool b_Failed(unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) return false;
    errors->v_AddLocation(qcz_Location, line);
    return true;
}

// Mode letters by open mode (rows 1..3) and access (columns 1..3).
char const* const aqcz_Modes[3][3] = {
    {"r", "w", "r+"},
    {"r+", "w+", "w+"},
    {"", "a", "a+"},
};

}  // namespace

// Error 60003, "File "%s": %s returned error %u", with the runtime's
// error number as the code; then the location.
void CT_StdFile::v_Report(char const* call, int number, unsigned line) const {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) {
        CT_UString callName(call, ~0u, 0);
        errors->v_SetError(static_cast<unsigned>(number), nullptr, CT_ErrorManager::e_FileError,
                           pcco_GetFullName()->qcuz_Get(), callName.qcuz_Get(), static_cast<unsigned>(number));
    }
    errors->v_AddLocation(qcz_Location, line);
}

CT_StdFile::CT_StdFile() : pso_Stream(nullptr) {}

CT_StdFile::CT_StdFile(CT_String const* name, unsigned bufferSize) : CT_File(name, bufferSize), pso_Stream(nullptr) {}

CT_StdFile::CT_StdFile(CT_StdFile const* other) : CT_File(other), pso_Stream(nullptr) {}

CT_StdFile::~CT_StdFile() {
    v_Exit();
    b_Failed(__LINE__);
}

CT_StdFile& CT_StdFile::operator=(CT_StdFile const& other) {
    CT_File::operator=(other);
    pso_Stream = other.pso_Stream;
    return *this;
}

void CT_StdFile::v_Exit() {
    if (b_IsOpen()) vv_Close();
}

void CT_StdFile::vv_Set(CT_File const* other) {
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set(other);
    pso_Stream = nullptr;
}

void CT_StdFile::vv_Set(CT_String const* name, unsigned bufferSize) {
    CT_UString copy(name);
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set(&copy, bufferSize);
    pso_Stream = nullptr;
}

void CT_StdFile::vv_Set() {
    v_Exit();
    if (b_Failed(__LINE__)) return;
    CT_File::vv_Set();
    pso_Stream = nullptr;
}

void CT_StdFile::vv_Open(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags) {
    CT_UString mode;
    if (open >= 1 && open <= 3 && access >= 1 && access <= 3) mode.v_Set(aqcz_Modes[open - 1][access - 1], ~0u, 0);
    mode.v_Append("bn", 2);
    errno = 0;
    std::FILE* stream = Platform::pso_OpenStream(pcco_GetFullName()->qcuz_Get(), mode.qcuz_Get());
    if (stream == nullptr) {
        v_Report("fopen", errno, __LINE__);
        return;
    }
    // A file without a buffer size keeps the runtime's own buffering.
    if (n_GetBufferSize() != 0 && std::setvbuf(stream, nullptr, _IOFBF, n_GetBufferSize()) != 0) {
        int number = errno;
        // The stream is given back: a failed open leaves nothing open.
        std::fclose(stream);
        v_Report("setvbuf", number, __LINE__);
        return;
    }
    pso_Stream = stream;
    v_SetOpened(access, open, share, attributes, flags);
}

// After a failed close the runtime has given the stream up already: the
// object counts as closed, so that the stream is never used again.
void CT_StdFile::vv_Close() {
    errno = 0;
    int failed = pso_Stream ? std::fclose(pso_Stream) : 0;
    int number = errno;
    pso_Stream = nullptr;
    v_SetClosed();
    if (failed) v_Report("fclose", number, __LINE__);
}

void CT_StdFile::vv_Flush() {
    errno = 0;
    if (std::fflush(pso_Stream) != 0) {
        v_Report("fflush", errno, __LINE__);
        if (pso_Stream) std::clearerr(pso_Stream);
    }
}

void CT_StdFile::vv_Remove() {
    errno = 0;
    if (Platform::i_RemoveFile(pcco_GetFullName()->qcuz_Get()) != 0 && errno != ENOENT)
        v_Report("remove", errno, __LINE__);
}

void CT_StdFile::vv_Rename(CT_String const* newName) {
    CT_UString target(newName);
    errno = 0;
    if (Platform::i_RenameFile(pcco_GetFullName()->qcuz_Get(), target.qcuz_Get()) != 0) {
        v_Report("rename", errno, __LINE__);
        return;
    }
    vv_Set(&target, 16384);
    b_Failed(__LINE__);
}

unsigned CT_StdFile::vn_Read(void* data, unsigned n) {
    if (n == 0) return 0;
    v_SetAccess(e_LastRead);
    if (b_Failed(__LINE__)) return 0;
    errno = 0;
    std::size_t count = std::fread(data, 1, n, pso_Stream);
    if (std::ferror(pso_Stream)) {
        v_Report("fread", errno, __LINE__);
        std::clearerr(pso_Stream);
        return 0;
    }
    return static_cast<unsigned>(count);
}

unsigned CT_StdFile::vn_Write(void const* data, unsigned n) {
    if (n == 0) return 0;
    v_SetAccess(e_LastWrite);
    if (b_Failed(__LINE__)) return 0;
    errno = 0;
    std::size_t count = std::fwrite(data, 1, n, pso_Stream);
    if (std::ferror(pso_Stream)) {
        v_Report("fwrite", errno, __LINE__);
        std::clearerr(pso_Stream);
        return 0;
    }
    return static_cast<unsigned>(count);
}

unsigned CT_StdFile::vn_GetSize() const {
    CT_StdFile* self = const_cast<CT_StdFile*>(this);
    int wasOpen = b_IsOpen();
    unsigned remembered = 0;
    if (wasOpen) {
        remembered = vn_GetOffset();
    } else {
        self->vv_Open(e_Read, e_OpenExisting, e_ShareNone, e_AttributeNormal, 0);
    }
    if (b_Failed(__LINE__)) return 0;
    self->vv_SetOffset(e_End, 0);
    if (b_Failed(__LINE__)) return 0;
    unsigned size = vn_GetOffset();
    if (b_Failed(__LINE__)) return 0;
    if (wasOpen) self->vv_SetOffset(e_Begin, static_cast<int>(remembered));
    else self->vv_Close();
    if (b_Failed(__LINE__)) return 0;
    self->v_SetLastTransfer(e_LastNone);
    return size;
}

unsigned CT_StdFile::vn_GetOffset() const {
    errno = 0;
    long offset = pso_Stream ? std::ftell(pso_Stream) : (errno = EBADF, -1L);
    if (offset == -1L) {
        v_Report("ftell", errno, __LINE__);
        if (pso_Stream) std::clearerr(pso_Stream);
        return 0;
    }
    return static_cast<unsigned>(offset);
}

void CT_StdFile::vv_SetOffset(et_Origin origin, int offset) {
    int whence = origin == e_Begin ? SEEK_SET : origin == e_Current ? SEEK_CUR : origin == e_End ? SEEK_END
                                                                                                 : static_cast<int>(origin);
    errno = 0;
    long remembered = pso_Stream ? std::ftell(pso_Stream) : (errno = EBADF, -1L);
    if (remembered == -1L) {
        v_Report("ftell", errno, __LINE__);
        if (pso_Stream) std::clearerr(pso_Stream);
        return;
    }
    errno = 0;
    if (std::fseek(pso_Stream, offset, whence) != 0) {
        v_Report("fseek", errno, __LINE__);
        std::fseek(pso_Stream, remembered, SEEK_SET);
        std::clearerr(pso_Stream);
    }
}

int CT_StdFile::vb_IsEof() const { return pso_Stream ? std::feof(pso_Stream) : 0; }

void CT_StdFile::v_Chmod(et_Permission permission) {
    errno = 0;
    if (Platform::i_ChangeMode(pcco_GetFullName()->qcuz_Get(), (permission & e_OwnerWrite) != 0) != 0 &&
        errno != ENOENT)
        v_Report("chmod", errno, __LINE__);
}

void CT_StdFile::v_GetFileInformation(st_Stat* information) const {
    errno = 0;
    if (Platform::i_StatFile(pcco_GetFullName()->qcuz_Get(), information) != 0)
        v_Report("_wstat", errno, __LINE__);
}
