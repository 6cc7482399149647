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

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const bool sram = data[0] & 1;
    const bool boot = data[0] & 2;
    const bool abort = data[0] & 4;
    const QList<QByteArray> parts = splitAtNul(data + 1, size - 1, 512);

    CoreRig rig;
    if (!rig.connect(boot ? '$' : '#'))
        return 0;
    AppCore &core = *rig.core;
    HexDownload &dl = core.download;

    const QString path = scratchPath(QStringLiteral("image.hex"));
    writeFile(path, parts.value(0));

    // Every record goes out as one line, exactly as in the file.
    QStringList records;
    QObject::connect(&core.link, &SerialLink::commandWritten, [&](const QString &text) {
        if (!text.startsWith(u':'))
            return;
        TVK_FUZZ_CHECK(text.endsWith(QLatin1String("\r\n")));
        const QString record = text.chopped(2);
        TVK_FUZZ_CHECK(!record.contains(u'\r') && !record.contains(u'\n'));
        records << record;
    });

    if (!dl.start(sram ? HexDownload::Target::Sram : HexDownload::Target::Flash, path)) {
        // Refused: nothing may have been queued.
        const QString queued = core.link.pendingCommand() + core.link.XmitQueue();
        TVK_FUZZ_CHECK(!dl.isBusy() && !queued.contains(QLatin1String("bf3")) && !queued.contains(QLatin1String("bs")));
        return 0;
    }
    // Only a file that passed the whole-file check starts.
    TVK_FUZZ_CHECK(checkHexFile(parts.value(0)).ok);
    int answered = rig.port()->writeCount();
    qsizetype next = 1;
    for (int step = 0; step < 4000 && dl.isBusy(); ++step) {
        rig.advance(50);
        if (abort && dl.RecordNumber() >= 1)
            dl.Abort();
        if (rig.port()->writeCount() > answered && next < parts.size()) {
            answered = rig.port()->writeCount();
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
    for (const QString &r : std::as_const(records))
        TVK_FUZZ_CHECK(file.contains(r.toLatin1()));
    return 0;
}
