#include "core/clisession.h"

#include "core/appcore.h"
#include "core/dacfile.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace tvk {

SettingsImage filterImage(const SettingsImage &image, const QList<DacGroupId> &groups, const QList<int> &scanSets)
{
    SettingsImage out = image;
    out.scanSets.clear();
    for (const ImageScanSet &s : image.scanSets) {
        if (!scanSets.isEmpty() && !scanSets.contains(s.index))
            continue;
        ImageScanSet kept{s.index, s.title, {}};
        for (const ImageChannel &c : s.channels)
            if (groups.isEmpty() || groups.contains(c.group))
                kept.channels << c;
        out.scanSets << kept;
    }
    return out;
}

CliSession::CliSession(AppCore &core, ConsoleServices &services, const CommandLine &line, Output output,
                       QObject *parent)
    : QObject(parent), m_core(core), m_services(services), m_line(line), m_output(std::move(output))
{
    connect(&core.connector, &Connector::connected, this, &CliSession::onConnected);
    connect(&core.connector, &Connector::cycleFailed, this, [this] {
        if (!m_started)
            finish(exitstatus::NoMonitor, QStringLiteral("No monitor answers on %1.").arg(deviceText()));
    });
}

CliSession::~CliSession() = default;

QString CliSession::deviceText() const { return m_line.thisRunDevice(); }

void CliSession::start()
{
    if (m_line.verb == CommandLine::Verb::Compare || m_line.verb == CommandLine::Verb::Restore) {
        const ImageFileResult r = readSettingsFile(m_line.verbFile);
        if (!r.image) {
            finish(exitstatus::FileRefused, r.error);
            return;
        }
        m_file = filterImage(*r.image, m_line.groups, m_line.scanSets);
        if (m_file->scanSets.isEmpty()) {
            finish(exitstatus::FileRefused,
                   QStringLiteral("The file %1 holds no settings of the scan sets asked for.").arg(m_line.verbFile));
            return;
        }
    }
    LinkGlobals &g = m_core.globals;
    g.CommPort = 1;
    g.ConnectRetryLimit = kConnectTries;
    g.CommLogEcho = false;
    m_core.data.InitMonitorData(g, m_core.settings, &m_core.modelStart);
    g.CommPort = 1; // the model's start reads the stored port: this run uses Com1
    m_core.connector.LoadConnectWindow();
    if (!m_core.link.isPortOpen())
        finish(exitstatus::PortFailed, QStringLiteral("The port %1 cannot be opened.").arg(deviceText()));
}

void CliSession::interrupt()
{
    if (m_done)
        return;
    m_interrupted = true;
    if (m_restore && m_restore->isRunning()) {
        m_restore->cancel();
        return;
    }
    if (m_read && m_read->isRunning()) {
        m_read->cancel();
        return;
    }
    finish(exitstatus::Interrupted, QStringLiteral("Interrupted."));
}

void CliSession::onConnected(bool bootBlock)
{
    if (m_started || m_done)
        return;
    if (bootBlock) {
        finish(exitstatus::NoMonitor,
               QStringLiteral("Only the monitor's boot block answers on %1; its settings cannot be read.")
                   .arg(deviceText()));
        return;
    }
    m_started = true;
    startJob();
}

void CliSession::startJob()
{
    m_read = std::make_unique<SettingsRead>(m_core.monitorLine());
    SettingsRead::Options o;
    switch (m_line.verb) {
    case CommandLine::Verb::Save:
        o.fullRead = true;
        o.titles = true;
        o.scanSets = m_line.scanSets;
        o.includeCurrent = m_line.scanSets.isEmpty();
        break;
    case CommandLine::Verb::Compare:
    case CommandLine::Verb::Restore:
        for (const ImageScanSet &s : m_file->scanSets)
            o.scanSets << s.index;
        o.includeCurrent = false;
        break;
    case CommandLine::Verb::Info:
    case CommandLine::Verb::None:
        o.dacValues = false;
        break;
    }
    connect(m_read.get(), &SettingsRead::progress, this,
            [this](int done, int total) { printProgress(QStringLiteral("Reading"), done, total); });
    connect(m_read.get(), &SettingsRead::finished, this, &CliSession::onReadFinished);
    connect(m_read.get(), &SettingsRead::failed, this, [this](const QString &reason) {
        finish(exitstatus::MonitorLost, QStringLiteral("Reading the monitor stopped: %1.").arg(reason));
    });
    connect(m_read.get(), &SettingsRead::cancelled, this,
            [this] { finish(exitstatus::Interrupted, QStringLiteral("Interrupted; nothing was written.")); });
    if (!m_read->start(o))
        finish(exitstatus::NoMonitor, QStringLiteral("No monitor answers on %1.").arg(deviceText()));
}

