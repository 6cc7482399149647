// The boot-block report and where its values go.

#include "base/controlbook.h"
#include "firmware/bootblock.h"
#include "firmware/firmwarehandlers.h"

#include <QTest>

using namespace tvk;

class TestBootBlock : public QObject {
    Q_OBJECT
private slots:
    void fullReportFillsEveryLabel();
    void partialAndEmptyReports();
};

void TestBootBlock::fullReportFillsEveryLabel()
{
    const QString reply = QStringLiteral(
        " Flag AA = 0xAA\r\nFlag 55 = 0x55\r\nBoot Unconditional = 0x34\r\n"
        "Flash L Bound H = 0x00\r\nFlash L Bound L = 0x10\r\nFlash U Bound H = 0x0F\r\n"
        "Flash U Bound L = 0xFF\r\nFlash Checksum = 0x7e\r\nAbort AutoBoot = 0x01\r\n"
        "auto boot OFF\r\n#");
    const BootBlockReport report = ParseBootBlockReply(reply);
    QCOMPARE(report.count, 9);
    const QStringList expected = {"AA", "55", "34", "00", "10", "0F", "FF", "7e", "01"};
    for (int i = 0; i < 9; ++i)
        QCOMPARE(report.values[i], expected[i]);
    // The word only: neither the line end nor the prompt.
    QCOMPARE(report.autoBoot, std::optional<QString>(QStringLiteral("OFF")));

    ControlBook book;
    applyBootBlockReply(reply, book);
    QCOMPARE(book.text(win::frmBootBlock, QStringLiteral("lblValue_2")), std::optional<QString>("34"));
    QCOMPARE(book.text(win::frmBootBlock, QStringLiteral("lblValue_8")), std::optional<QString>("01"));
    QCOMPARE(book.text(win::frmBootBlock, QStringLiteral("lblAutoBoot")), std::optional<QString>("OFF"));

    // Two values on one line: the rest of that line is skipped, so the
    // second one is not taken for the next index.
    const BootBlockReport skip = ParseBootBlockReply(QStringLiteral("a = 0x01 b = 0x02\nc = 0x03\n"));
    QCOMPARE(skip.count, 2);
    QCOMPARE(skip.values[1], QStringLiteral("03"));
}

void TestBootBlock::partialAndEmptyReports()
{
    ControlBook book;
    book.setText(win::frmBootBlock, QStringLiteral("lblValue_0"), QStringLiteral("Value"));
    applyBootBlockReply(QStringLiteral("auto boot ON\r\n#"), book); // no "= 0x": nothing at all
    QCOMPARE(book.text(win::frmBootBlock, QStringLiteral("lblValue_0")), std::optional<QString>("Value"));
    QVERIFY(!book.text(win::frmBootBlock, QStringLiteral("lblAutoBoot")));

    const BootBlockReport three = ParseBootBlockReply(QStringLiteral("x = 0x01\ny = 0x02\nz = 0x03\n#"));
    QCOMPARE(three.count, 3);
    QVERIFY(!three.autoBoot);
    applyBootBlockReply(QStringLiteral("x = 0x01\ny = 0x02\nz = 0x03\n#"), book);
    QCOMPARE(book.text(win::frmBootBlock, QStringLiteral("lblValue_0")), std::optional<QString>("01"));
    QVERIFY(!book.text(win::frmBootBlock, QStringLiteral("lblValue_3")));
    // "auto boot" at the very end of the text.
    QCOMPARE(ParseBootBlockReply(QStringLiteral("v = 0x01\nauto boot ON")).autoBoot,
             std::optional<QString>(QStringLiteral("ON")));
}

QTEST_GUILESS_MAIN(TestBootBlock)
#include "test_bootblock.moc"
