#include "platform/platform.h"

#include <QDesktopServices>
#include <QString>
#include <QUrl>
#include <mutex>

namespace platform {

namespace {

struct ShellSeam {
    std::mutex lock;
    ShellOpener opener;
};

ShellSeam& Seam() {
    static ShellSeam seam;
    return seam;
}

QUrl TargetUrl(const std::string& target) {
    const QString text = QString::fromStdString(target);
    const QUrl url(text);
    // A bare path has no scheme (or, as "C:", a one-letter one).
    if (url.isValid() && url.scheme().size() > 1)
        return url;
    return QUrl::fromLocalFile(text);
}

} // namespace

void SetShellOpener(ShellOpener opener) {
    std::lock_guard guard(Seam().lock);
    Seam().opener = std::move(opener);
}

void OpenWithShell(const std::string& target) {
    ShellOpener opener;
    {
        std::lock_guard guard(Seam().lock);
        opener = Seam().opener;
    }
    if (opener) {
        opener(target);
        return;
    }
    QDesktopServices::openUrl(TargetUrl(target));
}

} // namespace platform
