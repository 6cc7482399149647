#pragma once
// The common frame of the slider panels (geometry, video, brightness and
// contrast, high voltage, backlight): rows of one DAC channel each - a slider
// with small end pictures whose tool tips name the effect of moving that way,
// a present-value box and the factory and initial boxes - and the steps every
// such panel takes.
//
// Change of a slider: the present box shows the value, the present table of
// the current scan set keeps it; when the row's send flag allows (the panel's
// Armed flag, or the program's SendOnChange for rows that reply parsers move
// with sending suppressed) DataChanged is set and, online, "cd" + group letter
// + channel + value is queued - but only for the user's own moves: a reply
// parser positions the sliders through the control book while the monitor's
// state is being applied, so its moves run the same handler and send nothing.
//
// With no scan set selected (CurrentScanSet -1) the sliders still move the
// monitor and show their values, but no table is read or written: fills from
// the model leave the controls as they are and moves do not mark the data
// changed.
//
// Cancel returns to the values the monitor (or, offline, the model) held when
// the panel last became active, or to what OK accepted since: online those are
// taken from the first reply that positions each slider after the activation
// (the reply to the panel's own present-value read), offline from the present
// table. A channel whose value is not known is left alone by Cancel.

#include "base/controlbook.h"
#include "panels/panel.h"
#include "model/monitordata.h"

#include <QList>
#include <QString>
#include <functional>
#include <optional>
#include <vector>

class QAbstractSlider;
class QGridLayout;
class QLabel;
class QPushButton;
class QWidget;

namespace tvk {

// Which flag lets a slider's moves reach the monitor and mark the data changed.
enum class SendGate {
    Armed,       // the panel's own flag, set once the panel has been filled
    SendOnChange // sends unless the monitor's own state is being applied
};

// One DAC channel on a panel: where it lives in the model, how its slider
// behaves and what its controls are called.
struct SliderRow {
    DacGroupId group = DacGroupId::V;
    int channel = 0;
    QString caption;       // empty: no caption shown
    int minimum = 0;
    int maximum = 255;
    int largeStep = 16;
    QString lowTip;        // tool tip of the picture at the low end
    QString highTip;       // and at the high end
    QString sliderName;    // object names; an empty name means no such control
    QString presentName;
    QString factoryName;
    QString initialName;
    QString captionName;
    SendGate gate = SendGate::Armed;
    // Name for screen readers when the row shows no caption of its own.
    QString accessibleCaption;
    // Rows of controls the monitor image does not keep (the high-voltage
    // controls) read and write no table.
    bool inModel = true;
    // The set command for a value; empty: "cd" + the group's command letter
    // (from the DAC group table) + channel + value.
    std::function<QString(int)> setCommand;
};

// The name of element i of a control array: ctl::HScroll1_ gives "HScroll1_3" for 3.
using ElementName = QString (*)(int);

// Object names of a row's controls as control arrays, element = index;
// nullptr where the row has no such control.
struct RowNames {
    ElementName slider;
    ElementName present;
    ElementName factory;
    ElementName initial;
    ElementName caption;
};
SliderRow makeRow(DacGroupId group, int channel, const RowNames &names,
                  int index, const char *caption, const char *lowTip, const char *highTip,
                  int maximum = 255, int largeStep = 16, SendGate gate = SendGate::Armed);

// The controls of one row once built.
struct SliderControls {
    SliderRow row;
    QAbstractSlider *slider = nullptr;
    QWidget *present = nullptr; // QLineEdit or QLabel
    QWidget *factory = nullptr;
    QWidget *initial = nullptr;
    QLabel *caption = nullptr;
    QLabel *lowEnd = nullptr;
    QLabel *highEnd = nullptr;
    std::optional<int> accepted; // what Cancel returns the slider to
    bool capturePending = false; // take the next value a reply gives as accepted
    // The slider shows a value the monitor reported, a file loaded or the
    // user chose; false while it still stands where it was built.
    bool positionKnown = false;
};

class AdjustPanel : public Panel {
    Q_OBJECT
public:
    AdjustPanel(const PanelContext &context, const QString &name, const QString &title, QWidget *parent = nullptr);

