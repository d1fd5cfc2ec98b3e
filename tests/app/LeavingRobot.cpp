// Built into a copy of the program: leaves it the way ARVENZO_TEST_LEAVE
// says, as a user would. "enter" answers the first box with Enter; "exit"
// and "close" use File > Exit or the close box once the main window has
// been up for ARVENZO_TEST_LEAVE_AFTER milliseconds. Says "leaving" on
// standard error just before.
#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QElapsedTimer>
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

void StartRobot() {
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
