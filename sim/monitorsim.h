#pragma once
// The monitor's side of the serial protocol, simulated.
//
// Characters go in through feed(), the monitor's output comes back from it.
// Like the real monitor the simulator echoes every character as it arrives
// (a line end is echoed as CR LF), runs the command when the line ends,
// prints its output lines, each ended by CR LF, and closes with its prompt:
// "#" from the application firmware, "$" from the boot block. The tool thus
// receives, for "df", the echo "df" CR LF, the line "V 2.25" CR LF and "#".
//
// A line ends at CR, at LF, or at CR LF (one line end, not two). Lines that
// are empty or hold only blanks run nothing and get no prompt. Backspace
// (BS or DEL) removes the last character typed, so a technician typing into
// the monitor character by character can correct a typo.
//
// Everything the set commands write is kept in the configuration, so reading
// it back shows it. The configuration also holds the fault modes used to test
// the tool: a monitor that falls silent after a number of commands and one
// that answers every command with the interim marker "!" only.

#include <QByteArray>
#include <QByteArrayList>
#include <QMap>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QStringView>

#include "simdiag.h"

#include <array>
#include <initializer_list>

namespace tvk::sim {

// Days, hours, minutes and seconds as the monitor counts them.
struct OperatingTime {
    int days = 0;
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    bool operator==(const OperatingTime &) const = default;
};

// The stored state of the simulated monitor. Unit letters of the model, part
// and serial numbers are the lowercase letters of the commands: "s" the
// monitor, "u" its part number (model numbers only), "c" converter, "p" CPU
// board, "t" CRT, "d" deflection board, "f" focus supply, "g" G2 supply,
// "h" high-voltage supply, "l" low-voltage supply, "v" video board.
struct MonitorConfig {
    MonitorConfig();

    QString firmwareVersion = QStringLiteral("2.25"); // "df" answers "V 2.25"
    QString epromVersion = QStringLiteral("1.05");    // "de" answers "V 1.05"
    bool bootBlock = false;       // answering from the boot block ("$")
    int capability = 0xFF;        // "dx" capability word
    int modeWord = 20;            // "dw" operating mode word (1..31 on the wire)
    int silentAfter = -1;         // answer this many commands, then nothing (-1: always answer)
    bool busy = false;            // answer every command with its echo and "!" only
    OperatingTime operatingTime;  // stored total (first line of "dt")
    OperatingTime sessionTime;    // since power-on (second line of "dt")
    int operatingCycles = 0;      // on-off cycles (third line of "dt")
    QMap<char, QString> modelNumbers;  // by unit letter, "dm"/"cm"
    QMap<char, QString> serialNumbers; // by unit letter, "ds"/"cs"
    bool deflectionEnabled = true; // "md0"/"md1"
    bool highVoltageEnabled = true; // "mh0"/"mh1"
    bool userControlsEnabled = true; // "CP0"/"CP1"
    bool userBrightnessEnabled = true; // "CPB0"/"CPB1"
    bool userContrastEnabled = true;   // "CPC0"/"CPC1"
    int videoSource = 0;          // "ct0" external, "ct1" black, "ct2" white screen
    int degaussCount = 0;         // degauss cycles run ("cg")
    QList<int> i2cDevices;        // addresses that answer an I2C probe ("pi0x" + address)
    int replyDelayMs = 2;         // in-process port: pause before each chunk of the reply
    int replyChunk = 32;          // in-process port: characters per chunk

