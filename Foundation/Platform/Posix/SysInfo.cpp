#include "Foundation/Platform/SysInfo.h"

#include <dirent.h>
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/utsname.h>
#include <unistd.h>

#include "Foundation/Platform/Posix/Utf8Text.h"

namespace Platform {

int b_GetOsVersion(st_OsVersion* version) {
    memset(version, 0, sizeof *version);
    struct utsname names;
    if (uname(&names) != 0) return 0;
    // "6.1.0-18-amd64": major 6, minor 1, build 0 (the patch level).
    unsigned numbers[3] = {0, 0, 0};
    sscanf(names.release, "%u.%u.%u", &numbers[0], &numbers[1], &numbers[2]);
    version->n_PlatformId = 2;
    version->n_Major = numbers[0];
    version->n_Minor = numbers[1];
    version->n_Build = numbers[2];
    // The release text ("6.1.0-18-amd64") stands in for the service pack.
    strncpy(version->ac_ServicePack, names.release, sizeof version->ac_ServicePack - 1);
    return 1;
}

void v_GetProcessor(st_Processor* processor) {
    memset(processor, 0, sizeof *processor);
    struct utsname names;
    uname(&names);
    // Windows numbering of architectures: 0 x86, 5 ARM, 9 x86-64, 12 ARM64.
    if (strcmp(names.machine, "x86_64") == 0) processor->n_Architecture = 9;
    else if (names.machine[0] == 'i' && strcmp(names.machine + 2, "86") == 0) processor->n_Architecture = 0;
    else if (strcmp(names.machine, "aarch64") == 0) processor->n_Architecture = 12;
    else if (strncmp(names.machine, "arm", 3) == 0) processor->n_Architecture = 5;
    else processor->n_Architecture = 0xFFFF;
    processor->n_Level = 6;
    processor->n_Type = 586;
    long count = sysconf(_SC_NPROCESSORS_ONLN);
    processor->n_Count = count > 0 ? static_cast<unsigned>(count) : 1;
}

unsigned n_GetComputerNameW(unsigned short* buffer, unsigned size) {
    if (size == 0) {
        errno = EINVAL;
        return 0;
    }
    char name[256];
    if (gethostname(name, sizeof name) != 0) {
        buffer[0] = 0;
        return 0;
    }
    name[sizeof name - 1] = 0;
    // Windows gives the NetBIOS name: the host name up to its first dot,
    // in capitals.
    char* dot = strchr(name, '.');
    if (dot) *dot = 0;
    for (char* p = name; *p; ++p)
        if (*p >= 'a' && *p <= 'z') *p = static_cast<char>(*p - 32);
    return Posix::n_Utf8ToUtf16(name, strlen(name), buffer, size);
}

namespace {

// SM_NETWORK: bit 0 when a network is present, here any interface
// besides the loopback one.
int i_NetworkPresent() {
    DIR* directory = opendir("/sys/class/net");
    if (directory == nullptr) return 0;
    int present = 0;
    while (struct dirent* entry = readdir(directory)) {
        if (entry->d_name[0] == '.' || strcmp(entry->d_name, "lo") == 0) continue;
        present = 1;
        break;
    }
    closedir(directory);
    return present;
}

}  // namespace

int i_GetSystemMetric(int index) {
    // Without a display the metrics of screen and input devices are 0, as
    // Windows reports them for a session without such devices; the flags
    // of language support (DBCS, Middle East) are off, as on a Western
    // system, and the machine is not slow.
    switch (index) {
        case 63:  // SM_NETWORK
            return i_NetworkPresent();
        default:
            return 0;
    }
}

}  // namespace Platform
