#include "panels/config/deflhvpanel.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/replies/deflhv.h"
#include "protocol/commands.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

DeflHvPanel::DeflHvPanel(const PanelContext &context)
    : Panel(context, win::frmDeflHVEnable, QStringLiteral("Deflection & HV Enable/Disable"))
{
    auto addPair = [this](const QString &caption, const QString &enableName, const QString &disableName,
                          QString (*command)(bool)) {
        auto *frame = new QGroupBox(caption, this);
        auto *layout = new QVBoxLayout(frame);
        for (bool enable : {true, false}) {
            auto *button = new QRadioButton(enable ? QStringLiteral("Enable") : QStringLiteral("Disable"), frame);
            button->setObjectName(enable ? enableName : disableName);
            button->setChecked(!enable);
            layout->addWidget(button);
            connect(button, &QRadioButton::clicked, this, [this, command, enable] {
                if (!m_ctx.applying.active())
                    m_ctx.send(command(enable));
            });
        }
        return frame;
    };
    QGroupBox *defl = addPair(QStringLiteral("Deflection"), ctl::optDeflEnable, ctl::optDeflDisable, &cmd::deflection);
    defl->setObjectName(QStringLiteral("fraDeflection"));
    QGroupBox *hv = addPair(QStringLiteral("HV"), ctl::optHVEnable, ctl::optHVDisable, &cmd::highVoltage);
    hv->setObjectName(QStringLiteral("fraHV"));

    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    auto *frames = new QHBoxLayout;
    frames->addWidget(defl);
    frames->addWidget(hv);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(frames);
    layout->addLayout(buttonRow({done}));
}

} // namespace tvk
