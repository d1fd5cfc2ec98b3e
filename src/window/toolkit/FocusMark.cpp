#include "toolkit/FocusMark.h"

#include <QPainter>
#include <QStyleOptionButton>

namespace toolkit {

void DrawFocusMark(QWidget* widget, const QRect& area) {
    QPainter painter(widget);
    painter.setPen(QPen(widget->palette().color(QPalette::Active, QPalette::Highlight), 1));
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

MarkedButton::MarkedButton(const QString& caption, QWidget* parent)
    : QPushButton(caption, parent) {}

void MarkedButton::paintEvent(QPaintEvent* event) {
    QPushButton::paintEvent(event);
    if (!hasFocus())
        return;
    QStyleOptionButton option;
    initStyleOption(&option);
    DrawFocusMark(this, style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this));
}

} // namespace toolkit
