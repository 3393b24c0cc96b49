#pragma once
// The strip's drawing: the thumbnail pass decodes and scales the visible
// photos that have no thumbnail yet, the slot pass gives each cell its
// picture. The frames around the slots are painted by the window from the
// same state.

#include "library/jpeg_codec.h"
#include "library/strip_state.h"
#include "ui/thumb_cell.h"

#include <array>
#include <cstddef>
#include <functional>

class CThumbScaler;

struct StripView {
    std::array<IThumbCell*, 7> cells{}; // slot k is cells[k]
    // Asks the window to repaint the strip's area so the frames follow.
    std::function<void()> repaintFrames;
};

class CThumbnailStrip {
public:
    CThumbnailStrip(const JpegCodec& codec, unsigned char* decodeBuffer, std::size_t bufferBytes)
        : m_codec(codec), m_pDecodeBuffer(decodeBuffer), m_nBufferBytes(bufferBytes) {}

    // Thumbnail pass, slot pass, then the frames' repaint.
    void Render(StripState& strip, const StripView& view);

    // The list was emptied and refilled: a thumbnail pass running further out
    // must not store what it decoded from the old list.
    void ListChanged() { ++m_nListGeneration; }

    // The picture a cell shows for a record: the thumbnail stretched to the
    // cell with white lines along its top and left edges.
    static QImage SlotImage(const PhotoRecord& record, QSize cellSize);
    // The empty slot's look: grey (99, 99, 99).
    static QImage EmptySlotImage(QSize cellSize);
    static void DrawEmptySlot(IThumbCell& cell);

private:
    void ThumbnailPass(StripState& strip);
    // False when the list changed while the file was decoded; nothing is
    // stored then.
    bool MakeThumbnail(PhotoRecord& record, CThumbScaler& scaler, unsigned generation);
    void SlotPass(const StripState& strip, const StripView& view) const;

    const JpegCodec& m_codec;
    unsigned char* m_pDecodeBuffer;
    std::size_t m_nBufferBytes;
    bool m_bDecoding = false;
    unsigned m_nListGeneration = 0;
};
