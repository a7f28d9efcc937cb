#include "Foundation/Basis/TestOut/TestOut.h"

#include <cstdlib>
#include <cstring>

#include "Foundation/Basis/String/WideFormat.h"
#include "Foundation/Platform/Debug.h"
#include "Foundation/System/String/StringConvert.h"

namespace {

char const sac_Location[] = "Foundation/Basis/TestOut/TestOut";

char* pc_Copy(char const* text) {
    if (text == nullptr) return nullptr;
    std::size_t length = std::strlen(text);
    char* copy = static_cast<char*>(std::malloc(length + 1));
    if (copy) std::memcpy(copy, text, length + 1);
    return copy;
}

}  // namespace

CT_TestOut* CT_TestOut::spco_GetDefault() { return &sco_Default; }

CT_TestOut::CT_TestOut() : b_Owned(0), pso_Output(stdout), pcz_Label(nullptr), n_OutputType(e_File) {}

CT_TestOut::CT_TestOut(char const* file, char const* label, unsigned type)
    : b_Owned(0), pso_Output(nullptr), pcz_Label(nullptr), n_OutputType(e_File) {
    v_Set(file, label, type);
}

CT_TestOut::~CT_TestOut() {
    v_Close();
    std::free(pcz_Label);
}

void CT_TestOut::sv_Assert(char const* name, int line) {
    std::fprintf(stderr, "ASSERT failed: %s\nLine %d in File %s.\n", name, line, sac_Location);
}

void CT_TestOut::v_Set() {
    v_Close();
    std::free(pcz_Label);
    pcz_Label = nullptr;
    pso_Output = stdout;
    n_OutputType = e_File;
}

void CT_TestOut::v_Set(char const* file, char const* label, unsigned type) {
    if (file == nullptr) sv_Assert("qccz_file", __LINE__);
    v_Close();
    std::free(pcz_Label);
    pcz_Label = nullptr;
    v_Open(file);
    pcz_Label = pc_Copy(label);
    n_OutputType = type;
}

void CT_TestOut::v_Open(char const* file) {
    v_Close();
    if (file == nullptr || std::strcmp(file, "stdout") == 0) {
        pso_Output = stdout;
        return;
    }
    if (std::strcmp(file, "stderr") == 0) {
        pso_Output = stderr;
        return;
    }
    // A name with neither drive nor directory goes to the temporary
    // directory. Both separators count, and a drive is a letter and colon.
    char path[520];
    bool bare = std::strchr(file, '/') == nullptr && std::strchr(file, '\\') == nullptr &&
                !(file[0] && file[1] == ':');
    if (bare) {
        char temporary[261];
        Platform::n_GetTempPath(temporary, sizeof temporary);
        std::snprintf(path, sizeof path, "%s%s", temporary, file);
    } else {
        std::snprintf(path, sizeof path, "%s", file);
    }
    pso_Output = std::fopen(path, "w");
    if (pso_Output == nullptr) {
        std::fprintf(stderr, "Could not open %s\nUsing stdout instead.\n", path);
        pso_Output = stdout;
        return;
    }
    b_Owned = 1;
}

void CT_TestOut::v_Close() {
    if (b_Owned && pso_Output) std::fclose(pso_Output);
    if (b_Owned) pso_Output = nullptr;
    b_Owned = 0;
}

void CT_TestOut::v_SetLabel(char const* label) {
    if (label == nullptr) sv_Assert("qccz_label", __LINE__);
    std::free(pcz_Label);
    pcz_Label = pc_Copy(label);
}

void CT_TestOut::v_OutputFileV(char const* format, va_list args) const {
    if (pso_Output == nullptr) {
        sv_Assert("pso_Output", __LINE__);
        return;
    }
    if (pcz_Label) std::fprintf(pso_Output, "%s", pcz_Label);
    std::vfprintf(pso_Output, format, args);
    std::fflush(pso_Output);
}

void CT_TestOut::v_DebugOutV(char const* format, va_list args) const {
    if (pcz_Label) Platform::v_OutputDebugString(pcz_Label);
    char text[2048];
    std::vsnprintf(text, sizeof text, format, args);
    Platform::v_OutputDebugString(text);
}

void CT_TestOut::v_OutputFileV(unsigned short const* format, va_list args) const {
    if (pso_Output == nullptr) {
        sv_Assert("pso_Output", __LINE__);
        return;
    }
    if (pcz_Label) std::fprintf(pso_Output, "%s", pcz_Label);
    // Wide text reaches a narrow stream in the ANSI code page on both
    // systems, so a file reads the same wherever it was written.
    static unsigned const size = 8192;
    unsigned short* wide = static_cast<unsigned short*>(std::malloc(size * 2));
    char* narrow = static_cast<char*>(std::malloc(size * 2 + 2));
    if (wide && narrow) {
        WideFormat::sn_Format(wide, size, format, args);
        if (wide[0]) {
            CT_StringConvert::si_WideToMulti(narrow, wide, ~0u, 0);
            std::fputs(narrow, pso_Output);
        }
        std::fflush(pso_Output);
    }
    std::free(wide);
    std::free(narrow);
}

void CT_TestOut::v_DebugOutV(unsigned short const* format, va_list args) const {
    if (pcz_Label) Platform::v_OutputDebugString(pcz_Label);
    unsigned short wide[2048];
    WideFormat::sn_Format(wide, 2048, format, args);
    char narrow[2048 * 2 + 2];
    narrow[0] = 0;
    if (wide[0]) CT_StringConvert::si_WideToMulti(narrow, wide, ~0u, 0);
    Platform::v_OutputDebugString(narrow);
}

#define BASIS_FORWARD(method, Char, body)          \
    void CT_TestOut::method(Char const* format, ...) const { \
        va_list args;                                \
        va_start(args, format);                      \
        body;                                        \
        va_end(args);                                \
    }

void CT_TestOut::v_Out(char const* format, ...) const {
    va_list args;
    va_start(args, format);
    if (n_OutputType & e_File) {
        va_list copy;
        va_copy(copy, args);
        v_OutputFileV(format, copy);
        va_end(copy);
    }
    if (n_OutputType & e_Debugger) v_DebugOutV(format, args);
    va_end(args);
}

void CT_TestOut::v_Out(unsigned short const* format, ...) const {
    va_list args;
    va_start(args, format);
    if (n_OutputType & e_File) {
        va_list copy;
        va_copy(copy, args);
        v_OutputFileV(format, copy);
        va_end(copy);
    }
    if (n_OutputType & e_Debugger) v_DebugOutV(format, args);
    va_end(args);
}

BASIS_FORWARD(v_OutputFile, char, v_OutputFileV(format, args))
BASIS_FORWARD(v_DebugOut, char, v_DebugOutV(format, args))
BASIS_FORWARD(v_OutputFile, unsigned short, v_OutputFileV(format, args))
BASIS_FORWARD(v_DebugOut, unsigned short, v_DebugOutV(format, args))
