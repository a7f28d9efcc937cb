// The registry seam over the SQLite stores of RegistryStore.h: handles,
// path walking and the value calls.
#include "Foundation/Platform/Registry.h"

#include <sqlite3.h>

#include <cstring>
#include <mutex>
#include <string>
#include <unordered_set>
#include <vector>

#include "Foundation/Platform/Posix/RegistryStore.h"

namespace Platform {

namespace {

using Posix::RegistryStore;

constexpr unsigned e_InvalidHandle = 6;  // ERROR_INVALID_HANDLE
constexpr unsigned e_LongestKeyName = 255;
constexpr unsigned e_LongestValueName = 16383;

// An opened key: its store, its row (0 the root) and the access asked for.
struct st_Key {
    std::shared_ptr<RegistryStore> po_Store;
    sqlite3_int64 i8_Id;
    unsigned n_Access;
};

std::mutex& co_HandleLock() {
    static std::mutex* lock = new std::mutex;
    return *lock;
}
std::unordered_set<st_Key*>& co_Handles() {
    static auto* handles = new std::unordered_set<st_Key*>;
    return *handles;
}

// The key behind a handle, copied so another thread may close the handle
// meanwhile. A handle that is neither a predefined root nor open now is
// refused with ERROR_INVALID_HANDLE rather than followed.
unsigned n_Resolve(HKEY key, st_Key* out) {
    auto value = reinterpret_cast<std::uintptr_t>(key);
    for (unsigned root = 0; root < 4; ++root) {
        if (value == reinterpret_cast<std::uintptr_t>(HKEY_CLASSES_ROOT) + root) {
            out->po_Store = RegistryStore::spo_ForRoot(root);
            out->i8_Id = 0;
            out->n_Access = e_KeyAllAccess;
            return 0;
        }
    }
    std::lock_guard<std::mutex> lock(co_HandleLock());
    auto found = co_Handles().find(reinterpret_cast<st_Key*>(key));
    if (found == co_Handles().end()) return e_InvalidHandle;
    *out = **found;
    return 0;
}

HKEY h_NewHandle(st_Key const& key) {
    auto* handle = new st_Key(key);
    std::lock_guard<std::mutex> lock(co_HandleLock());
    co_Handles().insert(handle);
    return reinterpret_cast<HKEY>(handle);
}

unsigned n_Length(unsigned short const* text) {
    unsigned length = 0;
    if (text)
        while (text[length]) ++length;
    return length;
}

// The levels of a path. An empty level (a doubled or leading backslash) or
// one longer than Windows allows is refused with 87; one trailing
// backslash is allowed, as Windows allows it.
unsigned n_SplitPath(unsigned short const* path, std::vector<std::pair<unsigned short const*, unsigned>>* levels) {
    unsigned length = n_Length(path);
    if (length > 0 && path[length - 1] == '\\') --length;
    unsigned start = 0;
    for (unsigned at = 0; at <= length && length > 0; ++at) {
        if (at == length || path[at] == '\\') {
            unsigned size = at - start;
            if (size == 0 || size > e_LongestKeyName) return e_RegInvalidParameter;
            levels->emplace_back(path + start, size);
            start = at + 1;
        }
    }
    return 0;
}

unsigned n_Step(sqlite3_stmt* statement) {
    int result = sqlite3_step(statement);
    return result == SQLITE_ROW || result == SQLITE_DONE ? 0 : RegistryStore::sn_Code(result);
}

// Whether a key row still exists (another handle or process may have
// deleted it): 0, or ERROR_KEY_DELETED.
unsigned n_CheckAlive(RegistryStore* store, sqlite3_int64 id) {
    if (id == 0) return 0;
    sqlite3_stmt* statement = store->p_Statement(RegistryStore::e_KeyExists);
    if (statement == nullptr) return e_RegKeyDeleted;
    sqlite3_bind_int64(statement, 1, id);
    // Reset at once: a statement left on a row would hold its snapshot
    // (and keep the log from being checkpointed) outside any transaction.
    unsigned code = sqlite3_step(statement) == SQLITE_ROW ? 0 : e_RegKeyDeleted;
    sqlite3_reset(statement);
    return code;
}

// The child name of parent: its id, 0 when it is missing.
unsigned n_FindChild(RegistryStore* store, sqlite3_int64 parent, std::string const& fold, sqlite3_int64* id) {
    *id = 0;
    sqlite3_stmt* statement = store->p_Statement(RegistryStore::e_FindKey);
    if (statement == nullptr) return 0;
    sqlite3_bind_int64(statement, 1, parent);
    sqlite3_bind_blob(statement, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
    int result = sqlite3_step(statement);
    if (result == SQLITE_ROW) *id = sqlite3_column_int64(statement, 0);
    sqlite3_reset(statement);
    return result == SQLITE_ROW || result == SQLITE_DONE ? 0 : RegistryStore::sn_Code(result);
}

// Walks (and with create, makes) path below base inside the store's
// current transaction.
unsigned n_Walk(RegistryStore* store, sqlite3_int64 base, unsigned short const* path, bool create,
                sqlite3_int64* id) {
    std::vector<std::pair<unsigned short const*, unsigned>> levels;
    if (unsigned code = n_SplitPath(path, &levels)) return code;
    if (unsigned code = n_CheckAlive(store, base)) return code;
    sqlite3_int64 at = base;
    for (auto const& level : levels) {
        std::string fold = Posix::s_FoldName(level.first, level.second);
        sqlite3_int64 child;
        if (unsigned code = n_FindChild(store, at, fold, &child)) return code;
        if (child == 0) {
            if (!create) return e_RegNotFound;
            sqlite3_stmt* insert = store->p_Statement(RegistryStore::e_InsertKey);
            if (insert == nullptr) return e_RegAccessDenied;
            sqlite3_bind_int64(insert, 1, at);
            sqlite3_bind_blob(insert, 2, level.first, static_cast<int>(level.second * 2), SQLITE_STATIC);
            sqlite3_bind_blob(insert, 3, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
            if (unsigned code = n_Step(insert)) return code;
            child = sqlite3_last_insert_rowid(sqlite3_db_handle(insert));
        }
        at = child;
    }
    *id = at;
    return 0;
}

unsigned n_OpenOrCreate(HKEY key, unsigned short const* path, unsigned access, HKEY* result, bool create) {
    if (result == nullptr) return e_RegInvalidParameter;
    *result = nullptr;
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (create && !(base.n_Access & e_KeyCreateSubKey)) return e_RegAccessDenied;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    sqlite3_int64 id = 0;
    unsigned code;
    if (create) {
        if (unsigned begun = store->n_Begin(true)) return begun;
        code = n_Walk(store, base.i8_Id, path, true, &id);
        code = code ? (store->v_Rollback(), code) : store->n_Commit();
    } else {
        // Opening only reads, one level at a time without a transaction
        // around them: a key deleted meanwhile is found or not, and a handle
        // on a key deleted later refuses every call with 1018 anyway.
        code = n_Walk(store, base.i8_Id, path, false, &id);
    }
    if (code) return code;
    *result = h_NewHandle(st_Key{base.po_Store, id, access});
    return 0;
}

// Copies a blob out as the query calls do: 234 with the size needed when
// the room is too small.
unsigned n_CopyOut(void const* bytes, unsigned count, void* data, unsigned* size) {
    if (data != nullptr && size == nullptr) return e_RegInvalidParameter;
    if (size == nullptr) return 0;
    unsigned room = *size;
    *size = count;
    if (data == nullptr) return 0;
    if (room < count) return e_RegMoreData;
    if (count) std::memcpy(data, bytes, count);
    return 0;
}

unsigned n_CopyName(void const* bytes, unsigned count, unsigned short* name, unsigned* length) {
    unsigned units = count / 2;
    if (length == nullptr) return name ? e_RegInvalidParameter : 0;
    if (name == nullptr) {
        *length = units;
        return 0;
    }
    // The room must hold the terminating zero as well.
    if (*length <= units) return e_RegMoreData;
    if (units) std::memcpy(name, bytes, units * 2);
    name[units] = 0;
    *length = units;
    return 0;
}

}  // namespace

unsigned n_RegOpenKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result) {
    return n_OpenOrCreate(key, path, access, result, false);
}

unsigned n_RegCreateKey(HKEY key, unsigned short const* path, unsigned access, HKEY* result) {
    return n_OpenOrCreate(key, path, access, result, true);
}

unsigned n_RegCloseKey(HKEY key) {
    st_Key probe;
    if (unsigned code = n_Resolve(key, &probe)) return code;
    std::lock_guard<std::mutex> lock(co_HandleLock());
    if (co_Handles().erase(reinterpret_cast<st_Key*>(key))) delete reinterpret_cast<st_Key*>(key);
    return 0;
}

unsigned n_RegQueryValue(HKEY key, unsigned short const* name, unsigned* type, void* data, unsigned* size) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (!(base.n_Access & e_KeyQueryValue)) return e_RegAccessDenied;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    // One statement, so no transaction: the value is looked up first, and
    // only a miss asks whether the key itself is still there.
    sqlite3_stmt* statement = store->p_Statement(RegistryStore::e_FindValue);
    if (statement == nullptr) return e_RegNotFound;
    std::string fold = Posix::s_FoldName(name, n_Length(name));
    sqlite3_bind_int64(statement, 1, base.i8_Id);
    sqlite3_bind_blob(statement, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
    int result = sqlite3_step(statement);
    unsigned code;
    if (result == SQLITE_ROW) {
        if (type) *type = static_cast<unsigned>(sqlite3_column_int64(statement, 0));
        void const* bytes = sqlite3_column_blob(statement, 1);
        code = n_CopyOut(bytes, static_cast<unsigned>(sqlite3_column_bytes(statement, 1)), data, size);
    } else {
        code = result == SQLITE_DONE ? e_RegNotFound : RegistryStore::sn_Code(result);
    }
    sqlite3_reset(statement);
    if (code == e_RegNotFound && n_CheckAlive(store, base.i8_Id)) code = e_RegKeyDeleted;
    return code;
}

unsigned n_RegSetValue(HKEY key, unsigned short const* name, unsigned type, void const* data, unsigned size) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (!(base.n_Access & e_KeySetValue)) return e_RegAccessDenied;
    unsigned length = n_Length(name);
    if (length > e_LongestValueName || (data == nullptr && size != 0) || size > 0x7FFFFFF0u)
        return e_RegInvalidParameter;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    if (!store->b_Writable()) return e_RegAccessDenied;
    sqlite3_stmt* statement = store->p_Statement(RegistryStore::e_SetValue);
    if (statement == nullptr) return e_RegAccessDenied;
    // One statement, which SQLite runs as one write transaction of its own
    // (taking the write lock when it starts, waiting out other writers up
    // to the busy time-out): the value is whole or absent.
    std::string fold = Posix::s_FoldName(name, length);
    static unsigned char const none = 0;
    sqlite3_bind_int64(statement, 1, base.i8_Id);
    sqlite3_bind_blob(statement, 2, length ? static_cast<void const*>(name) : &none, static_cast<int>(length * 2),
                      SQLITE_STATIC);
    sqlite3_bind_blob(statement, 3, length ? fold.data() : static_cast<void const*>(&none),
                      static_cast<int>(fold.size()), SQLITE_STATIC);
    sqlite3_bind_int64(statement, 4, type);
    // A pointer that is never null, so no size is stored as NULL.
    sqlite3_bind_blob(statement, 5, size ? data : &none, static_cast<int>(size), SQLITE_STATIC);
    unsigned code = n_Step(statement);
    if (code == 0 && sqlite3_changes(sqlite3_db_handle(statement)) == 0) code = e_RegKeyDeleted;
    sqlite3_reset(statement);
    return code;
}

unsigned n_RegDeleteValue(HKEY key, unsigned short const* name) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (!(base.n_Access & e_KeySetValue)) return e_RegAccessDenied;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    if (unsigned code = store->n_Begin(true)) return code;
    unsigned code = n_CheckAlive(store, base.i8_Id);
    if (code == 0) {
        sqlite3_stmt* statement = store->p_Statement(RegistryStore::e_DeleteValue);
        if (statement == nullptr) return store->v_Rollback(), e_RegNotFound;
        std::string fold = Posix::s_FoldName(name, n_Length(name));
        sqlite3_bind_int64(statement, 1, base.i8_Id);
        sqlite3_bind_blob(statement, 2, fold.data(), static_cast<int>(fold.size()), SQLITE_STATIC);
        code = n_Step(statement);
        if (code == 0 && sqlite3_changes(sqlite3_db_handle(statement)) == 0) code = e_RegNotFound;
    }
    return code ? (store->v_Rollback(), code) : store->n_Commit();
}

