#pragma once
// The per-user settings store: application name, section, key and a text
// value, read with a default. Two application names are used, "Tarvikon"
// for everything and "Tarvik" for the "Layout" keys of six panels. On Linux
// they are the INI files Tarvikon.conf and Tarvik.conf in the XDG config
// folder, one INI group per section; on Windows the per-user registry.
//
// Values are stored as texts: integers in decimal, positions and sizes as
// the decimal text of a real number, booleans as "True" or "False". A stored
// value that does not convert yields the default; nothing here stops the tool.
//
// Writing a settings file locks it and waits for the disk (twice per file):
// tens of milliseconds on a slow disk, and the thread that does it sleeps.
// So the store reads both files once, when it is made, and keeps their
// values; a write changes the kept value at once and is handed to a thread
// of the store's own, which writes the file on its next turn. The thread
// that uses the store never touches the files. sync() and the destructor
// wait for the writer.

#include <QHash>
#include <QString>
#include <memory>

class QThread;

namespace tvk {

enum class AppName { Tarvikon, Tarvik };

QString appNameText(AppName app);

class Settings {
public:
    Settings();
    ~Settings();
    Settings(const Settings &) = delete;
    Settings &operator=(const Settings &) = delete;

    QString read(AppName app, const QString &section, const QString &key,
                 const QString &defaultValue) const;
    void write(AppName app, const QString &section, const QString &key, const QString &value);
    bool contains(AppName app, const QString &section, const QString &key) const;

    // Typed reads: a missing key or a text that does not convert gives the default.
    // Integers are 16-bit signed like the values they hold.
    int readInt(AppName app, const QString &section, const QString &key, int defaultValue) const;
    double readReal(AppName app, const QString &section, const QString &key,
                    double defaultValue) const;
    bool readBool(AppName app, const QString &section, const QString &key,
                  bool defaultValue) const;

    void writeInt(AppName app, const QString &section, const QString &key, int value);
    void writeReal(AppName app, const QString &section, const QString &key, double value);
    void writeBool(AppName app, const QString &section, const QString &key, bool value);

    // Writes everything to disk now and waits for it (also done on
    // destruction). Writes reach the disk soon without it.
    void sync();
    // Where the store of an application name lives (a file path on Linux).
    QString location(AppName app) const;

    // The conversions, usable on their own.
    static bool toInt(const QString &text, int *value);
    static bool toReal(const QString &text, double *value);
    static bool toBool(const QString &text, bool *value);
    static QString realText(double value);

private:
    class Writer;
    // The values of an application name by "section/key", as texts.
    QHash<QString, QString> &values(AppName app);
    const QHash<QString, QString> &values(AppName app) const;
    QHash<QString, QString> m_values[2];
    QString m_location[2];
    std::unique_ptr<QThread> m_thread;
    Writer *m_writer = nullptr; // lives in m_thread
};

// Short forms for the keys of the application "Tarvikon".
namespace SettingsSection {
inline const QString StartUp = QStringLiteral("StartUp");
inline const QString Configs = QStringLiteral("Configs");
inline const QString Locations = QStringLiteral("Locations");
inline const QString Layout = QStringLiteral("Layout");
} // namespace SettingsSection

} // namespace tvk
