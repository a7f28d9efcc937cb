// Registration of a class's one-time set-up and clean-up. A static CT_Init
// runs its function when it is constructed; a static CT_Exit runs its
// function when it is destroyed. Defined in the library's start-up list in
// a fixed order, they give every class set-up in that order and clean-up in
// the reverse one.
#pragma once

#include "Foundation/Platform/Export.h"

class BASIS_API CT_Init {
public:
    // Calls function at once unless it is null; the names are not kept.
    explicit CT_Init(void (*function)());
    CT_Init(char const* className, char const* functionName, void (*function)());
};

class BASIS_API CT_Exit {
public:
    // Stores the names (for reading only) and the function to run later.
    CT_Exit(char const* className, char const* functionName, void (*function)());
    // Calls the stored function unless it is null.
    ~CT_Exit();
    CT_Exit(CT_Exit const&) = default;
    CT_Exit& operator=(CT_Exit const& other);

    char const* qccz_GetClassName() const { return qccz_ClassName; }
    char const* qccz_GetFunctionName() const { return qccz_FunctionName; }

private:
    char const* qccz_ClassName;
    char const* qccz_FunctionName;
    void (*pf_Function)();
};
