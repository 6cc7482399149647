// The mode dialog and its password gate on the real main window.

#include "panels/modes/appmodewindow.h"
#include "base/windownames.h"
#include "app/mainwindow.h"
#include "panels/modes/passwordwindow.h"
#include "app/windowregistry.h"
#include "guitest.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
} // namespace

class TestModeWindows : public QObject {
    Q_OBJECT
private slots:
    void dialogs_haveTheirControlsAndTexts()
    {
        GuiHarness h;
        h.window->show();
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        WindowRegistry &r = h.window->registry();
        QVERIFY(r.isWindowVisible(win::frmAppMode));
        QCOMPARE(r.find(win::frmAppMode)->windowTitle(), QStringLiteral("Select Application Mode"));
        QCOMPARE(h.child<QGroupBox>(win::frmAppMode, "frameMode")->title(), QStringLiteral("Mode"));
        const struct {
            const char *name, *text, *tip;
        } labels[] = {{"lblUser", "Installation", "Select User Mode"},
                      {"lblService", "Maintenance*", "Select Maintenance Mode"},
                      {"lblFactory", "Factory*", "Select Factory Mode"}};
        for (const auto &l : labels) {
            auto *label = h.child<QLabel>(win::frmAppMode, l.name);
            QVERIFY2(label, l.name);
            QCOMPARE(label->text(), QString::fromLatin1(l.text));
            QCOMPARE(label->toolTip(), QString::fromLatin1(l.tip));
        }
        QCOMPARE(h.child<QLabel>(win::frmAppMode, "lblExplain")->text(), QStringLiteral("* = Password Required"));
        QCOMPARE(h.child<QRadioButton>(win::frmAppMode, "optUser")->toolTip(),
                 QStringLiteral("Select User Mode, allows normal adjustments."));
        QCOMPARE(h.child<QRadioButton>(win::frmAppMode, "optService")->toolTip(),
                 QStringLiteral("Service mode allows timing setups"));
        QCOMPARE(h.child<QRadioButton>(win::frmAppMode, "optFactory")->toolTip(), QStringLiteral("Configure ALL parameters"));
        auto *ok = h.child<QPushButton>(win::frmAppMode, "btnOK");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->toolTip(), QStringLiteral("Enter the selection."));
        QVERIFY(ok->isDefault());
        QVERIFY(h.child<QRadioButton>(win::frmAppMode, "optUser")->isChecked());

        // Clicking the Maintenance label selects it and asks for the password.
        QTest::mouseClick(h.child<QLabel>(win::frmAppMode, "lblService"), Qt::LeftButton);
        QVERIFY(h.child<QRadioButton>(win::frmAppMode, "optService")->isChecked());
        QVERIFY(r.isWindowVisible(win::frmPassword));
        QCOMPARE(r.find(win::frmPassword)->windowTitle(), QStringLiteral("Enter Password"));
        QCOMPARE(h.child<QLabel>(win::frmPassword, "lblEnterPassword")->text(), QStringLiteral("Enter Password:"));
        QCOMPARE(h.child<QLineEdit>(win::frmPassword, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(h.child<QPushButton>(win::frmPassword, "btnOK")->text(), QStringLiteral("OK"));
        QVERIFY(h.child<QPushButton>(win::frmPassword, "btnOK")->isDefault());
        QCOMPARE(h.child<QPushButton>(win::frmPassword, "btnCancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
    }

    void password_wrongRightAndCancel()
    {
        GuiHarness h;
        h.window->show();
        WindowRegistry &r = h.window->registry();
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        h.child<QRadioButton>(win::frmAppMode, "optFactory")->click(); // acts as OK at once
        QVERIFY(r.isWindowVisible(win::frmPassword));
        auto *box = h.child<QLineEdit>(win::frmPassword, "txtPassword");
        auto *ok = h.child<QPushButton>(win::frmPassword, "btnOK");

        // Wrong: reported, box emptied, both dialogs stay.
        QTest::keyClicks(box, QStringLiteral("marble"));
        ok->click();
        QCOMPARE(h.messages.messages,
                 QStringList{QStringLiteral("Incorrect Password. Try again, or Cancel, then Select User Mode.")});
        QVERIFY(box->text().isEmpty());
        QVERIFY(r.isWindowVisible(win::frmPassword));
        QVERIFY(r.isWindowVisible(win::frmAppMode));

        // Cancel hides the password dialog only; nothing typed is kept.
        QTest::keyClicks(box, QStringLiteral("kel"));
        QCOMPARE(box->displayText(), QStringLiteral("***"));
        h.child<QPushButton>(win::frmPassword, "btnCancel")->click();
        QVERIFY(!r.isWindowVisible(win::frmPassword));
        QVERIFY(r.isWindowVisible(win::frmAppMode));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(box->text().isEmpty());

        // Right (Enter in the box): Factory mode, both dialogs hidden, box empty.
        QTest::mouseClick(h.child<QLabel>(win::frmAppMode, "lblFactory"), Qt::LeftButton);
        QVERIFY(r.isWindowVisible(win::frmPassword));
        QTest::keyClicks(box, QStringLiteral(" kelp "));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
        QVERIFY(h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
        QVERIFY(!r.isWindowVisible(win::frmPassword));
        QVERIFY(!r.isWindowVisible(win::frmAppMode));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(h.messages.messages.size(), 1);

        // Reopened, the dialog shows the current mode; choosing it again does nothing.
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        auto *optFactory = h.child<QRadioButton>(win::frmAppMode, "optFactory");
        QVERIFY(optFactory->isChecked());
        optFactory->click();
        QVERIFY(r.isWindowVisible(win::frmAppMode));
        QVERIFY(!r.isWindowVisible(win::frmPassword));

        // The Installation label only selects; OK then applies User mode without a password.
        QTest::mouseClick(h.child<QLabel>(win::frmAppMode, "lblUser"), Qt::LeftButton);
        QVERIFY(h.child<QRadioButton>(win::frmAppMode, "optUser")->isChecked());
        QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
        QVERIFY(r.isWindowVisible(win::frmAppMode));
        h.child<QPushButton>(win::frmAppMode, "btnOK")->click();
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(!r.isWindowVisible(win::frmAppMode));
        QVERIFY(!r.isWindowVisible(win::frmPassword));
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
    }
};

QTEST_MAIN(TestModeWindows)
#include "test_modewindows.moc"
