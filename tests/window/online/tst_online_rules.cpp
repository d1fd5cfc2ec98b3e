#include "online/InstallerLookup.h"
#include "online/VersionNumber.h"

#include <QTest>
#include <stdexcept>

namespace {

QByteArray Q(const std::string& text) {
    return QByteArray::fromStdString(text);
}

QList<QByteArray> Fields(const QByteArray& reply) {
    QList<QByteArray> out;
    for (const std::string& field : online::CutLookupFields(reply.toStdString()))
        out.append(Q(field));
    return out;
}

} // namespace

class TestOnlineRules : public QObject {
    Q_OBJECT

private slots:
    void readsVersionNumbers_data();
    void readsVersionNumbers();
    void comparesVersions_data();
    void comparesVersions();
    void formatsTheNewestVersion_data();
    void formatsTheNewestVersion();
    void buildsTheUpgradeQuestion();
    void cutsLookupFields_data();
    void cutsLookupFields();
    void decodesAddresses_data();
    void decodesAddresses();
    void readsLookupReplies_data();
    void readsLookupReplies();
};

void TestOnlineRules::readsVersionNumbers_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<double>("value");
    QTest::newRow("plain") << QByteArray("1.4") << true << 1.4;
    QTest::newRow("integer") << QByteArray("2") << true << 2.0;
    QTest::newRow("spaces around") << QByteArray("  1.4  ") << true << 1.4;
    QTest::newRow("signs") << QByteArray("+1.5") << true << 1.5;
    QTest::newRow("negative") << QByteArray("-0.5") << true << -0.5;
    QTest::newRow("exponent") << QByteArray("14E-1") << true << 1.4;
    QTest::newRow("exponent sign") << QByteArray("1.4e+0") << true << 1.4;
    QTest::newRow("no fraction digits") << QByteArray("1.") << true << 1.0;
    QTest::newRow("no integer digits") << QByteArray(".5") << true << 0.5;
    QTest::newRow("comma") << QByteArray("1,4") << false << 0.0;
    QTest::newRow("line end") << QByteArray("1.4\r\n") << false << 0.0;
    QTest::newRow("tab") << QByteArray("\t1.4") << false << 0.0;
    QTest::newRow("two dots") << QByteArray("1.4.1") << false << 0.0;
    QTest::newRow("letters") << QByteArray("v1.4") << false << 0.0;
    QTest::newRow("empty") << QByteArray("") << false << 0.0;
    QTest::newRow("only blanks") << QByteArray("   ") << false << 0.0;
    QTest::newRow("only a dot") << QByteArray(".") << false << 0.0;
    QTest::newRow("bare exponent") << QByteArray("1e") << false << 0.0;
    QTest::newRow("inf") << QByteArray("inf") << false << 0.0;
    QTest::newRow("nan") << QByteArray("nan") << false << 0.0;
    QTest::newRow("blank inside") << QByteArray("1. 4") << false << 0.0;
    QTest::newRow("false") << QByteArray("false") << false << 0.0;
}

void TestOnlineRules::readsVersionNumbers() {
    QFETCH(QByteArray, text);
    QFETCH(bool, readable);
    QFETCH(double, value);
    const std::optional<double> number = online::ReadVersionNumber(text.toStdString());
    QCOMPARE(number.has_value(), readable);
    if (readable)
        QCOMPARE(*number, value);
}

