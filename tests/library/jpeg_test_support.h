#pragma once
// Shared pieces of the JpegFile tests: a recorder that answers every message
// box and keeps it, and small picture helpers.

#include "platform/message_box.h"

#include <cstdint>
#include <string>
#include <vector>

// Records every message box shown while it lives and answers OK.
class MessageRecorder {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const std::vector<MessageBoxRequest>& Boxes() const { return m_boxes; }

private:
    std::vector<MessageBoxRequest> m_boxes;
};

// Top-down RGB, width x height, every pixel the same colour.
std::vector<unsigned char> SolidPicture(std::uint32_t width, std::uint32_t height,
                                        unsigned char red, unsigned char green, unsigned char blue);

// Writes a colour JPEG of the given size at quality 90, or fails the test.
void WriteTestJpeg(const std::string& path, std::uint32_t width, std::uint32_t height);

// A four-component (CMYK) JPEG of mid grey; false when it cannot be written.
bool WriteCmykJpeg(const std::string& path, std::uint32_t width, std::uint32_t height);

// A valid colour progressive JPEG of `scans` scans (2 to 190): the DC scan,
// then AC coefficients each in a scan of their own. False when it cannot be
// written.
bool WriteProgressiveJpeg(const std::string& path, std::uint32_t width, std::uint32_t height,
                          int scans);

// Names in a folder, sorted.
std::vector<std::string> FolderEntries(const std::string& folder);

// Open file descriptors of this process.
int OpenDescriptorCount();
