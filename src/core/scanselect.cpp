#include "core/scanselect.h"
#include "base/confignames.h"
#include "base/windownames.h"

#include "protocol/commands.h"

namespace tvk {

ScanSelect::ScanSelect(const PanelContext &context, ScanSets &scanSets, InputBox &inputBox, QObject *parent)
    : QObject(parent), m_ctx(context), m_scanSets(scanSets), m_inputBox(inputBox)
{
    connect(&scanSets, &ScanSets::markChanged, this, &ScanSelect::onMarkChanged);
}

QString ScanSelect::choiceName(int index) { return ctl::ScanSelectChoice_(index); }
QString ScanSelect::boxName(int index) { return ctl::Check1_(index); }

QString ScanSelect::selectionCaption(int index, const QString &title)
{
    return QStringLiteral("Scan Set Selected: #%1: ").arg(index + 1) + title;
}

qint16 ScanSelect::ScanSetMark(int index) const
{
    return index >= 0 && index < int(m_marks.size()) ? m_marks[size_t(index)] : 0;
}

void ScanSelect::setBoxEnabled(int index, bool on)
{
    if (ScanSets::isValid(index))
        m_ctx.controls.setEnabled(win::frmScanSelect, boxName(index), on);
}

void ScanSelect::setChoice(int index, bool on)
{
    if (ScanSets::isValid(index))
        m_ctx.controls.setChecked(win::frmScanSelect, choiceName(index), on);
}

void ScanSelect::load()
{
    m_armed = false;
    for (int i = 0; i < ScanSets::kCount; ++i) {
        m_marks[size_t(i)] = 0;
        setBoxEnabled(i, false);
    }
    const int current = m_ctx.data.CurrentScanSet;
    if (ScanSets::isValid(current)) {
        setBoxEnabled(current, true);
        if (m_scanSets.mark(current) == 2)
            m_scanSets.setMark(current, 1);
    }
    m_armed = true;
}

void ScanSelect::activate()
{
    if (m_ctx.online())
        m_ctx.send(cmd::readCurrentScanSet());

    m_armed = false;
    for (int i = 0; i < ScanSets::kCount; ++i) {
        if (m_marks[size_t(i)] == 1)
            m_scanSets.setMark(i, 2);
        setBoxEnabled(i, false);
    }
    const int current = m_ctx.data.CurrentScanSet;
    if (!ScanSets::isValid(current)) {
        // Nothing chosen: the monitor is put on scan set 1 all the same, and
        // no option shows as chosen.
        choose(0);
        setChoice(0, false);
    } else {
        choose(current);
        setBoxEnabled(current, true);
        if (m_marks[size_t(current)] == 1)
            m_scanSets.setMark(current, 1);
    }
    m_armed = true;
}

void ScanSelect::choose(int index)
{
    if (!ScanSets::isValid(index))
        return;
    ScanSets &sets = m_scanSets;
    const int old = m_ctx.data.CurrentScanSet;
    if (ScanSets::isValid(old)) {
        if (sets.mark(old) == 1)
            sets.setMark(old, 2);
        setBoxEnabled(old, false);
    }
    for (int i = 0; i < ScanSets::kCount; ++i)
        setChoice(i, i == index);

    m_ctx.data.CurrentScanSet = qint16(index);
    setBoxEnabled(index, true);
    if (sets.mark(index) == 2)
        sets.setMark(index, 1);

    updateSelection();
    m_ctx.send(cmd::selectScanSet(index));
}

void ScanSelect::updateSelection()
{
    const int current = m_ctx.data.CurrentScanSet;
    if (current < 0) {
        m_selectedName.clear();
        m_ctx.data.ScanSetCaption = QStringLiteral("ScanSetSelected: (None)");
    } else {
        m_selectedName = m_scanSets.title(current);
        m_ctx.data.ScanSetCaption = selectionCaption(current, m_selectedName);
    }
}

void ScanSelect::copy(int button)
{
    if (!m_ctx.online() || button < 0 || button >= ScanSets::kCount - 1)
        return;
    choose(button + 1);
    m_ctx.send(cmd::copyToScanSet());
    for (const char *group : {"l", "b", "v", "h"})
        m_ctx.send(cmd::storeDacInitial(QString::fromLatin1(group)));
}

void ScanSelect::rename()
{
    const int current = m_ctx.data.CurrentScanSet;
    if (!ScanSets::isValid(current)) {
        m_ctx.messages.message(kNothingSelected);
        return;
    }
    const QString prompt = QStringLiteral("Enter New Name For: #%1: ").arg(current + 1)
        + m_scanSets.title(current);
    const auto answer = m_inputBox.getText(prompt, kRenameTitle);
    if (!answer || answer->isEmpty())
        return;
    const QString title = answer->left(kScanTitleMaxLength);
    m_selectedName = title;
    m_scanSets.setTitle(current, title);
    m_ctx.send(cmd::renameScanSet(title));
}

void ScanSelect::deselect()
{
    setChoice(m_ctx.data.CurrentScanSet, false);
    m_ctx.data.CurrentScanSet = -1;
}

void ScanSelect::ok()
{
    updateSelection();
    m_ctx.windows.hideWindow(win::frmScanSelect);
}

void ScanSelect::onMarkChanged(int index, int mark)
{
    if (index < 0 || index >= int(m_marks.size()))
        return;
    m_marks[size_t(index)] = qint16(mark);
    // A mark the monitor's own reply set (the scan-set titles list) is its
    // state already: only a box the user clicked is sent.
    if (m_armed && m_ctx.online() && !m_ctx.applying.active())
        m_ctx.send(mark != 0 ? cmd::enableScanSet(index) : cmd::disableScanSet(index));
}

} // namespace tvk
