#pragma once
// frmVideoAdj "Color Balance": the video amplifier DACs - group L channels
// 2..7 (red, green and blue gain, an uncaptioned channel 5, G2 and focus)
// and group B channels 0 ("Video +80V") and 1 ("Master G2 Adjust"). Each
// slider sends its channel as it moves; the boxes show the factory default
// and the initial setting of the current scan set. Channels 0 and 1 of group
// L (contrast and brightness) belong to the brightness and contrast panel and
// are never touched here.
//
// OK accepts the positions; Cancel returns every channel of the panel to
// what the monitor held when the panel last became active (or what OK
// accepted since). Channels whose values are not known are left alone.

#include "base/windownames.h"
#include "panels/adjust/adjustpanel.h"

namespace tvk {
class VideoPanel : public AdjustPanel {
    Q_OBJECT
public:
    explicit VideoPanel(const PanelContext &context);

    void load() override;
    void activate() override;
    // The gains and the bulk buttons rest while another window is active.
    void deactivate() override;

private:
    QList<int> everyRow() const { return m_gains + m_second; }
    void goBack(DacTable table);
    void saveInitialSettings();

    QList<int> m_gains;  // group L channels 2..7
    QList<int> m_second; // group B channels 0..1
    QPushButton *m_factoryButton = nullptr;
    QPushButton *m_initialButton = nullptr;
    QPushButton *m_saveInitialButton = nullptr;
};

} // namespace tvk
