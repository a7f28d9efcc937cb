// The library's static objects, all in this one translation unit so that
// their order holds on every linker: construction top to bottom at load,
// destruction bottom to top at unload. The error manager is set up before,
// and torn down after, every class that reports errors in its own set-up.
//
// Adding a class is one line in its place in the list:
//   BASIS_POOL(Class, blocks)      the class's object pool
//   BASIS_TYPE(Class)              its type object, then its prototype
//   BASIS_INIT_EXIT(Class)         CT_Init running Class::sv_Init, then
//                                  CT_Exit running Class::sv_Exit
//   BASIS_INIT(Class) / BASIS_EXIT(Class)   one of the two alone
//   BASIS_MEMBER_INIT_EXIT(Class)  the same pair as the class's own static
//                                  members Class::sco_Init and sco_Exit
// and, for a class that needs the instance at attach time, one line in
// sv_HandOverInstance below.
#include "Foundation/Basis/Frame/StartUp.h"

#include "Foundation/Basis/Buffer/Buffer.h"
#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Container/VoidHashTable.h"
#include "Foundation/Basis/Container/VoidList.h"
#include "Foundation/Basis/Container/VoidSortedArray.h"
#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/Error/Exception.h"
#include "Foundation/Basis/Error/StringTable.h"
#include "Foundation/Basis/File/StdFile.h"
#include "Foundation/Basis/File/WinFile.h"
#include "Foundation/Basis/Forum/Forum.h"
#include "Foundation/Basis/Forum/ThreadSafeForum.h"
#include "Foundation/Basis/Frame/BasisDLLMain.h"
#include "Foundation/Basis/Frame/Type.h"
#include "Foundation/Basis/Lexicon/BiLingualWordList.h"
#include "Foundation/Basis/Lexicon/StringMap.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/String.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Basis/SymbolTable/Symbol.h"
#include "Foundation/Basis/SymbolTable/SymbolTable.h"
#include "Foundation/Basis/Text/StringScanner.h"
#include "Foundation/Basis/TestOut/TestOut.h"
#include "Foundation/Platform/Module.h"
#include "Foundation/Platform/Resource.h"
#include "Foundation/System/IniFile/IniFile.h"
#include "Foundation/System/Language/Language.h"
#include "Foundation/System/SysInfo/OS.h"
#include "Foundation/System/String/UTF.h"
#include "Foundation/System/IPC/Event.h"
#include "Foundation/System/IPC/Mutex.h"
#include "Foundation/System/IPC/Semaphore.h"
#include "Foundation/System/IPC/SyncObject.h"

namespace {

// A record of the steps as they run; plain data, so it is ready before the
// first static object and still readable after the last one is gone.
char const* aqccz_Steps[64];
unsigned n_Steps = 0;

struct st_Step {
    explicit st_Step(char const* name) {
        if (n_Steps < sizeof aqccz_Steps / sizeof aqccz_Steps[0]) aqccz_Steps[n_Steps++] = name;
    }
};

}  // namespace

#define BASIS_STEP_NAME2(a, b) a##b
#define BASIS_STEP_NAME(line) BASIS_STEP_NAME2(so_Step, line)
#define BASIS_STEP(text) static st_Step BASIS_STEP_NAME(__COUNTER__)(text);

