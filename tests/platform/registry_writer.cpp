// A second process for the settings store tests: writes one value of the store
// over and over, as another running copy of the program would.
//
//   registry_writer FILE NAME COUNT       writes NAME = 1..COUNT, and after each
//                                         write reads the file back: it must
//                                         parse and hold the number just written.
//   registry_writer FILE NAME 0 PADDING   writes NAME = 1, 2, ... until killed,
//                                         with a text value of PADDING bytes
//                                         beside it so each write takes a while.

#include "platform/registry_file.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr const char* kKey = "SOFTWARE\\NV_VizorDesk";

std::string Dword(DWORD n) {
    return std::string{char(n & 0xFF), char(n >> 8 & 0xFF), char(n >> 16 & 0xFF), char(n >> 24)};
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: registry_writer FILE NAME COUNT [PADDING]\n");
        return 2;
    }
    CRegistryFile file(argv[1]);
    std::string name = argv[2];
    long count = std::atol(argv[3]);
    std::string padding(argc > 4 ? static_cast<size_t>(std::atol(argv[4])) : 0, 'x');

    for (DWORD n = 1; count == 0 || n <= static_cast<DWORD>(count); ++n) {
        LONG result = file.Update([&](CRegistryDocument& doc) {
            if (!padding.empty())
                doc.SetValue(kKey, "padding", REG_SZ, padding + '\0');
            doc.SetValue(kKey, name, REG_DWORD, Dword(n));
            return ERROR_SUCCESS;
        });
        if (result != ERROR_SUCCESS) {
            std::fprintf(stderr, "write %u failed: %d\n", n, static_cast<int>(result));
            return 1;
        }
        CRegistryDocument doc;
        RegValueData value;
        if (file.Load(doc) != ERROR_SUCCESS || !doc.QueryValue(kKey, name, value) ||
            value.data != Dword(n)) {
            std::fprintf(stderr, "read after write %u did not give it back\n", n);
            return 1;
        }
    }
    return 0;
}
