#include "toolkit/Hints.h"

#include <QVariant>
#include <QWidget>

namespace toolkit {

namespace {
const char* const kHintProperty = "hint";
const char* const kHiddenProperty = "hintHidden";
} // namespace

void SetHint(QWidget* widget, const QString& hint) {
    widget->setProperty(kHintProperty, hint);
    if (!widget->property(kHiddenProperty).toBool())
        widget->setToolTip(hint);
    widget->setToolTipDuration(kHintMilliseconds);
    widget->setAccessibleDescription(hint);
}

QString Hint(const QWidget* widget) {
    return widget->property(kHintProperty).toString();
}

void ShowHint(QWidget* widget, bool shown) {
    widget->setProperty(kHiddenProperty, !shown);
    widget->setToolTip(shown ? Hint(widget) : QString());
}

} // namespace toolkit
