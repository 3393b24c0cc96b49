#include "library/stale_photo_files.h"
#include "platform/atomic_file.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include <ctime>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Dates the entry back by the given seconds.
void Age(const std::string& path, int seconds) {
    const timespec when[2] = {{std::time(nullptr) - seconds, 0}, {std::time(nullptr) - seconds, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), when, AT_SYMLINK_NOFOLLOW), 0) << path;
}

} // namespace

TEST(PendingPhotoTempName, AcceptsOnlyTheExactForm) {
    EXPECT_TRUE(IsPendingPhotoTempName(".vizor-ab12CD.tmp"));
    EXPECT_TRUE(IsPendingPhotoTempName(".vizor-000000.tmp"));
    for (const char* name :
         {".vizor-ab12C.tmp", ".vizor-ab12CDE.tmp", ".vizor-ab_2CD.tmp", ".vizor-ab 2CD.tmp",
          ".vizor-ab12CD.tmp.jpg", ".vizor-ab12CD.tm", "vizor-ab12CDx.tmp", ".Vizor-ab12CD.tmp",
          ".vizor-ab12CD.TMP", ".vizor-\xc3\xa9\xc3\xa9\xc3\xa9.tmp", "Picture 0000.jpg", ""})
        EXPECT_FALSE(IsPendingPhotoTempName(name)) << name;
}

TEST(StalePhotoTemporaries, RemovesOnlyTemporaryRegularFiles) {
    TempDir folder;
    WriteFileBytes(folder / ".vizor-ab12CD.tmp", "partial jpeg");
    WriteFileBytes(folder / ".vizor-ZZZZZZ.tmp", "");
    WriteFileBytes(folder / "Picture 0000.jpg", "photo");
    WriteFileBytes(folder / ".vizor-ab12C.tmp", "not ours");
    WriteFileBytes(folder / "notes.tmp", "not ours");
    for (const std::string name : {".vizor-ab12CD.tmp", ".vizor-ZZZZZZ.tmp", "Picture 0000.jpg",
                                   ".vizor-ab12C.tmp", "notes.tmp"})
        Age(folder / name, 3600);
    // Another running writer's file, still young, is left to it.
    WriteFileBytes(folder / ".vizor-young1.tmp", "being written");
    Age(folder / ".vizor-young1.tmp", STALE_PHOTO_AGE_SECONDS - 5);

    EXPECT_EQ(RemoveStalePhotoTemporaries(folder.Path()), 2);
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".vizor-ab12C.tmp", ".vizor-young1.tmp", "Picture 0000.jpg",
                                        "notes.tmp"}));
    EXPECT_EQ(ReadFileBytes(folder / "Picture 0000.jpg"), "photo");
    // Nothing left: a second pass removes nothing.
    EXPECT_EQ(RemoveStalePhotoTemporaries(folder.Path()), 0);
}

TEST(StalePhotoTemporaries, LeavesLinksFoldersAndSubfoldersAlone) {
    TempDir folder;
    TempDir elsewhere;
    WriteFileBytes(elsewhere / "target.jpg", "someone else's file");
    // A link of the temporary form, to a file: the link and its target stay.
    ASSERT_EQ(symlink((elsewhere / "target.jpg").c_str(), (folder / ".vizor-LINK01.tmp").c_str()),
              0);
    // A dangling one too.
    ASSERT_EQ(symlink((elsewhere / "gone").c_str(), (folder / ".vizor-LINK02.tmp").c_str()), 0);
    // A folder of that name, and a temporary inside a subfolder: only the
    // photo folder's own entries are the writer's.
    ASSERT_EQ(mkdir((folder / ".vizor-DIR001.tmp").c_str(), 0700), 0);
    WriteFileBytes(folder / ".vizor-DIR001.tmp/.vizor-INSIDE.tmp", "x");
    ASSERT_EQ(mkdir((folder / "2025").c_str(), 0700), 0);
    WriteFileBytes(folder / "2025/.vizor-NESTED.tmp", "x");

    EXPECT_EQ(RemoveStalePhotoTemporaries(folder.Path()), 0);
    EXPECT_EQ(FolderEntries(folder.Path()),
              (std::vector<std::string>{".vizor-DIR001.tmp", ".vizor-LINK01.tmp",
                                        ".vizor-LINK02.tmp", "2025"}));
    EXPECT_TRUE(FileExists(folder / ".vizor-DIR001.tmp/.vizor-INSIDE.tmp"));
    EXPECT_TRUE(FileExists(folder / "2025/.vizor-NESTED.tmp"));
    EXPECT_EQ(ReadFileBytes(elsewhere / "target.jpg"), "someone else's file");
}

TEST(StalePhotoTemporaries, UnreadableFolderIsReported) {
    TempDir folder;
    EXPECT_EQ(RemoveStalePhotoTemporaries(folder / "missing"), -1);
    WriteFileBytes(folder / "plain", "a file, not a folder");
    EXPECT_EQ(RemoveStalePhotoTemporaries(folder / "plain"), -1);
}

// The case the clean-up exists for: a writer that dies after creating its
// temporary and before publishing it. The child ends without running any
// destructor, as a killed process would.
TEST(StalePhotoTemporaries, RemovesWhatAKilledWriterLeft) {
    TempDir folder;
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        auto* pending = new CAtomicFile(folder / "Picture 0003.jpg");
        if (!pending->Create(PENDING_PHOTO_PREFIX, PENDING_PHOTO_SUFFIX, 0666) ||
            std::fputs("half a photo", pending->Stream()) < 0 ||
            std::fflush(pending->Stream()) != 0)
            _exit(1);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    const std::vector<std::string> left = FolderEntries(folder.Path());
    ASSERT_EQ(left.size(), 1u);
    EXPECT_TRUE(IsPendingPhotoTempName(left[0].c_str())) << left[0];
    Age(folder / left[0], STALE_PHOTO_AGE_SECONDS + 1);

    EXPECT_EQ(RemoveStalePhotoTemporaries(folder.Path()), 1);
    EXPECT_TRUE(FolderEntries(folder.Path()).empty());
    // The number was never published; a new write of it succeeds.
    CAtomicFile again(folder / "Picture 0003.jpg");
    ASSERT_TRUE(again.Create(PENDING_PHOTO_PREFIX, PENDING_PHOTO_SUFFIX, 0666));
    std::fputs("whole photo", again.Stream());
    EXPECT_EQ(again.Publish(CAtomicFile::PublishMode::NoReplace),
              CAtomicFile::PublishResult::Published);
    EXPECT_EQ(FolderEntries(folder.Path()), (std::vector<std::string>{"Picture 0003.jpg"}));
}
