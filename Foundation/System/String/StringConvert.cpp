// A first cut of the pointer forms only, Latin-1 both ways, so that the
// strings can be built and tested before the real converters arrive.
#include "Foundation/System/String/StringConvert.h"

int CT_StringConvert::si_MultiToWide(unsigned short* target, char const* source, unsigned count, unsigned) {
    target[0] = 0;
    if (count == 0) return 0;
    if (count == ~0u) {
        for (count = 0; source[count]; ++count) {
        }
        ++count;
    }
    for (unsigned i = 0; i < count; ++i) target[i] = static_cast<unsigned char>(source[i]);
    return static_cast<int>(count);
}

int CT_StringConvert::si_WideToMulti(char* target, unsigned short const* source, unsigned count, unsigned,
                                     char const* defaultChar, int* usedDefault) {
    target[0] = 0;
    if (usedDefault) *usedDefault = 0;
    if (count == 0) return 0;
    if (count == ~0u) {
        for (count = 0; source[count]; ++count) {
        }
        ++count;
    }
    for (unsigned i = 0; i < count; ++i) {
        if (source[i] > 0xFF) {
            target[i] = defaultChar ? *defaultChar : '?';
            if (usedDefault) *usedDefault = 1;
        } else {
            target[i] = static_cast<char>(source[i]);
        }
    }
    return static_cast<int>(count);
}

unsigned short CT_StringConvert::sus_MultiToWide(char c, unsigned) { return static_cast<unsigned char>(c); }

char CT_StringConvert::sc_WideToMulti(unsigned short c, unsigned) { return c > 0xFF ? '?' : static_cast<char>(c); }
