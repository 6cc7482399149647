#include "panels/info/versionpanel.h"
#include "base/infonames.h"
#include "base/windownames.h"

#include "core/appshell.h"
#include "core/replies/identity.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

namespace tvk {

namespace {

QLabel *valueLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    label->setMinimumWidth(80);
    return label;
}

} // namespace

VersionPanel::VersionPanel(const PanelContext &context) : Panel(context, win::frmVersion, QStringLiteral("Version"))
{
    auto *grid = new QGridLayout;
    const struct {
        const char *caption;
        QString name;
    } rows[] = {
        {"Monitor Firmware Version:", ctl::lblMonitorFirmwareVersionValue},
        {"Monitor EPROM Version:", ctl::lblMonitorEpromVersionValue},
        {"Tarvik Version:", QStringLiteral("lblTarvikVersionValue")},
    };
    int r = 0;
    for (const auto &row : rows) {
        grid->addWidget(new QLabel(QString::fromLatin1(row.caption), this), r, 0, Qt::AlignRight);
        grid->addWidget(valueLabel(row.name, this), r, 1);
        ++r;
    }
    grid->setColumnStretch(1, 1);

    QPushButton *reRead = makeButton(QStringLiteral("btnReRead"), QStringLiteral("ReRead"));
    QPushButton *ok =
        makeHideButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Dismiss This Window"));
    ok->setDefault(true);
    setBodyAndButtons(grid, buttonRow({reRead, ok}));

    connect(reRead, &QPushButton::clicked, this, &VersionPanel::reRead);
}

void VersionPanel::load()
{
    findChild<QLabel *>(QStringLiteral("lblTarvikVersionValue"))
        ->setText(QStringLiteral("V ") + applicationVersionText());
}

void VersionPanel::activate() { reRead(); }

void VersionPanel::reRead()
{
    m_ctx.send(cmd::readEpromVersion());
    m_ctx.send(cmd::readFirmwareVersion());
}

} // namespace tvk
