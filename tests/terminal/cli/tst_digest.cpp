// The manifest's digests against Qt's: every length around the 64-byte
// block and its padding, fed whole and in uneven pieces, on whichever
// path (the processor's SHA instructions or the plain one) this machine takes.
#include "cli/Sha256.h"

#include <QCryptographicHash>
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
        cli::Sha256 digest;
        const int step = piece > 0 ? piece : std::max(length, 1);
        for (int at = 0; at < length; at += step)
            digest.Add(data.constData() + at,
                       static_cast<std::size_t>(std::min(step, length - at)));
        QCOMPARE(QByteArray::fromStdString(digest.Hex()),
                 QCryptographicHash::hash(data, QCryptographicHash::Sha256).toHex());
    }
};

QTEST_GUILESS_MAIN(DigestTest)
#include "tst_digest.moc"
