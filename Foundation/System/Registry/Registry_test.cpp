#include "Foundation/System/Registry/Registry.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "Foundation/Basis.h"
#include "Foundation/System/Registry/RegistryTesting.h"

using RegistryTesting::ScratchRegistry;

namespace {

CT_UString co_U(char16_t const* text) {
    return CT_UString(reinterpret_cast<unsigned short const*>(text), ~0u);
}

std::u16string s_Of(CT_UString const& text) {
    return std::u16string(reinterpret_cast<char16_t const*>(text.qcuz_Get()), text.n_GetLength());
}

CT_ErrorManager* errors() { return CT_ErrorManager::spco_Get(); }

// The code of the thread's error, which is then cleared.
unsigned n_TakeError() {
    unsigned code = errors()->b_IsSetError() ? errors()->n_GetErrorCode() : 0;
    errors()->v_ClearError();
    return code;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { errors()->v_ClearError(); }
    CT_Registry co_Base() {
        CT_UString base(o_Scratch.pu_Base(), ~0u);
        return CT_Registry(HKEY_CURRENT_USER, &base);
    }
    ScratchRegistry o_Scratch;
};

// The path of the cursor after moving it by `path`.
std::u16string s_Moved(CT_Registry& cursor, std::u16string const& path) {
    CT_UString key = co_U(path.c_str());
    cursor.v_SetKey(&key);
    return s_Of(*cursor.pcco_GetPath());
}

TEST_F(RegistryTest, CursorMovesByRelativeAbsoluteAndParentKeys) {
    CT_Registry registry = co_Base();
    CT_UString ab = co_U(u"A\\B"), ac = co_U(u"A\\C");
    registry.v_CreateKey(&ab);
    registry.v_CreateKey(&ac);
    ASSERT_EQ(n_TakeError(), 0u);
    std::u16string base = s_Of(CT_UString(o_Scratch.pu_Base(), ~0u));

    // An absolute key below the root, then A\B relative to the base.
    CT_Registry cursor(HKEY_CURRENT_USER);
    EXPECT_EQ(s_Moved(cursor, u"\\" + base + u"\\A\\B\\"), base + u"\\A\\B");
    EXPECT_EQ(s_Moved(cursor, u".."), base + u"\\A");
    EXPECT_EQ(s_Moved(cursor, u"C"), base + u"\\A\\C");
    EXPECT_EQ(n_TakeError(), 0u);

    // ".." climbs level by level to the root, the empty path.
    CT_Registry climber(HKEY_CURRENT_USER, &ab);
    EXPECT_EQ(s_Of(*climber.pcco_GetPath()), u"A\\B");
    climber.v_Set(HKEY_CURRENT_USER);
    s_Moved(climber, u"Software");
    EXPECT_EQ(s_Moved(climber, u".."), u"");
    EXPECT_EQ(s_Moved(climber, u".."), u"");
    EXPECT_EQ(n_TakeError(), 0u);

    // A missing key is code 2 with the registry's words, and the position
    // stays.
    s_Moved(cursor, u"Nowhere");
    EXPECT_TRUE(errors()->b_IsSetError());
    EXPECT_EQ(errors()->n_GetErrorCode(), 2u);
    EXPECT_EQ(s_Of(CT_UString(errors()->qcuz_GetErrorMessage(), ~0u)),
              u"(2): The system cannot find the file specified.");
    EXPECT_STREQ(errors()->qccz_GetLocationFileAt(1), "Foundation/System/Registry/Registry");
    errors()->v_ClearError();
    EXPECT_EQ(s_Of(*cursor.pcco_GetPath()), base + u"\\A\\C");

    // Backslashes at both ends of a path are not kept; \X\Y\ is absolute.
    CT_UString padded = co_U(u"\\\\P\\Q\\\\");
    CT_Registry stripped(HKEY_CURRENT_USER, &padded);
    EXPECT_EQ(s_Of(*stripped.pcco_GetPath()), u"P\\Q");
    CT_UString xyFull = co_U((u"\\" + base + u"\\X\\Y").c_str());
    registry.v_CreateKey(&xyFull);
    EXPECT_EQ(s_Moved(cursor, u"\\" + base + u"\\X\\Y\\"), base + u"\\X\\Y");
    EXPECT_EQ(n_TakeError(), 0u);

    // Copies carry root and path.
    CT_Registry copy(&cursor);
    EXPECT_EQ(copy.h_GetRoot(), HKEY_CURRENT_USER);
    EXPECT_EQ(s_Of(*copy.pcco_GetPath()), base + u"\\X\\Y");
}

TEST_F(RegistryTest, ValuesKeepTheirTypeAndBytes) {
    CT_Registry registry = co_Base();
    CT_UString number = co_U(u"Number"), text = co_U(u"Text"), binary = co_U(u"Binary"), empty = co_U(u"Empty");
    for (unsigned long value : {0ul, 1ul, 0x12345678ul, 0xFFFFFFFFul}) {
        registry.v_SetValue(&number, value);
        unsigned long read = 7;
        registry.v_GetValue(&number, &read);
        EXPECT_EQ(read, value);
    }
    CT_UString greek = co_U(u"Καλημέρα, κόσμε");
    registry.v_SetValue(&text, &greek);
    CT_UString readText;
    registry.v_GetValue(&text, &readText);
    EXPECT_EQ(s_Of(readText), u"Καλημέρα, κόσμε");
    CT_CString narrow(0);
    registry.v_GetValue(&text, &narrow);  // a narrow caller's string gets it converted
    EXPECT_GT(narrow.vn_GetLength(), 0u);

    // Text is stored as the wide call returns it: UTF-16LE with its zero.
    HKEY key = nullptr;
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, o_Scratch.pu_Base(), Platform::e_KeyRead, &key), 0u);
    unsigned type = 0, size = 0;
    EXPECT_EQ(Platform::n_RegQueryValue(key, text.qcuz_Get(), &type, nullptr, &size), 0u);
    EXPECT_EQ(type, 1u);
    EXPECT_EQ(size, (greek.n_GetLength() + 1) * 2);
    std::string stored(size, '\0');
    EXPECT_EQ(Platform::n_RegQueryValue(key, text.qcuz_Get(), &type, stored.data(), &size), 0u);
    EXPECT_EQ(static_cast<unsigned char>(stored[0]), 0x9Au);  // Κ U+039A, low byte first
    EXPECT_EQ(stored[1], '\x03');
    EXPECT_EQ(stored.substr(stored.size() - 2), std::string(2, '\0'));
    Platform::n_RegCloseKey(key);

    // Binary data with zeros inside, and an empty value.
    unsigned char const bytes[] = {0, 1, 0, 0xFF, 0x80, 0};
    CT_Buffer data;
    data.v_Set(bytes, sizeof bytes, 0);
    registry.v_SetValue(&binary, &data);
    CT_Buffer readData;
    registry.v_GetValue(&binary, &readData);
    ASSERT_EQ(readData.n_GetUsedSize(), sizeof bytes);
    EXPECT_EQ(std::memcmp(readData.qcv_Get(), bytes, sizeof bytes), 0);
    CT_Buffer nothing;
    registry.v_SetValue(&empty, &nothing);
    registry.v_GetValue(&empty, &readData);
    EXPECT_EQ(readData.n_GetUsedSize(), 0u);
    CT_UString emptyText;
    registry.v_SetValue(&text, &emptyText);
    readText = co_U(u"old");
    registry.v_GetValue(&text, &readText);
    EXPECT_EQ(s_Of(readText), u"");
    EXPECT_EQ(n_TakeError(), 0u);
}

