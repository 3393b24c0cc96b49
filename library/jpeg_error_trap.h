#pragma once
// The error manager every libjpeg object of JpegFile uses: the library's own
// manager with its fatal-error exit replaced by a jump back into the call that
// owns the object, and its messages shown to the user.

#include "capture/jpeg_trap.h"

// Our own message codes, in the manager's add-on table so that they are
// formatted and shown like the library's.
enum JpegAddonMessage {
    JMSG_TOO_MANY_SCANS = 1000, // "more than %d scans"
    JMSG_TOO_MUCH_DATA = 1001,  // "more than %d MB"
};

// Fills the manager as InitJpegErrorJump does, then routes error_exit to
// OnJpegFatalError and output_message to a "JPEG Error" box. Returns the
// manager to store in the object's err field. The caller must setjmp(jump)
// before the first library call on the object.
jpeg_error_mgr* InitJpegErrorTrap(JpegErrorTrap& trap);

// libjpeg's error_exit: shows the library's text in a "JPEG Fatal Error" box
// and jumps back to the trap with the value 1. It never returns to the
// library, which cannot go on after a fatal error.
[[noreturn]] void OnJpegFatalError(j_common_ptr cinfo);
