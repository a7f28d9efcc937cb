// CT_Exception and CT_ExceptionManager: for callers that use exceptions, an
// exception carrying a code, and per thread the code of the exception in
// flight with the trail of locations it passed through (added by handlers
// that catch and re-throw). Independent of the error manager, with smaller
// pools: 10 records, 100 locations.
#pragma once

#include "Foundation/Basis/Frame/Init.h"
#include "Foundation/Platform/CriticalSection.h"
#include "Foundation/Platform/Export.h"

class CT_TestOut;

class BASIS_API CT_Exception {
public:
    explicit CT_Exception(unsigned code) : n_Code(code) {}
    CT_Exception(CT_Exception const& other) : n_Code(other.n_Code) {}
    CT_Exception& operator=(CT_Exception const& other) {
        if (this != &other) n_Code = other.n_Code;
        return *this;
    }
    virtual ~CT_Exception() {}
    unsigned n_GetCode() const { return n_Code; }

private:
    unsigned n_Code;
};

class BASIS_API CT_ExceptionManager {
public:
    enum : unsigned { e_RecordCount = 10, e_LocationCount = 100 };

    struct st_Location {
        st_Location* pso_Next;
        char const* qccz_File;
        unsigned n_Line;
        unsigned n_Code;
    };

    struct st_ExceptionInfo {
        st_ExceptionInfo* pso_Next;
        st_Location* pso_Locations;  // most recent first
        unsigned n_Thread;
        unsigned n_Code;
    };

    static CT_ExceptionManager* spco_Get() { return spco_ExceptionManager; }

    int b_InException() const;
    void v_AddLocation(char const* file, unsigned line, unsigned code);
    void v_AddLocation(char const* file, unsigned line);
    void v_Clear();
    // Writes the record of thread (~0u: the calling thread) to out.
    void v_Dump(CT_TestOut* out, unsigned thread) const;

    unsigned n_GetFreeRecords() const;
    unsigned n_GetFreeLocations() const;

    static CT_ExceptionManager* spco_ExceptionManager;
    // The registration objects that run sv_Init at load and sv_Exit at
    // unload; defined in their place in the library's start-up list.
    static CT_Init sco_Init;
    static CT_Exit sco_Exit;

private:
    static void sv_Init();
    static void sv_Exit();
    CT_ExceptionManager();
    ~CT_ExceptionManager();
    CT_ExceptionManager(CT_ExceptionManager const&) = delete;
    CT_ExceptionManager& operator=(CT_ExceptionManager const&) = delete;
    st_ExceptionInfo* pso_Find(unsigned thread) const;

    st_ExceptionInfo* pso_Active;
    st_ExceptionInfo* pso_FreeRecords;
    st_Location* pso_FreeLocations;
    st_ExceptionInfo* pso_Records;
    st_Location* pso_LocationPool;
    mutable Platform::CriticalSection co_Lock;
};
