#include "capture/camera_properties.h"

#include "platform/trace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
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

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void CCameraPropertiesDlg::AddRow(const CameraControl& control, QFormLayout* form) {
    const QString label = QString::fromStdString(control.strName);
    const DWORD id = control.nId;
    std::shared_ptr<ICameraControls> controls = m_pControls;
    switch (control.kind) {
    case CameraControl::Kind::Integer: {
        auto* row = new QWidget(this);
        auto* h = new QHBoxLayout(row);
        h->setContentsMargins(0, 0, 0, 0);
        auto* slider = new QSlider(Qt::Horizontal, row);
        slider->setObjectName(label);
        slider->setRange(control.nMinimum, control.nMaximum);
        slider->setSingleStep(control.nStep);
        slider->setPageStep(std::max(control.nStep, (control.nMaximum - control.nMinimum) / 10));
        slider->setValue(control.nValue);
        auto* value = new QLabel(QString::number(control.nValue), row);
        value->setMinimumWidth(48);
        h->addWidget(slider);
        h->addWidget(value);
        connect(slider, &QSlider::valueChanged, this, [controls, id, value](int v) {
            value->setNum(v);
            controls->SetControl(id, v);
        });
        form->addRow(label, row);
        break;
    }
    case CameraControl::Kind::Boolean: {
        auto* box = new QCheckBox(this);
        box->setObjectName(label);
        box->setChecked(control.nValue != 0);
        connect(box, &QCheckBox::toggled, this,
                [controls, id](bool on) { controls->SetControl(id, on ? 1 : 0); });
        form->addRow(label, box);
        break;
    }
    case CameraControl::Kind::Menu: {
        auto* list = new QComboBox(this);
        list->setObjectName(label);
        for (const auto& [itemValue, itemLabel] : control.menuItems) {
            list->addItem(QString::fromStdString(itemLabel), itemValue);
            if (itemValue == control.nValue)
                list->setCurrentIndex(list->count() - 1);
        }
        connect(list, &QComboBox::activated, this, [controls, id, list](int index) {
            controls->SetControl(id, list->itemData(index).toInt());
        });
        form->addRow(label, list);
        break;
    }
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
    const QPoint at(PROPERTIES_X, PROPERTIES_Y);
    dialog.move(parentWindow ? parentWindow->mapToGlobal(at) : at);
    dialog.exec();
    Trace("Create ok");
}
