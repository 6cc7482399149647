#pragma once
// What the fuzz targets share: the core on a port fed from the fuzz input and
// a manual clock, silent stand-ins for every platform service, a settings
// folder of the process's own, and a check that aborts (so that libFuzzer
// keeps the input) when the program breaks one of its promises.

#include "base/clock.h"
#include "base/dialogs.h"
#include "core/appcore.h"
#include "link/portinfo.h"
#include "link/serialport.h"

#include <QByteArray>
#include <QList>
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
// Qt application object unless the caller makes its own (a QApplication)
// right after.
void initProcess(bool makeCoreApplication = true);
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

// A port whose input is whatever feed() is given.
class FedPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;
    bool open(const QString &deviceName) override;
    void close() override { m_open = false; }
    bool isOpen() const override { return m_open; }
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override { return m_input.size(); }
    QByteArray readAll() override;
    bool write(const QByteArray &data) override;
    QString errorString() const override { return {}; }

    // Queues the characters and raises the receive event (open ports only).
    void feed(const QByteArray &data);
    int writeCount() const { return m_writes; }

private:
    bool m_open = false;
    QString m_device;
    QByteArray m_input;
    int m_writes = 0;
};

class FedPortFactory : public PortFactory {
public:
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;
    FedPort *last = nullptr;
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
struct CoreRig {
    // freshSettings: start from an empty store (else from the files there).
    explicit CoreRig(bool freshSettings = true);
    ~CoreRig();
    CoreRig(const CoreRig &) = delete;
    CoreRig &operator=(const CoreRig &) = delete;

    // Opens the port the way the connection window does (the first ping goes
    // out) and answers the ping with prompt '#' (application) or '$' (boot
    // block), or leaves it unanswered for any other prompt. True when the
    // port opened.
    bool connect(char prompt);
    // Characters from the monitor (nothing happens while the port is closed).
    void feed(const QByteArray &bytes);
    // Time passes; every timer due meanwhile fires, in order.
    void advance(int ms);
    FedPort *port() const { return ports.last; }

    ManualClock clock;
    FedPortFactory ports;
    QuietPlatform quiet;
    // The system's serial ports: a USB adapter with a serial number and a
    // plain port (asking the system each time would be slow and vary).
    ListPortInfoSource portList;
    std::unique_ptr<AppCore> core;
};

} // namespace tvk::fuzz
