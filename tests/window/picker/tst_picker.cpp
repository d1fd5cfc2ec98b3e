// The picker: its rules as plain functions, then the window on a generated
// document with the real tools: what it lists and marks, what its filters
// hide, what a reader hears, the keys, what it saves and hands out, and its
// tool ending with it.
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "control/ChosenPictures.h"
#include "picker/PickerRules.h"
#include "picker/PickerWindow.h"
#include "picker/PictureCloser.h"
#include "picker/PictureDelegate.h"
#include "picker/PictureModel.h"
#include "picker/PictureView.h"
#include "support/TestSupport.h"
#include "support/ToolTests.h"
#include "toolkit/PathEdits.h"

#include <QAccessible>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

namespace {

using extract::PickedPicture;
using extract::PicturePlace;

PickedPicture Picture(int page, int onPage, int width, int height,
                      std::optional<PicturePlace> repeatOf = {}) {
    PickedPicture picture;
    picture.facts.page = page;
    picture.facts.onPage = onPage;
    picture.facts.width = width;
    picture.facts.height = height;
    picture.repeatOf = repeatOf;
    return picture;
}

// What picker-pages.pdf holds, as the rules see it.
const std::vector<PickedPicture>& PickerPages() {
    static const std::vector<PickedPicture> pictures = {
        Picture(1, 1, 64, 48), Picture(1, 2, 40, 30), Picture(2, 1, 64, 48, {{1, 1}}),
        Picture(2, 2, 4, 4),   Picture(3, 1, 64, 48), Picture(3, 2, 50, 40),
        Picture(4, 1, 30, 20)};
    return pictures;
}

QString PlacesText(const std::vector<PicturePlace>& places) {
    return QString::fromStdString(extract::PicturesText(places));
}

// "WxH", or nothing for no minimum.
std::pair<int, int> Minimum(const QString& text) {
    if (text.isEmpty())
        return {0, 0};
    return {text.section('x', 0, 0).toInt(), text.section('x', 1, 1).toInt()};
}

// A main window with its own environment and the real tools, on a document,
// with the picker opened by its shortcut and read to the end.
struct Session {
    testing::TestEnvironment env;
    testing::ShellRecorder shell;
    app::AppContext context;
    QTemporaryDir outputDir;
    std::unique_ptr<app::TMainForm> form;
    bool active = false;

    explicit Session(const QString& pdf, const QString& format = "Original") {
        env.WriteArvenzoRecord();
        form = std::make_unique<app::TMainForm>(context);
        context.appFolder = QString(TOOL_DIR "/").toStdString();
        form->show();
        form->activateWindow();
        active = QTest::qWaitForWindowActive(form.get());
        form->findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText(pdf);
        form->findChild<toolkit::TDirectoryEdit*>("sDirectoryEditOutput")
            ->setText(outputDir.path());
        form->findChild<QComboBox*>("sComboBoxFormat")->setCurrentText(format);
        form->findChild<QLineEdit*>("sEditOutputPrefix")->setText("img-");
    }
    picker::PickerWindow* Open() {
        form->activateWindow();
        if (!QTest::qWaitForWindowActive(form.get()))
            return nullptr;
        QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);
        return form->Picker();
    }
    // Open, and every picture read, repeats and all.
    picker::PickerWindow* OpenRead() {
        picker::PickerWindow* picker = Open();
        if (picker && !QTest::qWaitFor([&] { return !picker->Reading(); }, 30000))
            return nullptr;
        return picker;
    }
    QStringList Written() const { return QDir(outputDir.path()).entryList(QDir::Files); }
};

template <class T> T* Find(QWidget* in, const char* name) {
    return in->findChild<T*>(name);
}

// The places shown, in order.
QStringList Shown(picker::PickerWindow* picker) {
    QStringList places;
    picker::ShownPictures* shown = picker->Shown();
    for (int row = 0; row < shown->rowCount(); ++row) {
        const PickedPicture& p = picker->Model()->Picture(shown->SourceRow(row));
        places << QString("%1.%2").arg(p.facts.page).arg(p.facts.onPage);
    }
    return places;
}

