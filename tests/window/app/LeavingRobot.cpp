// Built into a copy of the program: leaves it the way ARVENZO_TEST_LEAVE
// says, as a user would. "enter" answers the first box with Enter; "exit"
// and "close" use File > Exit or the close box once the main window has
// been up for ARVENZO_TEST_LEAVE_AFTER milliseconds. Says "leaving" on
// standard error just before. "report" waits for the document to be taken
// or a box to come up, and says on standard error what the window holds
// ("input=", "pages=", "output=" lines) or what the box says ("box="),
// then leaves by File > Exit or Enter.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <cstdio>
#include <memory>

namespace {

QWidget* ShownMainWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("MainForm") && widget->isVisible())
            return widget;
    }
    return nullptr;
}

void Leave(QWidget* target, const QByteArray& way) {
    std::fputs("leaving\n", stderr);
    std::fflush(stderr);
    if (way == "enter") {
        QTest::keyClick(target, Qt::Key_Return);
    } else if (way == "exit") {
        target->findChild<QAction*>(QStringLiteral("Exit"))->trigger();
    } else if (way == "close") {
        // What the window system delivers when the close box is clicked.
        QCloseEvent event;
        QCoreApplication::sendEvent(target->windowHandle(), &event);
    }
}

// The text of a label or line edit, or of the line a path edit holds.
QString Text(QWidget* window, const char* name) {
    QWidget* child = window->findChild<QWidget*>(QLatin1String(name));
    if (!child)
        return {};
    if (auto* line = child->findChild<QLineEdit*>())
        return line->text();
    return child->property("text").toString();
}

void Say(const QString& line) {
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stderr);
    std::fflush(stderr);
}

// True once there was something to report; a window that took nothing is
// reported as it is once `patience` has run out or a box was `answered`.
bool Report(bool patience, bool& answered) {
    if (QWidget* box = QApplication::activeModalWidget()) {
        Say(QStringLiteral("box=") + Text(box, "MessageText").replace(QLatin1Char('\n'), u' '));
        QTest::keyClick(box, Qt::Key_Return);
        answered = true;
        return false;
    }
    patience = patience || answered;
    QWidget* window = ShownMainWindow();
    if (!window || (Text(window, "sEditPageCount").isEmpty() && !patience))
        return false;
    Say(QStringLiteral("input=") + Text(window, "sFilenameEditInput"));
    Say(QStringLiteral("pages=") + Text(window, "sEditPageCount"));
    Say(QStringLiteral("output=") + Text(window, "sDirectoryEditOutput"));
    Leave(window, "exit");
    return true;
}

void StartRobot() {
    if (qgetenv("ARVENZO_TEST_LEAVE") == "report") {
        auto* look = new QTimer(qApp);
        auto started = std::make_shared<QElapsedTimer>();
        auto answered = std::make_shared<bool>(false);
        started->start();
        QObject::connect(look, &QTimer::timeout, [look, started, answered] {
            if (Report(started->elapsed() > 3000, *answered))
                look->stop();
        });
        look->start(10);
        return;
    }
    const QByteArray way = qgetenv("ARVENZO_TEST_LEAVE");
    const int after = qEnvironmentVariableIntValue("ARVENZO_TEST_LEAVE_AFTER");
    auto shown = std::make_shared<QElapsedTimer>();
    auto* look = new QTimer(qApp);
    QObject::connect(look, &QTimer::timeout, [=] {
        QWidget* target = way == "enter" ? QApplication::activeModalWidget() : ShownMainWindow();
        if (!target)
            return;
        if (!shown->isValid())
            shown->start();
        if (shown->elapsed() < after)
            return;
        look->stop();
        Leave(target, way);
    });
    look->start(10);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(StartRobot)
