// `basis registry`: the registry from the command line, with the
// subcommands and switches of the registry's own command-line tool on
// Windows (query, add, delete, export, import), on the real registry there
// and on the library's stores on Linux.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Registry.h"
#include "tools/basis/Arguments.h"
#include "tools/basis/Commands.h"
#include "tools/basis/RegistryText.h"

using RegistryText::s_Utf16;
using RegistryText::s_Utf8;

namespace {

enum : int { e_Ok = 0, e_Failed = 1, e_Usage = 2 };

int i_Usage(FILE* out) {
    std::fprintf(out,
                 "usage: basis registry query KEY [/v NAME | /ve] [/s]\n"
                 "       basis registry add KEY [/v NAME | /ve] [/t REG_SZ|REG_BINARY|REG_DWORD] [/d DATA] [/f]\n"
                 "       basis registry delete KEY [/v NAME | /ve] [/f]\n"
                 "       basis registry export KEY FILE [/y]\n"
                 "       basis registry import FILE\n"
                 "       (any of them may start with --store FOLDER)\n"
                 "\n"
                 "  KEY is ROOT\\path, ROOT one of HKEY_CURRENT_USER (HKCU), HKEY_LOCAL_MACHINE\n"
                 "  (HKLM), HKEY_CLASSES_ROOT (HKCR) and HKEY_USERS (HKU).\n"
                 "  query: the key's values and subkeys; /v one value, /ve the default\n"
                 "  value, /s every key below as well.\n"
                 "  add: makes the key (every missing level) and, with /v or /ve, sets the\n"
                 "  value: REG_SZ text (the default), REG_DWORD a number (decimal or 0x\n"
                 "  hex), REG_BINARY hex digits. It never asks before replacing; /f is\n"
                 "  accepted for scripts written for Windows.\n"
                 "  delete: the key with everything below it, or with /v or /ve one value.\n"
                 "  export: the key and everything below it as a registry editor file\n"
                 "  (version 5.00, UTF-16LE); an existing FILE is replaced only with /y.\n"
                 "  import: a registry editor file (version 5.00 or REGEDIT4), read whole\n"
                 "  first: a file with a mistake changes nothing.\n"
                 "  --store FOLDER: on Linux, the stores in FOLDER instead of their usual\n"
                 "  places; Windows has one registry and ignores it.\n");
    return out == stdout ? e_Ok : e_Usage;
}

int i_Fail(std::string const& message) {
    std::fprintf(stderr, "ERROR: %s\n", message.c_str());
    return e_Failed;
}

int i_FailCode(unsigned code) {
    if (code == Platform::e_RegNotFound) return i_Fail("The system was unable to find the specified registry key or value.");
    unsigned short text[512];
    CT_Registry::sn_GetMessage(code, text, 512);
    return i_Fail(s_Utf8(std::u16string(reinterpret_cast<char16_t const*>(text))));
}

unsigned short const* pu(std::u16string const& text) { return reinterpret_cast<unsigned short const*>(text.c_str()); }

std::u16string s_Argument(char const* argument) {
    CT_UString name;
    v_GetArgumentName(argument, &name);
    return std::u16string(reinterpret_cast<char16_t const*>(name.qcuz_Get()), name.n_GetLength());
}

bool b_Switch(char const* argument, char const* name) {
    if (argument[0] != '/' && argument[0] != '-') return false;
    for (std::size_t i = 0;; ++i) {
        char a = argument[1 + i], b = name[i];
        if (a >= 'A' && a <= 'Z') a = static_cast<char>(a + 32);
        if (a != b) return false;
        if (a == 0) return true;
    }
}

char const* qcz_TypeName(unsigned type) {
    switch (type) {
    case 0: return "REG_NONE";
    case 1: return "REG_SZ";
    case 2: return "REG_EXPAND_SZ";
    case 3: return "REG_BINARY";
    case 4: return "REG_DWORD";
    case 7: return "REG_MULTI_SZ";
    case 11: return "REG_QWORD";
    default: return "REG_UNKNOWN";
    }
}

std::string s_Show(unsigned type, std::string const& data) {
    char number[32];
    if (type == 4 && data.size() == 4) {
        unsigned value = static_cast<unsigned char>(data[0]) | static_cast<unsigned char>(data[1]) << 8 |
                         static_cast<unsigned char>(data[2]) << 16 | static_cast<unsigned>(static_cast<unsigned char>(data[3])) << 24;
        std::snprintf(number, sizeof number, "0x%x", value);
        return number;
    }
    if ((type == 1 || type == 2 || type == 7) && data.size() % 2 == 0) {
        std::u16string text;
        for (std::size_t i = 0; i < data.size(); i += 2)
            text.push_back(static_cast<char16_t>(static_cast<unsigned char>(data[i]) | static_cast<unsigned char>(data[i + 1]) << 8));
        while (!text.empty() && text.back() == 0) text.pop_back();
        std::string shown;
        for (char16_t c : text) shown += c == 0 ? std::string("\\0") : s_Utf8(std::u16string(1, c));
        return shown;
    }
    std::string hex;
    for (char c : data) {
        std::snprintf(number, sizeof number, "%02X", static_cast<unsigned char>(c));
        hex += number;
    }
    return hex;
}

void v_PrintValue(std::u16string const& name, unsigned type, std::string const& data) {
    std::printf("    %s    %s    %s\n", name.empty() ? "(Default)" : s_Utf8(name).c_str(), qcz_TypeName(type),
                s_Show(type, data).c_str());
}

// Prints key's values (or the one named) and, with recurse, every key below.
unsigned n_Query(HKEY root, std::u16string const& path, std::u16string const* only, bool recurse, unsigned* found) {
    HKEY key = nullptr;
    if (unsigned code = Platform::n_RegOpenKey(root, pu(path), Platform::e_KeyRead, &key)) return code;
    std::string full = RegistryText::qcz_RootName(root);
    if (!path.empty()) full.append(1, '\\').append(s_Utf8(path));
    std::printf("%s\n", full.c_str());
    unsigned code = 0;
    if (only) {
        unsigned type = 0, size = 0;
        code = Platform::n_RegQueryValue(key, pu(*only), &type, nullptr, &size);
        std::string data(size, '\0');
        if (code == 0) code = Platform::n_RegQueryValue(key, pu(*only), &type, data.empty() ? nullptr : &data[0], &size);
        if (code == 0) {
            data.resize(size);
            v_PrintValue(*only, type, data);
            ++*found;
        }
    } else {
        for (unsigned index = 0;; ++index) {
            std::u16string name;
            unsigned type = 0;
            std::string data;
            code = RegistryText::n_ReadValue(key, index, &name, &type, &data);
            if (code) break;
            v_PrintValue(name, type, data);
            ++*found;
        }
        if (code == Platform::e_RegNoMoreItems) code = 0;
    }
    std::printf("\n");
    std::vector<std::u16string> children;
    if (code == 0) code = RegistryText::n_ReadSubkeyNames(key, &children);
    Platform::n_RegCloseKey(key);
    for (std::u16string const& child : children) {
        std::u16string below = path.empty() ? child : path + u"\\" + child;
        if (code) break;
        if (recurse) code = n_Query(root, below, nullptr, true, found);
        else if (!only) std::printf("%s\\%s\n", full.c_str(), s_Utf8(child).c_str());
    }
    return code;
}

bool b_ParseData(unsigned type, std::string const& text, std::string* data, std::u16string const& wide) {
    if (type == Platform::e_RegText) {
        data->clear();
        for (char16_t c : wide) {
            data->push_back(static_cast<char>(c & 0xFF));
            data->push_back(static_cast<char>(c >> 8));
        }
        data->append(2, '\0');
        return true;
    }
    if (type == Platform::e_RegNumber) {
        char* end = nullptr;
        if (text.empty()) {
            *data = std::string(4, '\0');
            return true;
        }
        unsigned long long value = std::strtoull(text.c_str(), &end, text.compare(0, 2, "0x") == 0 ? 16 : 10);
        if (end == nullptr || *end != 0 || value > 0xFFFFFFFFull || text[0] == '-') return false;
        *data = std::string{static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
                            static_cast<char>(value >> 24)};
        return true;
    }
    if (text.size() % 2) return false;
    data->clear();
    for (std::size_t i = 0; i < text.size(); i += 2) {
        char pair[3] = {text[i], text[i + 1], 0};
        char* end = nullptr;
        long byte = std::strtol(pair, &end, 16);
        if (*end != 0 || pair[0] == '-' || pair[0] == '+' || pair[0] == ' ') return false;
        data->push_back(static_cast<char>(byte));
    }
    return true;
}

bool b_ReadFile(std::u16string const& name, std::string* bytes, std::string* failure) {
    CT_UString wide(pu(name), ~0u);
    CT_WinFile file(&wide, 4096);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareRead, CT_File::e_AttributeNormal, 0);
    char chunk[65536];
    while (!errors->b_IsSetError()) {
        unsigned n = file.vn_Read(chunk, sizeof chunk);
        if (n == 0 || errors->b_IsSetError()) break;
        bytes->append(chunk, n);
    }
    bool ok = !errors->b_IsSetError();
    if (!ok) *failure = s_Utf8(std::u16string(reinterpret_cast<char16_t const*>(errors->qcuz_GetErrorMessage())));
    errors->v_ClearError();
    file.vv_Close();
    errors->v_ClearError();
    return ok;
}

