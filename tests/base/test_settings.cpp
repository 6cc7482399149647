#include "base/settings.h"

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tvk;

namespace {

QString configDir()
{
    return qEnvironmentVariable("XDG_CONFIG_HOME");
}

QString fileText(const QString &name)
{
    QFile f(QDir(configDir()).filePath(name));
    if (!f.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(f.readAll());
}

// Writes a store file by hand, as a technician or an older version might.
void writeFile(const QString &name, const QByteArray &text)
{
    QDir().mkpath(configDir());
    QFile f(QDir(configDir()).filePath(name));
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text);
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        QVERIFY(!configDir().isEmpty());
        QFile::remove(QDir(configDir()).filePath(QStringLiteral("Tarvikon.conf")));
        QFile::remove(QDir(configDir()).filePath(QStringLiteral("Tarvik.conf")));
    }

    void filesHoldOneGroupPerSection()
    {
        {
            Settings s;
            s.writeInt(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("CommPort"), 3);
            s.writeBool(AppName::Tarvikon, SettingsSection::Configs,
                        QStringLiteral("CommLogOpen"), true);
            s.writeInt(AppName::Tarvikon, SettingsSection::StartUp, QStringLiteral("RunType"), 1);
            s.writeReal(AppName::Tarvik, SettingsSection::Layout, QStringLiteral("GeometryTop"),
                        1110.5);
            QCOMPARE(s.location(AppName::Tarvikon),
                     QDir(configDir()).filePath(QStringLiteral("Tarvikon.conf")));
        }
        const QString on = fileText(QStringLiteral("Tarvikon.conf"));
        const QString ik = fileText(QStringLiteral("Tarvik.conf"));
        QVERIFY2(on.contains(QStringLiteral("[Configs]\n")), qPrintable(on));
        QVERIFY2(on.contains(QStringLiteral("CommPort=3\n")), qPrintable(on));
        QVERIFY2(on.contains(QStringLiteral("CommLogOpen=True\n")), qPrintable(on));
        QVERIFY2(on.contains(QStringLiteral("[StartUp]\nRunType=1\n")), qPrintable(on));
        // CommPort belongs to [Configs], not to the group that follows it
        QVERIFY(on.indexOf(QStringLiteral("[Configs]")) < on.indexOf(QStringLiteral("CommPort")));
        QVERIFY(!on.contains(QStringLiteral("Geometry")));
        QVERIFY2(ik.contains(QStringLiteral("[Layout]\nGeometryTop=1110.5\n")), qPrintable(ik));
    }

    // The files are written by the store's own thread: a write is read back
    // at once, and the newest of quick writes reaches the file without sync().
    void writesReachTheFileFromTheWriterThread()
    {
        Settings s;
        const QString key = QStringLiteral("CodeInitDir");
        for (int i = 0; i < 50; ++i) {
            s.write(AppName::Tarvikon, SettingsSection::Configs, key, QStringLiteral("/hex/%1").arg(i));
            QCOMPARE(s.read(AppName::Tarvikon, SettingsSection::Configs, key, QString()),
                     QStringLiteral("/hex/%1").arg(i));
        }
        QVERIFY(s.contains(AppName::Tarvikon, SettingsSection::Configs, key));
        QTRY_VERIFY_WITH_TIMEOUT(fileText(QStringLiteral("Tarvikon.conf")).contains(QStringLiteral("CodeInitDir=/hex/49\n")), 5000);
        // Once stored, another store of this process reads it too.
        const Settings other;
        QCOMPARE(other.read(AppName::Tarvikon, SettingsSection::Configs, key, QString()), QStringLiteral("/hex/49"));
    }

    void missingKeysGiveDefaults()
    {
        Settings s;
        const QString cf = SettingsSection::Configs;
        QCOMPARE(s.readInt(AppName::Tarvikon, cf, QStringLiteral("ConnectRetryLimit"), 5), 5);
        QCOMPARE(s.readReal(AppName::Tarvikon, cf, QStringLiteral("VersionTop"), 12.5), 12.5);
        QCOMPARE(s.readBool(AppName::Tarvikon, cf, QStringLiteral("CommLogEnabled"), false), false);
        QCOMPARE(s.read(AppName::Tarvikon, cf, QStringLiteral("CodeInitDir"),
                        QStringLiteral("C:\\TVK")),
                 QStringLiteral("C:\\TVK"));
        QVERIFY(!s.contains(AppName::Tarvikon, cf, QStringLiteral("CodeInitDir")));
    }