int ShownRow(picker::PickerWindow* picker, const QString& place) {
    return Shown(picker).indexOf(place);
}

// Clicks the check box of the picture shown in `row`.
void ClickCheckBox(picker::PickerWindow* picker, int row) {
    picker::PictureView* view = picker->View();
    const QModelIndex index = picker->Shown()->index(row, 0);
    view->scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(view);
    const auto* delegate = qobject_cast<picker::PictureDelegate*>(view->itemDelegate());
    const QPoint at = delegate->CheckRect(option, view->visualRect(index)).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class PickerTest : public QObject {
    Q_OBJECT
    tooltest::Fixtures fixtures_;
    // One picker over the whole document, read once, for the tests that only
    // look and put back what they change.
    std::unique_ptr<Session> shared_;
    picker::PickerWindow* picker_ = nullptr;

    QString Pdf() const { return fixtures_.path("picker-pages.pdf"); }

private slots:
    void initTestCase() {
        QVERIFY(fixtures_.make(MAKE_FIXTURES_PATH, {"picker-pages"}));
        shared_ = std::make_unique<Session>(Pdf());
        picker_ = shared_->OpenRead();
        QVERIFY(picker_);
    }
    void cleanupTestCase() { shared_.reset(); }

    // --- the rules ---------------------------------------------------------

    // The filters hide by the rules of --unique and --min-size; what is
    // ticked is saved only while it is shown.
    void filterRule_data() {
        QTest::addColumn<bool>("eachOnce");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing hidden") << false << ""
                                        << "1.1,1.2,2.1,2.2,3.1,3.2,4.1";
        QTest::newRow("each picture once") << true << ""
                                           << "1.1,1.2,2.2,3.1,3.2,4.1";
        QTest::newRow("smaller than 32x32") << false << "32x32"
                                            << "1.1,2.1,3.1,3.2";
        QTest::newRow("narrower than 45") << false << "45x1"
                                          << "1.1,2.1,3.1,3.2";
        QTest::newRow("lower than 31") << false << "1x31"
                                       << "1.1,2.1,3.1,3.2";
        QTest::newRow("side equal to the minimum") << false << "40x30"
                                                   << "1.1,1.2,2.1,3.1,3.2";
        QTest::newRow("both") << true << "5x5"
                              << "1.1,1.2,3.1,3.2,4.1";
    }
    void filterRule() {
        QFETCH(bool, eachOnce);
        QFETCH(QString, minimum);
        QFETCH(QString, shown);
        const auto [width, height] = Minimum(minimum);
        const picker::PictureFilter filter{eachOnce, !minimum.isEmpty(), width, height};
        const std::vector<PickedPicture>& pictures = PickerPages();
        const std::vector<PicturePlace> all =
            picker::ChosenPlaces(pictures, std::vector<bool>(pictures.size(), true), filter);
        QCOMPARE(PlacesText(all), shown);
        const int count = static_cast<int>(all.size());
        QCOMPARE(picker::CountShown(pictures, filter),
                 (picker::ShownCount{count, static_cast<int>(pictures.size()) - count}));
        // Ticking the first and the last: only those shown of them are saved.
        std::vector<bool> ticked(pictures.size(), false);
        ticked.front() = ticked.back() = true;
        QCOMPARE(PlacesText(picker::ChosenPlaces(pictures, ticked, filter)),
                 shown.endsWith("4.1") ? QString("1.1,4.1") : QString("1.1"));
    }

    void spokenNames_data() {
        QTest::addColumn<QString>("encoding");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("JPEG") << "jpeg"
                              << "Page 3, picture 2, 640 × 480, JPEG";
        QTest::newRow("JPEG 2000") << "jpx"
                                   << "Page 3, picture 2, 640 × 480, JPEG 2000";
        QTest::newRow("uncompressed") << "raw"
                                      << "Page 3, picture 2, 640 × 480, uncompressed";
    }
    void spokenNames() {
        QFETCH(QString, encoding);
        QFETCH(QString, spoken);
        PickedPicture picture = Picture(3, 2, 640, 480);
        picture.facts.encoding = encoding.toStdString();
        QCOMPARE(picker::SpokenName(picture.facts), spoken);
    }

    // The job over the pictures chosen: in the document's order, each once,
    // on the pages they stand on.
    void chosenRequest_data() {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("only");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::newRow("out of order, twice") << "3.2,1.2,3.2"
                                             << "1.2,3.2" << 1 << 3;
        QTest::newRow("one page") << "4.1"
                                  << "4.1" << 4 << 4;
        QTest::newRow("none: the whole job") << ""
                                             << "" << 1 << 10;
    }
    void chosenRequest() {
        QFETCH(QString, chosen);
        QFETCH(QString, only);
        QFETCH(int, first);
        QFETCH(int, last);
        extract::JobRequest whole;
        whole.firstPage = 1;
        whole.lastPage = 10;
        const std::vector<PicturePlace> places = chosen.isEmpty()
                                                     ? std::vector<PicturePlace>{}
                                                     : *extract::ReadPictures(chosen.toStdString());
        const extract::JobRequest request = extract::OnlyThese(whole, places);
        QCOMPARE(PlacesText(request.pictures.only), only);
        QCOMPARE(request.firstPage, first);
        QCOMPARE(request.lastPage, last);
    }

    // --- the window --------------------------------------------------------

    // Each picture in the job's order, its marks (the minimum starts at
    // 32 x 32), its thumbnail, and what a screen reader says of it.
    void listsEachWithItsMarks_data() {
        QTest::addColumn<QString>("place");
        QTest::addColumn<QString>("marks");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("photograph") << "1.1"
                                    << "own bytes"
                                    << "Page 1, picture 1, 64 × 48, JPEG";
        QTest::newRow("gray") << "1.2"
                              << "small"
                              << "Page 1, picture 2, 40 × 30, Flate";
        QTest::newRow("repeat") << "2.1"
                                << "own bytes|repeat of 1.1"
                                << "Page 2, picture 1, 64 × 48, JPEG";
        QTest::newRow("tiny") << "2.2"
                              << "small"
                              << "Page 2, picture 2, 4 × 4, Flate";
        QTest::newRow("damaged") << "3.1"
                                 << "failed"
                                 << "Page 3, picture 1, 64 × 48, JPEG";
        QTest::newRow("colour") << "3.2"
                                << ""
                                << "Page 3, picture 2, 50 × 40, Flate";
        QTest::newRow("last page") << "4.1"
                                   << "small"
                                   << "Page 4, picture 1, 30 × 20, Flate";
    }
    void listsEachWithItsMarks() {
        QFETCH(QString, place);
        QFETCH(QString, marks);
        QFETCH(QString, spoken);
        QCOMPARE(Shown(picker_).size(), 7);
        const int row = ShownRow(picker_, place);
        QVERIFY(row >= 0);
        const QModelIndex index = picker_->Shown()->index(row, 0);
        QCOMPARE(index.data(picker::PictureModel::MarksRole).toStringList().join('|'), marks);
        const bool failed = marks == "failed";
        QCOMPARE(index.data(Qt::DecorationRole).value<QImage>().isNull(), failed);
        if (failed) // the tool's line is its tooltip
            QVERIFY2(index.data(Qt::ToolTipRole).toString().contains("page 3, image 1"),
                     qPrintable(index.data(Qt::ToolTipRole).toString()));

        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(picker_->View());
        QAccessibleInterface* item = list->child(row);
        QVERIFY(item);
        QCOMPARE(item->text(QAccessible::Name), spoken);
        QVERIFY(item->state().checkable);
        QVERIFY(!item->state().checked);
        picker_->Model()->SetTicked(picker_->Shown()->SourceRow(row), true);
        QVERIFY(list->child(row)->state().checked);
        picker_->Model()->SetTicked(picker_->Shown()->SourceRow(row), false);
    }

    // The filters as a person sets them, and the count they leave.
    void filtersHide_data() {
        QTest::addColumn<bool>("eachOnce");
        QTest::addColumn<bool>("hideSmall");
        QTest::addColumn<QString>("minimum");
        QTest::addColumn<QString>("hidden");
        QTest::addColumn<QString>("counts");
        QTest::newRow("each picture once") << true << false << "32x32"
                                           << "2.1"
                                           << "6 shown, 1 hidden, 0 ticked";
        QTest::newRow("smaller than 32 x 32") << false << true << "32x32"
                                              << "1.2,2.2,4.1"
                                              << "4 shown, 3 hidden, 0 ticked";
        QTest::newRow("smaller than 5 x 5, and repeats") << true << true << "5x5"
                                                         << "2.1,2.2"
                                                         << "5 shown, 2 hidden, 0 ticked";
    }
    void filtersHide() {
        QFETCH(bool, eachOnce);
        QFETCH(bool, hideSmall);
        QFETCH(QString, minimum);
        QFETCH(QString, hidden);
        QFETCH(QString, counts);
        const auto [width, height] = Minimum(minimum);
        Find<QSpinBox>(picker_, "PickerMinWidth")->setValue(width);
        Find<QSpinBox>(picker_, "PickerMinHeight")->setValue(height);
        Find<QCheckBox>(picker_, "PickerEachOnce")->setChecked(eachOnce);
        Find<QCheckBox>(picker_, "PickerHideSmall")->setChecked(hideSmall);
        QStringList left = QStringList{"1.1", "1.2", "2.1", "2.2", "3.1", "3.2", "4.1"};
        for (const QString& place : hidden.split(','))
            left.removeAll(place);
        QCOMPARE(Shown(picker_), left);
        QCOMPARE(Find<QLabel>(picker_, "PickerCounts")->text(), counts);
        Find<QCheckBox>(picker_, "PickerEachOnce")->setChecked(false);
        Find<QCheckBox>(picker_, "PickerHideSmall")->setChecked(false);
        Find<QSpinBox>(picker_, "PickerMinWidth")->setValue(32);
        Find<QSpinBox>(picker_, "PickerMinHeight")->setValue(32);
    }

    // Arrows move, Space ticks, Ctrl+A ticks every picture shown, Enter
    // looks closer.
    void keys() {
        picker::PictureView* view = picker_->View();
        picker_->activateWindow();
        view->setFocus();
        view->setCurrentIndex(picker_->Shown()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Right);
        QCOMPARE(view->currentIndex().row(), 1);
        QTest::keyClick(view, Qt::Key_Space);
        QCOMPARE(Find<QLabel>(picker_, "PickerCounts")->text(),
                 QString("7 shown, 0 hidden, 1 ticked"));
        QTest::keyClick(view, Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(Find<QLabel>(picker_, "PickerCounts")->text(),
                 QString("7 shown, 0 hidden, 7 ticked"));
        Find<QPushButton>(picker_, "PickerNone")->click();
        QCOMPARE(Find<QLabel>(picker_, "PickerCounts")->text(),
                 QString("7 shown, 0 hidden, 0 ticked"));
        QVERIFY(!Find<QPushButton>(picker_, "PickerSave")->isEnabled());

        QTest::keyClick(view, Qt::Key_Return);
        picker::PictureCloser* closer = picker_->Closer();
        QVERIFY(closer && closer->isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(closer->Picture().size(), QSize(40, 30), 20000);
        QCOMPARE(closer->windowTitle(), QString("Page 1, picture 2, 40 × 30, Flate"));
        QVERIFY(!closer->ActualSize());
        closer->close();
    }

    // Two pictures ticked, one by Space and one by its check box, are saved
    // by the main window's job as `--only` saves them, byte for byte.
    void savesJustTheTicked_data() {
        QTest::addColumn<QString>("format");
        QTest::newRow("Original") << "Original";
        QTest::newRow("PNG") << "PNG";
    }
    void savesJustTheTicked() {
        QFETCH(QString, format);
        Session s(Pdf(), format);
        picker::PickerWindow* picker = s.OpenRead();
        QVERIFY(picker);
        picker->View()->setCurrentIndex(picker->Shown()->index(ShownRow(picker, "3.2"), 0));
        QTest::keyClick(picker->View(), Qt::Key_Space);
        ClickCheckBox(picker, ShownRow(picker, "1.1"));
        QCOMPARE(Find<QLabel>(picker, "PickerCounts")->text(),
                 QString("7 shown, 0 hidden, 2 ticked"));
        Find<QPushButton>(picker, "PickerSave")->click();
        QVERIFY(s.form->WorkerExists());
        QTRY_VERIFY_WITH_TIMEOUT(!s.form->WorkerExists(), 30000);
        QCOMPARE(s.Written().size(), 2);
        QCOMPARE(Find<QLabel>(s.form.get(), "sLabelStatus")->toolTip(),
                 QString("2 images written to %1").arg(s.outputDir.path()));

        QTemporaryDir terminal;
        const tooltest::Run run =
            tooltest::runTool(EXTRACT_PATH, {"--only=3.2,1.1", "-f", format.toLower(), "-p", "img-",
                                             "-q", Pdf(), terminal.path()});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(QDir(terminal.path()).entryList(QDir::Files), s.Written());
        for (const QString& name : s.Written())
            QVERIFY2(tooltest::fileBytes(s.outputDir.filePath(name)) ==
                         tooltest::fileBytes(QDir(terminal.path()).filePath(name)),
                     qPrintable(name));
    }

    // A dragged picture is made as a file of the main window's format, named
    // after its place.
    void dragMakesTheFile() {
        Session s(Pdf(), "PNG");
        picker::PickerWindow* picker = s.OpenRead();
        QVERIFY(picker);
        const QString path = picker->DragFile(ShownRow(picker, "3.2"));
        QCOMPARE(QFileInfo(path).fileName(), QString("img-3-2.png"));
        QCOMPARE(QImage(path).size(), QSize(50, 40));
    }

    // Which pictures keep their own bytes follows the main window's format;
    // what was ticked stays ticked.
    void formatChangeKeepsTheTicks() {
        auto* format = shared_->form->findChild<QComboBox*>("sComboBoxFormat");
        const auto marksOf = [&](const QString& place) {
            return picker_->Shown()
                ->index(ShownRow(picker_, place), 0)
                .data(picker::PictureModel::MarksRole)
                .toStringList();
        };
        picker_->Model()->SetTicked(picker_->Model()->RowOf({1, 2}), true);
        for (const QString name : {"BMP", "Original"}) {
            format->setCurrentText(name);
            QTRY_VERIFY_WITH_TIMEOUT(!picker_->Reading(), 20000);
            QCOMPARE(marksOf("1.1").contains("own bytes"), name == "Original");
            QCOMPARE(Find<QLabel>(picker_, "PickerCounts")->text(),
                     QString("7 shown, 0 hidden, 1 ticked"));
        }
        Find<QPushButton>(picker_, "PickerNone")->click();
    }

    // Closing the picker while its tool reads ends the tool.
    void closingStopsTheTool() {
        Session s(Pdf());
        QTemporaryDir tools;
        const QString pidFile = tools.filePath("tool.pid");
        testing::WriteScript(tools.path(), "glimmet.bin",
                             QString("echo $$ > '%1'\nexec sleep 600").arg(pidFile));
        s.context.appFolder = tools.path().toStdString() + "/";
        picker::PickerWindow* picker = s.Open();
        QVERIFY(picker);
        QTRY_VERIFY_WITH_TIMEOUT(testing::Running(pidFile), 10000);
        QVERIFY(picker->Reading());
        Find<QPushButton>(picker, "PickerClose")->click();
        QTRY_VERIFY(!s.form->Picker());
        QTRY_VERIFY_WITH_TIMEOUT(!testing::Running(pidFile), 5000);
    }
};

QTEST_MAIN(PickerTest)
#include "tst_picker.moc"
