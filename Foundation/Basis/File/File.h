// The abstract file: a named file with its path split into components,
// the settings of its current opening, and the pure virtual operations
// that the stdio file and the native file implement. The text-line and
// buffer transfers common to both are built here on those operations.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"

class BASIS_API CT_File {
public:
    enum et_Access { e_NoAccess = 0, e_Read = 1, e_Write = 2, e_ReadWrite = 3 };
    enum et_Open { e_OpenExisting = 1, e_CreateAlways = 2, e_OpenAppend = 3 };
    enum et_Share { e_ShareNone = 0, e_ShareRead = 1, e_ShareWrite = 2, e_ShareReadWrite = 3 };
    enum et_Origin { e_Begin = 0, e_Current = 1, e_End = 2 };

    // Open attributes (fourth argument of vv_Open).
    enum : unsigned {
        e_AttributeNormal = 0x01,
        e_AttributeArchive = 0x02,
        e_AttributeCompressed = 0x04,
        e_AttributeHidden = 0x08,
        e_AttributeReadOnly = 0x10,
        e_AttributeSystem = 0x20,
        e_AttributeDirectory = 0x40,
        e_AttributeTemporary = 0x80,
    };
    // Open flags (fifth argument of vv_Open).
    enum : unsigned {
        e_FlagWriteThrough = 0x01,
        e_FlagOverlapped = 0x02,
        e_FlagNoBuffering = 0x04,
        e_FlagRandomAccess = 0x08,
        e_FlagSequentialScan = 0x10,
        e_FlagDeleteOnClose = 0x20,
    };

    CT_File();
    CT_File(CT_String const* name, unsigned bufferSize);
    explicit CT_File(CT_File const* other);
    virtual ~CT_File();
    CT_File& operator=(CT_File const& other);

    virtual void vv_Set(CT_File const* other);
    virtual void vv_Set(CT_String const* name, unsigned bufferSize);
    virtual void vv_Set();
    virtual void vv_Open(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags) = 0;
    virtual void vv_Close() = 0;
    virtual void vv_Flush() = 0;
    virtual void vv_Remove() = 0;
    virtual void vv_Rename(CT_String const* newName) = 0;
    virtual unsigned vn_Read(void* data, unsigned n) = 0;
    virtual unsigned vn_Write(void const* data, unsigned n) = 0;
    virtual unsigned vn_GetSize() const = 0;
    virtual unsigned vn_GetOffset() const = 0;
    virtual void vv_SetOffset(et_Origin origin, int offset) = 0;
    virtual int vb_IsEof() const = 0;

    CT_UString const* pcco_GetFullName() const { return &co_FullName; }
    CT_UString const* pcco_GetDrive() const { return &co_Drive; }
    CT_UString const* pcco_GetDirectory() const { return &co_Directory; }
    CT_UString const* pcco_GetName() const { return &co_Name; }
    CT_UString const* pcco_GetExtension() const { return &co_Extension; }
    void v_SetFullName(CT_String const* name);
    void v_SetDrive(CT_String const* drive);
    void v_SetDirectory(CT_String const* directory);
    void v_SetName(CT_String const* name);
    void v_SetExtension(CT_String const* extension);
    void v_FullPath();
    int b_IsExistent() const;

    int b_IsOpen() const { return b_Open; }
    et_Access ec_GetOpenAccess() const { return eo_OpenAccess; }
    et_Open ec_GetOpenModi() const { return eo_OpenMode; }
    et_Share ec_GetOpenShare() const { return eo_OpenShare; }
    unsigned n_GetOpenAttribut() const { return n_OpenAttributes; }
    unsigned n_GetOpenFlag() const { return n_OpenFlags; }
    unsigned n_GetBufferSize() const { return n_BufferSize; }

    unsigned n_Read(CT_Buffer* buffer, unsigned n);
    unsigned n_Write(CT_Buffer const* buffer, unsigned n);
    void v_Append(CT_File const* source, unsigned chunkSize);
    int b_IsUnicode();
    unsigned n_ReadLineC(CT_String* line, CT_String const* strip);
    unsigned n_ReadLineU(CT_String* line, CT_String const* strip);
    unsigned n_ReadLineCSequential(CT_String* line, CT_String const* strip);
    unsigned n_ReadLineUSequential(CT_String* line, CT_String const* strip);
    void v_WriteLineC(CT_String const* line, int newline);
    void v_WriteLineU(CT_String const* line, int newline);

    // Rounds a buffer size up to a multiple of 1024 (0 stays 0).
    static unsigned sn_RoundBufferSize(unsigned size) { return (size + 1023) & ~1023u; }

protected:
    enum et_FileAccess { e_LastNone = 0, e_LastRead = 1, e_LastWrite = 2 };

    void v_SetOpen(int open) { b_Open = open; }
    void v_SetAccess(et_FileAccess access);
    // Records the settings of a successful opening.
    void v_SetOpened(et_Access access, et_Open open, et_Share share, unsigned attributes, unsigned flags);
    // Back to the closed state: open flag, settings, last transfer and
    // sequential read position 0.
    void v_SetClosed();
    et_FileAccess eo_GetLastTransfer() const { return eo_LastTransfer; }
    void v_SetLastTransfer(et_FileAccess access) { eo_LastTransfer = access; }

private:
    void v_Null();
    void v_Init();
    void v_SplitPath();
    void v_MakePath();
    // Skips a byte-order mark when the offset is 0; 0 after a failure.
    int b_SkipByteOrderMark();
    unsigned char* puc_LineBuffer(unsigned size);

    CT_UString co_FullName;
    CT_Buffer co_LineBuffer;
    unsigned n_SequentialPosition;
    CT_UString co_Drive;
    CT_UString co_Directory;
    CT_UString co_Name;
    CT_UString co_Extension;
    unsigned n_BufferSize;
    et_FileAccess eo_LastTransfer;
    int b_Open;
    et_Access eo_OpenAccess;
    et_Open eo_OpenMode;
    et_Share eo_OpenShare;
    unsigned n_OpenAttributes;
    unsigned n_OpenFlags;
};
