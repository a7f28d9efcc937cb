// The file on the operating system's native handles: its own offset,
// whole-file mapping that grows in steps of one mebibyte, byte-range
// locks, end-of-file, copy and attributes.
#pragma once

#include "Foundation/Basis/File/File.h"
#include "Foundation/Basis/Heap/MemPool.h"
#include "Foundation/Platform/File.h"

class BASIS_API CT_WinFile : public CT_File {
    BASIS_DECLARE_POOL()
public:
    enum : unsigned { e_MapGrowth = 0x100000 };

    // The platform's record of an open file (the fields of the Windows
    // BY_HANDLE_FILE_INFORMATION).
    typedef Platform::st_FileInformation st_FileInformation;

    CT_WinFile();
    CT_WinFile(CT_String const* name, unsigned bufferSize);
    explicit CT_WinFile(CT_WinFile const* other);
    ~CT_WinFile() override;
    CT_WinFile& operator=(CT_WinFile const& other);

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

    void* h_GetHandle() const { return h_File; }
    int b_GetMapping() const { return puc_View != nullptr; }
    void* pv_GetMapping() const { return puc_View; }
    unsigned n_GetMapSize() const { return n_MapSize; }

    void v_CreateMap(unsigned minimumSize);
    void v_CloseMap(unsigned finalLength);
    void v_FlushMap();
    void v_LockFile(unsigned offset, unsigned length);
    void v_UnlockFile(unsigned offset, unsigned length);
    void v_SetEndOfFile();
    void v_SetAttributes(unsigned attributes);
    unsigned n_GetAttributes();
    void v_CopyFile(CT_String const* target) const;
    void v_GetFileInfo(st_FileInformation* information);
    static void sv_SetHandleCount(unsigned count);

private:
    void v_Null();
    void v_Exit();
    unsigned n_ReadMap(unsigned offset, void* data, unsigned n);
    unsigned n_WriteMap(unsigned offset, void const* data, unsigned n);
    int b_PlaceHandle();
    void v_SystemError(unsigned line) const;

    void* h_File;
    unsigned n_Offset;
    void* h_Mapping;
    unsigned char* puc_View;
    unsigned n_MapSize;
};
