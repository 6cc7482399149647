// Every reading as a screen reader hears it: the reading windows on the real
// main window against the simulated monitor, walked through their
// accessibility interfaces once the readings have arrived.

#include "base/windownames.h"
#include "guitest.h"
#include "model/scansets.h"
#include "monitorsim.h"
#include "panels/accessiblevalue.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {

QString caption(QString text)
{
    text = text.simplified();
    if (text.endsWith(u':'))
        text.chop(1);
    return text;
}

// What a screen reader says for a widget: its name, and its value where it
// has one apart from the name (a read-only box).
QString heard(QWidget *w)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(w);
    if (!iface)
        return QString();
    const QString name = iface->text(QAccessible::Name);
    const QString value = iface->text(QAccessible::Value);
    return value.isEmpty() ? name : name + QStringLiteral(": ") + value;
}

// The caption whose buddy is w, if any.
QString buddyCaption(Panel *panel, QWidget *w)
{
    for (QLabel *l : panel->findChildren<QLabel *>()) {
        if (l->buddy() == w)
            return caption(l->text());
    }
    return QString();
}

} // namespace

class TestAccessibleValue : public QObject {
    Q_OBJECT
private slots:
    void init() { freshSettingsFolder(); }

    // Each reading window: every value the monitor's replies wrote, and every
    // further reading listed, is heard with its caption and its value, the
    // value it shows now.
    void readings_heardWithCaptionAndValue_data()
    {
        QTest::addColumn<QString>("sim");
        QTest::addColumn<QStringList>("windows");
        // Readings the window writes itself, not through the control book.
        QTest::addColumn<QStringList>("alsoHeard");
        QStringList titles;
        for (int i = 0; i < ScanSets::kCount; ++i)
            titles << QStringLiteral("ScanName_%1").arg(i);
        QTest::newRow("modular CRT")
            << QStringLiteral("version=2.25")
            << QStringList{win::frmMDITestPoints, win::frmCRTVoltages, win::frmDeflectionStatus, win::frmHVLimits,
                           win::frmMDI_HV, win::frmBrightnessContrast, win::frmScanSelect}
            << titles;
        QTest::newRow("early CRT") << QStringLiteral("version=1.50") << QStringList{win::frmTestPoint} << QStringList();
        QTest::newRow("flat panel") << QStringLiteral("version=3.10") << QStringList{win::frmFlatPanelTestPoints}
                                    << QStringList();
    }

    void readings_heardWithCaptionAndValue()
    {
        QFETCH(QString, sim);
        QFETCH(QStringList, windows);
        QFETCH(QStringList, alsoHeard);
        GuiHarness h(sim.toLatin1().constData());
        QVERIFY(h.goOnline());
        h.pump(500);
        int unread = 0;
        int alsoFound = 0;
        for (const QString &window : windows) {
            h.window->registry().openWindow(window);
            Panel *panel = h.window->registry().find(window);
            QVERIFY2(panel, qPrintable(window));
            // Nothing arrived yet: an empty reading says so.
            const auto labels = panel->findChildren<QLabel *>();
            for (QLabel *l : labels) {
                const QString said = spokenReading(l);
                if (!said.isEmpty() && l->text().isEmpty()) {
                    QVERIFY2(heard(l) == said && !said.endsWith(QStringLiteral(": ")), qPrintable(said));
                    ++unread;
                }
            }
            h.pump(3000, 10);

            QStringList readings = alsoHeard;
            const auto entries = h.core->controls.entriesFor(window);
            for (auto it = entries.begin(); it != entries.end(); ++it) {
                if (!it.key().isEmpty() && it.value().text)
                    readings << it.key();
            }
            int checked = 0;
            for (const QString &control : readings) {
                auto *w = panel->findChild<QWidget *>(control);
                auto *label = qobject_cast<QLabel *>(w);
                auto *box = qobject_cast<QLineEdit *>(w);
                if (!label && !(box && box->isReadOnly()))
                    continue;
                const QString value = label ? label->text() : box->text();
                const QString what = window + QLatin1Char('.') + control + QStringLiteral(" heard \"") + heard(w)
                                     + QStringLiteral("\"");
                QVERIFY2(!value.isEmpty(), qPrintable(what));
                QVERIFY2(heard(w).endsWith(QStringLiteral(": ") + value.simplified()), qPrintable(what));
                const QString spokenCaption = heard(w).chopped(value.simplified().size() + 2);
                QVERIFY2(!spokenCaption.isEmpty(), qPrintable(what));
                if (const QString c = buddyCaption(panel, w); !c.isEmpty())
                    QVERIFY2(spokenCaption == c, qPrintable(what));
                ++checked;
                alsoFound += alsoHeard.contains(control);
            }
            QVERIFY2(checked > 0, qPrintable(window));
        }
        QVERIFY(unread > 0);
        QCOMPARE(alsoFound, alsoHeard.size());
    }
};

QTEST_MAIN(TestAccessibleValue)
#include "test_accessiblevalue.moc"