void TestOnlineRules::comparesVersions_data() {
    QTest::addColumn<QByteArray>("installed");
    QTest::addColumn<QByteArray>("newest");
    QTest::addColumn<bool>("newer");
    QTest::newRow("higher") << QByteArray("1.3") << QByteArray("1.4") << true;
    QTest::newRow("same") << QByteArray("1.3") << QByteArray("1.3") << false;
    QTest::newRow("same, written longer") << QByteArray("1.3") << QByteArray("1.30") << false;
    QTest::newRow("lower") << QByteArray("1.3") << QByteArray("1.2") << false;
    QTest::newRow("whole number") << QByteArray("1.3") << QByteArray("2") << true;
    QTest::newRow("below one") << QByteArray("0.4") << QByteArray("0.5") << true;
    // 1.2 and 1.10 are decimals, not dotted parts.
    QTest::newRow("decimal, not parts") << QByteArray("1.2") << QByteArray("1.10") << false;
    QTest::newRow("beyond float precision")
        << QByteArray("1.3") << QByteArray("1.300000001") << false;
    QTest::newRow("just within float precision")
        << QByteArray("1.3") << QByteArray("1.3000001") << true;
}

void TestOnlineRules::comparesVersions() {
    QFETCH(QByteArray, installed);
    QFETCH(QByteArray, newest);
    QFETCH(bool, newer);
    QCOMPARE(online::IsNewerVersion(installed.toStdString(), newest.toStdString()), newer);
}

void TestOnlineRules::formatsTheNewestVersion_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QByteArray>("shown");
    QTest::newRow("1.4") << 1.4f << QByteArray("1.40");
    QTest::newRow("2") << 2.0f << QByteArray("2.00");
    QTest::newRow("10.25") << 10.25f << QByteArray("10.25");
    QTest::newRow("0.5") << 0.5f << QByteArray(".50");
    QTest::newRow("rounds up") << 1.996f << QByteArray("2.00");
    QTest::newRow("float just below the half") << 1.005f << QByteArray("1.00");
    QTest::newRow("exact half rounds up") << 0.125f << QByteArray(".13");
    QTest::newRow("carries into a new digit") << 99.999f << QByteArray("100.00");
    QTest::newRow("no grouping") << 12345.5f << QByteArray("12345.50");
    QTest::newRow("zero") << 0.0f << QByteArray(".00");
    QTest::newRow("negative") << -1.5f << QByteArray("-1.50");
}

void TestOnlineRules::formatsTheNewestVersion() {
    QFETCH(float, value);
    QFETCH(QByteArray, shown);
    QCOMPARE(Q(online::FormatVersionNumber(value)), shown);
}

void TestOnlineRules::buildsTheUpgradeQuestion() {
    QCOMPARE(Q(online::UpgradeQuestion(" 1.4 ")),
             QByteArray("A newer Arvenzo is available!\r\nVersion number: "
                        "1.40\r\n\r\nWould you like to upgrade now?"));
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, online::UpgradeQuestion("1,4"));
}

void TestOnlineRules::cutsLookupFields_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QList<QByteArray>>("fields");
    using L = QList<QByteArray>;
    QTest::newRow("two fields") << QByteArray("appname=A&installer=B")
                                << L{"appname=A", "installer=B"};
    QTest::newRow("more fields") << QByteArray("a&b&c") << L{"a", "b", "c"};
    QTest::newRow("line break at the end") << QByteArray("a&b\r\n") << L{"a", "b"};
    QTest::newRow("blanks around") << QByteArray(" \t a & b \n") << L{"a", "b"};
    QTest::newRow("blank splits a field")
        << QByteArray("appname=My App&x=y") << L{"appname=My", "App", "x=y"};
    QTest::newRow("final ampersand") << QByteArray("a&") << L{"a", ""};
    QTest::newRow("ampersand then blank") << QByteArray("a& ") << L{"a"};
    QTest::newRow("two ampersands") << QByteArray("a&&b") << L{"a", "", "b"};
    QTest::newRow("leading ampersand") << QByteArray("&a") << L{"", "a"};
    QTest::newRow("quoted") << QByteArray("\"a b&c\"&d") << L{"a b&c", "d"};
    QTest::newRow("doubled quote") << QByteArray("\"say \"\"hi\"\"\"") << L{"say \"hi\""};
    QTest::newRow("unclosed quote") << QByteArray("\"abc") << L{"abc"};
    QTest::newRow("text after a quote") << QByteArray("\"ab\"cd") << L{"ab", "cd"};
    QTest::newRow("high bytes stay") << QByteArray("caf\xe9&x") << L{"caf\xe9", "x"};
    QTest::newRow("nul ends it") << QByteArray("a&b\0&c", 6) << L{"a", "b"};
    QTest::newRow("only blanks") << QByteArray(" \r\n") << L{};
}

