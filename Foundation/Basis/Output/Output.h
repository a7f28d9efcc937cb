// Sinks of bytes: a growing buffer, a file, a caller's string, and a
// movable global memory block that grows in fixed steps.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/File/File.h"
#include "Foundation/Basis/String/String.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"

class CT_FileOutput;
class CT_MemoryOutput;

class BASIS_API CT_Output {
public:
    CT_Output() = default;
    CT_Output(CT_Output const&) = default;
    CT_Output& operator=(CT_Output const&) = default;
    virtual ~CT_Output();

    virtual void vv_Append(unsigned char c, unsigned count) = 0;
    virtual void vv_Append(void const* data, unsigned n) = 0;
    virtual void vv_Append(CT_FileOutput& other) = 0;
    virtual void vv_Append(CT_MemoryOutput const& other) = 0;
    virtual void vv_AppendC(char const* text, unsigned n, unsigned codePage) = 0;
    virtual void vv_AppendU(unsigned short const* text, unsigned n) = 0;
    virtual void vv_Replace(void const* data, unsigned n, unsigned offset) = 0;
    virtual unsigned vn_GetSize() const = 0;
};

class BASIS_API CT_MemoryOutput : public CT_Output {
public:
    CT_MemoryOutput();
    explicit CT_MemoryOutput(CT_Buffer const* initial);
    CT_MemoryOutput(CT_MemoryOutput const& other);
    CT_MemoryOutput& operator=(CT_MemoryOutput const& other);
    ~CT_MemoryOutput() override;

    void v_Set();
    void v_Set(CT_Buffer const* initial);
    CT_Buffer* pco_GiveMemory();
    CT_Buffer const* pcco_GetMemory() const { return pco_Buffer; }

    void vv_Append(unsigned char c, unsigned count) override;
    void vv_Append(void const* data, unsigned n) override;
    void vv_Append(CT_FileOutput& other) override;
    void vv_Append(CT_MemoryOutput const& other) override;
    void vv_AppendC(char const* text, unsigned n, unsigned codePage) override;
    void vv_AppendU(unsigned short const* text, unsigned n) override;
    void vv_Replace(void const* data, unsigned n, unsigned offset) override;
    unsigned vn_GetSize() const override;

private:
    CT_Buffer* pco_Buffer;
};

class BASIS_API CT_FileOutput : public CT_Output {
public:
    explicit CT_FileOutput(CT_String const* fileName);
    explicit CT_FileOutput(CT_File* file);
    CT_FileOutput(CT_FileOutput const& other);
    CT_FileOutput& operator=(CT_FileOutput const& other);
    ~CT_FileOutput() override;

    void v_Set(CT_String const* fileName);
    void v_Set(CT_File* file);
    CT_File* pco_GiveFile();
    CT_File* pco_GetFile() const { return pco_File; }

    void vv_Append(unsigned char c, unsigned count) override;
    void vv_Append(void const* data, unsigned n) override;
    void vv_Append(CT_FileOutput& other) override;
    void vv_Append(CT_MemoryOutput const& other) override;
    void vv_AppendC(char const* text, unsigned n, unsigned codePage) override;
    void vv_AppendU(unsigned short const* text, unsigned n) override;
    void vv_Replace(void const* data, unsigned n, unsigned offset) override;
    unsigned vn_GetSize() const override;

private:
    void v_End();
    void v_Open();

    int b_OwnsFile;
    int b_CloseAtEnd;
    CT_File* pco_File;
};

class BASIS_API CT_StringOutput : public CT_Output {
public:
    explicit CT_StringOutput(CT_String& target);
    void v_Set(CT_String& target);

    void vv_Append(unsigned char c, unsigned count) override;
    void vv_Append(void const* data, unsigned n) override;
    void vv_Append(CT_FileOutput& other) override;
    void vv_Append(CT_MemoryOutput const& other) override;
    void vv_AppendC(char const* text, unsigned n, unsigned codePage) override;
    void vv_AppendU(unsigned short const* text, unsigned n) override;
    void vv_Replace(void const* data, unsigned n, unsigned offset) override;
    unsigned vn_GetSize() const override;

private:
    CT_String* pco_Target;
    CT_UString* pco_WideTarget;
};

class BASIS_API CT_HugeOutput : public CT_Output {
public:
    CT_HugeOutput(void* block, unsigned usedSize, unsigned growth);
    CT_HugeOutput(CT_HugeOutput const& other);
    CT_HugeOutput& operator=(CT_HugeOutput const& other);
    ~CT_HugeOutput() override;

    void* h_GiveBuffer();
    unsigned n_GetCapacity() const { return n_Capacity; }
    void const* pcv_GetData() const { return pv_Data; }

    void vv_Append(unsigned char c, unsigned count) override;
    void vv_Append(void const* data, unsigned n) override;
    void vv_Append(CT_FileOutput& other) override;
    void vv_Append(CT_MemoryOutput const& other) override;
    void vv_AppendC(char const* text, unsigned n, unsigned codePage) override;
    void vv_AppendU(unsigned short const* text, unsigned n) override;
    void vv_Replace(void const* data, unsigned n, unsigned offset) override;
    unsigned vn_GetSize() const override { return n_Used; }

private:
    int b_MakeRoom(unsigned n);
    void v_Release();

    unsigned n_Growth;
    unsigned n_Used;
    unsigned n_Capacity;
    void* h_Block;
    void* pv_Data;
};
