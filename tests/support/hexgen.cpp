#include "hexgen.h"

#include <QFile>

namespace tvk::test {

HexImage patternImage(int records, int bytesPerRecord, quint32 base)
{
    HexImage image;
    image.base = base;
    image.data.resize(qsizetype(records) * bytesPerRecord);
    for (qsizetype i = 0; i < image.data.size(); ++i)
        image.data[i] = char((i * 7 + i / bytesPerRecord * 13 + 0x5A) & 0xFF);
    return image;
}

QByteArray hexRecord(int type, quint16 offset, const QByteArray &payload)
{
    QByteArray bytes;
    bytes.append(char(payload.size()));
    bytes.append(char(offset >> 8));
    bytes.append(char(offset & 0xFF));
    bytes.append(char(type));
    bytes.append(payload);
    quint8 sum = 0;
    for (char b : bytes)
        sum += quint8(b);
    bytes.append(char(quint8(-sum)));
    return ':' + bytes.toHex().toUpper();
}

QByteArray intelHex(const HexImage &image, int bytesPerRecord)
{
    QByteArray out;
    quint32 upper = 0xFFFFFFFF; // no extended address written yet
    qsizetype at = 0;
    while (at < image.data.size()) {
        const quint32 address = image.base + quint32(at);
        if ((address >> 16) != upper) {
            upper = address >> 16;
            QByteArray payload;
            payload.append(char(upper >> 8));
            payload.append(char(upper & 0xFF));
            out += hexRecord(0x04, 0, payload) + "\r\n";
        }
        // A record never crosses a 64 KiB boundary.
        const qsizetype toBoundary = qsizetype(0x10000 - (address & 0xFFFF));
        const qsizetype n = std::min<qsizetype>({bytesPerRecord, image.data.size() - at, toBoundary});
        out += hexRecord(0x00, quint16(address & 0xFFFF), image.data.mid(at, n)) + "\r\n";
        at += n;
    }
    out += hexRecord(0x01, 0, {}) + "\r\n";
    return out;
}

bool writeIntelHex(const QString &path, const HexImage &image, int bytesPerRecord)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray text = intelHex(image, bytesPerRecord);
    return file.write(text) == text.size();
}

int hexLineCount(const HexImage &image, int bytesPerRecord)
{
    return int(intelHex(image, bytesPerRecord).count('\n'));
}

} // namespace tvk::test
