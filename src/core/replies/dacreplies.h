#pragma once
// The monitor's replies that carry DAC values, scan-set titles, the current
// scan set and the sync frequencies.
//
// Every reply of the "dd" reads reaches ParseDacReply as the dispatcher hands
// it over: the text after "dd", leading white space stripped, so it starts
// with the rest of the echoed command ("v\r\n128,120,...\r\n#" for "ddv",
// "fh\r\n..." for "ddfh"). The third letter of the command selects the group
// of a present read, "F" and "P" the factory and initial reads (the fourth
// letter then selects the group), "N" the scan-set titles.
//
// The parse functions are plain functions from text to values; the Apply
// functions store the values into the monitor image (at CurrentScanSet) and
// write them into the panels' controls through the control book. While no
// scan set is selected (CurrentScanSet -1) nothing is stored, but the panels
// still show what the monitor reported: the monitor always runs some scan
// set.
//
// Value lists are comma-separated decimals. A value outside 0..255 ends a
// list (the channels after it keep what they held). A list shorter than the
// channels (a reply cut short by line noise) leaves the channels it does not
// reach unknown: never the last value repeated, never 0. Their boxes are
// emptied and nothing sends them until the monitor is read again.
//
// North-south group N: reply value k belongs to channel k and is shown in
// box k (k = 0, 1, 2), in all three reads.

#include "model/monitordata.h"

#include <QString>
#include <QStringView>
#include <optional>
#include <vector>

