#include "core/settingsimage.h"

#include "core/dacfile.h"
#include "model/scansets.h"

#include <QFile>
#include <QFileInfo>

namespace tvk {

std::optional<int> ImageChannel::value(DacTable table) const
{
    switch (table) {
    case DacTable::Present:
    case DacTable::Accepted:
        return present;
    case DacTable::Factory:
        return factory;
    case DacTable::Initial:
        return initial;
    }
    return std::nullopt;
}

const ImageChannel *ImageScanSet::find(DacGroupId group, int channel) const
{
    for (const ImageChannel &c : channels)
        if (c.group == group && c.channel == channel)
            return &c;
    return nullptr;
}

bool ImageScanSet::hasGroup(DacGroupId group) const
{
    for (const ImageChannel &c : channels)
        if (c.group == group)
            return true;
    return false;
}

const ImageScanSet *SettingsImage::scanSet(int index) const
{
    for (const ImageScanSet &s : scanSets)
        if (s.index == index)
            return &s;
    return nullptr;
}

int dacChannelMaximum(DacGroupId group, int channel)
{
    if (group == DacGroupId::N)
        return 63;
    if (group == DacGroupId::H && channel == kHorizSCapChannel)
        return 127;
    return 255;
}

namespace {

// The channel a name stands for, as the file reader finds it.
std::optional<DacChannelRef> channelByName(QStringView name)
{
    if (name.isEmpty())
        return std::nullopt;
    for (const DacGroupDesc &g : kDacGroups)
        for (int c = 0; c < kDacChannels; ++c)
            if (g.names[size_t(c)] && name == QLatin1String(g.names[size_t(c)]))
                return DacChannelRef{g.id, c};
    return std::nullopt;
}

std::optional<int> wholeNumber(const QString &field)
{
    bool ok = false;
    const int v = field.trimmed().toInt(&ok);
    if (!ok || v < -32768 || v > 32767)
        return std::nullopt;
    return v;
}

} // namespace

ImageFileResult parseSettingsFile(const QByteArray &bytes, const QString &name)
{
    const auto refuse = [&name](const QString &why) {
        return ImageFileResult{std::nullopt, QStringLiteral("The file %1 cannot be used: %2.").arg(name, why)};
    };
    if (bytes.size() < kMdfMinimumSize)
        return refuse(QStringLiteral("it is too short to be a DAC value file"));
    const QList<QByteArray> raw = bytes.split('\n');
    QStringList lines;
    for (QByteArray l : raw) {
        if (l.endsWith('\r'))
            l.chop(1);
        lines << QString::fromLatin1(l);
    }
    if (SplitMdfFields(lines.value(0)).value(0) != kFileHeaderText)
        return refuse(QStringLiteral("it is not a DAC value file"));
    if (SplitMdfFields(lines.value(1)).value(0) != kFileVersionText)
        return refuse(QStringLiteral("its version is not %1").arg(kFileVersionText));

    SettingsImage image;
    image.source = name;
    int numScanSets = 6;
    ImageScanSet *section = nullptr;
    const auto sectionFor = [&image](int index) -> ImageScanSet * {
        for (ImageScanSet &s : image.scanSets)
            if (s.index == index)
                return &s;
        image.scanSets.append(ImageScanSet{index, ScanSets::defaultTitle(index), {}});
        return &image.scanSets.last();
    };

    for (int i = 2; i < lines.size(); ++i) {
        const QStringList f = SplitMdfFields(lines[i]);
        if (f.isEmpty())
            continue;
        const QString key = f[0].trimmed();
        const QString second = f.value(1);
        const QString where = QStringLiteral("line %1 (\"%2\")").arg(i + 1).arg(key);
        if (key == u"#" || key == u"File Created:" || key == u"HV Upper Limit:" || key == u"HV Lower Limit:"
            || key == u"CRT Serial Number:" || key == u"CRT Part Number:")
            continue;
        if (key == u"Model Number:")
            image.modelNumber = second;
        else if (key == u"Serial Number:")
            image.serialNumber = second;
        else if (key == u"Part Number:")
            image.partNumber = second;
        else if (key == u"Firmware Version:")
            image.firmwareVersion = second;
        else if (key == u"ROM Version:")
            image.romVersion = second;
        else if (key == u"Operating Hours:")
            image.operatingTime = second;
        else if (key == u"Operating Cycles:")
            image.operatingCycles = second;
        else if (key == u"NumScanSets" || dacGroupByCountKey(key)) {
            const auto v = wholeNumber(second);
            if (!v || *v < 0 || *v > 8)
                return refuse(where + QStringLiteral(" holds no count of 0 to 8"));
            if (key == u"NumScanSets")
                numScanSets = *v;
        } else if (key == u"ScanSet") {
            const auto v = wholeNumber(second);
            if (!v || *v < 0 || *v >= numScanSets || !ScanSets::isValid(*v))
                return refuse(where + QStringLiteral(" names no scan set of this file"));
            section = sectionFor(*v);
        } else if (key == u"ScanSetName") {
            if (section)
                section->title = second;
        } else if (const auto ref = channelByName(key)) {
            if (f.size() < 4)
                return refuse(where + QStringLiteral(" ends early"));
            int v[3];
            for (int k = 0; k < 3; ++k) {
                const auto n = wholeNumber(f[k + 1]);
                if (!n)
                    return refuse(where + QStringLiteral(" holds something that is not a number"));
                v[k] = *n;
            }
            if (!section)
                section = sectionFor(0); // as the reader stores it: scan set 0
            ImageChannel c{ref->group, ref->channel, key, v[0], v[1], v[2]};
            bool replaced = false;
            for (ImageChannel &old : section->channels)
                if (old.group == c.group && old.channel == c.channel) {
                    old = c;
                    replaced = true;
                }
            if (!replaced)
                section->channels.append(c);
        } else {
            return refuse(where + QStringLiteral(" names no channel of the monitor"));
        }
    }
    return ImageFileResult{image, QString()};
}

ImageFileResult readSettingsFile(const QString &path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly))
        return ImageFileResult{std::nullopt,
                               QStringLiteral("The file %1 cannot be read: %2.").arg(path, file.errorString())};
    return parseSettingsFile(file.readAll(), name);
}