bool b_WriteFile(std::u16string const& name, std::string const& bytes, bool replace, std::string* failure) {
    CT_UString wide(pu(name), ~0u);
    CT_WinFile file(&wide, 4096);
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    if (!replace) {
        file.vv_Open(CT_File::e_Read, CT_File::e_OpenExisting, CT_File::e_ShareReadWrite, CT_File::e_AttributeNormal, 0);
        bool exists = !errors->b_IsSetError();
        errors->v_ClearError();
        file.vv_Close();
        errors->v_ClearError();
        if (exists) {
            *failure = "the file exists; /y replaces it";
            return false;
        }
    }
    file.vv_Open(CT_File::e_Write, CT_File::e_CreateAlways, CT_File::e_ShareNone, CT_File::e_AttributeNormal, 0);
    if (!errors->b_IsSetError()) file.vn_Write(bytes.data(), static_cast<unsigned>(bytes.size()));
    if (!errors->b_IsSetError()) file.vv_Close();
    bool ok = !errors->b_IsSetError();
    if (!ok) *failure = s_Utf8(std::u16string(reinterpret_cast<char16_t const*>(errors->qcuz_GetErrorMessage())));
    errors->v_ClearError();
    return ok;
}

}  // namespace

int i_RunRegistry(int argc, char** argv) {
    std::vector<char*> args(argv, argv + argc);
    if (args.size() >= 2 && std::strcmp(args[0], "--store") == 0) {
        std::u16string folder = s_Argument(args[1]);
        Platform::v_SetRegistryFolder(pu(folder));
        args.erase(args.begin(), args.begin() + 2);
    }
    if (args.empty()) return i_Usage(stderr);
    std::string action = args[0];
    if (action == "--help" || action == "-h" || action == "/?") return i_Usage(stdout);
    auto usage = [](char const* what) {
        std::fprintf(stderr, "basis registry: %s; see basis registry --help\n", what);
        return e_Usage;
    };
    if (action == "import") {
        if (args.size() != 2) return usage("import takes one file");
        std::string bytes, failure;
        if (!b_ReadFile(s_Argument(args[1]), &bytes, &failure)) return i_Fail(failure);
        std::vector<RegistryText::st_Operation> operations;
        if (!RegistryText::b_Parse(bytes, &operations, &failure)) return i_Fail("not imported, " + failure);
        if (unsigned code = RegistryText::n_Apply(operations)) return i_FailCode(code);
        std::printf("The operation completed successfully.\n");
        return e_Ok;
    }
    if (action != "query" && action != "add" && action != "delete" && action != "export")
        return usage(("unknown subcommand \"" + action + "\"").c_str());
    if (args.size() < 2) return usage("a key is needed");
    HKEY root = nullptr;
    std::u16string path;
    if (!RegistryText::b_ParseKey(s_Argument(args[1]), &root, &path)) return i_Fail("Invalid key name.");

    if (action == "export") {
        if (args.size() < 3 || args.size() > 4 || (args.size() == 4 && !b_Switch(args[3], "y")))
            return usage("export takes a key, a file and /y");
        std::string bytes, failure;
        if (unsigned code = RegistryText::n_Export(root, path, &bytes)) return i_FailCode(code);
        if (!b_WriteFile(s_Argument(args[2]), bytes, args.size() == 4, &failure)) return i_Fail(failure);
        std::printf("The operation completed successfully.\n");
        return e_Ok;
    }

    bool hasName = false, recurse = false, hasType = false, hasData = false;
    std::u16string name, wideData;
    std::string typeName = "REG_SZ", data;
    for (std::size_t i = 2; i < args.size(); ++i) {
        bool last = i + 1 >= args.size();
        if (b_Switch(args[i], "v") && !last) {
            hasName = true;
            name = s_Argument(args[++i]);
        } else if (b_Switch(args[i], "ve")) {
            hasName = true;
            name.clear();
        } else if (b_Switch(args[i], "s") && action == "query") {
            recurse = true;
        } else if (b_Switch(args[i], "t") && !last && action == "add") {
            hasType = true;
            typeName = args[++i];
        } else if (b_Switch(args[i], "d") && !last && action == "add") {
            hasData = true;
            data = args[i + 1];
            wideData = s_Argument(args[++i]);
        } else if (b_Switch(args[i], "f") && action != "query") {
            // Nothing asks for confirmation here, so there is nothing to force.
        } else {
            return usage(("unexpected \"" + std::string(args[i]) + "\"").c_str());
        }
    }

    if (action == "query") {
        unsigned found = 0;
        unsigned code = n_Query(root, path, hasName ? &name : nullptr, recurse, &found);
        return code ? i_FailCode(code) : e_Ok;
    }
    if (action == "add") {
        if ((hasType || hasData) && !hasName) return usage("/t and /d need /v or /ve");
        unsigned type = typeName == "REG_SZ" ? Platform::e_RegText : typeName == "REG_DWORD" ? Platform::e_RegNumber
                      : typeName == "REG_BINARY" ? Platform::e_RegBinary : 0u;
        if (type == 0) return usage(("unknown type \"" + typeName + "\"").c_str());
        std::string bytes;
        if (!b_ParseData(type, data, &bytes, wideData)) return i_Fail("Invalid data for " + typeName + ".");
        HKEY key = nullptr;
        unsigned code = Platform::n_RegCreateKey(root, pu(path), Platform::e_KeyAllAccess, &key);
        if (code == 0 && hasName)
            code = Platform::n_RegSetValue(key, pu(name), type, bytes.data(), static_cast<unsigned>(bytes.size()));
        if (key) Platform::n_RegCloseKey(key);
        if (code) return i_FailCode(code);
        std::printf("The operation completed successfully.\n");
        return e_Ok;
    }
    // delete
    if (hasName) {
        HKEY key = nullptr;
        unsigned code = Platform::n_RegOpenKey(root, pu(path), Platform::e_KeyAllAccess, &key);
        if (code == 0) code = Platform::n_RegDeleteValue(key, pu(name));
        if (key) Platform::n_RegCloseKey(key);
        if (code) return i_FailCode(code);
    } else {
        if (path.empty()) return i_Fail("Invalid key name.");  // a root is never deleted
        std::vector<RegistryText::st_Operation> operations{
            {RegistryText::st_Operation::e_DeleteKey, root, path, u"", 0, ""}};
        HKEY probe = nullptr;
        if (unsigned code = Platform::n_RegOpenKey(root, pu(path), Platform::e_KeyRead, &probe)) return i_FailCode(code);
        Platform::n_RegCloseKey(probe);
        if (unsigned code = RegistryText::n_Apply(operations)) return i_FailCode(code);
    }
    std::printf("The operation completed successfully.\n");
    return e_Ok;
}
