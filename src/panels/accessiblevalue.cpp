#include "panels/accessiblevalue.h"

#include "core/diag/testpoints.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>

namespace tvk {

namespace {

const char *const kCaptionProperty = "tvkReadingCaption";
const char *const kWhenEmptyProperty = "tvkReadingWhenEmpty";

// A marked label as its screen reader sees it: static text whose name
// carries its caption and its value.
class AccessibleReading : public QAccessibleWidget {
public:
    explicit AccessibleReading(QLabel *label) : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Name)
            return spokenReading(static_cast<const QLabel *>(widget()));
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface *readingFactory(const QString &, QObject *object)
{
    auto *label = qobject_cast<QLabel *>(object);
    if (label && label->property(kCaptionProperty).isValid())
        return new AccessibleReading(label);
    return nullptr;
}

} // namespace

void installReadingAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(readingFactory);
        return true;
    }();
    Q_UNUSED(installed);
}

void markReading(QLabel *label, const QString &caption, const QString &whenEmpty)
{
    installReadingAccessibility();
    QString spoken = caption.simplified();
    if (spoken.endsWith(u':'))
        spoken.chop(1);
    label->setProperty(kCaptionProperty, spoken);
    label->setProperty(kWhenEmptyProperty, whenEmpty.isEmpty() ? kReadingNotRead : whenEmpty);
    // An interface made before the mark (a name set earlier announces
    // itself and so makes one) would be the plain label's: it is dropped,
    // and the next query makes the reading's own.
    if (QAccessibleInterface *made = QAccessible::queryAccessibleInterface(label);
        made && !dynamic_cast<AccessibleReading *>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
    if (!label->accessibleName().isEmpty())
        label->setAccessibleName(QString());
}

QString spokenReading(const QLabel *label)
{
    const QVariant caption = label ? label->property(kCaptionProperty) : QVariant();
    if (!caption.isValid())
        return QString();
    const QString text = label->text().simplified();
    QString value;
    if (text.isEmpty())
        value = label->property(kWhenEmptyProperty).toString();
    else if (text == kNotMeasured)
        value = QStringLiteral("not measured");
    else
        value = text;
    return caption.toString() + QStringLiteral(": ") + value;
}

} // namespace tvk
