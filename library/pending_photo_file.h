#pragma once
// A photo being written. The bytes go to a hidden temporary file in the folder
// of the final name, which the photo scan never lists (its name does not end in
// "jpg"); the file appears under its final name only once it is complete and on
// disk, and it never replaces a file that is already there. Until it has been
// published the temporary file is removed again when this object goes away, so
// a failed write leaves nothing behind.

#include <cstdio>
#include <string>

// The temporary names: the prefix, six letters or digits, the suffix. Hidden,
// and not ending in "jpg", so a folder scan never lists them.
inline constexpr char PENDING_PHOTO_PREFIX[] = ".vizor-";
inline constexpr char PENDING_PHOTO_SUFFIX[] = ".tmp";
inline constexpr int PENDING_PHOTO_RANDOM_CHARS = 6;

class CPendingPhotoFile {
public:
    enum class PublishResult {
        Published,
        NameTaken,   // a file of the final name exists; it was left as it was
        WriteFailed, // flushing, syncing, closing or linking the file failed
    };

    explicit CPendingPhotoFile(std::string finalPath);
    ~CPendingPhotoFile();
    CPendingPhotoFile(const CPendingPhotoFile&) = delete;
    CPendingPhotoFile& operator=(const CPendingPhotoFile&) = delete;

    // Creates the temporary file. False when the folder cannot take a new
    // file; errno tells why.
    bool Create();

    // The stream to write to, open between a successful Create and Publish.
    FILE* Stream() const { return m_pStream; }

    // Flushes the stream, syncs and closes the file, then gives it its final
    // name. On anything but Published the temporary file is removed.
    PublishResult Publish();

private:
    void Discard();

    std::string m_strFinalPath;
    std::string m_strTempPath; // empty while no temporary file exists
    FILE* m_pStream = nullptr;
};
