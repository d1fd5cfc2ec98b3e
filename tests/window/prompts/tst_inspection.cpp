#include "ToolContract.h"
#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "inspect/DocumentInspection.h"
#include "support/TestSupport.h"
#include "text/IntegerText.h"
#include "toolkit/PathEdits.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString kHeader = "Couldn't read PDF header info!\r\nProbably this file is damaged!";
const QString kWrong = "Wrong password, please try it again!";
const QString kIncorrect = contract::kIncorrectPassword;
const QString kPassword = contract::kPasswordOption;

using testing::EchoPages;
using testing::PagesLine;

// Answers the prompt with scripted texts (null: cancel) and counts boxes.
class ScriptedUi : public inspect::InspectionUi {
public:
    explicit ScriptedUi(QStringList answers) : answers_(std::move(answers)) {}
    bool AskPassword(std::string& value) override {
        events << "prompt";
        if (answers_.isEmpty() || answers_.front().isNull()) {
            if (!answers_.isEmpty())
                answers_.pop_front();
            return false;
        }
        value = answers_.takeFirst().toStdString();
        return true;
    }
    void ShowWrongPassword() override { events << "wrong"; }
    void ShowHeaderWarning() override { events << "header"; }
    void ShowTookTooLong(const std::string& path) override {
        events << "too long " + QString::fromStdString(path);
    }
    QStringList events;

private:
    QStringList answers_;
};

// A fake tool that accepts only `password`.
inspect::InformationTool Protected(const std::string& password, const std::string& accepted,
                                   std::vector<std::vector<std::string>>* calls) {
    return [=](const std::vector<std::string>& args) {
        calls->push_back(args);
        if (args.size() == 3 && args[1] == password)
            return accepted;
        return kIncorrect.toStdString() + "\n";
    };
}

void TypeAndPress(QWidget* dialog, const QString& typed, Qt::Key key) {
    auto* edit = dialog->findChild<QLineEdit*>("Value");
    QTest::keyClicks(edit, typed);
    QTest::keyClick(edit, key);
}

} // namespace

