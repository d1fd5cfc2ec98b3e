#include "platform/AppendLog.h"
#include "platform/Environment.h"
#include "platform/Files.h"
#include "platform/InstallRecord.h"
#include "platform/InstanceGuard.h"
#include "platform/Shell.h"
#include "platform/WorkingFile.h"
#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

void Touch(const QString& path) {
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("x");
}

} // namespace

class PlatformTest : public QObject {
    Q_OBJECT
private slots:
    void guardRefusesSecondCopy() {
        testing::TestEnvironment env;
        platform::InstanceGuard first("Arvenzo");
        QVERIFY(first.Acquired());
        {
            platform::InstanceGuard second("Arvenzo");
            QVERIFY(!second.Acquired());
        }
        platform::InstanceGuard other("Quorrin");
        QVERIFY(other.Acquired());
        first.Release();
        platform::InstanceGuard third("Arvenzo");
        QVERIFY(third.Acquired());
    }

    void guardIsPerUser() {
        // Another user's copy keeps its lock in that user's runtime folder.
        testing::TestEnvironment mine;
        platform::InstanceGuard first("Arvenzo");
        QVERIFY(first.Acquired());
        testing::TestEnvironment theirs;
        platform::InstanceGuard second("Arvenzo");
        QVERIFY(second.Acquired());
    }

    void guardFreedWhenHolderDies() {
        testing::TestEnvironment env;
        // A child takes the lock the way a running copy does, and is killed.
        const QString lock = env.Root() + "/runtime/Arvenzo.lock";
        QProcess holder;
        holder.start("sh", {"-c", "exec 9>\"$0\"; flock 9; exec sleep 30", lock});
        QVERIFY(holder.waitForStarted());
        QTRY_VERIFY(QFile::exists(lock));
        QTRY_VERIFY_WITH_TIMEOUT(!platform::InstanceGuard("Arvenzo").Acquired(), 5000);
        holder.kill();
        holder.waitForFinished();
        QTRY_VERIFY(platform::InstanceGuard("Arvenzo").Acquired());
    }

    // A working file's digest is of the bytes it holds once complete,
    // whether they were written in order or a writer went back over them.
    void workingFileDigest_data() {
        QTest::addColumn<QStringList>("steps"); // "@N" seeks to N, anything else is written
        QTest::addColumn<bool>("hashed");
        QTest::newRow("in order") << QStringList{"abc", "def"} << true;
        QTest::newRow("nothing written") << QStringList{} << true;
        QTest::newRow("seek to where it stands") << QStringList{"abc", "@3", "def"} << true;
        QTest::newRow("back over what was written")
            << QStringList{"xbcdef", "@0", "a", "@6", "g"} << true;
        QTest::newRow("not asked") << QStringList{"abc"} << false;
    }
    void workingFileDigest() {
        QFETCH(QStringList, steps);
        QFETCH(bool, hashed);
        QTemporaryDir dir;
        platform::WorkingFile file(dir.path().toStdString(), "x-");
        QVERIFY(file.Created());
        if (hashed)
            file.HashAsWritten();
        for (const QString& step : steps) {
            const std::string bytes = step.toStdString();
            QVERIFY(step.startsWith('@') ? file.Seek(step.mid(1).toLongLong(), SEEK_SET)
                                         : file.Write(bytes.data(), bytes.size()));
        }
        const std::string path = file.Path();
        QVERIFY(file.Complete());
        QFile written(QString::fromStdString(path));
        QVERIFY(written.open(QIODevice::ReadOnly));
        const QByteArray held = written.readAll();
        QCOMPARE(file.Size(), std::uint64_t(held.size()));
        QCOMPARE(QByteArray::fromStdString(file.Digest()),
                 hashed ? QCryptographicHash::hash(held, QCryptographicHash::Sha256).toHex()
                        : QByteArray());
    }

    // A journal an earlier build left, ending in the NUL bytes it held in
    // reserve, keeps its lines and the ones appended after them.
    void appendLogAfterAReserve() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("log").toStdString();
        {
            QFile file(dir.filePath("log"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("old\n") + QByteArray(4096, '\0'));
        }
        {
            platform::AppendLog log(path);
            QVERIFY(log.Append("new\n"));
        }
        QCOMPARE(platform::ReadAppendLog(path), std::string("old\nnew\n"));
    }

    // A writer killed after a line keeps it; a later writer appends after
    // it and leaves nothing else behind.
    void appendLogOutlivesItsWriter() {
        QTemporaryDir dir;
        const std::string path = dir.filePath("log").toStdString();
        std::string before;
        for (int i = 0; i < 10000; ++i) // 99 KB
            before += "line " + std::to_string(i) + "\n";
        const pid_t child = fork();
        if (child == 0) {
            platform::AppendLog log(path);
            for (std::size_t at = 0; at < before.size(); at = before.find('\n', at) + 1)
                log.Append(before.substr(at, before.find('\n', at) + 1 - at));
            raise(SIGKILL);
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFSIGNALED(status));
        QCOMPARE(platform::ReadAppendLog(path), before);
        {
            platform::AppendLog log(path);
            QVERIFY(log.Append("after\n"));
        }
        QCOMPARE(platform::ReadAppendLog(path), before + "after\n");
        QCOMPARE(QFileInfo(dir.filePath("log")).size(), qint64(before.size() + 6));
    }

