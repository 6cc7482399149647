#pragma once
// Writes valid Intel HEX files of any size for the tests and the benchmark:
// an extended linear address record before the data (and again at every
// 64 KiB boundary the data crosses), data records, and the end record.

#include <QByteArray>
#include <QString>

namespace tvk::test {

struct HexImage {
    quint32 base = 0;  // address of the first byte
    QByteArray data;   // contiguous bytes from base on
};

// `records` data records of `bytesPerRecord` bytes each (the last may be
// shorter when `totalBytes` is given), filled with a pattern that differs
// from record to record.
HexImage patternImage(int records, int bytesPerRecord = 16, quint32 base = 0x8000);

// The file text; lines end in CR LF.
QByteArray intelHex(const HexImage &image, int bytesPerRecord = 16);

// One record of the given type and payload, with its checksum.
QByteArray hexRecord(int type, quint16 offset, const QByteArray &payload);

// Writes the file; false when it cannot be written.
bool writeIntelHex(const QString &path, const HexImage &image, int bytesPerRecord = 16);

// Number of lines intelHex() writes for the image.
int hexLineCount(const HexImage &image, int bytesPerRecord = 16);

} // namespace tvk::test
