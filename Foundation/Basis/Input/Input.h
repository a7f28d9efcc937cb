// Sources of bytes handed out chunk by chunk: a caller's memory block, a
// file read through a buffer of the stream's own, and a file mapped whole.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/File/WinFile.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_Input {
public:
    explicit CT_Input(unsigned chunkSize) : n_ChunkSize(chunkSize) {}
    CT_Input(CT_Input const& other) = default;
    CT_Input& operator=(CT_Input const& other) = default;
    virtual ~CT_Input();

    virtual void vv_Open() = 0;
    virtual void vv_Close() = 0;
    virtual unsigned vn_GetSize() const = 0;
    virtual unsigned vn_GetOffset() const = 0;
    virtual int vb_IsEmpty() const = 0;
    virtual int vb_IsUnicode() = 0;
    virtual int vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) = 0;
    virtual int vb_GetNextBuffer(unsigned char const** data, unsigned* length) = 0;
    virtual int vb_CopyNextBuffer(unsigned char* target, unsigned n) = 0;
    virtual int vb_Skip(unsigned n) = 0;

    unsigned n_GetChunkSize() const { return n_ChunkSize; }

protected:
    unsigned n_ChunkSize;
};

class BASIS_API CT_MemoryInput : public CT_Input {
public:
    CT_MemoryInput(unsigned chunkSize, unsigned char const* data, unsigned length);
    void v_Set(unsigned chunkSize, unsigned char const* data, unsigned length);

    void vv_Open() override {}
    void vv_Close() override {}
    unsigned vn_GetSize() const override { return static_cast<unsigned>(pcuc_End - pcuc_Start); }
    unsigned vn_GetOffset() const override { return static_cast<unsigned>(pcuc_Current - pcuc_Start); }
    int vb_IsEmpty() const override { return pcuc_Current >= pcuc_End; }
    int vb_IsUnicode() override;
    int vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) override;
    int vb_GetNextBuffer(unsigned char const** data, unsigned* length) override;
    int vb_CopyNextBuffer(unsigned char* target, unsigned n) override;
    int vb_Skip(unsigned n) override;

private:
    unsigned char const* pcuc_Start;
    unsigned char const* pcuc_End;
    unsigned char const* pcuc_Current;
};

class BASIS_API CT_FileInput : public CT_Input {
public:
    CT_FileInput(unsigned chunkSize, CT_String const* fileName);
    ~CT_FileInput() override;
    void v_Set(unsigned chunkSize, CT_String const* fileName);

    void vv_Open() override;
    void vv_Close() override;
    unsigned vn_GetSize() const override { return n_Size; }
    unsigned vn_GetOffset() const override { return n_Offset; }
    int vb_IsEmpty() const override { return n_Offset >= n_Size; }
    int vb_IsUnicode() override;
    int vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) override;
    int vb_GetNextBuffer(unsigned char const** data, unsigned* length) override;
    int vb_CopyNextBuffer(unsigned char* target, unsigned n) override;
    int vb_Skip(unsigned n) override;

    CT_File const* pcco_GetFile() const { return &co_File; }
    CT_Buffer const* pcco_GetBuffer() const { return &co_Buffer; }

private:
    CT_FileInput(CT_FileInput const&) = delete;
    CT_FileInput& operator=(CT_FileInput const&) = delete;
    int b_EndOfRead(unsigned line);

    CT_WinFile co_File;
    CT_Buffer co_Buffer;
    unsigned n_Size;
    unsigned n_Offset;
};

class BASIS_API CT_MappedFileInput : public CT_Input {
public:
    CT_MappedFileInput(unsigned chunkSize, CT_String const* fileName);
    ~CT_MappedFileInput() override;
    void v_Set(unsigned chunkSize, CT_String const* fileName);

    void vv_Open() override;
    void vv_Close() override;
    unsigned vn_GetSize() const override { return static_cast<unsigned>(pcuc_End - pcuc_Start); }
    unsigned vn_GetOffset() const override { return static_cast<unsigned>(pcuc_Current - pcuc_Start); }
    int vb_IsEmpty() const override { return pcuc_Current >= pcuc_End; }
    int vb_IsUnicode() override;
    int vb_GetNextBuffer(unsigned n, unsigned char const** data, unsigned* length) override;
    int vb_GetNextBuffer(unsigned char const** data, unsigned* length) override;
    int vb_CopyNextBuffer(unsigned char* target, unsigned n) override;
    int vb_Skip(unsigned n) override;

    CT_File const* pcco_GetFile() const { return &co_File; }

private:
    CT_MappedFileInput(CT_MappedFileInput const&) = delete;
    CT_MappedFileInput& operator=(CT_MappedFileInput const&) = delete;

    CT_WinFile co_File;
    unsigned char const* pcuc_Start;
    unsigned char const* pcuc_End;
    unsigned char const* pcuc_Current;
};
