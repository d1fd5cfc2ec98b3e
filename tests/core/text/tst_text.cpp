#include "text/IntegerText.h"
#include "text/SplitItems.h"
#include "text/TextRules.h"
#include "text/Windows1252.h"

#include <QTest>

using Items = QStringList;

namespace {

Items ToItems(const std::vector<std::string>& v) {
    Items out;
    for (const std::string& s : v)
        out << QString::fromStdString(s);
    return out;
}

} // namespace

class TextTest : public QObject {
    Q_OBJECT
private slots:
    void splitItems_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("separators");
        QTest::addColumn<QString>("blanks");
        QTest::addColumn<Items>("items");
        QTest::newRow("plain") << "a,b,c"
                               << ","
                               << " " << Items{"a", "b", "c"};
        QTest::newRow("empty items dropped") << ",,a,,b,"
                                             << ","
                                             << " " << Items{"a", "b"};
        QTest::newRow("leading blanks skipped, trailing kept") << "  a ,  b"
                                                               << ","
                                                               << " " << Items{"a ", "b"};
        QTest::newRow("line ends cut") << "one\r\ntwo\nthree"
                                       << ""
                                       << "" << Items{"one", "two", "three"};
        QTest::newRow("double quotes hold separators") << "x,\"a,b\",y"
                                                       << ","
                                                       << "" << Items{"x", "\"a,b\"", "y"};
        QTest::newRow("single quote holds a line end") << "Title: Year's\nPages: 3"
                                                       << ""
                                                       << "" << Items{"Title: Year's\nPages: 3"};
        QTest::newRow("unclosed quote runs to the end") << "a,'b,c"
                                                        << ","
                                                        << "" << Items{"a", "'b,c"};
        QTest::newRow("blank item dropped") << "a, ,b"
                                            << ","
                                            << " " << Items{"a", "b"};
        QTest::newRow("several separators") << "1-3;5"
                                            << "-;"
                                            << " " << Items{"1", "3", "5"};
        QTest::newRow("only separators") << "---"
                                         << "-"
                                         << " " << Items{};
    }
    void splitItems() {
        QFETCH(QString, text);
        QFETCH(QString, separators);
        QFETCH(QString, blanks);
        QFETCH(Items, items);
        QCOMPARE(ToItems(text::SplitItems(text.toStdString(), separators.toStdString(),
                                          blanks.toStdString())),
                 items);
    }

    void strToInt_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("value");
        QTest::newRow("decimal") << "42" << true << 42;
        QTest::newRow("leading spaces") << "   7" << true << 7;
        QTest::newRow("plus") << "+5" << true << 5;
        QTest::newRow("minus") << "-12" << true << -12;
        QTest::newRow("max") << "2147483647" << true << 2147483647;
        QTest::newRow("min") << "-2147483648" << true << int(-2147483647 - 1);
        QTest::newRow("overflow") << "2147483648" << false << 0;
        QTest::newRow("underflow") << "-2147483649" << false << 0;
        QTest::newRow("dollar hex") << "$1F" << true << 31;
        QTest::newRow("x hex") << "x10" << true << 16;
        QTest::newRow("X hex") << "XfF" << true << 255;
        QTest::newRow("0x hex") << "0x7FFFFFFF" << true << 2147483647;
        QTest::newRow("0X pattern") << "0XFFFFFFFF" << true << -1;
        QTest::newRow("negative hex") << "-$10" << true << -16;
        QTest::newRow("nine hex digits") << "$123456789" << false << 0;
        QTest::newRow("prefix alone") << "0x" << false << 0;
        QTest::newRow("zero") << "0" << true << 0;
        QTest::newRow("empty") << "" << false << 0;
        QTest::newRow("spaces only") << "   " << false << 0;
        QTest::newRow("trailing blank") << "5 " << false << 0;
        QTest::newRow("leading tab") << "\t5" << false << 0;
        QTest::newRow("sign alone") << "-" << false << 0;
        QTest::newRow("letters") << "12a" << false << 0;
        QTest::newRow("decimal point") << "1.0" << false << 0;
    }
    void strToInt() {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, value);
        const std::string s = text.toStdString();
        if (valid) {
            QCOMPARE(text::StrToInt(s), value);
            return;
        }
        try {
            text::StrToInt(s);
            QFAIL("no error");
        } catch (const text::ConvertError& e) {
            QCOMPARE(QString(e.what()), "'" + text + "' is not a valid integer value");
        }
    }

    void pathParts_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("extension");
        QTest::newRow("file") << "/home/u/doc.pdf"
                              << "/home/u/"
                              << "doc.pdf"
                              << ".pdf";
        QTest::newRow("two dots") << "/a/b.tar.gz"
                                  << "/a/"
                                  << "b.tar.gz"
                                  << ".gz";
        QTest::newRow("dot in folder only") << "/a.b/file"
                                            << "/a.b/"
                                            << "file"
                                            << "";
        QTest::newRow("no folder") << "x.PDF"
                                   << ""
                                   << "x.PDF"
                                   << ".PDF";
        QTest::newRow("root") << "/doc.pdf"
                              << "/"
                              << "doc.pdf"
                              << ".pdf";
        QTest::newRow("trailing dot") << "/a/b."
                                      << "/a/"
                                      << "b."
                                      << ".";
        QTest::newRow("colon is ordinary here") << "c:doc.pdf"
                                                << ""
                                                << "c:doc.pdf"
                                                << ".pdf";
    }
    void pathParts() {
        QFETCH(QString, path);
        QFETCH(QString, folder);
        QFETCH(QString, name);
        QFETCH(QString, extension);
        const std::string p = path.toStdString();
        QCOMPARE(QString::fromStdString(text::ExtractFilePath(p)), folder);
        QCOMPARE(QString::fromStdString(text::ExtractFileName(p)), name);
        QCOMPARE(QString::fromStdString(text::ExtractFileExt(p)), extension);
    }

    void trimAndLower() {
        QCOMPARE(text::Trim(std::string("\t\r\n a b \x01\x1f ")), std::string("a b"));
        QCOMPARE(text::Trim(std::string(" \x7f ")), std::string("\x7f"));
        QCOMPARE(text::Trim(std::string("    ")), std::string());
        QCOMPARE(text::LowerCase("JPEG-2000 \xc4Z"), std::string("jpeg-2000 \xc4z"));
    }

    void windows1252() {
        QCOMPARE(QString::fromUtf8(text::Windows1252ToUtf8("\x80"
                                                           "15.00")),
                 QString::fromUtf8("€15.00"));
        QCOMPARE(QString::fromUtf8(text::Windows1252ToUtf8("caf\xe9 \x93q\x94")),
                 QString::fromUtf8("café “q”"));
    }
};

QTEST_APPLESS_MAIN(TextTest)
#include "tst_text.moc"
