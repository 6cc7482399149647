// The mode dialog and its password gate on the real main window.

#include "app/appmodewindow.h"
#include "app/mainwindow.h"
#include "app/passwordwindow.h"
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

template <typename T>
T *child(WindowRegistry &r, const QString &window, const char *name)
{
    Panel *p = r.find(window);
    return p ? p->findChild<T *>(QString::fromLatin1(name)) : nullptr;
}

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
        QCOMPARE(child<QGroupBox>(r, kAppMode, "frameMode")->title(), QStringLiteral("Mode"));
        const struct {
            const char *name, *text, *tip;
        } labels[] = {{"lblUser", "Installation", "Select User Mode"},
                      {"lblService", "Maintenance*", "Select Maintenance Mode"},
                      {"lblFactory", "Factory*", "Select Factory Mode"}};
        for (const auto &l : labels) {
            auto *label = child<QLabel>(r, kAppMode, l.name);
            QVERIFY2(label, l.name);
            QCOMPARE(label->text(), QString::fromLatin1(l.text));
            QCOMPARE(label->toolTip(), QString::fromLatin1(l.tip));
        }
        QCOMPARE(child<QLabel>(r, kAppMode, "lblExplain")->text(), QStringLiteral("* = Password Required"));
        QCOMPARE(child<QRadioButton>(r, kAppMode, "optUser")->toolTip(),
                 QStringLiteral("Select User Mode, allows normal adjustments."));
        QCOMPARE(child<QRadioButton>(r, kAppMode, "optService")->toolTip(),
                 QStringLiteral("Service mode allows timing setups"));
        QCOMPARE(child<QRadioButton>(r, kAppMode, "optFactory")->toolTip(), QStringLiteral("Configure ALL parameters"));
        auto *ok = child<QPushButton>(r, kAppMode, "btnOK");
        QCOMPARE(ok->text(), QStringLiteral("OK"));
        QCOMPARE(ok->toolTip(), QStringLiteral("Enter the selection."));
        QVERIFY(ok->isDefault());
        QVERIFY(child<QRadioButton>(r, kAppMode, "optUser")->isChecked());

        // Clicking the Maintenance label selects it and asks for the password.
        QTest::mouseClick(child<QLabel>(r, kAppMode, "lblService"), Qt::LeftButton);
        QVERIFY(child<QRadioButton>(r, kAppMode, "optService")->isChecked());
        QVERIFY(r.isWindowVisible(kPassword));
        QCOMPARE(r.find(kPassword)->windowTitle(), QStringLiteral("Enter Password"));
        QCOMPARE(child<QLabel>(r, kPassword, "lblEnterPassword")->text(), QStringLiteral("Enter Password:"));
        QCOMPARE(child<QLineEdit>(r, kPassword, "txtPassword")->echoMode(), QLineEdit::Password);
        QCOMPARE(child<QPushButton>(r, kPassword, "btnOK")->text(), QStringLiteral("OK"));
        QVERIFY(child<QPushButton>(r, kPassword, "btnOK")->isDefault());
        QCOMPARE(child<QPushButton>(r, kPassword, "btnCancel")->text(), QStringLiteral("Cancel"));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
    }

    void password_wrongRightAndCancel()
    {
        GuiHarness h;
        h.window->show();
        WindowRegistry &r = h.window->registry();
        h.window->trigger(QStringLiteral("mnuConfigureAppMode"));
        child<QRadioButton>(r, kAppMode, "optFactory")->click(); // acts as OK at once
        QVERIFY(r.isWindowVisible(kPassword));
        auto *box = child<QLineEdit>(r, kPassword, "txtPassword");
        auto *ok = child<QPushButton>(r, kPassword, "btnOK");

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
        child<QPushButton>(r, kPassword, "btnCancel")->click();
        QVERIFY(!r.isWindowVisible(kPassword));
        QVERIFY(r.isWindowVisible(kAppMode));
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(box->text().isEmpty());

        // Right (Enter in the box): Factory mode, both dialogs hidden, box empty.
        QTest::mouseClick(child<QLabel>(r, kAppMode, "lblFactory"), Qt::LeftButton);
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
        auto *optFactory = child<QRadioButton>(r, kAppMode, "optFactory");
        QVERIFY(optFactory->isChecked());
        optFactory->click();
        QVERIFY(r.isWindowVisible(kAppMode));
        QVERIFY(!r.isWindowVisible(kPassword));

        // The Installation label only selects; OK then applies User mode without a password.
        QTest::mouseClick(child<QLabel>(r, kAppMode, "lblUser"), Qt::LeftButton);
        QVERIFY(child<QRadioButton>(r, kAppMode, "optUser")->isChecked());
        QCOMPARE(h.core->shell.AppMode(), int(FactoryMode));
        QVERIFY(r.isWindowVisible(kAppMode));
        child<QPushButton>(r, kAppMode, "btnOK")->click();
        QCOMPARE(h.core->shell.AppMode(), int(UserMode));
        QVERIFY(!r.isWindowVisible(kAppMode));
        QVERIFY(!r.isWindowVisible(kPassword));
        QVERIFY(!h.window->menuAction(QStringLiteral("mnuDiagnosticsPeek"))->isEnabled());
    }
};

QTEST_MAIN(TestModeWindows)
#include "test_modewindows.moc"
