#pragma once
// The vocabulary of every command the tool sends to the monitor. Each
// function returns one command line: the command word, its argument directly
// after it, and CR LF exactly once. Nothing else in the program builds
// command strings.
//
// Argument kinds: "text" arguments (from a panel's text box) are trimmed of
// leading and trailing blanks; "raw" arguments go out exactly as typed;
// numbers are signed decimal without a leading blank; a channel is one digit.
//
// Command words are case-sensitive: most are lowercase, some uppercase
// ("CU", "CV", "CC", "CCE", "CCD", "CDCC", "CP0", "CPB1", "CPHB", ...).
//
// The monitor echoes each line before its answer, so the answer's family is
// the command's first letter (upper-cased), and for "d" reads the second
// letter too: "dt" is answered by DT, "ddv" by DD.

#include <QChar>
#include <QString>
#include <QStringView>

namespace tvk::cmd {

// word + argument + CR LF.
QString line(QStringView word, QStringView argument = {});
// A line typed in the log window, as typed.
QString typed(QStringView rawText);

// Link and log
QString ping();              // "p"
QString disableChecking();   // "cz0"
QString enableChecking();    // "cz1"
QString terse();             // "CU"
QString verbose();           // "CV"
QString statusMessages(bool on); // "cv" / "cu"

// Identity, usage and status reads
QString readFirmwareVersion(); // "df"
QString readEpromVersion();    // "de"
QString readCapability();      // "dx"
QString readOperatingTime();   // "dt"
QString readUserControls();    // "du"
QString readModeWord();        // "dw"
QString readBootBlock();       // "db"
QString readCurrentScanSet();  // "dc"
QString readSyncFrequencies(); // "dv"
QString readTestPoints();      // "da"
QString readHighVoltage();     // "dh"
QString readLimitsReport();    // "dp"
QString readLimitsReportFull(); // "dps" (the full read)
QString readBacklight(QChar which); // "drs", "drw", "drf"
QString readVideoExtra(QChar which); // "dfd", "dfp", "dff"
// Model / part number: "dm" + unit letter ("dm" alone for early monitors).
QString readModelNumber(QStringView unit = {});
// Serial number: "ds" + unit letter.
QString readSerialNumber(QStringView unit = {});

// DAC reads and writes; group is the group's letters in lowercase use ("v",
// "h", "s" for the north-south group, "l", "b").
QString readDac(QStringView group);        // "dd" + group
QString readDacInitial(QStringView group); // "ddp" + group
QString readDacFactory(QStringView group); // "ddf" + group
QString setDac(QStringView group, int channel, int value); // "cd" + group + channel + value
QString setContrast(int value);   // "cdl0" + value
QString setBrightness(int value); // "cdl1" + value
QString storeDacInitial(QStringView group); // "cd" + group + "p"
QString copyToScanSet();          // "CDCC"

// Scan sets
QString selectScanSet(int index);  // "CC" + n
QString enableScanSet(int index);  // "CCE" + n
QString disableScanSet(int index); // "CCD" + n
QString renameScanSet(QStringView text); // "ccn" + text

// Configuration
QString setModeWord(int word);           // "cw" + n
QString userControls(bool enabled);      // "CP1" / "CP0"
QString userBrightness(bool enabled);    // "CPB1" / "CPB0"
QString userContrast(bool enabled);      // "CPC1" / "CPC0"
QString brightnessHysteresis(QStringView text); // "CPHB" + text
QString contrastHysteresis(QStringView text);   // "CPHC" + text
QString storeLimit(int index);           // "cpl0" .. "cpl7"
QString photocell(bool enabled);         // "cp9" / "cp8"
QString heaterFanMode(int mode);         // "cp2" .. "cp5"
QString heater(bool on);                 // "cqh1" / "cqh0"
QString fan(int setting);                // "cqf0" .. "cqf3"
QString filament(QChar which, QStringView text); // "crf", "crs", "crw" + text
QString videoSource(int source);         // "ct0" external, "ct1" black, "ct2" white
QString degauss();                       // "cg"
QString deflection(bool enabled);        // "md1" / "md0"
QString highVoltage(bool enabled);       // "mh1" / "mh0"
QString hvControl(QChar which, int value); // "chh", "chf", "chg", "chv" + n
QString hvLowerLimit(QStringView raw);   // "chl" + raw
QString hvUpperLimit(QStringView raw);   // "chu" + raw
QString storeHvInitial();                // "chp"
QString restoreHvFactory();              // "chr"

// Identity and usage writes
QString setModelNumber(QStringView unit, QStringView text);  // "cm" + unit + text
QString setSerialNumber(QStringView unit, QStringView text); // "cs" + unit + text
// field: 'c' cycles, 'h' hours, 'd' days, 'm' minutes, 's' seconds
QString setOperating(QChar field, QStringView text);         // "co" + field + text

// Memory, I2C and firmware
QString setAddress(QStringView raw); // "a" + raw
QString addressDown();               // "a-"
QString addressUp();                 // "a+"
QString readByte();                  // "rb"
QString readChar();                  // "rc"
QString readWord();                  // "rw"
QString writeByte(QStringView raw);  // "wb" + raw
QString writeWord(QStringView raw);  // "ww" + raw
QString probeI2c(QStringView hexAddress); // "pi0x" + two hex digits
QString toggleLeds();                // "lt"
QString bootBlock(bool enabled);     // "cb1" / "cb0"
QString startFlashLoad();            // "bf3"
QString startSramLoad();             // "bs"
QString hexRecord(QStringView record); // one Intel HEX record, ":" included
QString runSram();                   // "f"
QString reset();                     // "x"
QString runApplication();            // "g"

// What a command line does to the monitor. Reads ask and change nothing the
// monitor keeps; sets change its settings, memory, identity or state (a
// command the vocabulary does not know, typed in the log, counts as a set);
// transfer lines are the records of a firmware download, paced by the
// monitor's own replies; link commands are the keep-alive ping and the
// monitor's reply style.
enum class Kind { Read, Set, Transfer, Link };
Kind kindOf(QStringView line);
inline bool isSet(QStringView line) { return kindOf(line) == Kind::Set; }

// The control a set command moves to a value, when a newer value of the same
// control may take the place of one still waiting to be written: a DAC
// channel ("cd" + group + channel, for the scan set in use), a high-voltage
// control ("chh", "chf", "chg", "chv") or a backlight filament ("crf", "crs",
// "crw"), each followed by a decimal number. Empty for every other line:
// stores, scan-set choices, switches and texts go out one by one.
QString controlOf(QStringView line);

} // namespace tvk::cmd