void TestOnlineRules::cutsLookupFields() {
    QFETCH(QByteArray, reply);
    QFETCH(QList<QByteArray>, fields);
    QCOMPARE(Fields(reply), fields);
}

void TestOnlineRules::decodesAddresses_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<QByteArray>("decoded");
    QTest::newRow("escapes") << QByteArray("http%3A%2F%2Fh%2fa") << QByteArray("http://h/a");
    QTest::newRow("plus") << QByteArray("a+b") << QByteArray("a b");
    QTest::newRow("escaped plus") << QByteArray("a%2Bb") << QByteArray("a+b");
    QTest::newRow("broken escape") << QByteArray("a%zzb") << QByteArray("ab");
    QTest::newRow("escape of nul") << QByteArray("a%00b") << QByteArray("ab");
    QTest::newRow("cut-off escape") << QByteArray("ab%4") << QByteArray("ab");
    QTest::newRow("lone percent") << QByteArray("ab%") << QByteArray("ab");
    QTest::newRow("high byte") << QByteArray("caf%E9") << QByteArray("caf\xe9");
}

void TestOnlineRules::decodesAddresses() {
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, decoded);
    QCOMPARE(Q(online::UrlDecode(text.toStdString())), decoded);
}

void TestOnlineRules::readsLookupReplies_data() {
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("hasName");
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<bool>("hasAddress");
    QTest::addColumn<QByteArray>("address");
    QTest::newRow("good") << QByteArray("appname=Quorrin+Pro&installer=http%3A%2F%2Fh%2Fq.exe")
                          << true << QByteArray("Quorrin Pro") << true
                          << QByteArray("http://h/q.exe");
    QTest::newRow("plus sent escaped is a space too")
        << QByteArray("appname=C%2B%2B+Kit&installer=x") << true << QByteArray("C   Kit") << true
        << QByteArray("x");
    QTest::newRow("longer keys leave part of themselves")
        << QByteArray("appnames=Q&installers=http://h/") << true << QByteArray("=Q") << true
        << QByteArray("=http://h/");
    QTest::newRow("shorter keys cut in") << QByteArray("name=Quorrin&url=http://h/q") << true
                                         << QByteArray("rrin") << true << QByteArray("/h/q");
    QTest::newRow("line break at the end")
        << QByteArray("appname=Q&installer=http://h/q\r\n") << true << QByteArray("Q") << true
        << QByteArray("http://h/q");
    QTest::newRow("one field") << QByteArray("appname=Quorrin") << true << QByteArray("Quorrin")
                               << false << QByteArray();
    QTest::newRow("short first field")
        << QByteArray("appname&installer=a") << true << QByteArray() << true << QByteArray("a");
    QTest::newRow("no fields") << QByteArray("  ") << false << QByteArray() << false
                               << QByteArray();
}

void TestOnlineRules::readsLookupReplies() {
    QFETCH(QByteArray, reply);
    QFETCH(bool, hasName);
    QFETCH(QByteArray, name);
    QFETCH(bool, hasAddress);
    QFETCH(QByteArray, address);
    const online::InstallerInfo info = online::ReadLookupReply(reply.toStdString());
    QCOMPARE(info.displayName.has_value(), hasName);
    QCOMPARE(info.address.has_value(), hasAddress);
    if (hasName)
        QCOMPARE(Q(*info.displayName), name);
    if (hasAddress)
        QCOMPARE(Q(*info.address), address);
}

QTEST_GUILESS_MAIN(TestOnlineRules)
#include "tst_online_rules.moc"
