#pragma once
// The support bundle: one zip archive a technician sends when a monitor
// misbehaves in the field. It holds the session record of the last hours,
// the two settings files with every mode password taken out, the current
// image as a .mdv file, the tool's version, the platform, and the serial
// ports with their adapters. Widget-free: the action asks for the file
// through the file dialog, says what the bundle holds through a message box
// and writes it only when the user agrees.

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

namespace tvk {

class FileDialogs;
class PortMappingStore;
class SessionRecord;
class Settings;
class UserMessages;

class SupportBundle {
public:
    // How far back the session record goes.
    static constexpr int kRecordHours = 8;

    struct Item {
        QString name;        // the file's name inside the archive
        QString description; // what it is, for the confirmation
        QByteArray bytes;
    };

    struct Sources {
        const SessionRecord &record;
        Settings &settings;
        const PortMappingStore &ports;
        QByteArray image; // the .mdv text of the current image
        QString imageName;
    };

    // Everything the bundle holds, as of `now`.
    static QList<Item> collect(const Sources &sources, const QDateTime &now);
    // The confirmation text: where it goes, each file and what it is.
    static QString summary(const QList<Item> &items, const QString &path);
    // Writes the zip archive (through a temporary file: a failed write leaves
    // nothing half-made at `path`); false with `error` set.
    static bool write(const QString &path, const QList<Item> &items, QString *error);
    // Reads a zip archive back, name to contents (tests, and checking).
    static bool read(const QString &path, QMap<QString, QByteArray> *files, QString *error);

    // A settings file without the mode passwords: a key named for a password
    // (other than a window's layout) or any value that holds one of them
    // loses its value.
    static QByteArray stripPasswords(const QByteArray &ini);
    // The lines of the record files stamped at or after `since`.
    static QByteArray recordSince(const QStringList &files, const QDateTime &since);
    static QByteArray platformText();
    static QByteArray portsText(const PortMappingStore &ports);

    // The Help menu's action: the file, the confirmation, the archive. False
    // when cancelled or failed (a failure is said in a message box).
    static bool save(const Sources &sources, FileDialogs &dialogs, UserMessages &messages);
};

} // namespace tvk
