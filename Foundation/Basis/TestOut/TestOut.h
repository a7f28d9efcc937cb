// CT_TestOut: a small diagnostic writer. Formatted narrow or wide text goes
// to a file (standard output, standard error or a named file) and/or to
// the debugger's output channel, each message after an optional label.
// Its argument checks print an assertion message to standard error and
// carry on. Not locked: one object, one thread at a time.
#pragma once

#include <cstdarg>
#include <cstdio>

#include "Foundation/Platform/Export.h"

class BASIS_API CT_TestOut {
public:
    enum : unsigned { e_File = 1, e_Debugger = 2 };

    CT_TestOut();
    CT_TestOut(char const* file, char const* label, unsigned type);
    ~CT_TestOut();
    CT_TestOut(CT_TestOut const&) = delete;
    CT_TestOut& operator=(CT_TestOut const&) = delete;

    void v_Set();
    void v_Set(char const* file, char const* label, unsigned type);
    // "stdout" or null: standard output; "stderr": standard error; a bare
    // name: a file in the temporary directory; any other path as given.
    void v_Open(char const* file);
    void v_Close();
    void v_SetLabel(char const* label);
    char* qcz_GetLabel() const { return pcz_Label; }
    void v_SetOutputType(unsigned type) { n_OutputType = type; }
    unsigned n_GetOutputType() const { return n_OutputType; }
    std::FILE* pso_GetOutput() const { return pso_Output; }

    void v_Out(char const* format, ...) const;
    void v_OutputFile(char const* format, ...) const;
    void v_DebugOut(char const* format, ...) const;
    void v_Out(unsigned short const* format, ...) const;
    void v_OutputFile(unsigned short const* format, ...) const;
    void v_DebugOut(unsigned short const* format, ...) const;

    // The library's default object (standard output, type 1).
    static CT_TestOut* spco_GetDefault();
    static CT_TestOut sco_Default;

private:
    void v_OutputFileV(char const* format, va_list args) const;
    void v_DebugOutV(char const* format, va_list args) const;
    void v_OutputFileV(unsigned short const* format, va_list args) const;
    void v_DebugOutV(unsigned short const* format, va_list args) const;
    static void sv_Assert(char const* name, int line);

    int b_Owned;
    std::FILE* pso_Output;
    char* pcz_Label;
    unsigned n_OutputType;
};
