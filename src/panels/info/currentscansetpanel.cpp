#include "panels/info/currentscansetpanel.h"
#include "base/infonames.h"
#include "base/windownames.h"

#include "core/scanselect.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace tvk {

namespace {
std::array<QString, 4> valueLabels()
{
    return {ctl::lblScanNumber, ctl::lblScanName, ctl::lblScanHFreq, ctl::lblScanVFreq};
}
const char *const kCaptions[] = {"Scan Set Number:", "Scan Set Name:", "H Freq:", "V Freq:"};
} // namespace

CurrentScanSetPanel::CurrentScanSetPanel(const PanelContext &context)
    : Panel(context, win::frmCurrentScanSet, QStringLiteral("Current Scan Set"))
{
    auto *grid = new QGridLayout;
    const auto labels = valueLabels();
    for (int i = 0; i < 4; ++i) {
        auto *caption = new QLabel(QString::fromLatin1(kCaptions[i]), this);
        caption->setObjectName(labels[size_t(i)] + QStringLiteral("Caption"));
        auto *value = new QLabel(this);
        value->setObjectName(labels[size_t(i)]);
        value->setMinimumWidth(200);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        grid->addWidget(caption, i, 0);
        grid->addWidget(value, i, 1);
    }
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"));
    done->setDefault(true);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttonRow({done}));
}

void CurrentScanSetPanel::load()
{
    // Through the book, so that the labels start empty even where a reply
    // wrote them before the window existed.
    for (const QString &label : valueLabels())
        m_ctx.controls.setText(win::frmCurrentScanSet, label, QString());
}

void CurrentScanSetPanel::activate() { m_ctx.send(cmd::readCurrentScanSet()); }

} // namespace tvk
