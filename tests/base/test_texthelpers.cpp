#include "base/texthelpers.h"

#include <QTest>

using namespace tvk;

class TestTextHelpers : public QObject {
    Q_OBJECT
private slots:
    void trimLeading_stripsOnlyCrLfBlankTab()
    {
        QCOMPARE(TrimLeading(u"\r\n\t12"), QStringLiteral("12"));
        QCOMPARE(TrimLeading(u"  "), QString());
        QCOMPARE(TrimLeading(u"\f x "), QStringLiteral("\f x ")); // form feed stays
        QCOMPARE(TrimLeading(u" a b "), QStringLiteral("a b "));  // trailing stays
    }

    void skipPast_leavesTextWithoutSeparatorUnchanged()
    {
        QCOMPARE(SkipPastComma(u"12,34,56"), QStringLiteral("34,56"));
        QCOMPARE(SkipPastComma(u"56#"), QStringLiteral("56#"));
        QCOMPARE(SkipPastLineFeed(u"ddv\r\n1,2#"), QStringLiteral("1,2#"));
        QCOMPARE(SkipPastLineFeed(u"abc"), QStringLiteral("abc"));
    }

    void digitTests()
    {
        QVERIFY(IsHexDigit(u"f"));
        QVERIFY(IsHexDigit(u"F"));
        QVERIFY(!IsHexDigit(u"g"));
        QVERIFY(!IsOctalDigit(u"8"));
        QVERIFY(IsOctalDigit(u"7"));
        QVERIFY(IsDecimalDigit(u"9x"));
        QVERIFY(!IsDecimalDigit(u"x9"));
        // every first-character test accepts an empty text
        QVERIFY(IsDecimalDigit(u"") && IsOctalDigit(u"") && IsHexDigit(u"") && IsAlphanumeric(u""));
        QVERIFY(IsAlphanumeric(u"q") && IsAlphanumeric(u"Z") && !IsAlphanumeric(u"-"));
        QVERIFY(IsSingleDigit(u"7"));
        QVERIFY(!IsSingleDigit(u"") && !IsSingleDigit(u"77") && !IsSingleDigit(u"a"));
    }

    void isDigitsWithin()
    {
        QVERIFY(IsDigitsWithin(u"59", 59));
        QVERIFY(!IsDigitsWithin(u"60", 59));
        QVERIFY(!IsDigitsWithin(u"5a", 59));
        QVERIFY(IsDigitsWithin(u"", 0));
        QVERIFY(IsDigitsWithin(u"32767", 32767));
        QVERIFY(!IsDigitsWithin(u"32768", 32767));
        QVERIFY(!IsDigitsWithin(u"99999999999999999999", 32767)); // no overflow to a small value
    }

    void parseDecimal()
    {
        QCOMPARE(ParseDecimal(u" -17,4"), -17);
        QCOMPARE(ParseDecimal(u"abc"), -1);
        QCOMPARE(ParseDecimal(u"-x"), -1);
        QCOMPARE(ParseDecimal(u"123456"), 12345);
        QCOMPARE(ParseDecimal(u"65529"), 65529);
        QCOMPARE(ParseDecimal(u"99999"), 9999);
        QCOMPARE(ParseDecimal(u""), 0);
        QCOMPARE(ParseDecimal(u" \r\n"), 0);
        QCOMPARE(ParseDecimal(u"\r\n255#"), 255);
        QCOMPARE(ParseDecimal(u"- 5"), -5);
    }

    void parseNumber()
    {
        QCOMPARE(ParseNumber(u"0x1F"), 31);
        QCOMPARE(ParseNumber(u"0x1f"), 31);
        QCOMPARE(ParseNumber(u"017"), 15);
        QCOMPARE(ParseNumber(u"0"), 0);
        QCOMPARE(ParseNumber(u"0q"), -1);
        QCOMPARE(ParseNumber(u"08"), -1);
        QCOMPARE(ParseNumber(u" 5"), -1);
        QCOMPARE(ParseNumber(u"42abc"), 42);
        QCOMPARE(ParseNumber(u"0xFFFF"), 0xFFF);      // stops once past 4094
        QCOMPARE(ParseNumber(u"0777777"), 077777);    // octal stops once past 8190
        QCOMPARE(ParseNumber(u"0x"), 0);
    }

    void toInt16_wrapsLikeTheMonitorsWords()
    {
        QCOMPARE(ToInt16(65529), qint16(-7));
        QCOMPARE(ToInt16(-17), qint16(-17));
        QCOMPARE(ToInt16(255), qint16(255));
    }
};

QTEST_GUILESS_MAIN(TestTextHelpers)
#include "test_texthelpers.moc"
