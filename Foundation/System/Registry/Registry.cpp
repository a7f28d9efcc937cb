#include "Foundation/System/Registry/Registry.h"

#include <cstdint>
#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Platform/SystemError.h"
#include "Foundation/System/SysInfo/OS.h"

namespace {

char const* const qcz_Location = "Foundation/System/Registry/Registry";
unsigned short const au_Backslash[] = {'\\', 0};

// A name as the wide text the seam takes; a null name is the default value.
CT_UString co_Wide(CT_String const* text) { return text ? CT_UString(text) : CT_UString(); }

// Deletes name below parent with everything under it: the first subkey is
// taken again and again until none is left, as each deletion moves the rest.
unsigned n_DeleteTree(HKEY parent, unsigned short const* name) {
    HKEY key = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(parent, name, CT_Registry::e_ReadWrite, &key)) return code;
    unsigned count = 0, longest = 0;
    unsigned code = Platform::n_RegQueryInfoKey(key, &count, &longest, nullptr, nullptr, nullptr);
    CT_UString child(longest + 1);
    child.vv_SetLength(longest);
    for (unsigned i = 0; code == 0 && i < count; ++i) {
        unsigned length = longest + 1;
        auto* units = const_cast<unsigned short*>(child.qcuz_Get());
        code = Platform::n_RegEnumKey(key, 0, units, &length);
        if (code == 0) code = n_DeleteTree(key, units);
    }
    Platform::n_RegCloseKey(key);
    return code ? code : Platform::n_RegDeleteKey(parent, name);
}

}  // namespace

CT_Registry::CT_Registry(HKEY root) { v_Set(root); }

CT_Registry::CT_Registry(HKEY root, CT_String const* path) { v_Set(root, path); }

CT_Registry::CT_Registry(CT_Registry const* other) { v_Set(other); }

CT_Registry::CT_Registry(CT_Registry const& other) { v_Set(&other); }

CT_Registry& CT_Registry::operator=(CT_Registry const& other) {
    v_Set(&other);
    return *this;
}

CT_Registry::~CT_Registry() = default;

void CT_Registry::v_Null() {
    h_Root = nullptr;
    co_Path = CT_UString();
    co_Value.v_Set(0, 0, 0);
}

void CT_Registry::v_Set(HKEY root) {
    v_Null();
    h_Root = root;
}

void CT_Registry::v_Set(HKEY root, CT_String const* path) {
    v_Set(root);
    if (path == nullptr) return;  // no path: the root itself
    co_Path.v_Set(path);
    CT_UString set(au_Backslash, 1);
    co_Path.vv_Strip(&set);
}

void CT_Registry::v_Set(CT_Registry const* other) {
    if (other == nullptr || other == this) return;
    h_Root = other->h_Root;
    co_Path = other->co_Path;
    co_Value.v_Set(&other->co_Value);
}

void CT_Registry::sv_Fail(unsigned code, unsigned line) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!errors->b_IsSetError()) {
        // The code goes to the platform as its last error, as a failed
        // system call leaves it; the message is the registry's own text,
        // so it reads the same whichever system wrote it.
        Platform::v_SetLastError(code);
        unsigned short text[CT_ErrorManager::e_MessageSize];
        sn_GetMessage(code, text, CT_ErrorManager::e_MessageSize);
        static unsigned short const au_Format[] = {'%', 's', 0};
        errors->v_SetError(code, au_Format, text);
    }
    errors->v_AddLocation(qcz_Location, line);
}

