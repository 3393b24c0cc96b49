#include "library/thumbnail_strip.h"

#include "library/thumb_scaler.h"

#include <QColor>
#include <QPainter>

#include <algorithm>
#include <cstring>
#include <memory>

namespace {

QSize SizeOf(const IThumbCell* cell) {
    const QSize size = cell->CellSize();
    return size.isEmpty() ? QSize(THUMB_WIDTH, THUMB_HEIGHT) : size;
}

} // namespace

void CThumbnailStrip::Render(StripState& strip, const StripView& view) {
    // A message box shown by a decode runs a modal loop in which a paint or a
    // scroll can render again. Only the outermost run decodes: a nested run
    // draws what is ready, so two decodes never share the buffer and a failing
    // file is not opened (and reported) once per nested paint.
    if (!m_bDecoding) {
        m_bDecoding = true;
        ThumbnailPass(strip);
        m_bDecoding = false;
    }
    SlotPass(strip, view);
    if (view.repaintFrames)
        view.repaintFrames();
}

void CThumbnailStrip::ThumbnailPass(StripState& strip) {
    if (!strip.m_pPhotos || !m_pDecodeBuffer || m_nBufferBytes < THUMB_BYTES)
        return;
    auto scaler = std::make_unique<CThumbScaler>();
    const int slotCount = std::clamp(strip.m_nSlots, 0, 7);
    // The decode may show a message box, and a rebuild run from its loop may
    // refill the list; the pass then starts again on the new list.
    bool listChanged = true;
    while (listChanged) {
        listChanged = false;
        const unsigned generation = m_nListGeneration;
        for (int k = 0; k < slotCount && !listChanged; ++k) {
            const int index = strip.m_nFirstVisible + k;
            if (index < 0 || index >= strip.m_nPhotoCount || strip.m_pPhotos[index].bThumbReady)
                continue;
            listChanged = !MakeThumbnail(strip.m_pPhotos[index], *scaler, generation);
        }
    }
}

bool CThumbnailStrip::MakeThumbnail(PhotoRecord& record, CThumbScaler& scaler,
                                    unsigned generation) {
    // A four-component picture is decoded "successfully" without any of its
    // rows being stored, which would make a thumbnail of whatever the buffer
    // held before. A marker in the first row tells: every stored picture
    // overwrites it (its rows are at least 216 bytes), so one still there
    // means nothing was stored, and the file gets the placeholder.
    static constexpr unsigned char kUnwritten[16] = {0x4E, 0x6F, 0x20, 0x72, 0x6F, 0x77,
                                                     0x73, 0x20, 0x73, 0x74, 0x6F, 0x72,
                                                     0x65, 0x64, 0xA5, 0x5A};
    std::memcpy(m_pDecodeBuffer, kUnwritten, sizeof kUnwritten);
    const std::string path = record.szPath;
    std::uint32_t width = 0, height = 0;
    const bool decoded = m_codec.DecodeToRgb(path, width, height, m_pDecodeBuffer) != nullptr;
    if (generation != m_nListGeneration)
        return false;

    int sw = THUMB_WIDTH, sh = THUMB_HEIGHT;
    const std::size_t bytes = std::size_t(width) * height * 3;
    if (decoded && width > 0 && height > 0 && bytes <= m_nBufferBytes &&
        std::memcmp(m_pDecodeBuffer, kUnwritten, sizeof kUnwritten) != 0) {
        m_codec.FlipVertical(m_pDecodeBuffer, width * 3, height);
        m_codec.SwapRedBlue(m_pDecodeBuffer, width, height);
        sw = static_cast<int>(width);
        sh = static_cast<int>(height);
    } else {
        // The file keeps the placeholder until the next rebuild: it is not
        // tried (nor reported) again on every redraw.
        DrawPlaceholder(m_pDecodeBuffer);
    }
    scaler.Resize(m_pDecodeBuffer, record.abThumb, sw, sh, THUMB_WIDTH, THUMB_HEIGHT);
    record.bThumbReady = 1;
    return true;
}

void CThumbnailStrip::SlotPass(const StripState& strip, const StripView& view) const {
    for (int k = 0; k < 7; ++k) {
        IThumbCell* cell = view.cells[k];
        if (!cell)
            continue;
        const int index = strip.m_nFirstVisible + k;
        const bool shown = k < strip.m_nSlots && index >= 0 && index < strip.m_nPhotoCount &&
                           strip.m_pPhotos && strip.m_pPhotos[index].bThumbReady;
        if (shown)
            cell->ShowPicture(SlotImage(strip.m_pPhotos[index], SizeOf(cell)));
        else
            DrawEmptySlot(*cell);
    }
}

void CThumbnailStrip::DrawEmptySlot(IThumbCell& cell) {
    cell.ShowPicture(EmptySlotImage(SizeOf(&cell)));
}

QImage CThumbnailStrip::SlotImage(const PhotoRecord& record, QSize cellSize) {
    // The record holds a bottom-up BGR bitmap; the image is top-down RGB.
    QImage thumb(THUMB_WIDTH, THUMB_HEIGHT, QImage::Format_RGB888);
    for (int y = 0; y < THUMB_HEIGHT; ++y) {
        const unsigned char* in = record.abThumb + (THUMB_HEIGHT - 1 - y) * THUMB_WIDTH * 3;
        unsigned char* out = thumb.scanLine(y);
        for (int x = 0; x < THUMB_WIDTH; ++x) {
            out[x * 3 + 0] = in[x * 3 + 2];
            out[x * 3 + 1] = in[x * 3 + 1];
            out[x * 3 + 2] = in[x * 3 + 0];
        }
    }
    // Stretched pixel for pixel, without smoothing.
    QImage image = cellSize == thumb.size()
                       ? thumb
                       : thumb.scaled(cellSize, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    QPainter painter(&image);
    painter.setPen(Qt::white);
    painter.drawLine(0, 0, image.width() - 1, 0);
    painter.drawLine(0, 0, 0, image.height() - 1);
    return image;
}

QImage CThumbnailStrip::EmptySlotImage(QSize cellSize) {
    QImage image(cellSize, QImage::Format_RGB888);
    image.fill(QColor(99, 99, 99));
    return image;
}
