#include "capture/camera_properties.h"

#include "capture/camera_control_page.h"
#include "platform/localized_texts.h"
#include "platform/trace.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString Text(TextId text) {
    return QString::fromUtf8(LocalizedText(text));
}

} // namespace

CCameraPropertiesDlg::CCameraPropertiesDlg(QWidget* parent, const QString& title,
                                           std::shared_ptr<ICameraControls> controls)
    : QDialog(parent), m_pControls(std::move(controls)) {
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);

    std::vector<CameraControl> list;
    if (m_pControls)
        m_pControls->GetControls(list);
    auto* tabs = new QTabWidget(this);
    constexpr std::pair<CameraControl::Page, TextId> kPages[] = {
        {CameraControl::Page::Picture, TextId::PicturePage},
        {CameraControl::Page::Camera, TextId::CameraPage},
    };
    for (const auto& [page, pageTitle] : kPages) {
        std::vector<CameraControl> onPage;
        std::copy_if(list.begin(), list.end(), std::back_inserter(onPage),
                     [page = page](const CameraControl& c) { return c.page == page; });
        if (onPage.empty())
            continue;
        auto* widget = new CCameraControlPage(tabs, onPage,
                                              [this](DWORD id, int value) { Change(id, value); });
        tabs->addTab(widget, Text(pageTitle));
        m_pages.push_back(widget);
    }
    if (m_pages.empty()) {
        delete tabs;
        layout->addWidget(new QLabel(Text(TextId::NoSettings), this));
    } else {
        layout->addWidget(tabs);
    }
    m_pStatus = new QLabel(this);
    m_pStatus->setObjectName("controlStatus");
    m_pStatus->setWordWrap(true);
    layout->addWidget(m_pStatus);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* defaults =
        buttons->addButton(Text(TextId::PropertiesDefault), QDialogButtonBox::ResetRole);
    defaults->setObjectName("defaultButton");
    defaults->setEnabled(!m_pages.empty());
    buttons->addButton(Text(TextId::PropertiesClose), QDialogButtonBox::RejectRole);
    connect(defaults, &QPushButton::clicked, this, &CCameraPropertiesDlg::RestoreDefaults);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    if (m_pControls && !m_pages.empty())
        m_pControls->WatchChanges([this] { Refresh(); });
}

CCameraPropertiesDlg::~CCameraPropertiesDlg() {
    if (m_pControls)
        m_pControls->WatchChanges(nullptr);
}

void CCameraPropertiesDlg::Change(DWORD nId, int nValue) {
    if (FAILED(m_pControls->SetControl(nId, nValue))) {
        const std::string reason = m_pControls->LastError();
        m_pStatus->setText(reason.empty() ? Text(TextId::ValueNotTaken)
                                          : QString::fromStdString(reason));
    } else {
        m_pStatus->clear();
    }
    Refresh();
}

void CCameraPropertiesDlg::RestoreDefaults() {
    if (FAILED(m_pControls->RestoreDefaults()))
        m_pStatus->setText(Text(TextId::DefaultsNotTaken));
    else
        m_pStatus->clear();
    Refresh();
}

void CCameraPropertiesDlg::Refresh() {
    std::vector<CameraControl> list;
    if (FAILED(m_pControls->GetControls(list)))
        return;
    for (CCameraControlPage* page : m_pages)
        page->ShowControls(list);
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
