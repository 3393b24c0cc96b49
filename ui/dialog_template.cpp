#include "ui/dialog_template.h"

#include "ui/image_static.h"
#include "ui/resource_ids.h"
#include "ui/skin_resources.h"

#include <QPalette>
#include <QPixmap>
#include <QScrollBar>

const TemplateControl g_mainWindowTemplate[TEMPLATE_CONTROLS] = {
    {IDC_STRIP_SCROLL, ControlKind::ScrollBar, true, false, false, false, 0},
    {IDC_LOGO, ControlKind::Static, false, false, false, false, IDB_LOGO},
    {IDC_SNAPSHOT, ControlKind::Static, true, true, false, false, IDB_SNAPSHOT_NORMAL},
    {IDC_PREVIEW_FRAME, ControlKind::Static, true, false, true, true, 0},
    {IDC_VIDEO_HOST, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB1, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB2, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB3, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB4, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB5, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB6, ControlKind::Static, true, false, true, false, 0},
    {IDC_THUMB7, ControlKind::Static, true, false, true, false, 0},
    {IDC_DELETE, ControlKind::Static, true, true, false, false, IDB_DELETE_NORMAL},
    {IDC_RESOLUTION, ControlKind::Static, true, true, false, false, IDB_RES640_NORMAL},
    {IDC_PROPERTIES, ControlKind::Static, true, true, false, false, IDB_PROPERTIES_NORMAL},
};

namespace {

void ApplyStaticStyle(CImageStatic& control, const TemplateControl& row) {
    control.SetControlId(row.nID);
    control.SetNotifyStyle(row.bNotify);
    if (row.bBlackRect) {
        QPalette palette = control.palette();
        palette.setColor(QPalette::Window, Qt::black);
        palette.setColor(QPalette::WindowText, Qt::black);
        control.setPalette(palette);
        control.setAutoFillBackground(true);
    }
    if (row.bBorder)
        control.setFrameStyle(QFrame::Box | QFrame::Plain);
    if (row.idInitialBitmap != 0) {
        QPixmap picture;
        LoadBitmapResource(picture, row.idInitialBitmap);
        control.SetImage(picture);
    }
}

} // namespace

void CreateTemplateControls(QWidget& dialog, const std::function<QWidget*(int)>& getDlgItem) {
    for (const TemplateControl& row : g_mainWindowTemplate) {
        QWidget* control = getDlgItem(row.nID);
        if (control == nullptr)
            continue;
        control->setParent(&dialog);
        if (row.kind == ControlKind::Static) {
            if (auto* image = qobject_cast<CImageStatic*>(control))
                ApplyStaticStyle(*image, row);
        } else if (auto* bar = qobject_cast<QScrollBar*>(control)) {
            // Empty until the strip sets its range from the photo list.
            bar->setOrientation(Qt::Horizontal);
            bar->setRange(0, 0);
        }
        control->raise();
        control->setVisible(row.bVisible);
    }
}
