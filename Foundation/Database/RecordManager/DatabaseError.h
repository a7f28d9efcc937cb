// The table of database error codes (31000 and up) and their wide message
// formats, shared by the record manager and the application's other
// database modules (locks, indexes). Messages take the file name as %s.
#pragma once

#include "Foundation/Platform/Export.h"

class BASIS_API CT_DatabaseError {
public:
    struct st_ErrorMessage {
        unsigned n_Code;
        unsigned short const* pcu_Message;
    };

    // Codes the record manager raises.
    enum : unsigned {
        e_CorruptData = 31005,
        e_InvalidFormat = 31050,
        e_InvalidReference = 31051,
        e_ResourceMaxCount = 31052,
        e_ResourceNotFound = 31053,
        e_ResourceExists = 31054,
    };

    // Ended by an entry with code 0.
    static st_ErrorMessage const saso_ErrorMessage[];

    // Null below 31000 and for codes the table does not hold.
    static unsigned short const* sqcuz_GetErrorMessage(unsigned nCode);
    // Formats the code's message (or "Unspecified Database Error") with the
    // further arguments into at most nMax wide characters of pBuffer; the
    // terminating zero is written when it fits.
    static void sv_FormatError(unsigned short* pBuffer, unsigned nMax, unsigned nCode, ...);
};
