#include "core/windowlayout.h"
#include "base/windownames.h"
#include "testsupport.h"

#include <QSet>
#include <QTest>

using namespace tvk;

namespace {

// A window without widgets that records every value applied to it, in order.
class RecordingTarget : public LayoutTarget {
public:
    double t = 100, l = 200, w = 1000, h = 500; // the design geometry
    int state = 0;
    double cw = 10000, ch = 8000;   // main window
    double sw = 28800, sh = 21600;  // screen
    QStringList applied;

    double top() const override { return t; }
    double left() const override { return l; }
    double width() const override { return w; }
    double height() const override { return h; }
    void setTop(double v) override { t = v; applied << QStringLiteral("Top=%1").arg(v); }
    void setLeft(double v) override { l = v; applied << QStringLiteral("Left=%1").arg(v); }
    void setWidth(double v) override { w = v; applied << QStringLiteral("Width=%1").arg(v); }
    void setHeight(double v) override { h = v; applied << QStringLiteral("Height=%1").arg(v); }
    int windowState() const override { return state; }
    void setWindowState(int s) override { state = s; applied << QStringLiteral("State=%1").arg(s); }
    double containerWidth() const override { return cw; }
    double containerHeight() const override { return ch; }
    double screenWidth() const override { return sw; }
    double screenHeight() const override { return sh; }
};

const LayoutEntry &entry(const char *name)
{
    const LayoutEntry *e = layoutEntryFor(QString::fromLatin1(name));
    if (!e)
        qFatal("no layout entry for %s", name);
    return *e;
}

} // namespace

class TestWindowLayout : public QObject {
    Q_OBJECT
private slots:
    void init() { tvk::test::freshSettingsFolder(); }

    void table_namesAndGroups()
    {
        QSet<QString> names;
        QSet<QString> tarvik;
        int groupA = 0;
        for (const LayoutEntry &e : layoutEntries()) {
            QVERIFY2(!names.contains(e.windowName), qPrintable(e.windowName));
            names.insert(e.windowName);
            if (e.group == LayoutGroup::A) {
                ++groupA;
                QCOMPARE(e.section, SettingsSection::Locations);
                QCOMPARE(e.stateKey, e.windowName + QStringLiteral("Windowstate"));
            } else if (e.hasStateKey()) {
                QCOMPARE(e.stateSection, SettingsSection::Configs);
                QVERIFY(e.stateApp == AppName::Tarvikon);
            }
            if (e.app == AppName::Tarvik) {
                tarvik.insert(e.windowName);
                QCOMPARE(e.section, SettingsSection::Layout);
            }
            // every key that exists is read, and only those
            for (LayoutKey k : {LayoutKey::Top, LayoutKey::Left, LayoutKey::Width,
                                LayoutKey::Height})
                QCOMPARE(e.readOrder.contains(k), !e.key(k).isEmpty());
        }
        QCOMPARE(groupA, 10);
        QCOMPARE(names.size(), 10 + 27);
        QCOMPARE(tarvik, (QSet<QString>{win::frmTestPoint,
                                        win::frmOperatingMode,
                                        win::frmGeometryAdj,
                                        win::frmFlatPanelTestPoints,
                                        win::frmMDITestPoints,
                                        win::frmMDI_HV}));
        QVERIFY(!layoutEntryFor(win::frmAbout));
        QVERIFY(!layoutEntryFor(win::frmLimits));
        QCOMPARE(entry("frmMain").widthKey, QStringLiteral("frmMainWidth"));
        QCOMPARE(entry("frmHVLimits").group, LayoutGroup::A);
    }

    void table_oddRows()
    {
        using K = LayoutKey;
        const LayoutEntry &vc = entry("frmVideoConfig");
        QCOMPARE(vc.section, SettingsSection::Layout);
        QVERIFY(vc.app == AppName::Tarvikon);
        QCOMPARE(vc.leftDefault.twips, 100.0);

        const LayoutEntry &tr = entry("frmTrying");
        QCOMPARE(tr.readOrder, (QList<K>{K::Left, K::Top}));
        QVERIFY(tr.widthKey.isEmpty() && tr.heightKey.isEmpty());

        const LayoutEntry &i2c = entry("frmI2cProbe");
        QVERIFY(!i2c.hasStateKey());
        QCOMPARE(i2c.readOrder, (QList<K>{K::Height, K::Width, K::Left, K::Top}));
        QCOMPARE(i2c.heightKey, QStringLiteral("I2cProbeHeight"));

        QCOMPARE(entry("frmAppMode").readOrder, (QList<K>{K::Top, K::Left, K::Height, K::Width}));
        QCOMPARE(entry("frmCommLog").readOrder, (QList<K>{K::Width, K::Height, K::Top, K::Left}));
        QCOMPARE(entry("frmChangeTries").stateKey, QStringLiteral("TriesWindowState"));
        QCOMPARE(entry("frmChangeTries").topKey, QStringLiteral("TriesTop"));
        QVERIFY(entry("frmPassword").widthKey.isEmpty());
        QCOMPARE(entry("frmBacklight").stateKey, QStringLiteral("frmBacklightWindowState"));
        QCOMPARE(entry("frmCurrentScanSet").stateKey, QStringLiteral("CurrentScanWindowState"));
        QCOMPARE(entry("frmDeflHVEnable").heightDefault.twips, 7650.0);
        QCOMPARE(entry("frmMDI_HV").topKey, QStringLiteral("MDIHVTop"));
        QCOMPARE(entry("frmSetOperatingTimes").widthKey,
                 QStringLiteral("SetOperatingTimesWidth"));
    }

