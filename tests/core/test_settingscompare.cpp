// Two settings images side by side, and the plan of writing one back: what
// differs and is counted, what one side lacks, when the identity warns, and
// which values never reach the monitor.

#include "core/restore.h"
#include "core/settingscompare.h"

#include <QJsonArray>
#include <QTest>

using namespace tvk;

namespace {

QByteArray file(const QByteArray &identity, const QByteArray &body)
{
    return "\"Velloran Monitor DAC Value File\"\r\n\"Version 2.0\"\r\n\"File Created: \",\"1/2/26 9:00\"\r\n"
        + identity + "\"NumScanSets\",6\r\n\"NumLDacs\",8\r\n\"NumBDacs\",2\r\n" + body;
}

SettingsImage image(const QByteArray &identity, const QByteArray &body)
{
    const ImageFileResult r = parseSettingsFile(file(identity, body), QStringLiteral("f.mdv"));
    if (!r.image)
        qFatal("%s", qPrintable(r.error));
    return *r.image;
}

const QByteArray kId = "\"Model Number: \",\"TM-2100\"\r\n\"Serial Number: \",\"A100\"\r\n";

} // namespace

class TestSettingsCompare : public QObject {
    Q_OBJECT
private slots:
    void differencesAreCountedFirst_andMissingOnesListed()
    {
        const SettingsImage left = image(kId,
                                         "\"ScanSet\",0\r\n\"ScanSetName\",\"640x480\"\r\n"
                                         "\"Master Contrast\",200,190,195\r\n"
                                         "\"Master Brightness\",128,128,128\r\n"
                                         "\"Red Gain\",180,170,175\r\n"
                                         "\"White Level\",150,150,150\r\n"
                                         "\"ScanSet\",2\r\n\"ScanSetName\",\"1024\"\r\n"
                                         "\"Red Gain\",1,1,1\r\n");
        const SettingsImage right = image(kId,
                                          "\"ScanSet\",0\r\n\"ScanSetName\",\"640x480\"\r\n"
                                          "\"Master Contrast\",200,190,195\r\n"
                                          "\"Master Brightness\",130,128,128\r\n"
                                          "\"Red Gain\",180,170,176\r\n"
                                          "\"Bias Adjust\",110,110,110\r\n"
                                          "\"ScanSet\",4\r\n\"ScanSetName\",\"other\"\r\n"
                                          "\"Red Gain\",1,1,1\r\n");
        const SettingsComparison c = compareSettings(left, right);
        QCOMPARE(c.comparedChannels, 3);
        QCOMPARE(c.differingChannels, 2);
        QCOMPARE(c.summary(), QStringLiteral("2 of 3 channels differ; 2 only on one side"));
        QVERIFY(!c.equal());
        QVERIFY(c.warnings.isEmpty());
        QCOMPARE(c.scanSetsOnlyLeft, QList<int>{2});
        QCOMPARE(c.scanSetsOnlyRight, QList<int>{4});
        // Differences first, in file order; then the one-sided; then equal.
        QCOMPARE(c.channels.size(), 5);
        QCOMPARE(c.channels[0].name, QStringLiteral("Master Brightness"));
        QVERIFY(c.channels[0].presentDiffers() && !c.channels[0].differs[2]);
        QCOMPARE(c.channels[1].name, QStringLiteral("Red Gain"));
        QVERIFY(!c.channels[1].presentDiffers() && c.channels[1].differs[2]);
        QCOMPARE(c.channels[2].state, ChannelComparison::State::OnlyLeft);
        QCOMPARE(c.channels[2].name, QStringLiteral("White Level"));
        QCOMPARE(c.channels[3].state, ChannelComparison::State::OnlyRight);
        QCOMPARE(c.channels[4].state, ChannelComparison::State::Same);

        const QString text = comparisonText(c);
        QVERIFY2(text.contains("L Master Brightness") && text.contains("present 128 -> 130"), qPrintable(text));
        QVERIFY2(!text.contains("Master Contrast"), qPrintable(text));
        QVERIFY(text.contains("Scan set 3 (1024): only in f.mdv"));
        const QJsonObject j = comparisonJson(c);
        QCOMPARE(j.value("differing").toInt(), 2);
        QCOMPARE(j.value("channels").toArray().size(), 4);

        // A file compared with itself, and with its own factory values.
        QVERIFY(compareSettings(left, left).equal());
        const SettingsComparison f = compareSettings(left, factoryImage(left));
        QCOMPARE(f.differingChannels, 2); // contrast and red gain of scan set 1; brightness, white level equal
    }

