#include "Foundation/Platform/Posix/RegistryStore.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <map>

#include "Foundation/Basis/Character/CharMappings.h"
#include "Foundation/Platform/Posix/PathText.h"
#include "Foundation/Platform/Registry.h"

namespace Platform {
namespace Posix {

namespace {

char const* const aqcz_RootNames[4] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS"};

char const* const aqcz_Statements[RegistryStore::e_StatementCount] = {
    "SELECT id FROM keys WHERE parent=?1 AND fold=?2",
    "INSERT INTO keys(parent,name,fold) VALUES(?1,?2,?3)",
    "SELECT 1 FROM keys WHERE id=?1",
    "SELECT name FROM keys WHERE parent=?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT count(*),ifnull(max(length(name)),0) FROM keys WHERE parent=?1",
    "SELECT 1 FROM keys WHERE parent=?1 LIMIT 1",
    "DELETE FROM keys WHERE id=?1",
    "DELETE FROM vals WHERE key=?1",
    "SELECT type,data FROM vals WHERE key=?1 AND fold=?2",
    // Only while the key is there (the root, 0, always is); a value set
    // again under another case keeps the name it was made with.
    "INSERT INTO vals(key,name,fold,type,data) SELECT ?1,?2,?3,?4,?5 WHERE ?1=0 OR EXISTS(SELECT 1 FROM keys WHERE id=?1) ON CONFLICT(key,fold) DO UPDATE SET type=excluded.type,data=excluded.data",
    "DELETE FROM vals WHERE key=?1 AND fold=?2",
    "SELECT name,type,data FROM vals WHERE key=?1 ORDER BY fold LIMIT 1 OFFSET ?2",
    "SELECT count(*),ifnull(max(length(name)),0),ifnull(max(length(data)),0) FROM vals WHERE key=?1",
};

char const qacz_Schema[] =
    "CREATE TABLE IF NOT EXISTS keys(id INTEGER PRIMARY KEY,parent INTEGER NOT NULL,"
    "name BLOB NOT NULL,fold BLOB NOT NULL,UNIQUE(parent,fold));"
    "CREATE TABLE IF NOT EXISTS vals(key INTEGER NOT NULL,name BLOB NOT NULL,fold BLOB NOT NULL,"
    "type INTEGER NOT NULL,data BLOB NOT NULL,PRIMARY KEY(key,fold)) WITHOUT ROWID;";

struct st_Stores {
    std::mutex co_Lock;
    std::string s_Folder;  // empty: the usual places
    std::map<std::string, std::shared_ptr<RegistryStore>> co_Open;
    // Each root's store as last chosen, so opening a key below a root costs
    // no look at the environment; choosing a folder forgets them.
    std::shared_ptr<RegistryStore> ao_Current[4];
    pid_t i_Pid = 0;
};

st_Stores& so_Stores() {
    static st_Stores* stores = new st_Stores;  // lives to the very end: handles may outlive static objects
    return *stores;
}

std::string s_UserFolder() {
    char const* config = std::getenv("XDG_CONFIG_HOME");
    if (config && config[0] == '/') return std::string(config) + "/basis/registry";
    char const* home = std::getenv("HOME");
    return std::string(home && home[0] ? home : "/tmp") + "/.config/basis/registry";
}

// Makes every missing level of folder; failures are left to the open.
void v_MakeFolders(std::string const& folder, unsigned mode) {
    for (std::size_t at = 1; at <= folder.size(); ++at) {
        if (at == folder.size() || folder[at] == '/') ::mkdir(folder.substr(0, at).c_str(), mode);
    }
}

}  // namespace

std::string s_FoldName(unsigned short const* name, unsigned length) {
    std::string fold(length * 2, '\0');
    for (unsigned i = 0; i < length; ++i) {
        unsigned short upper = CT_CharMappings::su_ToUpper(name[i]);
        fold[2 * i] = static_cast<char>(upper >> 8);
        fold[2 * i + 1] = static_cast<char>(upper & 0xFF);
    }
    return fold;
}

std::string RegistryStore::ss_Folder(unsigned root) {
    st_Stores& stores = so_Stores();
    std::lock_guard<std::mutex> lock(stores.co_Lock);
    if (!stores.s_Folder.empty()) return stores.s_Folder;
    return root == 1 ? s_UserFolder() : std::string("/var/lib/basis/registry");
}

void RegistryStore::sv_SetFolder(unsigned short const* folder) {
    st_Stores& stores = so_Stores();
    std::string native = folder ? s_NativePath(folder) : std::string();
    std::lock_guard<std::mutex> lock(stores.co_Lock);
    stores.s_Folder = native;
    for (auto& current : stores.ao_Current) current.reset();
}

std::shared_ptr<RegistryStore> RegistryStore::spo_ForRoot(unsigned root) {
    if (root > 3) return nullptr;
    st_Stores& stores = so_Stores();
    {
        std::lock_guard<std::mutex> lock(stores.co_Lock);
        if (stores.i_Pid == ::getpid() && stores.ao_Current[root]) return stores.ao_Current[root];
    }
    std::string folder = ss_Folder(root);
    std::lock_guard<std::mutex> lock(stores.co_Lock);
    // A child made by fork must not use its parent's connections (their
    // locks belong to the parent): it forgets them without closing them,
    // as closing could touch the parent's log.
    if (stores.i_Pid != ::getpid()) {
        for (auto& entry : stores.co_Open) new std::shared_ptr<RegistryStore>(entry.second);
        stores.co_Open.clear();
        for (auto& current : stores.ao_Current) {
            if (current) new std::shared_ptr<RegistryStore>(current);
            current.reset();
        }
        stores.i_Pid = ::getpid();
    }
    std::string path = folder + "/" + aqcz_RootNames[root] + ".db";
    std::shared_ptr<RegistryStore>& slot = stores.co_Open[path];
    if (!slot) {
        slot.reset(new RegistryStore);
        slot->v_Open(path, folder.c_str(), root == 1 || !stores.s_Folder.empty() ? 0700 : 0755);
    }
    stores.ao_Current[root] = slot;
    return slot;
}

void RegistryStore::v_Open(std::string const& path, char const* folder, unsigned mode) {
    v_MakeFolders(folder, mode);
    int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &p_Db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(p_Db);
        p_Db = nullptr;
        if (sqlite3_open_v2(path.c_str(), &p_Db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
            // No store at all: it reads as an empty root and refuses changes.
            sqlite3_close(p_Db);
            p_Db = nullptr;
            return;
        }
    }
    sqlite3_busy_timeout(p_Db, 10000);
    b_CanWrite = sqlite3_db_readonly(p_Db, "main") == 0;
    if (b_CanWrite) {
        sqlite3_exec(p_Db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
        sqlite3_exec(p_Db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
        if (n_Begin(true) == 0) {
            if (sqlite3_exec(p_Db, qacz_Schema, nullptr, nullptr, nullptr) == SQLITE_OK) {
                n_Commit();
            } else {
                v_Rollback();
            }
        }
    }
    sqlite3_stmt* probe = nullptr;
    b_HasTables = sqlite3_prepare_v2(p_Db, "SELECT 1 FROM keys,vals LIMIT 0", -1, &probe, nullptr) == SQLITE_OK;
    sqlite3_finalize(probe);
}

RegistryStore::~RegistryStore() {
    for (sqlite3_stmt* statement : ap_Statements) sqlite3_finalize(statement);
    for (sqlite3_stmt* statement : ap_Transaction) sqlite3_finalize(statement);
    sqlite3_close(p_Db);
}

sqlite3_stmt* RegistryStore::p_Statement(et_Statement which) {
    if (!b_HasTables) return nullptr;
    sqlite3_stmt*& statement = ap_Statements[which];
    if (statement == nullptr) {
        if (sqlite3_prepare_v3(p_Db, aqcz_Statements[which], -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr) !=
            SQLITE_OK)
            return nullptr;
    } else {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
    return statement;
}

int RegistryStore::i_Run(int which) {
    static char const* const aqcz_Texts[4] = {"BEGIN", "BEGIN IMMEDIATE", "COMMIT", "ROLLBACK"};
    sqlite3_stmt*& statement = ap_Transaction[which];
    if (statement == nullptr) {
        int prepared = sqlite3_prepare_v3(p_Db, aqcz_Texts[which], -1, SQLITE_PREPARE_PERSISTENT, &statement, nullptr);
        if (prepared != SQLITE_OK) return prepared;
    }
    int result = sqlite3_step(statement);
    sqlite3_reset(statement);
    return result;
}

unsigned RegistryStore::n_Begin(bool write) {
    if (p_Db == nullptr) return write ? e_RegAccessDenied : 0;
    if (write && !b_CanWrite) return e_RegAccessDenied;
    return sn_Code(i_Run(write ? 1 : 0));
}

unsigned RegistryStore::n_Commit() {
    if (p_Db == nullptr) return 0;
    // Statements still stepping would hold the read lock into the next
    // transaction; they are reset before the end of each.
    for (sqlite3_stmt* statement : ap_Statements)
        if (statement) sqlite3_reset(statement);
    int result = i_Run(2);
    if (result != SQLITE_DONE) v_Rollback();
    return sn_Code(result);
}

void RegistryStore::v_Rollback() {
    if (p_Db == nullptr) return;
    for (sqlite3_stmt* statement : ap_Statements)
        if (statement) sqlite3_reset(statement);
    if (!sqlite3_get_autocommit(p_Db)) i_Run(3);
}

unsigned RegistryStore::sn_Code(int result) {
    switch (result & 0xFF) {
    case SQLITE_OK:
    case SQLITE_ROW:
    case SQLITE_DONE:
        return 0;
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_CANTOPEN:
    case SQLITE_AUTH:
        return e_RegAccessDenied;
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return 170;  // ERROR_BUSY: another process held the store past the time-out
    case SQLITE_NOMEM:
        return 14;  // ERROR_OUTOFMEMORY
    case SQLITE_TOOBIG:
    case SQLITE_RANGE:
        return e_RegInvalidParameter;
    case SQLITE_IOERR:
    case SQLITE_FULL:
        return 1016;  // ERROR_REGISTRY_IO_FAILED
    default:
        return e_RegCorrupt;
    }
}

}  // namespace Posix
}  // namespace Platform
