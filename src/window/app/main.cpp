#include "app/MainWindow.h"
#include "app/ProgramState.h"
#include "platform/platform.h"
#include "toolkit/MessageBoxes.h"

#include <QApplication>
#include <QScreen>
#include <cstdio>
#include <cstdlib>

namespace {

// Ends the process without tearing anything down. The version check may
// still be inside a name lookup, a connection or a call onto this thread,
// and destroying the application object and the network statics under it
// crashes, or waits for the lookup. What the program owes at its end (the
// scratch folder emptied, the lock released) is done by then.
[[noreturn]] void EndNow(int status) {
    std::fflush(nullptr);
    std::_Exit(status);
}

} // namespace

int main(int argc, char* argv[]) {
    platform::OpenClosedStandardStreams();
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

    int result = 0;
    QPointer<QThread> versionCheck;
    {
        app::TMainForm form;
        versionCheck = form.VersionCheck();
        if (!form.Terminating()) {
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                form.move(screen->availableGeometry().center() - form.rect().center());
            form.show();
        }
        result = QApplication::exec();
        guard.Release();
    } // the window goes first: it empties the scratch folder
    if (versionCheck && !versionCheck->isFinished())
        EndNow(result);
    return result;
}
