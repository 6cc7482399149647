#include "panels/diag/peekpokepanel.h"
#include "base/diagnames.h"
#include "base/windownames.h"

#include "core/diag/memoryreplies.h"
#include "protocol/commands.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QStyle>

namespace tvk {

PeekPokePanel::PeekPokePanel(const PanelContext &context) : Panel(context, win::frmPeekPoke, QStringLiteral("Peek & Poke"))
{
    auto *grid = new QGridLayout;
    auto box = [this](const QString &name, const char *initial, const char *caption) {
        auto *edit = new QLineEdit(QString::fromLatin1(initial), this);
        edit->setObjectName(name);
        edit->setAccessibleName(QString::fromLatin1(caption));
        edit->setMaximumWidth(110);
        return edit;
    };
    auto caption = [this](const char *text, QWidget *buddy) {
        auto *label = new QLabel(QString::fromLatin1(text), this);
        label->setBuddy(buddy);
        return label;
    };

    QLineEdit *address = box(ctl::AddressBox, "", "Address (Hex)");
    QPushButton *setAddress = makeButton(QStringLiteral("brnWriteAddr"), QStringLiteral("Set Address"),
                                         QStringLiteral("Load the PeekPoke Address Register"));
    QPushButton *up = makeButton(QStringLiteral("btnAddrUp"), QString(), QStringLiteral("Next address"));
    QPushButton *down = makeButton(QStringLiteral("btnAddrDown"), QString(), QStringLiteral("Previous address"));
    up->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    down->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    up->setAccessibleName(QStringLiteral("Address up"));
    down->setAccessibleName(QStringLiteral("Address down"));
    grid->addWidget(caption("Address (Hex)", address), 0, 0);
    grid->addWidget(address, 0, 1);
    grid->addWidget(setAddress, 0, 2);
    grid->addWidget(up, 0, 3);
    grid->addWidget(down, 0, 4);

    QLineEdit *byte = box(ctl::DataByteBox, "0xXX", "Data Byte (Hex)");
    QPushButton *readByte = makeButton(QStringLiteral("btnReadByte"), QStringLiteral("Read"));
    QPushButton *writeByte = makeButton(QStringLiteral("DataByteWriteButton"), QStringLiteral("Write"));
    grid->addWidget(caption("Data Byte (Hex)", byte), 1, 0);
    grid->addWidget(byte, 1, 1);
    grid->addWidget(readByte, 1, 2);
    grid->addWidget(writeByte, 1, 3, 1, 2);

    QLineEdit *word = box(ctl::DataWordBox, "0xXXXX", "Data Word (Hex)");
    QPushButton *readWord = makeButton(QStringLiteral("btnReadWord"), QStringLiteral("Read"));
    QPushButton *writeWord = makeButton(QStringLiteral("DataWordWriteButton"), QStringLiteral("Write"));
    grid->addWidget(caption("Data Word (Hex)", word), 2, 0);
    grid->addWidget(word, 2, 1);
    grid->addWidget(readWord, 2, 2);
    grid->addWidget(writeWord, 2, 3, 1, 2);

    QLineEdit *character = box(ctl::txtDataChar, "", "Data Char");
    character->setReadOnly(true);
    QPushButton *readChar = makeButton(QStringLiteral("btnReadChar"), QStringLiteral("Read"));
    grid->addWidget(caption("Data Char", character), 3, 0);
    grid->addWidget(character, 3, 1);
    grid->addWidget(readChar, 3, 2);

    for (QPushButton *b : {readByte, writeByte, readWord, writeWord, readChar})
        b->setAccessibleName(b->text() + QLatin1Char(' ')
                             + (b == readChar ? QStringLiteral("character")
                                              : b == readByte || b == writeByte ? QStringLiteral("byte")
                                                                                : QStringLiteral("word")));

    QPushButton *ok = makeHideButton(QStringLiteral("btnOK"), QStringLiteral("OK"), QStringLiteral("Dismiss Thi Window"));
    setBodyAndButtons(grid, buttonRow({ok}));

    connect(setAddress, &QPushButton::clicked, this, &PeekPokePanel::setAddress);
    connect(address, &QLineEdit::returnPressed, this, &PeekPokePanel::setAddress);
    connect(up, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::addressUp()); });
    connect(down, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::addressDown()); });
    // Page Up and Page Down step the address register as the arrows do.
    auto *pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    auto *pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this, nullptr, nullptr, Qt::WidgetWithChildrenShortcut);
    connect(pageUp, &QShortcut::activated, up, &QPushButton::click);
    connect(pageDown, &QShortcut::activated, down, &QPushButton::click);
    connect(readByte, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::readByte()); });
    connect(readWord, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::readWord()); });
    connect(readChar, &QPushButton::clicked, this, [this] { m_ctx.send(cmd::readChar()); });
    connect(writeByte, &QPushButton::clicked, this, &PeekPokePanel::writeByte);
    connect(writeWord, &QPushButton::clicked, this, &PeekPokePanel::writeWord);
}

namespace {
// The checked value of a box, or nothing after telling the user why.
std::optional<QString> checkedValue(const PanelContext &context, QLineEdit *box, HexWidth width, const char *what)
{
    const HexCheck check = CheckHexValue(box->text(), width, QString::fromLatin1(what));
    if (!check.value)
        context.messages.message(check.problem);
    return check.value;
}
} // namespace

void PeekPokePanel::setAddress()
{
    if (const auto value = checkedValue(m_ctx, findChild<QLineEdit *>(ctl::AddressBox),
                                        HexWidth::Address, "address"))
        m_ctx.send(cmd::setAddress(*value));
}

void PeekPokePanel::writeByte()
{
    if (const auto value = checkedValue(m_ctx, findChild<QLineEdit *>(ctl::DataByteBox),
                                        HexWidth::Byte, "data byte"))
        m_ctx.send(cmd::writeByte(*value));
}

void PeekPokePanel::writeWord()
{
    if (const auto value = checkedValue(m_ctx, findChild<QLineEdit *>(ctl::DataWordBox),
                                        HexWidth::Word, "data word"))
        m_ctx.send(cmd::writeWord(*value));
}

} // namespace tvk
