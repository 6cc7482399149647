#pragma once
// What the fuzz targets share: the core on a port fed from the fuzz input and
// a manual clock, silent stand-ins for every platform service, a settings
// folder of the process's own, and a check that aborts (so that libFuzzer
// keeps the input) when the program breaks one of its promises.
//
// Build once, reset between inputs. A target builds its rig once per process
// (from LLVMFuzzerInitialize), brings it to where every input begins and
// marks that with markStart(); after each input, reset() returns it there, so
// that the next input starts from the mark as the first one did:
//   - a firmware download the input left running ends as on a lost link
//     (a transfer holds an open file, so none may run at the mark);
//   - the connection state (no monitor, online, boot mode) and the main
//     caption are entered again when the input changed them;
//   - the control book, the monitor image, the link flags, the scan-set
//     titles and marks are put back as marked; the log text and its
//     line-noise watch, the test-point history and the limited-value flag
//     are emptied (the log and the history are empty at the mark);
//   - the port is opened or closed as it was, and the link's receive buffer,
//     line state, queue and command in flight are put back; so are the
//     connection logic's attempts left, port-lost state and Auto ReConnect;
//   - the clock goes back to the marked moment: every timer gets back the
//     state it had then, timers made since are stopped;
//   - the lines written to the port and the messages shown are forgotten.
// The book is put back quietly, and only the entries the book reported
// changed since the mark (all of them when the connection state was entered
// again): windows keep showing what they showed (see apprig.h). What is not
// put back cannot change what an input does: the settings files (no reply
// writes them; the settings target writes both whole before each input), the
// port object (the same device stays open) and the application mode (only the
// user changes it). So an input does alone what it does after any other, and
// a crash replays from its single input. TVK_FUZZ_REPLAY_CHECK=1 in the
// environment makes a target run each input twice and compare (see
// replayCheck()); scripts/fuzz.sh --ci does so over the seeds.
//
// The session record is off in every rig (see CoreRig's constructor).

#include "base/clock.h"
#include "base/dialogs.h"
#include "core/appcore.h"
#include "link/portinfo.h"
#include "link/serialport.h"

#include <QByteArray>
#include <QByteArrayList>
#include <QList>
#include <QSet>
#include <QString>
#include <cstddef>
#include <cstdint>
#include <memory>

namespace tvk::fuzz {

// Aborts with the condition's text when it does not hold.
#define TVK_FUZZ_CHECK(cond)                                                                       \
    do {                                                                                           \
        if (!(cond))                                                                               \
            ::tvk::fuzz::checkFailed(#cond, __FILE__, __LINE__);                                   \
    } while (0)
[[noreturn]] void checkFailed(const char *what, const char *file, int line);

// Once per process, from LLVMFuzzerInitialize: an empty settings folder
// (XDG_CONFIG_HOME) that is removed at exit, the offscreen platform, and the
// Qt application object (a QApplication for targets with windows).
enum class AppKind { Core, Widgets };
void initProcess(AppKind kind = AppKind::Core);
// The settings folder, and a scratch folder for files the targets write.
QString configDir();
QString scratchPath(const QString &fileName);
// Removes both settings files: every input starts from an empty store.
void clearSettings();
// Writes a file whole.
void writeFile(const QString &path, const QByteArray &bytes);

// Splits at NUL bytes, at most maxParts parts (the last takes the rest). The
// port drops NUL characters, so a NUL can never be part of a reply.
QList<QByteArray> splitAtNul(const std::uint8_t *data, std::size_t size, int maxParts);

// TVK_FUZZ_REPLAY_CHECK=1 in the environment: every input runs twice, the
// second time right after the first and its reset, and must do the same both
// times (what it wrote to the port; the targets compare more where they can).
// State left over from the input before would show as a difference.
bool replayCheck();

class FedPortFactory;

// A port whose input is whatever feed() is given; what it writes is kept by
// its factory.
class FedPort : public SerialPort {
    Q_OBJECT
public:
    explicit FedPort(FedPortFactory &factory) : m_factory(factory) {}
    bool open(const QString &deviceName) override;
    void close() override;
    bool isOpen() const override { return m_open; }
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    bool write(const QByteArray &data) override;
    QString errorString() const override { return {}; }

    // Queues the characters and raises the receive event (open ports only).
    void feed(const QByteArray &data);

private:
    FedPortFactory &m_factory;
    bool m_open = false;
    QString m_device;
    QByteArray m_input;
};

class FedPortFactory : public PortFactory {
public:
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;
    FedPort *last = nullptr;
    // Every line written to any port since the last reset, in order.
    QByteArrayList written;
    // Called with each line as it is written.
    std::function<void(const QByteArray &)> onWrite;
};

// Answers every question with no and every dialog with cancel; counts messages.
class QuietPlatform : public Beeper, public UserMessages, public FileDialogs, public InputBox {
public:
    void Beep(int, int) override {}
    void message(const QString &, const QString & = QString()) override { ++messages; }
    bool askYesNo(const QString &, const QString & = QString()) override { return false; }
    bool askOkCancel(const QString &, const QString & = QString()) override { return false; }
    std::optional<QString> openFile(const FileDialogOptions &) override { return std::nullopt; }
    std::optional<QString> saveFile(const FileDialogOptions &) override { return std::nullopt; }
    std::optional<QString> getText(const QString &, const QString &, const QString & = QString()) override
    {
        return std::nullopt;
    }
    int messages = 0;
};

// The core with every reply handler registered, on fed ports and a manual clock.
class CoreRig {
public:
    // freshSettings: start from an empty store (else from the files there).
    explicit CoreRig(bool freshSettings = true);
    virtual ~CoreRig();
    CoreRig(const CoreRig &) = delete;
    CoreRig &operator=(const CoreRig &) = delete;

    // Where every input begins (see the top of this file).
    virtual void markStart();
    void reset();

    // Opens the port the way the connection window does (the first ping goes
    // out) and answers the ping with prompt '#' (application) or '$' (boot
    // block), or leaves it unanswered for any other prompt. True when the
    // port opened.
    bool connect(char prompt);
    // Characters from the monitor (nothing happens while the port is closed).
    void feed(const QByteArray &bytes);
    // Time passes; every timer due meanwhile fires, in order.
    virtual void advance(int ms);
    FedPort *port() const { return ports.last; }

    ManualClock clock;
    FedPortFactory ports;
    QuietPlatform quiet;
    // The system's serial ports: a USB adapter with a serial number and a
    // plain port (asking the system each time would be slow and vary).
    ListPortInfoSource portList;
    std::unique_ptr<AppCore> core;

protected:
    // Called by reset() once the control book is back, before the monitor
    // image and the clock are: the windows put back what they show.
    virtual void resetViews() {}

private:
    void restoreBook(bool whole = false);

    struct Start;
    std::unique_ptr<Start> m_start;
    // The (window, control) pairs the book reported changed since the mark.
    QSet<std::pair<QString, QString>> m_touched;
};

} // namespace tvk::fuzz
