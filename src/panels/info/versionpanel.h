#pragma once
// frmVersion: the monitor's firmware and EPROM versions and the tool's own.
// Activation and "ReRead" ask the monitor for both versions; the version
// parsers fill the labels.

#include "panels/panel.h"

namespace tvk {

class VersionPanel : public Panel {
    Q_OBJECT
public:
    explicit VersionPanel(const PanelContext &context);

    void load() override;
    void activate() override;
    // btnReRead: "de", then "df".
    void reRead();
};

} // namespace tvk
