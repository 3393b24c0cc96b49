#include "ui/skin_accessible.h"

#include "ui/focus_mark.h"
#include "ui/image_static.h"
#include "ui/key_forward_controls.h"
#include "ui/resource_ids.h"

#include <QAccessible>
#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QMenu>
#include <QPointer>

#include <algorithm>

namespace {

// The action that opens a photo, as list items name it on the desktop.
const QString ACTIVATE_ACTION = QStringLiteral("activate");

ISkinWindowAccess* AccessOf(const QWidget* widget) {
    if (widget == nullptr)
        return nullptr;
    // The window is described only once it is wholly built.
    return dynamic_cast<ISkinWindowAccess*>(const_cast<QWidget*>(widget->window()));
}

// Runs fn on the widget from the event loop: an action of a screen reader
// arrives inside its bus call, and a button may open a modal menu or dialog
// that must not hold that call up.
template <typename Fn> void Later(QWidget* widget, Fn fn) {
    QMetaObject::invokeMethod(
        widget,
        [target = QPointer<QWidget>(widget), fn] {
            if (target)
                fn(target.data());
        },
        Qt::QueuedConnection);
}

// A skin button, the logo or the preview.
class CSkinControlAccessible : public QAccessibleWidget {
public:
    explicit CSkinControlAccessible(CImageStatic* control)
        : QAccessibleWidget(control, QAccessible::Client) {}

    CImageStatic* Control() const { return static_cast<CImageStatic*>(widget()); }

    bool IsButton() const {
        switch (Control()->GetDlgCtrlID()) {
        case IDC_SNAPSHOT:
        case IDC_DELETE:
        case IDC_RESOLUTION:
        case IDC_PROPERTIES:
            return true;
        default:
            return false;
        }
    }

    QAccessible::Role role() const override {
        if (IsButton())
            return QAccessible::Button;
        switch (Control()->GetDlgCtrlID()) {
        case IDC_LOGO:
        case IDC_VIDEO_HOST:
            return QAccessible::Graphic;
        default:
            return QAccessible::Client;
        }
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) {
            if (ISkinWindowAccess* access = AccessOf(widget())) {
                const QString name = access->ControlName(Control()->GetDlgCtrlID());
                if (!name.isEmpty())
                    return name;
            }
        }
        return QAccessibleWidget::text(t);
    }

    QStringList actionNames() const override {
        if (!IsButton())
            return QAccessibleWidget::actionNames();
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }

    void doAction(const QString& actionName) override {
        if (actionName == pressAction() && IsButton() && widget()->isEnabled()) {
            Later(widget(), [](QWidget* w) { static_cast<CImageStatic*>(w)->Click(); });
            return;
        }
        QAccessibleWidget::doAction(actionName);
    }
};

// One thumbnail cell: an item of the strip's list.
class CStripCellAccessible : public QAccessibleWidget {
public:
    explicit CStripCellAccessible(CKeyForwardStatic* cell)
        : QAccessibleWidget(cell, QAccessible::ListItem) {}

    int Slot() const {
        return static_cast<CKeyForwardStatic*>(widget())->GetDlgCtrlID() - IDC_THUMB1;
    }
    ISkinWindowAccess* Access() const { return AccessOf(widget()); }
    bool HasPhoto() const {
        ISkinWindowAccess* access = Access();
        return access && Slot() >= 0 && Slot() < access->StripPhotoCount();
    }

    QAccessibleInterface* parent() const override {
        if (CStripAccessObject* strip = FindStripAccess(widget()->window()))
            return QAccessible::queryAccessibleInterface(strip);
        return QAccessibleWidget::parent();
    }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name)
            return HasPhoto() ? Access()->SlotPhotoName(Slot()) : QString();
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = HasPhoto() && Access()->SlotSelected(Slot());
        if (!HasPhoto())
            s.invisible = true;
        return s;
    }

    QStringList actionNames() const override {
        return HasPhoto() ? QStringList{ACTIVATE_ACTION} : QStringList{};
    }

    void doAction(const QString& actionName) override {
        if (actionName != ACTIVATE_ACTION || !HasPhoto())
            return;
        const int nSlot = Slot();
        Later(widget(), [nSlot](QWidget* w) {
            if (ISkinWindowAccess* access = AccessOf(w))
                access->OpenSlotPhoto(nSlot);
        });
    }
};

// The strip: the list that holds the cells that show a photo.
class CStripAccessible : public QAccessibleObject {
public:
    explicit CStripAccessible(CStripAccessObject* strip) : QAccessibleObject(strip) {}

    CStripAccessObject* Strip() const { return static_cast<CStripAccessObject*>(object()); }
    int Shown() const {
        ISkinWindowAccess* access = Strip()->Access();
        return access ? std::clamp(access->StripPhotoCount(), 0, Strip()->CellCount()) : 0;
    }