class InspectionTest : public QObject {
    Q_OBJECT
    app::AppContext context_; // one for every window, as in one run of the program

private slots:
    // --- the rules, against canned outputs ---------------------------------
    void pageCount_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<bool>("found");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("plain") << "Title: x\n" + PagesLine("          12\n") << true << 12
                               << QStringList{};
        QTest::newRow("blanks around")
            << "   " + PagesLine("   7   \r\n") << true << 7 << QStringList{};
        QTest::newRow("last of two wins")
            << PagesLine(" 3\n") + PagesLine(" 5\n") << true << 5 << QStringList{};
        QTest::newRow("apostrophe title")
            << "Title: Year's report\n" + PagesLine(" 9\n") << true << 9 << QStringList{};
        QTest::newRow("no pages line") << "Syntax Error: broken xref\n"
                                       << false << 0 << QStringList{"header"};
        QTest::newRow("nothing printed") << "" << false << 0 << QStringList{"header"};
        QTest::newRow("ended by the time limit")
            << "'/x/vellam.bin' did not finish within 60 seconds and was ended\n"
            << false << 0 << QStringList{"too long /d/a.pdf"};
        QTest::newRow("ended by its processor budget")
            << "Error: /d/a.pdf: gave up after 300 s of processor time\n"
            << false << 0 << QStringList{"too long /d/a.pdf"};
        QTest::newRow("a title that ends alike, and no pages line")
            << "Title: gave up after 300 s of processor time\nSyntax Error: broken xref\n"
            << false << 0 << QStringList{"header"};
        QTest::newRow("case matters")
            << PagesLine(" 3\n").toLower() << false << 0 << QStringList{"header"};
        QTest::newRow("incorrect password not first") << "x\n" + kIncorrect + "\n"
                                                      << false << 0 << QStringList{"header"};
    }
    void pageCount() {
        QFETCH(QString, output);
        QFETCH(bool, found);
        QFETCH(int, pages);
        QFETCH(QStringList, events);
        ScriptedUi ui({});
        std::string password = "left over";
        const auto result = inspect::InspectDocument(
            "/d/a.pdf", [&](const std::vector<std::string>&) { return output.toStdString(); }, ui,
            password);
        QCOMPARE(result.found, found);
        if (found)
            QCOMPARE(result.pageCount, pages);
        QCOMPARE(ui.events, events);
        QCOMPARE(password, std::string());
    }

    void badPageCountRaises_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<QString>("message");
        QTest::newRow("bare") << PagesLine("\n") << "'' is not a valid integer value";
        QTest::newRow("word") << PagesLine(" many\n") << "'many' is not a valid integer value";
        QTest::newRow("too big") << PagesLine(" 99999999999\n")
                                 << "'99999999999' is not a valid integer value";
    }
    void badPageCountRaises() {
        QFETCH(QString, output);
        QFETCH(QString, message);
        ScriptedUi ui({});
        std::string password;
        try {
            inspect::InspectDocument(
                "/d/a.pdf", [&](const std::vector<std::string>&) { return output.toStdString(); },
                ui, password);
            QFAIL("no error");
        } catch (const text::ConvertError& e) {
            QCOMPARE(QString(e.what()), message);
        }
    }

    void passwordDialogue_data() {
        QTest::addColumn<QStringList>("answers"); // null string: Cancel
        QTest::addColumn<bool>("found");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QStringList>("events");
        QTest::newRow("right at once")
            << QStringList{"s e"} << true << "s e" << QStringList{"prompt"};
        QTest::newRow("wrong then right")
            << QStringList{"x", "s e"} << true << "s e" << QStringList{"prompt", "wrong", "prompt"};
        QTest::newRow("cancel first")
            << QStringList{QString()} << false << "" << QStringList{"prompt"};
        QTest::newRow("blank gives up")
            << QStringList{"  "} << false << "  " << QStringList{"prompt"};
        QTest::newRow("wrong then cancel") << QStringList{"x", QString()} << false << ""
                                           << QStringList{"prompt", "wrong", "prompt"};
    }
    void passwordDialogue() {
        QFETCH(QStringList, answers);
        QFETCH(bool, found);
        QFETCH(QString, password);
        QFETCH(QStringList, events);
        ScriptedUi ui(answers);
        std::vector<std::vector<std::string>> calls;
        std::string documentPassword;
        const auto result = inspect::InspectDocument(
            "/d/a b.pdf", Protected("s e", PagesLine(" 2\n").toStdString(), &calls), ui,
            documentPassword);
        QCOMPARE(result.found, found);
        QCOMPARE(QString::fromStdString(documentPassword), password);
        QCOMPARE(ui.events, events);
        QCOMPARE(calls.front(), (std::vector<std::string>{"/d/a b.pdf"}));
        if (found)
            QCOMPARE(calls.back(),
                     (std::vector<std::string>{contract::kPasswordOption, "s e", "/d/a b.pdf"}));
    }

    void pdfNames_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("pdf");
        QTest::newRow("lower") << "/d/a.pdf" << true;
        QTest::newRow("upper") << "/d/a.PDF" << true;
        QTest::newRow("mixed") << "/d/a.Pdf" << true;
        QTest::newRow("double") << "/d/a.pdf.txt" << false;
        QTest::newRow("none") << "/d/a" << false;
        QTest::newRow("dotted folder") << "/d.pdf/a" << false;
        QTest::newRow("empty") << "" << false;
    }
    void pdfNames() {
        QFETCH(QString, name);
        QFETCH(bool, pdf);
        QCOMPARE(inspect::IsPdfName(name.toStdString()), pdf);
    }

    void autoOutputFolder_data() {
        QTest::addColumn<QString>("document");
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("nested") << "/home/u/Scans/a.pdf" << QStringList{"/home/u/Scans"};
        QTest::newRow("root") << "/a.pdf" << QStringList{"/"};
        QTest::newRow("two characters") << "/d/a.pdf" << QStringList{"/d", "/d/"};
    }
    void autoOutputFolder() {
        QFETCH(QString, document);
        QFETCH(QStringList, steps);
        QStringList got;
        for (const std::string& s : inspect::AutoOutputFolderSteps(document.toStdString()))
            got << QString::fromStdString(s);
        QCOMPARE(got, steps);
    }

    // --- the window, with fake tools ---------------------------------------
    void window_data() {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("pages"); // empty: the input was reset
        QTest::addColumn<QStringList>("boxes");
        QTest::newRow("accepted") << EchoPages("          12") << "12" << QStringList{};
        QTest::newRow("damaged") << "echo 'Syntax Error: no trailer'; exit 1"
                                 << "" << QStringList{kHeader};
        QTest::newRow("silent") << "exit 0"
                                << "" << QStringList{kHeader};
        QTest::newRow("crashing") << "kill -SEGV $$"
                                  << "" << QStringList{kHeader};
    }
    void window() {
        QFETCH(QString, script);
        QFETCH(QString, pages);
        QFETCH(QStringList, boxes);
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::TMainForm form(context_);
        form.show();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, script);
        context_.appFolder = tools.path().toStdString() + "/";
        testing::ModalAnswerer answerer;
        for (int i = 0; i < boxes.size(); ++i)
            answerer.Next(testing::Press(Qt::Key_Return));
        auto* input = form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput");
        auto* range = form.findChild<QLineEdit*>("sEditPageRange");
        auto* output = form.findChild<toolkit::TDirectoryEdit*>("sDirectoryEditOutput");
        range->setText("2-3");
        input->setText("/home/u/Scans/a.pdf");
        QCOMPARE(answerer.Seen(), boxes);
        QCOMPARE(form.findChild<QLineEdit*>("sEditPageCount")->text(), pages);
        QCOMPARE(form.focusWidget(), form.findChild<QPushButton*>("sBitBtnStart"));
        if (pages.isEmpty()) {
            QCOMPARE(input->text(), QString());
            QCOMPARE(input->toolTip(), QString("Click here to select input PDF file"));
            QCOMPARE(range->text(), QString());
            QCOMPARE(output->text(), QString());
        } else {
            QCOMPARE(input->toolTip(), QString("/home/u/Scans/a.pdf"));
            QCOMPARE(range->text(), QString("2-3"));
            QCOMPARE(output->text(), QString("/home/u/Scans"));
        }
    }

    void windowWithoutAutoSetKeepsTheFolder() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::TMainForm form(context_);
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, EchoPages(" 1"));
        context_.appFolder = tools.path().toStdString() + "/";
        form.findChild<QAction*>("AutoSetOutputFolder")->trigger();
        auto* output = form.findChild<toolkit::TDirectoryEdit*>("sDirectoryEditOutput");
        output->setText("/keep");
        form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText("/d/a.pdf");
        QCOMPARE(output->text(), QString("/keep"));
    }

    void windowNotAPdfRunsNothing() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::TMainForm form(context_);
        QTemporaryDir tools;
        const QString marker = tools.filePath("ran");
        testing::WriteScript(tools.path(), contract::kInformationTool,
                             "touch '" + marker + "'; " + EchoPages(" 1"));
        context_.appFolder = tools.path().toStdString() + "/";
        form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText("/d/a.pdf.txt");
        QCOMPARE(form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->text(), QString());
        QVERIFY(!QFile::exists(marker));
    }

    void windowBadCountGoesToTheErrorReport() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        QApplication::setApplicationDisplayName("Arvenzo");
        app::TMainForm form(context_);
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool, EchoPages(""));
        context_.appFolder = tools.path().toStdString() + "/";
        auto* count = form.findChild<QLineEdit*>("sEditPageCount");
        count->setText("8");
        testing::ModalAnswerer answerer;
        answerer.Next(testing::Press(Qt::Key_Return));
        auto* input = form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput");
        input->setText("/d/a.pdf");
        QCOMPARE(answerer.Seen(), QStringList{"'' is not a valid integer value."});
        QCOMPARE(answerer.Titles(), QStringList{"Arvenzo"});
        QCOMPARE(input->text(), QString("/d/a.pdf"));
        QCOMPARE(count->text(), QString("8"));
    }

    void windowPasswordRoundTrip() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::TMainForm form(context_);
        form.show();
        QTemporaryDir tools;
        // Accepts "x & touch pwned" only if it arrives as one argument.
        testing::WriteScript(tools.path(), contract::kInformationTool,
                             QString("if [ \"$1\" = %1 ] && [ \"$2\" = 'x & touch pwned' ]; then "
                                     "%2; else echo '%3'; exit 1; fi")
                                 .arg(kPassword, EchoPages(" 4"), kIncorrect));
        context_.appFolder = tools.path().toStdString() + "/";
        testing::ModalAnswerer answerer;
        answerer.Next([](QWidget* d) { TypeAndPress(d, "wrong", Qt::Key_Return); });
        answerer.Next(testing::Press(Qt::Key_Return));
        answerer.Next([](QWidget* d) { TypeAndPress(d, "x & touch pwned", Qt::Key_Return); });
        form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText("/d/locked.pdf");
        QCOMPARE(answerer.Seen(), (QStringList{"Password needed", kWrong, "Password needed"}));
        QCOMPARE(form.findChild<QLineEdit*>("sEditPageCount")->text(), QString("4"));
        QCOMPARE(context_.documentPassword, std::string("x & touch pwned"));
        QVERIFY(!QFile::exists(tools.filePath("pwned")));
        QVERIFY(!QFile::exists(QDir::current().filePath("pwned")));
    }

    void windowPasswordCancelled() {
        testing::TestEnvironment env;
        env.WriteArvenzoRecord();
        app::TMainForm form(context_);
        QTemporaryDir tools;
        testing::WriteScript(tools.path(), contract::kInformationTool,
                             QString("echo '%1'").arg(kIncorrect));
        context_.appFolder = tools.path().toStdString() + "/";
        testing::ModalAnswerer answerer;
        answerer.Next([](QWidget* d) { TypeAndPress(d, "abc", Qt::Key_Escape); });
        form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->setText("/d/locked.pdf");
        QCOMPARE(answerer.Seen(), QStringList{"Password needed"});
        QCOMPARE(form.findChild<toolkit::TFilenameEdit*>("sFilenameEditInput")->text(), QString());
        QCOMPARE(context_.documentPassword, std::string());
    }
};

QTEST_MAIN(InspectionTest)
#include "tst_inspection.moc"