    // --- DAC groups and scan sets ---
    // Groups by their command letter: 'l' (8 channels: contrast, brightness,
    // gains, offsets), 'b' (2), 'h' (4, plus channel 8 "Horiz S Cap",
    // 0..127), 'v' (7), 's' north-south (3, 0..63). Every value exists once
    // per scan set; reads and writes act on the current scan set.
    static constexpr int kScanSets = 7;
    static constexpr int kDacChannels = 10;
    using DacColumn = std::array<int, kDacChannels>; // by channel
    struct DacGroup {
        int count = 0; // counted channels (group 'h' has channel 8 besides)
        std::array<DacColumn, kScanSets> present {}; // by scan set
        std::array<DacColumn, kScanSets> initial {};
        std::array<DacColumn, kScanSets> factory {};
    };
    struct ScanSet {
        QString title;
        bool enabled = false;
        double vsync = 0; // Hz, "dv"
        double hsync = 0; // the monitor's figure: kHz / 1.024, "dv"
    };
    QMap<char, DacGroup> dacGroups;
    std::array<ScanSet, kScanSets> scanSets;
    int currentScanSet = 0; // "CC" + n
    // Distinct mid-range values per group and scan set; factory, initial and
    // present differ slightly.
    void loadDefaultDacs();

    // Test points, memory and I2C devices.
    DiagConfig diag;
    // --- firmware loading (simfirmware.cpp) ---
    // Refusals: records refused (numbers count the records of one load, 1 =
    // the first after "bf3"/"bs"), how many times each, and in which form:
    // "!" alone, "!" then CR LF and the prompt, or the two by turns.
    enum class RefusalForm { Bang, BangThenPrompt, Alternate };
    QList<int> refuseRecords;
    int refuseTimes = 1;
    RefusalForm refusalForm = RefusalForm::Bang;
    int silentAfterRecord = -1;   // accept this many records, then answer nothing
    QString imagePath;            // the received image is written here at the end record
    bool eofChecksumBad = false;  // the end record reports a failed checksum ("!")
    bool eofUnreported = false;   // the end record is acknowledged without "EOF"
    bool eraseFails = false;      // "bf3" is refused
    bool autoBoot = true;         // "cb1"/"cb0"; a reset ("x") without it stays in the boot block
    bool checking = true;         // "cz1"/"cz0"
    int baud = 0;                 // pty server: pace each answer as a line at this speed (0: at once)
    quint32 memorySize = 0x100000; // flash and SRAM: addresses 0 .. memorySize-1

