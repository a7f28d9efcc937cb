#include "tools/basis/OutputFile.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "Foundation/Platform/File.h"
#include "Foundation/Platform/Terminal.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/ToolErrors.h"
#include "tools/basis/ToolText.h"

namespace {

char const qcz_Location[] = "tools/basis/OutputFile";

// The file's volume and index, opened for neither reading nor writing and
// sharing everything, so that a file another process holds still answers.
bool b_Identity(CT_UString const& name, Platform::st_FileInformation* information) {
    void* file = Platform::h_OpenFile(name.qcuz_Get(), 0, 3, 1, 0);
    if (file == nullptr) return false;
    bool known = Platform::b_GetFileInformation(file, information) != 0;
    Platform::b_CloseFile(file);
    return known;
}

std::string s_Quoted(CT_UString const& name) { return s_InQuotes(s_Utf8FromWide(name.qcuz_Get())); }

}  // namespace

bool b_IsSameFile(CT_UString const& first, CT_UString const& second) {
    Platform::st_FileInformation a{}, b{};
    if (!b_Identity(first, &a) || !b_Identity(second, &b)) return false;
    return a.n4_VolumeSerial == b.n4_VolumeSerial && a.n4_IndexHigh == b.n4_IndexHigh && a.n4_IndexLow == b.n4_IndexLow;
}

int i_CheckOutput(char const* output, std::vector<char const*> const& inputs, bool force) {
    if (std::strcmp(output, "-") == 0) return e_ExitOk;
    CT_UString outName;
    v_GetArgumentName(output, &outName);
    for (char const* input : inputs) {
        if (std::strcmp(input, "-") == 0) continue;
        CT_UString inName;
        v_GetArgumentName(input, &inName);
        if (b_IsSameFile(outName, inName))
            return i_ToolFail(e_ExitNo, "the output " + s_Quoted(outName) + " is the input " + s_Quoted(inName) +
                                            "; refusing to overwrite it");
    }
    if (!force && CT_FileSystem::sb_IsExistent(&outName))
        return i_ToolFail(e_ExitNo, s_Quoted(outName) + " exists; pass --force to replace it");
    CT_ErrorManager::spco_Get()->v_ClearError();
    return e_ExitOk;
}

int i_WriteOutput(char const* output, void const* data, std::size_t size) {
    if (std::strcmp(output, "-") == 0) {
        Platform::v_SetStandardOutputBinary();
        if (size && std::fwrite(data, 1, size, stdout) != size) return i_EndStandardOutput(e_ExitError);
        return i_EndStandardOutput(e_ExitOk);
    }
    CT_UString name;
    v_GetArgumentName(output, &name);
    std::string doing = "writing " + s_Quoted(name);
    CT_WinFile out(&name, 4096);
    out.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_ToolFailed(qcz_Location, __LINE__)) return i_ToolFailWithError(doing);
    // Written in pieces: a record's length is 32 bits, and so is a write's.
    auto const* bytes = static_cast<unsigned char const*>(data);
    for (std::size_t done = 0; done < size;) {
        std::size_t piece = size - done < (1u << 30) ? size - done : (1u << 30);
        out.vn_Write(bytes + done, static_cast<unsigned>(piece));
        if (b_ToolFailed(qcz_Location, __LINE__)) {
            std::string failure = s_TakeToolError();
            out.vv_Close();
            CT_ErrorManager::spco_Get()->v_ClearError();
            return i_ToolFail(e_ExitError, doing + ": " + failure);
        }
        done += piece;
    }
    out.vv_Close();
    return b_ToolFailed(qcz_Location, __LINE__) ? i_ToolFailWithError(doing) : e_ExitOk;
}

bool b_RetryWhileInUse(unsigned* waitedTenths, unsigned seconds) {
    if (!b_IsInUseError() || *waitedTenths >= seconds * 10u) return false;
    CT_ErrorManager::spco_Get()->v_ClearError();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ++*waitedTenths;
    return true;
}
