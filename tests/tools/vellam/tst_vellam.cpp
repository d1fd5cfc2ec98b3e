// vellam.bin against the fixture PDFs, read the way the program reads it:
// the page-count line, the first line for a missing or wrong password, and
// nothing else relied upon.

#include "ToolContract.h"
#include "support/ToolTests.h"

#include <QRegularExpression>
#include <QTest>
#include <cstring>

using tooltest::Run;

namespace {

const QString kVellam = QStringLiteral(VELLAM_PATH);
const QByteArray kIncorrectPassword = contract::kIncorrectPassword;
const QString kPassword = contract::kPasswordOption;

// The page counts of every page-count line, as the program finds them.
QList<int> pageCounts(const Run& r) {
    QList<int> counts;
    for (const QByteArray& line : r.lines()) {
        QByteArray t = line.trimmed();
        if (!t.startsWith(contract::kPagesLabel))
            continue;
        bool ok = false;
        int n = t.mid(std::strlen(contract::kPagesLabel)).trimmed().toInt(&ok);
        counts << (ok ? n : -1);
    }
    return counts;
}

// The value of the field with that label, or a null array.
QByteArray field(const Run& r, const QByteArray& label) {
    for (const QByteArray& line : r.lines())
        if (line.startsWith(label + ":"))
            return line.mid(label.size() + 1).trimmed();
    return {};
}

} // namespace

class TestVellam : public QObject {
    Q_OBJECT

private:
    tooltest::Fixtures fx;

private slots:
    void initTestCase() { QVERIFY(fx.make(QStringLiteral(MAKE_FIXTURES_PATH))); }

