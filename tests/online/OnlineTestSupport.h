// What the online window tests share besides the common test support: a
// stand-in main window with the controls the online side touches, and an
// answerer for every message box that comes up.
#pragma once

#include "support/TestSupport.h"
#include "toolkit/MessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <utility>

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

// Answers every message box that comes up, in turn, with the given button
// captions ("Yes", "No", "OK"); past the script it answers OK, else No.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QStringList answers = {}) : answers_(std::move(answers)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { Look(); });
        timer_.start(10);
    }

    // "Title: text" of every box answered so far.
    QStringList seen;
    // Runs as each box comes up, before it is answered.
    std::function<void()> onBox;

private:
    void Look() {
        auto* box = qobject_cast<toolkit::TMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        seen.append(box->windowTitle() + ": " + box->text());
        if (onBox)
            onBox();
        QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
        QPushButton* button = nullptr;
        for (const auto& [caption, value] :
             {std::pair{"Yes", toolkit::Answer::Yes}, std::pair{"No", toolkit::Answer::No},
              std::pair{"OK", toolkit::Answer::OK}, std::pair{"Cancel", toolkit::Answer::Cancel}}) {
            if (answer == caption)
                button = box->button(value);
        }
        if (!button)
            button = box->button(toolkit::Answer::OK) ? box->button(toolkit::Answer::OK)
                                                      : box->button(toolkit::Answer::No);
        button->click();
    }

    QStringList answers_;
    QTimer timer_;
};

} // namespace testing
