#pragma once
// The tool's command line:
//   --help, --version       as usual
//   --port DEVICE           Com1 opens DEVICE for this run (nothing is stored)
//   --settings DIR          the settings files live in DIR
//   --demo [OPTIONS]        Com1 is the bundled simulator for this run, with
//                           its options (default "version=2.25")
// and the verbs that run without windows (clisession.h):
//   --save FILE | --compare FILE | --restore FILE | --info
//   with --json, --initial (restore), --groups L,B,... and --scan-sets 1,2,...
// Parsing only decides; applying it is left to the entry routine.

#include "model/monitordata.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace tvk {

class PortMappingStore;
class Settings;

struct CommandLine {
    // Stop after printing `output` (help, version or an error) with exitCode.
    bool stop = false;
    int exitCode = 0;
    QString output;
    bool outputIsError = false;

    QString port;        // --port
    QString settingsDir; // --settings
    bool demo = false;   // --demo
    QString demoOptions; // its options

    // A verb: the tool does that one job without windows and ends.
    enum class Verb { None, Save, Compare, Restore, Info };
    Verb verb = Verb::None;
    QString verbFile;           // the .mdv file of --save, --compare, --restore
    bool json = false;          // --json
    bool initial = false;       // --initial
    QList<DacGroupId> groups;   // --groups (empty: all)
    QList<int> scanSets;        // --scan-sets, 0-based (empty: as the verb decides)

    // The device Com1 opens for this run, or empty.
    QString thisRunDevice() const;
};

// arguments[0] is the program. Application name and version are taken from
// QCoreApplication.
CommandLine parseCommandLine(const QStringList &arguments);

// The exit statuses of the verbs, as --help lists them.
QString commandLineExitStatusText();

// Points the settings store at the --settings folder (made when missing).
// Must run before the settings are first opened. False, with the reason, when
// the folder cannot be made.
bool useSettingsFolder(const QString &dir, QString *error);

// Maps Com1 for this run and selects it; a demo run also shows the traffic
// in the log window unless the user has chosen otherwise before. Returns the
// port to start on (1), or 0 when the command line chose no device.
int applyPortChoice(const CommandLine &line, PortMappingStore &ports, Settings &settings);

} // namespace tvk
