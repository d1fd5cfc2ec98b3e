#include "toolkit/BusyCursor.h"

#include <QCursor>
#include <QGuiApplication>

namespace toolkit {

BusyCursor::BusyCursor() {
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

BusyCursor::~BusyCursor() {
    QGuiApplication::restoreOverrideCursor();
}

} // namespace toolkit
