#include <cstdio>
#include <cstring>

#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Records.h"
#include "tools/basis/RecordsMaintain.h"

namespace {

char const qcz_Location[] = "tools/basis/RecordsMaintainCommon";

// A record's length is a 32-bit number, and its blocks must fit below the
// 4 GiB its file's offsets reach, with room for the tables.
unsigned long long const kInputLimit = 0xFFFFFFFFull - (1u << 25);

bool b_Failed(unsigned line) { return b_RecordsFailed(qcz_Location, line); }

}  // namespace

CT_UString co_ArgumentName(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    return name;
}

std::string s_Quoted(CT_UString const& name) {
    // Built by appending: gcc 12 warns wrongly of overlapping copies for a
    // literal put before a string.
    std::string text(1, '"');
    text += s_Utf8(name);
    text += '"';
    return text;
}

bool b_ReadWholeInput(char const* argument, CT_Buffer* data, std::string* failure) {
    data->v_SetUsedSize(0);
    char chunk[1 << 16];
    if (std::strcmp(argument, "-") == 0) {
        Platform::v_SetStandardInputBinary();
        std::size_t n;
        while ((n = std::fread(chunk, 1, sizeof chunk, stdin)) > 0) {
            if (data->n_GetUsedSize() + static_cast<unsigned long long>(n) > kInputLimit) {
                *failure = "standard input holds too many bytes for one record";
                return false;
            }
            data->v_Append(chunk, static_cast<unsigned>(n));
        }
        if (std::ferror(stdin)) *failure = "cannot read standard input";
        return !std::ferror(stdin);
    }
    return b_ReadFile(co_ArgumentName(argument), data, failure);
}

bool b_ReadFile(CT_UString const& name, CT_Buffer* data, std::string* failure) {
    data->v_SetUsedSize(0);
    char chunk[1 << 16];
    CT_WinFile file(&name, 4096);
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) {
        *failure = "reading " + s_Utf8(name) + ": " + s_TakeError();
        return false;
    }
    for (;;) {
        unsigned n = file.vn_Read(chunk, sizeof chunk);
        bool tooLarge = data->n_GetUsedSize() + static_cast<unsigned long long>(n) > kInputLimit;
        if (b_Failed(__LINE__) || tooLarge) {
            *failure = tooLarge ? s_Quoted(name) + " is too large for one record"
                                : "reading " + s_Utf8(name) + ": " + s_TakeError();
            file.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return false;
        }
        if (n == 0) break;
        data->v_Append(chunk, n);
    }
    file.vv_Close();
    if (!b_Failed(__LINE__)) return true;
    *failure = "reading " + s_Utf8(name) + ": " + s_TakeError();
    return false;
}

bool b_WriteFile(CT_UString const& name, void const* data, unsigned size, bool replace, std::string* failure) {
    if (!replace && CT_FileSystem::sb_IsExistent(&name)) {
        *failure = s_Quoted(name) + " exists";
        return false;
    }
    CT_WinFile out(&name, 4096);
    out.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_Failed(__LINE__)) {
        *failure = "creating " + s_Utf8(name) + ": " + s_TakeError();
        return false;
    }
    if (size) out.vn_Write(data, size);
    std::string writing = b_Failed(__LINE__) ? s_TakeError() : std::string();
    out.vv_Close();
    if (writing.empty() && b_Failed(__LINE__)) writing = s_TakeError();
    CT_ErrorManager::spco_Get()->v_ClearError();
    if (!writing.empty()) *failure = "writing " + s_Utf8(name) + ": " + writing;
    return writing.empty();
}

bool b_WriteOutput(char const* argument, void const* data, unsigned size, bool force, std::string* failure) {
    if (argument == nullptr || std::strcmp(argument, "-") == 0) {
        Platform::v_SetStandardOutputBinary();
        if ((size && std::fwrite(data, 1, size, stdout) != size) || std::fflush(stdout) != 0) {
            *failure = "cannot write to standard output";
            return false;
        }
        return true;
    }
    CT_UString name = co_ArgumentName(argument);
    if (!force && CT_FileSystem::sb_IsExistent(&name)) {
        *failure = s_Quoted(name) + " exists; pass --force to replace it";
        return false;
    }
    return b_WriteFile(name, data, size, true, failure);
}

bool b_ParseArgumentNumber(char const* text, char const* what, unsigned* value, std::string* failure) {
    if (b_ParseNumber(text, value)) return true;
    *failure = std::string("\"") + text + "\" is not a " + what + " (a whole number from 0 to 4294967295)";
    return false;
}

bool b_IsInFile(CT_RecordManager const& records, unsigned number) {
    return static_cast<unsigned long long>(number) * records.n_GetBlockSize() < records.n_GetSize();
}
