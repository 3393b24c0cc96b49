#include "app/registry_access.h"

#include "platform/trace.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr const char* kCounterKey = "SOFTWARE\\NV_VizorDesk";
constexpr const char* kFlagsKey = "SOFTWARE\\OrvelCam";
// A pictures folder the way the desktop reports it: UTF-8, spaces, no trailing /.
const std::string kPictures = "/home/jos\xC3\xA9/Bilder und Fotos";

// Each test has its own configuration folder and records the traces.
class RegistryAccessTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        m_bHadConfig = old != nullptr;
        m_strOldConfig = old ? old : "";
        setenv("XDG_CONFIG_HOME", m_dir.Path().c_str(), 1);
        SetTraceHook([this](const std::string& text) { m_traces.push_back(text); });
    }
    void TearDown() override {
        SetTraceHook({});
        if (m_bHadConfig)
            setenv("XDG_CONFIG_HOME", m_strOldConfig.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }

    std::string StorePath() const { return m_dir / "nimbrel-vizor/registry.reg"; }

    void WriteDword(const char* key, const std::string& name, DWORD n) {
        m_reg.WriteValue(HKEY_CURRENT_USER, key, name, REG_DWORD, &n, sizeof n);
    }
    void WriteText(const char* key, const std::string& name, const std::string& text) {
        m_reg.WriteValue(HKEY_CURRENT_USER, key, name, REG_SZ, text.c_str(),
                         static_cast<DWORD>(text.size() + 1));
    }

    // Reads with the 260-byte buffer every caller of the program uses; the
    // outputs start out as markers so that untouched ones show.
    struct Read {
        BOOL bResult;
        int kind;
        DWORD number;
        std::string text;
    };
    Read ReadWith(const char* key, const std::string& name, DWORD textSize = 260) {
        Read r{FALSE, -7, 0xA5A5A5A5u, {}};
        std::vector<char> buffer(300, '#');
        r.bResult = m_reg.ReadValue(HKEY_CURRENT_USER, key, name, r.kind, buffer.data(), textSize,
                                    r.number);
        r.text.assign(buffer.data(), strnlen(buffer.data(), buffer.size()));
        return r;
    }

    TempDir m_dir;
    CRegistryAccess m_reg;
    std::vector<std::string> m_traces;

private:
    bool m_bHadConfig = false;
    std::string m_strOldConfig;
};

TEST_F(RegistryAccessTest, FirstStartCreatesTheCounterNamedAfterThePicturesFolder) {
    EXPECT_FALSE(ReadWith(kCounterKey, kPictures).bResult);
    EXPECT_FALSE(FileExists(StorePath())) << "a read never creates the store";

    WriteDword(kCounterKey, kPictures, 0);
    Read r = ReadWith(kCounterKey, kPictures);
    EXPECT_TRUE(r.bResult);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.number, 0u);
    EXPECT_EQ(r.text, std::string(300, '#')) << "text buffer untouched";

    WriteDword(kCounterKey, kPictures, 10);
    EXPECT_EQ(ReadWith(kCounterKey, kPictures).number, 10u);
    std::string file = ReadFileBytes(StorePath());
    EXPECT_NE(file.find("[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n"
                        "\"" +
                        kPictures + "\"=dword:0000000a\n"),
              std::string::npos)
        << file;
}

TEST_F(RegistryAccessTest, TextUpTo260BytesReadsAsTextAndLeavesTheNumber) {
    const std::string fits(259, 't'); // 260 bytes with its terminator
    WriteText(kCounterKey, kPictures, fits);
    Read r = ReadWith(kCounterKey, kPictures);
    EXPECT_TRUE(r.bResult);
    EXPECT_EQ(r.kind, 1);
    EXPECT_EQ(r.number, 0xA5A5A5A5u);
    EXPECT_EQ(r.text, fits);

    // The next counter write turns it into a number.
    WriteDword(kCounterKey, kPictures, 3);
    r = ReadWith(kCounterKey, kPictures);
    EXPECT_EQ(r.kind, 0);
    EXPECT_EQ(r.number, 3u);
}

TEST_F(RegistryAccessTest, TextTooLongForTheBufferIsNotRead) {
    struct Case {
        size_t length;
        DWORD textSize;
    } cases[] = {
        {260, 260}, // 261 bytes with the terminator: larger than the query buffer
        {260, 300}, // ... even when the caller's buffer would hold it
        {20, 20},   // fits the query buffer, not the caller's
    };
    for (const Case& c : cases) {
        WriteText(kCounterKey, "v", std::string(c.length, 's'));
        Read r = ReadWith(kCounterKey, "v", c.textSize);
        EXPECT_FALSE(r.bResult) << c.length << " in " << c.textSize;
        EXPECT_EQ(r.kind, -7);
        EXPECT_EQ(r.number, 0xA5A5A5A5u);
        EXPECT_EQ(r.text, std::string(300, '#'));
    }
}

TEST_F(RegistryAccessTest, OtherTypesAndMalformedNumbersAreNotRead) {
    const char blob[] = "\x01\x02\x03";
    m_reg.WriteValue(HKEY_CURRENT_USER, kCounterKey, "binary", REG_BINARY, blob, 3);
    m_reg.WriteValue(HKEY_CURRENT_USER, kCounterKey, "short", REG_DWORD, blob, 2);
    WriteFileBytes(StorePath(),
                   ReadFileBytes(StorePath()) + "\"multi\"=hex(7):61,00,00\n\"gone\"=-\n");
    for (const char* name : {"binary", "short", "multi", "gone"}) {
        Read r = ReadWith(kCounterKey, name);
        EXPECT_FALSE(r.bResult) << name;
        EXPECT_EQ(r.number, 0xA5A5A5A5u) << name;
    }
}

