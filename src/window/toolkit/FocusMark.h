// The mark of the keyboard focus on controls whose look does not show it.
#pragma once

#include <QPushButton>

namespace toolkit {

// A frame in the highlight colour just inside `area`; it reads on white, on
// gray and on the yellow badge alike.
void DrawFocusMark(QWidget* widget, const QRect& area);

// A push button that marks its focus. The style draws a default button the
// same with the focus or without, so that the focus was lost from sight
// whenever it sat on the default.
class MarkedButton : public QPushButton {
    Q_OBJECT
public:
    MarkedButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace toolkit