void CliSession::onReadFinished()
{
    if (m_interrupted) {
        finish(exitstatus::Interrupted, QStringLiteral("Interrupted; nothing was written."));
        return;
    }
    const MonitorData &d = m_core.data;
    const QString monitorName = QStringLiteral("the monitor on ") + deviceText();
    switch (m_line.verb) {
    case CommandLine::Verb::Info: {
        const int scan = m_read->monitorScanSet();
        const QString title = m_core.scanSets.title(scan);
        if (m_line.json) {
            const QJsonObject o{{QStringLiteral("port"), deviceText()},
                                {QStringLiteral("modelNumber"), d.ModelNumber},
                                {QStringLiteral("serialNumber"), d.SerialNumber},
                                {QStringLiteral("partNumber"), d.PartNumber},
                                {QStringLiteral("firmwareVersion"), d.FirmwareVersion},
                                {QStringLiteral("romVersion"), d.RomVersion},
                                {QStringLiteral("operatingTime"), d.OperatingTimeText},
                                {QStringLiteral("operatingCycles"), d.OperatingCyclesText},
                                {QStringLiteral("scanSet"), scan + 1}};
            print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
        } else {
            QString t;
            const auto row = [&t](const char *caption, const QString &value) {
                t += QStringLiteral("%1 %2\n").arg(QLatin1String(caption), -18).arg(value);
            };
            row("Port:", deviceText());
            row("Model Number:", d.ModelNumber);
            row("Serial Number:", d.SerialNumber);
            row("Part Number:", d.PartNumber);
            row("Firmware Version:", d.FirmwareVersion);
            row("ROM Version:", d.RomVersion);
            row("Operating Time:", d.OperatingTimeText + QStringLiteral(" (d:hh:mm:ss)"));
            row("Operating Cycles:", d.OperatingCyclesText);
            row("Scan Set:", QString::number(scan + 1));
            print(t);
        }
        finish(exitstatus::Done);
        return;
    }
    case CommandLine::Verb::Save: {
        const QList<int> read = m_read->scanSetsRead();
        for (int k = 0; k < ScanSets::kCount; ++k)
            m_core.scanSets.setMark(k, read.contains(k) ? 1 : 0);
        attachFile(m_core.data, m_line.verbFile, false);
        m_services.messages.clear();
        if (!WriteMDF(m_core.mdf())) {
            const QString why = m_services.messages.join(u'\n');
            m_services.messages.clear();
            finish(exitstatus::FileRefused, why);
            return;
        }
        QStringList shown;
        QJsonArray sets;
        for (int k : read) {
            shown << QString::number(k + 1);
            sets.append(k + 1);
        }
        if (m_line.json)
            print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("saved"), m_line.verbFile},
                                                                     {QStringLiteral("port"), deviceText()},
                                                                     {QStringLiteral("scanSets"), sets}})
                                               .toJson(QJsonDocument::Indented)));
        else
            print(QStringLiteral("Saved scan set %1 of %2 to %3\n")
                             .arg(shown.join(QStringLiteral(", ")), monitorName, m_line.verbFile));
        finish(exitstatus::Done);
        return;
    }
    case CommandLine::Verb::Compare:
    case CommandLine::Verb::Restore:
        break;
    case CommandLine::Verb::None:
        finish(exitstatus::Done);
        return;
    }

    const SettingsImage monitor =
        filterImage(m_read->image(monitorName), m_line.groups, m_line.scanSets);
    const SettingsComparison c = compareSettings(*m_file, monitor);
    if (m_line.verb == CommandLine::Verb::Compare) {
        if (m_line.json)
            print(QString::fromUtf8(QJsonDocument(comparisonJson(c)).toJson(QJsonDocument::Indented)));
        else
            print(comparisonText(c));
        finish(c.equal() ? exitstatus::Done : exitstatus::Differs);
        return;
    }

    RestoreOptions options;
    options.initial = m_line.initial;
    options.groups = m_line.groups;
    options.scanSets = m_line.scanSets;
    const RestorePlan plan = planRestore(*m_file, monitor, options);
    if (!m_line.json)
        for (const QString &w : c.warnings)
            m_output.err(QStringLiteral("WARNING: ") + w + u'\n');
    if (plan.isEmpty()) {
        RestoreResult nothing;
        nothing.skipped = plan.skipped;
        onRestoreFinished(nothing);
        return;
    }
    m_restore = std::make_unique<SettingsRestore>(m_core.monitorLine());
    connect(m_restore.get(), &SettingsRestore::progress, this,
            [this](int done, int total) { printProgress(QStringLiteral("Writing"), done, total); });
    connect(m_restore.get(), &SettingsRestore::finished, this, &CliSession::onRestoreFinished);
    if (!m_restore->start(plan))
        finish(exitstatus::MonitorLost, QStringLiteral("The monitor is no longer online."));
}