    // --- fault modes (simfaults.cpp) ---
    // A fault starts with the first command line equal to faultOn (or, when
    // faultOn is empty, once faultAfter commands were received; with neither
    // it is there from the start) and lasts for faultCommands command lines,
    // the starting one included (-1: for ever). Then the monitor answers
    // normally again. Options:
    //   fault=F          silent, busy, garbage, nocr, nomarker, family or identity
    //   faulton=CMD      the fault starts with this command line
    //   faultafter=N     ... or after N commands
    //   faultcommands=N  and lasts for N command lines (default: for ever)
    //   faultbytes=N     size of a garbage, nocr or nomarker answer (default 1 MiB)
    //   faultversion=V   the other firmware of family and identity faults
    enum class Fault {
        None,
        Silent,      // no echo, no answer
        Busy,        // the echo and "!" only
        Garbage,     // the echo, then faultBytes random bytes (any of "#", "$", "!" among them)
        NoCr,        // the echo, then faultBytes of text lines ended by LF alone, no marker
        NoMarker,    // the echo, then faultBytes of CR LF lines, no marker
        WrongFamily, // every answer but the firmware version's comes from firmware faultVersion
        Identity,    // the firmware version answer reports faultVersion
    };
    Fault fault = Fault::None;
    QString faultOn;
    int faultAfter = -1;
    int faultCommands = -1;
    int faultBytes = 1 << 20;
    QString faultVersion = QStringLiteral("2.25");
    // cut=CMD:N (repeatable): the answer to the command line CMD keeps only
    // the first N characters of its output, then the prompt, as if line
    // noise had eaten the rest ("cut=ddl:7" answers "128,130").
    QMap<QByteArray, int> cutAnswers;
};

// Fault options of applyOptions(); false when `name` is not one of them.
// *good is cleared when the value does not parse.
bool applyFaultOption(MonitorConfig &config, const QString &name, QStringView value, bool &good);

// Firmware options of applyOptions(); false when `name` is not one of them
// or its value does not parse.
bool applyFirmwareOption(MonitorConfig &config, const QString &name, QStringView value);

// Highest value a channel of a group accepts.
int dacMaximum(char group, int channel);

// Monitor type as the tool derives it: the version times 100 (2.25 gives 225).
int monitorTypeOf(const QString &version);

// An option flag: empty, 1/0, true/false, yes/no, on/off (any case). False,
// leaving the flag alone, for anything else.
bool parseFlag(QStringView value, bool &flag);

// Comma-separated decimals, as the monitor lists values on one line.
QByteArray numberLine(std::initializer_list<int> values);

// Applies comma-separated options ("version=2.25,boot,silentafter=5") to the
// configuration. Names are case-insensitive; flags take no value or a value
// of 1/0, true/false, yes/no, on/off. Options:
//   version=V        firmware version text ("df")
//   type=N           firmware version from a monitor type number (225 -> "2.25")
//   eprom=V          EPROM version text ("de")
//   boot             answer from the boot block
//   capability=N     capability word, decimal or 0x hex ("dx")
//   mode=N           operating mode word ("dw")
//   silentafter=N    answer N commands, then fall silent
//   busy             answer with the echo and "!" only
//   days= hours= minutes= seconds= cycles=   stored operating time and cycles
//   session=S        time since power-on, in seconds
//   model=T part=T serial=T                  the monitor's own numbers
//   dm<u>=T ds<u>=T  model/part or serial number of unit <u> (e.g. dmt=CRT-19)
//   i2c=A:B:...      hex addresses of the I2C devices that answer a probe
//                    (a device answers to its even address and the odd one
//                    after it; any other address answers "NR")
//   i2cnc=A:B:...    devices on an unplugged board: their probe answers "NC"
//   dadrop=N dajunk=N   "da" leaves its N-th reading out, or sends it as
//                    text that is no number (fields counted from 1; on
//                    modular monitors the named readings follow the four
//                    listed ones in the order the monitor prints them)
//   g2guns           modular monitors also report "Green G2" and "Blue G2"
//   delay=MS chunk=N pacing of the in-process port
//   refuse=N:M:...   refuse these records of a load (numbers from 1)
//   refusetimes=N    each of them N times (default 1)
//   refuseform=F     "bang" ("!" alone), "prompt" ("!" then the prompt) or "both" (by turns)
//   silentafterrecord=N  accept N records, then answer nothing
//   image=PATH       write the received image there at the end record
//   eofbad           the end record reports a failed checksum
//   eofunreported    the end record is acknowledged without "EOF"
//   erasefail        "bf3" is refused
//   autoboot=0/1     boot loader's automatic start
//   baud=N           pty server: answers take the wire time of command and reply
//   fault=... and its companions: see MonitorConfig::Fault
//   cut=CMD:N        the answer to CMD keeps its first N characters
// Unknown options and values that do not parse are skipped; their text is
// added to *ignored when given.
void applyOptions(MonitorConfig &config, QStringView options, QStringList *ignored = nullptr);

class MonitorSimulator : public QObject {
    Q_OBJECT
public:
    explicit MonitorSimulator(QObject *parent = nullptr);
    explicit MonitorSimulator(const MonitorConfig &config, QObject *parent = nullptr);

    // Characters from the tool in, the monitor's output out.
    QByteArray feed(const QByteArray &bytes);

    const MonitorConfig &config() const { return m_config; }
    MonitorConfig &config() { return m_config; }
    void setConfig(const MonitorConfig &config) { m_config = config; }

    // Every command line received, as received (line end removed), silent
    // or not. Blank lines are not commands.
    QByteArrayList commandsReceived() const { return m_commands; }
    int commandCount() const { return m_commands.size(); }
    void clearCommands() { m_commands.clear(); }

    // True once the monitor has stopped answering (silentAfter reached).
    bool isSilent() const;

