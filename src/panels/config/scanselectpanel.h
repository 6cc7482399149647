#pragma once
// frmScanSelect "Scan Selection": chooses the scan set every panel works on,
// enables and disables scan sets in the monitor, renames the current one and
// copies the DAC settings of scan set 1 to another. The logic lives in
// ScanSelect; this window shows the rows and forwards the clicks.

#include "base/dialogs.h"
#include "model/scansets.h"
#include "panels/panel.h"

#include <array>

class QCheckBox;
class QLabel;

namespace tvk {

class ScanSelect;

class ScanSelectPanel : public Panel {
    Q_OBJECT
public:
    ScanSelectPanel(const PanelContext &context, ScanSets &scanSets, InputBox &inputBox);

    void load() override;
    void activate() override;

private:
    void showTitle(int index, const QString &title);
    void showMark(int index, int mark);
    void boxClicked(int index);

    ScanSelect *m_logic;
    std::array<QLabel *, 6> m_names{};
    std::array<QCheckBox *, 6> m_boxes{};
    ScanSets &m_scanSets;
};

} // namespace tvk
