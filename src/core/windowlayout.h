#pragma once
// Where every window remembers its position, size and window state, and the
// two ways of restoring and saving them.
//
// Group A windows use the section "Locations" with keys formed from the
// window's name ("frmMainTop", ..., "frmMainWindowstate"); they read the
// position regardless of the window state. Group B windows have keys of
// their own, a window-state key in "Configs", and read the position keys in
// their own order only when the window state is normal.
//
// Positions and sizes are in twips (1/1440 inch); window states are
// 0 normal, 1 minimised, 2 maximised. The algorithms work on a LayoutTarget,
// so they can be driven without widgets.

#include "base/settings.h"

#include <QList>
#include <QString>

namespace tvk {

class LayoutTarget {
public:
    virtual ~LayoutTarget() = default;

    // Geometry in twips.
    virtual double top() const = 0;
    virtual double left() const = 0;
    virtual double width() const = 0;
    virtual double height() const = 0;
    virtual void setTop(double twips) = 0;
    virtual void setLeft(double twips) = 0;
    virtual void setWidth(double twips) = 0;
    virtual void setHeight(double twips) = 0;

    // 0 normal, 1 minimised, 2 maximised.
    virtual int windowState() const = 0;
    virtual void setWindowState(int state) = 0;

    // Size of the main window a panel is centred in, in twips.
    virtual double containerWidth() const = 0;
    virtual double containerHeight() const = 0;
    // Size of the screen, in twips (group A size defaults).
    virtual double screenWidth() const = 0;
    virtual double screenHeight() const = 0;
};

enum class LayoutGroup { A, B };
enum class LayoutKey { Top, Left, Width, Height };

constexpr int kWindowStateNormal = 0;
constexpr int kWindowStateMinimised = 1;
constexpr int kWindowStateMaximised = 2;

struct LayoutDefault {
    enum class Kind {
        None,       // no key: the window keeps its design size/position
        Twips,      // a fixed number of twips
        Centred,    // centred in the main window with the panel's current size
        HalfScreen, // half the screen width (Left/Width) or height (Top/Height)
    };
    Kind kind = Kind::None;
    double twips = 0;

    static LayoutDefault none() { return {}; }
    static LayoutDefault fixed(double t) { return {Kind::Twips, t}; }
    static LayoutDefault centred() { return {Kind::Centred, 0}; }
    static LayoutDefault halfScreen() { return {Kind::HalfScreen, 0}; }
};

struct LayoutEntry {
    QString windowName;
    LayoutGroup group = LayoutGroup::B;

    // Window state: empty key = the window stores no state.
    QString stateKey;
    QString stateSection;
    AppName stateApp = AppName::Tarvikon;

    // Position keys: empty key = the window has no such key.
    QString section;
    AppName app = AppName::Tarvikon;
    QString topKey, leftKey, widthKey, heightKey;
    LayoutDefault topDefault, leftDefault, widthDefault, heightDefault;

    // Order in which the position keys are read and applied.
    QList<LayoutKey> readOrder;

    bool hasStateKey() const { return !stateKey.isEmpty(); }
    QString key(LayoutKey k) const;
    LayoutDefault defaultFor(LayoutKey k) const;
};

// Every window with a stored layout: group A, then group B.
const QList<LayoutEntry> &layoutEntries();
// The entry of a window; nullptr for a window that stores no layout.
const LayoutEntry *layoutEntryFor(const QString &windowName);
// The group A entry formed from a window's name (any name).
LayoutEntry groupAEntry(const QString &windowName);

// The value a key takes when the store has none, for the target as it is now.
double layoutDefaultValue(const LayoutEntry &entry, LayoutKey key, const LayoutTarget &target);

// Group A: the window's name forms the keys.
void RestoreFormLocation(LayoutTarget &target, const QString &windowName, Settings &settings);
void SaveFormLocation(const LayoutTarget &target, const QString &windowName, Settings &settings);

// Whether the store holds a size of the window (it was laid out before).
bool hasStoredSize(const LayoutEntry &entry, const Settings &settings);
bool hasStoredSize(const QString &windowName, const Settings &settings);

// Either group, by entry.
void restoreLayout(LayoutTarget &target, const LayoutEntry &entry, Settings &settings);
void saveLayout(const LayoutTarget &target, const LayoutEntry &entry, Settings &settings);

// By window name from the table; false (and nothing done) for a window
// without a stored layout.
bool restoreLayout(LayoutTarget &target, const QString &windowName, Settings &settings);
bool saveLayout(const LayoutTarget &target, const QString &windowName, Settings &settings);

} // namespace tvk