void CT_Registry::v_MakeFullKey(CT_String const* key, CT_UString* full) const {
    CT_UString wide = co_Wide(key);
    CT_UString set(au_Backslash, 1);
    if (wide.u_GetAt(0) == '\\') {
        wide.vv_Strip(&set);
        *full = wide;
    } else if (wide.n_GetLength() == 2 && wide.u_GetAt(0) == '.' && wide.u_GetAt(1) == '.') {
        unsigned last = co_Path.n_GetLength();
        while (last > 0 && co_Path.u_GetAt(last - 1) != '\\') --last;
        full->v_Set(co_Path.qcuz_Get(), last > 0 ? last - 1 : 0);
    } else if (co_Path.n_GetLength() == 0) {
        // A relative key at the root: the key itself is the full key,
        // below the root, rather than a path that starts with a backslash
        // (which the registry would refuse).
        *full = wide;
    } else {
        full->v_Set(co_Path.qcuz_Get(), co_Path.n_GetLength());
        full->v_Append('\\');
        full->v_Append(wide.qcuz_Get(), wide.n_GetLength());
    }
}

void CT_Registry::v_CreateKey(CT_String const* key) {
    CT_UString full;
    v_MakeFullKey(key, &full);
    HKEY created = nullptr;
    if (unsigned code = Platform::n_RegCreateKey(h_Root, full.qcuz_Get(), e_Write, &created))
        return sv_Fail(code, __LINE__);
    Platform::n_RegCloseKey(created);
}

void CT_Registry::v_SetKey(CT_String const* key) {
    CT_UString full;
    v_MakeFullKey(key, &full);
    HKEY opened = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(h_Root, full.qcuz_Get(), e_Read, &opened))
        return sv_Fail(code, __LINE__);
    Platform::n_RegCloseKey(opened);
    co_Path = full;
}

void CT_Registry::v_DeleteKey(CT_String const* key) {
    CT_UString name = co_Wide(key);
    // No name would name the current position itself: refused, as the
    // registry refuses to delete a key through an empty subkey name.
    if (name.n_GetLength() == 0) return sv_Fail(Platform::e_RegInvalidParameter, __LINE__);
    HKEY position = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(h_Root, co_Path.qcuz_Get(), e_Write, &position))
        return sv_Fail(code, __LINE__);
    unsigned code = n_DeleteTree(position, name.qcuz_Get());
    Platform::n_RegCloseKey(position);
    if (code) sv_Fail(code, __LINE__);
}

void CT_Registry::v_ValueToBuffer(CT_String const* name, unsigned type) {
    HKEY key = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(h_Root, co_Path.qcuz_Get(), e_Read, &key))
        return sv_Fail(code, __LINE__);
    CT_UString wide = co_Wide(name);
    // The size and type are asked together with the bytes, into a value
    // buffer of its own with room for small values, so most reads take one
    // question; a larger value is read again into a buffer of exactly its
    // size (also when another writer made it grow between the two).
    CT_Buffer value;
    unsigned size = 64, stored = 0, code = 0;
    for (int attempt = 0; attempt < 4; ++attempt) {
        value.v_Set(size ? size : 1, 0, 0);
        unsigned room = size;
        code = Platform::n_RegQueryValue(key, wide.qcuz_Get(), &stored, const_cast<void*>(value.qcv_Get()), &room);
        size = room;
        if (code != Platform::e_RegMoreData) break;
    }
    Platform::n_RegCloseKey(key);
    if (code == 0 && stored != type) code = Platform::e_RegInvalidParameter;
    if (code) return sv_Fail(code, __LINE__);
    value.v_SetUsedSize(size);
    co_Value.v_Set(&value);
}

void CT_Registry::v_BufferToValue(CT_String const* name, unsigned type) {
    HKEY key = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(h_Root, co_Path.qcuz_Get(), e_Write, &key))
        return sv_Fail(code, __LINE__);
    CT_UString wide = co_Wide(name);
    unsigned code =
        Platform::n_RegSetValue(key, wide.qcuz_Get(), type, co_Value.qcv_Get(), co_Value.n_GetUsedSize());
    Platform::n_RegCloseKey(key);
    if (code) sv_Fail(code, __LINE__);
}