    void readableDocuments_data() {
        QTest::addColumn<QString>("pdf");
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<int>("pages");
        QTest::addColumn<QByteArray>("encrypted"); // how the field begins
        QTest::addColumn<QByteArray>("title");

        int imagePages = 0;
        for (const auto& page : fx.pages)
            imagePages += page.first == "images.pdf";
        QTest::newRow("images") << "images.pdf" << QStringList{} << imagePages << QByteArray("no")
                                << QByteArray();
        QTest::newRow("1000 pages")
            << "text1000.pdf" << QStringList{} << 1000 << QByteArray("no") << QByteArray();
        QTest::newRow("apostrophe in the title") << "apostrophe.pdf" << QStringList{} << 12
                                                 << QByteArray("no") << QByteArray("Year's report");
        QTest::newRow("owner password only, none given")
            << "owner-password.pdf" << QStringList{} << 4 << QByteArray("yes")
            << QByteArray("Locked");
        QTest::newRow("user password")
            << "user-password.pdf" << QStringList{kPassword, "open sesame"} << 4
            << QByteArray("yes") << QByteArray("Locked");
        QTest::newRow("owner password opens too")
            << "user-password.pdf" << QStringList{kPassword, "master key"} << 4 << QByteArray("yes")
            << QByteArray("Locked");
        QTest::newRow("password not needed") << "multipage.pdf" << QStringList{kPassword, "x"} << 4
                                             << QByteArray("no") << QByteArray();
        QTest::newRow("repaired cross-reference")
            << "repairable.pdf" << QStringList{} << 2 << QByteArray("no") << QByteArray();
        // The pages that are there, whatever the page tree's /Count claims.
        const QList<QPair<const char*, int>> lyingTrees = {
            {"count-million.pdf", 1},  {"count-max.pdf", 1}, {"count-2-32.pdf", 1},
            {"count-negative.pdf", 2}, {"tree-loop.pdf", 2}, {"inner-lie.pdf", 2},
            {"count-short.pdf", 2},    {"count-over.pdf", 1}};
        for (const auto& [pdf, pages] : lyingTrees)
            QTest::newRow(pdf) << pdf << QStringList{} << pages << QByteArray("no") << QByteArray();
        // MuPDF rebuilds the table of a cross-reference stream whose /W
        // would have it read thousands of millions of bytes an entry, or
        // whose /Size would have it make room for millions it does not hold.
        for (const char* pdf :
             {"xref-stream.pdf", "xref-wide.pdf", "xref-all-wide.pdf", "xref-many-entries.pdf"})
            QTest::newRow(pdf) << pdf << QStringList{} << 1 << QByteArray("no") << QByteArray();
    }
    void readableDocuments() {
        QFETCH(QString, pdf);
        QFETCH(QStringList, options);
        QFETCH(int, pages);
        QFETCH(QByteArray, encrypted);
        QFETCH(QByteArray, title);

        // None of them takes a sizeable part of a second.
        Run r = tooltest::runTool(kVellam, options << fx.path(pdf), {}, {"ARVENZO_CPU_SECONDS=1"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(pageCounts(r), QList<int>{pages});
        QVERIFY2(field(r, "Encrypted").startsWith(encrypted), r.output.constData());
        QCOMPARE(field(r, "Title"), title);
        // Fields only: no warning of MuPDF's has slipped in.
        static const QRegularExpression fieldLine("^[A-Za-z ]+: +\\S");
        for (const QByteArray& line : r.lines())
            QVERIFY2(fieldLine.match(QString::fromUtf8(line)).hasMatch(), line.constData());
    }

    // Quotes are printed as they are, and a line break in a field cannot
    // forge a line of its own.
    void fieldsStayOnTheirLine() {
        Run r = tooltest::runTool(kVellam, {fx.path("apostrophe.pdf")});
        QCOMPARE(field(r, "Author"), QByteArray("Ann \"Nan\" O'Neil"));
        QCOMPARE(field(r, "Subject"), QByteArray("Line one Pages: 99"));
        QCOMPARE(pageCounts(r), QList<int>{12});
        // The count comes before any text a document's author wrote.
        QVERIFY(r.output.indexOf(contract::kPagesLabel) < r.output.indexOf("Title:"));
    }

    void refusedDocuments_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("firstLine"); // empty: one line of any complaint
        QTest::addColumn<int>("exitCode");
        auto at = [this](const char* name) { return fx.path(name); };
        QTest::newRow("no password")
            << QStringList{at("user-password.pdf")} << kIncorrectPassword << 3;
        QTest::newRow("wrong password")
            << QStringList{kPassword, "open", at("user-password.pdf")} << kIncorrectPassword << 3;
        QTest::newRow("password with blanks around")
            << QStringList{kPassword, " open sesame ", at("user-password.pdf")}
            << kIncorrectPassword << 3;
        QTest::newRow("missing file") << QStringList{at("nothing.pdf")} << QByteArray() << 1;
        QTest::newRow("not a PDF") << QStringList{at("not-a-pdf.pdf")} << QByteArray() << 1;
        QTest::newRow("damaged") << QStringList{at("damaged.pdf")} << QByteArray() << 1;
        QTest::newRow("page tree without a page")
            << QStringList{at("no-pages.pdf")} << QByteArray() << 1;
        QTest::newRow("a folder") << QStringList{fx.dir.path()} << QByteArray() << 1;
        QTest::newRow("no file") << QStringList{} << QByteArray("Usage: ") << 2;
        QTest::newRow("two files")
            << QStringList{at("bare.pdf"), at("bare.pdf")} << QByteArray("Usage: ") << 2;
        QTest::newRow("password without value")
            << QStringList{at("bare.pdf"), kPassword} << QByteArray("Usage: ") << 2;
        QTest::newRow("unknown option")
            << QStringList{"-x", at("bare.pdf")} << QByteArray("Usage: ") << 2;
    }
    void refusedDocuments() {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, firstLine);
        QFETCH(int, exitCode);
        Run r = tooltest::runTool(kVellam, args);
        QVERIFY(!r.crashed);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY(pageCounts(r).isEmpty());
        QCOMPARE(r.lines().size(), 1);
        if (firstLine == kIncorrectPassword)
            QCOMPARE(r.lines().value(0), firstLine);
        else if (!firstLine.isEmpty())
            QVERIFY(r.lines().value(0).startsWith(firstLine));
    }
};

QTEST_GUILESS_MAIN(TestVellam)
#include "tst_vellam.moc"
