#include "model/scansets.h"

namespace tvk {

ScanSets::ScanSets(QObject *parent) : QObject(parent)
{
    for (int i = 0; i < kCount; ++i)
        m_titles[i] = defaultTitle(i);
}

QString ScanSets::defaultTitle(int index)
{
    return QStringLiteral("Scan Set %1 Title").arg(index + 1);
}

void ScanSets::reset()
{
    m_fromFile = {};
    for (int i = 0; i < kCount; ++i) {
        setTitle(i, defaultTitle(i));
        setMark(i, 0);
    }
}

QString ScanSets::title(int index) const
{
    return isValid(index) ? m_titles[index] : QString();
}

void ScanSets::setTitle(int index, const QString &title)
{
    if (!isValid(index) || m_titles[index] == title)
        return;
    m_titles[index] = title;
    emit titleChanged(index, title);
}

int ScanSets::mark(int index) const
{
    return isValid(index) ? m_marks[index] : 0;
}

void ScanSets::setMark(int index, int mark)
{
    if (!isValid(index) || mark < 0 || mark > 2 || m_marks[index] == mark)
        return;
    m_marks[index] = mark;
    emit markChanged(index, mark);
}

} // namespace tvk
