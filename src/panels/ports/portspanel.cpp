#include "panels/ports/portspanel.h"

#include "base/windownames.h"
#include "core/ports/portpickermodel.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace tvk {

PortsPanel::PortsPanel(const PanelContext &context, PortMappingStore &portMap)
    : Panel(context, win::frmPorts, QStringLiteral("Serial Ports"))
    , m_model(new PortPickerModel(portMap, this))
    , m_table(new QTableView(this))
    , m_portMap(portMap)
{
    m_table->setObjectName(QStringLiteral("grdPorts"));
    m_table->setAccessibleName(QStringLiteral("Serial ports of this computer"));
    m_table->setModel(m_model);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->verticalHeader()->hide();
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    // Wide enough for every column of a typical adapter without scrolling.
    m_table->setMinimumSize(m_table->fontMetrics().averageCharWidth() * 110,
                            m_table->fontMetrics().lineSpacing() * 9);

    auto *grid = new QGridLayout;
    for (int i = 0; i < kPorts; ++i) {
        auto *label = new QLabel(QStringLiteral("Com%1:").arg(i + 1), this);
        auto *choice = new QComboBox(this);
        choice->setObjectName(QStringLiteral("cboDevice_%1").arg(i));
        choice->setAccessibleName(QStringLiteral("Device of Com%1").arg(i + 1));
        choice->setToolTip(QStringLiteral("Choose a device for Com%1, or type its path and press Enter.").arg(i + 1));
        choice->setEditable(true);
        choice->setInsertPolicy(QComboBox::NoInsert);
        choice->setMinimumContentsLength(28);
        choice->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        label->setBuddy(choice);
        auto *state = new QLabel(this);
        state->setObjectName(QStringLiteral("lblState_%1").arg(i));
        state->setAccessibleName(QStringLiteral("State of Com%1").arg(i + 1));
        grid->addWidget(label, i, 0);
        grid->addWidget(choice, i, 1);
        grid->addWidget(state, i, 2);
        m_choice[i] = choice;
        m_state[i] = state;
        connect(choice, &QComboBox::activated, this, [this, i](int item) {
            if (m_filling)
                return;
            const QVariant row = m_choice[i]->itemData(item);
            if (row.isValid())
                pickListed(i, row.toInt());
            else
                commitTyped(i);
        });
        connect(choice->lineEdit(), &QLineEdit::editingFinished, this, [this, i] {
            if (!m_filling)
                commitTyped(i);
        });
    }
    grid->setColumnStretch(1, 1);

    QPushButton *refresh = makeButton(QStringLiteral("btnRefresh"), QStringLiteral("Refresh"),
                                      QStringLiteral("Look for serial ports again."));
    QPushButton *done = makeHideButton(QStringLiteral("btnDone"), QStringLiteral("Done"), QStringLiteral("Close Window"));
    connect(refresh, &QPushButton::clicked, this, &PortsPanel::refresh);

    auto *body = new QVBoxLayout;
    body->addWidget(m_table, 1);
    body->addLayout(grid);
    setBodyAndButtons(body, buttonRow({refresh, done}));

    connect(m_model, &QAbstractItemModel::modelReset, this, &PortsPanel::fillChoices);
    fillChoices();
}

void PortsPanel::activate() { refresh(); }

void PortsPanel::refresh() { m_model->refresh(); }

void PortsPanel::fillChoices()
{
    m_filling = true;
    const QList<PortPickerEntry> &entries = m_model->entries();
    for (int i = 0; i < kPorts; ++i) {
        QComboBox *choice = m_choice[i];
        choice->clear();
        for (int row = 0; row < entries.size(); ++row) {
            const PortPickerEntry &e = entries[row];
            QString text = e.port.device;
            if (!e.port.description.isEmpty())
                text += QStringLiteral("  (") + e.port.description + u')';
            choice->addItem(text, row);
        }
        const int current = m_model->rowForPort(i + 1);
        if (current >= 0)
            choice->setCurrentIndex(current);
        else
            choice->setEditText(m_portMap.resolve(i + 1));
        choice->lineEdit()->setCursorPosition(0); // the start of a long path, not its end
        m_state[i]->setText(m_model->portState(i + 1));
    }
    m_table->resizeColumnsToContents();
    m_filling = false;
}

void PortsPanel::pickListed(int index, int row) { m_model->choose(index + 1, row); }

void PortsPanel::commitTyped(int index)
{
    QString typed = m_choice[index]->currentText().trimmed();
    // A listed item as shown ("device  (description)") stands for its device.
    const int item = m_choice[index]->findText(typed);
    if (item >= 0) {
        pickListed(index, m_choice[index]->itemData(item).toInt());
        return;
    }
    if (typed.isEmpty() || typed == m_portMap.resolve(index + 1))
        return;
    m_model->chooseDevice(index + 1, typed);
}

} // namespace tvk
