#pragma once
// One of the strip's seven picture cells, as the strip sees it: something that
// shows a picture and has a size. The window's key-forwarding cell controls
// implement it.

#include <QImage>
#include <QSize>

class IThumbCell {
public:
    virtual void SetImage(const QImage& image) = 0;
    virtual QSize Size() const = 0;

protected:
    ~IThumbCell() = default;
};
