#include "firmware/bootblock.h"

namespace tvk {

BootBlockReport ParseBootBlockReply(const QString &text)
{
    static const QString kMark = QStringLiteral("= 0x");
    static const QString kAutoBoot = QStringLiteral("auto boot ");
    BootBlockReport report;
    if (!text.contains(kMark))
        return report;
    QString rest = text;
    for (int i = 0; i < BootBlockReport::kValues; ++i) {
        const qsizetype at = rest.indexOf(kMark);
        if (at < 0)
            break; // fewer values than expected: the later labels keep theirs
        rest = rest.mid(at + kMark.size());
        report.values[i] = rest.left(2);
        report.count = i + 1;
        const qsizetype lf = rest.indexOf(u'\n');
        if (lf >= 0)
            rest = rest.mid(lf + 1);
    }
    const qsizetype at = rest.indexOf(kAutoBoot);
    if (at < 0)
        return report;
    rest = rest.mid(at + kAutoBoot.size());
    // The state word: letters and digits, without the line end or prompt
    // that follows it.
    qsizetype n = 0;
    while (n < rest.size() && rest.at(n).unicode() < 128 && rest.at(n).isLetterOrNumber())
        ++n;
    report.autoBoot = rest.left(n);
    return report;
}

const std::array<QString, BootBlockReport::kValues> &bootBlockCaptions()
{
    static const std::array<QString, BootBlockReport::kValues> captions = {
        QStringLiteral("Flag AA:"),
        QStringLiteral("Flag 55:"),
        QStringLiteral(" Boot Unconditional ( if = 34 )  :"),
        QStringLiteral("Flash L Bound H:"),
        QStringLiteral("Flash L Bound L:"),
        QStringLiteral("Flash U Bound H:"),
        QStringLiteral("Flash U Bound L:"),
        QStringLiteral("Flash Checksum:"),
        QStringLiteral("Abort AutoBoot:"),
    };
    return captions;
}

} // namespace tvk
