#include "online/Boxes.h"

#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

namespace online {

toolkit::Answer ShowBox(QWidget* owner, toolkit::BoxType type, const QString& text,
                        toolkit::ButtonSet buttons, bool tabStops) {
    if (tabStops)
        return toolkit::ShowMessage(owner, type, text, buttons);
    toolkit::TMessageBox box(owner, type, text, buttons);
    for (const toolkit::Answer answer : {toolkit::Answer::OK, toolkit::Answer::Cancel,
                                         toolkit::Answer::Yes, toolkit::Answer::No}) {
        if (QPushButton* button = box.button(answer))
            button->setFocusPolicy(Qt::ClickFocus);
    }
    box.adjustSize();
    QRect area;
    if (owner && owner->isVisible())
        area = owner->window()->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        box.move(area.center() - box.rect().center());
    box.exec();
    return box.answer();
}

} // namespace online
