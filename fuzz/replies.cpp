// Bytes from the monitor, as the port delivers them, through the line framing,
// the response dispatcher and every reply handler behind it.
//
// Input: one byte choosing the situation, then the monitor's output in parts
// separated by NUL bytes; a little time passes before each part, so queued
// commands go out and timers run between them.
//   bits 0-1  0 no answer yet (the connection cycle is trying), 1 online,
//             2 boot mode, 3 a flash download running
//   bits 2-3  the monitor family the test-point replies are read for
//             (firmware not read yet, 1.x, 2.x, 3.x)
//   bits 4-7  the time between parts, in steps of 40 ms

#include "fuzzrig.h"

#include "firmware/hexdownload.h"
#include "link/seriallink.h"

using namespace tvk;
using namespace tvk::fuzz;

namespace {

const QByteArray kSmallImage = ":020000040000FA\r\n:0400000001020304F2\r\n:0400040005060708DE\r\n:00000001FF\r\n";

void startDownload(CoreRig &rig)
{
    const QString path = scratchPath(QStringLiteral("image.hex"));
    writeFile(path, kSmallImage);
    if (!rig.core->download.start(HexDownload::Target::Flash, path))
        return;
    rig.advance(150);
    rig.feed("bf3\r\nFlash Erased\r\n#");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int situation = data[0] & 3;
    const int family = (data[0] >> 2) & 3;
    const int gapMs = 10 + ((data[0] >> 4) & 15) * 40;

    CoreRig rig;
    static const char kPrompts[] = {'\0', '#', '$', '#'};
    if (!rig.connect(kPrompts[situation]))
        return 0;
    static const int kTypes[] = {0, 138, 225, 310};
    if (family)
        rig.core->data.MonitorType = kTypes[family];
    if (situation == 3)
        startDownload(rig);

    const QList<QByteArray> parts = splitAtNul(data + 1, size - 1, 64);
    for (const QByteArray &part : parts) {
        rig.advance(gapMs);
        rig.feed(part);
        // An unterminated line is cut, never kept whole.
        TVK_FUZZ_CHECK(rig.core->link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    }
    // Let keep-alive, reply and silence timers run out.
    rig.advance(12000);
    TVK_FUZZ_CHECK(rig.core->link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    // Whatever ended a download left nothing behind.
    const HexDownload &dl = rig.core->download;
    if (!dl.isBusy())
        TVK_FUZZ_CHECK(!dl.isFileOpen() && !dl.DownloadActive());
    return 0;
}