void CT_Registry::v_GetValue(CT_String const* name, CT_String* text) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_ValueToBuffer(name, e_Text);
    if (errors->b_IsSetError()) return errors->v_AddLocation(qcz_Location, __LINE__);
    // Text stored by another program may lack its terminating zero (or,
    // wide, be an odd number of bytes): the missing zero is added rather
    // than read past the value.
    unsigned unit = CT_OS::sb_GetIsWindowsNT() ? 2 : 1;
    unsigned size = co_Value.n_GetUsedSize() / unit * unit;
    CT_Buffer bytes;
    bytes.v_Set(co_Value.qcv_Get(), size, 0);
    static unsigned char const zeros[2] = {0, 0};
    if (size < unit || std::memcmp(static_cast<unsigned char const*>(bytes.qcv_Get()) + size - unit, zeros, unit) != 0)
        bytes.v_Append(zeros, unit);
    if (text == nullptr) return;
    if (unit == 2) {
        CT_UString stored(&bytes);
        text->v_Set(&stored);
    } else {
        CT_CString stored(&bytes, 0);
        text->v_Set(&stored);
    }
}

void CT_Registry::v_GetValue(CT_String const* name, CT_Buffer* data) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_ValueToBuffer(name, e_Binary);
    if (errors->b_IsSetError()) return errors->v_AddLocation(qcz_Location, __LINE__);
    if (data) data->v_Set(&co_Value);
}

void CT_Registry::v_GetValue(CT_String const* name, unsigned long* number) {
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_ValueToBuffer(name, e_Number);
    if (errors->b_IsSetError()) return errors->v_AddLocation(qcz_Location, __LINE__);
    // A number stored shorter than four bytes by another program reads
    // with its missing high bytes as zero.
    unsigned char bytes[4] = {};
    unsigned size = co_Value.n_GetUsedSize();
    std::memcpy(bytes, co_Value.qcv_Get(), size < 4 ? size : 4);
    std::uint32_t value = bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
    if (number) *number = value;
}

void CT_Registry::v_SetValue(CT_String const* name, CT_String const* text) {
    if (CT_OS::sb_GetIsWindowsNT()) {
        CT_UString wide = co_Wide(text);
        co_Value.v_Set(wide.qcuz_Get(), (wide.n_GetLength() + 1) * 2, 0);
    } else {
        CT_CString narrow(0);
        if (text) narrow = CT_CString(text, 0);
        co_Value.v_Set(narrow.qccz_Get(), narrow.vn_GetLength() + 1, 0);
    }
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_BufferToValue(name, e_Text);
    if (errors->b_IsSetError()) errors->v_AddLocation(qcz_Location, __LINE__);
}

void CT_Registry::v_SetValue(CT_String const* name, CT_Buffer const* data) {
    if (data)
        co_Value.v_Set(data);
    else
        co_Value.v_Set(0, 0, 0);  // no buffer: an empty value
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_BufferToValue(name, e_Binary);
    if (errors->b_IsSetError()) errors->v_AddLocation(qcz_Location, __LINE__);
}

void CT_Registry::v_SetValue(CT_String const* name, unsigned long number) {
    // The low 32 bits, little-endian, as the platform stores a number.
    auto value = static_cast<std::uint32_t>(number);
    unsigned char bytes[4] = {static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
                              static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    co_Value.v_Set(bytes, 4, 0);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    v_BufferToValue(name, e_Number);
    if (errors->b_IsSetError()) errors->v_AddLocation(qcz_Location, __LINE__);
}

void CT_Registry::v_DeleteValue(CT_String const* name) const {
    HKEY key = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(h_Root, co_Path.qcuz_Get(), e_Write, &key))
        return sv_Fail(code, __LINE__);
    CT_UString wide = co_Wide(name);
    unsigned code = Platform::n_RegDeleteValue(key, wide.qcuz_Get());
    Platform::n_RegCloseKey(key);
    if (code) sv_Fail(code, __LINE__);
}
