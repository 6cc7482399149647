#pragma once
// A monitor that answers as a recorded one did: each command line gets the
// bytes the recorded monitor sent after the same command (its echo, its
// answer and its prompt), in recorded order when the command was sent more
// than once (the last answer again once they run out), and "!" for a command
// the record never saw.

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>

namespace tvk::sim {

class ReplayMonitor : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Reads a session record file; false with `error` set when it cannot be
    // read or holds no command with an answer.
    bool load(const QString &path, QString *error);
    // The same from the bytes as they went: each chunk written (true) or
    // received (false), in order.
    struct Chunk {
        bool written;
        QByteArray bytes;
    };
    void loadChunks(const QList<Chunk> &chunks);

    // Characters from the tool in, the recorded monitor's output out.
    QByteArray feed(const QByteArray &bytes);

    // How many distinct commands the record answers.
    int knownCommands() const { return int(m_replies.size()); }
    QByteArrayList commandsReceived() const { return m_commands; }

    static constexpr int kMaxLineLength = 256;

signals:
    void commandReceived(const QByteArray &line);

private:
    QByteArray answer(const QByteArray &line);

    QHash<QByteArray, QList<QByteArray>> m_replies;
    QHash<QByteArray, int> m_used;
    QByteArray m_line;
    bool m_afterCr = false;
    QByteArrayList m_commands;
};

} // namespace tvk::sim
