#include "panels/compare/comparewindow.h"

#include "base/windownames.h"
#include "base/dialogs.h"
#include "link/connector.h"
#include "model/fullread.h"
#include "core/dacfile.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace tvk {

namespace {

enum Column { ColWrite, ColScanSet, ColChannel, ColFirstValue };
constexpr int kColumns = ColFirstValue + 6;

QString valueText(const std::optional<int> &v) { return v ? QString::number(*v) : QStringLiteral("-"); }

template <class W>
W *named(W *w, const char *name, const QString &accessible)
{
    w->setObjectName(QString::fromLatin1(name));
    w->setAccessibleName(accessible);
    return w;
}

} // namespace

CompareWindow::CompareWindow(const PanelContext &context, const MonitorLine &line, const FullRead &fullRead,
                             FileDialogs &dialogs, const QString &fileFolder)
    : Panel(context, win::frmCompare, QStringLiteral("Compare Settings"))
    , m_line(line)
    , m_fullRead(fullRead)
    , m_dialogs(dialogs)
    , m_fileFolder(fileFolder)
    , m_read(new SettingsRead(line, this))
    , m_restore(new SettingsRestore(line, this))
{
    m_warning = named(new QLabel(this), "lblWarning", QStringLiteral("Warning"));
    m_warning->setWordWrap(true);
    m_warning->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
    m_warning->hide();
    m_heading = named(new QLabel(QStringLiteral("Nothing compared yet."), this), "lblHeading",
                      QStringLiteral("Compared"));
    m_heading->setWordWrap(true);
    m_summary = named(new QLabel(this), "lblSummary", QStringLiteral("Summary"));
    m_summary->setWordWrap(true);
    QFont bold = m_summary->font();
    bold.setBold(true);
    m_summary->setFont(bold);

    m_table = named(new QTableWidget(0, kColumns, this), "tblChanges", QStringLiteral("Channels"));
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(false);
    m_table->setMinimumSize(560, 150);
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (item->column() != ColWrite || !(item->flags() & Qt::ItemIsUserCheckable))
            return;
        const QString k = item->data(Qt::UserRole).toString();
        if (item->checkState() == Qt::Checked)
            m_unticked.remove(k);
        else
            m_unticked.insert(k);
        updateButtons();
    });

    m_showEqual = named(new QCheckBox(QStringLiteral("Show equal channels"), this), "ckShowEqual",
                        QStringLiteral("Show equal channels"));
    connect(m_showEqual, &QCheckBox::toggled, this, [this] { fillTable(); });
    m_scanSetChoice = named(new QComboBox(this), "cboScanSet", QStringLiteral("Scan set to tick"));
    m_scanSetChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_groupChoice = named(new QComboBox(this), "cboGroup", QStringLiteral("Group to tick"));
    m_groupChoice->addItem(QStringLiteral("All groups"), -1);
    for (const DacGroupDesc &g : kDacGroups)
        if (isReadableGroup(g.id))
            m_groupChoice->addItem(QStringLiteral("Group ") + QLatin1String(g.letter), int(g.id));
    m_tick = named(makeButton(QStringLiteral("btnTick"), QStringLiteral("Tick")), "btnTick",
                   QStringLiteral("Tick the channels of the chosen scan set and group"));
    m_untick = named(makeButton(QStringLiteral("btnUntick"), QStringLiteral("Untick")), "btnUntick",
                     QStringLiteral("Untick the channels of the chosen scan set and group"));
    connect(m_tick, &QPushButton::clicked, this, [this] { tickMatching(true); });
    connect(m_untick, &QPushButton::clicked, this, [this] { tickMatching(false); });

    m_initial = named(new QCheckBox(QStringLiteral("Also restore the initial (power-on) settings"), this),
                      "ckInitial", QStringLiteral("Also restore the initial settings"));
    connect(m_initial, &QCheckBox::toggled, this, [this] { updateButtons(); });
    auto *note = named(new QLabel(QStringLiteral("Initial settings are restored only when this is ticked. "
                                                 "Factory settings are never written."),
                                  this),
                       "lblInitialNote", QStringLiteral("Note"));
    note->setWordWrap(true);

    m_progress = named(new QProgressBar(this), "prgWrite", QStringLiteral("Progress"));
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    m_write = named(makeButton(QStringLiteral("btnWrite"), QStringLiteral("Write to Monitor")), "btnWrite",
                    QStringLiteral("Write to Monitor"));
    m_cancel = named(makeButton(QStringLiteral("btnCancel"), QStringLiteral("Cancel")), "btnCancel",
                     QStringLiteral("Cancel"));
    QPushButton *close = makeHideButton(QStringLiteral("btnClose"), QStringLiteral("Close"));
    close->setAccessibleName(QStringLiteral("Close"));
    connect(m_write, &QPushButton::clicked, this, &CompareWindow::write);
    connect(m_cancel, &QPushButton::clicked, this, [this] {
        m_read->cancel();
        m_restore->cancel();
    });
    m_result = named(new QLabel(this), "lblResult", QStringLiteral("Result"));
    m_result->setWordWrap(true);
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);

    connect(m_read, &SettingsRead::progress, this, [this](int done, int total) {
        m_progress->setRange(0, std::max(1, total));
        m_progress->setValue(done);
    });
    connect(m_read, &SettingsRead::finished, this, &CompareWindow::onReadFinished);
    connect(m_read, &SettingsRead::failed, this, [this](const QString &reason) {
        m_result->setText(QStringLiteral("Reading the monitor stopped: ") + reason + u'.');
        updateButtons();
    });
    connect(m_read, &SettingsRead::cancelled, this, [this] {
        m_result->setText(QStringLiteral("Reading the monitor was cancelled."));
        updateButtons();
    });
    connect(m_restore, &SettingsRestore::progress, this, [this](int done, int total) {
        m_progress->setRange(0, std::max(1, total));
        m_progress->setValue(done);
        m_result->setText(QStringLiteral("Writing: %1 of %2 ...").arg(done).arg(total));
    });
    connect(m_restore, &SettingsRestore::finished, this, &CompareWindow::onRestoreFinished);
    connect(&line.connector, &Connector::stateEntered, this, [this] { updateButtons(); });

    auto *ticks = new QHBoxLayout;
    ticks->addWidget(m_showEqual);
    ticks->addStretch();
    ticks->addWidget(m_scanSetChoice);
    ticks->addWidget(m_groupChoice);
    ticks->addWidget(m_tick);
    ticks->addWidget(m_untick);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_warning);
    layout->addWidget(m_heading);
    layout->addWidget(m_summary);
    layout->addWidget(m_table, 1);
    layout->addLayout(ticks);
    layout->addWidget(m_initial);
    layout->addWidget(note);
    layout->addWidget(m_progress);
    layout->addWidget(m_result);
    layout->addLayout(buttonRow({m_write, m_cancel, close}));
    resize(820, 520);
    updateButtons();
}

