// The tour's sharing stop: what the tool leans on to never damage a file.
// One file held without sharing refuses a second opening with the code a
// caller recognises as "in use"; two names of one file are told to be the
// same by volume and file index; the file is let go and opens again.
#include <cstdio>

#include "Foundation/Basis.h"
#include "Foundation/Platform/File.h"
#include "Foundation/Platform/FileSharing.h"
#include "tools/basis/Tour.h"

namespace {

bool b_Identity(CT_UString const& name, Platform::st_FileInformation* information) {
    void* file = Platform::h_OpenFile(name.qcuz_Get(), 0, 3, 1, 0);
    if (file == nullptr) return false;
    bool known = Platform::b_GetFileInformation(file, information) != 0;
    Platform::b_CloseFile(file);
    return known;
}

}  // namespace

int i_TourSharing() {
    v_TourHeading("Sharing: a held file, and two names of one file");
    static unsigned short const au_Prefix[] = {'s', 'h', 'a', 'r', 'e', 0};
    CT_UString name;
    v_TourScratchName(&name, au_Prefix, nullptr);
    CT_WinFile holder(&name, 4096);
    holder.vv_Open(CT_File::e_ReadWrite, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (b_TourFailed("creating the file")) return 1;
    std::printf("held without sharing: %s\n", s_TourNarrow(name.qcuz_Get()).c_str());
    CT_WinFile second(&name, 4096);
    second.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    bool inUse = errors->b_IsSetError() && Platform::b_IsSharingViolation(errors->n_GetErrorCode());
    std::printf("  a second opening for reading: %s\n",
                inUse ? "refused, the file is in use by another opening" : "not refused as in use");
    errors->v_ClearError();
    if (second.b_IsOpen()) second.vv_Close();

    // The same file by its full name and by a name with "." in it.
    CT_UString other;
    unsigned short const* text = name.qcuz_Get();
    unsigned length = name.n_GetLength(), cut = length;
    while (cut > 0 && text[cut - 1] != '/' && text[cut - 1] != '\\') --cut;
    CT_UString folder(text, cut), file(text + cut, length - cut);
    // "." and the separator the name itself uses.
    unsigned short const au_Dot[] = {'.', cut > 0 ? text[cut - 1] : static_cast<unsigned short>('/'), 0};
    other = folder;
    other.v_Append(au_Dot, ~0u);
    other.v_Append(file.qcuz_Get(), ~0u);
    Platform::st_FileInformation a{}, b{};
    bool same = b_Identity(name, &a) && b_Identity(other, &b) && a.n4_VolumeSerial == b.n4_VolumeSerial &&
                a.n4_IndexHigh == b.n4_IndexHigh && a.n4_IndexLow == b.n4_IndexLow;
    std::printf("  %s and %s: %s\n", s_TourNarrow(name.qcuz_Get()).c_str(), s_TourNarrow(other.qcuz_Get()).c_str(),
                same ? "one file (same volume and file index)" : "not known to be one file");
    holder.vv_Close();
    second.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    std::printf("  once let go, it opens for reading: %s\n", errors->b_IsSetError() ? "no" : "yes");
    errors->v_ClearError();
    if (second.b_IsOpen()) second.vv_Close();
    Platform::b_DeleteFile(name.qcuz_Get());
    errors->v_ClearError();
    return inUse && same ? 0 : 1;
}
