#pragma once
// A monitor's settings as one value, whatever they came from: a DAC value
// file (".mdv") read on its own, without touching the tool's monitor image,
// or what has been read from the monitor into that image. Comparing two of
// them (settingscompare.h) and writing one back (restore.h) work on this.

#include "model/monitordata.h"

#include <QList>
#include <QString>

#include <array>
#include <optional>

namespace tvk {

class ScanSets;

// One channel of one scan set: its three stored tables. A value is missing
// when the file's line lacks it or the monitor did not report it.
struct ImageChannel {
    DacGroupId group;
    int channel;
    QString name;
    std::optional<int> present, factory, initial;

    std::optional<int> value(DacTable table) const;
};

struct ImageScanSet {
    int index = 0; // 0-based; shown as index + 1
    QString title;
    QList<ImageChannel> channels;

    const ImageChannel *find(DacGroupId group, int channel) const;
    bool hasGroup(DacGroupId group) const;
};

struct SettingsImage {
    // What the image came from, for headings: a file's name, "monitor".
    QString source;
    QString modelNumber, serialNumber, partNumber, firmwareVersion, romVersion;
    QString operatingTime, operatingCycles;
    QList<ImageScanSet> scanSets;

    const ImageScanSet *scanSet(int index) const;
};

// The highest value a channel's slider takes: 63 for the north-south group,
// 127 for group H channel 8, 255 for every other.
int dacChannelMaximum(DacGroupId group, int channel);

// Whether the monitor can report the group (it has read commands).
inline bool isReadableGroup(DacGroupId group) { return *dacGroupDesc(group).command != '\0'; }

// A file read whole, or refused with the reason. A file is refused when it is
// not a DAC value file (too short, wrong header or version), or when any of
// its lines cannot be taken (an unknown channel name, a number that is not
// one, a count or scan set out of range): a file that cannot be read whole is
// not used at all.
struct ImageFileResult {
    std::optional<SettingsImage> image;
    QString error;
};
ImageFileResult readSettingsFile(const QString &path);
ImageFileResult parseSettingsFile(const QByteArray &bytes, const QString &name);

// The image of the monitor as the tool's monitor image holds it: the known
// values of the readable groups at each of `scanSets`, their titles, and the
// identity texts.
SettingsImage imageFromMonitor(const MonitorData &data, const ScanSets &titles, const QList<int> &scanSets,
                               const QString &source);

// The factory values of an image in the place of its present values, so that
// comparing an image with this one shows what was changed from the factory.
SettingsImage factoryImage(const SettingsImage &image);

} // namespace tvk
