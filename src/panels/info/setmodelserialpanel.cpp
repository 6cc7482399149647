#include "panels/info/setmodelserialpanel.h"
#include "base/windownames.h"

#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QRegularExpressionValidator>

namespace tvk {

namespace {

// Printable ASCII except '"' (0x22), '#' (0x23) and '$' (0x24).
const QRegularExpression kNumberPattern(QStringLiteral("[\\x20\\x21\\x25-\\x7E]*"));

} // namespace

bool SetModelSerialPanel::isAcceptableNumber(const QString &text)
{
    return kNumberPattern.match(text, 0, QRegularExpression::NormalMatch,
                                QRegularExpression::AnchorAtOffsetMatchOption)
               .capturedLength()
        == text.size();
}

SetModelSerialPanel::SetModelSerialPanel(const PanelContext &context, AppShell &shell)
    : Panel(context, win::frmSetModelAndSerialNumber, QStringLiteral("Set Model and Serial Number"))
    , m_shell(shell)
{
    auto *grid = new QGridLayout;
    grid->setVerticalSpacing(2);
    int row = 0;
    for (const NumberSlot &slot : numberSlots()) {
        auto *caption = new QLabel(QString::fromLatin1(slot.caption), this);
        caption->setObjectName(slot.setBox + QStringLiteral("Caption"));
        auto *box = new QLineEdit(this);
        box->setObjectName(slot.setBox);
        box->setValidator(new QRegularExpressionValidator(kNumberPattern, box));
        auto *button = new QPushButton(QStringLiteral("Set"), this);
        button->setObjectName(QString::fromLatin1(slot.setButton));
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(box, row, 1);
        grid->addWidget(button, row, 2);
        if (slot.perUnit)
            m_unitWidgets << caption << box << button;
        m_setButtons << button;
        const NumberSlot *s = &slot; // the table lives for the whole program
        connect(button, &QPushButton::clicked, this, [this, s] { setNumber(*s); });
        connect(box, &QLineEdit::returnPressed, this, [this, s] { setNumber(*s); });
        ++row;
    }
    grid->setColumnStretch(1, 1);

    setBodyAndButtons(grid, buttonRow({makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"))}));

    connect(&shell, &AppShell::appModeChanged, this, &SetModelSerialPanel::updateButtons);
    updateButtons();
}

void SetModelSerialPanel::updateButtons()
{
    const bool factory = m_shell.AppMode() == FactoryMode;
    for (QPushButton *b : std::as_const(m_setButtons))
        b->setEnabled(factory);
}

void SetModelSerialPanel::activate()
{
    m_ctx.send(cmd::readModelNumber(u"s"));
    m_ctx.send(cmd::readSerialNumber(u"s"));
    showUnitRows(m_ctx.data.MdiMonitor);
    if (m_ctx.data.MdiMonitor) {
        for (const QString &command : perUnitReadCommands())
            m_ctx.send(command);
    }
}

void SetModelSerialPanel::showUnitRows(bool shown)
{
    m_unitRowsShown = shown;
    for (QWidget *w : std::as_const(m_unitWidgets))
        w->setVisible(shown);
    // Grow the frame when the rows need more room than it has.
    auto *frame = qobject_cast<QMdiSubWindow *>(parentWidget());
    if (!frame || frame->isMaximized() || frame->isMinimized())
        return;
    layout()->activate();
    const QSize needed = frame->sizeHint();
    if (frame->height() < needed.height())
        frame->resize(frame->width(), needed.height());
}

bool SetModelSerialPanel::setNumber(const NumberSlot &slot)
{
    if (m_shell.AppMode() != FactoryMode)
        return false;
    auto *box = findChild<QLineEdit *>(slot.setBox);
    if (!box)
        return false;
    const QString text = box->text().trimmed();
    if (text.isEmpty() || !isAcceptableNumber(text))
        return false;
    const QString unit = QString(QLatin1Char(slot.unit));
    if (slot.kind == NumberKind::Model) {
        m_ctx.send(cmd::setModelNumber(unit, text));
        m_ctx.send(cmd::readModelNumber(unit));
    } else {
        m_ctx.send(cmd::setSerialNumber(unit, text));
        m_ctx.send(cmd::readSerialNumber(unit));
    }
    return true;
}

} // namespace tvk
