#include "core/settingscompare.h"

#include <QJsonArray>

#include <algorithm>

namespace tvk {

namespace {

const char *const kTableNames[3] = {"present", "factory", "initial"};

QString valueText(const std::optional<int> &v)
{
    return v ? QString::number(*v) : QStringLiteral("-");
}

QJsonValue jsonValue(const std::optional<int> &v)
{
    return v ? QJsonValue(*v) : QJsonValue(QJsonValue::Null);
}

int stateOrder(ChannelComparison::State s)
{
    switch (s) {
    case ChannelComparison::State::Differs:
        return 0;
    case ChannelComparison::State::OnlyLeft:
    case ChannelComparison::State::OnlyRight:
        return 1;
    case ChannelComparison::State::Same:
        return 2;
    }
    return 2;
}

// The place of a channel within its scan set, as the file lists them.
int channelOrder(DacGroupId group, int channel) { return int(group) * 16 + channel; }

} // namespace

QString channelLabel(DacGroupId group, const QString &name)
{
    return QString::fromLatin1(dacGroupDesc(group).letter) + u' ' + name;
}

QString scanSetLabel(int index, const QString &title)
{
    QString s = QStringLiteral("Scan set %1").arg(index + 1);
    if (!title.isEmpty())
        s += QStringLiteral(" (") + title + u')';
    return s;
}

int SettingsComparison::onlyOneSide() const
{
    return int(std::count_if(channels.begin(), channels.end(), [](const ChannelComparison &c) {
        return c.state == ChannelComparison::State::OnlyLeft || c.state == ChannelComparison::State::OnlyRight;
    }));
}

QString SettingsComparison::summary() const
{
    QString s = differingChannels == 0
        ? QStringLiteral("All %1 channels are equal").arg(comparedChannels)
        : QStringLiteral("%1 of %2 channels differ").arg(differingChannels).arg(comparedChannels);
    if (const int only = onlyOneSide())
        s += QStringLiteral("; %1 only on one side").arg(only);
    return s;
}

SettingsComparison compareSettings(const SettingsImage &left, const SettingsImage &right)
{
    SettingsComparison out;
    out.leftName = left.source;
    out.rightName = right.source;

    const struct {
        const char *caption;
        QString SettingsImage::*field;
        bool warns;
    } identity[] = {
        {"Model Number", &SettingsImage::modelNumber, true},
        {"Serial Number", &SettingsImage::serialNumber, true},
        {"Part Number", &SettingsImage::partNumber, false},
        {"Firmware Version", &SettingsImage::firmwareVersion, false},
    };
    for (const auto &id : identity) {
        const QString l = (left.*id.field).trimmed(), r = (right.*id.field).trimmed();
        // A text one side does not know (a file saved offline) differs from nothing.
        IdentityComparison ic{QString::fromLatin1(id.caption), l, r, l != r && !l.isEmpty() && !r.isEmpty()};
        out.identity.append(ic);
        if (id.warns && ic.differs)
            out.warnings << QStringLiteral("The %1 differs: %2 in %3, %4 in %5. These may be another "
                                           "monitor's settings.")
                                .arg(ic.caption.toLower(), l, left.source, r, right.source);
    }

    QStringList notedGroups;
    for (const ImageScanSet &ls : left.scanSets) {
        out.titles.insert(ls.index, ls.title);
        const ImageScanSet *rs = right.scanSet(ls.index);
        if (!rs) {
            out.scanSetsOnlyLeft << ls.index;
            continue;
        }
        const auto groupOnlyOneSide = [&](DacGroupId g) {
            return ls.hasGroup(g) != rs->hasGroup(g) && (!isReadableGroup(g));
        };
        for (const ImageChannel &lc : ls.channels) {
            ChannelComparison cc;
            cc.scanSet = ls.index;
            cc.group = lc.group;
            cc.channel = lc.channel;
            cc.name = lc.name;
            for (int t = 0; t < 3; ++t)
                cc.left[t] = lc.value(kComparedTables[t]);
            const ImageChannel *rc = rs->find(lc.group, lc.channel);
            if (!rc) {
                // A group the other side cannot report at all is noted once,
                // not listed channel by channel.
                if (groupOnlyOneSide(lc.group)) {
                    const QString g = QString::fromLatin1(dacGroupDesc(lc.group).letter);
                    if (!notedGroups.contains(g))
                        notedGroups << g;
                    continue;
                }
                cc.state = ChannelComparison::State::OnlyLeft;
                out.channels.append(cc);
                continue;
            }
            ++out.comparedChannels;
            for (int t = 0; t < 3; ++t) {
                cc.right[t] = rc->value(kComparedTables[t]);
                cc.differs[t] = cc.left[t] != cc.right[t];
            }
            if (cc.differs[0] || cc.differs[1] || cc.differs[2]) {
                cc.state = ChannelComparison::State::Differs;
                ++out.differingChannels;
            }
            out.channels.append(cc);
        }
        for (const ImageChannel &rc : rs->channels) {
            if (ls.find(rc.group, rc.channel))
                continue;
            if (groupOnlyOneSide(rc.group)) {
                const QString g = QString::fromLatin1(dacGroupDesc(rc.group).letter);
                if (!notedGroups.contains(g))
                    notedGroups << g;
                continue;
            }
            ChannelComparison cc;
            cc.scanSet = rs->index;
            cc.group = rc.group;
            cc.channel = rc.channel;
            cc.name = rc.name;
            cc.state = ChannelComparison::State::OnlyRight;
            for (int t = 0; t < 3; ++t)
                cc.right[t] = rc.value(kComparedTables[t]);
            out.channels.append(cc);
        }
    }
    for (const ImageScanSet &rs : right.scanSets) {
        if (!left.scanSet(rs.index)) {
            out.scanSetsOnlyRight << rs.index;
            out.titles.insert(rs.index, rs.title);
        }
    }
    if (!notedGroups.isEmpty())
        out.notes << QStringLiteral("Not compared (the monitor does not report these groups): ")
                + notedGroups.join(QStringLiteral(", "));

    std::stable_sort(out.channels.begin(), out.channels.end(),
                     [](const ChannelComparison &a, const ChannelComparison &b) {
                         const int sa = stateOrder(a.state), sb = stateOrder(b.state);
                         if (sa != sb)
                             return sa < sb;
                         if (a.scanSet != b.scanSet)
                             return a.scanSet < b.scanSet;
                         return channelOrder(a.group, a.channel) < channelOrder(b.group, b.channel);
                     });
    return out;
}

QString comparisonText(const SettingsComparison &c)
{
    QStringList lines;
    lines << QStringLiteral("Comparing %1 with %2").arg(c.leftName, c.rightName);
    for (const IdentityComparison &id : c.identity)
        lines << QStringLiteral("  %1: %2 | %3%4")
                     .arg(id.caption, -17)
                     .arg(id.left.isEmpty() ? QStringLiteral("-") : id.left,
                          id.right.isEmpty() ? QStringLiteral("-") : id.right,
                          id.differs ? QStringLiteral("   (differs)") : QString());
    for (const QString &w : c.warnings)
        lines << QStringLiteral("WARNING: ") + w;
    lines << c.summary() + u'.';
    for (int k : c.scanSetsOnlyLeft)
        lines << scanSetLabel(k, c.titles.value(k)) + QStringLiteral(": only in ") + c.leftName;
    for (int k : c.scanSetsOnlyRight)
        lines << scanSetLabel(k, c.titles.value(k)) + QStringLiteral(": only in ") + c.rightName;
    int lastScanSet = -1;
    for (const ChannelComparison &cc : c.channels) {
        if (cc.state == ChannelComparison::State::Same)
            continue;
        if (cc.scanSet != lastScanSet) {
            lines << scanSetLabel(cc.scanSet, c.titles.value(cc.scanSet)) + u':';
            lastScanSet = cc.scanSet;
        }
        QString line = QStringLiteral("  %1").arg(channelLabel(cc.group, cc.name), -34);
        if (cc.state == ChannelComparison::State::OnlyLeft) {
            line += QStringLiteral(" only in ") + c.leftName;
        } else if (cc.state == ChannelComparison::State::OnlyRight) {
            line += QStringLiteral(" only in ") + c.rightName;
        } else {
            QStringList parts;
            for (int t = 0; t < 3; ++t)
                if (cc.differs[t])
                    parts << QStringLiteral("%1 %2 -> %3")
                                 .arg(QLatin1String(kTableNames[t]), valueText(cc.left[t]), valueText(cc.right[t]));
            line += parts.join(QStringLiteral(", "));
        }
        lines << line;
    }
    for (const QString &n : c.notes)
        lines << n + u'.';
    return lines.join(u'\n') + u'\n';
}

QJsonObject comparisonJson(const SettingsComparison &c)
{
    QJsonObject o;
    o.insert(QStringLiteral("left"), c.leftName);
    o.insert(QStringLiteral("right"), c.rightName);
    o.insert(QStringLiteral("equal"), c.equal());
    o.insert(QStringLiteral("compared"), c.comparedChannels);
    o.insert(QStringLiteral("differing"), c.differingChannels);
    o.insert(QStringLiteral("summary"), c.summary());
    QJsonArray identity;
    for (const IdentityComparison &id : c.identity)
        identity.append(QJsonObject{{QStringLiteral("field"), id.caption},
                                    {QStringLiteral("left"), id.left},
                                    {QStringLiteral("right"), id.right},
                                    {QStringLiteral("differs"), id.differs}});
    o.insert(QStringLiteral("identity"), identity);
    o.insert(QStringLiteral("warnings"), QJsonArray::fromStringList(c.warnings));
    o.insert(QStringLiteral("notes"), QJsonArray::fromStringList(c.notes));
    QJsonArray onlyLeft, onlyRight;
    for (int k : c.scanSetsOnlyLeft)
        onlyLeft.append(k + 1);
    for (int k : c.scanSetsOnlyRight)
        onlyRight.append(k + 1);
    o.insert(QStringLiteral("scanSetsOnlyLeft"), onlyLeft);
    o.insert(QStringLiteral("scanSetsOnlyRight"), onlyRight);
    QJsonArray channels;
    for (const ChannelComparison &cc : c.channels) {
        if (cc.state == ChannelComparison::State::Same)
            continue;
        QJsonObject ch{{QStringLiteral("scanSet"), cc.scanSet + 1},
                       {QStringLiteral("group"), QString::fromLatin1(dacGroupDesc(cc.group).letter)},
                       {QStringLiteral("channel"), cc.channel},
                       {QStringLiteral("name"), cc.name}};
        const char *state = cc.state == ChannelComparison::State::Differs ? "differs"
            : cc.state == ChannelComparison::State::OnlyLeft             ? "onlyLeft"
                                                                          : "onlyRight";
        ch.insert(QStringLiteral("state"), QLatin1String(state));
        for (int t = 0; t < 3; ++t)
            ch.insert(QLatin1String(kTableNames[t]),
                      QJsonObject{{QStringLiteral("left"), jsonValue(cc.left[t])},
                                  {QStringLiteral("right"), jsonValue(cc.right[t])},
                                  {QStringLiteral("differs"), cc.differs[t]}});
        channels.append(ch);
    }
    o.insert(QStringLiteral("channels"), channels);
    return o;
}

} // namespace tvk
