#include "capture/camera_control_page.h"

#include "capture/camera_control_model.h"
#include "platform/localized_texts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>

#include <algorithm>

CCameraControlPage::CCameraControlPage(QWidget* parent, const std::vector<CameraControl>& controls,
                                       std::function<void(DWORD, int)> onChange)
    : QWidget(parent), m_onChange(std::move(onChange)) {
    auto* grid = new QGridLayout(this);
    grid->setColumnStretch(1, 1);
    for (const CameraControl& control : controls) {
        // An auto mode sits beside the control it governs, in that row.
        if (control.nGoverns != 0 && FindControl(controls, control.nGoverns))
            continue;
        const CameraControl* autoMode = nullptr;
        for (const CameraControl& other : controls) {
            if (other.nGoverns == control.nId)
                autoMode = &other;
        }
        AddRow(control, autoMode, grid);
    }
    grid->setRowStretch(grid->rowCount(), 1);
    ShowControls(controls);
}

void CCameraControlPage::AddRow(const CameraControl& control, const CameraControl* autoMode,
                                QGridLayout* grid) {
    const QString name = QString::fromStdString(control.strName);
    const DWORD id = control.nId;
    const int line = grid->rowCount();
    Row row;
    switch (control.kind) {
    case CameraControl::Kind::Integer: {
        auto* slider = new QSlider(Qt::Horizontal, this);
        slider->setRange(control.nMinimum, control.nMaximum);
        slider->setSingleStep(control.nStep);
        slider->setPageStep(std::max(control.nStep, (control.nMaximum - control.nMinimum) / 10));
        slider->setMinimumWidth(200);
        connect(slider, &QSlider::valueChanged, this, [this, id](int v) { m_onChange(id, v); });
        row.pValue = new QLabel(this);
        row.pValue->setMinimumWidth(48);
        row.pValue->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grid->addWidget(row.pValue, line, 2);
        row.pEditor = slider;
        break;
    }
    case CameraControl::Kind::Boolean: {
        auto* box = new QCheckBox(this);
        connect(box, &QCheckBox::toggled, this,
                [this, id](bool on) { m_onChange(id, on ? 1 : 0); });
        row.pEditor = box;
        break;
    }
    case CameraControl::Kind::Menu: {
        auto* list = new QComboBox(this);
        for (const auto& [itemValue, itemLabel] : control.menuItems)
            list->addItem(QString::fromStdString(itemLabel), itemValue);
        connect(list, &QComboBox::activated, this,
                [this, id, list](int index) { m_onChange(id, list->itemData(index).toInt()); });
        row.pEditor = list;
        break;
    }
    case CameraControl::Kind::Button: {
        auto* button = new QPushButton(name, this);
        connect(button, &QPushButton::clicked, this, [this, id] { m_onChange(id, 1); });
        row.pEditor = button;
        break;
    }
    }
    // Screen readers and tests find each editor by the control's name.
    row.pEditor->setObjectName(name);
    row.pEditor->setAccessibleName(name);
    if (control.kind != CameraControl::Kind::Button) {
        auto* label = new QLabel(name, this);
        label->setBuddy(row.pEditor);
        grid->addWidget(label, line, 0);
    }
    grid->addWidget(row.pEditor, line, 1);
    if (autoMode) {
        row.pAuto = AddAutoBox(*autoMode);
        grid->addWidget(row.pAuto, line, 3);
    }
    m_rows[id] = row;
}

QCheckBox* CCameraControlPage::AddAutoBox(const CameraControl& autoMode) {
    auto* box = new QCheckBox(QString::fromUtf8(LocalizedText(TextId::AutoBox)), this);
    const QString name = QString::fromStdString(autoMode.strName);
    box->setObjectName(name);
    box->setAccessibleName(name);
    const DWORD id = autoMode.nId;
    m_autos[id] = box;
    m_autoValues[id] = {autoMode.nAutoOn, autoMode.nAutoOff};
    connect(box, &QCheckBox::toggled, this, [this, id](bool on) {
        const auto& [onValue, offValue] = m_autoValues[id];
        m_onChange(id, on ? onValue : offValue);
    });
    return box;
}

void CCameraControlPage::ShowControls(const std::vector<CameraControl>& controls) {
    // The auto boxes first: a manual control is disabled while its box is on,
    // whether or not the driver marks it inactive.
    for (const CameraControl& control : controls) {
        if (const auto autoBox = m_autos.find(control.nId); autoBox != m_autos.end()) {
            const QSignalBlocker block(autoBox->second);
            autoBox->second->setChecked(control.nValue != control.nAutoOff);
            autoBox->second->setEnabled(!control.bInactive && !control.bReadOnly);
        }
    }
    for (const CameraControl& control : controls) {
        if (const auto row = m_rows.find(control.nId); row != m_rows.end())
            ShowControl(row->second, control);
    }
}

// The editor's value and state as the camera reports them, without a change
// signal going back to the camera.
void CCameraControlPage::ShowControl(const Row& row, const CameraControl& control) {
    const QSignalBlocker block(row.pEditor);
    if (auto* slider = qobject_cast<QSlider*>(row.pEditor)) {
        // Not while the user drags: the next move sets it anyway.
        if (!slider->isSliderDown())
            slider->setValue(control.nValue);
        row.pValue->setNum(control.nValue);
    } else if (auto* box = qobject_cast<QCheckBox*>(row.pEditor)) {
        box->setChecked(control.nValue != 0);
    } else if (auto* list = qobject_cast<QComboBox*>(row.pEditor)) {
        list->setCurrentIndex(list->findData(control.nValue));
    }
    // Inactive while its auto mode is on; read-only for good.
    const bool autoOn = row.pAuto && row.pAuto->isChecked();
    row.pEditor->setEnabled(!control.bInactive && !control.bReadOnly && !autoOn);
}
