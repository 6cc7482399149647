#include "base/settings.h"

#include <QSettings>
#include <QThread>
#include <cmath>
#include <limits>

namespace tvk {

// The settings objects that store writes and write the files, in the
// writer's thread. A QSettings writes its file from its own thread's event
// loop after a change.
class Settings::Writer : public QObject {
public:
    Writer()
        : m_tarvikon(new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                   appNameText(AppName::Tarvikon), QString(), this))
        , m_tarvik(new QSettings(QSettings::NativeFormat, QSettings::UserScope,
                                 appNameText(AppName::Tarvik), QString(), this))
    {
    }
    void store(AppName app, const QString &fullKey, const QString &value)
    {
        (app == AppName::Tarvik ? m_tarvik : m_tarvikon)->setValue(fullKey, value);
    }
    void sync()
    {
        m_tarvikon->sync();
        m_tarvik->sync();
    }

private:
    QSettings *m_tarvikon;
    QSettings *m_tarvik;
};

QString appNameText(AppName app)
{
    return app == AppName::Tarvik ? QStringLiteral("Tarvik") : QStringLiteral("Tarvikon");
}

namespace {

int index(AppName app)
{
    return app == AppName::Tarvik ? 1 : 0;
}

QString fullKey(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

} // namespace

Settings::Settings()
    : m_thread(std::make_unique<QThread>())
    , m_writer(new Writer)
{
    for (AppName app : {AppName::Tarvikon, AppName::Tarvik}) {
        const QSettings file(QSettings::NativeFormat, QSettings::UserScope, appNameText(app));
        QHash<QString, QString> &v = values(app);
        for (const QString &k : file.allKeys()) {
            const QVariant value = file.value(k);
            // A value written by hand as a list ("a, b") comes back as a QStringList.
            v.insert(k, value.userType() == QMetaType::QStringList ? value.toStringList().join(QStringLiteral(", "))
                                                                   : value.toString());
        }
        m_location[index(app)] = file.fileName();
    }
    m_thread->setObjectName(QStringLiteral("settings writer"));
    m_writer->moveToThread(m_thread.get());
    m_thread->start(QThread::LowPriority);
}

Settings::~Settings()
{
    sync();
    m_thread->quit();
    m_thread->wait();
    delete m_writer;
}

QHash<QString, QString> &Settings::values(AppName app)
{
    return m_values[index(app)];
}

const QHash<QString, QString> &Settings::values(AppName app) const
{
    return m_values[index(app)];
}

QString Settings::read(AppName app, const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    return values(app).value(fullKey(section, key), defaultValue);
}

void Settings::write(AppName app, const QString &section, const QString &key, const QString &value)
{
    const QString k = fullKey(section, key);
    values(app).insert(k, value);
    QMetaObject::invokeMethod(m_writer, [w = m_writer, app, k, value] { w->store(app, k, value); },
                              Qt::QueuedConnection);
}

bool Settings::contains(AppName app, const QString &section, const QString &key) const
{
    return values(app).contains(fullKey(section, key));
}

bool Settings::toReal(const QString &text, double *value)
{
    bool ok = false;
    const double d = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(d))
        return false;
    *value = d;
    return true;
}

bool Settings::toInt(const QString &text, int *value)
{
    double d = 0;
    if (!toReal(text, &d))
        return false;
    // Whole numbers as stored; a real number rounds half to even.
    const double r = std::nearbyint(d);
    if (r < std::numeric_limits<qint16>::min() || r > std::numeric_limits<qint16>::max())
        return false;
    *value = int(r);
    return true;
}

bool Settings::toBool(const QString &text, bool *value)
{
    const QString t = text.trimmed();
    if (t.compare(u"True", Qt::CaseInsensitive) == 0) {
        *value = true;
        return true;
    }
    if (t.compare(u"False", Qt::CaseInsensitive) == 0) {
        *value = false;
        return true;
    }
    double d = 0;
    if (!toReal(t, &d))
        return false;
    *value = d != 0;
    return true;
}

QString Settings::realText(double value)
{
    return QString::number(value, 'g', 15);
}

int Settings::readInt(AppName app, const QString &section, const QString &key,
                      int defaultValue) const
{
    int v = 0;
    return toInt(read(app, section, key, QString()), &v) ? v : defaultValue;
}

double Settings::readReal(AppName app, const QString &section, const QString &key,
                          double defaultValue) const
{
    double v = 0;
    return toReal(read(app, section, key, QString()), &v) ? v : defaultValue;
}

bool Settings::readBool(AppName app, const QString &section, const QString &key,
                        bool defaultValue) const
{
    bool v = false;
    return toBool(read(app, section, key, QString()), &v) ? v : defaultValue;
}

void Settings::writeInt(AppName app, const QString &section, const QString &key, int value)
{
    write(app, section, key, QString::number(value));
}

void Settings::writeReal(AppName app, const QString &section, const QString &key, double value)
{
    write(app, section, key, realText(value));
}

void Settings::writeBool(AppName app, const QString &section, const QString &key, bool value)
{
    write(app, section, key, value ? QStringLiteral("True") : QStringLiteral("False"));
}

void Settings::sync()
{
    QMetaObject::invokeMethod(m_writer, [w = m_writer] { w->sync(); }, Qt::BlockingQueuedConnection);
}

QString Settings::location(AppName app) const
{
    return m_location[index(app)];
}

} // namespace tvk
