#include "platform/atomic_file.h"

#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct Sync {
    bool bFolder;     // the descriptor was a folder
    bool bFinalThere; // the final name existed at that moment
    friend bool operator==(const Sync&, const Sync&) = default;
};
std::vector<Sync> g_syncs;
std::string g_strFinal;

int RecordSync(int fd) {
    struct stat st;
    fstat(fd, &st);
    g_syncs.push_back({S_ISDIR(st.st_mode), access(g_strFinal.c_str(), F_OK) == 0});
    return fsync(fd);
}

class AtomicFile : public ::testing::Test {
protected:
    AtomicFile() { CAtomicFile::s_pfnSync = &RecordSync; }
    ~AtomicFile() override { CAtomicFile::s_pfnSync = &::fsync; }

    CAtomicFile::PublishResult Write(const std::string& name, const std::string& text,
                                     CAtomicFile::PublishMode mode) {
        g_syncs.clear();
        g_strFinal = m_dir / name;
        CAtomicFile file(g_strFinal);
        EXPECT_TRUE(file.Create(".t-", ".tmp", 0644));
        std::fputs(text.c_str(), file.Stream());
        return file.Publish(mode);
    }
    std::size_t Entries() const {
        return std::distance(std::filesystem::directory_iterator(m_dir.Path()),
                             std::filesystem::directory_iterator());
    }

    TempDir m_dir;
};

} // namespace

TEST_F(AtomicFile, FileIsSyncedBeforeAndItsFolderAfterThePublish) {
    // The folder holds the new name: without its sync a power cut can lose
    // the published file.
    const std::vector<Sync> expected{{false, false}, {true, true}};
    for (const auto mode :
         {CAtomicFile::PublishMode::NoReplace, CAtomicFile::PublishMode::Replace}) {
        const std::string name = mode == CAtomicFile::PublishMode::Replace ? "b" : "a";
        EXPECT_EQ(Write(name, "one", mode), CAtomicFile::PublishResult::Published);
        EXPECT_EQ(g_syncs, expected);
    }
    EXPECT_EQ(Write("b", "two", CAtomicFile::PublishMode::Replace),
              CAtomicFile::PublishResult::Published);
    EXPECT_EQ(ReadFileBytes(m_dir / "b"), "two");

    // NoReplace leaves a file that is there as it is, and no temporary.
    EXPECT_EQ(Write("a", "three", CAtomicFile::PublishMode::NoReplace),
              CAtomicFile::PublishResult::NameTaken);
    EXPECT_EQ(ReadFileBytes(m_dir / "a"), "one");
    EXPECT_EQ(Entries(), 2u);
}

TEST(FolderOfPath, OneRuleForEveryForm) {
    EXPECT_EQ(FolderOf("/a/b/c.jpg"), "/a/b");
    EXPECT_EQ(FolderOf("/c.jpg"), "/");
    EXPECT_EQ(FolderOf("c.jpg"), ".");
}
