// CT_LoadString: texts from a module's string resources, optionally used
// as a format. On Linux a module's resources are its compiled-in string
// table (see Foundation/Platform/Resource.h).
#pragma once

#include <cstdarg>

#include "Foundation/Platform/Export.h"
#include "Foundation/Platform/Types.h"

class CT_String;

class BASIS_API CT_LoadString {
public:
    enum : unsigned { e_MaxLength = 2048 };

    // A missing string sets out empty; nothing is reported.
    static void sv_LoadString(CT_String* out, HINSTANCE module, unsigned int id);
    // Into an array of capacity characters, cut and terminated there.
    static void sv_LoadString(unsigned short* out, unsigned int capacity, HINSTANCE module, unsigned int id);
    // The resource text as a format for the arguments (at most 2048
    // characters): narrow text and formatting into a narrow string, wide
    // into a wide one; a string of neither kind is left unchanged.
    static void sv_LoadStringVA(CT_String* out, HINSTANCE module, unsigned int id, ...);
    static void sv_LoadStringVaList(CT_String* out, HINSTANCE module, unsigned int id, va_list args);
    static void sv_LoadStringVA(unsigned short* out, unsigned int capacity, HINSTANCE module, unsigned int id, ...);
};
