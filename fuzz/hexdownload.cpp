// The Intel HEX download engine, end to end through the core: a HEX file from
// the fuzz input is sent to a scripted monitor whose every answer also comes
// from the fuzz input, through the port, the line framing (with its refusal
// rule) and the dispatcher.
//
// Input: one byte of options, the HEX file, then the monitor's answers, each
// after a NUL byte; the monitor gives the next answer each time a command
// reaches it, and falls silent when the answers run out.
//   bit 0  SRAM ("bs") instead of flash ("bf3")
//   bit 1  the boot block answered the ping ("$") instead of the application
//   bit 2  the user presses Abort after the first record

#include "fuzzrig.h"

#include "firmware/hexdownload.h"
#include "link/seriallink.h"

using namespace tvk;
using namespace tvk::fuzz;

namespace {

CoreRig *g_rig = nullptr;
// The records written to the port during the current input.
QStringList g_records;

QByteArrayList runOnce(const std::uint8_t *data, std::size_t size)
{
    const bool sram = data[0] & 1;
    const bool boot = data[0] & 2;
    const bool abort = data[0] & 4;
    const QList<QByteArray> parts = splitAtNul(data + 1, size - 1, 512);

    CoreRig &rig = *g_rig;
    g_records.clear();
    TVK_FUZZ_CHECK(rig.connect(boot ? '$' : '#'));
    AppCore &core = *rig.core;
    HexDownload &dl = core.download;

    const QString path = scratchPath(QStringLiteral("image.hex"));
    writeFile(path, parts.value(0));

    if (!dl.start(sram ? HexDownload::Target::Sram : HexDownload::Target::Flash, path)) {
        // Refused: nothing may have been queued.
        const QString queued = core.link.pendingCommand() + core.link.XmitQueue();
        TVK_FUZZ_CHECK(!dl.isBusy() && !queued.contains(QLatin1String("bf3")) && !queued.contains(QLatin1String("bs")));
        const QByteArrayList written = rig.ports.written;
        rig.reset();
        return written;
    }
    // Only a file that passed the whole-file check starts.
    TVK_FUZZ_CHECK(checkHexFile(parts.value(0)).ok);
    qsizetype answered = rig.ports.written.size();
    qsizetype next = 1;
    for (int step = 0; step < 4000 && dl.isBusy(); ++step) {
        rig.advance(50);
        if (abort && dl.RecordNumber() >= 1)
            dl.Abort();
        if (rig.ports.written.size() > answered && next < parts.size()) {
            answered = rig.ports.written.size();
            rig.feed(parts.at(next++));
        } else if (next >= parts.size()) {
            break;
        }
    }
    // The monitor says nothing more: the engine gives up on its own.
    rig.advance(HexDownload::kPrepareSilenceMs + 1000);
    TVK_FUZZ_CHECK(!dl.isBusy());
    TVK_FUZZ_CHECK(!dl.isFileOpen() && !dl.DownloadActive() && !dl.progress().isShown());
    TVK_FUZZ_CHECK(core.link.ReceiveBuffer().size() <= SerialLink::kMaxReceiveBuffer);
    // A record is never sent that is not in the file.
    const QByteArray file = parts.value(0);
    for (const QString &r : std::as_const(g_records))
        TVK_FUZZ_CHECK(file.contains(r.toLatin1()));
    const QByteArrayList written = rig.ports.written;
    // Back to the mark within the input: what it allocated is let go of.
    rig.reset();
    return written;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess();
    g_rig = new CoreRig;
    // Every record goes out as one line, exactly as in the file.
    QObject::connect(&g_rig->core->link, &SerialLink::commandWritten, [](const QString &text) {
        if (!text.startsWith(u':'))
            return;
        TVK_FUZZ_CHECK(text.endsWith(QLatin1String("\r\n")));
        const QString record = text.chopped(2);
        TVK_FUZZ_CHECK(!record.contains(u'\r') && !record.contains(u'\n'));
        g_records << record;
    });
    g_rig->markStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const QByteArrayList written = runOnce(data, size);
    if (replayCheck())
        TVK_FUZZ_CHECK(runOnce(data, size) == written);
    return 0;
}
