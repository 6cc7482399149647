#pragma once
// The real serial port: QSerialPort at 9600 baud, no parity, 8 data bits,
// 1 stop bit, no handshaking, DTR and RTS off, NUL characters discarded.
//
// Opening discards input already waiting in the driver.
//
// QSerialPort reports far fewer line conditions than the monitor tool's
// event table knows (no break, framing or overrun events in Qt 6), so only
// what it does report is passed on:
//  - a device that goes away (ResourceError, or read errors that keep
//    coming without data, as a hung-up tty gives) closes the port and
//    emits lost() once;
//  - a write the driver refuses later is a notice();
//  - so is a write the device has not taken within the write time-out (a
//    stuck adapter or a line held by flow control): the characters stay
//    queued in the driver, and the notice says how many;
//  - any other error is a notice() line for the communication log.
//
// A device that will not open says why in errorString(): no such device (with
// the ports that exist), permission denied (with the group to join), busy, or
// the driver's text. A device without modem lines gets one note().

#include "link/openerror.h"
#include "link/portinfo.h"
#include "link/serialport.h"

#include <QSerialPort>
#include <QTimer>

namespace tvk {

class QtSerialPort : public SerialPort {
    Q_OBJECT
public:
    static constexpr int kBaudRate = 9600;
    // Read errors in a row, with no data between them, that count as a lost device.
    static constexpr int kReadErrorsForLoss = 3;
    // Characters held for the link at most. While a nested event loop keeps
    // the link from reading, a monitor streaming without end would otherwise
    // fill memory; the driver holds the rest, then the sender waits.
    static constexpr qint64 kReadBufferSize = 256 * 1024;
    // The longest a write may wait for the device to take it. At 9600 baud
    // the longest command (a firmware record) takes about 50 ms.
    static constexpr int kWriteTimeoutMs = 2000;

    explicit QtSerialPort(QObject *parent = nullptr);
    ~QtSerialPort() override;

    bool open(const QString &deviceName) override;
    void close() override;
    bool isOpen() const override;
    QString deviceName() const override { return m_device; }
    qint64 bytesAvailable() const override;
    QByteArray readAll() override;
    bool write(const QByteArray &data) override;
    QString errorString() const override { return m_error; }

    // What kind of failure the last open() was.
    OpenFailure openFailure() const { return m_failure; }
    // The ports named when a device does not exist (QSerialPortInfo unless set;
    // not owned).
    void setPortInfo(const PortInfoSource *source) { m_info = source; }
    void setWriteTimeout(int ms) { m_writeTimer.setInterval(ms); }

private:
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void handleLoss();
    void onBytesWritten();
    void onWriteTimeout();

    QSerialPort *m_port;
    QTimer m_writeTimer; // runs while written characters wait for the device
    QString m_device;
    QString m_error;
    bool m_configuring = false;
    bool m_lossPending = false;
    int m_readErrors = 0;
    quint64 m_openCount = 0;
    OpenFailure m_failure = OpenFailure::Other;
    const PortInfoSource *m_info = nullptr;
};

class QtPortFactory : public PortFactory {
public:
    std::unique_ptr<SerialPort> create(const QString &deviceName) override;
};

} // namespace tvk
