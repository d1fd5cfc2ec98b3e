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

void Say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toLocal8Bit().constData(), stderr);
}

// Said once a run for each of this copy's files that is not where it
// usually is, because what was there in the shared temporary folder is not
// the user's alone.
void SayWhereInstead(const platform::InstanceGuard& guard, const platform::InstancePlace& address) {
    for (const platform::InstancePlace& place : {guard.Place(), address}) {
        if (place.refused.empty())
            continue;
        const QString refused = QString::fromLocal8Bit(place.refused);
        Say(place.path.empty()
                ? QCoreApplication::translate("main", "%1 is not this user's alone, and no private "
                                                      "folder could be had in its place.")
                      .arg(refused)
                : QCoreApplication::translate("main", "%1 is not this user's alone, so %2 is used "
                                                      "in its place.")
                      .arg(refused, QString::fromLocal8Bit(place.path)));
    }
}

// A later start: its document goes to the copy that runs. Without one, or
// when that copy does not answer, the user hears why nothing opened; a
// document that was not taken ends this start with a failure.
int HandOn(const QString& address) {
    const QString document = DocumentArgument();
    using Sent = app::HandOverServer::Sent;
    const Sent sent =
        document.isEmpty() ? Sent::NoAnswer : app::HandOverServer::Send(address, document);
    if (sent == Sent::Taken)
        return 0;
    const QString product = QString::fromLatin1(app::kProductName);
    // A copy that answered has said why in its window.
    if (sent == Sent::NoAnswer)
        toolkit::ShowMessage(
            nullptr, toolkit::BoxType::Warning,
            QCoreApplication::translate("main", "An instance of %1 is already running!")
                .arg(product));
    if (document.isEmpty())
        return 0;
    Say(QCoreApplication::translate("main", "%1 was not opened: the copy of %2 that runs did not "
                                            "take it.")
            .arg(document, product));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    platform::OpenClosedStandardStreams();
    platform::InstanceGuard guard(app::kProductName);
    const platform::InstancePlace address = platform::InstanceAddress(app::kProductName);
    if (!guard.Acquired()) {
        QApplication refused(argc, argv);
        app::InstallTranslations(refused);
        SayWhereInstead(guard, address);
        return HandOn(QString::fromLocal8Bit(address.path));
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(app::kProductName));
    QApplication::setApplicationDisplayName(QString::fromLatin1(app::kProductName));
    QApplication::setDesktopFileName(QStringLiteral("arvenzo"));
    app::InstallTranslations(application);
    SayWhereInstead(guard, address);

    int result = 0;
    QPointer<QThread> versionCheck;
    {
        app::AppContext context;
        app::TMainForm form(context);
        versionCheck = form.VersionCheck();
        app::HandOverServer handOver(
            QString::fromLocal8Bit(address.path),
            [&form](const QString& path) { return form.TakeDocument(path); });
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
