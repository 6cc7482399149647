#pragma once
// Readings a screen reader can hear. A label that shows a reading sits beside
// its caption ("CPU +5V:") and its text is the value ("5.02 V"); a screen
// reader knows the label by one accessible name only. A label marked with its
// caption is named "CPU +5V: 5.02 V", taken from the label's text each time
// it is asked, so the name is current whichever code wrote the text; a label
// that shows nothing is named for that ("CPU +5V: not read").
//
// A marked label keeps its own accessible name empty, so QLabel::setText
// announces the change of name itself on every new value.

#include <QString>

class QLabel;

namespace tvk {

// Said for a marked label whose text is empty, unless the label gives its own.
inline const QString kReadingNotRead = QStringLiteral("not read");

// Marks label as a reading captioned caption (a trailing colon and runs of
// blanks are dropped: "Photocell       x10:" is spoken "Photocell x10").
// whenEmpty: what an empty label says instead of kReadingNotRead.
void markReading(QLabel *label, const QString &caption, const QString &whenEmpty = QString());

// The accessible name of a marked label: "caption: text"; an empty string for
// a label that is not marked.
QString spokenReading(const QLabel *label);

// The accessibility factory of marked labels; markReading installs it, later
// calls do nothing.
void installReadingAccessibility();

} // namespace tvk
