#include "toolkit/ErrorReport.h"

#include "toolkit/MessageBoxes.h"

#include <QCoreApplication>
#include <QGuiApplication>

namespace toolkit {

namespace {

// The program's own fixed messages and hints, which reach the window as
// plain text.
[[maybe_unused]] const char* const kFixedMessages[] = {
    QT_TRANSLATE_NOOP("program", "Output image format: <b>Keep the original</b>"),
    QT_TRANSLATE_NOOP("program",
                      "Forced output image format: <b>BMP</b> - Windows Bitmap File (*.BMP)"),
    QT_TRANSLATE_NOOP("program",
                      "Forced output image format: <b>JPEG</b> - Independent JPEG Group (*.JPG)"),
    QT_TRANSLATE_NOOP(
        "program", "Forced output image format: <b>JPEG-2000</b> - JPEG-2000 File Format (*.JP2)"),
    QT_TRANSLATE_NOOP("program",
                      "Forced output image format: <b>PNG</b> - Portable Network Graphics (*.PNG)"),
    QT_TRANSLATE_NOOP(
        "program", "Forced output image format: <b>TIFF</b> - Tagged Image File Format (*.TIFF)"),
    QT_TRANSLATE_NOOP("program", "Unknown error"),
    QT_TRANSLATE_NOOP("program", "No private scratch folder could be made for the images."),
    QT_TRANSLATE_NOOP("program", "Could not determinated the application's\r\nversion "
                                 "number!\r\n\r\nPlease re-install this software!\r\n"),
    QT_TRANSLATE_NOOP("program", "Could not determinated the application's\r\nwebsite!"
                                 "\r\n\r\nPlease re-install this software!\r\n"),
};

} // namespace

QString ProgramMessage(const QString& message) {
    return QCoreApplication::translate("program", message.toUtf8().constData());
}

QString GeneralErrorText(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

void ShowGeneralError(QWidget* owner, const QString& message) {
    try {
        TMessageBox box(owner, BoxType::Error, GeneralErrorText(ProgramMessage(message)),
                        ButtonSet::OK);
        box.setWindowTitle(QGuiApplication::applicationDisplayName());
        box.exec();
    } catch (...) {
        // Nothing may leave a handler, not even a failing report.
    }
}

} // namespace toolkit
