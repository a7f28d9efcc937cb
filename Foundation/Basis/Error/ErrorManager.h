// CT_ErrorManager: the library's failure convention.
//
// Operations do not return error codes and do not throw. A failing
// operation records an error for the calling thread here (the first error
// since the last clear stays; later ones are dropped) and adds its source
// location; every caller up the chain asks b_IsSetError() after each call
// that can fail, adds its own location and returns. The caller at the top
// reads the code and message, or shows the chain in a message box, and
// clears the error.
//
// One manager per process, made at load time. Records (20) and locations
// (100) come from fixed pools shared by all threads under one lock; a
// record belongs to the thread that made it, known by its system thread
// identifier.
#pragma once

#include <atomic>

#include <cstdarg>

#include "Foundation/Basis/Container/VoidArray.h"
#include "Foundation/Basis/Frame/Init.h"
#include "Foundation/Platform/CriticalSection.h"
#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

class BASIS_API CT_ErrorManager {
public:
    enum : unsigned { e_MessageSize = 1024, e_ErrorCount = 20, e_LocationCount = 100 };
    // The library's error codes (equal to their message format ids).
    enum : unsigned {
        e_ErrorStack = 60000,
        e_Message = 60001,
        e_FileError = 60003,
        e_DatabaseError = 60005,
        e_OutOfMemory = 60006,
        e_SystemError = 60008,
        e_SemanticError = 60012,
        e_MatrixError = 60015,
        e_ApiCallFailed = 60016,
        e_NotSupported = 60017,
        e_LimitsViolated = 60021,
        e_Assert = 65535,
    };

    struct st_location {
        char const* qccz_File;  // kept as a pointer: must live as long as the library
        unsigned n_Line;
        st_location* pso_Next;
    };

    struct st_error {
        HINSTANCE h_Module;
        unsigned n_Thread;
        unsigned n_Code;
        unsigned n_FormatId;
        unsigned short au_Message[e_MessageSize];
        unsigned n_LocationCount;
        st_location* pso_FirstLocation;
        st_location* pso_LastLocation;
        st_error* pso_Next;
        int b_Ignore;
    };

    // Writes the message for (code, format id) into message (size in
    // bytes) from the argument list; non-zero when it did.
    typedef int (*pf_MapFunction)(unsigned short* message, unsigned size, unsigned code, unsigned formatId,
                                  va_list argList);

    struct st_mapItem {
        unsigned n_Thread;
        pf_MapFunction pf_Function;
    };

    static CT_ErrorManager* spco_Get() { return spco_ErrorManager; }
    static void sv_SetInstance(HINSTANCE instance) { sh_Instance = instance; }
    static HINSTANCE sh_GetInstance() { return sh_Instance; }

    // Setting an error for the calling thread (nothing when it has one).
    void v_SetError(unsigned code, HINSTANCE module, unsigned formatId, ...);
    void v_SetError(unsigned code, unsigned short const* format, ...);
    void v_SetMessageError(char const* format, va_list argList);
    void v_SetMessageError(unsigned short const* format, va_list argList);
    void v_SetMessageError(char const* format, ...);
    void v_SetMessageError(unsigned short const* format, ...);
    void v_SetSystemError();
    void v_SetSystemError(unsigned short const* format, ...);
    // The narrow-format form the library itself uses for the name of a
    // failing call: the arguments are narrow texts.
    void v_SetSystemErrorName(char const* name);

    // Reading, for the calling thread: its active error, else its held one.
    int b_IsSetError() const;
    int b_IsHoldError() const;
    unsigned n_GetErrorCode() const;
    unsigned n_GetFormatID() const;
    unsigned short const* qcuz_GetErrorMessage() const;
    unsigned n_GetLocationCount() const;
    char const* qccz_GetLocationFileAt(unsigned index) const;
    unsigned n_GetLocationLineAt(unsigned index) const;

    // Changing state, for the calling thread.
    void v_AddLocation(char const* file, unsigned line);
    void v_HoldError();
    void v_ClearError();
    void v_SetIgnoreError(int ignore);
    void v_SetMapFunction(pf_MapFunction function, unsigned thread);
    void v_RemoveMapFunction(unsigned thread);

    void v_SetInterruptOnError(int on) { b_InterruptOnError = on; }
    int b_GetInterruptOnError() const { return b_InterruptOnError; }
    void v_SetDebugMessageOnError(int on) { b_DebugMessageOnError = on; }
    int b_GetDebugMessageOnError() const { return b_DebugMessageOnError; }
    static void sv_OutputDebugMessage(char const*) {}
    static void sv_OutputDebugMessage(unsigned short const*) {}

    // Shows the calling thread's error in a message box; see the .cpp.
    int i_ErrorLocationWindow(unsigned titleId, unsigned short const* title, unsigned style) const;

    // Pool occupancy, for diagnostics and tests.
    unsigned n_GetFreeRecords() const;
    unsigned n_GetFreeLocations() const;

    static CT_ErrorManager* spco_ErrorManager;
    static HINSTANCE sh_Instance;
    static unsigned short const sau_ErrorFormat[];
    static unsigned short sau_MessageBuffer[e_MessageSize];
    static unsigned short sau_LoadBuffer[e_MessageSize];
    // The registration objects that run sv_Init at load and sv_Exit at
    // unload; defined in their place in the library's start-up list.
    static CT_Init sco_Init;
    static CT_Exit sco_Exit;

private:
    // Create the manager (20 records, 100 locations) / destroy it.
    static void sv_Init();
    static void sv_Exit();
    CT_ErrorManager(unsigned errors, unsigned locations);
    ~CT_ErrorManager();
    CT_ErrorManager(CT_ErrorManager const&) = delete;
    CT_ErrorManager& operator=(CT_ErrorManager const&) = delete;

    st_error* pso_CreateRecord(unsigned code, HINSTANCE module, unsigned formatId);
    void v_DestroyRecord(st_error* record, st_error** list);
    // The calling thread's record in a list (under the lock), or null.
    st_error* pso_Find(st_error* list, unsigned thread) const;
    st_error* pso_Current() const;
    pf_MapFunction pf_FindMapFunction(unsigned thread) const;
    int b_MapMessage(st_error* record, unsigned formatId, va_list args);
    void v_PrefixCode(st_error* record);
    void v_AppendName(st_error* record, unsigned short const* format, va_list args);
    void v_SetSystemMessage(st_error* record, unsigned code);

    CT_VoidArray co_MapItems;
    unsigned n_ErrorCount;
    st_error* pso_Errors;
    st_error* pso_FreeErrors;
    st_error* pso_ActiveErrors;
    st_error* pso_HeldErrors;
    unsigned n_LocationCount;
    st_location* pso_Locations;
    st_location* pso_FreeLocations;
    mutable Platform::CriticalSection co_Lock;
    // How many records the active list holds, changed under the lock. A
    // thread always sees its own changes, so when this reads 0 the calling
    // thread has no active error and b_IsSetError, which every caller
    // makes after every call that can fail, needs neither the lock nor
    // the thread's identifier.
    std::atomic<unsigned> n_ActiveRecords{0};
    int b_InterruptOnError;
    int b_DebugMessageOnError;
};