TEST_F(RegistryAccessTest, MissingKeyValueOrForeignRootReadsFalse) {
    WriteDword(kFlagsKey, "WantDel", 0);
    EXPECT_FALSE(ReadWith(kFlagsKey, "ApmSuspend").bResult);
    EXPECT_FALSE(ReadWith("SOFTWARE\\Nobody", "WantDel").bResult);
    int kind = -7;
    DWORD number = 9;
    char text[260];
    EXPECT_FALSE(m_reg.ReadValue(0x80000002u, kFlagsKey, "WantDel", kind, text, 260, number));
    EXPECT_FALSE(m_reg.ReadValue(HKEY_CURRENT_USER, nullptr, "WantDel", kind, text, 260, number));
    EXPECT_EQ(number, 9u);
}

TEST_F(RegistryAccessTest, WriteCreatesMissingKeysAndKeepsOtherSoftwaresLines) {
    const std::string foreign = "REGEDIT4\n"
                                "; shared with the camera's tray tool\n"
                                "\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvelCam]\n"
                                "\"Driver\"=\"C:\\\\x\"\n"
                                "\n"
                                "[HKEY_CURRENT_USER\\SOFTWARE\\OrvelCam]\n"
                                "\"ApmSuspend\"=dword:00000001\n"
                                "\"Icon\"=hex:00,ff\n";
    std::filesystem::create_directories(m_dir / "nimbrel-vizor");
    WriteFileBytes(StorePath(), foreign);
    EXPECT_EQ(ReadWith(kFlagsKey, "ApmSuspend").number, 1u);

    WriteDword(kFlagsKey, "WantDel", 0);
    WriteDword(kFlagsKey, "WantDel2", 0);
    WriteDword(kFlagsKey, "ApmSuspend", 0);
    WriteDword("SOFTWARE\\NV_VizorDesk\\Deep\\Er", "x", 1);

    EXPECT_EQ(ReadWith(kFlagsKey, "WantDel").number, 0u);
    EXPECT_EQ(ReadWith(kFlagsKey, "WantDel2").number, 0u);
    EXPECT_EQ(ReadWith(kFlagsKey, "ApmSuspend").number, 0u);
    EXPECT_TRUE(ReadWith("SOFTWARE\\NV_VizorDesk\\Deep\\Er", "x").bResult);
    std::string file = ReadFileBytes(StorePath());
    for (const char* line :
         {"; shared with the camera's tray tool\n",
          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\OrvelCam]\n\"Driver\"=\"C:\\\\x\"\n",
          "\"Icon\"=hex:00,ff\n", "[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n",
          "[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk\\Deep]\n"})
        EXPECT_NE(file.find(line), std::string::npos) << line << "\nin:\n" << file;
}

TEST_F(RegistryAccessTest, StoreThatCannotBeWrittenOnlyTraces) {
    // A plain file where the program's folder should be.
    WriteFileBytes(m_dir / "nimbrel-vizor", "in the way");
    WriteDword(kCounterKey, kPictures, 4);
    ASSERT_FALSE(m_traces.empty());
    EXPECT_EQ(m_traces.back(), "error on write registry, bret:3");
    EXPECT_EQ(ReadFileBytes(m_dir / "nimbrel-vizor"), "in the way");
    EXPECT_FALSE(ReadWith(kCounterKey, kPictures).bResult);
}

TEST_F(RegistryAccessTest, BadArgumentsHaveDefinedOutcomes) {
    DWORD zero = 0;
    m_reg.WriteValue(0x80000002u, kFlagsKey, "WantDel", REG_DWORD, &zero, 4);
    EXPECT_EQ(m_traces.back(), "error on write registry, bret:6");
    m_reg.WriteValue(HKEY_CURRENT_USER, "\\SOFTWARE", "WantDel", REG_DWORD, &zero, 4);
    EXPECT_EQ(m_traces.back(), "error on write registry, bret:161");
    m_reg.WriteValue(HKEY_CURRENT_USER, nullptr, "WantDel", REG_DWORD, &zero, 4);
    EXPECT_EQ(m_traces.back(), "error on write registry, bret:161");
    EXPECT_FALSE(FileExists(StorePath()));

    // No data: the key is made, the value is not.
    m_reg.WriteValue(HKEY_CURRENT_USER, kFlagsKey, "WantDel", REG_DWORD, nullptr, 4);
    EXPECT_FALSE(ReadWith(kFlagsKey, "WantDel").bResult);
    EXPECT_NE(ReadFileBytes(StorePath()).find("[HKEY_CURRENT_USER\\SOFTWARE\\OrvelCam]"),
              std::string::npos);
    // A name with a line break cannot be a line of the store.
    WriteDword(kCounterKey, "/home/a\nb", 1);
    EXPECT_FALSE(ReadWith(kCounterKey, "/home/a\nb").bResult);

    // A text read with no buffer is refused rather than written anywhere.
    WriteText(kFlagsKey, "Name", "cam");
    int kind = -7;
    DWORD number = 9;
    EXPECT_FALSE(m_reg.ReadValue(HKEY_CURRENT_USER, kFlagsKey, "Name", kind, nullptr, 260, number));
    EXPECT_EQ(kind, -7);
}

} // namespace