unsigned n_RegDeleteKey(HKEY key, unsigned short const* name) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    // Deleting the key itself through an empty name is not allowed.
    if (n_Length(name) == 0) return e_RegAccessDenied;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    if (unsigned code = store->n_Begin(true)) return code;
    sqlite3_int64 id = 0;
    unsigned code = n_Walk(store, base.i8_Id, name, false, &id);
    if (code == 0) {
        sqlite3_stmt* children = store->p_Statement(RegistryStore::e_HasChild);
        if (children == nullptr) return store->v_Rollback(), e_RegNotFound;
        sqlite3_bind_int64(children, 1, id);
        if (sqlite3_step(children) == SQLITE_ROW) code = e_RegAccessDenied;
    }
    for (auto which : {RegistryStore::e_DeleteKeyValues, RegistryStore::e_DeleteKey}) {
        if (code) break;
        sqlite3_stmt* statement = store->p_Statement(which);
        sqlite3_bind_int64(statement, 1, id);
        code = n_Step(statement);
    }
    return code ? (store->v_Rollback(), code) : store->n_Commit();
}

// The row at index of a listing of key (its subkeys or its values), read
// in a transaction of its own and handed to row, which returns the result
// code; e_RegNoMoreItems past the last row.
template <typename Row>
unsigned n_ReadRowAt(HKEY key, unsigned access, RegistryStore::et_Statement which, unsigned index, Row const& row) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (!(base.n_Access & access)) return e_RegAccessDenied;
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    if (unsigned code = store->n_Begin(false)) return code;
    unsigned code = n_CheckAlive(store, base.i8_Id);
    sqlite3_stmt* statement = code ? nullptr : store->p_Statement(which);
    if (code == 0 && statement == nullptr) code = e_RegNoMoreItems;
    if (code == 0) {
        sqlite3_bind_int64(statement, 1, base.i8_Id);
        sqlite3_bind_int64(statement, 2, index);
        int result = sqlite3_step(statement);
        if (result == SQLITE_ROW)
            code = row(statement);
        else
            code = result == SQLITE_DONE ? e_RegNoMoreItems : RegistryStore::sn_Code(result);
    }
    store->v_Rollback();
    return code;
}

