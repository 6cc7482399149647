// Bytes from the monitor, as the port delivers them, through the line framing,
// the response dispatcher and every reply handler behind it, into the whole
// tool: the main window with every window created, the test-point windows
// and every adjustment panel opened from the menu, activated and armed, as
// the user leaves them. Replies alone never change the monitor: from the
// first byte of the input on, no line the port writes may be a set command
// (nor a firmware record, outside a download), none may be left queued at the
// end, and the debug assertion in AppCore::send stops a set command queued
// while a reply is being applied.
//
// Input: one byte choosing the situation, then the monitor's output in parts
// separated by NUL bytes; a little time passes before each part, so queued
// commands go out and timers run between them. After the last part half a
// second passes; an input that ends with a NUL byte (an empty last part)
// waits 12 seconds instead, so that keep-alive, reply and silence timers run
// out.
//   bits 0-1  0 no answer yet (the connection cycle is trying), 1 online,
//             2 boot mode, 3 online with a flash download just started (its
//             "bf3" is queued; the answer to it is the input's)
//   bits 2-3  the monitor family the replies are read for (0: what the tool
//             read, 1.x, 2.x, 3.x)
//   bits 4-7  the time between parts, in steps of 40 ms
//
// Each situation has a tool of its own, built once (connecting through the
// windows takes far too long to repeat for every input): online and in boot
// mode a simulated 2.25 monitor answered the connection and every panel's
// reads, so the panels show its values and nothing is queued; with no answer
// the cycle is still trying, the panels' reads queued behind its ping. Every
// input starts from that mark (see fuzzrig.h and apprig.h).

#include "apprig.h"

#include "app/windowregistry.h"
#include "base/windownames.h"
#include "firmware/hexdownload.h"
#include "link/seriallink.h"
#include "panels/panel.h"
#include "protocol/commands.h"
#include "monitorsim.h"

#include <QCheckBox>

#include <array>
#include <cstdio>

using namespace tvk;
using namespace tvk::fuzz;

