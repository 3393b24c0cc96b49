#include "platform/registry_file.h"

#include "platform/trace.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

constexpr const char* kKey = "SOFTWARE\\NV_VizorDesk";

std::string Dword(DWORD n) {
    return std::string{char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)};
}

LONG WriteDword(const CRegistryFile& file, const std::string& name, DWORD n) {
    return file.Update([&](CRegistryDocument& doc) {
        doc.SetValue(kKey, name, REG_DWORD, Dword(n));
        return ERROR_SUCCESS;
    });
}

pid_t SpawnWriter(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(REGISTRY_WRITER));
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (posix_spawn(&pid, REGISTRY_WRITER, nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    return pid;
}

int WaitExitCode(pid_t pid) {
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

class RegistryFileTest : public ::testing::Test {
protected:
    TempDir m_dir;
    std::string m_strFolder = m_dir / "config/nimbrel-vizor";
    std::string m_strPath = m_strFolder + "/registry.reg";
    CRegistryFile m_file{m_strPath};
};

TEST_F(RegistryFileTest, MissingFileReadsEmptyAndFirstWriteCreatesFolders) {
    CRegistryDocument doc;
    EXPECT_EQ(m_file.Load(doc), ERROR_SUCCESS);
    EXPECT_FALSE(doc.KeyExists(kKey));

    ASSERT_EQ(WriteDword(m_file, "/p", 7), ERROR_SUCCESS);
    EXPECT_EQ(ReadFileBytes(m_strPath), "REGEDIT4\n\n[HKEY_CURRENT_USER\\SOFTWARE]\n\n"
                                        "[HKEY_CURRENT_USER\\SOFTWARE\\NV_VizorDesk]\n"
                                        "\"/p\"=dword:00000007\n");
    struct stat st;
    ASSERT_EQ(stat(m_strPath.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u) << "the settings hold the user's paths";
}

TEST_F(RegistryFileTest, FailedEditWritesNothing) {
    ASSERT_EQ(WriteDword(m_file, "/p", 1), ERROR_SUCCESS);
    std::string before = ReadFileBytes(m_strPath);
    EXPECT_EQ(m_file.Update([](CRegistryDocument& doc) {
        doc.CreateKey("New");
        return ERROR_BAD_PATHNAME;
    }),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(ReadFileBytes(m_strPath), before);
}

TEST_F(RegistryFileTest, UnwritableFolderIsAnErrorAndChangesNothing) {
    // A file where the folder should be: fails even for root.
    WriteFileBytes(m_dir / "config", "not a folder");
    std::vector<std::string> traces;
    SetTraceHook([&](const std::string& text) { traces.push_back(text); });
    EXPECT_EQ(WriteDword(m_file, "/p", 1), ERROR_PATH_NOT_FOUND);
    SetTraceHook({});
    EXPECT_EQ(ReadFileBytes(m_dir / "config"), "not a folder");
    ASSERT_FALSE(traces.empty());
    EXPECT_NE(traces.back().find("Not a directory"), std::string::npos) << traces.back();
}

TEST_F(RegistryFileTest, DamagedFileIsSetAsideNeverLost) {
    ASSERT_EQ(WriteDword(m_file, "/p", 1), ERROR_SUCCESS);
    const std::string first = "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\NV_Vizo";
    const std::string second = std::string("\0\0garbage", 9);
    WriteFileBytes(m_strPath, first);

    CRegistryDocument doc;
    EXPECT_EQ(m_file.Load(doc), ERROR_REGISTRY_CORRUPT);
    EXPECT_EQ(ReadFileBytes(m_strPath), first) << "a read never moves or changes the file";

    std::vector<std::string> traces;
    SetTraceHook([&](const std::string& text) { traces.push_back(text); });
    ASSERT_EQ(WriteDword(m_file, "/p", 2), ERROR_SUCCESS);
    EXPECT_EQ(ReadFileBytes(m_strPath + ".bad"), first);
    ASSERT_EQ(m_file.Load(doc), ERROR_SUCCESS);
    RegValueData value;
    ASSERT_TRUE(doc.QueryValue(kKey, "/p", value));
    EXPECT_EQ(value.data, Dword(2));

    // A second damaged file takes the next free name; the first stays.
    WriteFileBytes(m_strPath, second);
    ASSERT_EQ(WriteDword(m_file, "/p", 3), ERROR_SUCCESS);
    SetTraceHook({});
    EXPECT_EQ(ReadFileBytes(m_strPath + ".bad"), first);
    EXPECT_EQ(ReadFileBytes(m_strPath + ".bad.1"), second);
    bool bSaid = false;
    for (const std::string& trace : traces)
        bSaid |= trace.find("kept as " + m_strPath + ".bad.1") != std::string::npos;
    EXPECT_TRUE(bSaid);
}

TEST_F(RegistryFileTest, OnlyARegularFileOfSaneSizeIsRead) {
    // A FIFO would block the open, a link to /dev/zero would be read without
    // end, a huge file would fill the memory: all count as damaged.
    ASSERT_EQ(WriteDword(m_file, "/p", 1), ERROR_SUCCESS);
    const std::string huge = m_strFolder + "/huge";
    WriteFileBytes(huge, "REGEDIT4\n");
    ASSERT_EQ(truncate(huge.c_str(), REGISTRY_FILE_LIMIT + 1), 0);
    using Make = std::function<void(const std::string&)>;
    const std::pair<const char*, Make> cases[] = {
        {"fifo", [](const std::string& path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"device",
         [](const std::string& path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }},
        {"huge",
         [&](const std::string& path) { ASSERT_EQ(rename(huge.c_str(), path.c_str()), 0); }},
    };
    for (const auto& [what, make] : cases) {
        unlink(m_strPath.c_str());
        unlink((m_strPath + ".bad").c_str());
        make(m_strPath);
        struct stat before;
        ASSERT_EQ(lstat(m_strPath.c_str(), &before), 0);

        CRegistryDocument doc;
        EXPECT_EQ(m_file.Load(doc), ERROR_REGISTRY_CORRUPT) << what;
        ASSERT_EQ(WriteDword(m_file, "/p", 7), ERROR_SUCCESS) << what;
        ASSERT_EQ(m_file.Load(doc), ERROR_SUCCESS) << what;
        RegValueData value;
        ASSERT_TRUE(doc.QueryValue(kKey, "/p", value));
        EXPECT_EQ(value.data, Dword(7));
        // The odd entry is kept as it was, under the damaged file's name.
        struct stat kept;
        ASSERT_EQ(lstat((m_strPath + ".bad").c_str(), &kept), 0) << what;
        EXPECT_EQ(kept.st_ino, before.st_ino) << what;
    }
}

TEST_F(RegistryFileTest, TemporaryLeftByADeadWriterIsRemoved) {
    ASSERT_EQ(WriteDword(m_file, "/p", 1), ERROR_SUCCESS);
    WriteFileBytes(m_strPath + ".tmp-abc123", "REGEDIT4\n[HKEY_CURRENT_USER\\Half");
    ASSERT_EQ(WriteDword(m_file, "/p", 2), ERROR_SUCCESS);
    EXPECT_EQ(FolderEntries(m_strFolder),
              (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileTest, TwoProcessesWritingAtOnceBothEndRight) {
    ASSERT_EQ(WriteDword(m_file, "start", 0), ERROR_SUCCESS);
    pid_t a = SpawnWriter({m_strPath, "/home/a/Pictures", "500"});
    pid_t b = SpawnWriter({m_strPath, "/home/b/Bilder", "500"});
    ASSERT_GT(a, 0);
    ASSERT_GT(b, 0);

    // Meanwhile this process reads: every version it sees must parse.
    int nReads = 0;
    int nBad = 0;
    int status = 0;
    while (waitpid(a, &status, WNOHANG) == 0) {
        CRegistryDocument doc;
        nBad += m_file.Load(doc) != ERROR_SUCCESS;
        ++nReads;
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(WaitExitCode(b), 0);
    EXPECT_EQ(nBad, 0) << "of " << nReads << " reads";

    CRegistryDocument doc;
    ASSERT_EQ(m_file.Load(doc), ERROR_SUCCESS);
    RegValueData value;
    ASSERT_TRUE(doc.QueryValue(kKey, "/home/a/Pictures", value));
    EXPECT_EQ(value.data, Dword(500));
    ASSERT_TRUE(doc.QueryValue(kKey, "/home/b/Bilder", value));
    EXPECT_EQ(value.data, Dword(500));
    ASSERT_TRUE(doc.QueryValue(kKey, "start", value));
}

// True while some file of the store is being filled: one of them is larger
// than nothing and smaller than a whole store.
bool WriteInProgress(const std::string& folder, size_t wholeSize) {
    for (const std::string& name : FolderEntries(folder)) {
        struct stat st;
        if (name.find(".lock") == std::string::npos &&
            stat((folder + "/" + name).c_str(), &st) == 0 && st.st_size > 0 &&
            static_cast<size_t>(st.st_size) < wholeSize)
            return true;
    }
    return false;
}

TEST_F(RegistryFileTest, WriterKilledMidWriteLeavesAWholeFile) {
    constexpr size_t kPadding = 4 << 20;
    int nCaughtWriting = 0;
    for (int round = 0; round < 12; ++round) {
        pid_t pid = SpawnWriter({m_strPath, "seq", "0", std::to_string(kPadding)});
        ASSERT_GT(pid, 0);
        // Let it write at least once before the first kill.
        for (int waited = 0; round == 0 && !FileExists(m_strPath) && waited < 10000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        // Then strike while it is filling a file, or after two seconds anyway.
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
        bool bWriting = false;
        while (!bWriting && std::chrono::steady_clock::now() < deadline)
            bWriting = WriteInProgress(m_strFolder, kPadding);
        nCaughtWriting += bWriting;
        kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped on its own";

        CRegistryDocument doc;
        ASSERT_EQ(m_file.Load(doc), ERROR_SUCCESS) << "round " << round;
        RegValueData value;
        ASSERT_TRUE(doc.QueryValue(kKey, "padding", value));
        EXPECT_EQ(value.data.size(), kPadding + 1);
        ASSERT_TRUE(doc.QueryValue(kKey, "seq", value));
        EXPECT_EQ(value.dwType, REG_DWORD);
    }
    EXPECT_GT(nCaughtWriting, 0) << "no kill landed in the middle of a write";
    // Whatever temporary a killed writer left is gone after the next write.
    ASSERT_EQ(WriteDword(m_file, "after", 1), ERROR_SUCCESS);
    for (const std::string& name : FolderEntries(m_strFolder))
        EXPECT_EQ(name.find(".tmp-"), std::string::npos) << name;
}

} // namespace
