#include "panels/config/videoconfigpanel.h"
#include "base/windownames.h"

#include "protocol/commands.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

namespace {
// Arguments of "ct".
constexpr int kSourceExternal = 0;
constexpr int kSourceBlack = 1;
constexpr int kSourceWhite = 2;
} // namespace

VideoConfigPanel::VideoConfigPanel(const PanelContext &context)
    : Panel(context, win::frmVideoConfig, QStringLiteral("Configure Video"))
{
    auto *sourceFrame = new QGroupBox(QStringLiteral("Video Source"), this);
    sourceFrame->setObjectName(QStringLiteral("VidSourceFrame"));
    auto *sources = new QVBoxLayout(sourceFrame);
    auto addSource = [&](const char *name, const char *label, int source) {
        auto *button = new QRadioButton(QString::fromLatin1(label), sourceFrame);
        button->setObjectName(QString::fromLatin1(name));
        sources->addWidget(button);
        // Not guarded: no reply ever selects these buttons.
        connect(button, &QRadioButton::clicked, this, [this, source] { m_ctx.send(cmd::videoSource(source)); });
        return button;
    };
    addSource("VideoSourceExternalOption", " Ext", kSourceExternal)->setChecked(true);
    addSource("VideoSourceWhiteOption", " White", kSourceWhite);
    addSource("VideoSourceBlackOption", " Black", kSourceBlack);

    auto *degauss = new QPushButton(QStringLiteral("Degauss"), this);
    degauss->setObjectName(QStringLiteral("DegaussButton"));
    auto *advice = new QLabel(QStringLiteral("Wait at least 2 minutes between degauss cycles."), this);
    advice->setObjectName(QStringLiteral("lblDegaussAdvice"));
    advice->setWordWrap(true);
    auto *degaussRow = new QHBoxLayout;
    degaussRow->addWidget(degauss);
    degaussRow->addWidget(advice, 1);

    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(sourceFrame);
    layout->addLayout(degaussRow);
    layout->addLayout(buttonRow({done}));

    connect(degauss, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::degauss()); });
}

} // namespace tvk
