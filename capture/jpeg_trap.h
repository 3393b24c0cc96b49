#pragma once
// The error manager every libjpeg object of the program is given: libjpeg's
// own manager with its fatal-error exit replaced by a jump back into the call
// that owns the object. The photo files add their message boxes to it; the
// camera's JPEG frames are read with it as it is, silently.

// win_types.h declares TRUE and FALSE as constants; jmorecfg.h defines them as
// macros only where they are missing, so it has to be seen first.
#include "platform/win_types.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

// The library's manager must come first: libjpeg only knows the jpeg_error_mgr
// pointer, and JumpToJpegTrap gets back to the jump buffer from it.
struct JpegErrorTrap {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

// Fills the manager with the library's defaults, routes error_exit to
// JumpToJpegTrap and output_message to nothing (warnings are still counted in
// num_warnings). Returns the manager to store in the object's err field. The
// caller must setjmp(jump) before the first library call on the object.
jpeg_error_mgr* InitJpegErrorJump(JpegErrorTrap& trap);

// Jumps back to the trap of cinfo's manager with the value 1. Never returns to
// the library, which cannot go on after a fatal error.
[[noreturn]] void JumpToJpegTrap(j_common_ptr cinfo);
