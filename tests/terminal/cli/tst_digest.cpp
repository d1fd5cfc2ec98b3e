// The manifest's digests against Qt's: every length around the 64-byte
// block and its padding, fed whole and in uneven pieces, on whichever
// path (the processor's SHA instructions or the plain one) this machine
// takes; and files hashed a slice at a time.
#include "cli/FileDigest.h"

#include <QCryptographicHash>
#include <QTemporaryDir>
#include <QtTest>

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
        QByteArray data(length, Qt::Uninitialized);
        for (int i = 0; i < length; ++i)
            data[i] = static_cast<char>((i * 131 + i / 251) & 0xff);
        digest::Sha256 digest;
        const int step = piece > 0 ? piece : std::max(length, 1);
        for (int at = 0; at < length; at += step)
            digest.Add(data.constData() + at,
                       static_cast<std::size_t>(std::min(step, length - at)));
        QCOMPARE(QByteArray::fromStdString(digest.Hex()),
                 QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
    }

    // Files hashed partly in the job's spare moments and the rest at its
    // end, a missing one among them, each against Qt's digest.
    void filesHashedInSlicesAndAtTheEnd() {
        QTemporaryDir dir;
        const QList<int> sizes{0, 1300 * 1024, 100, -1, 3 * 1024 * 1024};
        cli::FileHasher hasher;
        QList<QByteArray> contents;
        std::vector<cli::FileDigest> digests;
        for (int i = 0; i < sizes.size(); ++i) {
            const QString path = dir.filePath(QString::number(i));
            QByteArray data(std::max(sizes[i], 0), Qt::Uninitialized);
            for (int b = 0; b < data.size(); ++b)
                data[b] = static_cast<char>((b * 7 + i) & 0xff);
            if (sizes[i] >= 0) {
                QFile file(path);
                QVERIFY(file.open(QIODevice::WriteOnly) && file.write(data) == data.size());
            }
            contents << data;
            digests.push_back(hasher.Queue(path.toStdString()));
            if (i == 1)
                QVERIFY(hasher.HashSome() && hasher.HashSome()); // the first file, then a slice
        }
        hasher.HashQueued();
        for (int i = 0; i < sizes.size(); ++i) {
            const std::optional<std::string> digest = digests[i].get();
            QCOMPARE(digest.has_value(), sizes[i] >= 0);
            if (digest)
                QCOMPARE(QByteArray::fromStdString(*digest),
                         QCryptographicHash::hash(contents[i], QCryptographicHash::Sha256).toHex());
        }
        QVERIFY(!hasher.HashSome());
    }
};

QTEST_GUILESS_MAIN(DigestTest)
#include "tst_digest.moc"
