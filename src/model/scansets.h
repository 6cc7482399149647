#pragma once
// The scan-set titles and enable marks of the scan selection window, held
// without widgets: the title reply of the monitor and the DAC value file
// reader write them, the file writer and the scan selection window read them.
// Marks: 0 off, 1 on, 2 on but greyed (enabled, not the current scan set).

#include <QObject>
#include <QString>
#include <array>

namespace tvk {

class ScanSets : public QObject {
    Q_OBJECT
public:
    static constexpr int kCount = 6; // scan sets 1..6 have a row in the window

    explicit ScanSets(QObject *parent = nullptr);

    static bool isValid(int index) { return index >= 0 && index < kCount; }

    // "Scan Set 1 Title" .. "Scan Set 6 Title" until something sets them.
    QString title(int index) const;
    void setTitle(int index, const QString &title);
    int mark(int index) const;
    // Values outside 0..2 are refused.
    void setMark(int index, int mark);

    static QString defaultTitle(int index);

    // As at start: the default titles, every mark off, nothing from a file.
    void reset();

    // The model holds values of this scan set that came from a DAC value
    // file: saving writes it again even when it is not marked enabled, so a
    // file opened offline and saved under another name keeps its contents.
    bool loadedFromFile(int index) const { return isValid(index) && m_fromFile[index]; }
    void setLoadedFromFile(int index) { if (isValid(index)) m_fromFile[index] = true; }

signals:
    void titleChanged(int index, const QString &title);
    // Every change of a mark, also one made by the window or a reply.
    void markChanged(int index, int mark);

private:
    std::array<QString, kCount> m_titles;
    std::array<int, kCount> m_marks{};
    std::array<bool, kCount> m_fromFile{};
};

} // namespace tvk
