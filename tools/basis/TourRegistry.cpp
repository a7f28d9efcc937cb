// The tour's registry stop: a cursor walking keys below
// HKEY_CURRENT_USER\Software\BasisTour, values of the three types read
// back, a name matched without regard to case, the error of a value read as
// the wrong type, the key exported as a registry editor file, and the
// subtree deleted. On Linux the stores sit in a folder of the tour's own;
// on Windows it is the real registry, and the key is gone again at the end.
#include <cstdio>
#include <filesystem>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/Platform/Registry.h"
#include "tools/basis/RegistryText.h"
#include "tools/basis/Tour.h"

namespace {

CT_UString co_U(char16_t const* text) { return CT_UString(reinterpret_cast<unsigned short const*>(text), ~0u); }

std::string s_Path(CT_Registry const& registry) {
    return s_TourNarrow(registry.pcco_GetPath()->qcuz_Get());
}

}  // namespace

int i_TourRegistry() {
    v_TourHeading("Registry");
    std::error_code ignored;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ignored) / "basis-tour-registry";
    std::filesystem::remove_all(folder, ignored);
    std::filesystem::create_directories(folder, ignored);
    std::u16string wideFolder = folder.u16string();
    Platform::v_SetRegistryFolder(reinterpret_cast<unsigned short const*>(wideFolder.c_str()));

    CT_UString base = co_U(u"\\Software\\BasisTour\\"), deep = co_U(u"Colours\\Warm\\Red"), cool = co_U(u"Colours\\Cool");
    CT_Registry registry(HKEY_CURRENT_USER, &base);
    std::printf("  cursor on HKEY_CURRENT_USER, path \"%s\" (backslashes at the ends dropped)\n", s_Path(registry).c_str());
    registry.v_CreateKey(&base);
    registry.v_CreateKey(&deep);
    registry.v_CreateKey(&cool);
    if (b_TourFailed("creating keys")) return 1;
    CT_Registry cursor(&registry);
    cursor.v_SetKey(&deep);
    std::printf("  v_SetKey(\"Colours\\Warm\\Red\") -> %s\n", s_Path(cursor).c_str());
    CT_UString up = co_U(u"..");
    cursor.v_SetKey(&up);
    cursor.v_SetKey(&up);
    std::printf("  \"..\" twice                -> %s\n", s_Path(cursor).c_str());
    CT_UString coolName = co_U(u"Cool");
    cursor.v_SetKey(&coolName);
    std::printf("  v_SetKey(\"Cool\")          -> %s\n", s_Path(cursor).c_str());
    if (b_TourFailed("moving the cursor")) return 1;

    CT_UString greeting = co_U(u"Greeting"), count = co_U(u"Count"), blob = co_U(u"Blob");
    CT_UString text = co_U(u"Grüße, Καλημέρα, Привет");
    registry.v_SetValue(&greeting, &text);
    registry.v_SetValue(&count, 0xC0FFEEul);
    unsigned char const bytes[] = {0xDE, 0xAD, 0x00, 0xBE, 0xEF};
    CT_Buffer data(bytes, sizeof bytes, 0);
    registry.v_SetValue(&blob, &data);
    CT_UString readText;
    unsigned long number = 0;
    CT_Buffer readData;
    CT_UString upper = co_U(u"GREETING");
    registry.v_GetValue(&upper, &readText);
    registry.v_GetValue(&count, &number);
    registry.v_GetValue(&blob, &readData);
    if (b_TourFailed("values")) return 1;
    std::printf("  text   \"GREETING\" (any case) = %s\n", s_TourNarrow(readText.qcuz_Get()).c_str());
    std::printf("  number \"Count\"  = 0x%lx\n", number);
    std::printf("  binary \"Blob\"   = %u bytes, zeros kept\n", readData.n_GetUsedSize());
    CT_UString untouched = co_U(u"(unchanged)");
    registry.v_GetValue(&count, &untouched);
    std::printf("  \"Count\" read as text: ");
    b_TourFailed("the read");
    std::printf("  and the caller's string stays %s\n", s_TourNarrow(untouched.qcuz_Get()).c_str());

    std::string file;
    if (RegistryText::n_Export(HKEY_CURRENT_USER, u"Software\\BasisTour", &file) == 0) {
        std::u16string units;
        for (std::size_t i = 2; i + 1 < file.size(); i += 2)
            units.push_back(static_cast<char16_t>(static_cast<unsigned char>(file[i]) | static_cast<unsigned char>(file[i + 1]) << 8));
        std::string shown = RegistryText::s_Utf8(units);
        std::printf("  exported (UTF-16LE with a BOM, %zu bytes):\n", file.size());
        std::size_t start = 0;
        for (int line = 0; line < 7 && start < shown.size(); ++line) {
            std::size_t end = shown.find("\r\n", start);
            std::printf("    | %s\n", shown.substr(start, end - start).c_str());
            start = end == std::string::npos ? shown.size() : end + 2;
        }
    }

    CT_UString colours = co_U(u"Colours");
    registry.v_DeleteKey(&colours);
    cursor.v_SetKey(&deep);
    std::printf("  after deleting \"Colours\" with its subtree, Colours\\Warm\\Red: ");
    if (!b_TourFailed("v_SetKey")) std::printf("still there?\n");
    CT_Registry software(HKEY_CURRENT_USER);
    CT_UString tourKey = co_U(u"Software\\BasisTour");
    software.v_DeleteKey(&tourKey);
    Platform::v_SetRegistryFolder(nullptr);
    std::filesystem::remove_all(folder, ignored);
    return b_TourFailed("cleaning up") ? 1 : 0;
}
