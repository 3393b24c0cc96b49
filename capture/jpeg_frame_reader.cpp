#include "capture/jpeg_frame_reader.h"

#include "platform/trace.h"

#include <cstring>

struct CJpegFrameReader::Request {
    bool bScaled;
    J_COLOR_SPACE space;
    std::uint8_t* pTarget; // scaled: the caller's; full: m_pixels
    int nWidth;            // scaled: the target's size
    int nHeight;
    int nStride;
};

CJpegFrameReader::CJpegFrameReader() {
    m_cinfo.err = InitJpegErrorJump(m_trap);
    // Creating only allocates; a failure here jumps like any other.
    if (setjmp(m_trap.jump)) {
        m_cinfo.mem = nullptr;
        return;
    }
    jpeg_create_decompress(&m_cinfo);
}

CJpegFrameReader::~CJpegFrameReader() {
    if (m_cinfo.mem)
        jpeg_destroy_decompress(&m_cinfo);
}

bool CJpegFrameReader::DecodeScaled(const std::uint8_t* data, std::size_t size, J_COLOR_SPACE space,
                                    std::uint8_t* target, int width, int height, int stride) {
    if (!target || width <= 0 || height <= 0 || stride < width * 4)
        return false;
    return Read(data, size, Request{true, space, target, width, height, stride});
}

const std::uint8_t* CJpegFrameReader::DecodeBottomUpBgr(const std::uint8_t* data, std::size_t size,
                                                        int& width, int& height) {
    width = 0;
    height = 0;
    if (!Read(data, size, Request{false, JCS_EXT_BGR, nullptr, 0, 0, 0}))
        return nullptr;
    width = static_cast<int>(m_cinfo.output_width);
    height = static_cast<int>(m_cinfo.output_height);
    return m_pixels.data();
}

bool CJpegFrameReader::Read(const std::uint8_t* data, std::size_t size, const Request& request) {
    if (!m_cinfo.mem || !data || size == 0)
        return false;
    if (setjmp(m_trap.jump)) {
        // The object is reset for the next frame.
        jpeg_abort_decompress(&m_cinfo);
        return false;
    }
    m_trap.pub.num_warnings = 0;
    jpeg_mem_src(&m_cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&m_cinfo, TRUE);
    if (!AcceptHeader()) {
        jpeg_abort_decompress(&m_cinfo);
        return false;
    }
    m_cinfo.out_color_space = request.space;
    if (request.bScaled) {
        // The preview: the fast integer transform and the merged upsampling
        // that converts to RGB in the same step, as the preview is drawn by
        // nearest pixel anyway. The photo keeps the library's accurate ones.
        m_cinfo.dct_method = JDCT_IFAST;
        m_cinfo.do_fancy_upsampling = FALSE;
        ChooseScale(request);
    } else {
        m_cinfo.dct_method = JDCT_ISLOW;
        m_cinfo.do_fancy_upsampling = TRUE;
        m_cinfo.scale_num = 1;
        m_cinfo.scale_denom = 1;
    }
    jpeg_start_decompress(&m_cinfo);
    PrepareRows(request);
    const bool bDirect = m_scratch.empty();
    while (m_cinfo.output_scanline < m_cinfo.output_height) {
        if (bDirect) {
            jpeg_read_scanlines(&m_cinfo, m_rows.data() + m_cinfo.output_scanline,
                                m_cinfo.output_height - m_cinfo.output_scanline);
            continue;
        }
        const JDIMENSION read =
            jpeg_read_scanlines(&m_cinfo, m_rows.data(), static_cast<JDIMENSION>(m_rows.size()));
        for (JDIMENSION i = 0; i < read; ++i)
            EmitScaledRow(request, m_rows[i]);
    }
    // A frame cut short or with damaged data makes the library warn and go on
    // with grey: it is not a whole frame.
    const bool bWhole = m_trap.pub.num_warnings == 0;
    if (!bWhole) {
        char text[JMSG_LENGTH_MAX];
        (*m_trap.pub.format_message)(reinterpret_cast<j_common_ptr>(&m_cinfo), text);
        Trace("camera JPEG frame skipped: %s", text);
    }
    // Every row is out; whatever follows in the frame is not needed.
    jpeg_abort_decompress(&m_cinfo);
    return bWhole;
}

