#include "library/jpeg_error_trap.h"

#include "platform/message_box.h"
#include "platform/trace.h"

namespace {

// Shows one library message. Runs inside a libjpeg callback, so nothing may
// leave it as an exception: the C frames between here and the caller cannot
// unwind.
void ShowLibraryMessage(j_common_ptr cinfo, const char* caption, UINT style,
                        MessageBoxOwner owner) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    try {
        ShowMessageBox({text, caption, style, owner});
    } catch (...) {
        Trace("JPEG message not shown: %s", text);
    }
}

// libjpeg's output_message: the library calls it for the first warning of a
// picture (its emit_message counts the later ones); decoding goes on after it.
void OnJpegMessage(j_common_ptr cinfo) {
    ShowLibraryMessage(cinfo, "JPEG Error", MB_OK, MessageBoxOwner::ActiveWindow);
}

const char* const kAddonMessages[] = {
    "Picture has more than %d scans; not read",
    "Picture data runs on past %d MB; not read",
    nullptr,
};

} // namespace

jpeg_error_mgr* InitJpegErrorTrap(JpegErrorTrap& trap) {
    InitJpegErrorJump(trap);
    trap.pub.addon_message_table = kAddonMessages;
    trap.pub.first_addon_message = JMSG_TOO_MANY_SCANS;
    trap.pub.last_addon_message = JMSG_TOO_MUCH_DATA;
    trap.pub.error_exit = OnJpegFatalError;
    trap.pub.output_message = OnJpegMessage;
    return &trap.pub;
}

void OnJpegFatalError(j_common_ptr cinfo) {
    // Every object of this frame is gone before the jump: longjmp must not
    // skip a destructor.
    ShowLibraryMessage(cinfo, "JPEG Fatal Error", MB_ICONERROR, MessageBoxOwner::None);
    JumpToJpegTrap(cinfo);
}
