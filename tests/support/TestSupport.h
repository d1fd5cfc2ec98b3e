// What the window tests share: a private environment, a recording shell,
// and a way to answer the next modal box.
#pragma once

#include <QMetaType>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QWidget;

namespace testing {

// Points TEMP, XDG_CONFIG_DIRS and XDG_RUNTIME_DIR into a temporary folder for
// the life of the object, and can write the install record there. A test's
// own XDG_CACHE_HOME is put back with them.
class TestEnvironment {
public:
    TestEnvironment();
    ~TestEnvironment();

    QString Root() const { return dir_.path(); }
    QString Temp() const { return dir_.path() + "/temp"; }
    QString Config() const { return dir_.path() + "/config"; }
    // Writes Tessaly/<product>.conf with the given lines.
    void WriteRecord(const QString& product, const QStringList& lines) const;
    void WriteArvenzoRecord(const QString& version = "2.0",
                            const QString& website = "http://tessaly.example/arvenzo.html") const;

private:
    QTemporaryDir dir_;
    std::vector<std::pair<QByteArray, QByteArray>> saved_;
};

// Records what the program hands the desktop shell instead of opening it,
// and answers as a shell that opens everything, or, when told, nothing.
class ShellRecorder {
public:
    ShellRecorder();
    ~ShellRecorder();
    const std::vector<std::string>& Targets() const { return *targets_; }
    void Clear() { targets_->clear(); }
    void Refuse(bool refuse) { *refuse_ = refuse; }

private:
    std::shared_ptr<std::vector<std::string>> targets_;
    std::shared_ptr<bool> refuse_ = std::make_shared<bool>(false);
};

// What to do with the next modal window.
struct BoxAction {
    enum Kind { Button, Key, CloseBox } kind = Button;
    QString button; // object name or caption of the button to click
    int key = 0;    // Qt::Key to press
};

// Runs `step` once a modal window is up; the step sees it. The returned
// list fills with the texts of the boxes seen (the box text, or the window
// title for other dialogs).
class ModalAnswerer {
public:
    ModalAnswerer() = default;
    ~ModalAnswerer();
    ModalAnswerer(const ModalAnswerer&) = delete;
    ModalAnswerer& operator=(const ModalAnswerer&) = delete;
    // Acts on the next modal window that appears.
    void Next(BoxAction action);
    void Next(std::function<void(QWidget*)> step);
    QStringList Seen() const { return *seen_; }
    QStringList Titles() const { return *titles_; }
    // Does `action` to `modal`.
    static void Act(QWidget* modal, const BoxAction& action);
    // Steps not yet used.
    int Pending() const { return static_cast<int>(steps_->size()); }

private:
    std::shared_ptr<std::deque<std::function<void(QWidget*)>>> steps_ =
        std::make_shared<std::deque<std::function<void(QWidget*)>>>();
    std::unique_ptr<QTimer> timer_;
    std::shared_ptr<QStringList> seen_ = std::make_shared<QStringList>();
    std::shared_ptr<QStringList> titles_ = std::make_shared<QStringList>();
};

// Answers every message box that comes up, in turn, with the given button
// captions ("Yes", "No", "OK", "Cancel"); past the script it answers OK,
// else No. For code that may raise any number of boxes.
class BoxAnswerer {
public:
    explicit BoxAnswerer(QStringList answers = {});
    ~BoxAnswerer();
    BoxAnswerer(const BoxAnswerer&) = delete;
    BoxAnswerer& operator=(const BoxAnswerer&) = delete;

    // "Title: text" of every box answered so far.
    QStringList seen;
    // Runs as each box comes up, before it is answered.
    std::function<void()> onBox;

private:
    void Look();

    QStringList answers_;
    std::unique_ptr<QTimer> timer_;
};

BoxAction Click(const QString& button);
BoxAction Press(int key);
BoxAction CloseBox();

// Writes a small executable shell script; returns its path.
QString WriteScript(const QString& folder, const QString& name, const QString& body);

// Stand-ins for the console tools speak their contract. PagesLine is
// vellam.bin's page-count line, its label followed by `rest` (" 3");
// EchoPages prints it. StandInPage begins a stand-in glimmet.bin that takes
// its page's go as the real one does, does that page alone, and as it ends
// names the files under its root ($last, its last argument) and says the
// page done. ScratchName is
// the name glimmet.bin gives image `number` under `root`.
QString PagesLine(const QString& rest);
QString EchoPages(const QString& rest);
QString StandInPage();
QString ScratchName(const QString& root, int number, const char* extension);

// True while the process whose id the file `pidFile` holds runs: neither
// gone nor waiting to be reaped.
bool Running(const QString& pidFile);

// Sends `signal` to the process `p` runs, or with `group` to its process
// group, only while it runs: once it has ended its id reads 0, and a signal
// to 0 would reach the test's own group. False when nothing was sent.
bool SignalRunning(const QProcess& p, int signal, bool group = false);

} // namespace testing

Q_DECLARE_METATYPE(testing::BoxAction)
