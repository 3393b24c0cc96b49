#pragma once
// What a screen reader learns about the skinned window. Its controls are
// pictures, so Qt alone would offer unnamed frames: here the four buttons are
// push buttons with a press action, the logo and the preview are images, and
// the seven thumbnail cells are the items of one list, the strip, each named
// after its photo, selectable and opened by its activate action. An open
// popup menu of the window is listed under it while it shows.

#include <QList>
#include <QObject>
#include <QString>

#include <cstdint>

class CKeyForwardStatic;

// The window's side: what its controls mean right now. The window that
// implements it is described as this file says.
class ISkinWindowAccess {
public:
    // The name of a button, the logo or the preview, by control id.
    virtual QString ControlName(int nID) const = 0;
    // The strip's name, and how many of its cells show a photo (always the
    // first cells).
    virtual QString StripName() const = 0;
    virtual int StripPhotoCount() const = 0;
    // The file name of the photo in cell nSlot, and whether it is selected.
    virtual QString SlotPhotoName(int nSlot) const = 0;
    virtual bool SlotSelected(int nSlot) const = 0;
    // What a double-click on the cell does: the photo opens.
    virtual void OpenSlotPhoto(int nSlot) = 0;

protected:
    ~ISkinWindowAccess() = default;
};

// The strip as an object of its own, the cells' parent for screen readers; a
// child of the window. The cells are the window's IDC_THUMB1 to IDC_THUMB7.
class CStripAccessObject : public QObject {
    Q_OBJECT

public:
    CStripAccessObject(QWidget& window, CKeyForwardStatic* cells, int nCells);

    QWidget& Window() const { return m_window; }
    ISkinWindowAccess* Access() const;
    CKeyForwardStatic* Cell(int nSlot) const;
    int CellCount() const { return m_nCells; }
    // Tells screen readers what changed since the strip was last drawn: the
    // cells' names, their selected states and how many show a photo.
    void StripChanged();

private:
    QWidget& m_window;
    CKeyForwardStatic* m_pCells;
    int m_nCells;
    // What screen readers were last told.
    int m_nShown = 0;
    QList<QString> m_names;
    std::uint64_t m_nSelectedBits = 0;
};

// The strip object of a window, or null.
CStripAccessObject* FindStripAccess(const QWidget* window);

// Registers the interfaces with Qt's accessibility; once per process, before
// the window shows.
void InstallSkinAccessibility();
