#include "support/TestSupport.h"

#include "ToolContract.h"
#include "platform/Shell.h"
#include "support/ToolTests.h"
#include "toolkit/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <csignal>
#include <cstdlib>

namespace testing {

namespace {

const char* const kVariables[] = {"TEMP", "XDG_CONFIG_DIRS", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME",
                                  "ARVENZO_VENDOR"};

} // namespace

void ModalAnswerer::Act(QWidget* modal, const BoxAction& action) {
    switch (action.kind) {
    case BoxAction::Button:
        for (QAbstractButton* b : modal->findChildren<QAbstractButton*>()) {
            if (b->objectName() == action.button || b->text() == action.button) {
                b->click();
                return;
            }
        }
        qWarning("no button %s", qPrintable(action.button));
        modal->close();
        return;
    case BoxAction::Key:
        QTest::keyClick(modal, static_cast<Qt::Key>(action.key));
        return;
    case BoxAction::CloseBox:
        modal->close();
        return;
    }
}

TestEnvironment::TestEnvironment() {
    for (const char* name : kVariables)
        saved_.emplace_back(name, qgetenv(name));
    QDir().mkpath(Temp());
    QDir().mkpath(Config());
    QDir().mkpath(Root() + "/runtime");
    qputenv("TEMP", Temp().toLocal8Bit());
    qputenv("XDG_CONFIG_DIRS", Config().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (Root() + "/runtime").toLocal8Bit());
    // The version check starts with every main window; keep it on loopback,
    // where nothing listens on the discard port.
    qputenv("ARVENZO_VENDOR", "127.0.0.1:9");
}

TestEnvironment::~TestEnvironment() {
    for (const auto& [name, value] : saved_) {
        if (value.isEmpty())
            qunsetenv(name.constData());
        else
            qputenv(name.constData(), value);
    }
}

void TestEnvironment::WriteRecord(const QString& product, const QStringList& lines) const {
    QDir().mkpath(Config() + "/Tessaly");
    QFile file(Config() + "/Tessaly/" + product + ".conf");
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        qFatal("cannot write the install record");
    file.write((lines.join('\n') + '\n').toUtf8());
}

void TestEnvironment::WriteArvenzoRecord(const QString& version, const QString& website) const {
    WriteRecord("Arvenzo", {"Version=" + version, "Website=" + website});
}

ShellRecorder::ShellRecorder() : targets_(std::make_shared<std::vector<std::string>>()) {
    platform::SetShellOpener([targets = targets_, refuse = refuse_](const std::string& t) {
        targets->push_back(t);
        return !*refuse;
    });
}

ShellRecorder::~ShellRecorder() {
    platform::SetShellOpener({});
}

void ModalAnswerer::Next(BoxAction action) {
    Next([action](QWidget* modal) { ModalAnswerer::Act(modal, action); });
}

void ModalAnswerer::Next(std::function<void(QWidget*)> step) {
    steps_->push_back(std::move(step));
    if (timer_)
        return;
    timer_ = std::make_unique<QTimer>();
    timer_->setInterval(5);
    QObject::connect(timer_.get(), &QTimer::timeout,
                     [steps = steps_, seen = seen_, titles = titles_] {
                         QWidget* modal = QApplication::activeModalWidget();
                         if (steps->empty() || !modal || !modal->isVisible() ||
                             modal->property("answered").toBool())
                             return;
                         // Give the window a moment to take the focus, as it would for a user.
                         const int waited = modal->property("waited").toInt();
                         if (QApplication::activeWindow() != modal && waited < 100) {
                             modal->setProperty("waited", waited + 1);
                             return;
                         }
                         modal->setProperty("answered", true);
                         if (auto* box = qobject_cast<toolkit::TMessageBox*>(modal))
                             seen->append(box->text());
                         else
                             seen->append(modal->windowTitle());
                         titles->append(modal->windowTitle());
                         const auto step = steps->front();
                         steps->pop_front();
                         step(modal);
                     });
    timer_->start();
}

ModalAnswerer::~ModalAnswerer() = default;

BoxAnswerer::BoxAnswerer(QStringList answers)
    : answers_(std::move(answers)), timer_(std::make_unique<QTimer>()) {
    QObject::connect(timer_.get(), &QTimer::timeout, [this] { Look(); });
    timer_->start(10);
}

BoxAnswerer::~BoxAnswerer() = default;

void BoxAnswerer::Look() {
    auto* box = qobject_cast<toolkit::TMessageBox*>(QApplication::activeModalWidget());
    if (!box || !box->isVisible())
        return;
    seen.append(box->windowTitle() + ": " + box->text());
    if (onBox)
        onBox();
    const QString answer = answers_.isEmpty() ? QString() : answers_.takeFirst();
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

BoxAction Click(const QString& button) {
    return {BoxAction::Button, button, 0};
}
BoxAction Press(int key) {
    return {BoxAction::Key, {}, key};
}
BoxAction CloseBox() {
    return {BoxAction::CloseBox, {}, 0};
}

QString WriteScript(const QString& folder, const QString& name, const QString& body) {
    return tooltest::writeScript(folder, name, body);
}

QString PagesLine(const QString& rest) {
    return contract::kPagesLabel + rest;
}

QString EchoPages(const QString& rest) {
    return "echo '" + PagesLine(rest) + "'";
}

QString StandInPage() {
    // Its root is its last argument, its files are those under the root,
    // and its page is $2.
    return QString("read -r _ _ || exit 0\n"
                   "for last; do :; done\n"
                   "trap 'for f in \"$last\"%1*; do [ -f \"$f\" ] && "
                   "printf \"%2\\t1\\t%s\\t%s\\t%3\\n\" \"${f##*/}\" \"$(wc -c <\"$f\")\"; "
                   "done; printf \"%4\\t%s\\n\" \"$2\"' EXIT\n")
        .arg(QChar(contract::kNumberSeparator), contract::kFileMade, contract::kNoDigest,
             contract::kPageDone);
}

QString ScratchName(const QString& root, int number, const char* extension) {
    return QString::fromStdString(contract::ScratchName(root.toStdString(), number, extension));
}

bool Running(const QString& pidFile) {
    QFile id(pidFile);
    if (!id.open(QIODevice::ReadOnly))
        return false;
    QFile stat("/proc/" + QString::fromLatin1(id.readAll()).trimmed() + "/stat");
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close > 0 && text.size() > close + 2 && text[close + 2] != 'Z';
}

bool SignalRunning(const QProcess& p, int signal, bool group) {
    const qint64 id = p.processId();
    if (p.state() != QProcess::Running || id <= 0)
        return false;
    const pid_t target = static_cast<pid_t>(group ? -id : id);
    return ::kill(target, signal) == 0;
}

} // namespace testing