    void groupB_emptyStore_centredUsesSizeAtThatMoment()
    {
        Settings s;
        // CommLog reads its size first: centred with the default size.
        RecordingTarget log;
        QVERIFY(restoreLayout(log, win::frmCommLog, s));
        QCOMPARE(log.applied, (QStringList{"State=0", "Width=6345", "Height=7095",
                                           "Top=452.5", "Left=1827.5"}));

        // Version reads its position first: centred with the design size.
        RecordingTarget ver;
        QVERIFY(restoreLayout(ver, win::frmVersion, s));
        QCOMPARE(ver.applied, (QStringList{"State=0", "Top=3750", "Left=4500", "Width=4320",
                                           "Height=2475"}));

        RecordingTarget trying;
        QVERIFY(restoreLayout(trying, win::frmTrying, s));
        QCOMPARE(trying.applied, (QStringList{"State=0", "Left=0", "Top=0"}));
        QCOMPARE(trying.w, 1000.0); // no size keys: design size stays

        RecordingTarget i2c;
        QVERIFY(restoreLayout(i2c, win::frmI2cProbe, s));
        QCOMPARE(i2c.applied, (QStringList{"Height=6405", "Width=8730", "Left=0", "Top=0"}));

        RecordingTarget none;
        QVERIFY(!restoreLayout(none, win::frmAbout, s));
        QVERIFY(none.applied.isEmpty());
    }

    void groupA_readsPositionThenStateRegardless()
    {
        Settings s;
        RecordingTarget main;
        RestoreFormLocation(main, win::frmMain, s);
        QCOMPARE(main.applied, (QStringList{"Top=0", "Left=0", "Width=14400", "Height=10800",
                                            "State=0"}));

        const QString loc = SettingsSection::Locations;
        s.writeInt(AppName::Tarvikon, loc, QStringLiteral("frmG2Windowstate"), 2);
        s.writeReal(AppName::Tarvikon, loc, QStringLiteral("frmG2Top"), 300);
        s.writeReal(AppName::Tarvikon, loc, QStringLiteral("frmG2Width"), 5000.5);
        RecordingTarget g2;
        QVERIFY(restoreLayout(g2, win::frmG2, s));
        QCOMPARE(g2.applied, (QStringList{"Top=300", "Left=0", "Width=5000.5", "Height=10800",
                                          "State=2"}));
    }

    void maximisedPanel_storesStateAndKeepsDesignGeometry()
    {
        Settings s;
        RecordingTarget closing;
        closing.t = 7;
        closing.l = 8;
        closing.w = 9000;
        closing.h = 6000;
        closing.state = kWindowStateMaximised;
        QVERIFY(saveLayout(closing, win::frmGeometryAdj, s));
        QCOMPARE(s.read(AppName::Tarvikon, SettingsSection::Configs,
                        QStringLiteral("GeometryWindowState"), QString()),
                 QStringLiteral("2"));

        RecordingTarget reopened;
        QVERIFY(restoreLayout(reopened, win::frmGeometryAdj, s));
        QCOMPARE(reopened.applied, QStringList{"State=2"});
        QCOMPARE(reopened.t, 100.0);
        QCOMPARE(reopened.w, 1000.0);

        // a minimised one likewise
        s.writeInt(AppName::Tarvikon, SettingsSection::Configs,
                   QStringLiteral("GeometryWindowState"), 1);
        RecordingTarget mini;
        restoreLayout(mini, win::frmGeometryAdj, s);
        QCOMPARE(mini.applied, QStringList{"State=1"});
    }