QString CompareWindow::fullReadRunningText()
{
    return QStringLiteral("The monitor is being read (Update All Data or Save As). "
                          "Compare or write once that has finished.");
}

QString CompareWindow::key(int scanSet, DacGroupId group, int channel)
{
    return QStringLiteral("%1:%2:%3").arg(scanSet).arg(int(group)).arg(channel);
}

std::optional<QString> CompareWindow::askForFile(const QString &title)
{
    FileDialogOptions options;
    options.title = title;
    options.filter = kMdfOpenFilter;
    options.initialDir = m_fileFolder;
    options.mustExist = true;
    return m_dialogs.openFile(options);
}

std::optional<SettingsImage> CompareWindow::load(const QString &path)
{
    const ImageFileResult r = readSettingsFile(path);
    if (!r.image)
        m_ctx.messages.message(r.error);
    return r.image;
}

void CompareWindow::setBusy(const QString &what)
{
    m_result->setText(what);
    m_progress->setRange(0, 1);
    m_progress->setValue(0);
    updateButtons();
}

void CompareWindow::compareWithMonitor()
{
    if (isBusy())
        return;
    if (const auto path = askForFile(QStringLiteral("Compare with Monitor")))
        compareWithMonitor(*path);
}

void CompareWindow::compareTwoFiles()
{
    if (isBusy())
        return;
    const auto left = askForFile(QStringLiteral("Compare Two Files: the first file"));
    if (!left)
        return;
    if (const auto right = askForFile(QStringLiteral("Compare Two Files: the second file")))
        compareFiles(*left, *right);
}

void CompareWindow::compareWithFactory()
{
    if (isBusy())
        return;
    if (const auto path = askForFile(QStringLiteral("Changes from Factory Settings")))
        compareWithFactory(*path);
}

void CompareWindow::compareWithMonitor(const QString &path)
{
    if (isBusy())
        return;
    if (!m_ctx.online()) {
        m_ctx.messages.message(QStringLiteral("No monitor is online: connect one to compare it with a file."));
        return;
    }
    if (m_fullRead.isRunning()) {
        m_ctx.messages.message(fullReadRunningText());
        return;
    }
    auto file = load(path);
    if (!file)
        return;
    m_mode = Mode::FileWithMonitor;
    m_left = file;
    m_right.reset();
    m_comparison = SettingsComparison{};
    m_unticked.clear();
    m_heading->setText(QStringLiteral("Comparing %1 with the monitor ...").arg(file->source));
    fillTable();
    SettingsRead::Options o;
    for (const ImageScanSet &s : file->scanSets)
        o.scanSets << s.index;
    o.includeCurrent = false;
    if (!m_read->start(o)) {
        m_result->setText(QStringLiteral("No monitor is online."));
        return;
    }
    setBusy(QStringLiteral("Reading the monitor ..."));
}