    void anotherModelOrSerialWarns_unknownOnesDoNot()
    {
        const QByteArray body = "\"ScanSet\",0\r\n\"Master Contrast\",200,190,195\r\n";
        const SettingsImage a = image(kId, body);
        const SettingsImage b = image("\"Model Number: \",\"TM-2100\"\r\n\"Serial Number: \",\"B7\"\r\n", body);
        SettingsComparison c = compareSettings(a, b);
        QCOMPARE(c.warnings.size(), 1);
        QVERIFY2(c.warnings[0].contains("serial number differs: A100 in f.mdv, B7 in f.mdv"), qPrintable(c.warnings[0]));
        QVERIFY(c.identity[1].differs);
        // A file saved offline has no identity: nothing to warn about.
        c = compareSettings(a, image("", body));
        QVERIFY(c.warnings.isEmpty());
    }

    void filesThatCannotBeReadWholeAreRefused()
    {
        QVERIFY(!parseSettingsFile("\"Velloran Monitor DAC Value File\"\r\n", "s.mdv").image);
        for (const QByteArray &body : {QByteArray("\"ScanSet\",0\r\n\"Master Contrastt\",1,2,3\r\n"),
                                       QByteArray("\"ScanSet\",0\r\n\"Master Contrast\",1,x,3\r\n"),
                                       QByteArray("\"ScanSet\",0\r\n\"Master Contrast\",1,2\r\n"),
                                       QByteArray("\"ScanSet\",6\r\n")}) {
            const ImageFileResult r = parseSettingsFile(file(kId, body), "bad.mdv");
            QVERIFY2(!r.image, body.constData());
            QVERIFY2(r.error.startsWith("The file bad.mdv cannot be used: line "), qPrintable(r.error));
        }
        // Values out of range are read (and shown): the plan keeps them off the wire.
        QVERIFY(parseSettingsFile(file(kId, "\"ScanSet\",0\r\n\"Master Contrast\",300,-1,2\r\n"), "x").image);
    }

    void outOfRangeOrMissingValuesAreNeverPlanned()
    {
        const SettingsImage f = image(kId,
                                      "\"ScanSet\",0\r\n"
                                      "\"Master Contrast\",300,190,195\r\n"   // beyond 255
                                      "\"Red Gain\",-1,170,175\r\n"           // below 0
                                      "\"North-South Phase\",64,30,30\r\n"    // beyond 63
                                      "\"Horiz S Cap\",128,60,60\r\n"         // beyond 127
                                      "\"Vertical Size\",141,140,140\r\n"     // fine
                                      "\"Convergence RB V DC\",5,5,5\r\n");   // no set command
        SettingsImage m = f;
        m.source = "monitor";
        m.scanSets[0].channels.removeLast(); // the monitor does not report convergence
        for (ImageChannel &c : m.scanSets[0].channels)
            c.present = 10;
        const RestorePlan plan = planRestore(f, m, {});
        QCOMPARE(plan.present.size(), 1);
        QCOMPARE(plan.present[0].name, QStringLiteral("Vertical Size"));
        QCOMPARE(plan.skipped.size(), 4);
        QVERIFY2(plan.skipped.join('\n').contains("300 is outside 0..255"), qPrintable(plan.skipped.join('\n')));
        QVERIFY(plan.skipped.join('\n').contains("64 is outside 0..63"));
        QVERIFY(plan.skipped.join('\n').contains("128 is outside 0..127"));
        QCOMPARE(restoreCommands(plan, 0), QStringList{"cdv0141"});

        // Unticked channels are left alone; a group filter keeps to its groups.
        RestoreOptions none;
        none.ticked = [](int, DacGroupId, int) { return false; };
        QVERIFY(planRestore(f, m, none).present.isEmpty());
        RestoreOptions onlyL;
        onlyL.groups = {DacGroupId::L};
        QVERIFY(planRestore(f, m, onlyL).present.isEmpty());
    }

    void initialValuesNeedEveryChannelOfTheGroup()
    {
        const SettingsImage f = image(kId,
                                      "\"ScanSet\",0\r\n"
                                      "\"White Level\",150,150,140\r\n"
                                      "\"Bias Adjust\",110,110,111\r\n");
        SettingsImage m = f;
        m.scanSets[0].channels[0].initial = 100; // differs
        m.scanSets[0].channels[1].present = 99;  // differs, not ticked
        RestoreOptions o;
        o.initial = true;
        o.ticked = [](int, DacGroupId, int channel) { return channel == 0; };
        RestorePlan plan = planRestore(f, m, o);
        QCOMPARE(plan.initial.size(), 1);
        // Initial values, the store, then each present value back: the
        // unticked channel to what the monitor has.
        QCOMPARE(restoreCommands(plan, 0), QStringList({"cdb0140", "cdb1111", "cdbp", "cdb0150", "cdb199"}));
        QCOMPARE(plan.total(), 2);

        // Without a present value to go back to, the group's initial values are not touched.
        m.scanSets[0].channels[1].present.reset();
        plan = planRestore(f, m, o);
        QVERIFY(plan.initial.isEmpty());
        QCOMPARE(plan.skipped.size(), 1);
        QVERIFY(!restoreCommands(plan, 0).contains("cdbp"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsCompare)
#include "test_settingscompare.moc"
