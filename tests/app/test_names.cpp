// Every control the program's routines write through the control book must
// exist on its window: a misspelt name would otherwise be dropped without a
// trace. The test loads every registered window, drives the connection
// states, the application modes, each monitor profile and a full read of the
// simulated monitor, then resolves every name the book holds.

#include "base/windownames.h"
#include "guitest.h"

#include <QMenu>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

// Windows the tool names but does not build yet; the book may hold entries
// for them, which apply when they are built. Every window is built now.
const QSet<QString> kNotBuiltYet{};

} // namespace

class TestNames : public QObject {
    Q_OBJECT
private slots:
    void everyNameInTheBookResolves()
    {
        GuiHarness h("version=2.25");
        QVERIFY(h.goOnline());
        WindowRegistry &registry = h.window->registry();
        for (const QString &name : registry.names()) {
            QVERIFY2(!kNotBuiltYet.contains(name),
                     qPrintable(name + QStringLiteral(" is built: take it off the list")));
            registry.openWindow(name);
            h.pump(50);
        }
        // A full read answers every DAC family the monitor has.
        h.core->fullRead.start();
        h.pump(50 * 1000, 20);

        AppShell &shell = h.core->shell;
        for (int code : {150, 130, 225, 250, 310, 299})
            shell.applyMonitorTypeProfile(code);
        shell.SetServiceMode();
        shell.SetFactoryMode();
        shell.SetUserMode();
        shell.EnterBootModeState();
        shell.EnterOfflineDemoState();
        shell.EnterNoMonitorState();
        shell.EnterOnlineState();

        const ControlBook &book = h.core->controls;
        QStringList unresolved;
        for (const QString &window : book.windowNames()) {
            QWidget *host = nullptr;
            if (window == win::frmMain)
                host = h.window.get();
            else if (registry.isRegistered(window))
                host = registry.ensure(window);
            else {
                QVERIFY2(kNotBuiltYet.contains(window),
                         qPrintable(QStringLiteral("the book names an unknown window ") + window));
                continue;
            }
            QVERIFY(host);
            const auto entries = book.entriesFor(window);
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                if (it.key().isEmpty())
                    continue; // the window itself
                if (!host->findChild<QObject *>(it.key()))
                    unresolved << window + QLatin1Char('/') + it.key();
            }
        }
        QVERIFY2(unresolved.isEmpty(), qPrintable(unresolved.join(QStringLiteral(", "))));
    }

    // At run time a name no control answers to is logged, once.
    void anUnknownNameIsLogged()
    {
        GuiHarness h;
        h.window->registry().openWindow(win::frmVersion);
        const QRegularExpression missing(QStringLiteral("frmVersion.*has no control.*lblNoSuchValue"));
        QTest::ignoreMessage(QtWarningMsg, missing);
        h.core->controls.setText(win::frmVersion, QStringLiteral("lblNoSuchValue"), QStringLiteral("1"));
        QTest::failOnWarning(missing);
        h.core->controls.setText(win::frmVersion, QStringLiteral("lblNoSuchValue"), QStringLiteral("2"));
    }
};

QTEST_MAIN(TestNames)
#include "test_names.moc"
