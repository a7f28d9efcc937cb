// The file on the runtime library's buffered streams: each operation is
// one stream or file call, and every failure names the call and carries
// the runtime's error number.
#pragma once

#include <cstdio>

#include "Foundation/Basis/File/File.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/Stream.h"

class BASIS_API CT_StdFile : public CT_File {
    BASIS_DECLARE_POOL()
public:
    // The runtime's permission bits, passed on unchanged.
    enum et_Permission { e_OwnerWrite = 0x0080, e_OwnerRead = 0x0100, e_OwnerReadWrite = 0x0180 };

    // The runtime's status record of the named file (size, times, mode).
    typedef Platform::st_FileStatus st_Stat;

    CT_StdFile();
    CT_StdFile(CT_String const* name, unsigned bufferSize);
    explicit CT_StdFile(CT_StdFile const* other);
    ~CT_StdFile() override;
    CT_StdFile& operator=(CT_StdFile const& other);

    void vv_Set(CT_File const* other) override;
    void vv_Set(CT_String const* name, unsigned bufferSize) override;
    void vv_Set() override;
    void vv_Open(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags) override;
    void vv_Close() override;
    void vv_Flush() override;
    void vv_Remove() override;
    void vv_Rename(CT_String const* newName) override;
    unsigned vn_Read(void* data, unsigned n) override;
    unsigned vn_Write(void const* data, unsigned n) override;
    unsigned vn_GetSize() const override;
    unsigned vn_GetOffset() const override;
    void vv_SetOffset(et_Origin origin, int offset) override;
    int vb_IsEof() const override;

    std::FILE const* pcco_GetFILE() const { return pso_Stream; }
    void v_Chmod(et_Permission permission);
    void v_GetFileInformation(st_Stat* information) const;

private:
    void v_Exit();
    void v_Report(char const* call, int number, unsigned line) const;

    std::FILE* pso_Stream;
};
