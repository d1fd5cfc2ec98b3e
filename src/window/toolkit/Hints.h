// Hints are rich-text tool tips ("<br>", "<i>", "<b>") that stay up to ten
// seconds.
#pragma once

#include <QString>

class QWidget;

namespace toolkit {

inline constexpr int kHintMilliseconds = 10000;

void SetHint(QWidget* widget, const QString& hint);
QString Hint(const QWidget* widget);
// Switches the hint off (it is kept) or on again.
void ShowHint(QWidget* widget, bool shown);

} // namespace toolkit