    void tarvikLayoutKeysAreNotSharedWithTarvikon()
    {
        Settings s;
        const QString lay = SettingsSection::Layout;
        s.writeReal(AppName::Tarvikon, lay, QStringLiteral("TestPointTop"), 9999);
        RecordingTarget tp;
        tp.t = 123;
        tp.l = 45;
        QVERIFY(saveLayout(tp, win::frmTestPoint, s));
        QCOMPARE(s.readReal(AppName::Tarvik, lay, QStringLiteral("TestPointTop"), -1), 123.0);
        QCOMPARE(s.readReal(AppName::Tarvikon, lay, QStringLiteral("TestPointTop"), -1), 9999.0);
        QVERIFY(!s.contains(AppName::Tarvikon, lay, QStringLiteral("TestPointLeft")));
        // its state lives under Tarvikon, Configs
        QVERIFY(s.contains(AppName::Tarvikon, SettingsSection::Configs,
                           QStringLiteral("TestPointWindowState")));
        QVERIFY(!s.contains(AppName::Tarvik, SettingsSection::Configs,
                            QStringLiteral("TestPointWindowState")));

        // frmVideoConfig: section "Layout", but under Tarvikon
        s.writeReal(AppName::Tarvik, lay, QStringLiteral("VideoConfigTop"), 1);
        RecordingTarget vc;
        restoreLayout(vc, win::frmVideoConfig, s);
        QCOMPARE(vc.t, 500.0);
    }

    void saveThenRestore_everyWindowGetsItsGeometryBack()
    {
        Settings s;
        int i = 0;
        for (const LayoutEntry &e : layoutEntries()) {
            ++i;
            RecordingTarget saved;
            saved.t = 10 * i + 0.5;
            saved.l = 20 * i;
            saved.w = 3000 + i;
            saved.h = 2000 + i;
            saveLayout(saved, e, s);
        }
        i = 0;
        for (const LayoutEntry &e : layoutEntries()) {
            ++i;
            RecordingTarget back;
            back.state = kWindowStateMaximised; // a stored 0 must make it normal again
            restoreLayout(back, e, s);
            const QString n = e.windowName;
            QVERIFY2(back.state == kWindowStateNormal || !e.hasStateKey(), qPrintable(n));
            QVERIFY2(back.t == 10 * i + 0.5, qPrintable(n));
            QVERIFY2(back.l == 20 * i, qPrintable(n));
            QVERIFY2(back.w == (e.widthKey.isEmpty() ? 1000 : 3000 + i), qPrintable(n));
            QVERIFY2(back.h == (e.heightKey.isEmpty() ? 500 : 2000 + i), qPrintable(n));
        }
        // group A writes its state in "Locations"; frmI2cProbe writes none
        QCOMPARE(s.read(AppName::Tarvikon, SettingsSection::Locations,
                        QStringLiteral("frmCRTVoltagesWindowstate"), QString()),
                 QStringLiteral("0"));
        QVERIFY(!s.contains(AppName::Tarvikon, SettingsSection::Configs,
                            QStringLiteral("I2cProbeWindowState")));
    }

    void damagedValuesFallBackToDefaults()
    {
        Settings s;
        const QString cf = SettingsSection::Configs;
        const AppName on = AppName::Tarvikon;
        s.write(on, cf, QStringLiteral("VersionWindowState"), QStringLiteral("7"));
        s.write(on, cf, QStringLiteral("VersionTop"), QStringLiteral("abc"));
        s.write(on, cf, QStringLiteral("VersionLeft"), QStringLiteral("1e999"));
        s.write(on, cf, QStringLiteral("VersionWidth"), QStringLiteral("-300"));
        s.write(on, cf, QStringLiteral("VersionHeight"), QString());
        RecordingTarget ver;
        restoreLayout(ver, win::frmVersion, s);
        QCOMPARE(ver.applied, (QStringList{"State=0", "Top=3750", "Left=4500", "Width=4320",
                                           "Height=2475"}));

        s.write(on, SettingsSection::Locations, QStringLiteral("frmMainWindowstate"),
                QStringLiteral("maximised"));
        s.write(on, SettingsSection::Locations, QStringLiteral("frmMainHeight"),
                QStringLiteral("0"));
        s.write(on, SettingsSection::Locations, QStringLiteral("frmMainLeft"),
                QStringLiteral("5e9"));
        RecordingTarget main;
        RestoreFormLocation(main, win::frmMain, s);
        QCOMPARE(main.applied, (QStringList{"Top=0", "Left=0", "Width=14400", "Height=10800",
                                            "State=0"}));
    }
};

QTEST_GUILESS_MAIN(TestWindowLayout)
#include "test_windowlayout.moc"
