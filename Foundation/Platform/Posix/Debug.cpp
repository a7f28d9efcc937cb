#include "Foundation/Platform/Debug.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace Platform {

namespace {

bool b_TracerAttached() {
    FILE* status = fopen("/proc/self/status", "r");
    if (status == nullptr) return false;
    char line[256];
    bool attached = false;
    while (fgets(line, sizeof line, status)) {
        if (strncmp(line, "TracerPid:", 10) == 0) {
            attached = atoi(line + 10) != 0;
            break;
        }
    }
    fclose(status);
    return attached;
}

}  // namespace

void v_OutputDebugString(char const* text) {
    if (text == nullptr || !b_TracerAttached()) return;
    fputs(text, stderr);
    fflush(stderr);
}

unsigned n_GetTempPath(char* buffer, unsigned size) {
    if (size == 0) return 0;
    // The library reads no configuration of its own; the system's place
    // for temporary files is /tmp.
    static char const path[] = "/tmp/";
    unsigned length = sizeof path - 1;
    if (length >= size) length = size - 1;
    memcpy(buffer, path, length);
    buffer[length] = 0;
    return length;
}

}  // namespace Platform
