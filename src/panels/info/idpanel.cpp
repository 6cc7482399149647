#include "panels/info/idpanel.h"
#include "base/windownames.h"
#include "base/monitorfamily.h"

#include "panels/widgetlayout.h"
#include "core/replies/identity.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPushButton>

namespace tvk {

IdPanel::IdPanel(const PanelContext &context) : Panel(context, win::frmID, QStringLiteral("Model & Serial Numbers"))
{
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    int row = 0;
    for (const NumberSlot &slot : numberSlots()) {
        auto *caption = new QLabel(QString::fromLatin1(slot.caption), this);
        caption->setObjectName(slot.idLabel + QStringLiteral("Caption"));
        auto *value = new QLabel(this);
        value->setObjectName(slot.idLabel);
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        value->setMinimumWidth(100);
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(value, row, 1);
        if (slot.perUnit)
            m_unitWidgets << caption << value;
        ++row;
    }
    grid->setColumnStretch(1, 1);

    QPushButton *done =
        makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"), QStringLiteral("DIsmiss This Window"));
    done->setDefault(true);
    // Done stays at the bottom of the panel whatever its height.
    setBodyAndButtons(grid, buttonRow({done}));
}

void IdPanel::activate()
{
    const MonitorFamily family = monitorFamily(m_ctx.data.MonitorType);
    if (family == MonitorFamily::Early) {
        m_ctx.send(cmd::readModelNumber());
        m_ctx.send(cmd::readSerialNumber());
    } else if (family == MonitorFamily::Mdi) {
        m_ctx.send(cmd::readModelNumber(u"s"));
        m_ctx.send(cmd::readSerialNumber(u"s"));
    }
    if (m_ctx.data.MdiMonitor) {
        showUnitRows(true);
        for (const QString &command : perUnitReadCommands())
            m_ctx.send(command);
    } else {
        showUnitRows(false);
    }
}

void IdPanel::showUnitRows(bool shown)
{
    m_unitRowsShown = shown;
    for (QWidget *w : std::as_const(m_unitWidgets))
        w->setVisible(shown);
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    QWidget *target = frame ? static_cast<QWidget *>(frame) : this;
    if (target->isMaximized() || target->isMinimized())
        return;
    // The rows' minimum size changes first, so that the short height is
    // not held up by the hidden rows.
    layout()->activate();
    if (frame && frame->layout())
        frame->layout()->activate();
    WidgetLayoutTarget(target).setHeight(shown ? kTallHeightTwips : kShortHeightTwips);
}

} // namespace tvk
