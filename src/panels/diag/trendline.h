#pragma once
// A small trend line beside a test-point value: the reading's last minutes
// from the core's history, drawn with QPainter. It repaints only when its
// own reading arrives, so a panel full of them costs nothing while idle.
//
// The line spans the widget from the oldest to the newest sample. The
// vertical scale follows the readings but never spans less than 5 % of
// their level, so converter noise stays a ripple and a real drift shows.

#include <QString>
#include <QWidget>

namespace tvk {

class TrendHistory;

class TrendLine : public QWidget {
    Q_OBJECT
public:
    TrendLine(TrendHistory &history, const QString &key, const QString &unit, QWidget *parent = nullptr);

    QString key() const { return m_key; }
    QSize sizeHint() const override { return {96, 22}; }
    QSize minimumSizeHint() const override { return {48, 16}; }
    // Repaints asked for since creation (tests: idle means none).
    int updatesRequested() const { return m_updates; }

    // The span of the drawn scale for samples from lo to hi: at least 5 %
    // of their level (and never zero), centred on them.
    static std::pair<double, double> scaleFor(double lo, double hi);

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    TrendHistory &m_history;
    QString m_key;
    QString m_unit;
    int m_updates = 0;
};

} // namespace tvk
