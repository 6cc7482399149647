#include "panels/firmware/softwarepanel.h"
#include "base/firmwarenames.h"

#include "firmware/bootblock.h"
#include "firmware/firmwarehandlers.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace tvk {

namespace {

QLabel *valueLabel(const QString &name, QWidget *parent, const QString &text = QString())
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(80);
    return label;
}

} // namespace

// ---------------------------------------------------------------------------

SoftwarePanel::SoftwarePanel(const PanelContext &context, const FirmwareActions::Context &firmware)
    : Panel(context, win::frmSoftware, QStringLiteral("Load Software")), m_actions(firmware),
      m_download(firmware.download)
{
    QPushButton *flash = makeButton(QStringLiteral("btnLoadFlash"), QStringLiteral("Load New Firmware"));
    QPushButton *sram = makeButton(ctl::btnLoadSRAM, QStringLiteral("Load SRAM File"));
    QPushButton *run = makeButton(ctl::btnRunSRAM, QStringLiteral("Run SRAM Program"));
    QPushButton *read = makeButton(QStringLiteral("btnRead"), QStringLiteral("Read"));
    QPushButton *reset = makeButton(QStringLiteral("btnReset"), QStringLiteral("Reset Software"));
    QPushButton *enable = makeButton(QStringLiteral("btnEnable"), QStringLiteral("Enable AutoBoot"));
    QPushButton *disable = makeButton(QStringLiteral("btnDisable"), QStringLiteral("Disable AutoBoot"));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    auto *logging = new QCheckBox(QStringLiteral("Logging Enabled"), this);
    logging->setObjectName(QStringLiteral("bootLogCheck"));
    logging->setToolTip(QStringLiteral("Log every record of a download in the communication log"));

    auto *grid = new QGridLayout;
    grid->addWidget(flash, 0, 0);
    grid->addWidget(sram, 0, 1);
    grid->addWidget(run, 0, 2);
    grid->addWidget(enable, 1, 0);
    grid->addWidget(disable, 1, 1);
    grid->addWidget(reset, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Firmware Version:"), this), 2, 0, Qt::AlignRight);
    grid->addWidget(valueLabel(ctl::lblFlashVersion, this), 2, 1);
    grid->addWidget(read, 2, 2);
    grid->addWidget(new QLabel(QStringLiteral("SRAM File Executed:"), this), 3, 0, Qt::AlignRight);
    grid->addWidget(valueLabel(ctl::lblSRAMFile, this), 3, 1, 1, 2);
    grid->addWidget(logging, 4, 0, 1, 3);
    setBodyAndButtons(grid, buttonRow({done}));

    connect(flash, &QPushButton::clicked, this, [this] { m_actions.loadFlash(); });
    connect(sram, &QPushButton::clicked, this, [this] { m_actions.loadSram(); });
    connect(run, &QPushButton::clicked, this, [this] { m_actions.runSram(); });
    connect(read, &QPushButton::clicked, this, [this] { m_actions.readVersion(); });
    connect(reset, &QPushButton::clicked, this, [this] { m_actions.resetSoftware(); });
    connect(enable, &QPushButton::clicked, this, [this] { m_actions.setAutoBoot(true); });
    connect(disable, &QPushButton::clicked, this, [this] { m_actions.setAutoBoot(false); });
    connect(logging, &QCheckBox::toggled, this, [this](bool on) { m_download.BootLogging = on; });

    connect(&m_download, &HexDownload::stateChanged, this, &SoftwarePanel::updateLoadButtons);
    // The registry applies the mode's enabled state first; the busy state
    // goes on top of it.
    connect(&context.controls, &ControlBook::changed, this,
            [this](const QString &window, const QString &, ControlProperty p) {
                if (window == win::frmSoftware && p == ControlProperty::Enabled)
                    QMetaObject::invokeMethod(this, &SoftwarePanel::updateLoadButtons, Qt::QueuedConnection);
            });
}

void SoftwarePanel::load()
{
    m_ctx.controls.setText(win::frmSoftware, ctl::lblFlashVersion, QString());
    m_ctx.controls.setText(win::frmSoftware, ctl::lblSRAMFile, QString());
    findChild<QCheckBox *>(QStringLiteral("bootLogCheck"))->setChecked(m_download.BootLogging);
    updateLoadButtons();
}

void SoftwarePanel::updateLoadButtons()
{
    const QString why = m_actions.busyReason();
    for (const QString &control : {QStringLiteral("btnLoadFlash"), ctl::btnLoadSRAM}) {
        auto *button = findChild<QPushButton *>(control);
        button->setEnabled(why.isEmpty() && m_ctx.controls.isEnabled(win::frmSoftware, control));
        button->setToolTip(why);
    }
}

// ---------------------------------------------------------------------------

BootBlockPanel::BootBlockPanel(const PanelContext &context, const FirmwareActions::Context &firmware)
    : Panel(context, win::frmBootBlock, QStringLiteral("Boot Block Contents")), m_actions(firmware)
{
    auto *grid = new QGridLayout;
    const auto &captions = bootBlockCaptions();
    for (int i = 0; i < BootBlockReport::kValues; ++i) {
        auto *caption = new QLabel(captions[i], this);
        caption->setObjectName(QStringLiteral("lblBB_%1").arg(i));
        grid->addWidget(caption, i, 0, Qt::AlignRight);
        grid->addWidget(valueLabel(ctl::lblValue_(i), this, QStringLiteral("Value")), i, 1);
    }
    grid->addWidget(new QLabel(QStringLiteral("AutoBoot Is:"), this), BootBlockReport::kValues, 0, Qt::AlignRight);
    grid->addWidget(valueLabel(ctl::lblAutoBoot, this, QStringLiteral("Value")), BootBlockReport::kValues, 1);

    QPushButton *enable = makeButton(QStringLiteral("btnEnable"), QStringLiteral("Enable AutoBoot"));
    QPushButton *disable = makeButton(QStringLiteral("btnDisable"), QStringLiteral("Disable AutoBoot"));
    QPushButton *done =
        makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"), QStringLiteral("Dismiss This Window"));
    setBodyAndButtons(grid, buttonRow({enable, disable, done}));
    connect(enable, &QPushButton::clicked, this, [this] { m_actions.switchAutoBoot(true); });
    connect(disable, &QPushButton::clicked, this, [this] { m_actions.switchAutoBoot(false); });
}

void BootBlockPanel::activate() { m_actions.readBootBlock(); }

// ---------------------------------------------------------------------------

BootProgressWindow::BootProgressWindow(const PanelContext &context, HexDownload &download)
    : Panel(context, win::frmBootProgress, QStringLiteral("Download Progress"))
    , m_download(download)
{
    auto *gauge = new QProgressBar(this);
    gauge->setObjectName(QStringLiteral("Gauge1"));
    gauge->setRange(0, 100);
    gauge->setAccessibleName(QStringLiteral("Download progress"));
    gauge->setMinimumWidth(260);
    auto *retries = new QLabel(this);
    retries->setObjectName(QStringLiteral("RetryLabel"));
    auto *body = new QGridLayout;
    body->addWidget(gauge, 0, 0);
    body->addWidget(retries, 1, 0);
    QPushButton *abort = makeButton(QStringLiteral("BootAbortButton"), QStringLiteral("Abort"),
                                    QStringLiteral("Discontinue Downloading"));
    setBodyAndButtons(body, buttonRow({abort}));
    connect(abort, &QPushButton::clicked, this, [this] { m_download.Abort(); });
    connect(&download.progress(), &DownloadProgress::changed, this, &BootProgressWindow::refresh);
    refresh();
}

void BootProgressWindow::refresh()
{
    const DownloadProgress &p = m_download.progress();
    findChild<QProgressBar *>(QStringLiteral("Gauge1"))->setValue(p.gauge());
    findChild<QLabel *>(QStringLiteral("RetryLabel"))->setText(p.retryText());
}

} // namespace tvk