namespace tvk {

struct ReplyContext;
class ReplyHandlers;

// Highest value of the north-south channels and their sliders.
inline constexpr int kNorthSouthMaximum = 63;
// Highest present value of group H channel 8 ("Horiz S Cap").
inline constexpr int kHorizSCapMaximum = 127;
// Highest DAC code a reply may carry; a value outside 0..255 ends a list.
inline constexpr int kDacValueMaximum = 255;
// Longest scan-set name shown from the "dc" reply.
inline constexpr int kScanNameMaxLength = 72;

struct DacChannelValue {
    int channel;
    int value;
    friend bool operator==(const DacChannelValue &, const DacChannelValue &) = default;
};
using DacValueList = std::vector<DacChannelValue>;

// What a reply to one of the "dd" reads is.
enum class DacReplyKind { Present, Factory, Initial, Titles };

struct DacReplySelection {
    DacReplyKind kind;
    DacGroupId group;   // L, B, H, V or N; N for Titles as well (unused there)
    QString values;     // the text the parser of that reply works on
};

// Selects by the third letter of the echoed command, then by the fourth for
// the factory and initial reads. Nothing for letters without a parser ("dda",
// "ddpn", "ddfk", ...). The factory and initial north-south replies carry a
// line ahead of their values ("ddfs", line end, "North-South Factory Values",
// line end, "32,30,34", line end, "#"): that line is dropped, up to and
// including its LF.
std::optional<DacReplySelection> SelectDacReply(QStringView text);

// The channels a present-value reply walks, in order: 0..count-1 (group B:
// exactly 0 and 1; group N: 0, 1, 2), then for group H channel 8.
std::vector<int> PresentChannels(const MonitorData &data, DacGroupId group);
// The channels a factory or initial reply walks.
std::vector<int> StoredChannels(const MonitorData &data, DacGroupId group);

// Every parser below stops before the first value outside its range, and
// after the list's last value; *ranOut (when given) tells whether the list
// ended before the channels did.

// Present values of group L, B, H or V, in the order of PresentChannels;
// group H channel 8 is capped at 127.
DacValueList ParsePresentValues(const MonitorData &data, DacGroupId group, QStringView values,
                                bool *ranOut = nullptr);
// Factory or initial values of group L, B, H or V: channels 0..count-1, then
// for group H channel 8 (not capped).
DacValueList ParseStoredValues(const MonitorData &data, DacGroupId group, QStringView values,
                               bool *ranOut = nullptr);
// North-south factory or initial column: channels 0, 1, 2; a value above
// maximum becomes maximum.
DacValueList ParseNorthSouthColumn(QStringView values, int maximum, bool *ranOut = nullptr);
// North-south slider positions: channels 0, 1, 2; stops before the first
// value outside 0..maximum.
DacValueList ParseNorthSouthSliders(QStringView values, int maximum, bool *ranOut = nullptr);

struct ScanSetTitle {
    int index; // 0-based scan set
    int mark;  // 0 off, 1 enabled
    QString title;
    friend bool operator==(const ScanSetTitle &, const ScanSetTitle &) = default;
};
// Title lines "index,mark,title", one per scan set, at most numScanSets. An
// index below 0 or above numScanSets becomes 0, a mark below 0 or above 1
// becomes 0. The parse ends at a line that does not start with an index (the
// end of the reply) and before an index that has no row in the scan
// selection window.
std::vector<ScanSetTitle> ParseScanSetTitles(QStringView text, int numScanSets);

struct CurrentScanSetReply {
    std::optional<QString> number; // "Config Number = 3" -> "3"
    std::optional<QString> name;   // "Config Name = ..." up to the line end, at most 72 characters
};
CurrentScanSetReply ParseCurrentScanSet(QStringView text);

struct SyncFrequencies {
    double vertical = 0;   // Hz; 0 when missing or above 300
    double horizontal = 0; // kHz: the reported figure times 1.024; 0 when missing or above 300
};
SyncFrequencies ParseSyncFrequencies(QStringView text);

// --- Apply steps ----------------------------------------------------------

// Entry for the replies to the "dd" reads: selects and applies.
void ParseDacReply(ReplyContext &ctx, const QString &text);

// Positions the sliders of the group and writes the present-value boxes
// while the monitor's state is being applied, and stores the present
// table at CurrentScanSet. The channels in `limited` carry a value that was
// limited to fit its slider: they are moved in the applying scope's show-only mode, so the limited
// value is shown and never sent back.
void ApplyPresentValues(ReplyContext &ctx, DacGroupId group, const DacValueList &values,
                        const std::vector<int> &limited = {});
// The channels of a present-value reply whose value had to be limited (group
// H channel 8 above 127).
std::vector<int> LimitedPresentChannels(const MonitorData &data, DacGroupId group, QStringView values);
// Shows factory or initial values in their boxes and stores them at
// CurrentScanSet. table is DacTable::Factory or DacTable::Initial.
void ApplyStoredValues(ReplyContext &ctx, DacGroupId group, DacTable table, const DacValueList &values);

// Fills three boxes of window from a north-south list (ParseNorthSouthColumn)
// and stores the values into table of group N at CurrentScanSet.
void FillNorthSouthColumn(ReplyContext &ctx, const QString &window, const QString &box1,
                          const QString &box2, const QString &box3, QStringView text,
                          int maximum, DacTable table);
// Positions three sliders of window from a north-south list
// (ParseNorthSouthSliders) while the monitor's state is being applied.
// Returns the positions set; *ranOut as the parser gives it.
DacValueList SetSlidersFromReply(ReplyContext &ctx, const QString &window, const QString &slider1,
                                 const QString &slider2, const QString &slider3,
                                 QStringView text, int maximum, bool *ranOut = nullptr);
// The channels a reply cut short did not reach: no longer known at
// CurrentScanSet, their boxes emptied and (present) their sliders unknown.
void ForgetChannels(ReplyContext &ctx, DacGroupId group, DacTable table, const std::vector<int> &channels);
// The present north-south reply ("dds"): the sliders HScroll2_0..2, the
// boxes NText4_0..2 and the present table of group N.
void ApplyNorthSouthPresent(ReplyContext &ctx, QStringView text);

// Titles and marks into the scan-set rows.
void ApplyScanSetTitles(ReplyContext &ctx, const std::vector<ScanSetTitle> &titles);
// lblScanNumber and lblScanName of frmCurrentScanSet.
void ApplyCurrentScanSet(ReplyContext &ctx, const CurrentScanSetReply &reply);
// VertFreqBox and HFreqTextBox, format "0.00": on frmTestPoint for a
// MonitorType below 200, else on frmMDITestPoints and frmDeflectionStatus.
void ApplySyncFrequencies(ReplyContext &ctx, const SyncFrequencies &frequencies);

// Where a channel's values are shown; empty names for a channel no panel
// shows.
struct DacChannelControls {
    QString window;
    QString slider;  // present value
    QString present; // box or label showing the present value
    QString factory;
    QString initial;
};
DacChannelControls dacChannelControls(DacGroupId group, int channel);

// Registers the "DD", "DC" and "DV" parsers with the dispatcher.
void installDacReplyHandlers(ReplyHandlers &r);

} // namespace tvk
