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
    toolkit::CentreOver(&box, owner);
    box.exec();
    return box.answer();
}

} // namespace online
