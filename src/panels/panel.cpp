#include "panels/panel.h"

#include <QHBoxLayout>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QVBoxLayout>

namespace tvk {

Panel::Panel(const PanelContext &context, const QString &name, const QString &title, QWidget *parent)
    : QWidget(parent), m_ctx(context)
{
    setObjectName(name);
    setWindowTitle(title);
}

void Panel::hidePanel()
{
    if (auto *sub = qobject_cast<QMdiSubWindow *>(parentWidget()))
        sub->hide();
    else
        hide();
}

QPushButton *Panel::makeButton(const QString &objectName, const QString &caption, const QString &toolTip)
{
    auto *button = new QPushButton(caption, this);
    button->setObjectName(objectName);
    if (!toolTip.isEmpty())
        button->setToolTip(toolTip);
    return button;
}

QPushButton *Panel::makeHideButton(const QString &objectName, const QString &caption, const QString &toolTip)
{
    QPushButton *button = makeButton(objectName, caption, toolTip);
    connect(button, &QPushButton::clicked, this, &Panel::hidePanel);
    return button;
}

QHBoxLayout *Panel::buttonRow(std::initializer_list<QWidget *> buttons)
{
    auto *row = new QHBoxLayout;
    row->addStretch();
    for (QWidget *button : buttons)
        row->addWidget(button);
    return row;
}

void Panel::setBodyAndButtons(QLayout *body, QLayout *buttons)
{
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(body);
    layout->addStretch();
    layout->addLayout(buttons);
}

} // namespace tvk
