// Runs the vendor service for a test: on a free loopback port, with the
// answers given and its installers in a temporary folder.
#pragma once

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QTemporaryDir>
#include <stdexcept>

namespace testing {

class VendorServiceProcess {
public:
    // `answers` is INI text after the [service] section that the helper
    // writes itself; `installers` maps file names to their content.
    explicit VendorServiceProcess(const QByteArray& answers,
                                  const QMap<QString, QByteArray>& installers = {}) {
        if (!dir_.isValid())
            throw std::runtime_error("no temporary folder");
        QDir(dir_.path()).mkdir("installers");
        for (auto it = installers.begin(); it != installers.end(); ++it)
            Write(dir_.filePath("installers/" + it.key()), it.value());
        Write(dir_.filePath("service.ini"),
              "[service]\nlisten = 127.0.0.1\nport = 0\nfolder = installers\n" + answers);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start(VENDOR_SERVICE_PROGRAM, {dir_.filePath("service.ini")});
        if (!WaitForLog("listening on 127.0.0.1:"))
            throw std::runtime_error("the vendor service did not start");
        const qsizetype colon = log_.indexOf(':', log_.indexOf("127.0.0.1"));
        address_ = "127.0.0.1:" + log_.sliced(colon + 1, log_.indexOf('\n') - colon - 1);
    }
    ~VendorServiceProcess() {
        process_.kill();
        process_.waitForFinished(5000);
    }
    VendorServiceProcess(const VendorServiceProcess&) = delete;
    VendorServiceProcess& operator=(const VendorServiceProcess&) = delete;

    QByteArray Address() const { return address_; }
    QString InstallerFolder() const { return dir_.filePath("installers"); }

    // Everything the service has logged so far: one line per request.
    QByteArray Log() {
        log_ += process_.readAllStandardOutput();
        return log_;
    }
    bool WaitForLog(const QByteArray& text, int ms = 10000) {
        QDeadlineTimer deadline(ms);
        while (!Log().contains(text)) {
            if (deadline.hasExpired() || process_.state() == QProcess::NotRunning)
                return false;
            process_.waitForReadyRead(50);
        }
        return true;
    }

    static void Write(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            throw std::runtime_error("cannot write " + path.toStdString());
    }

private:
    QTemporaryDir dir_;
    QProcess process_;
    QByteArray log_;
    QByteArray address_;
};

} // namespace testing
