#pragma once
// The scan selection window (frmScanSelect) without its widgets: choosing
// the scan set all panels work on, enabling and disabling scan sets in the
// monitor, renaming one and copying the DAC settings of scan set 1 to
// another.
//
// Rows 0..5 stand for scan sets 1..6. The titles and the enable marks of the
// rows live in ScanSets (ScanName_i captions and Check1_i values: 0 off,
// 1 on, 2 on but greyed because the row is not the current scan set); which
// option is chosen and which boxes are enabled go to the window through the
// control book.
//
// Every change of a mark counts as a click on its box: the mark is
// remembered in ScanSetMarks and, while the window is Armed and a monitor
// answers, "CCE" + n (mark 1 or 2) or "CCD" + n (mark 0) is queued. The
// window clears Armed while it sets its own boxes.

#include "base/dialogs.h"
#include "base/windownames.h"
#include "core/panelcontext.h"
#include "model/scansets.h"

#include <QObject>
#include <QString>
#include <array>

namespace tvk {

inline const QString kNothingSelected = QStringLiteral("Nothing Selected");
inline const QString kRenameTitle = QStringLiteral("Rename Selected Scan Set");
// The monitor keeps at most this many characters of a scan-set title.
inline constexpr int kScanTitleMaxLength = 31;

class ScanSelect : public QObject {
    Q_OBJECT
public:
    ScanSelect(const PanelContext &context, ScanSets &scanSets, InputBox &inputBox, QObject *parent = nullptr);

    static QString choiceName(int index); // ctl::ScanSelectChoice_(index)
    static QString boxName(int index);    // ctl::Check1_(index)

    // Window load: disarm, forget the marks, disable every box, enable the
    // current scan set's box (a greyed one becomes on), arm.
    void load();
    // Each time the window becomes active.
    void activate();
    // Click on option n, or the window choosing it.
    void choose(int index);
    // CopyDAC_i: copy scan set 1 to row i + 1. Offline it does nothing.
    void copy(int button);
    void rename();
    void deselect();
    // ScanSelectOKButton: caption of the selection, then the window hides.
    void ok();

    bool Armed() const { return m_armed; }
    const QString &SelectedScanSetName() const { return m_selectedName; }
    qint16 ScanSetMark(int index) const;

    // "Scan Set Selected: #3: <title>" for row 2.
    static QString selectionCaption(int index, const QString &title);

private:
    void onMarkChanged(int index, int mark);
    void setBoxEnabled(int index, bool on);
    void setChoice(int index, bool on);
    void updateSelection();

    PanelContext m_ctx;
    ScanSets &m_scanSets;
    InputBox &m_inputBox;
    bool m_armed = false;
    std::array<qint16, 10> m_marks{};
    QString m_selectedName;
};

} // namespace tvk
