// What the main window's tests share: a window of its own for each test,
// and tables of names.
#pragma once

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"

#include <QTest>
#include <array>
#include <memory>

// A private environment with an install record, a shell that records what
// it is handed, the program's state, and the window that fills it in.
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

// A test table of texts: the columns, then a row each, named after the entry
// in column `title`.
template <std::size_t N>
void NameTable(const std::array<const char*, N>& columns,
               std::initializer_list<std::array<const char*, N>> rows, std::size_t title = 0) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    for (const auto& row : rows) {
        QTestData& data = QTest::newRow(row[title]);
        for (const char* entry : row)
            data << QString(entry);
    }
}