    void installRecord_data() {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("plain") << QStringList{"Version=2.1"} << "Version"
                               << "2.1";
        QTest::newRow("blanks around") << QStringList{"  Version =  2.1  "} << "Version"
                                       << "2.1";
        QTest::newRow("quoted") << QStringList{"Website=\"http://x/ a\""} << "Website"
                                << "http://x/ a";
        QTest::newRow("name is case-blind") << QStringList{"version=3"} << "Version"
                                            << "3";
        QTest::newRow("general section") << QStringList{"[General]", "Version=4"} << "Version"
                                         << "4";
        QTest::newRow("other section ignored") << QStringList{"[Other]", "Version=4"} << "Version"
                                               << "";
        QTest::newRow("dword is not a string") << QStringList{"Version=dword:00000001"} << "Version"
                                               << "";
        QTest::newRow("binary is not a string") << QStringList{"Version=hex:01,02"} << "Version"
                                                << "";
        QTest::newRow("missing value") << QStringList{"Website=x"} << "Version"
                                       << "";
        QTest::newRow("empty value") << QStringList{"Version="} << "Version"
                                     << "";
        QTest::newRow("comment") << QStringList{"; Version=9", "# Version=8"} << "Version"
                                 << "";
        QTest::newRow("expandable kept as stored") << QStringList{"Version=%VER%"} << "Version"
                                                   << "%VER%";
    }
    void installRecord() {
        QFETCH(QStringList, lines);
        QFETCH(QString, value);
        QFETCH(QString, expected);
        testing::TestEnvironment env;
        env.WriteRecord("Arvenzo", lines);
        QCOMPARE(QString::fromStdString(platform::ReadMachineString("\\Software\\Tessaly\\Arvenzo",
                                                                    value.toStdString())),
                 expected);
    }

    void installRecordSearchesConfigFolders() {
        testing::TestEnvironment env;
        QDir().mkpath(env.Root() + "/second/Tessaly");
        QFile file(env.Root() + "/second/Tessaly/Quorrin.conf");
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("InstallPath=/opt/quorrin\n");
        file.close();
        qputenv("XDG_CONFIG_DIRS", (env.Config() + ":" + env.Root() + "/second").toLocal8Bit());
        QCOMPARE(platform::ReadMachineString("\\SOFTWARE\\Tessaly\\Quorrin", "InstallPath"),
                 std::string("/opt/quorrin"));
        QCOMPARE(platform::ReadMachineString("\\SOFTWARE\\Tessaly\\Nothing", "InstallPath"),
                 std::string());
    }

    // The prefix's own folder comes last and only once, so a desktop's
    // folders still win and an install under /usr/local is still found.
    void installRecordFolders_data() {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<QStringList>("expected");
        const QString own = ARVENZO_SYSCONFDIR "/xdg";
        QTest::newRow("unset") << QByteArray() << QStringList{"/etc/xdg", own};
        QTest::newRow("desktop's list") << QByteArray("/a::/b") << QStringList{"/a", "/b", own};
        QTest::newRow("already listed") << (own + ":/a").toLocal8Bit() << QStringList{own, "/a"};
    }
    void installRecordFolders() {
        QFETCH(QByteArray, variable);
        QFETCH(QStringList, expected);
        testing::TestEnvironment env;
        if (variable.isEmpty())
            qunsetenv("XDG_CONFIG_DIRS");
        else
            qputenv("XDG_CONFIG_DIRS", variable);
        QStringList folders;
        for (const std::string& folder : platform::InstallRecordFolders())
            folders << QString::fromStdString(folder);
        QCOMPARE(folders, expected);
    }

    void tempFolderFallsBack() {
        testing::TestEnvironment env;
        QCOMPARE(QString::fromStdString(platform::TempFolder()), env.Temp());
        qunsetenv("TEMP");
        QCOMPARE(QString::fromStdString(platform::TempFolder()), env.Root() + "/runtime");
        qunsetenv("XDG_RUNTIME_DIR");
        const QByteArray tmpdir = qgetenv("TMPDIR");
        qunsetenv("TMPDIR");
        QCOMPARE(platform::TempFolder(), std::string("/tmp"));
        if (!tmpdir.isEmpty())
            qputenv("TMPDIR", tmpdir);
    }

    void listingSkipsHiddenFoldersAndLinks() {
        QTemporaryDir dir;
        for (const char* name : {"b.ppm", "a.pbm", ".hidden", "noext"})
            Touch(dir.filePath(name));
        QDir(dir.path()).mkdir("sub");
        QFile::link(dir.filePath("a.pbm"), dir.filePath("link.pbm"));
        const std::string folder = dir.path().toStdString() + "/";
        QCOMPARE(platform::ListFiles(folder, "*.*"),
                 (std::vector<std::string>{"a.pbm", "b.ppm", "noext"}));
        QCOMPARE(platform::ListFiles(folder, "*.ppm"), (std::vector<std::string>{"b.ppm"}));
    }

