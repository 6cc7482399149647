#include "panels/config/scanselectpanel.h"
#include "base/windownames.h"

#include "core/scanselect.h"
#include "panels/accessiblevalue.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace tvk {

namespace {

// An enable box: the user toggles between off and on; "on but greyed" is
// set by the program only. A click on a greyed box clears it.
class EnableBox : public QCheckBox {
public:
    using QCheckBox::QCheckBox;

protected:
    void nextCheckState() override
    {
        setCheckState(checkState() == Qt::Unchecked ? Qt::Checked : Qt::Unchecked);
    }
};

Qt::CheckState stateOf(int mark)
{
    return mark == 1 ? Qt::Checked : mark == 2 ? Qt::PartiallyChecked : Qt::Unchecked;
}

int markOf(Qt::CheckState state)
{
    return state == Qt::Checked ? 1 : state == Qt::PartiallyChecked ? 2 : 0;
}

} // namespace

ScanSelectPanel::ScanSelectPanel(const PanelContext &context, ScanSets &scanSets, InputBox &inputBox)
    : Panel(context, win::frmScanSelect, QStringLiteral("Scan Selection"))
    , m_logic(new ScanSelect(context, scanSets, inputBox, this))
    , m_scanSets(scanSets)
{
    auto *grid = new QGridLayout;
    auto heading = [this](const char *name, const char *text) {
        auto *l = new QLabel(QString::fromLatin1(text), this);
        l->setObjectName(QString::fromLatin1(name));
        QFont f = l->font();
        f.setBold(true);
        l->setFont(f);
        return l;
    };
    grid->addWidget(heading("lblTitleHeading", "Scan Set Title"), 0, 2);
    grid->addWidget(heading("lblEnableHeading", "Enable"), 0, 3, Qt::AlignHCenter);
    grid->addWidget(heading("lblCopyHeading", "Copy DAC Settings"), 0, 4);

    for (int i = 0; i < ScanSets::kCount; ++i) {
        const int row = i + 1;
        auto *label = new QLabel(QStringLiteral("%1").arg(i + 1), this);
        label->setObjectName(QStringLiteral("ScanSetLabel_%1").arg(i));
        auto *choice = new QRadioButton(this);
        choice->setObjectName(ScanSelect::choiceName(i));
        // The logic keeps one option chosen, and can leave none chosen.
        choice->setAutoExclusive(false);
        choice->setToolTip(QStringLiteral("Work on scan set %1").arg(i + 1));
        choice->setAccessibleName(QStringLiteral("Work on scan set %1").arg(i + 1));
        auto *name = new QLabel(this);
        name->setObjectName(QStringLiteral("ScanName_%1").arg(i));
        name->setMinimumWidth(180);
        auto *box = new EnableBox(this);
        box->setObjectName(ScanSelect::boxName(i));
        box->setTristate(true);
        box->setToolTip(QStringLiteral("Scan set %1 is enabled in the monitor").arg(i + 1));
        box->setAccessibleName(QStringLiteral("Scan set %1 enabled").arg(i + 1));
        markReading(name, QStringLiteral("Title of scan set %1").arg(i + 1), QStringLiteral("no title"));

        grid->addWidget(label, row, 0);
        grid->addWidget(choice, row, 1);
        grid->addWidget(name, row, 2);
        grid->addWidget(box, row, 3, Qt::AlignHCenter);
        if (i > 0) {
            auto *copy = new QPushButton(QStringLiteral("Copy 1->%1").arg(i + 1), this);
            copy->setObjectName(QStringLiteral("CopyDAC_%1").arg(i - 1));
            copy->setAccessibleName(QStringLiteral("Copy the DAC settings of scan set 1 to scan set %1").arg(i + 1));
            grid->addWidget(copy, row, 4);
            connect(copy, &QPushButton::clicked, this, [this, i] {
                QGuiApplication::setOverrideCursor(Qt::WaitCursor);
                m_logic->copy(i - 1);
                QGuiApplication::restoreOverrideCursor();
            });
        }
        m_names[size_t(i)] = name;
        m_boxes[size_t(i)] = box;
        connect(choice, &QRadioButton::clicked, this, [this, i] { m_logic->choose(i); });
        connect(box, &QCheckBox::clicked, this, [this, i] { boxClicked(i); });
    }

    QPushButton *deselect = makeButton(QStringLiteral("DeselectButton"), QStringLiteral("DeSelect"));
    QPushButton *rename = makeButton(QStringLiteral("RenameButton"), QStringLiteral("Rename"));
    QPushButton *ok = makeButton(QStringLiteral("ScanSelectOKButton"), QStringLiteral("OK"));
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(deselect);
    buttons->addWidget(rename);
    buttons->addStretch();
    buttons->addWidget(ok);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(deselect, &QPushButton::clicked, m_logic, &ScanSelect::deselect);
    connect(rename, &QPushButton::clicked, m_logic, &ScanSelect::rename);
    connect(ok, &QPushButton::clicked, m_logic, &ScanSelect::ok);
    connect(&scanSets, &ScanSets::titleChanged, this, &ScanSelectPanel::showTitle);
    connect(&scanSets, &ScanSets::markChanged, this, &ScanSelectPanel::showMark);
}

void ScanSelectPanel::load()
{
    for (int i = 0; i < ScanSets::kCount; ++i) {
        showTitle(i, m_scanSets.title(i));
        showMark(i, m_scanSets.mark(i));
    }
    m_logic->load();
}

void ScanSelectPanel::activate() { m_logic->activate(); }

void ScanSelectPanel::showTitle(int index, const QString &title)
{
    if (ScanSets::isValid(index))
        m_names[size_t(index)]->setText(title);
}

void ScanSelectPanel::showMark(int index, int mark)
{
    if (!ScanSets::isValid(index))
        return;
    QCheckBox *box = m_boxes[size_t(index)];
    if (box->checkState() != stateOf(mark))
        box->setCheckState(stateOf(mark));
}

void ScanSelectPanel::boxClicked(int index)
{
    // The new value goes to the marks; their change is the click.
    m_scanSets.setMark(index, markOf(m_boxes[size_t(index)]->checkState()));
}

} // namespace tvk
