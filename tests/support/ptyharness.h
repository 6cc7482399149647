#pragma once
// The tool as it runs for a technician, against the monitor simulator in a
// process of its own: the real main window (offscreen), the real QSerialPort
// on a pseudo-terminal, and real time on a SystemClock that runs every
// interval of the link faster by a fixed scale.
//
// SimProcess starts tvk-monitor-sim with --verbose and a link path, and
// collects every command line the monitor receives (the "<< " lines on its
// standard error), each stamped with the test's elapsed time when it was read.

#include "core/appcore.h"
#include "app/mainwindow.h"
#include "apptest.h"
#include "guitest.h"
#include "link/qtserialport.h"
#include "pty.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>

#include <memory>

namespace tvk::test {

class SimProcess : public QObject {
    Q_OBJECT
public:
    struct Received {
        QByteArray line;
        qint64 atMs; // on the timer given to the constructor
    };

    // `since` stamps the received commands; it must outlive this object.
    explicit SimProcess(const QElapsedTimer &since, QObject *parent = nullptr);
    ~SimProcess() override; // stops the simulator

    // Starts the simulator with `arguments` (besides --link and --verbose) and
    // waits until its link exists. False, with error(), when it did not start.
    bool start(const QString &linkPath, const QStringList &arguments);
    void stop();
    QString error() const { return m_error; }

    QList<Received> received() const { return m_received; }
    QByteArrayList commands() const;
    int count(const QByteArray &line) const;
    // Time stamps of every receipt of `line`.
    QList<qint64> times(const QByteArray &line) const;

signals:
    void commandReceived(const QByteArray &line);

private:
    void readErrors();

    const QElapsedTimer &m_since;
    QProcess m_proc;
    QByteArray m_partial;
    QList<Received> m_received;
    QString m_error;
};

// In a test function: skips where there are no pseudo-terminals, else
// starts the simulator with `options` and the tool, and fails unless the
// monitor's type becomes known.
#define START_ONLINE(h, options)                                                               \
    do {                                                                                       \
        if (!::tvk::test::ptyAvailable())                                                      \
            QSKIP("no pseudo-terminals on this system");                                       \
        QVERIFY2((h).startOnline(options), qPrintable((h).sim ? (h).sim->error() : QString())); \
    } while (false)

struct PtyHarness {
    // Every interval of the link and its windows is multiplied by this.
    static constexpr double kScale = 0.2;
    static int scaled(int ms) { return int(ms * kScale); }

    // scale: the harness's intervals, kScale unless a test needs the link's
    // own timing (1.0).
    explicit PtyHarness(double scale = kScale);
    ~PtyHarness();

    // Starts the simulator (QSKIP-worthy false when it cannot) and points
    // Com1 at its link.
    bool startSim(const QStringList &arguments);
    // A setting of section "Configs", written before startTool().
    void setConfig(const QString &key, const QString &value);
    // Shows the main window and runs its load sequence.
    void startTool();
    // Starts the simulator with `options` ("version=2.25,..."), the tool,
    // and waits until the monitor's type is known.
    bool startOnline(const QString &options);
    // Milliseconds since the harness was made.
    qint64 now() const { return elapsed.elapsed(); }

    // As in GuiHarness: a control on a loaded panel (or null), and whether a
    // panel is shown.
    template <class T = QWidget>
    T *child(const QString &window, const QString &name) const
    {
        return panelChild<T>(*this->window, window, name);
    }
    bool visible(const QString &window) const { return panelVisible(*this->window, window); }

    QTemporaryDir dir;
    QString linkPath;
    QElapsedTimer elapsed;
    std::unique_ptr<SimProcess> sim;

    SystemClock clock;
    QtPortFactory ports;
    RecordingBeeper beeper;
    RecordingMessages messages;
    ScriptedDialogs dialogs;
    FakeLauncher launcher;
    std::unique_ptr<AppCore> core;
    std::unique_ptr<MainWindow> window;
};

} // namespace tvk::test
