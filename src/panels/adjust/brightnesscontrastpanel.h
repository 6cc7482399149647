#pragma once
// frmBrightnessContrast "Adjust Brightness and Contrast": the two
// software-controlled picture levels (group L channel 0 contrast, channel 1
// brightness), their day and night lower and upper limits, the hysteresis of
// the automatic (photocell) control, whether each level is under software
// control, and which value each level takes at start-up.
//
// The limits, hysteresis and control flags come from the limits report
// ("dp"); the start-up options mirror the operating-mode word ("dw"), which
// the operating-mode panel owns. Values set by a report are shown only: the
// option buttons and boxes send on the user's click.

#include "base/windownames.h"
#include "model/replycontext.h"
#include "panels/adjust/adjustpanel.h"

class QLineEdit;
class QRadioButton;

namespace tvk {
class BrightnessContrastPanel : public AdjustPanel {
    Q_OBJECT
public:
    BrightnessContrastPanel(const PanelContext &context, ReplyContext &replies);

    void load() override;
    void activate() override;

private:
    enum Level { Contrast = 0, Brightness = 1 };
    QWidget *buildSection(Level level);
    void setLimit(int slot);
    void useValue(Level level, const QString &label);
    void setHysteresis(Level level);
    void softwareControlClicked(Level level, bool enabled);
    void softwareControlShown(Level level, bool enabled);
    void startupOptionClicked(const QString &option);
    void reveal(Level level, bool on);

    int m_row[2] = {0, 0};
    QList<QWidget *> m_revealed[2];
    QPushButton *m_revealButton[2] = {nullptr, nullptr};
    QPushButton *m_okButton[2] = {nullptr, nullptr};
    QLineEdit *m_hysteresis[2] = {nullptr, nullptr};
    ReplyContext &m_replies;
};

} // namespace tvk