TEST_F(RegistryTest, WrongTypesAndMissingValuesFailWithoutTouchingTheResult) {
    CT_Registry registry = co_Base();
    CT_UString number = co_U(u"Number"), missing = co_U(u"Missing");
    registry.v_SetValue(&number, 42ul);
    CT_UString text = co_U(u"unchanged");
    registry.v_GetValue(&number, &text);
    EXPECT_EQ(n_TakeError(), 87u);
    EXPECT_EQ(s_Of(text), u"unchanged");
    CT_Buffer data;
    registry.v_GetValue(&number, &data);
    EXPECT_EQ(n_TakeError(), 87u);
    unsigned long value = 5;
    registry.v_GetValue(&missing, &value);
    EXPECT_EQ(n_TakeError(), 2u);
    EXPECT_EQ(value, 5ul);

    registry.v_DeleteValue(&number);
    EXPECT_EQ(n_TakeError(), 0u);
    registry.v_GetValue(&number, &value);
    EXPECT_EQ(n_TakeError(), 2u);
    registry.v_DeleteValue(&number);
    EXPECT_EQ(n_TakeError(), 2u);

    // Values at a position that does not exist.
    CT_UString gone = co_U(u"Gone");
    CT_Registry nowhere(registry);
    nowhere.v_Set(HKEY_CURRENT_USER, &gone);
    nowhere.v_SetValue(&number, 1ul);
    EXPECT_EQ(n_TakeError(), 2u);
    nowhere.v_DeleteKey(&number);
    EXPECT_EQ(n_TakeError(), 2u);
}

