#pragma once
// A small trend line beside a test-point value: the reading's last hours
// from the core's history, drawn with QPainter. It repaints only when its
// own reading arrives, so a panel full of them costs nothing while idle.
//
// The line spans the widget from the oldest to the newest sample. The
// vertical scale follows the readings but never spans less than 5 % of
// their level, so converter noise stays a ripple and a real drift shows.
// A history longer than the widget is wide is drawn as the lowest and
// highest sample of each pixel column, so the cost of a repaint stays that
// of the widget's width.
//
// A reading with limits (the anode voltage and the monitor's own HV limits)
// shows them as a band; the scale then takes the band in, and each sample
// outside it is marked with a cross, not by colour alone, and counted in
// the tool tip and the accessible description.
//
// Its context menu saves the history as CSV (ISO 8601 time in UTC, value,
// unit, the monitor's serial number) or as a PNG picture.

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

namespace tvk {

class FileDialogs;
class TrendHistory;
class UserMessages;

class TrendLine : public QWidget {
    Q_OBJECT
public:
    struct Limits {
        double lower;
        double upper;
    };
    // What saving needs: the dialog, where to say a failure, the monitor's
    // serial number, and the wall time (ms since the epoch) of a sample time.
    struct Saving {
        FileDialogs *dialogs = nullptr;
        UserMessages *messages = nullptr;
        std::function<QString()> serialNumber;
        std::function<qint64(qint64 sampleMs)> wallMs;
        QString caption; // names the reading in file names and the picture
    };

    TrendLine(TrendHistory &history, const QString &key, const QString &unit, QWidget *parent = nullptr);

    QString key() const { return m_key; }
    QString unit() const { return m_unit; }
    QSize sizeHint() const override { return {96, 22}; }
    QSize minimumSizeHint() const override { return {48, 16}; }
    // Repaints asked for since creation (tests: idle means none).
    int updatesRequested() const { return m_updates; }

    // The band of the reading's limits, asked at each repaint (nothing: no
    // limits known).
    void setLimits(std::function<std::optional<Limits>()> limits);
    std::optional<Limits> limits() const { return m_limits ? m_limits() : std::nullopt; }
    // How many of the samples shown lie outside the limits.
    int samplesOutside() const;
    void setSaving(Saving saving);

    // The span of the drawn scale for samples from lo to hi: at least 5 %
    // of their level (and never zero), centred on them.
    static std::pair<double, double> scaleFor(double lo, double hi);

    // The history drawn at the given size, with a caption and the time span
    // when the picture is tall enough for them.
    QImage picture(const QSize &size) const;
    // Asks where and writes the file; false when cancelled or failed (the
    // failure is said in a message box).
    bool saveCsv();
    bool savePng();

protected:
    void paintEvent(QPaintEvent *event) override;
    bool event(QEvent *event) override;

private:
    void draw(QPainter &p, const QRectF &frame) const;
    QString proposedName(const QString &extension) const;
    void updateDescription();

    TrendHistory &m_history;
    QString m_key;
    QString m_unit;
    std::function<std::optional<Limits>()> m_limits;
    Saving m_saving;
    int m_updates = 0;
};

} // namespace tvk
