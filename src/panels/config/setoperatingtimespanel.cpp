#include "panels/config/setoperatingtimespanel.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "core/replies/operatingtime.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tvk {

SetOperatingTimesPanel::SetOperatingTimesPanel(const PanelContext &context)
    : Panel(context, win::frmSetOperatingTimes, QStringLiteral("Set Operating Times"))
{
    auto *grid = new QGridLayout;
    auto *serialCaption = new QLabel(QStringLiteral("Serial Number:"), this);
    serialCaption->setObjectName(QStringLiteral("lblSerialNumber"));
    auto *serialValue = new QLabel(this);
    serialValue->setObjectName(ctl::lblSerialNumberValue);
    grid->addWidget(serialCaption, 0, 0);
    grid->addWidget(serialValue, 0, 1, 1, 2);

    const auto &fields = operatingFields();
    for (int i = 0; i < int(fields.size()); ++i) {
        const OperatingField &f = fields[size_t(i)];
        auto *caption = new QLabel(f.caption, this);
        caption->setObjectName(QStringLiteral("lbl") + QString(f.box).remove(QStringLiteral("TextBox")));
        auto *box = new QLineEdit(this);
        box->setObjectName(f.box);
        caption->setBuddy(box);
        auto *set = new QPushButton(QStringLiteral("Set"), this);
        set->setObjectName(f.button);
        grid->addWidget(caption, i + 1, 0);
        grid->addWidget(box, i + 1, 1);
        grid->addWidget(set, i + 1, 2);
        m_boxes[size_t(i)] = box;
        connect(box, &QLineEdit::editingFinished, this, [this, i] { checkBox(i); });
        connect(set, &QPushButton::clicked, this, [this, i] { setField(i); });
    }

    setBodyAndButtons(grid, buttonRow({makeHideButton(QStringLiteral("CloseButton"), QStringLiteral("Close"))}));
}

void SetOperatingTimesPanel::activate()
{
    m_ctx.controls.setText(name(), ctl::lblSerialNumberValue, m_ctx.data.SerialNumber);
    m_ctx.send(cmd::readOperatingTime());
}

bool SetOperatingTimesPanel::checkBox(int field)
{
    const OperatingField &f = operatingFields().at(size_t(field));
    QLineEdit *box = m_boxes.at(size_t(field));
    if (IsOperatingEntryAcceptable(f, box->text()))
        return true;
    // The box is emptied before the message box takes the focus, so leaving
    // it once more while the message is up finds nothing left to refuse.
    box->clear();
    if (!m_checking) {
        m_checking = true;
        m_ctx.messages.message(operatingEntryMessage(f));
        m_checking = false;
    }
    return false;
}

void SetOperatingTimesPanel::setField(int field)
{
    // Normally the box was checked when the focus moved to the button; a
    // button pressed from the keyboard still finds an entry unchecked.
    if (!checkBox(field))
        return;
    const OperatingField &f = operatingFields().at(size_t(field));
    const QString text = m_boxes.at(size_t(field))->text().trimmed();
    // An empty set command would reach the monitor's counter: send nothing.
    if (text.isEmpty())
        return;
    m_ctx.send(cmd::setOperating(f.command, text));
}

} // namespace tvk
