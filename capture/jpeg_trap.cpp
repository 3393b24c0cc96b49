#include "capture/jpeg_trap.h"

namespace {
void IgnoreMessage(j_common_ptr) {}
} // namespace

jpeg_error_mgr* InitJpegErrorJump(JpegErrorTrap& trap) {
    jpeg_std_error(&trap.pub);
    trap.pub.error_exit = JumpToJpegTrap;
    trap.pub.output_message = IgnoreMessage;
    return &trap.pub;
}

void JumpToJpegTrap(j_common_ptr cinfo) {
    // Every object of the trapping frame is plain C data: longjmp skips no
    // destructor.
    auto* trap = reinterpret_cast<JpegErrorTrap*>(cinfo->err);
    std::longjmp(trap->jump, 1);
}
