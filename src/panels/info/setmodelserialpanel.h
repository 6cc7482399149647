#pragma once
// frmSetModelAndSerialNumber: the factory panel that writes the model, part
// and serial numbers of the monitor and, on MDI monitors, of its units.
// Each number has a box and a "Set" button; Set sends the trimmed box text
// and reads the number back, so the boxes and frmID show what the monitor
// stored. An empty box, or one holding a character the monitor's line
// protocol or the DAC value file cannot carry, sends nothing. The Set
// buttons work in Factory mode only.

#include "core/appshell.h"
#include "panels/panel.h"
#include "core/replies/identity.h"


class QPushButton;

namespace tvk {

class SetModelSerialPanel : public Panel {
    Q_OBJECT
public:
    SetModelSerialPanel(const PanelContext &context, AppShell &shell);
    void activate() override;

    // A Set button: sends the number of that slot. False when nothing was
    // sent (empty or unusable text, not in Factory mode).
    bool setNumber(const NumberSlot &slot);

    // Text a number may hold: printable, without the prompt characters that
    // end a monitor reply ("#", "$") and without double quotes.
    static bool isAcceptableNumber(const QString &text);

    void showUnitRows(bool shown);
    bool unitRowsShown() const { return m_unitRowsShown; }

private:
    void updateButtons();

    QList<QWidget *> m_unitWidgets;
    QList<QPushButton *> m_setButtons;
    bool m_unitRowsShown = true;
    AppShell &m_shell;
};

} // namespace tvk
