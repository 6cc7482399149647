#pragma once
// frmID: model, part and serial numbers of the monitor and, on MDI monitors,
// of its units. Activation asks the monitor for each number; the model and
// serial number parsers fill the labels. The panel is short (2250 twips)
// without the unit rows and tall (9330 twips) with them.

#include "panels/panel.h"

namespace tvk {

class IdPanel : public Panel {
    Q_OBJECT
public:
    explicit IdPanel(const PanelContext &context);
    void activate() override;

    static constexpr double kShortHeightTwips = 2250;
    static constexpr double kTallHeightTwips = 9330;

    // Shows or hides the unit rows and sets the panel height to match.
    void showUnitRows(bool shown);
    bool unitRowsShown() const { return m_unitRowsShown; }

private:
    QList<QWidget *> m_unitWidgets;
    bool m_unitRowsShown = true;
};

} // namespace tvk