    QAccessible::Role role() const override { return QAccessible::List; }
    QAccessible::State state() const override {
        QAccessible::State s;
        s.focusable = true;
        for (int k = 0; k < Strip()->CellCount(); ++k)
            s.focused = s.focused || Strip()->Cell(k)->hasFocus();
        return s;
    }
    QString text(QAccessible::Text t) const override {
        ISkinWindowAccess* access = Strip()->Access();
        return t == QAccessible::Name && access ? access->StripName() : QString();
    }
    QRect rect() const override {
        QRect area;
        for (int k = 0; k < Strip()->CellCount(); ++k) {
            const QWidget* cell = Strip()->Cell(k);
            area |= QRect(cell->mapToGlobal(QPoint(0, 0)), cell->size());
        }
        return area;
    }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(&Strip()->Window());
    }
    int childCount() const override { return Shown(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= Shown())
            return nullptr;
        return QAccessible::queryAccessibleInterface(Strip()->Cell(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (int k = 0; child && k < Shown(); ++k) {
            if (child->object() == Strip()->Cell(k))
                return k;
        }
        return -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        for (int k = 0; k < Shown(); ++k) {
            QAccessibleInterface* cell = child(k);
            if (cell && cell->rect().contains(x, y))
                return cell;
        }
        return nullptr;
    }
};

// The window: its controls, with the strip's list in place of the cells, and
// the popup menu it has open.
class CSkinWindowAccessible : public QAccessibleWidget {
public:
    explicit CSkinWindowAccessible(QWidget* window)
        : QAccessibleWidget(window, QAccessible::Dialog) {}

    QList<QObject*> Children() const {
        QList<QObject*> children;
        CStripAccessObject* strip = FindStripAccess(widget());
        QList<QObject*> menus;
        for (QObject* object : widget()->children()) {
            auto* child = qobject_cast<QWidget*>(object);
            if (child == nullptr || qobject_cast<QFocusFrame*>(child) ||
                qobject_cast<CFocusMark*>(child))
                continue;
            if (auto* menu = qobject_cast<QMenu*>(child)) {
                if (menu->isVisible())
                    menus.append(menu);
                continue;
            }
            if (child->isWindow() || qobject_cast<CKeyForwardStatic*>(child))
                continue;
            children.append(child);
        }
        if (strip)
            children.append(strip);
        return children + menus;
    }

    int childCount() const override { return static_cast<int>(Children().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QObject*> children = Children();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? static_cast<int>(Children().indexOf(child->object())) : -1;
    }
};

QAccessibleInterface* SkinAccessibleFactory(const QString&, QObject* object) {
    if (auto* strip = qobject_cast<CStripAccessObject*>(object))
        return new CStripAccessible(strip);
    if (object == nullptr || !object->isWidgetType())
        return nullptr;
    auto* widget = static_cast<QWidget*>(object);
    if (widget->isWindow())
        return dynamic_cast<ISkinWindowAccess*>(widget) ? new CSkinWindowAccessible(widget)
                                                        : nullptr;
    if (auto* cell = qobject_cast<CKeyForwardStatic*>(widget))
        return new CStripCellAccessible(cell);
    if (auto* control = qobject_cast<CImageStatic*>(widget))
        return new CSkinControlAccessible(control);
    return nullptr;
}

} // namespace

CStripAccessObject::CStripAccessObject(QWidget& window, CKeyForwardStatic* cells, int nCells)
    : QObject(&window), m_window(window), m_pCells(cells), m_nCells(std::clamp(nCells, 0, 64)) {
    setObjectName(QStringLiteral("photoStrip"));
}

ISkinWindowAccess* CStripAccessObject::Access() const {
    return AccessOf(&m_window);
}

CKeyForwardStatic* CStripAccessObject::Cell(int nSlot) const {
    return nSlot >= 0 && nSlot < m_nCells ? &m_pCells[nSlot] : nullptr;
}

void CStripAccessObject::StripChanged() {
    ISkinWindowAccess* access = Access();
    if (!access || !QAccessible::isActive())
        return;
    const int nShown = std::clamp(access->StripPhotoCount(), 0, m_nCells);
    if (nShown != m_nShown) {
        m_nShown = nShown;
        QAccessibleEvent reorder(this, QAccessible::ObjectReorder);
        QAccessible::updateAccessibility(&reorder);
    }
    m_names.resize(m_nCells);
    for (int k = 0; k < nShown; ++k) {
        const QString name = access->SlotPhotoName(k);
        if (name != m_names[k]) {
            m_names[k] = name;
            QAccessibleEvent named(&m_pCells[k], QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
        const std::uint64_t bit = std::uint64_t{1} << k;
        const bool bSelected = access->SlotSelected(k);
        if (bSelected != ((m_nSelectedBits & bit) != 0)) {
            m_nSelectedBits ^= bit;
            QAccessible::State changed;
            changed.selected = true;
            QAccessibleStateChangeEvent event(&m_pCells[k], changed);
            QAccessible::updateAccessibility(&event);
        }
    }
}

CStripAccessObject* FindStripAccess(const QWidget* window) {
    return window ? window->findChild<CStripAccessObject*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

void InstallSkinAccessibility() {
    static const bool installed = [] {
        QAccessible::installFactory(&SkinAccessibleFactory);
        return true;
    }();
    static_cast<void>(installed);
}