    void removingALinkKeepsItsTarget() {
        QTemporaryDir dir;
        QTemporaryDir elsewhere;
        Touch(elsewhere.filePath("precious"));
        QFile::link(elsewhere.filePath("precious"), dir.filePath("link"));
        QVERIFY(platform::RemoveFile(dir.filePath("link").toStdString()));
        QVERIFY(QFile::exists(elsewhere.filePath("precious")));
        QVERIFY(!platform::RemoveFile(dir.filePath("link").toStdString()));
    }

    void createdFolderIsPrivate() {
        QTemporaryDir dir;
        const QString path = dir.filePath("Arvenzo");
        QVERIFY(platform::CreateFolder(path.toStdString()));
        QVERIFY(platform::FolderExists(path.toStdString()));
        QVERIFY(!platform::FileExists(path.toStdString()));
        QCOMPARE(QFile::permissions(path) & (QFile::ReadOther | QFile::ReadGroup),
                 QFile::Permissions());
    }

    // Two users on one machine, one TEMP: the second works in a folder of
    // its own beside the first's, and neither's files go to the other.
    void secondUserWorksBeside() {
        if (geteuid() != 0)
            QSKIP("acting as a second user needs root");
        QTemporaryDir shared;
        QCOMPARE(::chmod(QFile::encodeName(shared.path()).constData(), 01777), 0);
        const std::string wanted = shared.filePath("Arvenzo").toStdString();
        QCOMPARE(platform::OwnScratchFolder(wanted), wanted);
        const pid_t second = fork();
        if (second == 0) {
            if (setgid(65534) != 0 || setuid(65534) != 0)
                _exit(2);
            const std::string own = platform::OwnScratchFolder(wanted);
            if (own.empty() || own == wanted)
                _exit(3);
            _exit(open((own + "/tmp-000.ppm").c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600) < 0);
        }
        int status = 0;
        QCOMPARE(waitpid(second, &status, 0), second);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
        const QFileInfoList folders =
            QDir(shared.path()).entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        QCOMPARE(folders.size(), 2);
        QCOMPARE(folders[1].ownerId(), 65534u);
        QCOMPARE(folders[1].permissions() & 0x0077, QFileDevice::Permissions());
        QCOMPARE(QDir(folders[0].filePath()).entryList(QDir::Files), QStringList());
        QCOMPARE(QDir(folders[1].filePath()).entryList(QDir::Files), QStringList{"tmp-000.ppm"});
    }

    void shellSeamRecords() {
        testing::ShellRecorder shell;
        platform::OpenWithShell("http://tessaly.example/");
        platform::OpenWithShell("/tmp/x y");
        QCOMPARE(shell.Targets(),
                 (std::vector<std::string>{"http://tessaly.example/", "/tmp/x y"}));
    }

    // Without a recorder the target goes to xdg-open whole, as one argument,
    // whatever characters it holds.
    void desktopOpenerHandsTargetOver_data() {
        QTest::addColumn<QString>("target");
        QTest::newRow("folder with spaces") << "/tmp/x y/out folder";
        QTest::newRow("address") << "http://tessaly.example/arvenzo.html?playvideo";
        QTest::newRow("shell characters") << "/tmp/$(touch pwned)`id`;'\"&|";
        QTest::newRow("leading dash") << "-x";
    }
    void desktopOpenerHandsTargetOver() {
        QFETCH(QString, target);
        QTemporaryDir bin;
        const QString seen = bin.filePath("seen");
        testing::WriteScript(bin.path(), "xdg-open",
                             "printf '%s|%s' \"$#\" \"$1\" > '" + seen + ".part' && mv '" + seen +
                                 ".part' '" + seen + "'");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8() + ":" + path);
        platform::OpenWithShell(target.toStdString());
        qputenv("PATH", path);
        QTRY_VERIFY(QFile::exists(seen));
        QFile file(seen);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(QString::fromUtf8(file.readAll()), "1|" + target);
        QVERIFY(!QFile::exists(QDir::current().filePath("pwned")));
    }

    // A missing or failing opener is told apart from one that opened, or
    // that is still busy opening.
    void desktopOpenerVerdict_data() {
        QTest::addColumn<QString>("script"); // empty: no xdg-open on the path
        QTest::addColumn<bool>("opened");
        QTest::newRow("opens") << "exit 0" << true;
        QTest::newRow("no program for it") << "exit 3" << false;
        QTest::newRow("still busy") << "/bin/sleep 3" << true;
        QTest::newRow("not installed") << "" << false;
    }
    void desktopOpenerVerdict() {
        QFETCH(QString, script);
        QFETCH(bool, opened);
        QTemporaryDir bin;
        if (!script.isEmpty())
            testing::WriteScript(bin.path(), "xdg-open", script);
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", bin.path().toUtf8());
        const bool result = platform::OpenWithShell("/tmp");
        qputenv("PATH", path);
        QCOMPARE(result, opened);
    }
};

QTEST_GUILESS_MAIN(PlatformTest)
#include "tst_platform.moc"
