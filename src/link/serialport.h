#pragma once
// The serial port seen by the link. One implementation drives a real port
// (QSerialPort), one is the scripted stand-in of the tests, one is the
// in-process monitor simulator. Everything above the link sees only this.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <memory>

namespace tvk {

// Port event codes reported to the link (the codes of the monitor tool's
// serial control; 2 = characters received).
namespace CommEvent {
enum : int {
    Send = 1,
    Receive = 2,
    Cts = 3,
    Dsr = 4,
    Cd = 5,
    Ring = 6,
    Eof = 7,
    Break = 1001,
    CtsTimeout = 1002,
    DsrTimeout = 1003,
    Frame = 1004,
    Overrun = 1006,
    CdTimeout = 1007,
    RxOver = 1008,
    RxParity = 1009,
    TxFull = 1010,
    Dcb = 1011,
};
}

class SerialPort : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    ~SerialPort() override = default;

    // Opens the device at 9600 baud, no parity, 8 data bits, 1 stop bit,
    // no handshaking, DTR and RTS off. Lines that the device lacks (a
    // pseudo-terminal has no modem lines) do not stop the open; they are
    // reported through note(). Returns false when the device cannot be opened.
    virtual bool open(const QString &deviceName) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    virtual QString deviceName() const = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Everything waiting, NUL characters discarded.
    virtual QByteArray readAll() = 0;
    virtual bool write(const QByteArray &data) = 0;
    virtual QString errorString() const = 0;
    // True for a port that talks to a simulated monitor.
    virtual bool isSimulated() const { return false; }

signals:
    // Characters are waiting (event code 2).
    void received();
    // Any other port event, by code.
    void commEvent(int code);
    // Something worth a line in the communication log.
    void notice(const QString &text);
    // Something worth saying once per device, not as a fault (a device
    // without modem lines); the link logs each distinct text once.
    void note(const QString &text);
    // The device went away while open (adapter unplugged). The port is closed.
    void lost(const QString &reason);
};

// Makes the port object for a device name ("/dev/ttyUSB0", "COM3", "sim:...").
class PortFactory {
public:
    virtual ~PortFactory() = default;
    virtual std::unique_ptr<SerialPort> create(const QString &deviceName) = 0;
};

} // namespace tvk
