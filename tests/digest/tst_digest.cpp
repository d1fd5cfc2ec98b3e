// The digests against Qt's: every length around the 64-byte block and its
// padding, fed whole and in uneven pieces; and files read whole.
#include "Sha256.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray Bytes(int length, int seed) {
    QByteArray data(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        data[i] = static_cast<char>((i * 131 + i / 251 + seed) & 0xff);
    return data;
}

QByteArray QtHex(const QByteArray& data) {
    return QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex();
}

} // namespace

class DigestTest : public QObject {
    Q_OBJECT
private slots:
    void matchesQt_data() {
        QTest::addColumn<int>("length");
        QTest::addColumn<int>("piece");
        for (int length : {0, 1, 55, 56, 63, 64, 65, 119, 120, 128, 1000, 1 << 20})
            for (int piece : {0, 7, 64})
                QTest::addRow("%d bytes in pieces of %d", length, piece) << length << piece;
    }
    void matchesQt() {
        QFETCH(int, length);
        QFETCH(int, piece);
        const QByteArray data = Bytes(length, 0);
        digest::Sha256 digest;
        const int step = piece > 0 ? piece : std::max(length, 1);
        for (int at = 0; at < length; at += step)
            digest.Add(data.constData() + at,
                       static_cast<std::size_t>(std::min(step, length - at)));
        QCOMPARE(QByteArray::fromStdString(digest.Hex()), QtHex(data));
    }

    // A file's size and digest in one reading; nothing for a file that
    // cannot be read.
    void files_data() {
        QTest::addColumn<int>("size"); // -1: no file
        QTest::newRow("empty") << 0;
        QTest::newRow("past the reading buffer") << 1300 * 1024;
        QTest::newRow("missing") << -1;
    }
    void files() {
        QFETCH(int, size);
        QTemporaryDir dir;
        const QString path = dir.filePath("file");
        const QByteArray data = Bytes(std::max(size, 0), 7);
        if (size >= 0) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
        }
        const std::optional<digest::SizedDigest> digest =
            digest::FileSizeAndSha256(path.toStdString());
        QCOMPARE(digest.has_value(), size >= 0);
        if (digest) {
            QCOMPARE(digest->size, std::uint64_t(size));
            QCOMPARE(QByteArray::fromStdString(digest->sha256), QtHex(data));
        }
    }
};

QTEST_GUILESS_MAIN(DigestTest)
#include "tst_digest.moc"