void CompareWindow::onReadFinished()
{
    m_right = m_read->image(QStringLiteral("the monitor"));
    m_result->setText(QString());
    m_progress->setValue(m_progress->maximum());
    showComparison();
}

void CompareWindow::compareFiles(const QString &left, const QString &right)
{
    if (isBusy())
        return;
    auto a = load(left);
    if (!a)
        return;
    auto b = load(right);
    if (!b)
        return;
    m_mode = Mode::TwoFiles;
    m_left = a;
    m_right = b;
    m_unticked.clear();
    m_result->setText(QString());
    showComparison();
}

void CompareWindow::compareWithFactory(const QString &path)
{
    if (isBusy())
        return;
    auto file = load(path);
    if (!file)
        return;
    m_mode = Mode::FileWithFactory;
    m_left = file;
    m_right = factoryImage(*file);
    m_unticked.clear();
    m_result->setText(QString());
    showComparison();
}

void CompareWindow::showComparison()
{
    m_comparison = compareSettings(*m_left, *m_right);
    m_heading->setText(m_mode == Mode::FileWithFactory
                           ? QStringLiteral("What was changed from the factory settings in %1").arg(m_left->source)
                           : QStringLiteral("Comparing %1 with %2").arg(m_comparison.leftName, m_comparison.rightName));
    QStringList identity;
    for (const IdentityComparison &id : m_comparison.identity)
        if (!id.left.isEmpty() || !id.right.isEmpty())
            identity << QStringLiteral("%1: %2 | %3").arg(id.caption, id.left.isEmpty() ? QStringLiteral("-") : id.left,
                                                          id.right.isEmpty() ? QStringLiteral("-") : id.right);
    if (m_mode != Mode::FileWithFactory && !identity.isEmpty())
        m_heading->setText(m_heading->text() + u'\n' + identity.join(QStringLiteral("    ")));
    m_warning->setText(m_comparison.warnings.join(u'\n'));
    m_warning->setVisible(!m_comparison.warnings.isEmpty());
    QString summary = m_comparison.summary() + u'.';
    for (int k : m_comparison.scanSetsOnlyLeft)
        summary += u' ' + scanSetLabel(k, m_comparison.titles.value(k)) + QStringLiteral(" only in ") + m_comparison.leftName + u'.';
    for (int k : m_comparison.scanSetsOnlyRight)
        summary += u' ' + scanSetLabel(k, m_comparison.titles.value(k)) + QStringLiteral(" only in ") + m_comparison.rightName + u'.';
    for (const QString &n : m_comparison.notes)
        summary += u' ' + n + u'.';
    m_summary->setText(summary);

    m_scanSetChoice->clear();
    m_scanSetChoice->addItem(QStringLiteral("All scan sets"), -1);
    for (auto it = m_comparison.titles.cbegin(); it != m_comparison.titles.cend(); ++it)
        m_scanSetChoice->addItem(scanSetLabel(it.key(), it.value()), it.key());
    fillTable();
    updateButtons();
}

void CompareWindow::fillTable()
{
    const QSignalBlocker blocker(m_table);
    m_table->setRowCount(0);
    const QString left = m_mode == Mode::TwoFiles ? QStringLiteral("First") : QStringLiteral("File");
    const QString right = m_mode == Mode::FileWithMonitor ? QStringLiteral("Monitor")
        : m_mode == Mode::TwoFiles                       ? QStringLiteral("Second")
                                                          : QStringLiteral("Factory");
    QStringList headers{QStringLiteral("Write"), QStringLiteral("Scan Set"), QStringLiteral("Channel")};
    for (const char *table : {"present", "factory", "initial"})
        headers << left + u' ' + QLatin1String(table) << right + u' ' + QLatin1String(table);
    m_table->setHorizontalHeaderLabels(headers);

    const bool writable = m_mode == Mode::FileWithMonitor;
    for (const ChannelComparison &c : m_comparison.channels) {
        if (c.state == ChannelComparison::State::Same && !m_showEqual->isChecked())
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        auto *tick = new QTableWidgetItem;
        tick->setFlags(Qt::ItemIsEnabled);
        if (writable && c.state == ChannelComparison::State::Differs && c.presentDiffers()) {
            const QString k = key(c.scanSet, c.group, c.channel);
            tick->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
            tick->setCheckState(m_unticked.contains(k) ? Qt::Unchecked : Qt::Checked);
            tick->setData(Qt::UserRole, k);
            tick->setData(Qt::AccessibleTextRole, QStringLiteral("Write ") + c.name);
        }
        m_table->setItem(row, ColWrite, tick);
        m_table->setItem(row, ColScanSet, new QTableWidgetItem(QString::number(c.scanSet + 1)));
        m_table->setItem(row, ColChannel, new QTableWidgetItem(channelLabel(c.group, c.name)));
        for (int t = 0; t < 3; ++t) {
            auto *l = new QTableWidgetItem(valueText(c.left[t]));
            auto *r = new QTableWidgetItem(valueText(c.right[t]));
            if (c.state == ChannelComparison::State::OnlyLeft)
                r->setText(QStringLiteral("(none)"));
            if (c.state == ChannelComparison::State::OnlyRight)
                l->setText(QStringLiteral("(none)"));
            if (c.differs[t] || c.state == ChannelComparison::State::OnlyLeft
                || c.state == ChannelComparison::State::OnlyRight) {
                QFont f = l->font();
                f.setBold(true);
                l->setFont(f);
                r->setFont(f);
                l->setBackground(QColor(255, 236, 200));
                r->setBackground(QColor(255, 236, 200));
            }
            m_table->setItem(row, ColFirstValue + 2 * t, l);
            m_table->setItem(row, ColFirstValue + 2 * t + 1, r);
        }
    }
    m_table->resizeColumnsToContents();
}

