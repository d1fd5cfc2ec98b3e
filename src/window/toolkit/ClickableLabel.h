// A label or picture that acts as a link: hand cursor, a click signal, and
// Enter or Space when it has the keyboard focus.
#pragma once

#include <QLabel>

namespace toolkit {

class ClickableLabel : public QLabel {
    Q_OBJECT
public:
    explicit ClickableLabel(QWidget* parent = nullptr);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool pressed_ = false;
};

} // namespace toolkit
