#include "library/jpeg_decode_bounds.h"

#include "library/jpeg_error_trap.h"

#include <cstdlib>

namespace {

JpegDecodeBounds& BoundsOf(j_common_ptr cinfo) {
    return *reinterpret_cast<JpegDecodeBounds*>(cinfo->progress);
}

[[noreturn]] void GiveUp(j_common_ptr cinfo, int code, int limit) {
    cinfo->err->msg_code = code;
    cinfo->err->msg_parm.i[0] = limit;
    (*cinfo->err->error_exit)(cinfo);
    // error_exit never returns (it jumps back to the read's trap).
    std::abort();
}

// Called between the units of input the library consumes. Each scan of a
// progressive file costs a pass over the picture's coefficients.
void OnDecodeProgress(j_common_ptr cinfo) {
    if (reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > MAX_DECODE_SCANS)
        GiveUp(cinfo, JMSG_TOO_MANY_SCANS, MAX_DECODE_SCANS);
}

// The source's refill, counted. Whatever follows the picture data (a missing
// end marker, then zeros) is read through in one go by the marker search of
// a progressive file, where no progress call comes.
boolean FillInputCounted(j_decompress_ptr cinfo) {
    JpegDecodeBounds& bounds = BoundsOf(reinterpret_cast<j_common_ptr>(cinfo));
    const boolean result = bounds.pfnFillInput(cinfo);
    bounds.nBytesIn += cinfo->src->bytes_in_buffer;
    if (bounds.nBytesIn > MAX_DECODE_BYTES)
        GiveUp(reinterpret_cast<j_common_ptr>(cinfo), JMSG_TOO_MUCH_DATA,
               static_cast<int>(MAX_DECODE_BYTES >> 20));
    return result;
}

} // namespace

void AttachDecodeBounds(jpeg_decompress_struct& cinfo, JpegDecodeBounds& bounds) {
    bounds.pub.progress_monitor = OnDecodeProgress;
    bounds.pfnFillInput = cinfo.src->fill_input_buffer;
    bounds.nBytesIn = 0;
    cinfo.progress = &bounds.pub;
    cinfo.src->fill_input_buffer = FillInputCounted;
}
