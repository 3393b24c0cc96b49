#pragma once
// One of the strip's seven picture cells, as the strip sees it: something that
// shows a picture and has a size. The window's key-forwarding cell controls
// implement it.

#include <QImage>
#include <QSize>

class IThumbCell {
public:
    virtual void ShowPicture(const QImage& picture) = 0;
    virtual QSize CellSize() const = 0;

protected:
    ~IThumbCell() = default;
};
