#pragma once
// Two settings images side by side: per scan set and channel (matched by the
// channel's name) the present, factory and initial values of both, the
// channels that differ first; channels and scan sets only one side has;
// the identity texts of both, with a warning when the model or the serial
// number differs (settings of another monitor).

#include "core/settingsimage.h"

#include <QJsonObject>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tvk {

// The tables a comparison shows, in this order.
inline constexpr DacTable kComparedTables[3] = {DacTable::Present, DacTable::Factory, DacTable::Initial};

struct ChannelComparison {
    enum class State { Same, Differs, OnlyLeft, OnlyRight };
    int scanSet = 0;
    DacGroupId group = DacGroupId::L;
    int channel = 0;
    QString name;
    State state = State::Same;
    // By kComparedTables: present, factory, initial.
    std::optional<int> left[3], right[3];
    bool differs[3] = {false, false, false};

    bool presentDiffers() const { return differs[0]; }
};

struct IdentityComparison {
    QString caption; // "Model Number"
    QString left, right;
    bool differs = false;
};

struct SettingsComparison {
    QString leftName, rightName;
    QList<IdentityComparison> identity;
    // A different model or serial number: these are another monitor's settings.
    QStringList warnings;
    // Differences first (scan set, group, channel order within each part),
    // then channels only one side has, then equal channels.
    QList<ChannelComparison> channels;
    // Scan sets only one side holds (0-based).
    QList<int> scanSetsOnlyLeft, scanSetsOnlyRight;
    // Titles of the scan sets, from the left side where it has one.
    QMap<int, QString> titles;
    // Groups one side holds and the other cannot report (no read commands).
    QStringList notes;
    int comparedChannels = 0; // channels both sides hold
    int differingChannels = 0;

    bool equal() const
    {
        return differingChannels == 0 && scanSetsOnlyLeft.isEmpty() && scanSetsOnlyRight.isEmpty()
            && onlyOneSide() == 0;
    }
    int onlyOneSide() const;
    // "12 of 141 channels differ", "All 141 channels are equal".
    QString summary() const;
};

SettingsComparison compareSettings(const SettingsImage &left, const SettingsImage &right);

// The comparison as text lines for a terminal: headings, identity, warnings,
// the differences and what one side lacks (equal channels are not listed).
QString comparisonText(const SettingsComparison &c);
QJsonObject comparisonJson(const SettingsComparison &c);

// "L", "B", ... and the channel's name, e.g. "V Vertical Size".
QString channelLabel(DacGroupId group, const QString &name);
// "Scan set 2 (800x600 60Hz)".
QString scanSetLabel(int index, const QString &title);

} // namespace tvk
