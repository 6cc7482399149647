#include "panels/help/aboutpanel.h"
#include "base/windownames.h"

#include "base/dialogs.h"
#include "core/appshell.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#ifdef Q_OS_WIN
#include <QSettings>
#endif

namespace tvk {

QString AboutPanel::descriptionText()
{
    return QStringLiteral("Tarvikon allows the initialization, ")
        + QStringLiteral("calibration, usage reporting, and user adjustment ")
        + QStringLiteral("of Brannock monitors.") + QStringLiteral("\r\n\r\n")
        + QStringLiteral("Connect the monitor to any serial port at 9600,N,8,1.");
}

AboutPanel::AboutPanel(const PanelContext &context, DesktopLauncher &launcher)
    : Panel(context, win::frmAbout, QStringLiteral("About ") + applicationTitle())
    , m_launcher(launcher)
{
    auto *title = new QLabel(applicationTitle(), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont f = title->font();
    f.setPointSizeF(f.pointSizeF() * 1.6);
    f.setBold(true);
    title->setFont(f);
    auto *version = new QLabel(QStringLiteral("Version ") + applicationVersionText(), this);
    version->setObjectName(QStringLiteral("lblVersion"));
    auto *description = new QLabel(descriptionText(), this);
    description->setObjectName(QStringLiteral("lblDescription"));
    description->setWordWrap(true);
    QPushButton *ok = makeHideButton(QStringLiteral("cmdOK"), QStringLiteral("OK"));
    ok->setDefault(true);
    QPushButton *sysInfo = makeButton(QStringLiteral("cmdSysInfo"), QStringLiteral("&System Info..."));

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(sysInfo);
    buttons->addStretch();
    auto *texts = new QVBoxLayout;
    texts->addWidget(title);
    texts->addWidget(version);
    texts->addWidget(description, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(texts, 1);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(sysInfo, &QPushButton::clicked, this, &AboutPanel::startSystemInfo);
}

void AboutPanel::startSystemInfo()
{
    QString path;
#ifdef Q_OS_WIN
    QSettings shared(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                     QSettings::NativeFormat);
    path = shared.value(QStringLiteral("PATH")).toString();
    if (path.isEmpty()) {
        QSettings location(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location"),
                           QSettings::NativeFormat);
        const QString dir = location.value(QStringLiteral("MSINFO")).toString();
        if (!dir.isEmpty() && m_launcher.fileExists(dir + QStringLiteral("\\MSINFO32.EXE")))
            path = dir + QStringLiteral("\\MSINFO32.EXE");
    }
#endif
    if (path.isEmpty() || !m_launcher.startProgram(path, {}))
        m_ctx.messages.message(QStringLiteral("System Information Is Unavailable At This Time"));
}

} // namespace tvk