unsigned n_RegEnumKey(HKEY key, unsigned index, unsigned short* name, unsigned* length) {
    return n_ReadRowAt(key, e_KeyEnumerateSubKeys, RegistryStore::e_ChildAt, index, [&](sqlite3_stmt* statement) {
        return n_CopyName(sqlite3_column_blob(statement, 0), static_cast<unsigned>(sqlite3_column_bytes(statement, 0)),
                          name, length);
    });
}

unsigned n_RegEnumValue(HKEY key, unsigned index, unsigned short* name, unsigned* length, unsigned* type, void* data,
                        unsigned* size) {
    return n_ReadRowAt(key, e_KeyQueryValue, RegistryStore::e_ValueAt, index, [&](sqlite3_stmt* statement) {
        unsigned code = n_CopyName(sqlite3_column_blob(statement, 0),
                                   static_cast<unsigned>(sqlite3_column_bytes(statement, 0)), name, length);
        if (type) *type = static_cast<unsigned>(sqlite3_column_int64(statement, 1));
        void const* bytes = sqlite3_column_blob(statement, 2);
        unsigned count = static_cast<unsigned>(sqlite3_column_bytes(statement, 2));
        unsigned dataCode = n_CopyOut(bytes, count, data, size);
        return code == 0 ? dataCode : code;
    });
}