#define BASIS_POOL(Class, blocks)                                             \
    BASIS_STEP(#Class " pool")                                                \
    static CT_MemPool so_Pool_##Class(#Class, sizeof(Class), blocks);          \
    CT_MemPool* Class::spso_Pool = &so_Pool_##Class;

#define BASIS_TYPE(Class)                                                     \
    BASIS_STEP(#Class " type")                                                \
    CT_Type Class::sco_Type(const_cast<char*>(#Class), &Class::sco_Object, sizeof(Class)); \
    Class Class::sco_Object(&Class::sco_Type);

#define BASIS_INIT(Class)                                                     \
    BASIS_STEP(#Class "::sv_Init")                                            \
    static CT_Init so_Init_##Class(#Class, "sv_Init", &Class::sv_Init);

#define BASIS_EXIT(Class)                                                     \
    BASIS_STEP(#Class "::sv_Exit registered")                                 \
    static CT_Exit so_Exit_##Class(#Class, "sv_Exit", &Class::sv_Exit);

#define BASIS_INIT_EXIT(Class) BASIS_INIT(Class) BASIS_EXIT(Class)

// The initialisers are in the class's scope, so sv_Init and sv_Exit may
// stay private to it.
#define BASIS_MEMBER_INIT_EXIT(Class)                                         \
    BASIS_STEP(#Class "::sv_Init")                                            \
    CT_Init Class::sco_Init(#Class, "sv_Init", &Class::sv_Init);              \
    BASIS_STEP(#Class "::sv_Exit registered")                                 \
    CT_Exit Class::sco_Exit(#Class, "sv_Exit", &Class::sv_Exit);

// 1. The module name (an empty narrow string until the entry function).
BASIS_STEP("CT_BasisDLLMain::sco_ModuleName")
CT_CString CT_BasisDLLMain::sco_ModuleName;

// 2. Pools of the bilingual word lists and of the buffer.
BASIS_POOL(CT_BiLingualCWordList, 16)
BASIS_POOL(CT_BiLingualUWordList, 16)
BASIS_POOL(CT_Buffer, 1024)

// 3. The narrow string.
BASIS_TYPE(CT_CString)
BASIS_POOL(CT_CString, 1024)

// 4. The error manager.
BASIS_MEMBER_INIT_EXIT(CT_ErrorManager)

// 5. The exception manager.
BASIS_MEMBER_INIT_EXIT(CT_ExceptionManager)
// 6. CT_Forum type; CT_StdFile pool.
BASIS_TYPE(CT_Forum)
BASIS_POOL(CT_StdFile, 32)

// 7. The string base class.
BASIS_TYPE(CT_String)

// 8. Pools of the string maps, the string scanner and the symbol table.
BASIS_POOL(CT_StringOrdinalMap, 16)
BASIS_POOL(CT_StringNumberMap, 16)
BASIS_POOL(CT_StringStringMap, 16)
// The string scanner's objects come from a class pool of their own (it has
// its own operator new and delete), while the fixed load order names no
// pool for it. This entry serves both: the pool is there from load on, made
// among the pools of this step with the small block count of its
// neighbours, and every object the order names keeps its place.
BASIS_POOL(CT_StringScanner, 16)
BASIS_POOL(CT_Symbol, 128)
BASIS_POOL(CT_SymbolTable, 16)
// 9. CT_ThreadSafeForum type.
BASIS_TYPE(CT_ThreadSafeForum)
// 10. The wide string; the UTF-7 tables.
BASIS_TYPE(CT_UString)
BASIS_POOL(CT_UString, 1024)
BASIS_INIT(CT_UTF)
// 11. Pools of the containers, the default test output, the CT_WinFile pool.
BASIS_POOL(CT_VoidArray, 1024)
BASIS_POOL(CT_VoidHashTable, 128)
BASIS_POOL(CT_VoidList, 512)
BASIS_POOL(CT_VoidSortedArray, 64)
BASIS_STEP("CT_TestOut default object")
CT_TestOut CT_TestOut::sco_Default;
BASIS_POOL(CT_WinFile, 32)
// 12. The clipboard (to come).
// 13. CT_IPC_Event type; CT_Exit of the font manager (to come).
BASIS_TYPE(CT_IPC_Event)
// 14. CT_IPC_Mutex type; the operating-system information.
BASIS_TYPE(CT_IPC_Mutex)
BASIS_INIT(CT_OS)
// The INI file's pool: the fixed order names none, so it comes with the
// other platform services here.
BASIS_POOL(CT_IniFile, 16)
// 15. CT_IPC_Semaphore and CT_IPC_SyncObject types.
BASIS_TYPE(CT_IPC_Semaphore)
BASIS_TYPE(CT_IPC_SyncObject)
// 16. The language tables: the index of the language codes.
BASIS_INIT_EXIT(CT_Language)

// Last: the entry function's work (see Platform::v_RunEntryAfterStaticObjects).
namespace {
struct st_Entry {
    st_Entry() { Platform::v_RunEntryAfterStaticObjects(&CT_BasisDLLMain::si_Entry); }
};
BASIS_STEP("entry function")
st_Entry so_Entry;
}  // namespace

namespace StartUp {

void sv_HandOverInstance(HINSTANCE instance) {
    // Where the system keeps no string resources in the library's file,
    // its compiled-in table stands in for them.
    Platform::v_RegisterStringTable(instance, StringTable::spcso_Get(), StringTable::sn_GetCount());
    CT_ErrorManager::sv_SetInstance(instance);
    // CT_FontManager::sv_Init(instance);           (to come)
}

unsigned sn_GetStepCount() { return n_Steps; }

char const* sqccz_GetStep(unsigned index) { return index < n_Steps ? aqccz_Steps[index] : nullptr; }

}  // namespace StartUp
