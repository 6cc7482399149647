#include "core/windowlayout.h"
#include "base/windownames.h"

#include <cmath>

namespace tvk {

namespace {

using D = LayoutDefault;
using K = LayoutKey;

// Stored geometry beyond this (about 17 m) is taken as damaged.
constexpr double kMaxTwips = 1'000'000;

const QList<LayoutKey> kTopLeftWidthHeight{K::Top, K::Left, K::Width, K::Height};
const QList<LayoutKey> kWidthHeightTopLeft{K::Width, K::Height, K::Top, K::Left};
const QList<LayoutKey> kTopLeftHeightWidth{K::Top, K::Left, K::Height, K::Width};
const QList<LayoutKey> kHeightWidthLeftTop{K::Height, K::Width, K::Left, K::Top};
const QList<LayoutKey> kTopLeft{K::Top, K::Left};
const QList<LayoutKey> kLeftTop{K::Left, K::Top};

const QStringList kGroupAWindows{
    win::frmMain,          win::frmConnect,
    win::frmVideoAdj,      win::frmBootProgress,
    win::frmG2,            win::frmCapability,
    win::frmBrightnessContrast, win::frmCRTVoltages,
    win::frmDeflectionStatus,   win::frmHVLimits,
};

// A group B row. The position keys are prefix + "Top"/"Left"/"Width"/"Height";
// a key whose default is None does not exist.
LayoutEntry rowB(const QString &window, const char *stateKey, const char *prefix,
                 const QString &section, AppName app, D top, D left, D width, D height,
                 const QList<LayoutKey> &order)
{
    LayoutEntry e;
    e.windowName = window;
    e.group = LayoutGroup::B;
    e.stateKey = QString::fromLatin1(stateKey);
    e.stateSection = SettingsSection::Configs;
    e.stateApp = AppName::Tarvikon;
    e.section = section;
    e.app = app;
    const QString p = QString::fromLatin1(prefix);
    auto keyIf = [&](const D &d, const char *suffix) {
        return d.kind == D::Kind::None ? QString() : p + QLatin1String(suffix);
    };
    e.topKey = keyIf(top, "Top");
    e.leftKey = keyIf(left, "Left");
    e.widthKey = keyIf(width, "Width");
    e.heightKey = keyIf(height, "Height");
    e.topDefault = top;
    e.leftDefault = left;
    e.widthDefault = width;
    e.heightDefault = height;
    e.readOrder = order;
    return e;
}

QList<LayoutEntry> buildTable()
{
    QList<LayoutEntry> t;
    for (const QString &w : kGroupAWindows)
        t.append(groupAEntry(w));

    const QString cf = SettingsSection::Configs;
    const QString lay = SettingsSection::Layout;
    const AppName on = AppName::Tarvikon;
    const AppName ik = AppName::Tarvik;
    const D c = D::centred();
    const D no = D::none();
    auto n = [](double v) { return D::fixed(v); };

    t.append(rowB(win::frmVersion, "VersionWindowState", "Version", cf, on, c, c, n(4320), n(2475),
                  kTopLeftWidthHeight));
    t.append(rowB(win::frmOperatingTime, "OpTimeWindowState", "OpTime", cf, on, c, c, n(4620),
                  n(1440), kTopLeftWidthHeight));
    t.append(rowB(win::frmCommLog, "CommLogWindowState", "CommLog", cf, on, c, c, n(6345), n(7095),
                  kWidthHeightTopLeft));
    t.append(rowB(win::frmAppMode, "AppModeWindowState", "AppMode", cf, on, n(0), n(0), n(3805),
                  n(2520), kTopLeftHeightWidth));
    t.append(rowB(win::frmPassword, "PasswordWindowState", "Password", cf, on, n(0), n(0), no, no,
                  kTopLeft));
    t.append(rowB(win::frmTestPoint, "TestPointWindowState", "TestPoint", lay, ik, n(1110), n(0),
                  n(5385), n(4380), kTopLeftWidthHeight));
    t.append(rowB(win::frmScanSelect, "ScanSelectWindowState", "ScanSelect", cf, on, n(0), n(0),
                  n(7080), n(3990), kTopLeftWidthHeight));
    t.append(rowB(win::frmSetOperatingTimes, "SetOperatingTimesWindowState", "SetOperatingTimes", cf,
                  on, n(0), n(0), n(5505), n(3420), kTopLeftWidthHeight));
    t.append(rowB(win::frmPeekPoke, "PeekPokeWindowState", "PeekPoke", cf, on, n(500), n(500),
                  n(3585), n(2265), kTopLeftWidthHeight));
    t.append(rowB(win::frmTrying, "TryingWindowState", "Trying", cf, on, n(0), n(0), no, no, kLeftTop));
    t.append(rowB(win::frmChangeTries, "TriesWindowState", "Tries", cf, on, n(0), n(0), no, no,
                  kTopLeft));
    t.append(rowB(win::frmOperatingMode, "OperModeWindowState", "OperMode", lay, ik, n(1110), n(0),
                  n(5805), n(4830), kTopLeftWidthHeight));
    t.append(rowB(win::frmBootBlock, "BootBlockWindowState", "BootBlock", cf, on, c, c, n(4410),
                  n(2895), kWidthHeightTopLeft));
    t.append(rowB(win::frmCurrentScanSet, "CurrentScanWindowState", "CurrentScan", cf, on, c, c,
                  n(6285), n(2610), kWidthHeightTopLeft));
    t.append(rowB(win::frmVideoConfig, "VideoConfigWindowState", "VideoConfig", lay, on, n(500),
                  n(100), n(5835), n(5490), kTopLeftWidthHeight));
    t.append(rowB(win::frmTimedOut, "TimedOutWindowState", "TimedOut", cf, on, n(0), n(0), n(4800),
                  n(2475), kWidthHeightTopLeft));
    t.append(rowB(win::frmGeometryAdj, "GeometryWindowState", "Geometry", lay, ik, n(1110), n(0),
                  n(6450), n(4815), kTopLeftWidthHeight));
    t.append(rowB(win::frmSetModelAndSerialNumber, "SetModelWindowState", "SetModel", cf, on, n(0),
                  n(0), n(4800), n(3600), kTopLeftWidthHeight));
    t.append(rowB(win::frmSoftware, "SoftwareWindowState", "Software", cf, on, n(0), n(0), n(4875),
                  n(3195), kTopLeftWidthHeight));
    t.append(rowB(win::frmDeflHVEnable, "DeflHVWindowState", "DeflHV", cf, on, n(0), n(0), n(7260),
                  n(7650), kTopLeftWidthHeight));
    t.append(rowB(win::frmFlatPanelTestPoints, "FPTestPointWindowState", "FPTestPoint", lay, ik,
                  n(1110), n(0), n(5385), n(4380), kTopLeftWidthHeight));
    t.append(rowB(win::frmMDITestPoints, "MDITestPointWindowState", "MDITestPoint", lay, ik, n(1110),
                  n(0), n(5385), n(4380), kTopLeftWidthHeight));
    t.append(rowB(win::frmBacklight, "frmBacklightWindowState", "frmBacklight", cf, on, n(0), n(0),
                  n(4800), n(2775), kTopLeftWidthHeight));
    t.append(rowB(win::frmMDI_HV, "MDIHVWindowState", "MDIHV", lay, ik, n(1110), n(0), n(6315),
                  n(5040), kTopLeftWidthHeight));
    t.append(rowB(win::frmI2cProbe, "", "I2cProbe", cf, on, n(0), n(0), n(8730), n(6405),
                  kHeightWidthLeftTop));
    t.append(rowB(win::frmFPHeaterFan, "frmFPHeaterFanWindowState", "frmFPHeaterFan", cf, on, n(0),
                  n(0), n(4800), n(2775), kTopLeftWidthHeight));
    t.append(rowB(win::frmID, "IDWindowState", "ID", cf, on, n(0), n(0), n(4725), n(7470),
                  kTopLeftWidthHeight));
    return t;
}

void apply(LayoutTarget &target, LayoutKey key, double value)
{
    switch (key) {
    case K::Top: target.setTop(value); break;
    case K::Left: target.setLeft(value); break;
    case K::Width: target.setWidth(value); break;
    case K::Height: target.setHeight(value); break;
    }
}

double current(const LayoutTarget &target, LayoutKey key)
{
    switch (key) {
    case K::Top: return target.top();
    case K::Left: return target.left();
    case K::Width: return target.width();
    case K::Height: return target.height();
    }
    return 0;
}

bool isSize(LayoutKey key)
{
    return key == K::Width || key == K::Height;
}

// Reads one position key and applies it at once; a value that does not
// convert, is out of range, or is a size that is not positive gives the
// default (a window of no size could never be found again).
void restoreKey(LayoutTarget &target, const LayoutEntry &entry, LayoutKey key, Settings &settings)
{
    const QString name = entry.key(key);
    if (name.isEmpty())
        return;
    const double def = layoutDefaultValue(entry, key, target);
    double v = settings.readReal(entry.app, entry.section, name, def);
    if (std::fabs(v) > kMaxTwips || (isSize(key) && v <= 0))
        v = def;
    apply(target, key, v);
}

int readState(const LayoutEntry &entry, Settings &settings)
{
    const int s = settings.readInt(entry.stateApp, entry.stateSection, entry.stateKey,
                                   kWindowStateNormal);
    // Anything other than the three states is damage: open normally.
    if (s < kWindowStateNormal || s > kWindowStateMaximised)
        return kWindowStateNormal;
    return s;
}

void writeKey(const LayoutTarget &target, const LayoutEntry &entry, LayoutKey key,
              Settings &settings)
{
    const QString name = entry.key(key);
    if (!name.isEmpty())
        settings.writeReal(entry.app, entry.section, name, current(target, key));
}

} // namespace

QString LayoutEntry::key(LayoutKey k) const
{
    switch (k) {
    case K::Top: return topKey;
    case K::Left: return leftKey;
    case K::Width: return widthKey;
    case K::Height: return heightKey;
    }
    return {};
}

LayoutDefault LayoutEntry::defaultFor(LayoutKey k) const
{
    switch (k) {
    case K::Top: return topDefault;
    case K::Left: return leftDefault;
    case K::Width: return widthDefault;
    case K::Height: return heightDefault;
    }
    return {};
}

LayoutEntry groupAEntry(const QString &windowName)
{
    LayoutEntry e;
    e.windowName = windowName;
    e.group = LayoutGroup::A;
    e.stateKey = windowName + QStringLiteral("Windowstate");
    e.stateSection = SettingsSection::Locations;
    e.stateApp = AppName::Tarvikon;
    e.section = SettingsSection::Locations;
    e.app = AppName::Tarvikon;
    e.topKey = windowName + QStringLiteral("Top");
    e.leftKey = windowName + QStringLiteral("Left");
    e.widthKey = windowName + QStringLiteral("Width");
    e.heightKey = windowName + QStringLiteral("Height");
    e.topDefault = D::fixed(0);
    e.leftDefault = D::fixed(0);
    e.widthDefault = D::halfScreen();
    e.heightDefault = D::halfScreen();
    e.readOrder = kTopLeftWidthHeight;
    return e;
}

const QList<LayoutEntry> &layoutEntries()
{
    static const QList<LayoutEntry> table = buildTable();
    return table;
}

const LayoutEntry *layoutEntryFor(const QString &windowName)
{
    for (const LayoutEntry &e : layoutEntries()) {
        if (e.windowName == windowName)
            return &e;
    }
    return nullptr;
}

double layoutDefaultValue(const LayoutEntry &entry, LayoutKey key, const LayoutTarget &target)
{
    const LayoutDefault d = entry.defaultFor(key);
    switch (d.kind) {
    case D::Kind::Twips:
        return d.twips;
    case D::Kind::Centred:
        switch (key) {
        case K::Top: return (target.containerHeight() - target.height()) / 2;
        case K::Left: return (target.containerWidth() - target.width()) / 2;
        // A centred size has no meaning: keep the size it has.
        case K::Width: return target.width();
        case K::Height: return target.height();
        }
        break;
    case D::Kind::HalfScreen:
        return (key == K::Left || key == K::Width) ? target.screenWidth() / 2
                                                    : target.screenHeight() / 2;
    case D::Kind::None:
        break;
    }
    return current(target, key);
}

bool hasStoredSize(const LayoutEntry &entry, const Settings &settings)
{
    for (LayoutKey k : {K::Width, K::Height}) {
        const QString key = entry.key(k);
        if (!key.isEmpty() && settings.contains(entry.app, entry.section, key))
            return true;
    }
    return false;
}

bool hasStoredSize(const QString &windowName, const Settings &settings)
{
    const LayoutEntry *e = layoutEntryFor(windowName);
    return e && hasStoredSize(*e, settings);
}

void RestoreFormLocation(LayoutTarget &target, const QString &windowName, Settings &settings)
{
    restoreLayout(target, groupAEntry(windowName), settings);
}

void SaveFormLocation(const LayoutTarget &target, const QString &windowName, Settings &settings)
{
    saveLayout(target, groupAEntry(windowName), settings);
}

void restoreLayout(LayoutTarget &target, const LayoutEntry &entry, Settings &settings)
{
    if (entry.group == LayoutGroup::A) {
        // Position first, whatever the state, then the state.
        for (LayoutKey k : entry.readOrder)
            restoreKey(target, entry, k, settings);
        target.setWindowState(readState(entry, settings));
        return;
    }

    if (entry.hasStateKey()) {
        target.setWindowState(readState(entry, settings));
        // A minimised or maximised panel keeps its design position and size.
        if (target.windowState() != kWindowStateNormal)
            return;
    }
    for (LayoutKey k : entry.readOrder)
        restoreKey(target, entry, k, settings);
}

void saveLayout(const LayoutTarget &target, const LayoutEntry &entry, Settings &settings)
{
    if (entry.group == LayoutGroup::A) {
        for (LayoutKey k : {K::Top, K::Left, K::Height, K::Width})
            writeKey(target, entry, k, settings);
        settings.writeInt(entry.stateApp, entry.stateSection, entry.stateKey, target.windowState());
        return;
    }

    if (entry.hasStateKey())
        settings.writeInt(entry.stateApp, entry.stateSection, entry.stateKey, target.windowState());
    for (LayoutKey k : {K::Top, K::Left, K::Width, K::Height})
        writeKey(target, entry, k, settings);
}

bool restoreLayout(LayoutTarget &target, const QString &windowName, Settings &settings)
{
    const LayoutEntry *e = layoutEntryFor(windowName);
    if (!e)
        return false;
    restoreLayout(target, *e, settings);
    return true;
}

bool saveLayout(const LayoutTarget &target, const QString &windowName, Settings &settings)
{
    const LayoutEntry *e = layoutEntryFor(windowName);
    if (!e)
        return false;
    saveLayout(target, *e, settings);
    return true;
}

} // namespace tvk
