// CT_Time's formatting through the platform's date and time formatting.
#include <cstring>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/String/CString.h"
#include "Foundation/Basis/String/StringText.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Locale.h"
#include "Foundation/System/Calendar/LocaleValue.h"
#include "Foundation/System/SysInfo/OS.h"
#include "Foundation/System/Time/Time.h"

namespace {

char const qcz_Location[] = "Foundation/System/Time/Time";

static_assert(sizeof(SYSTEMTIME) == sizeof(Platform::st_SystemTime), "the same record");

// Formats one point by the date or the time service; at most 256
// characters are taken.
void sv_FormatPoint(CT_String* out, SYSTEMTIME const& local, CT_String const* picture, unsigned lcid, unsigned flags,
                    int date) {
    if (!out) return;  // nowhere to write
    Platform::st_SystemTime time;
    std::memcpy(&time, &local, sizeof time);
    if (lcid == 0) lcid = Platform::n_GetThreadLocale();
    if (StringText::spcco_AsWide(out) && CT_OS::sb_GetIsWindowsNT()) {
        CT_UString widePicture;
        if (picture) widePicture.v_Set(picture);
        unsigned short buffer[257];
        unsigned short const* pattern = picture ? widePicture.qcuz_Get() : nullptr;
        int written = date ? Platform::i_GetDateFormatW(lcid, flags, &time, pattern, buffer, 256)
                           : Platform::i_GetTimeFormatW(lcid, flags, &time, pattern, buffer, 256);
        if (written <= 0) {
            CT_ErrorManager::spco_Get()->v_SetSystemError();
            CT_ErrorManager::spco_Get()->v_AddLocation(qcz_Location, __LINE__);
            return;
        }
        out->v_Set(buffer, static_cast<unsigned>(written - 1));
        return;
    }
    unsigned codePage = LocaleValue::sn_AnsiCodePage(lcid);
    // Through wide text, so a narrow picture in another code page is
    // converted too.
    CT_UString widePicture;
    if (picture) widePicture.v_Set(picture);
    CT_CString narrowPicture(&widePicture, codePage);
    char const* pattern = picture ? narrowPicture.qccz_Get() : nullptr;
    char buffer[257];
    int written = date ? Platform::i_GetDateFormatA(lcid, flags, &time, pattern, buffer, 256)
                       : Platform::i_GetTimeFormatA(lcid, flags, &time, pattern, buffer, 256);
    if (written <= 0) {
        CT_ErrorManager::spco_Get()->v_SetSystemError();
        CT_ErrorManager::spco_Get()->v_AddLocation(qcz_Location, __LINE__);
        return;
    }
    if (CT_CString* narrow = const_cast<CT_CString*>(StringText::spcco_AsNarrow(out))) narrow->v_SetCodePage(codePage);
    out->v_Set(buffer, static_cast<unsigned>(written - 1), codePage);
}

}  // namespace

void CT_Time::v_GetDate(CT_String* out, unsigned lcid, et_DateFlags flags) const {
    SYSTEMTIME local;
    sv_Convert(&local, n8_Abs);
    sv_FormatPoint(out, local, nullptr, lcid, flags, 1);
}

void CT_Time::v_GetDate(CT_String* out, CT_String const* picture, unsigned lcid, et_DateFlags flags) const {
    SYSTEMTIME local;
    sv_Convert(&local, n8_Abs);
    sv_FormatPoint(out, local, picture, lcid, flags, 1);
}

void CT_Time::v_GetTime(CT_String* out, unsigned lcid, et_TimeFlags flags) const {
    SYSTEMTIME local;
    sv_Convert(&local, n8_Abs);
    sv_FormatPoint(out, local, nullptr, lcid, flags, 0);
}

void CT_Time::v_GetTime(CT_String* out, CT_String const* picture, unsigned lcid) const {
    SYSTEMTIME local;
    sv_Convert(&local, n8_Abs);
    sv_FormatPoint(out, local, picture, lcid, 0, 0);
}

void CT_Time::sv_Format(CT_String* out, unsigned time, char* separator, et_TimeFlags flags) {
    if (!out) return;
    if (time == 0) {
        out->v_Set(static_cast<unsigned short const*>(nullptr), 0);
        return;
    }
    CT_Time point(time);
    point.v_GetDate(out, 0, e_DateDefault);
    if (!separator) return;
    CT_UString clock;
    point.v_GetTime(&clock, 0, flags);
    out->v_Append(separator, ~0u);
    out->v_Append(&clock, ~0u);
}

void CT_Time::sv_GetInputMask(CT_String* out) {
    if (!out) return;
    CT_UString picture;
    LocaleValue::sb_Text(Platform::n_GetThreadLocale(), Platform::e_LocaleSShortDate, &picture);
    static unsigned short const au_Clock[] = {'[', '[', ',', ']', ' ', 'H', 'H', ':', ':', 'm', 'm', '[', ':', 's', 's', ']', ']', 0};
    picture.v_Append(au_Clock, ~0u);
    out->v_Set(&picture);
}