namespace {

const QByteArray kSmallImage = ":020000040000FA\r\n:0400000001020304F2\r\n:0400040005060708DE\r\n:00000001FF\r\n";
// Where kSmallImage is written, once per process: the download only reads it.
QString imagePath() { return scratchPath(QStringLiteral("image.hex")); }

// No answer yet, online (also for the download), boot mode.
std::array<AppRig *, 3> g_rigs {};

// What the port may write while the input runs.
struct Watch {
    bool on = false;
    bool transfers = false; // firmware records (a download is running)
    // Set commands the user queued before the input began, in order: each
    // may go out once.
    QStringList queuedByUser;
} g_watch;

bool allowed(const QString &line)
{
    const cmd::Kind kind = cmd::kindOf(line);
    if (kind == cmd::Kind::Set && !g_watch.queuedByUser.isEmpty() && g_watch.queuedByUser.first() == line) {
        g_watch.queuedByUser.removeFirst();
        return true;
    }
    return kind != cmd::Kind::Set && (kind != cmd::Kind::Transfer || g_watch.transfers);
}

void checkWritten(const QByteArray &bytes)
{
    if (!g_watch.on)
        return;
    const QString line = QString::fromLatin1(bytes);
    if (!allowed(line)) {
        std::fprintf(stderr, "==fuzz== replies alone made the tool write \"%s\"\n", qPrintable(line.trimmed()));
        checkFailed("replies never write a set command", __FILE__, __LINE__);
    }
}

// Everything queued for the monitor, the command waiting out its pause first.
QStringList queued(const AppCore &core)
{
    const SerialLink::State link = core.link.state();
    return link.writePending ? QStringList{link.pendingWrite} + link.xmitQueue : link.xmitQueue;
}

// Answers every command the tool writes as the simulated monitor does, until
// nothing is queued or in flight.
void answerAll(AppRig &rig, sim::MonitorSimulator &monitor)
{
    qsizetype answered = 0;
    for (int step = 0; step < 2000; ++step) {
        while (answered < rig.ports.written.size())
            rig.feed(monitor.feed(rig.ports.written.at(answered++)));
        const SerialLink &link = rig.core->link;
        if (!link.XmitBusy() && link.queuedCount() == 0)
            return;
        rig.advance(50);
    }
    checkFailed("the simulated monitor left commands unanswered", __FILE__, __LINE__);
}

// The test-point windows first, then every adjustment panel from the menu:
// the last one opened stays the active window.
void openEveryPanel(AppRig &rig)
{
    WindowRegistry &registry = rig.window->registry();
    for (const QString &name : {win::frmTestPoint, win::frmMDITestPoints, win::frmFlatPanelTestPoints,
                                win::frmCRTVoltages, win::frmDeflectionStatus, win::frmHVLimits})
        registry.openWindow(name);
    for (const char *menu : {"mnuDiagnosticsBacklight", "mnuDiagnosticsHeaterFan", "mnuAdjustMdiHV",
                             "mnuAdjustHV", "mnuAdjustGeometry", "mnuAdjustVideo",
                             "mnuAdjustmentBrightnessContrast"})
        rig.trigger(QString::fromLatin1(menu));
}

// A tool connected as the connection window does; a simulated monitor with
// the given options answers (none: nobody answers, the cycle keeps trying).
// Then every panel is opened, its reads answered, and the rig marked.
AppRig *makeRig(const char *monitorOptions)
{
    auto *rig = new AppRig;
    // The log window's echo is switched off, as the user can: echoing every
    // character into its text box would take most of an input's time, and
    // the text box only shows it (events are still logged).
    auto *echo = rig->window->registry().find(win::frmCommLog)->findChild<QCheckBox *>(QStringLiteral("ckWindowEnabled"));
    TVK_FUZZ_CHECK(echo);
    echo->setChecked(true);
    echo->click();
    TVK_FUZZ_CHECK(!rig->core->globals.CommLogEcho);
    // The tool's own start-up cycle is stopped; the rig connects as the
    // connection window's load does.
    rig->core->connector.shutdown();
    TVK_FUZZ_CHECK(rig->connect('\0'));
    if (monitorOptions) {
        sim::MonitorConfig config;
        sim::applyOptions(config, QString::fromLatin1(monitorOptions));
        sim::MonitorSimulator monitor(config);
        answerAll(*rig, monitor);
        rig->advance(2000); // the connection logic takes the answer on its next tick
        TVK_FUZZ_CHECK(rig->core->globals.connection.online());
        answerAll(*rig, monitor);
        openEveryPanel(*rig);
        answerAll(*rig, monitor);
    } else {
        openEveryPanel(*rig);
    }
    rig->ports.onWrite = checkWritten;
    rig->markStart();
    return rig;
}

// What an input did: the lines written, and the control book as it left it.
struct Outcome {
    QByteArrayList written;
    ControlBook::Pages book;
};

QString entryText(const ControlBook::Entry &e)
{
    QStringList parts;
    if (e.enabled)
        parts << QStringLiteral("enabled=%1").arg(*e.enabled);
    if (e.visible)
        parts << QStringLiteral("visible=%1").arg(*e.visible);
    if (e.text)
        parts << QStringLiteral("text=\"%1\"").arg(*e.text);
    if (e.color)
        parts << QStringLiteral("colour=%1").arg(*e.color);
    if (e.checked)
        parts << QStringLiteral("checked=%1").arg(*e.checked);
    if (e.value)
        parts << QStringLiteral("value=%1").arg(*e.value);
    return parts.join(u' ');
}

void printBookDifference(const ControlBook::Pages &a, const ControlBook::Pages &b)
{
    QSet<std::pair<QString, QString>> keys;
    for (const ControlBook::Pages *pages : {&a, &b})
        for (auto w = pages->cbegin(); w != pages->cend(); ++w)
            for (auto c = w->cbegin(); c != w->cend(); ++c)
                keys.insert({w.key(), c.key()});
    for (const auto &[window, control] : keys) {
        const auto ea = a.value(window).value(control);
        const auto eb = b.value(window).value(control);
        if (!(ea == eb))
            std::fprintf(stderr, "==fuzz== %s/%s: first %s, then %s\n", qPrintable(window), qPrintable(control),
                         qPrintable(entryText(ea)), qPrintable(entryText(eb)));
    }
}

Outcome runOnce(const std::uint8_t *data, std::size_t size)
{
    const int situation = data[0] & 3;
    const int family = (data[0] >> 2) & 3;
    const int gapMs = 10 + ((data[0] >> 4) & 15) * 40;
    static const int kRig[] = {0, 1, 2, 1};
    AppRig &rig = *g_rigs[size_t(kRig[situation])];
    AppCore &core = *rig.core;

    static const int kTypes[] = {0, 138, 225, 310};
    if (family)
        core.data.MonitorType = qint16(kTypes[family]);
    if (situation == 3)
        TVK_FUZZ_CHECK(core.download.start(HexDownload::Target::Flash, imagePath()));

    g_watch.queuedByUser.clear();
    for (const QString &line : queued(core))
        if (cmd::isSet(line))
            g_watch.queuedByUser << line;
    g_watch.transfers = situation == 3;
    g_watch.on = true;
    const QList<QByteArray> parts = splitAtNul(data + 1, size - 1, 64);
    for (const QByteArray &part : parts) {
        rig.advance(gapMs);
        rig.feed(part);
        // An unterminated line is cut, never kept whole.
        TVK_FUZZ_CHECK(core.link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    }
    rig.advance(parts.size() > 1 && parts.last().isEmpty() ? 12000 : 500);
    g_watch.on = false;
    // Nor is one left waiting for its turn.
    for (const QString &line : queued(core)) {
        if (!allowed(line)) {
            std::fprintf(stderr, "==fuzz== replies alone queued \"%s\"\n", qPrintable(line.trimmed()));
            checkFailed("replies never queue a set command", __FILE__, __LINE__);
        }
    }
    TVK_FUZZ_CHECK(core.link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    // Whatever ended a download left nothing behind.
    const HexDownload &dl = core.download;
    if (!dl.isBusy())
        TVK_FUZZ_CHECK(!dl.isFileOpen() && !dl.DownloadActive());
    Outcome outcome{rig.ports.written, replayCheck() ? core.controls.pages() : ControlBook::Pages()};
    // Back to the mark now, not before the next input: what this input
    // allocated is let go of within it, as libFuzzer's leak check expects.
    rig.reset();
    return outcome;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess(AppKind::Widgets);
    writeFile(imagePath(), kSmallImage);
    // Built in a fixed order, each on an empty settings store: every run of
    // the target starts the same.
    g_rigs = {makeRig(nullptr), makeRig("version=2.25"), makeRig("version=2.25,boot")};
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const Outcome first = runOnce(data, size);
    if (replayCheck()) {
        const Outcome again = runOnce(data, size);
        if (again.written != first.written) {
            std::fprintf(stderr, "==fuzz== the first run wrote:\n");
            for (const QByteArray &l : first.written)
                std::fprintf(stderr, "  %s\n", l.trimmed().constData());
            std::fprintf(stderr, "==fuzz== the second run wrote:\n");
            for (const QByteArray &l : again.written)
                std::fprintf(stderr, "  %s\n", l.trimmed().constData());
        }
        TVK_FUZZ_CHECK(again.written == first.written);
        if (again.book != first.book)
            printBookDifference(first.book, again.book);
        TVK_FUZZ_CHECK(again.book == first.book);
    }
    return 0;
}
