// The picker as a person meets it, timed: the main window opens the picker
// on a document and the time to the first thumbnail, to the last and to the
// end of the search for repeats is taken, with the peak memory of the
// window and of its tool; or ticked pictures are saved round after round;
// or the picker is pictured for the README, a few pictures ticked.
//   picker_probe read TOOL_FOLDER DOC
//   picker_probe save TOOL_FOLDER DOC FORMAT PICTURES OUTPUT_FOLDER ROUNDS
//   picker_probe shot TOOL_FOLDER DOC RANGE PICTURE.png
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "extract/ToolOptions.h"
#include "picker/PickerWindow.h"
#include "picker/PictureModel.h"
#include "picker/PictureView.h"
#include "support/TestSupport.h"
#include "toolkit/PathEdits.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <sys/resource.h>

namespace {

// Runs the event loop until `done` holds, asking every millisecond.
void RunUntil(const std::function<bool()>& done, const std::function<void()>& each = {}) {
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (each)
            each();
        if (done())
            loop.quit();
    });
    poll.start();
    loop.exec();
}

// The largest peak, in kB, of the tools running now: a child's own figure
// from getrusage would count the window's pages it was forked with.
long ToolsPeak() {
    long peak = 0;
    for (const QString& task :
         QDir("/proc/self/task").entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children("/proc/self/task/" + task + "/children");
        if (!children.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& pid : children.readAll().split(' ')) {
            QFile status("/proc/" + pid.trimmed() + "/status");
            if (pid.trimmed().isEmpty() || !status.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray& line : status.readAll().split('\n'))
                if (line.startsWith("VmHWM:"))
                    peak = std::max(peak, line.mid(6).trimmed().split(' ').first().toLong());
        }
    }
    return peak;
}

int Read(app::TMainForm& form) {
    QElapsedTimer t;
    t.start();
    form.PickPicturesClick();
    picker::PickerWindow* picker = form.Picker();
    double first = -1, thumbnails = -1;
    QObject::connect(picker->Model(), &QAbstractItemModel::rowsInserted, [&] {
        if (first < 0)
            first = t.elapsed() / 1000.0;
    });
    auto* state = picker->findChild<QLabel*>("PickerState");
    long toolPeak = 0;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout,
                     [&] { toolPeak = std::max(toolPeak, ToolsPeak()); });
    sample.start(20);
    RunUntil([&] { return !picker->Reading(); },
             [&] {
                 if (thumbnails < 0 && state->text().startsWith("Looking"))
                     thumbnails = t.elapsed() / 1000.0;
             });
    const double all = t.elapsed() / 1000.0;
    rusage self{};
    getrusage(RUSAGE_SELF, &self);
    std::printf("%d pictures: first %.3f s, thumbnails %.3f s, repeats %.3f s; "
                "peak: window %ld MB, tool %ld MB (sampled)\n",
                picker->Model()->rowCount(), first, thumbnails < 0 ? all : thumbnails, all,
                self.ru_maxrss / 1024, toolPeak / 1024);
    return 0;
}

int Save(app::TMainForm& form, const char* pictures, const QString& output, int rounds) {
    form.PickPicturesClick();
    picker::PickerWindow* picker = form.Picker();
    RunUntil([&] { return !picker->Reading(); });
    const auto places = extract::ReadPictures(pictures);
    if (!places)
        return 2;
    for (const extract::PicturePlace& place : *places)
        picker->Model()->SetTicked(picker->Model()->RowOf(place), true);
    for (int r = 0; r < rounds; ++r) {
        // Each round into an empty folder, as the terminal's rounds.
        QDir(output).removeRecursively();
        QDir().mkpath(output);
        QElapsedTimer t;
        t.start();
        picker->SaveSelected();
        RunUntil([&] { return !form.WorkerExists(); });
        std::printf("%.3f\n", t.elapsed() / 1000.0);
        std::fflush(stdout);
    }
    return 0;
}

int Shot(app::TMainForm& form, const char* range, const QString& picture) {
    form.findChild<QLineEdit*>("sEditPageRange")->setText(range);
    form.PickPicturesClick();
    picker::PickerWindow* picker = form.Picker();
    picker->resize(860, 600);
    RunUntil([&] { return !picker->Reading(); });
    picker->findChild<QCheckBox*>("PickerEachOnce")->setChecked(true);
    for (int row : {1, 4, 6})
        if (row < picker->Shown()->rowCount())
            picker->Model()->SetTicked(picker->Shown()->SourceRow(row), true);
    picker->View()->setCurrentIndex(picker->Shown()->index(4, 0));
    picker->View()->setFocus();
    QElapsedTimer settle;
    settle.start();
    RunUntil([&] { return settle.elapsed() > 500; });
    return picker->grab().save(picture) ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (!((mode == "read" && argc == 4) || (mode == "save" && argc == 8) ||
          (mode == "shot" && argc == 6))) {
        std::fprintf(stderr, "usage: picker_probe read TOOL_FOLDER DOC\n"
                             "       picker_probe save TOOL_FOLDER DOC FORMAT PICTURES "
                             "OUTPUT_FOLDER ROUNDS\n"
                             "       picker_probe shot TOOL_FOLDER DOC RANGE PICTURE.png\n");
        return 2;
    }
    testing::TestEnvironment environment;
    environment.WriteArvenzoRecord();
    testing::ShellRecorder shell; // the folder is not opened after a save
    app::AppContext context;
    app::TMainForm form(context);
    context.appFolder = std::string(argv[2]) + "/";
    form.show();
    form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText(argv[3]);
    if (mode == "read")
        return Read(form);
    if (mode == "shot")
        return Shot(form, argv[4], QString::fromLocal8Bit(argv[5]));
    form.findChild<toolkit::TDirectoryEdit*>("sDirectoryEditOutput")->setText(argv[6]);
    form.findChild<QComboBox*>("sComboBoxFormat")->setCurrentText(argv[4]);
    form.findChild<QLineEdit*>("sEditOutputPrefix")->setText("img-");
    return Save(form, argv[5], QString::fromLocal8Bit(argv[6]), std::atoi(argv[7]));
}
