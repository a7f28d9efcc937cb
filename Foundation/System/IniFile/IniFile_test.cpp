#include "Foundation/System/IniFile/IniFile.h"

#include <gtest/gtest.h>

#include <string>

#include "Foundation/Basis/Error/ErrorManager.h"
#include "Foundation/Basis/File/FileTesting.h"
#include "Foundation/Basis/String/UString.h"
#include "Foundation/Platform/Profile.h"

namespace {

unsigned short const au_Ini[] = {'i', 'n', 'i', 0};

struct st_Ini {
    FileTesting::TemporaryFile o_File{au_Ini};
    CT_IniFile o_Ini{o_File.pcco_Name()};

    // The file written (or deleted) from outside the profile functions; the
    // flush request makes the next read look at it at once.
    void v_Write(std::string const& bytes) {
        o_File.v_Write(bytes);
        Platform::b_WriteProfileString(nullptr, nullptr, nullptr, o_File.s_Narrow().c_str());
    }
    void v_Delete() {
        o_File.v_Delete();
        Platform::b_WriteProfileString(nullptr, nullptr, nullptr, o_File.s_Narrow().c_str());
    }
};

std::string s_Text(CT_CString const& text) { return text.qccz_Get(); }

unsigned short const* pu_Wide(char16_t const* text) { return reinterpret_cast<unsigned short const*>(text); }

void v_Free(CT_Array<CT_CString*>* names, std::string* joined) {
    for (unsigned i = 1; i <= names->n_GetCount(); ++i) {
        CT_CString* name = nullptr;
        names->v_GetAt(&name, static_cast<int>(i));
        if (joined) *joined += std::string(name->qccz_Get()) + "|";
        delete name;
    }
}

}  // namespace

TEST(IniFile, TruthValuesAndNumbers) {
    st_Ini ini;
    ini.v_Write("[b]\r\nyes =   yes  \r\noff=Off\r\nempty=\r\nt=true\r\nzero=0\r\n");
    // key, default, value read ('O' of "Off" is in neither list)
    struct {
        char const* key;
        int fallback, read;
    } const truths[] = {{"yes", 0, 1},   {"off", 1, 1},  {"off", 0, 0},     {"empty", 1, 1},
                        {"t", 0, 1},     {"zero", 1, 0}, {"missing", 1, 1}};
    int b = -1;
    for (auto const& truth : truths) {
        ini.o_Ini.v_ReadB("b", truth.key, &b, truth.fallback);
        EXPECT_EQ(b, truth.read) << truth.key << " " << truth.fallback;
    }
    for (int written : {0, 1, 7}) {
        ini.o_Ini.v_WriteB("w", "flag", written);
        ini.o_Ini.v_ReadB("w", "flag", &b, !written);
        EXPECT_EQ(b, written != 0);
    }
    CT_CString text;
    ini.o_Ini.v_ReadString("w", "flag", &text, "");
    EXPECT_EQ(s_Text(text), "Yes");

    ini.o_Ini.v_WriteN("n", "all", 4294967295u);
    ini.o_Ini.v_ReadString("n", "all", &text, "");
    EXPECT_EQ(s_Text(text), "-1");
    unsigned n = 0;
    ini.o_Ini.v_ReadN("n", "all", &n, 5);
    EXPECT_EQ(n, 4294967295u);
    ini.o_Ini.v_ReadN("n", "missing", &n, 0x80000000u);
    EXPECT_EQ(n, 0x80000000u);
    ini.o_Ini.v_WriteString("n", "text", "  +42abc");
    ini.o_Ini.v_ReadN("n", "text", &n, 5);
    EXPECT_EQ(n, 42u);
    ini.o_Ini.v_WriteString("n", "text", "abc");
    ini.o_Ini.v_ReadN("n", "text", &n, 5);
    EXPECT_EQ(n, 0u);
}

TEST(IniFile, StringFormsAndExistence) {
    st_Ini ini;
    CT_UString section(pu_Wide(u"Display"), ~0u);
    CT_CString key("COLOR", ~0u, 0);
    CT_UString value(pu_Wide(u"red"), ~0u);
    ini.o_Ini.v_WriteString(&section, &key, &value);
    CT_CString lower("color", ~0u, 0);
    CT_CString display("display", ~0u, 0);
    EXPECT_TRUE(ini.o_Ini.b_KeyExists(&section, &lower));
    EXPECT_TRUE(ini.o_Ini.b_KeyExists("DISPLAY", "Color"));
    EXPECT_FALSE(ini.o_Ini.b_KeyExists("display", "size"));
    EXPECT_TRUE(ini.o_Ini.b_SectionExists(&display));
    EXPECT_FALSE(ini.o_Ini.b_SectionExists("other"));
    CT_UString wide;
    CT_UString fallback(pu_Wide(u"none"), ~0u);
    ini.o_Ini.v_ReadString(&display, &lower, &wide, &fallback);
    EXPECT_EQ(wide.n_GetLength(), 3u);
    ini.o_Ini.v_DeleteKey(&display, &lower);
    ini.o_Ini.v_ReadString(&display, &lower, &wide, &fallback);
    EXPECT_EQ(wide.n_GetLength(), 4u);
    ini.o_Ini.v_DeleteSection(&section);
    EXPECT_FALSE(ini.o_Ini.b_SectionExists(&display));
    EXPECT_EQ(s_Text(*ini.o_Ini.pcco_GetName()), ini.o_File.s_Narrow());
}

TEST(IniFile, ListingsLongerThanOneBuffer) {
    st_Ini ini;
    std::string file = "[first]\r\n";
    std::string expected;
    // 700 keys of 10 characters: 7,700 bytes of names, two buffers' worth.
    for (int i = 0; i < 700; ++i) {
        char name[16];
        std::snprintf(name, sizeof name, "key%07d", i);
        file += std::string(name) + "=" + std::to_string(i) + "\r\n";
        expected += std::string(name) + "|";
    }
    file += "[second]\r\n";
    ini.v_Write(file);
    CT_Array<CT_CString*> names;
    ini.o_Ini.v_GetKeysInSection("first", &names);
    std::string joined;
    v_Free(&names, &joined);
    EXPECT_EQ(joined, expected);
    CT_Array<CT_CString*> sections;
    ini.o_Ini.v_GetSectionNames(&sections);
    joined.clear();
    v_Free(&sections, &joined);
    EXPECT_EQ(joined, "first|second|");
}

TEST(IniFile, MissingFilesAndFailedWrites) {
    st_Ini ini;
    ini.v_Delete();
    CT_CString text;
    ini.o_Ini.v_ReadString("s", "k", &text, "fallback");
    EXPECT_EQ(s_Text(text), "fallback");
    CT_Array<CT_CString*> names;
    ini.o_Ini.v_GetSectionNames(&names);
    ini.o_Ini.v_GetKeysInSection("s", &names);
    EXPECT_EQ(names.n_GetCount(), 0u);

    // A file in a folder that does not exist cannot be written: only the
    // narrow v_WriteString reports it.
    CT_ErrorManager* errors = CT_ErrorManager::spco_Get();
    errors->v_ClearError();
    CT_CString bad((ini.o_File.s_Narrow() + ".missing/x.ini").c_str(), ~0u, 0);
    CT_IniFile nowhere(&bad);
    nowhere.v_WriteN("s", "k", 1);
    CT_CString s("s", ~0u, 0);
    nowhere.v_WriteString(&s, &s, &s);
    EXPECT_FALSE(errors->b_IsSetError());
    nowhere.v_WriteString("s", "k", "v");
    EXPECT_TRUE(errors->b_IsSetError());
    errors->v_ClearError();
}
