#include "Foundation/Basis/Frame/Init.h"

CT_Init::CT_Init(void (*function)()) {
    if (function) function();
}

CT_Init::CT_Init(char const*, char const*, void (*function)()) {
    if (function) function();
}

CT_Exit::CT_Exit(char const* className, char const* functionName, void (*function)())
    : qccz_ClassName(className), qccz_FunctionName(functionName), pf_Function(function) {}

CT_Exit::~CT_Exit() {
    if (pf_Function) pf_Function();
}

CT_Exit& CT_Exit::operator=(CT_Exit const& other) {
    qccz_ClassName = other.qccz_ClassName;
    qccz_FunctionName = other.qccz_FunctionName;
    pf_Function = other.pf_Function;
    return *this;
}
