#include "protocol/replyparsers.h"

#include <QTest>

using namespace tvk;
using Kind = PingReply::Kind;

class TestReplyParsers : public QObject {
    Q_OBJECT
private slots:
    void ping_markerTellsWhoAnswered()
    {
        QCOMPARE(ParsePingResponse(QStringLiteral("\r\n#")).kind, Kind::Application);
        QCOMPARE(ParsePingResponse(QStringLiteral("#")).kind, Kind::Application);
        QCOMPARE(ParsePingResponse(QStringLiteral("\r\n$")).kind, Kind::BootBlock);
        // "#" anywhere means the application firmware, even after a "$"
        QCOMPARE(ParsePingResponse(QStringLiteral("$ #")).kind, Kind::Application);
        // "$" counts only at the start
        QCOMPARE(ParsePingResponse(QStringLiteral("x$")).kind, Kind::NotAnswered);
        QCOMPARE(ParsePingResponse(QStringLiteral("garbage")).kind, Kind::NotAnswered);
        QCOMPARE(ParsePingResponse(QString()).kind, Kind::NotAnswered);
    }

    void probe_colourByPriority_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("colour"); // -1: no colour
        QTest::newRow("ok") << "i0x93\r\nDevice 0x93 OK\r\n#" << Colour::Green;
        QTest::newRow("nr") << "i0x93\r\nDevice 0x93 NR\r\n#" << Colour::Red;
        QTest::newRow("nc") << "i0x93\r\nDevice 0x93 NC\r\n#" << Colour::Yellow;
        QTest::newRow("ok before nr") << "iDevice 0x93 OK NR#" << Colour::Red;
        QTest::newRow("nc before ok") << "iDevice 0x93 NC OK#" << Colour::Green;
        QTest::newRow("lowercase codes") << "iDevice 0x93 ok nr nc#" << -1;
        QTest::newRow("none") << "iDevice 0x93#" << -1;
    }
    void probe_colourByPriority()
    {
        QFETCH(QString, text);
        QFETCH(int, colour);
        const PingReply reply = ParsePingResponse(QStringLiteral(" \t") + text);
        QCOMPARE(reply.kind, Kind::Probe);
        QCOMPARE(reply.text, text); // leading whitespace stripped
        if (colour < 0)
            QVERIFY(!reply.colour.has_value());
        else
            QCOMPARE(reply.colour, std::optional<int>(colour));
    }

    void probe_needsLowercaseI()
    {
        // An uppercase I is no probe result: the "#" makes it a ping answer.
        const PingReply reply = ParsePingResponse(QStringLiteral("IDevice 0x93 OK#"));
        QCOMPARE(reply.kind, Kind::Application);
        QVERIFY(!reply.colour.has_value());
    }

    void address_collectsHexDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected"); // "-" for none
        QTest::newRow("plain") << "0x1234\r\nAddr = 0x1A2b\r\n#" << "0x1A2b";
        QTest::newRow("stops at non-hex") << "Addr = 0x00FFg12#" << "0x00FF";
        QTest::newRow("at end of text") << "Addr = 0xBEEF" << "0xBEEF";
        QTest::newRow("no digits") << "Addr = 0x#" << "0x";
        QTest::newRow("absent") << "+\r\n#" << "-";
        QTest::newRow("other spacing") << "Addr=0x12#" << "-";
        QTest::newRow("case differs") << "ADDR = 0x12#" << "-";
    }
    void address_collectsHexDigits()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        const std::optional<QString> address = ParseAddressResponse(text);
        if (expected == QLatin1String("-"))
            QVERIFY(!address.has_value());
        else
            QCOMPARE(address, std::optional<QString>(expected));
    }
};

QTEST_GUILESS_MAIN(TestReplyParsers)
#include "test_replyparsers.moc"
