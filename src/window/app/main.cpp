#include "app/AppContext.h"
#include "app/HandOver.h"
#include "app/Language.h"
#include "app/MainWindow.h"
#include "platform/InstanceGuard.h"
#include "platform/Terminal.h"
#include "toolkit/MessageBoxes.h"

#include <QApplication>
#include <QFileInfo>
#include <QScreen>
#include <QStringList>
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

// The document named on the command line ("arvenzo FILE", as the desktop's
// "Open with" starts it), made absolute here, where it was named; empty when
// none is.
QString DocumentArgument() {
    QStringList arguments = QCoreApplication::arguments().mid(1);
    if (!arguments.isEmpty() && arguments.constFirst() == QLatin1String("--"))
        arguments.removeFirst();
    if (arguments.isEmpty() || arguments.constFirst().isEmpty())
        return {};
    return QFileInfo(arguments.constFirst()).absoluteFilePath();
}

QString Address() {
    return QString::fromStdString(platform::InstanceAddress(app::kProductName));
}

} // namespace

int main(int argc, char* argv[]) {
    platform::OpenClosedStandardStreams();
    platform::InstanceGuard guard(app::kProductName);
    if (!guard.Acquired()) {
        QApplication refused(argc, argv);
        app::InstallTranslations(refused);
        // A document goes to the copy that runs; without one, or when that
        // copy does not take it, the user hears why nothing opened.
        const QString document = DocumentArgument();
        if (!document.isEmpty() && app::HandOverServer::Send(Address(), document))
            return 0;
        toolkit::ShowMessage(
            nullptr, toolkit::BoxType::Warning,
            QCoreApplication::translate("main", "An instance of %1 is already running!")
                .arg(QString::fromLatin1(app::kProductName)));
        return 0;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kProductName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kProductName));
    QApplication::setDesktopFileName(QStringLiteral("arvenzo"));
    app::InstallTranslations(application);

    int result = 0;
    QPointer<QThread> versionCheck;
    {
        app::AppContext context;
        app::TMainForm form(context);
        versionCheck = form.VersionCheck();
        app::HandOverServer handOver(Address(),
                                     [&form](const QString& path) { form.TakeDocument(path); });
        if (!form.Terminating()) {
            if (const QScreen* screen = QGuiApplication::primaryScreen())
                form.move(screen->availableGeometry().center() - form.rect().center());
            form.show();
            // Taken once the window is up, as a pick would be.
            if (const QString document = DocumentArgument(); !document.isEmpty())
                QMetaObject::invokeMethod(
                    &form, [&form, document] { form.TakeDocument(document); },
                    Qt::QueuedConnection);
        }
        result = QApplication::exec();
        guard.Release();
    } // the window goes first: it empties the scratch folder
    if (versionCheck && !versionCheck->isFinished())
        EndNow(result);
    return result;
}
