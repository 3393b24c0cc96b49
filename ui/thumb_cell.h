#pragma once
// One of the strip's seven picture cells, as the strip sees it: something that
// shows a picture and has a size. The window's key-forwarding cell controls
// implement it.

#include <QImage>
#include <QSize>

// The size of a thumbnail and of the cell that shows it.
constexpr int THUMB_WIDTH = 72;
constexpr int THUMB_HEIGHT = 54;

class IThumbCell {
public:
    virtual void ShowPicture(const QImage& picture) = 0;
    virtual QSize CellSize() const = 0;

protected:
    ~IThumbCell() = default;
};
