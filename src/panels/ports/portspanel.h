#pragma once
// frmPorts "Serial Ports": the serial ports this computer has (device,
// description, maker, serial number, USB ids), the bundled simulator and the
// devices the ports are mapped to, and for each of Com1..Com4 the device it
// opens: chosen from the list or typed as a path. A choice is stored at once.

#include "core/ports/portmapping.h"
#include "panels/panel.h"

#include <array>

class QComboBox;
class QLabel;
class QTableView;

namespace tvk {

class PortPickerModel;

class PortsPanel : public Panel {
    Q_OBJECT
public:
    static constexpr int kPorts = 4;

    PortsPanel(const PanelContext &context, PortMappingStore &portMap);

    // Looks at the system's ports again each time the window comes up.
    void activate() override;

    PortPickerModel *model() const { return m_model; }

private:
    void refresh();
    void fillChoices();
    void commitTyped(int index);
    void pickListed(int index, int row);

    PortPickerModel *m_model;
    QTableView *m_table;
    std::array<QComboBox *, kPorts> m_choice{};
    std::array<QLabel *, kPorts> m_state{};
    bool m_filling = false;
    PortMappingStore &m_portMap;
};

} // namespace tvk
