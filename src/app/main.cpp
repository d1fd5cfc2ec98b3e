#include "app/MainWindow.h"
#include "app/ProgramState.h"
#include "platform/platform.h"
#include "toolkit/MessageBoxes.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[]) {
    platform::InstanceGuard guard(app::kProductName);
    if (!guard.Acquired()) {
        QApplication refused(argc, argv);
        toolkit::ShowMessage(nullptr, toolkit::BoxType::Warning,
                             QStringLiteral("An instance of Arvenzo is already running!"));
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kProductName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kProductName));
    QApplication::setDesktopFileName(QStringLiteral("arvenzo"));

    app::TMainForm form;
    if (!form.Terminating()) {
        if (const QScreen* screen = QGuiApplication::primaryScreen())
            form.move(screen->availableGeometry().center() - form.rect().center());
        form.show();
    }
    const int result = QApplication::exec();
    guard.Release();
    return result;
}