// Baseline and extended sequential frames of camera sizes only: a progressive
// frame would cost a pass over the whole picture for every scan.
bool CJpegFrameReader::AcceptHeader() const {
    return !m_cinfo.progressive_mode && m_cinfo.image_width > 0 && m_cinfo.image_height > 0 &&
           m_cinfo.image_width <= MAX_JPEG_FRAME_SIDE &&
           m_cinfo.image_height <= MAX_JPEG_FRAME_SIDE;
}

// The smallest of 1/8, 1/4 and 1/2 whose picture still covers the target,
// else the full size.
void CJpegFrameReader::ChooseScale(const Request& request) {
    m_cinfo.scale_num = 1;
    for (const unsigned denom : {8u, 4u, 2u, 1u}) {
        m_cinfo.scale_denom = denom;
        jpeg_calc_output_dimensions(&m_cinfo);
        if (denom == 1 || (static_cast<int>(m_cinfo.output_width) >= request.nWidth &&
                           static_cast<int>(m_cinfo.output_height) >= request.nHeight))
            break;
    }
    m_nLastScale = static_cast<int>(m_cinfo.scale_denom);
}

void CJpegFrameReader::PrepareRows(const Request& request) {
    const int width = static_cast<int>(m_cinfo.output_width);
    const int height = static_cast<int>(m_cinfo.output_height);
    m_scratch.clear();
    if (!request.bScaled) {
        const std::size_t row = static_cast<std::size_t>(width) * 3;
        m_pixels.resize(row * static_cast<std::size_t>(height));
        m_rows.resize(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            m_rows[static_cast<std::size_t>(y)] =
                m_pixels.data() + row * static_cast<std::size_t>(height - 1 - y);
        return;
    }
    if (width == request.nWidth && height == request.nHeight) {
        // Decoded straight into the target's rows.
        m_rows.resize(static_cast<std::size_t>(height));
        for (int y = 0; y < height; ++y)
            m_rows[static_cast<std::size_t>(y)] =
                request.pTarget + static_cast<std::size_t>(y) * request.nStride;
        return;
    }
    // Rows come out a few at a time into the scratch, and each is laid into
    // the target rows whose nearest source row it is.
    const std::size_t row = static_cast<std::size_t>(width) * 4;
    const int batch = m_cinfo.rec_outbuf_height > 0 ? m_cinfo.rec_outbuf_height : 1;
    m_scratch.resize(row * static_cast<std::size_t>(batch));
    m_rows.resize(static_cast<std::size_t>(batch));
    for (int i = 0; i < batch; ++i)
        m_rows[static_cast<std::size_t>(i)] = m_scratch.data() + row * static_cast<std::size_t>(i);
    m_xOffsets.resize(static_cast<std::size_t>(request.nWidth));
    for (int x = 0; x < request.nWidth; ++x)
        m_xOffsets[static_cast<std::size_t>(x)] =
            static_cast<int>((2LL * x + 1) * width / (2LL * request.nWidth)) * 4;
    m_nSourceRow = 0;
    m_nNextTargetRow = 0;
}

// The target rows whose centre falls on this source row.
void CJpegFrameReader::EmitScaledRow(const Request& request, const std::uint8_t* row) {
    const long long sourceHeight = m_cinfo.output_height;
    while (m_nNextTargetRow < request.nHeight &&
           (2LL * m_nNextTargetRow + 1) * sourceHeight / (2LL * request.nHeight) == m_nSourceRow) {
        std::uint8_t* target =
            request.pTarget + static_cast<std::size_t>(m_nNextTargetRow) * request.nStride;
        for (int x = 0; x < request.nWidth; ++x)
            std::memcpy(target + 4 * x, row + m_xOffsets[static_cast<std::size_t>(x)], 4);
        ++m_nNextTargetRow;
    }
    ++m_nSourceRow;
}
