#include "link/qtserialport.h"

#include <QMetaObject>

namespace tvk {

QtSerialPort::QtSerialPort(QObject *parent) : SerialPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &QtSerialPort::onReadyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
    connect(m_port, &QSerialPort::bytesWritten, this, &QtSerialPort::onBytesWritten);
    m_writeTimer.setSingleShot(true);
    m_writeTimer.setInterval(kWriteTimeoutMs);
    connect(&m_writeTimer, &QTimer::timeout, this, &QtSerialPort::onWriteTimeout);
}

QtSerialPort::~QtSerialPort()
{
    // Closing must not report anything to a link that is going away.
    m_port->disconnect(this);
    if (m_port->isOpen())
        m_port->close();
}

bool QtSerialPort::open(const QString &deviceName)
{
    if (m_port->isOpen())
        close();
    m_device = deviceName;
    m_error.clear();
    m_readErrors = 0;
    m_lossPending = false;
    ++m_openCount;

    m_configuring = true;
    m_port->setPortName(deviceName);
    m_port->setBaudRate(kBaudRate);
    m_port->setParity(QSerialPort::NoParity);
    m_port->setDataBits(QSerialPort::Data8);
    m_port->setStopBits(QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    m_port->setReadBufferSize(kReadBufferSize);
    if (!m_port->open(QIODevice::ReadWrite)) {
        const int qtError = int(m_port->error());
        const QString qtText = m_port->errorString();
        m_port->clearError();
        m_configuring = false;
        QStringList existing;
        const QtPortInfoSource system;
        const PortInfoSource &info = m_info ? *m_info : system;
        for (const SerialPortEntry &e : info.availablePorts())
            existing << e.device;
        const OpenDiagnosis d = diagnoseOpenFailure(openFailureFacts(deviceName, qtError, qtText, existing));
        m_failure = d.kind;
        m_error = d.reason;
        return false;
    }
    // The monitor needs no modem lines. A pseudo-terminal or an adapter
    // without them refuses to set them; the port is still usable.
    const bool dtr = m_port->setDataTerminalReady(false);
    m_port->clearError();
    const bool rts = m_port->setRequestToSend(false);
    m_port->clearError();
    if (!dtr || !rts) {
        const QString lines = !dtr && !rts ? QStringLiteral("DTR and RTS")
                                           : (!dtr ? QStringLiteral("DTR") : QStringLiteral("RTS"));
        emit note(QStringLiteral("Note: %1 has no modem lines (%2 cannot be set); the monitor "
                                 "does not need them.")
                      .arg(deviceName, lines));
    }
    // Characters that reached the driver before this open are stale; the
    // link discards what it sees waiting, but QSerialPort only sees them
    // after the next event loop pass, so drop them at the driver too.
    m_port->clear(QSerialPort::Input);
    m_port->clearError();
    m_configuring = false;
    return true;
}

void QtSerialPort::close()
{
    m_configuring = true; // errors while closing are of no interest
    m_writeTimer.stop();
    if (m_port->isOpen())
        m_port->close();
    m_port->clearError();
    m_configuring = false;
}

bool QtSerialPort::isOpen() const { return m_port->isOpen(); }

qint64 QtSerialPort::bytesAvailable() const
{
    return m_port->isOpen() ? m_port->bytesAvailable() : 0;
}

QByteArray QtSerialPort::readAll()
{
    if (!m_port->isOpen())
        return {};
    QByteArray data = m_port->readAll();
    data.removeIf([](char c) { return c == '\0'; });
    return data;
}

bool QtSerialPort::write(const QByteArray &data)
{
    if (!m_port->isOpen()) {
        m_error = QStringLiteral("The port is not open");
        return false;
    }
    const qint64 n = m_port->write(data);
    if (n != data.size()) {
        m_error = m_port->errorString();
        return false;
    }
    if (!m_writeTimer.isActive())
        m_writeTimer.start();
    return true;
}

void QtSerialPort::onBytesWritten()
{
    if (m_port->bytesToWrite() == 0)
        m_writeTimer.stop();
    else
        m_writeTimer.start(); // the device is taking them: wait afresh
}

void QtSerialPort::onWriteTimeout()
{
    const qint64 waiting = m_port->isOpen() ? m_port->bytesToWrite() : 0;
    if (waiting <= 0)
        return;
    emit notice(QStringLiteral("%1: write timed out (%2 character(s) not taken by the device after %3 ms)")
                    .arg(m_device)
                    .arg(waiting)
                    .arg(m_writeTimer.interval()));
}

void QtSerialPort::onReadyRead()
{
    m_readErrors = 0;
    emit received();
}

void QtSerialPort::onError(QSerialPort::SerialPortError error)
{
    if (error == QSerialPort::NoError || m_configuring)
        return;
    const QString text = m_port->errorString();
    switch (error) {
    case QSerialPort::ResourceError:
        m_error = text;
        handleLoss();
        return;
    case QSerialPort::ReadError:
        // A hung-up tty reports end of data over and over; that device is gone.
        if (++m_readErrors >= kReadErrorsForLoss) {
            m_error = QStringLiteral("the device stopped delivering data (hung up or removed)");
            handleLoss();
            return;
        }
        m_error = text;
        if (m_readErrors == 1)
            emit notice(QStringLiteral("%1: read error (%2)").arg(m_device, text));
        return;
    case QSerialPort::WriteError:
        m_error = text;
        emit notice(QStringLiteral("%1: write error (%2)").arg(m_device, text));
        return;
    default:
        m_error = text;
        emit notice(QStringLiteral("%1: port error (%2)").arg(m_device, text));
        return;
    }
}

void QtSerialPort::handleLoss()
{
    if (m_lossPending || !m_port->isOpen())
        return;
    m_lossPending = true;
    // QSerialPort is still inside its own notification here; close it from
    // the event loop. Until then further errors of the dead device are ignored.
    m_configuring = true;
    const quint64 openCount = m_openCount;
    QMetaObject::invokeMethod(
        this,
        [this, openCount] {
            if (openCount != m_openCount)
                return; // reopened meanwhile: that port is a new one
            const QString reason = m_error.isEmpty() ? QStringLiteral("device removed") : m_error;
            if (m_port->isOpen())
                m_port->close();
            m_port->clearError();
            m_configuring = false;
            m_lossPending = false;
            emit lost(reason);
        },
        Qt::QueuedConnection);
}

std::unique_ptr<SerialPort> QtPortFactory::create(const QString &deviceName)
{
    Q_UNUSED(deviceName);
    return std::make_unique<QtSerialPort>();
}

} // namespace tvk
