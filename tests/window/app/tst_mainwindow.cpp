#include "ToolContract.h"
#include "WindowTests.h"
#include "app/MainWindow.h"
#include "support/TestSupport.h"
#include "toolkit/ClickableLabel.h"
#include "toolkit/PathEdits.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

std::optional<QString> Cancelled(QWidget*, const QString&) {
    return std::nullopt;
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<WindowUnderTest> window_;
    QTemporaryDir tools_;

    template <class T> T* Find(const char* name) {
        T* child = window_->form->findChild<T*>(name);
        if (!child)
            qFatal("no %s", name);
        return child;
    }
    toolkit::TFilenameEdit* Input() { return Find<toolkit::TFilenameEdit>("sFilenameEditInput"); }
    toolkit::TDirectoryEdit* Output() {
        return Find<toolkit::TDirectoryEdit>("sDirectoryEditOutput");
    }
    QStringList Opened() const {
        QStringList out;
        for (const std::string& t : window_->shell.Targets())
            out << QString::fromStdString(t);
        return out;
    }

private slots:
    void init() {
        window_ = std::make_unique<WindowUnderTest>();
        // Every document these tests choose reads as a three-page PDF.
        testing::WriteScript(tools_.path(), contract::kInformationTool, testing::EchoPages(" 3"));
        window_->context.appFolder = tools_.path().toStdString() + "/";
        QVERIFY(window_->ShowActive());
    }
    void cleanup() { window_.reset(); }

    void layout() {
        QCOMPARE(Find<QWidget>("ClientArea")->size(), QSize(496, 266));
        QCOMPARE(Find<QWidget>("Panel1")->geometry(), QRect(0, 0, 85, 242));
        QCOMPARE(Find<QWidget>("sPanel1")->geometry(), QRect(85, 0, 411, 242));
        QCOMPARE(Find<QWidget>("sStatusBar1")->geometry(), QRect(0, 242, 496, 24));
        QCOMPARE(Input()->geometry(), QRect(6, 18, 361, 21));
        QCOMPARE(Output()->geometry(), QRect(43, 18, 324, 21));
        QCOMPARE(Find<QPushButton>("sBitBtnStart")->geometry(), QRect(212, 186, 180, 50));
        QCOMPARE(Find<QPushButton>("sBitBtnStart")->text(), QString("Start extraction"));
        QVERIFY(!Find<QPushButton>("sBitBtnPlayVideo")->isVisible());
        QVERIFY(Find<QCheckBox>("sCheckBoxOpenAfter")->isChecked());
        auto* format = Find<QComboBox>("sComboBoxFormat");
        QCOMPARE(format->currentText(), QString("Original"));
        QCOMPARE(format->count(), 6);
        QCOMPARE(format->itemText(3), QString("JPEG-2000"));
        QVERIFY(!format->isEditable()); // a typed name would write TIFF under it
        QVERIFY(Find<QLineEdit>("sEditPageCount")->isReadOnly());
        QCOMPARE(Input()->toolTip(), QString("Select input PDF file"));
        QCOMPARE(Output()->toolTip(), QString("Select output folder"));
        QCOMPARE(Find<QLineEdit>("sEditOutputPrefix")->toolTip(),
                 QString("Output filename's prefix<br><i>Example:</i> image-"));
        QCOMPARE(Input()->toolTipDuration(), 10000);
    }

    void menus() {
        const struct {
            const char* item;
            const char* caption;
            const char* shortcut;
        } rows[] = {{"InputPDF", "Input PDF file", "Ctrl+I"},
                    {"OutputFolder", "Output folder", "Ctrl+O"},
                    {"StartConversion1", "Start extraction", "Ctrl+S"},
                    {"Exit", "Exit", "Ctrl+W"},
                    {"AutoSetOutputFolder", "Auto set output folder", ""},
                    {"Website", "Website", ""},
                    {"Videotutorial1", "Video tutorial", ""},
                    {"Feedback1", "Feedback", ""},
                    {"GetProVersion1", "Start Pro version", ""},
                    {"Howtoextracttextcontent1", "How to extract text?", ""},
                    {"Donate1", "Donate", "Ctrl+D"},
                    {"About1", "About", "Ctrl+B"}};
        for (const auto& row : rows) {
            auto* action = Find<QAction>(row.item);
            QCOMPARE(action->text(), QString(row.caption));
            QCOMPARE(action->shortcut(), QKeySequence(row.shortcut));
        }
        QVERIFY(!Find<QAction>("Videotutorial1")->isVisible());
        auto* autoSet = Find<QAction>("AutoSetOutputFolder");
        QVERIFY(autoSet->isChecked());
        autoSet->trigger();
        QVERIFY(!autoSet->isChecked());
        QStringList titles;
        for (QAction* a : window_->form->menuBar()->actions())
            titles << a->text();
        QCOMPARE(titles, (QStringList{"File", "Edit", "Help"}));
    }

    void clickInInputClearsThenPicks() {
        Input()->setText("/d/a.pdf");
        Find<QLineEdit>("sEditPageCount")->setText("3");
        Find<QLineEdit>("sEditPageRange")->setText("1-2");
        QString startSeen = "unset";
        Input()->setPicker([&](QWidget*, const QString& s) -> std::optional<QString> {
            startSeen = s;
            return std::nullopt;
        });
        QTest::mouseClick(Input()->lineEdit(), Qt::LeftButton);
        QCOMPARE(startSeen, QString()); // cleared before the picker opened
        QCOMPARE(Input()->text(), QString());
        QCOMPARE(Find<QLineEdit>("sEditPageCount")->text(), QString());
        QCOMPARE(Find<QLineEdit>("sEditPageRange")->text(), QString());
        QCOMPARE(Input()->toolTip(), QString("Click here to select input PDF file"));
        QVERIFY(Find<QPushButton>("sBitBtnStart")->hasFocus());
    }

    void shortcutPickerKeepsDocument() {
        Input()->setText("/d/a.pdf");
        Input()->setPicker(Cancelled);
        QTest::keyClick(window_->form.get(), Qt::Key_I, Qt::ControlModifier);
        QCOMPARE(Input()->text(), QString("/d/a.pdf"));
        Input()->browseButton()->click();
        QCOMPARE(Input()->text(), QString("/d/a.pdf"));
    }

    void outputHintLifeCycle() {
        QTemporaryDir chosen;
        QStringList picks{chosen.path()};
        Output()->setPicker([&](QWidget*, const QString&) -> std::optional<QString> {
            if (picks.isEmpty())
                return std::nullopt;
            return picks.takeFirst();
        });
        QTest::keyClick(window_->form.get(), Qt::Key_O, Qt::ControlModifier);
        QCOMPARE(Output()->text(), chosen.path());
        QCOMPARE(Output()->toolTip(), chosen.path());
        QTest::mouseClick(Output()->lineEdit(), Qt::LeftButton); // clears, cancelled
        QCOMPARE(Output()->text(), chosen.path());               // the last choice comes back
        Output()->setText("   ");
        QCOMPARE(Output()->toolTip(), QString("Click here to specify the output folder"));
        Output()->setText(" /x ");
        QCOMPARE(Output()->toolTip(), QString(" /x "));
        QVERIFY(Find<QPushButton>("sBitBtnStart")->hasFocus());
    }

    void openButtons() {
        auto* openPdf = Find<QAbstractButton>("sButtonOpenPDF");
        auto* openFolder = Find<QAbstractButton>("sButtonOpenFolder");
        openPdf->click();
        openFolder->click();
        QVERIFY(Opened().isEmpty());
        Input()->setText("/d/missing.pdf");
        Output()->setText("/d/missing");
        openPdf->click();
        openFolder->click();
        QCOMPARE(Opened(), (QStringList{"/d/missing.pdf", "/d/missing"}));
    }

    void webLabelKeepsItsRightEnd() {
        auto* label = Find<toolkit::ClickableLabel>("sLabelFXWebpage");
        QCOMPARE(label->text(), QString("tessaly.example"));
        const int right = window_->form->frameGeometry().width() - 20;
        QCOMPARE(label->x() + label->width(), right);
        label->setText("a-much-longer-address.tessaly.example");
        label->adjustSize();
        window_->form->ResizeMainForm();
        QCOMPARE(label->x() + label->width(), right);
    }

    void directLinks() {
        QTest::mouseClick(Find<QWidget>("sLabelFXWebpage"), Qt::LeftButton);
        Find<QAction>("Website")->trigger();
        QTest::mouseClick(Find<QWidget>("Image1"), Qt::LeftButton);
        window_->context.website = "http://tessaly.example/arvenzo.html?ref=1";
        QTest::mouseClick(Find<QWidget>("Image1"), Qt::LeftButton);
        QCOMPARE(Opened(), (QStringList{"http://tessaly.example/arvenzo.html",
                                        "http://tessaly.example/arvenzo.html",
                                        "http://tessaly.example/arvenzo.html?social=fb",
                                        "http://tessaly.example/arvenzo.html?ref=1?social=fb"}));
    }

    void confirmedLinks_data() {
        const char* const donate = "Donate this FREE software!";
        const char* const donation = "http://tessaly.example/donate-free-software.html";
        NameTable<3>({"trigger", "firstLine", "address"},
                     {{"Feedback1", "Feedback", "mailto:feedback@tessaly.example"},
                      {"Howtoextracttextcontent1", "How to extract text content from PDF files?",
                       "http://tessaly.example/sarnet.html"},
                      {"Donate1", donate, donation},
                      {"ImageDonate", donate, donation}});
    }
    void confirmedLinks() {
        QFETCH(QString, trigger);
        QFETCH(QString, firstLine);
        QFETCH(QString, address);
        const auto fire = [&] {
            if (auto* action = window_->form->findChild<QAction*>(trigger))
                action->trigger();
            else
                QTest::mouseClick(Find<QWidget>(qPrintable(trigger)), Qt::LeftButton);
        };
        testing::ModalAnswerer answerer;
        for (const auto& no :
             {testing::Click("Cancel"), testing::Press(Qt::Key_Escape), testing::CloseBox()}) {
            answerer.Next(no);
            fire();
        }
        QVERIFY(Opened().isEmpty());
        answerer.Next(testing::Press(Qt::Key_Return));
        fire();
        QCOMPARE(Opened(), QStringList{address});
        QCOMPARE(answerer.Titles().value(0), QString("Information"));
        QVERIFY(answerer.Seen().value(0).startsWith(firstLine + "\r\n\r\n  "));
        QVERIFY(answerer.Seen().value(0).endsWith("!\r\n") ||
                answerer.Seen().value(0).endsWith(".\r\n"));
    }

    void donationTextHasTheEuroSign() {
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Click("Cancel"));
        QTest::keyClick(window_->form.get(), Qt::Key_D, Qt::ControlModifier);
        QCOMPARE(answerer.Seen().value(0),
                 QString::fromUtf8("Donate this FREE software!\r\n\r\n"
                                   "  If you like Arvenzo you may like to\r\n"
                                   "  donate the very small sum of $15.00 or €15.00 on PayPal\r\n"
                                   "  to help us keep developing and updating. Thank you!\r\n\r\n"
                                   "  Click on OK button to donate.\r\n"));
    }

    void dropOnlyOnTheInputEdit() {
        QVERIFY(Input()->acceptDrops());
        QVERIFY(!window_->form->acceptDrops());
        QVERIFY(!Output()->acceptDrops());
    }
};

QTEST_MAIN(MainWindowTest)
#include "tst_mainwindow.moc"
