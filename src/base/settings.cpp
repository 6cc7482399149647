#include "base/settings.h"

#include <QSettings>
#include <cmath>
#include <limits>

namespace tvk {

QString appNameText(AppName app)
{
    return app == AppName::Tarvik ? QStringLiteral("Tarvik") : QStringLiteral("Tarvikon");
}

Settings::Settings()
    : m_tarvikon(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                             appNameText(AppName::Tarvikon)))
    , m_tarvik(std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                           appNameText(AppName::Tarvik)))
{
}

Settings::~Settings() = default;

QSettings &Settings::store(AppName app) const
{
    return app == AppName::Tarvik ? *m_tarvik : *m_tarvikon;
}

static QString fullKey(const QString &section, const QString &key)
{
    return section + u'/' + key;
}

QString Settings::read(AppName app, const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    const QVariant v = store(app).value(fullKey(section, key));
    if (!v.isValid())
        return defaultValue;
    // A value written by hand as a list ("a, b") comes back as a QStringList.
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QStringLiteral(", "));
    return v.toString();
}

void Settings::write(AppName app, const QString &section, const QString &key, const QString &value)
{
    store(app).setValue(fullKey(section, key), value);
}

bool Settings::contains(AppName app, const QString &section, const QString &key) const
{
    return store(app).contains(fullKey(section, key));
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
    m_tarvikon->sync();
    m_tarvik->sync();
}

QString Settings::location(AppName app) const
{
    return store(app).fileName();
}

} // namespace tvk
