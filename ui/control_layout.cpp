#include "ui/control_layout.h"

#include "ui/resource_ids.h"

#include <QWidget>

const ControlPlacement g_layoutTable[LAYOUT_ROWS] = {
    {IDC_VIDEO_HOST, {0, 0}, {0, 0, 640, 480}},   {IDC_PREVIEW_FRAME, {2, 2}, {0, 0, 641, 480}},
    {IDC_SNAPSHOT, {5, 488}, {0, 0, 40, 30}},     {IDC_DELETE, {51, 488}, {0, 0, 40, 30}},
    {IDC_RESOLUTION, {98, 488}, {0, 0, 86, 30}},  {IDC_LOGO, {557, 491}, {0, 0, 75, 20}},
    {IDC_THUMB1, {24, 531}, {0, 0, 72, 54}},      {IDC_THUMB2, {110, 531}, {0, 0, 72, 54}},
    {IDC_THUMB3, {195, 531}, {0, 0, 72, 54}},     {IDC_THUMB4, {281, 531}, {0, 0, 72, 54}},
    {IDC_THUMB5, {366, 531}, {0, 0, 72, 54}},     {IDC_THUMB6, {452, 531}, {0, 0, 72, 54}},
    {IDC_THUMB7, {537, 531}, {0, 0, 72, 54}},     {IDC_STRIP_SCROLL, {0, 600}, {0, 0, 642, 15}},
    {IDC_PROPERTIES, {191, 488}, {0, 0, 40, 30}},
};

void ApplyControlLayout(QWidget& window, const std::function<QWidget*(int)>& getDlgItem) {
    if (QWidget* logo = getDlgItem(IDC_LOGO))
        logo->show();
    for (const ControlPlacement& row : g_layoutTable) {
        QWidget* control = getDlgItem(row.nID);
        if (control == nullptr)
            continue;
        control->setGeometry(row.pt.x() - 2, row.pt.y() - 2, row.rcSize.width(),
                             row.rcSize.height());
    }
    // The top-left corner stays where it is.
    window.setFixedSize(MAIN_CLIENT_WIDTH, MAIN_CLIENT_HEIGHT);
}
