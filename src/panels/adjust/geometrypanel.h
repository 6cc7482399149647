#pragma once
// frmGeometryAdj "Geometry Adjustment": moves the raster of a CRT monitor
// live - the vertical set V (channels 0..6), the horizontal set H (0..3 and
// "Horiz S Cap" on channel 8) and, on units that have it, the north-south set
// N (0..2). Each slider sends its DAC channel as it moves; the boxes show the
// factory default and the initial (power-on) setting of the current scan set.
// Bulk actions: back to factory defaults, back to initial settings, save the
// present values as the initial settings.
//
// OK and Cancel act on the vertical set: OK accepts its positions, Cancel
// returns it to what the monitor held when the panel became active (or what
// OK accepted since) and sends those values back.

#include "base/windownames.h"
#include "panels/adjust/adjustpanel.h"

#include <QList>

class QPushButton;

namespace tvk {
class GeometryPanel : public AdjustPanel {
    Q_OBJECT
public:
    explicit GeometryPanel(const PanelContext &context);

    void load() override;
    void activate() override;

    // Row indices of the vertical set, in the order the panel walks them.
    const QList<int> &verticalRows() const { return m_vertical; }

private:
    void goBack(DacTable table);
    void saveInitialSettings();
    void accept();
    void cancel();
    bool earlyType() const; // MonitorType 100..199
    void setNorthSouthEnabled(bool on);
    QList<int> everyRow() const;

    QList<int> m_vertical;
    QList<int> m_horizontal;
    QList<int> m_northSouth;
    QPushButton *m_factoryButton = nullptr;
    QPushButton *m_initialButton = nullptr;
    QPushButton *m_saveInitialButton = nullptr;
};

} // namespace tvk