void CompareWindow::tickMatching(bool on)
{
    const int scanSet = m_scanSetChoice->currentData().isValid() ? m_scanSetChoice->currentData().toInt() : -1;
    const int group = m_groupChoice->currentData().toInt();
    for (const ChannelComparison &c : m_comparison.channels) {
        if ((scanSet >= 0 && c.scanSet != scanSet) || (group >= 0 && int(c.group) != group))
            continue;
        const QString k = key(c.scanSet, c.group, c.channel);
        if (on)
            m_unticked.remove(k);
        else
            m_unticked.insert(k);
    }
    fillTable();
    updateButtons();
}

void CompareWindow::write()
{
    if (m_mode != Mode::FileWithMonitor || !m_left || !m_right || isBusy())
        return;
    RestoreOptions options;
    options.initial = m_initial->isChecked();
    options.ticked = [this](int scanSet, DacGroupId group, int channel) {
        return !m_unticked.contains(key(scanSet, group, channel));
    };
    if (m_fullRead.isRunning()) {
        m_ctx.messages.message(fullReadRunningText());
        return;
    }
    const RestorePlan plan = planRestore(*m_left, *m_right, options);
    if (plan.isEmpty()) {
        QString text = QStringLiteral("Nothing to write.");
        for (const QString &s : plan.skipped)
            text += QStringLiteral("\nNot sent: ") + s;
        m_result->setText(text);
        return;
    }
    if (!m_restore->start(plan)) {
        m_result->setText(QStringLiteral("No monitor is online."));
        return;
    }
    setBusy(QStringLiteral("Writing: 0 of %1 ...").arg(plan.total()));
}

void CompareWindow::onRestoreFinished(const RestoreResult &r)
{
    // What the monitor holds now: the values read back.
    QList<int> scanSets;
    for (const ImageScanSet &s : m_right->scanSets)
        scanSets << s.index;
    m_right = imageFromMonitor(m_line.data, m_line.scanSets, scanSets, QStringLiteral("the monitor"));
    showComparison();
    QString text = r.summary() + u'.';
    for (const QString &s : r.stillDiffer)
        text += QStringLiteral("\nStill differs: ") + s;
    for (const QString &s : r.notWritten)
        text += QStringLiteral("\nNot written: ") + s;
    for (const QString &s : r.skipped)
        text += QStringLiteral("\nNot sent: ") + s;
    m_result->setText(text);
    m_progress->setValue(r.written);
    updateButtons();
}

void CompareWindow::updateButtons()
{
    const bool busy = isBusy();
    bool anyTicked = false;
    if (m_mode == Mode::FileWithMonitor)
        for (const ChannelComparison &c : m_comparison.channels)
            if (c.state == ChannelComparison::State::Differs && c.presentDiffers()
                && !m_unticked.contains(key(c.scanSet, c.group, c.channel)))
                anyTicked = true;
    const bool initialDiffers = m_mode == Mode::FileWithMonitor
        && std::any_of(m_comparison.channels.begin(), m_comparison.channels.end(),
                       [](const ChannelComparison &c) { return c.differs[2]; });
    m_write->setEnabled(!busy && m_ctx.online() && m_mode == Mode::FileWithMonitor && m_right
                        && (anyTicked || (initialDiffers && m_initial->isChecked())));
    m_cancel->setEnabled(busy);
    m_initial->setEnabled(!busy && m_mode == Mode::FileWithMonitor);
    m_tick->setEnabled(!busy && m_mode == Mode::FileWithMonitor);
    m_untick->setEnabled(!busy && m_mode == Mode::FileWithMonitor);
}

} // namespace tvk
