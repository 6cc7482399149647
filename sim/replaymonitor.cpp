#include "replaymonitor.h"

#include "link/sessionrecord.h"

namespace tvk::sim {

bool ReplayMonitor::load(const QString &path, QString *error)
{
    QList<SessionRecord::Entry> entries;
    if (!SessionRecord::readFile(path, &entries)) {
        *error = QStringLiteral("cannot read the record %1").arg(path);
        return false;
    }
    QList<Chunk> chunks;
    for (const SessionRecord::Entry &e : std::as_const(entries)) {
        if (e.kind == SessionRecord::Kind::Tx || e.kind == SessionRecord::Kind::Rx)
            chunks.append({e.kind == SessionRecord::Kind::Tx, e.bytes});
    }
    loadChunks(chunks);
    if (m_replies.isEmpty()) {
        *error = QStringLiteral("the record %1 holds no command with an answer").arg(path);
        return false;
    }
    return true;
}

void ReplayMonitor::loadChunks(const QList<Chunk> &chunks)
{
    struct Exchange {
        QByteArray command;
        QByteArray reply;
        bool complete = false;
    };
    QList<Exchange> exchanges;
    QByteArray typing;
    for (const Chunk &c : chunks) {
        if (!c.written) {
            // What the monitor sent belongs to the command last begun (its
            // echo may come while the command is still being typed).
            if (!exchanges.isEmpty())
                exchanges.last().reply += c.bytes;
            continue;
        }
        for (const char b : c.bytes) {
            if (b == '\r' || b == '\n') {
                if (!typing.isEmpty()) {
                    exchanges.last().command = typing;
                    exchanges.last().complete = true;
                    typing.clear();
                }
                continue;
            }
            if (typing.isEmpty())
                exchanges.append(Exchange{});
            typing += b;
        }
    }
    m_replies.clear();
    m_used.clear();
    for (const Exchange &x : std::as_const(exchanges)) {
        if (x.complete && !x.reply.isEmpty())
            m_replies[x.command].append(x.reply);
    }
}

QByteArray ReplayMonitor::feed(const QByteArray &bytes)
{
    QByteArray out;
    for (const char c : bytes) {
        const bool afterCr = m_afterCr;
        m_afterCr = c == '\r';
        if (c == '\r' || (c == '\n' && !afterCr)) {
            const QByteArray line = m_line;
            m_line.clear();
            if (line.trimmed().isEmpty())
                continue;
            m_commands.append(line);
            emit commandReceived(line);
            out += answer(line);
        } else if (c != '\n' && m_line.size() < kMaxLineLength) {
            m_line += c;
        }
    }
    return out;
}

QByteArray ReplayMonitor::answer(const QByteArray &line)
{
    auto it = m_replies.constFind(line);
    if (it == m_replies.constEnd())
        return QByteArrayLiteral("!");
    int &used = m_used[line];
    const QByteArray reply = it->at(std::min<qsizetype>(used, it->size() - 1));
    ++used;
    return reply;
}

} // namespace tvk::sim
