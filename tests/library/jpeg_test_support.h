#pragma once
// Shared pieces of the JpegFile tests: small picture helpers.

#include <cstdint>
#include <string>
#include <vector>

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

// Open file descriptors of this process.
int OpenDescriptorCount();
