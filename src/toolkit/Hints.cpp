#include "toolkit/Hints.h"

#include <QWidget>

namespace toolkit {

void SetHint(QWidget* widget, const QString& hint) {
    widget->setToolTip(hint);
    widget->setToolTipDuration(kHintMilliseconds);
    widget->setAccessibleDescription(hint);
}

QString Hint(const QWidget* widget) {
    return widget->toolTip();
}

} // namespace toolkit
