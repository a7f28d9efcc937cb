// CT_Registry: a cursor on a key of the platform's registry, a root given
// by the caller and a path below it. It creates, selects and deletes keys
// relative to that position, and reads, writes and deletes named values of
// three types: text, binary data and 32-bit numbers. No key stays open
// between calls: every operation opens the key it needs and closes it.
//
// Failures go to the error manager with the registry's result code, in the
// same words on every platform; a value of another type than asked for is
// code 87, and a failed read leaves the caller's result untouched.
#pragma once

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Registry.h"

class CT_String;

class BASIS_API CT_Registry {
public:
    // Value types and access rights, as the platform numbers them.
    enum : unsigned { e_Text = 1, e_Binary = 3, e_Number = 4 };
    enum : unsigned { e_Read = 0x20019, e_Write = 0x20006, e_ReadWrite = 0x2001F };

    explicit CT_Registry(HKEY root);
    CT_Registry(HKEY root, CT_String const* path);
    explicit CT_Registry(CT_Registry const* other);
    CT_Registry(CT_Registry const& other);
    CT_Registry& operator=(CT_Registry const& other);
    ~CT_Registry();

    void v_Set(HKEY root);
    void v_Set(HKEY root, CT_String const* path);
    void v_Set(CT_Registry const* other);

    void v_CreateKey(CT_String const* key);
    void v_SetKey(CT_String const* key);
    void v_DeleteKey(CT_String const* key);

    void v_GetValue(CT_String const* name, CT_String* text);
    void v_GetValue(CT_String const* name, CT_Buffer* data);
    void v_GetValue(CT_String const* name, unsigned long* number);
    void v_SetValue(CT_String const* name, CT_String const* text);
    void v_SetValue(CT_String const* name, CT_Buffer const* data);
    void v_SetValue(CT_String const* name, unsigned long number);
    void v_DeleteValue(CT_String const* name) const;

    HKEY h_GetRoot() const { return h_Root; }
    CT_UString const* pcco_GetPath() const { return &co_Path; }

    // The words of a registry result code, the same on every platform
    // (the system's own text for codes the registry does not give).
    static unsigned sn_GetMessage(unsigned code, unsigned short* buffer, unsigned size);

private:
    void v_Null();
    void v_MakeFullKey(CT_String const* key, CT_UString* full) const;
    void v_ValueToBuffer(CT_String const* name, unsigned type);
    void v_BufferToValue(CT_String const* name, unsigned type);
    static void sv_Fail(unsigned code, unsigned line);

    HKEY h_Root;
    CT_UString co_Path;
    CT_Buffer co_Value;
};
