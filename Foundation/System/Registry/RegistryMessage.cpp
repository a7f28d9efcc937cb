// The words of the registry's result codes. Each system has its own texts
// for its codes (and Wine's differ from Windows'), so the codes a registry
// call gives are worded here once, as Windows words them, and a message
// reads the same on every platform.
#include <cstring>

#include "Foundation/Platform/SystemError.h"
#include "Foundation/System/Registry/Registry.h"

namespace {

struct st_Message {
    unsigned n_Code;
    char const* qcz_Text;
};

st_Message const ast_Messages[] = {
    {2, "The system cannot find the file specified."},
    {5, "Access is denied."},
    {6, "The handle is invalid."},
    {14, "Not enough memory resources are available to complete this operation."},
    {87, "The parameter is incorrect."},
    {170, "The requested resource is in use."},
    {234, "More data is available."},
    {259, "No more data is available."},
    {1009, "The configuration registry database is corrupt."},
    {1016, "An I/O operation initiated by the registry failed unrecoverably."},
    {1018, "Illegal operation attempted on a registry key that has been marked for deletion."},
};

}  // namespace

unsigned CT_Registry::sn_GetMessage(unsigned code, unsigned short* buffer, unsigned size) {
    if (buffer == nullptr || size == 0) return 0;
    for (st_Message const& message : ast_Messages) {
        if (message.n_Code != code) continue;
        unsigned length = static_cast<unsigned>(std::strlen(message.qcz_Text));
        if (length > size - 1) length = size - 1;  // cut to the room, as the system's text would be
        for (unsigned i = 0; i < length; ++i) buffer[i] = static_cast<unsigned char>(message.qcz_Text[i]);
        buffer[length] = 0;
        return length;
    }
    unsigned length = Platform::n_GetSystemMessageW(code, buffer, size);
    // The system ends its texts with a line end, which a message does not carry.
    while (length > 0 && (buffer[length - 1] == '\n' || buffer[length - 1] == '\r' || buffer[length - 1] == ' '))
        buffer[--length] = 0;
    return length;
}
