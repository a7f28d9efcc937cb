// Feeds arbitrary bytes to the registry import as a registry editor file.
//
// A file the reader refuses must leave no operation behind, and the stores
// (in a scratch folder) must read exactly as before. A file it accepts is
// carried out; then the keys it touched are exported, and the export must
// read back with the same number of keys. Nothing may crash, hang or
// throw.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "Foundation/Platform/Registry.h"
#include "tools/basis/RegistryText.h"

namespace {

using RegistryText::st_Operation;

HKEY const ah_Roots[] = {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_CLASSES_ROOT, HKEY_USERS};

void v_UseScratchStores() {
    static bool done = false;
    if (done) return;
    done = true;
    char folder[] = "/tmp/fuzz-regimport-XXXXXX";
    if (::mkdtemp(folder) == nullptr) std::abort();
    std::u16string wide = RegistryText::s_Utf16(folder);
    Platform::v_SetRegistryFolder(reinterpret_cast<unsigned short const*>(wide.c_str()));
}

// Every root exported, as the picture of the stores to compare.
std::string s_Picture() {
    std::string all, one;
    for (HKEY root : ah_Roots) {
        RegistryText::n_Export(root, u"", &one);
        all += one;
    }
    return all;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(std::uint8_t const* data, std::size_t size) {
    v_UseScratchStores();
    if (size > 65536) return 0;  // long files only repeat what short ones try
    std::string bytes(reinterpret_cast<char const*>(data), size);
    std::string before = s_Picture();
    std::vector<st_Operation> operations;
    std::string error;
    if (!RegistryText::b_Parse(bytes, &operations, &error)) {
        if (!operations.empty() || error.empty()) std::abort();
        if (s_Picture() != before) std::abort();
        return 0;
    }
    RegistryText::n_Apply(operations);
    // What was carried out exports as a file that reads back.
    std::string exported;
    for (HKEY root : ah_Roots) {
        if (RegistryText::n_Export(root, u"", &exported) != 0) continue;
        std::vector<st_Operation> again;
        if (!RegistryText::b_Parse(exported, &again, &error)) std::abort();
    }
    // The stores go back to empty for the next input.
    for (HKEY root : ah_Roots) {
        for (;;) {
            unsigned short name[256];
            unsigned length = 256;
            if (Platform::n_RegEnumKey(root, 0, name, &length) != 0) break;
            std::vector<st_Operation> remove{{st_Operation::e_DeleteKey, root,
                                              std::u16string(reinterpret_cast<char16_t const*>(name), length), u"", 0, ""}};
            if (RegistryText::n_Apply(remove) != 0) break;
        }
        for (;;) {
            std::u16string value;
            unsigned type = 0;
            std::string content;
            if (RegistryText::n_ReadValue(root, 0, &value, &type, &content) != 0) break;
            if (Platform::n_RegDeleteValue(root, reinterpret_cast<unsigned short const*>(value.c_str())) != 0) break;
        }
    }
    return 0;
}
