#include "platform/registry_document.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr const char* kKey = "SOFTWARE\\NV_VizorDesk";

std::string Dword(DWORD n) {
    return std::string{char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)};
}

std::string Sz(const std::string& text) {
    return text + '\0';
}

// Another program's settings, with forms this store never writes itself.
const std::string kForeign = "REGEDIT4\n"
                             "; exported by hand\n"
                             "\n"
                             "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Other]\n"
                             "\"Machine\"=dword:00000001\n"
                             "\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\OrvelCam]\n"
                             "\"Blob\"=hex:01,02,\\\n"
                             "  03,ff\n"
                             "\"Multi\"=hex(7):61,00,00,00\n"
                             "\"Gone\"=-\n"
                             "\"Odd\"=something else\r\n"
                             "\n"
                             "[-HKEY_CURRENT_USER\\SOFTWARE\\Removed]\n";

TEST(RegistryDocumentText, ForeignContentRoundTripsByteForByte) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse(kForeign, why)) << why;
    EXPECT_EQ(doc.Serialize(), kForeign);
}

TEST(RegistryDocumentText, WriteAddsOnlyItsOwnLines) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse(kForeign, why)) << why;
    ASSERT_TRUE(doc.SetValue("SOFTWARE\\OrvelCam", "WantDel", REG_DWORD, Dword(0)));
    ASSERT_TRUE(doc.SetValue(kKey, "/home/u/Pictures", REG_DWORD, Dword(10)));

    std::string expected = kForeign;
    expected.insert(expected.find("\n\n[-HKEY") + 1, "\"WantDel\"=dword:00000000\n");
    // "SOFTWARE" exists already through the key below it.
    expected += "\n[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n"
                "\"/home/u/Pictures\"=dword:0000000a\n";
    EXPECT_EQ(doc.Serialize(), expected);
}

TEST(RegistryDocumentText, ForeignValueFormsReadAsTheirTypes) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse(kForeign, why)) << why;
    RegValueData value;
    ASSERT_TRUE(doc.QueryValue("SOFTWARE\\OrvelCam", "Blob", value));
    EXPECT_EQ(value.dwType, REG_BINARY);
    EXPECT_EQ(value.data, std::string("\x01\x02\x03\xff", 4));
    ASSERT_TRUE(doc.QueryValue("SOFTWARE\\OrvelCam", "Multi", value));
    EXPECT_EQ(value.dwType, 7u);
    ASSERT_TRUE(doc.QueryValue("SOFTWARE\\OrvelCam", "Gone", value));
    EXPECT_EQ(value.dwType, REG_UNREADABLE);
    ASSERT_TRUE(doc.QueryValue("SOFTWARE\\OrvelCam", "Odd", value));
    EXPECT_EQ(value.dwType, REG_UNREADABLE);
    // Another hive's values are not the current user's.
    EXPECT_FALSE(doc.KeyExists("SOFTWARE\\Other"));
}

TEST(RegistryDocumentNames, EscapedUtf8NamesAndTextsSurviveAReparse) {
    const std::string name = "/home/jos\xC3\xA9/Bilder \"neu\"\\x";
    const std::string text = "C:\\path \"quoted\" \xE5\x86\x99";
    CRegistryDocument doc;
    ASSERT_TRUE(doc.SetValue(kKey, name, REG_SZ, Sz(text)));
    std::string serialized = doc.Serialize();
    EXPECT_NE(serialized.find("\"/home/jos\xC3\xA9/Bilder \\\"neu\\\"\\\\x\"="
                              "\"C:\\\\path \\\"quoted\\\" \xE5\x86\x99\""),
              std::string::npos)
        << serialized;

    CRegistryDocument again;
    std::string why;
    ASSERT_TRUE(again.Parse(serialized, why)) << why;
    RegValueData value;
    ASSERT_TRUE(again.QueryValue(kKey, name, value));
    EXPECT_EQ(value.dwType, REG_SZ);
    EXPECT_EQ(value.data, Sz(text));
}