SettingsImage imageFromMonitor(const MonitorData &data, const ScanSets &titles, const QList<int> &scanSets,
                               const QString &source)
{
    SettingsImage image;
    image.source = source;
    image.modelNumber = data.ModelNumber;
    image.serialNumber = data.SerialNumber;
    image.partNumber = data.PartNumber;
    image.firmwareVersion = data.FirmwareVersion;
    image.romVersion = data.RomVersion;
    image.operatingTime = data.OperatingTimeText;
    image.operatingCycles = data.OperatingCyclesText;
    for (int k : scanSets) {
        ImageScanSet s{k, titles.title(k), {}};
        for (const DacGroupDesc &g : kDacGroups) {
            if (!isReadableGroup(g.id))
                continue;
            for (int c : data.channelsOf(g.id)) {
                const auto known = [&](DacTable t) -> std::optional<int> {
                    if (!data.isKnown(g.id, t, c, k))
                        return std::nullopt;
                    return data.value(g.id, t, c, k);
                };
                ImageChannel ch{g.id, c, data.channelName(g.id, c), known(DacTable::Present),
                                known(DacTable::Factory), known(DacTable::Initial)};
                if (ch.name.isEmpty())
                    continue;
                s.channels.append(ch);
            }
        }
        image.scanSets.append(s);
    }
    return image;
}

SettingsImage factoryImage(const SettingsImage &image)
{
    SettingsImage out = image;
    out.source = image.source + QStringLiteral(" (factory values)");
    for (ImageScanSet &s : out.scanSets)
        for (ImageChannel &c : s.channels) {
            c.present = c.factory;
            c.initial = c.factory;
        }
    return out;
}

} // namespace tvk
