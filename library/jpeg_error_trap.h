#pragma once
// The error manager every libjpeg object of JpegFile uses: the library's own
// manager with its fatal-error exit replaced by a jump back into the call that
// owns the object, and its messages shown to the user.

// win_types.h declares TRUE and FALSE as constants; jmorecfg.h defines them as
// macros only where they are missing, so it has to be seen first.
#include "platform/win_types.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// The library's manager must come first: libjpeg only knows the jpeg_error_mgr
// pointer, and OnJpegFatalError gets back to the jump buffer from it.
struct JpegErrorTrap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Our own message codes, in the manager's add-on table so that they are
// formatted and shown like the library's.
enum JpegAddonMessage {
    JMSG_TOO_MANY_SCANS = 1000, // "more than %d scans"
    JMSG_TOO_MUCH_DATA = 1001,  // "more than %d MB"
};

// Fills the manager with the library's defaults, then routes error_exit to
// OnJpegFatalError and output_message to a "JPEG Error" box. Returns the
// manager to store in the object's err field. The caller must setjmp(jump)
// before the first library call on the object.
jpeg_error_mgr* InitJpegErrorTrap(JpegErrorTrap& trap);

// libjpeg's error_exit: shows the library's text in a "JPEG Fatal Error" box
// and jumps back to the trap with the value 1. It never returns to the
// library, which cannot go on after a fatal error.
[[noreturn]] void OnJpegFatalError(j_common_ptr cinfo);
