#include "platform/file_opener.h"

#include <gtest/gtest.h>

TEST(FileOpener, UrlNamesTheFileByItsBytes) {
    const struct {
        std::string path;
        QByteArray url;
    } cases[] = {
        {"/home/u/Pictures/Picture 0001.jpg", "file:///home/u/Pictures/Picture%200001.jpg"},
        // Not UTF-8: the bytes themselves, never replacement characters.
        {"/p/Picture \xff\xfe.jpg", "file:///p/Picture%20%FF%FE.jpg"},
        {"/p/\xc3\xa9t\xc3\xa9/100%#?.jpg", "file:///p/%C3%A9t%C3%A9/100%25%23%3F.jpg"},
    };
    for (const auto& c : cases) {
        const QUrl url = LocalFileUrl(c.path);
        EXPECT_TRUE(url.isValid()) << c.path;
        EXPECT_TRUE(url.isLocalFile()) << c.path;
        EXPECT_EQ(url.toEncoded(), c.url) << c.path;
    }
}
