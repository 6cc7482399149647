// The mode dialog and its password gate on the real main window.

#include "panels/modes/appmodewindow.h"
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

const QString kAppMode = QStringLiteral("frmAppMode");
const QString kPassword = QStringLiteral("frmPassword");

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
        QVERIFY(r.isWindowVisible(kAppMode));
        QCOMPARE(r.find(kAppMode)->windowTitle(), QStringLiteral("Select Application Mode"));
        QCOMPARE(h.child<QGroupBox>(kAppMode, "frameMode")->title(), QStringLiteral("Mode"));
        const struct {
            const char *name, *text, *tip;
        } labels[] = {{"lblUser", "Installation", "Select User Mode"},
                      {"lblService", "Maintenance*", "Select Maintenance Mode"},
                      {"lblFactory", "Factory*", "Select Factory Mode"}};
        for (const auto &l : labels) {
            auto *label = h.child<QLabel>(kAppMode, l.name);
            QVERIFY2(label, l.name);
            QCOMPARE(label->text(), QString::fromLatin1(l.text));
            QCOMPARE(label->toolTip(), QString::fromLatin1(l.tip));
        }
        QCOMPARE(h.child<QLabel>(kAppMode, "lblExplain")->text(), QStringLiteral("* = Password Required"));
        QCOMPARE(h.child<QRadioButton>(kAppMode, "optUser")->toolTip(),
                 QStringLiteral("Select User Mode, allows normal adjustments."));
        QCOMPARE(h.child<QRadioButton>(kAppMode, "optService")->toolTip(),
                 QStringLiteral("Service mode allows timing setups"));
        QCOMPARE(h.child<QRadioButton>(kAppMode, "optFactory")->toolTip(), QStringLiteral("Configure ALL parameters"));
        auto *ok = h.child<QPushButton>(kAppMode, "btnOK");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->toolTip(), QStringLiteral("Enter the selection."));
        QVERIFY(ok->isDefault());
        QVERIFY(h.child<QRadioButton>(kAppMode, "optUser")->isChecked());

        // Clicking the Maintenance label selects it and asks for the password.
        QTest::mouseClick(h.child<QLabel>(kAppMode, "lblService"), Qt::LeftButton);
        QVERIFY(h.child<QRadioButton>(kAppMode, "optService")->isChecked());
        QVERIFY(r.isWindowVisible(kPassword));
        QCOMPARE(r.find(kPassword)->windowTitle(), QStringLiteral("Enter Password"));
        QCOMPARE(h.child<QLabel>(kPassword, "lblEnterPassword")->text(), QStringLiteral("Enter Password:"));
        QCOMPARE(h.child<QLineEdit>(kPassword, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(h.child<QPushButton>(kPassword, "btnOK")->text(), QStringLiteral("OK"));
        QVERIFY(h.child<QPushButton>(kPassword, "btnOK")->isDefault());
        QCOMPARE(h.child<QPushButton>(kPassword, "btnCancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
    }

    void password_wrongRightAndCancel()
    {
        GuiHarness h;
        h.window->show();
        WindowRegistry &r = h.window->registry();
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        h.child<QRadioButton>(kAppMode, "optFactory")->click(); // acts as OK at once
        QVERIFY(r.isWindowVisible(kPassword));
        auto *box = h.child<QLineEdit>(kPassword, "txtPassword");
        auto *ok = h.child<QPushButton>(kPassword, "btnOK");

        // Wrong: reported, box emptied, both dialogs stay.
        QTest::keyClicks(box, QStringLiteral("marble"));
        ok->click();
        QCOMPARE(h.messages.messages,
                 QStringList{QStringLiteral("Incorrect Password. Try again, or Cancel, then Select User Mode.")});
        QVERIFY(box->text().isEmpty());
        QVERIFY(r.isWindowVisible(kPassword));
        QVERIFY(r.isWindowVisible(kAppMode));

        // Cancel hides the password dialog only; nothing typed is kept.
        QTest::keyClicks(box, QStringLiteral("kel"));
        QCOMPARE(box->displayText(), QStringLiteral("***"));
        h.child<QPushButton>(kPassword, "btnCancel")->click();
        QVERIFY(!r.isWindowVisible(kPassword));
        QVERIFY(r.isWindowVisible(kAppMode));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(box->text().isEmpty());

        // Right (Enter in the box): Factory mode, both dialogs hidden, box empty.
        QTest::mouseClick(h.child<QLabel>(kAppMode, "lblFactory"), Qt::LeftButton);
        QVERIFY(r.isWindowVisible(kPassword));
        QTest::keyClicks(box, QStringLiteral(" kelp "));
        QTest::keyClick(box, Qt::Key_Return);
        QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
        QVERIFY(h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
        QVERIFY(!r.isWindowVisible(kPassword));
        QVERIFY(!r.isWindowVisible(kAppMode));
        QVERIFY(box->text().isEmpty());
        QCOMPARE(h.messages.messages.size(), 1);

        // Reopened, the dialog shows the current mode; choosing it again does nothing.
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        auto *optFactory = h.child<QRadioButton>(kAppMode, "optFactory");
        QVERIFY(optFactory->isChecked());
        optFactory->click();
        QVERIFY(r.isWindowVisible(kAppMode));
        QVERIFY(!r.isWindowVisible(kPassword));

        // The Installation label only selects; OK then applies User mode without a password.
        QTest::mouseClick(h.child<QLabel>(kAppMode, "lblUser"), Qt::LeftButton);
        QVERIFY(h.child<QRadioButton>(kAppMode, "optUser")->isChecked());
        QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
        QVERIFY(r.isWindowVisible(kAppMode));
        h.child<QPushButton>(kAppMode, "btnOK")->click();
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(!r.isWindowVisible(kAppMode));
        QVERIFY(!r.isWindowVisible(kPassword));
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
    }
};

QTEST_MAIN(TestModeWindows)
#include "test_modewindows.moc"
