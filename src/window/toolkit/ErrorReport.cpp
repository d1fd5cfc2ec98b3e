#include "toolkit/ErrorReport.h"

#include "toolkit/MessageBoxes.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace toolkit {

QString GeneralErrorText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void ShowGeneralError(QWidget* owner, const QString& message) {
    try {
        TMessageBox box(owner, BoxType::Error, GeneralErrorText(message), ButtonSet::OK);
        box.setWindowTitle(QGuiApplication::applicationDisplayName());
        box.exec();
    } catch (...) {
        // Nothing may leave a handler, not even a failing report.
    }
}

} // namespace toolkit