    void valuesRoundTripAcrossInstances()
    {
        const QString cf = SettingsSection::Configs;
        {
            Settings s;
            s.writeInt(AppName::Tarvikon, cf, QStringLiteral("ConnectRetryLimit"), -32768);
            s.writeReal(AppName::Tarvikon, cf, QStringLiteral("CommLogTop"), 1234.5625);
            s.writeReal(AppName::Tarvikon, cf, QStringLiteral("CommLogLeft"), -0.1);
            s.writeBool(AppName::Tarvikon, cf, QStringLiteral("CommLogEnabled"), true);
            s.writeBool(AppName::Tarvikon, cf, QStringLiteral("CommLogOpen"), false);
            s.write(AppName::Tarvikon, cf, QStringLiteral("FileSaveInitDir"),
                    QStringLiteral("C:\\tvk, files"));
        }
        Settings s;
        QCOMPARE(s.readInt(AppName::Tarvikon, cf, QStringLiteral("ConnectRetryLimit"), 5), -32768);
        QCOMPARE(s.readReal(AppName::Tarvikon, cf, QStringLiteral("CommLogTop"), 0), 1234.5625);
        QCOMPARE(s.readReal(AppName::Tarvikon, cf, QStringLiteral("CommLogLeft"), 0), -0.1);
        QCOMPARE(s.readBool(AppName::Tarvikon, cf, QStringLiteral("CommLogEnabled"), false), true);
        QCOMPARE(s.readBool(AppName::Tarvikon, cf, QStringLiteral("CommLogOpen"), true), false);
        QCOMPARE(s.read(AppName::Tarvikon, cf, QStringLiteral("FileSaveInitDir"), QString()),
                 QStringLiteral("C:\\tvk, files"));
        QCOMPARE(s.read(AppName::Tarvikon, cf, QStringLiteral("CommLogEnabled"), QString()),
                 QStringLiteral("True"));
    }

    void unconvertibleValuesGiveDefaults()
    {
        writeFile(QStringLiteral("Tarvikon.conf"),
                  "[Configs]\n"
                  "CommPort=abc\n"
                  "ConnectRetryLimit=70000\n"
                  "Neg=-32769\n"
                  "Empty=\n"
                  "Huge=1e999\n"
                  "NotANumber=nan\n"
                  "Inf=inf\n"
                  "Spaced= 7 \n"
                  "Flag=maybe\n"
                  "FlagNum=-1\n");
        Settings s;
        const QString cf = SettingsSection::Configs;
        const AppName on = AppName::Tarvikon;
        QCOMPARE(s.readInt(on, cf, QStringLiteral("CommPort"), 1), 1);
        QCOMPARE(s.readInt(on, cf, QStringLiteral("ConnectRetryLimit"), 5), 5);
        QCOMPARE(s.readInt(on, cf, QStringLiteral("Neg"), 5), 5);
        QCOMPARE(s.readInt(on, cf, QStringLiteral("Empty"), 9), 9);
        QCOMPARE(s.readReal(on, cf, QStringLiteral("Empty"), 2.5), 2.5);
        QCOMPARE(s.readReal(on, cf, QStringLiteral("Huge"), 2.5), 2.5);
        QCOMPARE(s.readReal(on, cf, QStringLiteral("NotANumber"), 2.5), 2.5);
        QCOMPARE(s.readReal(on, cf, QStringLiteral("Inf"), 2.5), 2.5);
        QCOMPARE(s.readInt(on, cf, QStringLiteral("Spaced"), 0), 7);
        QCOMPARE(s.readBool(on, cf, QStringLiteral("Flag"), true), true);
        QCOMPARE(s.readBool(on, cf, QStringLiteral("Flag"), false), false);
        QCOMPARE(s.readBool(on, cf, QStringLiteral("FlagNum"), false), true);
    }

    void theTwoApplicationNamesAreSeparate()
    {
        Settings s;
        const QString lay = SettingsSection::Layout;
        s.writeReal(AppName::Tarvik, lay, QStringLiteral("TestPointTop"), 111);
        s.writeReal(AppName::Tarvikon, lay, QStringLiteral("TestPointTop"), 222);
        QCOMPARE(s.readReal(AppName::Tarvik, lay, QStringLiteral("TestPointTop"), 0), 111.0);
        QCOMPARE(s.readReal(AppName::Tarvikon, lay, QStringLiteral("TestPointTop"), 0), 222.0);
        s.writeInt(AppName::Tarvik, SettingsSection::Configs, QStringLiteral("OnlyThere"), 4);
        QVERIFY(!s.contains(AppName::Tarvikon, SettingsSection::Configs,
                            QStringLiteral("OnlyThere")));
        QVERIFY(s.location(AppName::Tarvik) != s.location(AppName::Tarvikon));
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