    // What Cancel would return the row to (nullopt: unknown, left alone).
    std::optional<int> acceptedValue(int index) const { return m_rows[size_t(index)].accepted; }

    // Sets the text of a value box or label.
    static void setBoxText(QWidget *box, const QString &text);

protected:
    // --- Building ---
    // Column headings over the three value boxes, in columns 4, 5 and 6 of
    // grids built with addSliderRow.
    static void addColumnHeadings(QGridLayout *grid, int gridRow,
                                  const QStringList &headings = defaultHeadings());
    static QStringList defaultHeadings();
    // One row in the grid: caption, low-end picture, slider, high-end
    // picture, present, factory and initial boxes (columns 0..6). Returns the
    // row index.
    int addSliderRow(QGridLayout *grid, int gridRow, const SliderRow &row);
    // A slider and boxes built elsewhere (panels with a layout of their own)
    // get the same handler and steps. The boxes may be null.
    int bindSlider(const SliderRow &row, QAbstractSlider *slider, QWidget *present,
                   QWidget *factory = nullptr, QWidget *initial = nullptr, QLabel *caption = nullptr);
    // The label that shows ScanSetCaption.
    QLabel *makeScanSetLabel(const QString &objectName);
    // The bulk buttons in two rows: factory and initial above, save initial
    // beside OK and Cancel below.
    static QGridLayout *bulkButtonGrid(QWidget *factory, QWidget *initial, QWidget *saveInitial,
                                       QWidget *ok, QWidget *cancel);

    // --- State ---
    void setArmed(bool on) { m_armed = on; }
    bool online() const;
    std::optional<int> tableValue(int index, DacTable table) const;
    // Writes at CurrentScanSet; false (nothing written) when none is selected.
    bool storeTableValue(int index, DacTable table, int value);

    // --- Steps of the pattern ---
    // Fill from the model at the current scan set: slider and present box
    // from the present table, factory and initial boxes from theirs. Sends
    // nothing and does not mark the data changed. With no scan set selected
    // the controls keep what they show.
    void fillFromModel(const QList<int> &rows);
    // Moves a slider as the user would: its handler sends when allowed.
    void moveSlider(int index, int value);
    // Slider := the table's value for each row (the handlers send); a row
    // whose value is not known (never read nor loaded, or no scan set
    // selected) is left alone. Returns the number of rows left alone.
    int moveToTable(const QList<int> &rows, DacTable table);
    // Initial table and box := slider position, for each row whose position
    // is known. Returns the number of rows left alone.
    int saveSlidersAsInitial(const QList<int> &rows);
    // Accepted := slider position (OK), where the position is known.
    void acceptSliders(const QList<int> &rows);
    // Slider := accepted, where known (Cancel); the handlers send. Returns
    // the number of rows left alone.
    int restoreAccepted(const QList<int> &rows);
    // After a bulk action: says in the status bar how many channels were
    // left alone because their values are not known yet (nothing when none).
    void reportSkipped(int skipped);
    // The slider's accessible names: "Caption", "Caption, present value", ...
    static void nameRowForScreenReaders(const SliderControls &c);
    // Online activation: the next value a reply gives each row becomes its
    // accepted value.
    void captureAcceptedFromReplies(const QList<int> &rows);
    // Offline activation: accepted := the present table.
    void acceptFromModel(const QList<int> &rows);
    // ScanSetCaption into the scan-set label.
    void showScanSetCaption();
    void setRowEnabled(int index, bool on);

    // The change step; panels that do more on a change override and call it.
    virtual void sliderChanged(int index, int value);

    // Panels call this first from their own activate(). From the first
    // activation on, slider moves reach the model; before it (the control
    // book replaying old reply values into a panel being created) they only
    // show, so a stale value never overwrites what a file loaded since.
    void activate() override { m_live = true; }

    std::vector<SliderControls> m_rows;
    QLabel *m_scanSetLabel = nullptr;

private:
    void onBookChanged(const QString &window, const QString &control, ControlProperty property);
    void setAccepted(SliderControls &c, int value);

    bool m_armed = false;
    bool m_filling = false;
    bool m_live = false;
};

} // namespace tvk
