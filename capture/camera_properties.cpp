#include "capture/camera_properties.h"

#include "platform/trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>

CCameraPropertiesDlg::CCameraPropertiesDlg(QWidget* parent, const QString& title,
                                           std::shared_ptr<ICameraControls> controls)
    : QDialog(parent), m_pControls(std::move(controls)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout();
    layout->addLayout(form);

    std::vector<CameraControl> list;
    if (m_pControls && SUCCEEDED(m_pControls->GetControls(list))) {
        for (const CameraControl& control : list)
            AddRow(control, form);
    }
    if (list.empty())
        form->addRow(new QLabel(tr("This camera has no settings."), this));
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName("controlStatus");
    m_pStatus->setWordWrap(true);
    layout->addWidget(m_pStatus);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CCameraPropertiesDlg::AddRow(const CameraControl& control, QFormLayout* form) {
    const QString label = QString::fromStdString(control.strName);
    const DWORD id = control.nId;
    Row row;
    switch (control.kind) {
    case CameraControl::Kind::Integer: {
        auto* line = new QWidget(this);
        auto* h = new QHBoxLayout(line);
        h->setContentsMargins(0, 0, 0, 0);
        auto* slider = new QSlider(Qt::Horizontal, line);
        slider->setObjectName(label);
        slider->setRange(control.nMinimum, control.nMaximum);
        slider->setSingleStep(control.nStep);
        slider->setPageStep(std::max(control.nStep, (control.nMaximum - control.nMinimum) / 10));
        auto* value = new QLabel(line);
        value->setMinimumWidth(48);
        h->addWidget(slider);
        h->addWidget(value);
        connect(slider, &QSlider::valueChanged, this, [this, id](int v) { Change(id, v); });
        form->addRow(label, line);
        row = {slider, value};
        break;
    }
    case CameraControl::Kind::Boolean: {
        auto* box = new QCheckBox(this);
        box->setObjectName(label);
        connect(box, &QCheckBox::toggled, this, [this, id](bool on) { Change(id, on ? 1 : 0); });
        form->addRow(label, box);
        row = {box, nullptr};
        break;
    }
    case CameraControl::Kind::Menu: {
        auto* list = new QComboBox(this);
        list->setObjectName(label);
        for (const auto& [itemValue, itemLabel] : control.menuItems)
            list->addItem(QString::fromStdString(itemLabel), itemValue);
        connect(list, &QComboBox::activated, this,
                [this, id, list](int index) { Change(id, list->itemData(index).toInt()); });
        form->addRow(label, list);
        row = {list, nullptr};
        break;
    }
    }
    m_rows[id] = row;
    // The row shows the camera's value and state through the same path as
    // every later refresh.
    ShowControl(row, control);
}

// The editor's value and state as the camera reports them, without a change
// signal going back to the camera.
void CCameraPropertiesDlg::ShowControl(const Row& row, const CameraControl& control) {
    if (auto* slider = qobject_cast<QSlider*>(row.pEditor)) {
        const QSignalBlocker block(slider);
        // Not while the user drags: the next move sets it anyway.
        if (!slider->isSliderDown())
            slider->setValue(control.nValue);
        row.pValue->setNum(control.nValue);
    } else if (auto* box = qobject_cast<QCheckBox*>(row.pEditor)) {
        const QSignalBlocker block(box);
        box->setChecked(control.nValue != 0);
    } else if (auto* list = qobject_cast<QComboBox*>(row.pEditor)) {
        list->setCurrentIndex(list->findData(control.nValue));
    }
    row.pEditor->setEnabled(!control.bInactive);
}

void CCameraPropertiesDlg::Change(DWORD nId, int nValue) {
    if (FAILED(m_pControls->SetControl(nId, nValue))) {
        const std::string reason = m_pControls->LastError();
        m_pStatus->setText(reason.empty() ? tr("The camera did not take the value.")
                                          : QString::fromStdString(reason));
    } else {
        m_pStatus->clear();
    }
    Refresh();
}

void CCameraPropertiesDlg::Refresh() {
    std::vector<CameraControl> list;
    if (FAILED(m_pControls->GetControls(list)))
        return;
    for (const CameraControl& control : list) {
        const auto found = m_rows.find(control.nId);
        if (found == m_rows.end())
            continue;
        ShowControl(found->second, control);
    }
}

void ShowCameraProperties(QWidget* parentWindow, const StillGraph& graph) {
    if (!graph.m_pCapture)
        return;
    std::shared_ptr<ICameraControls> controls;
    if (graph.m_pCapture->QueryPropertyPages(controls) != S_OK || !controls)
        return;

    CCameraPropertiesDlg dialog(parentWindow,
                                QString::fromStdString(graph.m_pCapture->FriendlyName()),
                                std::move(controls));
    // Wayland leaves a window's place to the compositor and does not tell a
    // client where its windows are: unplaced, the dialog is centred on the
    // main window, as Qt places a dialog with a parent.
    if (QGuiApplication::platformName() != QLatin1String("wayland")) {
        const QPoint at(PROPERTIES_X, PROPERTIES_Y);
        dialog.move(parentWindow ? parentWindow->mapToGlobal(at) : at);
    }
    dialog.exec();
    Trace("Create ok");
}