void CliSession::onRestoreFinished(const RestoreResult &r)
{
    int code = exitstatus::Done;
    if (r.outcome == RestoreResult::Outcome::Cancelled)
        code = exitstatus::Interrupted;
    else if (r.outcome == RestoreResult::Outcome::Failed)
        code = exitstatus::MonitorLost;
    else if (!r.stillDiffer.isEmpty() || !r.skipped.isEmpty())
        code = exitstatus::Differs;
    if (m_line.json) {
        const char *outcome = r.outcome == RestoreResult::Outcome::Done        ? "done"
            : r.outcome == RestoreResult::Outcome::Cancelled                   ? "cancelled"
                                                                               : "failed";
        QJsonObject o{{QStringLiteral("outcome"), QLatin1String(outcome)},
                      {QStringLiteral("summary"), r.summary()},
                      {QStringLiteral("written"), r.written},
                      {QStringLiteral("total"), r.total},
                      {QStringLiteral("stillDiffer"), QJsonArray::fromStringList(r.stillDiffer)},
                      {QStringLiteral("notWritten"), QJsonArray::fromStringList(r.notWritten)},
                      {QStringLiteral("skipped"), QJsonArray::fromStringList(r.skipped)}};
        if (!r.reason.isEmpty())
            o.insert(QStringLiteral("reason"), r.reason);
        print(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Indented)));
    } else {
        QString t = r.summary() + u'\n';
        for (const QString &s : r.stillDiffer)
            t += QStringLiteral("  differs: ") + s + u'\n';
        for (const QString &s : r.notWritten)
            t += QStringLiteral("  not written: ") + s + u'\n';
        for (const QString &s : r.skipped)
            t += QStringLiteral("  not sent: ") + s + u'\n';
        print(t);
    }
    finish(code);
}

void CliSession::printProgress(const QString &what, int done, int total)
{
    if (!m_output.progress || m_done)
        return;
    m_output.out(QStringLiteral("\r%1 %2 of %3 ...").arg(what).arg(done).arg(total));
    m_progressShown = true;
}

void CliSession::print(const QString &text)
{
    if (m_progressShown) {
        m_output.out(QStringLiteral("\r\x1b[K"));
        m_progressShown = false;
    }
    m_output.out(text);
}

void CliSession::finish(int code, const QString &error)
{
    if (m_done)
        return;
    m_done = true;
    if (!error.isEmpty()) {
        if (m_line.json)
            print(QString::fromUtf8(QJsonDocument(QJsonObject{{QStringLiteral("error"), error},
                                                                     {QStringLiteral("exitStatus"), code}})
                                               .toJson(QJsonDocument::Indented)));
        if (m_progressShown)
            print(QString());
        m_output.err(QCoreApplication::applicationName() + QStringLiteral(": ") + error + u'\n');
    }
    if (m_progressShown)
        print(QString());
    m_exit = code;
    // The port is left without a word to the monitor.
    m_core.link.shutdown();
    emit finished(code);
}

} // namespace tvk