unsigned n_RegQueryInfoKey(HKEY key, unsigned* subKeys, unsigned* longestSubKey, unsigned* values,
                           unsigned* longestValueName, unsigned* longestValue) {
    st_Key base;
    if (unsigned code = n_Resolve(key, &base)) return code;
    if (!(base.n_Access & e_KeyQueryValue)) return e_RegAccessDenied;
    unsigned figures[5] = {};
    RegistryStore* store = base.po_Store.get();
    std::lock_guard<std::mutex> lock(store->co_Lock);
    if (unsigned code = store->n_Begin(false)) return code;
    unsigned code = n_CheckAlive(store, base.i8_Id);
    sqlite3_stmt* children = code ? nullptr : store->p_Statement(RegistryStore::e_ChildInfo);
    if (children) {
        sqlite3_bind_int64(children, 1, base.i8_Id);
        if (sqlite3_step(children) == SQLITE_ROW) {
            figures[0] = static_cast<unsigned>(sqlite3_column_int64(children, 0));
            figures[1] = static_cast<unsigned>(sqlite3_column_int64(children, 1) / 2);
        }
        sqlite3_stmt* valueInfo = store->p_Statement(RegistryStore::e_ValueInfo);
        if (valueInfo) sqlite3_bind_int64(valueInfo, 1, base.i8_Id);
        if (valueInfo && sqlite3_step(valueInfo) == SQLITE_ROW) {
            figures[2] = static_cast<unsigned>(sqlite3_column_int64(valueInfo, 0));
            figures[3] = static_cast<unsigned>(sqlite3_column_int64(valueInfo, 1) / 2);
            figures[4] = static_cast<unsigned>(sqlite3_column_int64(valueInfo, 2));
        }
    }
    store->v_Rollback();
    if (code) return code;
    unsigned* outs[5] = {subKeys, longestSubKey, values, longestValueName, longestValue};
    for (int i = 0; i < 5; ++i)
        if (outs[i]) *outs[i] = figures[i];
    return 0;
}

void v_SetRegistryFolder(unsigned short const* folder) { RegistryStore::sv_SetFolder(folder); }

}  // namespace Platform