    // Longest line kept; further characters are dropped until the line ends.
    static constexpr int kMaxLineLength = 256;

signals:
    void commandReceived(const QByteArray &line);

private:
    using Lines = QByteArrayList;
    using Handler = void (MonitorSimulator::*)(const QByteArray &arg, Lines &out);
    struct Command {
        QByteArray word;
        Handler handler;
    };

    void endOfLine(QByteArray &out);
    void execute(const QByteArray &line, QByteArray &out);
    static const QList<Command> &commandTable();

    // Reads.
    void handlePing(const QByteArray &arg, Lines &out);
    void handleFirmwareVersion(const QByteArray &arg, Lines &out);
    void handleEpromVersion(const QByteArray &arg, Lines &out);
    void handleCapability(const QByteArray &arg, Lines &out);
    void handleOperatingTime(const QByteArray &arg, Lines &out);
    void handleUserControlsState(const QByteArray &arg, Lines &out);
    void handleModelNumber(const QByteArray &arg, Lines &out);
    void handleSerialNumber(const QByteArray &arg, Lines &out);
    void handleModeWord(const QByteArray &arg, Lines &out);
    // Writes.
    void handleSetModelNumber(const QByteArray &arg, Lines &out);
    void handleSetSerialNumber(const QByteArray &arg, Lines &out);
    void handleSetOperating(const QByteArray &arg, Lines &out);
    void handleSetModeWord(const QByteArray &arg, Lines &out);
    void handleDeflection(const QByteArray &arg, Lines &out);
    void handleHighVoltage(const QByteArray &arg, Lines &out);
    void handleUserControls(const QByteArray &arg, Lines &out);
    void handleUserBrightness(const QByteArray &arg, Lines &out);
    void handleUserContrast(const QByteArray &arg, Lines &out);
    void handleVideoSource(const QByteArray &arg, Lines &out);
    void handleDegauss(const QByteArray &arg, Lines &out);
    // DAC groups and scan sets.
    void handleReadDac(const QByteArray &arg, Lines &out);
    void handleSetDac(const QByteArray &arg, Lines &out);
    void handleCopyScanSet(const QByteArray &arg, Lines &out);
    void handleSelectScanSet(const QByteArray &arg, Lines &out);
    void handleEnableScanSet(const QByteArray &arg, Lines &out);
    void handleDisableScanSet(const QByteArray &arg, Lines &out);
    void handleRenameScanSet(const QByteArray &arg, Lines &out);
    void handleCurrentScanSet(const QByteArray &arg, Lines &out);
    void handleSyncFrequencies(const QByteArray &arg, Lines &out);
    // Diagnostics: test points, memory, I2C probe, LEDs.
    void handleTestPoints(const QByteArray &arg, Lines &out);
    void handleSetAddress(const QByteArray &arg, Lines &out);
    void handleAddressUp(const QByteArray &arg, Lines &out);
    void handleAddressDown(const QByteArray &arg, Lines &out);
    void handleReadByte(const QByteArray &arg, Lines &out);
    void handleReadWord(const QByteArray &arg, Lines &out);
    void handleReadChar(const QByteArray &arg, Lines &out);
    void handleWriteByte(const QByteArray &arg, Lines &out);
    void handleWriteWord(const QByteArray &arg, Lines &out);
    void handleProbe(const QByteArray &arg, Lines &out);
    void handleToggleLeds(const QByteArray &arg, Lines &out);

