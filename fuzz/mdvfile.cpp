// The DAC value file reader (".mdv") on a hostile file, and the writer on
// whatever the reader stored: a file the reader accepts is written out, and
// that file must read back to the same image (a save followed by an open
// loses nothing).

#include "fuzzrig.h"

#include "core/dacfile.h"

#include <QDateTime>

using namespace tvk;
using namespace tvk::fuzz;

namespace {

const QDateTime kWhen(QDate(2024, 5, 17), QTime(9, 30, 0));

// Attaches the file to the core as File Open does and reads it.
bool readInto(CoreRig &rig, const QString &path)
{
    MonitorData &d = rig.core->data;
    d.FilePath = path;
    d.FileTitle = QStringLiteral("fuzz.mdv");
    d.FileIsOpen = true;
    d.DataChanged = false;
    return ReadMDF(rig.core->mdf());
}

} // namespace

namespace {
CoreRig *g_rig = nullptr;
} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    initProcess();
    g_rig = new CoreRig;
    g_rig->markStart();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    CoreRig &rig = *g_rig;
    const QString path = scratchPath(QStringLiteral("input.mdv"));
    writeFile(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    const bool read = readInto(rig, path);
    const QByteArray written = read ? FormatMdfFile(rig.core->mdf(), kWhen) : QByteArray();
    rig.reset();
    if (!read)
        return 0;
    if (replayCheck()) {
        TVK_FUZZ_CHECK(readInto(rig, path) && FormatMdfFile(rig.core->mdf(), kWhen) == written);
        rig.reset();
    }
    const QString again = scratchPath(QStringLiteral("again.mdv"));
    writeFile(again, written);
    TVK_FUZZ_CHECK(readInto(rig, again));
    TVK_FUZZ_CHECK(FormatMdfFile(rig.core->mdf(), kWhen) == written);
    rig.reset();
    return 0;
}
