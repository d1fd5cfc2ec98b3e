// A main window of its own for each window test: a private environment with
// an install record, a shell that records what it is handed, and the
// program's state that the window fills in.
#pragma once

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"

#include <QTest>
#include <memory>

struct WindowUnderTest {
    explicit WindowUnderTest(const QString& version = "2.0") {
        env.WriteArvenzoRecord(version);
        form = std::make_unique<app::TMainForm>(context);
    }

    // Shows the window and waits until it is the active one.
    [[nodiscard]] bool ShowActive() {
        form->show();
        form->activateWindow();
        return QTest::qWaitForWindowActive(form.get());
    }

    testing::TestEnvironment env;
    testing::ShellRecorder shell;
    app::AppContext context;
    std::unique_ptr<app::TMainForm> form; // goes first, before what it uses
};