TEST(RegistryDocumentNames, KeysFoldCaseButValueNamesDoNot) {
    CRegistryDocument doc;
    ASSERT_TRUE(doc.SetValue(kKey, "/Pics", REG_DWORD, Dword(3)));
    RegValueData value;
    EXPECT_TRUE(doc.QueryValue("software\\nv_vizordesk", "/Pics", value));
    EXPECT_FALSE(doc.QueryValue(kKey, "/pics", value));
    EXPECT_TRUE(doc.KeyExists("Software"));
    EXPECT_FALSE(doc.KeyExists("SOFT"));
    EXPECT_FALSE(doc.KeyExists("SOFTWARE\\NV_VizorDesk\\Sub"));

    // Writing through another spelling of the key updates the same value.
    ASSERT_TRUE(doc.SetValue("Software\\NV_VIZORDESK", "/Pics", REG_DWORD, Dword(4)));
    ASSERT_TRUE(doc.QueryValue(kKey, "/Pics", value));
    EXPECT_EQ(value.data, Dword(4));
    EXPECT_EQ(doc.Serialize().find("Software\\NV_VIZORDESK"), std::string::npos);
}

TEST(RegistryDocumentNames, LineBreaksCannotBeStoredInNamesOrKeys) {
    CRegistryDocument doc;
    EXPECT_FALSE(doc.SetValue(kKey, "a\nb", REG_DWORD, Dword(1)));
    EXPECT_EQ(doc.Serialize(), "");
    EXPECT_FALSE(CRegistryDocument::IsValidKeyPath("A\nB"));
    EXPECT_FALSE(CRegistryDocument::IsValidKeyPath("\\A"));
    EXPECT_FALSE(CRegistryDocument::IsValidKeyPath("A\\"));
    EXPECT_FALSE(CRegistryDocument::IsValidKeyPath("A\\\\B"));
    EXPECT_TRUE(CRegistryDocument::IsValidKeyPath("SOFTWARE\\NV_VizorDesk"));
    EXPECT_TRUE(CRegistryDocument::IsValidKeyPath(""));
}

TEST(RegistryDocumentValues, ValuesThatAreNotPlainTextKeepTheirBytes) {
    struct Case {
        DWORD dwType;
        std::string data;
        const char* line;
    } cases[] = {
        {REG_DWORD, Dword(0xDEADBEEF), "\"v\"=dword:deadbeef"},
        {REG_SZ, Sz("two\nlines"), "\"v\"=hex(1):74,77,6f,0a,6c,69,6e,65,73,00"},
        {REG_SZ, "no terminator", "\"v\"=hex(1):6e,6f"},
        {REG_DWORD, std::string("\x01\x02", 2), "\"v\"=hex(4):01,02"},
        {REG_BINARY, "", "\"v\"=hex:"},
    };
    for (const Case& c : cases) {
        CRegistryDocument doc;
        ASSERT_TRUE(doc.SetValue(kKey, "v", c.dwType, c.data));
        std::string text = doc.Serialize();
        EXPECT_NE(text.find(c.line), std::string::npos) << text;
        CRegistryDocument again;
        std::string why;
        ASSERT_TRUE(again.Parse(text, why)) << why;
        RegValueData value;
        ASSERT_TRUE(again.QueryValue(kKey, "v", value));
        EXPECT_EQ(value.dwType, c.dwType) << c.line;
        EXPECT_EQ(value.data, c.data) << c.line;
    }
}

TEST(RegistryDocumentValues, RewritingAValueReplacesItsLineInPlace) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n"
                          "\"/p\"=\"old text\"\n\"other\"=dword:00000001\n",
                          why));
    ASSERT_TRUE(doc.SetValue(kKey, "/p", REG_DWORD, Dword(5)));
    EXPECT_EQ(doc.Serialize(), "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n"
                               "\"/p\"=dword:00000005\n\"other\"=dword:00000001\n");
}

