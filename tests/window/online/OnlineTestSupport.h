// What the online window tests share besides the common test support: a
// stand-in main window with the controls the online side touches, and the
// scene each test runs in.
#pragma once

#include "support/TestSupport.h"

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QWidget>

namespace testing {

// The main window's controls that the version check moves, by name.
class FakeMainWindow : public QWidget {
public:
    FakeMainWindow() {
        setObjectName("MainForm");
        resize(496, 290);
        auto* menuBar = new QMenuBar(this);
        QMenu* help = menuBar->addMenu("Help");
        video = help->addAction("Video tutorial");
        video->setObjectName("Videotutorial1");
        video->setVisible(false);
        input = new QGroupBox("Input PDF File", this);
        input->setObjectName("sGroupBox1");
        input->setGeometry(6, 8, 400, 88);
        play = new QPushButton("Play Video Tutorial", input);
        play->setObjectName("sBitBtnPlayVideo");
        play->setGeometry(6, 70, 140, 25);
        play->hide();
        example = new QLabel("Example: 1-5 (leave it blank for all)", input);
        example->setObjectName("sLabel3");
        example->move(200, 68);
        output = new QGroupBox("Output Settings", this);
        output->setObjectName("sGroupBox4");
        output->setGeometry(6, 104, 400, 73);
    }

    QAction* video;
    QGroupBox* input;
    QPushButton* play;
    QLabel* example;
    QGroupBox* output;
};

// What every online window test stands on: a private environment, the
// stand-in main window on screen, and a shell that records.
struct OnlineScene {
    OnlineScene() { main.show(); }

    TestEnvironment env;
    FakeMainWindow main;
    ShellRecorder shell;
};

} // namespace testing
