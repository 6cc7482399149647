// Records numbered lines into the folder given, one per event-loop turn,
// printing each number once it is recorded, until it is killed.

#include "link/sessionrecord.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    tvk::SessionRecord record;
    record.setFolder(QString::fromLocal8Bit(argv[1]));
    int n = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        record.transmitted(QByteArray::number(n) + "\r\n");
        std::printf("%d\n", n++);
        std::fflush(stdout);
    });
    tick.start(0);
    return app.exec();
}