TEST(RegistryDocumentValues, TheLastOfRepeatedLinesWins) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse("REGEDIT4\n[HKEY_CURRENT_USER\\K]\n\"v\"=dword:00000001\n"
                          "[HKEY_CURRENT_USER\\k]\n\"v\"=dword:00000002\n",
                          why));
    RegValueData value;
    ASSERT_TRUE(doc.QueryValue("K", "v", value));
    EXPECT_EQ(value.data, Dword(2));
    ASSERT_TRUE(doc.SetValue("K", "v", REG_DWORD, Dword(3)));
    ASSERT_TRUE(doc.QueryValue("K", "v", value));
    EXPECT_EQ(value.data, Dword(3));
}

// Listing and removing: repeated names once with their last value, a key
// removed with its subkeys and nothing else, other software's lines kept.
TEST(RegistryDocumentValues, ValuesAreListedAndRemovedWithoutTouchingOthers) {
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse(kForeign + "[HKEY_CURRENT_USER\\Cams\\A]\n\"v\"=dword:00000001\n"
                                     "\"w\"=dword:00000002\n[HKEY_CURRENT_USER\\cams\\a]\n"
                                     "\"v\"=dword:00000003\n[HKEY_CURRENT_USER\\Cams\\A\\Sub]\n"
                                     "\"s\"=dword:00000004\n[HKEY_CURRENT_USER\\Cams\\AB]\n"
                                     "\"x\"=dword:00000005\n",
                          why))
        << why;
    const auto values = doc.Values("Cams\\A");
    ASSERT_EQ(values.size(), 2u);
    EXPECT_EQ(values[0].first, "v");
    EXPECT_EQ(values[0].second.data, Dword(3));
    EXPECT_EQ(values[1].first, "w");

    EXPECT_TRUE(doc.DeleteValue("Cams\\A", "v"));
    EXPECT_FALSE(doc.DeleteValue("Cams\\A", "v"));
    EXPECT_EQ(doc.Values("Cams\\A").size(), 1u);

    doc.DeleteKey("Cams\\A");
    EXPECT_FALSE(doc.KeyExists("Cams\\A"));
    EXPECT_FALSE(doc.KeyExists("Cams\\A\\Sub"));
    EXPECT_EQ(doc.Values("Cams\\AB").size(), 1u);
    EXPECT_EQ(doc.Serialize().find(kForeign), 0u);
}

TEST(RegistryDocumentParse, DamagedTextsAreRefused) {
    const std::string hkcu = "REGEDIT4\n[HKEY_CURRENT_USER\\K]\n";
    const std::string damaged[] = {
        "garbage\n",
        "REGEDIT5\n",
        std::string("REGEDIT4\n\0\0\0", 12),
        "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWA",
        hkcu + "\"/home/u/Pic",
        hkcu + "\"name\" dword:00000001\n",
        hkcu + "\"name\"=\"text without end\n",
        hkcu + "\"name\"=\"bad \\n escape\"\n",
        hkcu + "\"name\"=dword:0000",
        hkcu + "\"name\"=dword:0000000g\n",
        hkcu + "\"name\"=hex:01,zz\n",
        hkcu + "\"name\"=hex(q):01\n",
        hkcu + "\"name\"=hex:01,02,\\\n",
    };
    for (const std::string& text : damaged) {
        CRegistryDocument doc;
        std::string why;
        EXPECT_FALSE(doc.Parse(text, why)) << text;
        EXPECT_FALSE(why.empty());
        EXPECT_EQ(doc.Serialize(), "") << "a refused text leaves an empty document";
    }
}

TEST(RegistryDocumentParse, EmptyTextAndHeaderVariantsAreAccepted) {
    const std::string accepted[] = {
        "",
        "REGEDIT4",
        "REGEDIT4\r\n[HKEY_CURRENT_USER]\r\n@=dword:00000001\r\n",
        "\xEF\xBB\xBFREGEDIT4\n",
    };
    for (const std::string& text : accepted) {
        CRegistryDocument doc;
        std::string why;
        EXPECT_TRUE(doc.Parse(text, why)) << text << ": " << why;
    }
    CRegistryDocument doc;
    std::string why;
    ASSERT_TRUE(doc.Parse(accepted[2], why));
    RegValueData value;
    ASSERT_TRUE(doc.QueryValue("", "", value));
    EXPECT_EQ(value.data, Dword(1));
}

} // namespace
