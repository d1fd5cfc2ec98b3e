#include "ToolContract.h"
#include "inspect/ExecuteCMD.h"
#include "platform/ConsoleTool.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>
#include <atomic>
#include <thread>

using Lines = QStringList;

class RunnerTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::string folder_;

    QString Run(const QString& tool, const std::vector<std::string>& args = {},
                std::chrono::milliseconds timeout = std::chrono::milliseconds{0}) {
        return QString::fromStdString(
            inspect::RunConsoleTool(tool.toStdString(), args, folder_, timeout));
    }

private slots:
    void initTestCase() { folder_ = dir_.path().toStdString() + "/"; }

    void emptyOutput() {
        testing::WriteScript(dir_.path(), "quiet", "exit 0");
        QCOMPARE(Run("quiet"), QString());
    }

    void missingToolComplains() {
        const QString out = Run(contract::kInformationTool);
        QVERIFY(!out.isEmpty());
        QVERIFY(out.contains(contract::kInformationTool));
        QCOMPARE(inspect::OutputLines(out.toStdString()).size(), std::size_t{1});
    }

    void longOutputWholeAndInOrder() {
        testing::WriteScript(dir_.path(), "long",
                             "i=0; while [ $i -lt 100 ]; do printf '%09d\\n' $i; i=$((i+1)); done");
        QString expected;
        for (int i = 0; i < 100; ++i)
            expected += QString("%1\n").arg(i, 9, 10, QChar('0'));
        QCOMPARE(expected.size(), 1000);
        QCOMPARE(Run("long"), expected);
    }

    void standardErrorInterleaved() {
        testing::WriteScript(dir_.path(), "both",
                             "echo one; echo two >&2; echo three; echo four >&2");
        QCOMPARE(Run("both"), QString("one\ntwo\nthree\nfour\n"));
    }

    void runsInTheToolFolder() {
        testing::WriteScript(dir_.path(), "where", "pwd");
        QCOMPARE(Run("where"), QDir(dir_.path()).canonicalPath() + "\n");
    }

    void returnsAfterTheToolHasEnded() {
        const QString marker = dir_.filePath("ended");
        testing::WriteScript(dir_.path(), "slow",
                             "echo done; exec 1>&- 2>&-; sleep 1; touch '" + marker + "'");
        QCOMPARE(Run("slow"), QString("done\n"));
        QVERIFY(QFile::exists(marker));
    }

    void crashIsNotSilence() {
        testing::WriteScript(dir_.path(), "crash", "kill -SEGV $$");
        const QString out = Run("crash");
        QVERIFY2(out.contains("signal 11"), qPrintable(out));
    }

    void hangIsEnded() {
        testing::WriteScript(dir_.path(), "hang", "echo started; exec sleep 30");
        QElapsedTimer clock;
        clock.start();
        const QString out = Run("hang", {}, std::chrono::milliseconds{500});
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(out.startsWith("started\n"));
        QVERIFY(out.contains("did not finish"));
    }

    // What the tool started goes with it.
    void abandonEndsTheTool() {
        const QString child = dir_.filePath("child");
        testing::WriteScript(dir_.path(), "stuck",
                             "sleep 30 & echo $! > '" + child + "'; echo started; exec sleep 30");
        std::atomic<bool> abandon{false};
        std::thread later([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(300));
            abandon = true;
        });
        QElapsedTimer clock;
        clock.start();
        const QString out = QString::fromStdString(inspect::RunConsoleTool(
            "stuck", {}, folder_, std::chrono::milliseconds{0}, [&] { return abandon.load(); }));
        later.join();
        QVERIFY(clock.elapsed() < 10000);
        QVERIFY(out.startsWith("started\n"));
        QVERIFY(out.contains("was ended"));
        QTRY_VERIFY(!testing::Running(child));
    }

    void argumentsArriveWhole_data() {
        QTest::addColumn<QString>("argument");
        QTest::newRow("command") << "x & touch pwned";
        QTest::newRow("blanks") << "two words  ";
        QTest::newRow("quotes") << "a\"b'c";
        QTest::newRow("shell characters") << "|<>^%$(touch pwned)`touch pwned`;";
        QTest::newRow("empty") << "";
    }
    void argumentsArriveWhole() {
        QFETCH(QString, argument);
        QTemporaryDir work;
        testing::WriteScript(work.path(), "args", "for a in \"$@\"; do printf '[%s]' \"$a\"; done");
        const std::string folder = work.path().toStdString() + "/";
        const QString out = QString::fromStdString(inspect::RunConsoleTool(
            "args", {contract::kPasswordOption, argument.toStdString(), "/d/a b.pdf"}, folder));
        QCOMPARE(out, QString("[%1][%2][/d/a b.pdf]").arg(contract::kPasswordOption, argument));
        QVERIFY(!QFile::exists(work.filePath("pwned")));
    }

    // A tool talked with reads what it is sent; its lines come back one by
    // one, a long one in pieces; and how it ended is told.
    void sessionTalks_data() {
        QTest::addColumn<QString>("script"); // empty: a tool that does not exist
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QString>("note");
        const QString megabyte(int(platform::kLongestToolLine), 'a');
        QTest::newRow("reads what it is sent")
            << "while read -r l; do echo \"got $l\"; done" << Lines{"got a b", "got c"} << "";
        QTest::newRow("last line without its end") << "printf 'x\\r\\ny'" << Lines{"x", "y"} << "";
        QTest::newRow("a long line in pieces")
            << "head -c 2097152 /dev/zero | tr '\\0' a; echo" << Lines{megabyte, megabyte} << "";
        QTest::newRow("a crash is told")
            << "echo before; kill -SEGV $$" << Lines{"before"} << "was ended by signal 11";
        QTest::newRow("a tool that cannot start") << "" << Lines{} << "could not be started";
    }
    void sessionTalks() {
        QFETCH(QString, script);
        QFETCH(Lines, lines);
        QFETCH(QString, note);
        const QString program = script.isEmpty()
                                    ? dir_.filePath("no-such-tool")
                                    : testing::WriteScript(dir_.path(), "talk", script);
        platform::ToolSession session(program.toStdString(), {}, folder_);
        session.Send("a b\nc\n");
        session.EndInput();
        Lines got;
        for (std::string line; session.NextLine(line);)
            got << QString::fromStdString(line);
        QCOMPARE(got, lines);
        const QString told = QString::fromStdString(session.EndNote());
        QVERIFY2(note.isEmpty() ? told.isEmpty() : told.contains(note), qPrintable(told));
    }

    void outputLines_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<Lines>("lines");
        QTest::newRow("crlf") << "a\r\nb\r\n" << Lines{"a", "b"};
        QTest::newRow("empty lines dropped") << "\n\na\n\n" << Lines{"a"};
        QTest::newRow("blanks kept") << "  Pages:  3  \n" << Lines{"  Pages:  3  "};
        QTest::newRow("apostrophe stays on its line") << "Title: Year's report\nPages: 3\n"
                                                      << Lines{"Title: Year's report", "Pages: 3"};
        QTest::newRow("no end") << "last" << Lines{"last"};
        QTest::newRow("nothing") << "" << Lines{};
    }
    void outputLines() {
        QFETCH(QString, output);
        QFETCH(Lines, lines);
        Lines got;
        for (const std::string& l : inspect::OutputLines(output.toStdString()))
            got << QString::fromStdString(l);
        QCOMPARE(got, lines);
    }
};

QTEST_GUILESS_MAIN(RunnerTest)
#include "tst_runner.moc"
