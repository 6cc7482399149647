#include "panels/connection/connectwindow.h"
#include "base/connectionnames.h"
#include "base/windownames.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

namespace tvk {

ConnectWindow::ConnectWindow(const PanelContext &context, Connector &connector, PortMappingStore &portMap, const LinkGlobals &globals)
    : Panel(context, win::frmConnect, QStringLiteral("Monitor Connection"))
    , m_group(new QButtonGroup(this))
    , m_connector(connector)
    , m_portMap(portMap)
    , m_globals(globals)
{
    auto *portBox = new QGroupBox(this);
    auto *portLayout = new QVBoxLayout(portBox);
    for (int i = 0; i < kPorts; ++i) {
        auto *option = new QRadioButton(QStringLiteral("Com%1").arg(i + 1), portBox);
        option->setObjectName(QStringLiteral("optCommPort_%1").arg(i));
        m_group->addButton(option, i);
        portLayout->addWidget(option);
        m_options[i] = option;
    }
    m_autoReConnect = new QCheckBox(QStringLiteral("Auto ReConnect"), this);
    m_autoReConnect->setObjectName(QStringLiteral("ckAutoReConnect"));
    m_autoReConnect->setChecked(true);
    connector.setAutoReConnect(true);

    QPushButton *ok = makeButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Try this port."));
    QPushButton *offline =
        makeButton(QStringLiteral("btnOffline"), QStringLiteral("Offline"), QStringLiteral("Work without a monitor."));
    QPushButton *done = makeButton(QStringLiteral("btnDone"), QStringLiteral("Done"), QStringLiteral("Close Window"));
    QPushButton *ports = makeButton(QStringLiteral("btnPorts"), QStringLiteral("Ports ..."),
                                    QStringLiteral("Map Com1..Com4 to the serial ports of this computer."));
    auto *indicator = new QPushButton(this);
    indicator->setObjectName(ctl::btnInd);
    indicator->setFixedSize(24, 24);
    indicator->setFocusPolicy(Qt::NoFocus);

    // The status is set with CR LF line ends; plain text without word wrap
    // shows each of them as one line break.
    auto *status = new QLabel(this);
    status->setObjectName(ctl::lbl1);
    status->setTextFormat(Qt::PlainText);
    status->setWordWrap(false);
    status->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    status->setMinimumHeight(status->fontMetrics().lineSpacing() * 4);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(offline);
    buttons->addWidget(done);
    buttons->addWidget(ports);
    buttons->addStretch();
    auto *left = new QVBoxLayout;
    left->addWidget(portBox);
    left->addWidget(m_autoReConnect);
    left->addStretch();
    auto *top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(buttons);
    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(indicator, 0, Qt::AlignTop);
    statusRow->addWidget(status, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(statusRow);

    connect(m_group, &QButtonGroup::idClicked, &connector, &Connector::ChoosePort);
    connect(m_autoReConnect, &QCheckBox::toggled, &connector, &Connector::setAutoReConnect);
    connect(ok, &QPushButton::clicked, &connector, &Connector::OkPressed);
    connect(offline, &QPushButton::clicked, &connector, &Connector::OfflinePressed);
    connect(done, &QPushButton::clicked, &connector, &Connector::DonePressed);
    connect(ports, &QPushButton::clicked, this, [&context] { context.windows.openWindow(win::frmPorts); });
    connect(&portMap, &PortMappingStore::changed, this, &ConnectWindow::refreshPortTips);
}

void ConnectWindow::selectCurrentPort()
{
    const int port = m_globals.CommPort;
    if (port >= 1 && port <= kPorts)
        m_options[port - 1]->setChecked(true);
}

void ConnectWindow::refreshPortTips()
{
    for (int i = 0; i < kPorts; ++i)
        m_options[i]->setToolTip(m_portMap.describe(i + 1));
}

void ConnectWindow::load()
{
    refreshPortTips();
    selectCurrentPort();
    m_connector.LoadConnectWindow();
    m_raiseTrying = m_connector.cycleRunning();
}

void ConnectWindow::activate()
{
    refreshPortTips();
    selectCurrentPort();
    if (m_raiseTrying) {
        m_raiseTrying = false;
        // After the activation has run its course, not from inside it.
        QTimer::singleShot(0, this, [this] {
            if (m_connector.cycleRunning())
                m_ctx.windows.openWindow(win::frmTrying);
        });
    }
}

} // namespace tvk
