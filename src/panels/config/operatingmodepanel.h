#pragma once
// frmOperatingMode: the five switches of the monitor's operating-mode word.
// Activation reads the word ("dw"); a click on any option writes the whole
// word composed from the current selection ("cw" + decimal).

#include "model/replycontext.h"
#include "panels/panel.h"
#include "core/replies/operatingmode.h"

class QRadioButton;

namespace tvk {

class OperatingModePanel : public Panel {
    Q_OBJECT
public:
    OperatingModePanel(const PanelContext &context, ReplyContext &replies);
    void activate() override;

    // The options as the buttons show them.
    OperatingModeOptions selection() const;

private:
    void optionClicked();
    QRadioButton *option(const QString &name, const QString &text, QWidget *frame);

    QRadioButton *m_extendedEnabled = nullptr;
    QRadioButton *m_monochrome = nullptr;
    QRadioButton *m_dacEnabled = nullptr;
    QRadioButton *m_brightnessDisabled = nullptr;
    QRadioButton *m_contrastDisabled = nullptr;
    ReplyContext &m_replies;
};

} // namespace tvk