TEST_F(RegistryTest, NamesMatchWithoutCaseAndKeepTheirOwn) {
    CT_Registry registry = co_Base();
    CT_UString key = co_U(u"Ключ Ärger Αθήνα"), upper = co_U(u"КЛЮЧ ÄRGER ΑΘΉΝΑ");
    registry.v_CreateKey(&key);
    registry.v_SetKey(&upper);
    ASSERT_EQ(n_TakeError(), 0u);
    CT_UString name = co_U(u"Größe"), other = co_U(u"GRößE");
    registry.v_SetValue(&name, 1ul);
    registry.v_SetValue(&other, 2ul);
    unsigned long value = 0;
    registry.v_GetValue(&name, &value);
    EXPECT_EQ(value, 2ul);
    EXPECT_EQ(n_TakeError(), 0u);

    // Listing gives the names as first written.
    HKEY base = nullptr;
    ASSERT_EQ(Platform::n_RegOpenKey(HKEY_CURRENT_USER, o_Scratch.pu_Base(), Platform::e_KeyRead, &base), 0u);
    unsigned short listed[64];
    unsigned length = 64;
    ASSERT_EQ(Platform::n_RegEnumKey(base, 0, listed, &length), 0u);
    EXPECT_EQ(s_Of(CT_UString(listed, length)), u"Ключ Ärger Αθήνα");
    length = 64;
    EXPECT_EQ(Platform::n_RegEnumKey(base, 1, listed, &length), 259u);
    HKEY child = nullptr;
    ASSERT_EQ(Platform::n_RegOpenKey(base, upper.qcuz_Get(), Platform::e_KeyRead, &child), 0u);
    length = 64;
    unsigned type = 0;
    ASSERT_EQ(Platform::n_RegEnumValue(child, 0, listed, &length, &type, nullptr, nullptr), 0u);
    EXPECT_EQ(s_Of(CT_UString(listed, length)), u"Größe");
    EXPECT_EQ(type, 4u);
    length = 3;  // too small for the name and its zero
    EXPECT_EQ(Platform::n_RegEnumValue(child, 0, listed, &length, nullptr, nullptr, nullptr), 234u);
    Platform::n_RegCloseKey(child);
    Platform::n_RegCloseKey(base);
}

TEST_F(RegistryTest, DeletingAKeyRemovesItsWholeSubtree) {
    CT_Registry registry = co_Base();
    for (char16_t const* path : {u"T\\A\\A1\\Deep", u"T\\A\\A2", u"T\\B", u"T\\C\\C1"}) {
        CT_UString key = co_U(path);
        registry.v_CreateKey(&key);
    }
    CT_UString a = co_U(u"T\\A\\A1\\Deep"), v = co_U(u"V");
    CT_Registry deep(registry);
    deep.v_SetKey(&a);
    deep.v_SetValue(&v, 9ul);
    ASSERT_EQ(n_TakeError(), 0u);

    CT_UString t = co_U(u"T");
    registry.v_DeleteKey(&t);
    EXPECT_EQ(n_TakeError(), 0u);
    for (char16_t const* path : {u"T", u"T\\A\\A1\\Deep", u"T\\C"}) {
        CT_UString key = co_U(path);
        CT_Registry probe(registry);
        probe.v_SetKey(&key);
        EXPECT_EQ(n_TakeError(), 2u);
    }
    // The cursor left on a deleted key finds nothing there.
    unsigned long value = 0;
    deep.v_GetValue(&v, &value);
    EXPECT_EQ(n_TakeError(), 2u);
    registry.v_DeleteKey(&t);
    EXPECT_EQ(n_TakeError(), 2u);
    CT_UString none;
    registry.v_DeleteKey(&none);
    EXPECT_EQ(n_TakeError(), 87u);
}

TEST_F(RegistryTest, OutsideTheNtFamilyTextIsStoredNarrow) {
    CT_Registry registry = co_Base();
    CT_UString name = co_U(u"Narrow");
    int windowsNT = CT_OS::sb_IsWindowsNT;
    CT_OS::sb_IsWindowsNT = 0;
    CT_CString text("plain text", ~0u, 0);
    registry.v_SetValue(&name, &text);
    CT_CString read(0);
    registry.v_GetValue(&name, &read);
    CT_OS::sb_IsWindowsNT = windowsNT;
    EXPECT_EQ(n_TakeError(), 0u);
    EXPECT_STREQ(read.qccz_Get(), "plain text");
}

TEST(RegistryMessages, RegistryCodesReadAlikeEverywhere) {
    unsigned short text[128];
    EXPECT_GT(CT_Registry::sn_GetMessage(5, text, 128), 0u);
    EXPECT_EQ(s_Of(CT_UString(text, ~0u)), u"Access is denied.");
    EXPECT_EQ(CT_Registry::sn_GetMessage(87, text, 4), 3u);  // cut to the room
    EXPECT_EQ(s_Of(CT_UString(text, ~0u)), u"The");
    EXPECT_EQ(CT_Registry::sn_GetMessage(87, text, 0), 0u);
}

}  // namespace