    // Adjustment reports and settings: the limits report ("dp"), the
    // high-voltage report and controls ("dh", "ch..."), the backlight duty
    // cycles ("dr...", "cr..."), the photocell, heater and fan ("cp...",
    // "cq..."), limits and hysteresis ("cpl0".."cpl7", "CPH..."), status
    // messages ("cv"/"cu"). See simadjust.cpp.
public:
    struct HvControlState {
        int present = 0, initial = 0, factory = 0;
    };
    struct AdjustState {
        bool verticalOk = true;
        bool horizontalOk = true;
        bool photocell = true;
        std::array<int, 8> limits {40, 220, 20, 160, 30, 230, 10, 150};
        int contrastHysteresis = 4;
        int brightnessHysteresis = 6;
        int hvUpperLimit = 210;
        int hvLowerLimit = 90;
        std::array<HvControlState, 4> hv {{{180, 178, 175}, {120, 118, 116}, {40, 41, 42}, {90, 90, 88}}};
        int filamentSteady = 128;
        int filamentWarmup = 200;
        int filamentImmediate = 128;
        bool statusMessages = false;
        int heaterMode = 2; // "cp2" automatic, "cp3" forced
        bool heaterOn = false;
        int fanMode = 4;    // "cp4" automatic, "cp5" forced
        int fanSetting = 0;
    };
    const AdjustState &adjust() const { return m_adjust; }
    AdjustState &adjust() { return m_adjust; }

private:
    bool flatPanel() const;
    void handleLimitsReport(const QByteArray &arg, Lines &out);
    void handleHvReport(const QByteArray &arg, Lines &out);
    void handleDutyCycle(const QByteArray &arg, Lines &out);
    void handleSetHv(const QByteArray &arg, Lines &out);
    void handlePanelControl(const QByteArray &arg, Lines &out);
    void handleHysteresis(const QByteArray &arg, Lines &out);
    void handleHeaterFan(const QByteArray &arg, Lines &out);
    void handleSetFilament(const QByteArray &arg, Lines &out);
    void handleStatusMessagesOn(const QByteArray &arg, Lines &out);
    void handleStatusMessagesOff(const QByteArray &arg, Lines &out);
    AdjustState m_adjust;

    Lines operatingTimeLines() const;

    // --- firmware loading (simfirmware.cpp) ---
public:
    enum class LoadTarget { None, Flash, Sram };
    // The image received by the current or last load: bytes from the lowest
    // to the highest address written, gaps filled with 0xFF.
    QByteArray receivedImage(quint32 *base = nullptr) const;
    LoadTarget loadTarget() const { return m_loadTarget; }
    int recordsAccepted() const { return m_recordsAccepted; }
    int refusalsSent() const { return m_refusalsSent; }
    bool loadFinished() const { return m_loadFinished; }

private:
    // Runs the firmware commands (records, "bf3", "bs", "db", "cb", "cz",
    // "f", "x", "g"), in the boot block as well; false for other commands.
    bool executeFirmware(const QByteArray &line, QByteArray &out);
    void handleRecord(const QByteArray &record, QByteArray &out);
    void refuse(const QByteArray &why, QByteArray &out);
    QByteArray prompt() const;
    QByteArrayList bootBlockLines() const;
    void writeImage() const;
    LoadTarget m_loadTarget = LoadTarget::None;
    QMap<quint32, char> m_image;
    quint32 m_upperAddress = 0;
    int m_recordsAccepted = 0;
    int m_refusedThisRecord = 0;
    int m_refusalsSent = 0;
    bool m_loadFinished = false;
    bool m_sramProgramRunning = false;

    // --- fault modes (simfaults.cpp) ---
public:
    // A fault of the configuration is running now (a silent one makes
    // isSilent() true).
    bool faultActive() const { return m_faultActive; }

private:
    // Starts the fault when this line is its trigger.
    void startFault(const QByteArray &line);
    // Counts a command line against the fault's length; ends it at the last.
    void countFaultLine();
    // Answers a command while a fault runs; false when the normal answer goes.
    bool executeFault(const QByteArray &line, QByteArray &out);
    bool m_faultActive = false;
    bool m_faultStarted = false;  // a fault runs only once
    int m_faultLeft = 0;          // command lines still under the fault (-1: for ever)
    bool m_inWrongFamily = false; // answering as the other firmware
    quint32 m_garbageSeed = 1;

    MonitorConfig m_config;
    QByteArray m_line;
    bool m_lineHasText = false; // characters of the current line were echoed
    bool m_lastWasCr = false;
    QByteArrayList m_commands;
};

} // namespace tvk::sim
