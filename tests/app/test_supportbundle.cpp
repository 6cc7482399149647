// The support bundle from a session against the simulated monitor: the user
// is told what it holds before anything is written, the archive unpacks with
// every file in it, and no mode password is anywhere in it.

#include "base/menunames.h"
#include "core/appshell.h"
#include "core/supportbundle.h"
#include "guitest.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

class TestSupportBundle : public QObject {
    Q_OBJECT
private slots:
    void bundleOfASession_holdsEveryFile_andNoPassword()
    {
        QTemporaryDir dir;
        GuiHarness h("version=2.25");
        // A password that found its way into the settings must not leave
        // with them; a window's layout keys stay.
        h.core->settings.write(AppName::Tarvikon, SettingsSection::StartUp, QStringLiteral("ServicePassword"),
                               AppShell::kServicePassword);
        h.core->settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("LastEntry"),
                               QStringLiteral("x") + AppShell::kFactoryPassword);
        h.core->settings.write(AppName::Tarvikon, SettingsSection::Configs, QStringLiteral("PasswordTop"),
                               QStringLiteral("120"));
        QVERIFY(h.goOnline());
        const QString path = dir.filePath(QStringLiteral("bundle.zip"));

        // Cancelled at the confirmation: nothing is written.
        h.dialogs.saveAnswers << path;
        h.messages.okCancelAnswer = false;
        h.window->trigger(menu::mnuHelpSupportBundle);
        QCOMPARE(h.messages.questions.size(), 1);
        QVERIFY(!QFile::exists(path));

        h.dialogs.saveAnswers << path;
        h.messages.okCancelAnswer = true;
        h.window->trigger(menu::mnuHelpSupportBundle);
        QCOMPARE(h.messages.messages, QStringList());
        QVERIFY(QFile::exists(path));

        QMap<QString, QByteArray> files;
        QString error;
        QVERIFY2(SupportBundle::read(path, &files, &error), qPrintable(error));
        const QString mdv = h.core->data.SerialNumber.trimmed().isEmpty()
            ? QStringLiteral("image.mdv")
            : h.core->data.SerialNumber.trimmed() + QStringLiteral(".mdv");
        const QStringList expected{QStringLiteral("session-record.log"), QStringLiteral("Tarvikon.conf"),
                                   QStringLiteral("Tarvik.conf"),        mdv,
                                   QStringLiteral("version.txt"),        QStringLiteral("platform.txt"),
                                   QStringLiteral("ports.txt")};
        QStringList names = files.keys();
        QStringList want = expected;
        names.sort();
        want.sort();
        QCOMPARE(names, want);
        // The confirmation named each file before it was written.
        for (const QString &name : expected)
            QVERIFY2(h.messages.questions.last().contains(name), qPrintable(name));

        const QByteArray record = files.value(QStringLiteral("session-record.log"));
        QVERIFY(record.contains(" TX p\\x0D\\x0A"));
        QVERIFY(record.contains(" EV Online"));
        QVERIFY(files.value(mdv).contains("\"Firmware Version: \",\"V 2.25\""));
        QVERIFY(files.value(QStringLiteral("version.txt")).contains(applicationVersionText().toUtf8()));
        QVERIFY(files.value(QStringLiteral("Tarvikon.conf")).contains("ServicePassword=(removed)"));
        QVERIFY(files.value(QStringLiteral("Tarvikon.conf")).contains("PasswordTop=120"));
        for (auto it = files.cbegin(); it != files.cend(); ++it) {
            for (const QString &secret : {AppShell::kServicePassword, AppShell::kFactoryPassword})
                QVERIFY2(!it.value().toLower().contains(secret.toUtf8()), qPrintable(it.key()));
        }
    }
};

QTEST_MAIN(TestSupportBundle)
#include "test_supportbundle.moc"
