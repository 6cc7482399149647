#include "testsupport.h"

#include <QFile>
#include <QTemporaryDir>

namespace tvk::test {

namespace {

// Runs before main(): a binary started by hand gets a temporary settings folder.
void isolateSettings()
{
    if (!qEnvironmentVariableIsEmpty("TVK_TEST_CONFIG"))
        return;
    static QTemporaryDir dir;
    qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit());
    qputenv("TVK_TEST_CONFIG", dir.path().toLocal8Bit());
    qputenv("XDG_DATA_HOME", (dir.path() + QStringLiteral("/data")).toLocal8Bit());
}
Q_CONSTRUCTOR_FUNCTION(isolateSettings)

} // namespace

void freshSettingsFolder()
{
    const QString folder = qEnvironmentVariable("TVK_TEST_CONFIG");
    if (folder.isEmpty())
        return;
    for (const char *name : {"Tarvikon.conf", "Tarvik.conf"})
        QFile::remove(folder + QLatin1Char('/') + QLatin1String(name));
}

bool ScriptedPort::open(const QString &deviceName)
{
    m_device = deviceName;
    ++m_openCount;
    m_open = m_openResult;
    return m_open;
}

QByteArray ScriptedPort::readAll()
{
    QByteArray data = m_input;
    m_input.clear();
    data.replace('\0', QByteArray());
    return data;
}

bool ScriptedPort::write(const QByteArray &data)
{
    if (!m_open || m_writeFails) {
        m_error = m_open ? QStringLiteral("write refused") : QStringLiteral("Port not open");
        return false;
    }
    m_writes.append(data);
    return true;
}

void ScriptedPort::feed(const QByteArray &data)
{
    m_input += data;
    emit received();
}

void ScriptedPort::injectLoss(const QString &reason)
{
    m_open = false;
    emit lost(reason);
}

void ScriptedPort::setOpenResult(bool ok, const QString &error)
{
    m_openResult = ok;
    m_error = error;
}

std::unique_ptr<SerialPort> ScriptedPortFactory::create(const QString &deviceName)
{
    auto port = std::make_unique<ScriptedPort>();
    port->setOpenResult(nextOpenResult, nextOpenResult ? QString() : QStringLiteral("cannot open"));
    devices << deviceName;
    ports << port.get();
    return port;
}

} // namespace tvk::test
