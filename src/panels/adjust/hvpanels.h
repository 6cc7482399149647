#pragma once
// The high-voltage panels of the CRT family, both filled by the monitor's
// high-voltage report ("dh"):
//
// frmMDI_HV "High Voltage": four 8-bit controls - the high-voltage supply,
// focus, G2 and the video +80 V supply - with their factory and initial
// values, the anode voltage and current, and the high-voltage limits. Slider
// moves are sent only while SendOnChange is set (the report clears it while
// it positions the sliders).
//
// frmG2 "Adjust HV, Focus, G2": the high-voltage control alone, on a 6-bit
// slider. While the monitor reports a setting above 63 the slider is
// disabled (its tool tip says why and points to the High Voltage window) and
// the present box shows the monitor's value: a step of the slider would
// otherwise send a value far below the monitor's own limits.

#include "panels/adjust/adjustpanel.h"

class QLineEdit;

namespace tvk {

class MdiHvPanel : public AdjustPanel {
    Q_OBJECT
public:
    explicit MdiHvPanel(const PanelContext &context);
    void activate() override;

protected:
    void sliderChanged(int index, int value) override;

private:
    void useInitialValues();
    void setLimit(QLineEdit *box, bool upper);

    QLineEdit *m_upper = nullptr;
    QLineEdit *m_lower = nullptr;
};

class G2Panel : public AdjustPanel {
    Q_OBJECT
public:
    explicit G2Panel(const PanelContext &context);
    void activate() override;

    // The disabled slider's tool tip.
    static const QString kG2OutOfRangeTip;

protected:
    void sliderChanged(int index, int value) override;

private:
    // The slider's tool tip follows whether the monitor's setting fits it.
    void explainRange();
};

// A whole number 0..255 as typed (blanks around it allowed); nothing for
// anything else, so junk typed into a box never reaches the monitor.
std::optional<int> typedByte(const QString &text);

} // namespace tvk
