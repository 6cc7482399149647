// The port picker as the technician uses it: opened from the connection
// window and the Configure menu, listing made-up adapters and the simulator,
// a choice stored at once and shown in the option buttons' tool tips.

#include "core/ports/portpickermodel.h"
#include "base/windownames.h"
#include "guitest.h"
#include "panels/ports/portspanel.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTest>

using namespace tvk;
using namespace tvk::test;

namespace {
SerialPortEntry ftdi(const QString &device, const QString &serial)
{
    SerialPortEntry e;
    e.device = device;
    e.portName = device.section(u'/', -1);
    e.description = QStringLiteral("FT232R USB UART");
    e.manufacturer = QStringLiteral("FTDI");
    e.serialNumber = serial;
    e.vendorId = 0x0403;
    e.productId = 0x6001;
    e.hasUsbIds = true;
    return e;
}

QString config(GuiHarness &h, const QString &key)
{
    return h.core->settings.read(AppName::Tarvikon, SettingsSection::Configs, key, QStringLiteral("<none>"));
}
} // namespace

class TestPortsPanel : public QObject {
    Q_OBJECT
private slots:
    void opensFromTheConnectionWindowAndTheMenu()
    {
        GuiHarness h("version=2.25");
        h.start();
        QVERIFY(!h.visible(win::frmPorts));
        auto *button = h.require<QPushButton>(win::frmConnect, "btnPorts");
        QCOMPARE(button->text(), QStringLiteral("Ports ..."));
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(h.visible(win::frmPorts));
        QTest::mouseClick(h.require<QPushButton>(win::frmPorts, "btnDone"), Qt::LeftButton);
        QVERIFY(!h.visible(win::frmPorts));
        h.window->trigger(QStringLiteral("mnuConfigurePorts"));
        QVERIFY(h.visible(win::frmPorts));
        // Nothing was sent to the monitor by looking at ports.
        QVERIFY(!h.receivedWithoutPings().contains("p"));
    }

    void choosingStoresAtOnce_andTheToolTipsFollow()
    {
        GuiHarness h;
        h.portInfo.ports = {ftdi(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("A10K3XQ"))};
        h.start();
        h.window->trigger(QStringLiteral("mnuConfigurePorts"));
        auto *table = h.require<QTableView>(win::frmPorts, "grdPorts");
        QCOMPARE(table->model()->rowCount(), 6); // the adapter, Com1..Com4's defaults, the simulator
        QCOMPARE(table->model()->index(0, PortPickerModel::Description).data().toString(),
                 QStringLiteral("FT232R USB UART"));

        // Com2 from the list: the adapter.
        auto *com2 = h.require<QComboBox>(win::frmPorts, "cboDevice_1");
        QCOMPARE(com2->itemText(0), QStringLiteral("/dev/ttyUSB0  (FT232R USB UART)"));
        com2->setCurrentIndex(0);
        emit com2->activated(0);
        QCOMPARE(config(h, "Com2Device"), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(config(h, "Com2SerialNumber"), QStringLiteral("A10K3XQ"));
        QCOMPARE(h.require<QLabel>(win::frmPorts, "lblState_1")->text(), QStringLiteral("present"));
        QCOMPARE(table->model()->index(0, PortPickerModel::Ports).data().toString(), QStringLiteral("Com2"));
        QCOMPARE(h.require<QRadioButton>(win::frmConnect, "optCommPort_1")->toolTip(),
                 QStringLiteral("/dev/ttyUSB0 (FT232R USB UART, serial number A10K3XQ)"));

        // Com3 typed: stored as typed.
        auto *com3 = h.require<QComboBox>(win::frmPorts, "cboDevice_2");
        com3->lineEdit()->setText(QStringLiteral("/dev/ttyACM9"));
        emit com3->lineEdit()->editingFinished();
        QCOMPARE(config(h, "Com3Device"), QStringLiteral("/dev/ttyACM9"));
        QCOMPARE(h.require<QLabel>(win::frmPorts, "lblState_2")->text(), QStringLiteral("not found"));
        QCOMPARE(h.require<QRadioButton>(win::frmConnect, "optCommPort_2")->toolTip(),
                 QStringLiteral("/dev/ttyACM9 (not found)"));

        // The adapter is pulled: Refresh shows it as not plugged in.
        h.portInfo.ports.clear();
        QTest::mouseClick(h.require<QPushButton>(win::frmPorts, "btnRefresh"), Qt::LeftButton);
        QCOMPARE(h.require<QLabel>(win::frmPorts, "lblState_1")->text(), QStringLiteral("not plugged in"));
        QVERIFY(com2->currentText().startsWith(QStringLiteral("/dev/ttyUSB0  (not plugged in)")));
    }
};

QTEST_MAIN(TestPortsPanel)
#include "test_portspanel.moc"
