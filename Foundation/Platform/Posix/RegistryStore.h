// The Linux registry: one SQLite database per predefined root.
//
// Where the files live:
//   HKEY_CURRENT_USER   $XDG_CONFIG_HOME/basis/registry/HKEY_CURRENT_USER.db
//                       ($HOME/.config/... when XDG_CONFIG_HOME is unset or
//                       not an absolute path, as the XDG rules say)
//   HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS
//                       /var/lib/basis/registry/<root>.db, a system folder
//                       only root can write: other users read it, and their
//                       changes are refused with 5, as on Windows.
//   v_SetRegistryFolder(F) puts all four as F/<root>.db. The variables are
//   read when a root is first used after start or after the folder was
//   last set (v_SetRegistryFolder(null) reads them again).
//
// Tables (names as UTF-16LE blobs, so every unit is kept exactly; the
// matching form is every unit upper-cased by the library's mapping, stored
// big-endian so that the blob order is the order of the units):
//   keys(id INTEGER PRIMARY KEY, parent, name, fold, UNIQUE(parent, fold))
//       the root itself is id 0 and has no row; the unique index finds a
//       child by name and lists the children in order.
//   vals(key, name, fold, type, data, PRIMARY KEY(key, fold)) WITHOUT ROWID
//       the data as the caller gave it, byte for byte.
//
// Every change runs in one BEGIN IMMEDIATE transaction. The journal is a
// write-ahead log with synchronous=NORMAL: a committed change survives the
// death of the process at any moment (the log is in the system's hands once
// the commit returns); only a power failure may take back the last commits.
// A busy time-out of ten seconds lets several processes write at once.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

struct sqlite3;
struct sqlite3_stmt;

namespace Platform {
namespace Posix {

class RegistryStore {
public:
    enum et_Statement {
        e_FindKey,
        e_InsertKey,
        e_KeyExists,
        e_ChildAt,
        e_ChildInfo,
        e_HasChild,
        e_DeleteKey,
        e_DeleteKeyValues,
        e_FindValue,
        e_SetValue,
        e_DeleteValue,
        e_ValueAt,
        e_ValueInfo,
        e_StatementCount
    };

    // The store of a predefined root (0 classes root, 1 current user, 2
    // local machine, 3 users) in the folder currently chosen.
    static std::shared_ptr<RegistryStore> spo_ForRoot(unsigned root);
    static void sv_SetFolder(unsigned short const* folder);
    // The folder a root's store lives in, as chosen now.
    static std::string ss_Folder(unsigned root);

    ~RegistryStore();

    // The statement reset and cleared, ready to bind; null when the store
    // has no tables (a store that could not be created reads as empty).
    sqlite3_stmt* p_Statement(et_Statement which);
    // Transactions: write ones take the write lock at once. Each returns a
    // registry result code.
    unsigned n_Begin(bool write);
    unsigned n_Commit();
    void v_Rollback();
    bool b_Writable() const { return b_CanWrite; }
    // The registry result code for an SQLite result.
    static unsigned sn_Code(int result);

    std::mutex co_Lock;

private:
    RegistryStore() = default;
    void v_Open(std::string const& path, char const* folder, unsigned mode);

    sqlite3* p_Db = nullptr;
    bool b_CanWrite = false;
    bool b_HasTables = false;
    sqlite3_stmt* ap_Statements[e_StatementCount] = {};
    // BEGIN, BEGIN IMMEDIATE, COMMIT and ROLLBACK, prepared once: every
    // change runs them, and parsing them each time costs more than the
    // change itself.
    sqlite3_stmt* ap_Transaction[4] = {};
    int i_Run(int which);
};

// The matching form of a name: each unit upper-cased, big-endian.
std::string s_FoldName(unsigned short const* name, unsigned length);

}  // namespace Posix
}  // namespace Platform
