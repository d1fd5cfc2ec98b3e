#include "ServiceConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace vendor {

namespace {

[[noreturn]] void Fail(int line, const QString& why) {
    throw ConfigError(QStringLiteral("line %1: %2").arg(line).arg(why).toStdString());
}

QByteArray Unquote(const QByteArray& value, int line) {
    if (!value.startsWith('"'))
        return value;
    QByteArray out;
    for (qsizetype i = 1; i < value.size(); ++i) {
        const char c = value[i];
        if (c == '"') {
            if (i + 1 != value.size())
                Fail(line, "text after the closing quote");
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++i == value.size())
            break;
        switch (value[i]) {
        case 'r':
            out += '\r';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '"':
            out += '"';
            break;
        case '\\':
            out += '\\';
            break;
        default:
            Fail(line, "unknown escape");
        }
    }
    Fail(line, "unclosed quote");
}

} // namespace

Config ParseConfig(const QByteArray& text, const QString& baseFolder) {
    Config config;
    config.folder = baseFolder;
    QByteArray section;
    QByteArray subject;
    int number = 0;
    for (QByteArray line : text.split('\n')) {
        ++number;
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[')) {
            if (!line.endsWith(']'))
                Fail(number, "unclosed section");
            const QByteArray header = line.sliced(1, line.size() - 2).trimmed();
            const qsizetype space = header.indexOf(' ');
            section = (space < 0 ? header : header.first(space)).toLower();
            subject = space < 0 ? QByteArray() : header.sliced(space + 1).trimmed();
            if (section == "service"
                    ? !subject.isEmpty()
                    : (section != "product" && section != "installer") || subject.isEmpty())
                Fail(number, "unknown section");
            if (section == "product")
                config.products[subject];
            if (section == "installer")
                config.installers[subject];
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0 || section.isEmpty())
            Fail(number, "expected key = value inside a section");
        const QByteArray key = line.first(equals).trimmed().toLower();
        const QByteArray value = Unquote(line.sliced(equals + 1).trimmed(), number);
        bool ok = true;
        if (section == "service") {
            if (key == "listen") {
                config.listen = QString::fromLatin1(value);
            } else if (key == "port") {
                const uint port = value.toUInt(&ok);
                ok = ok && port <= 65535;
                config.port = static_cast<quint16>(port);
            } else if (key == "folder") {
                config.folder = QDir(baseFolder).absoluteFilePath(QString::fromUtf8(value));
            } else if (key == "public") {
                config.publicAddress = value;
            } else if (key == "cookie") {
                config.cookie = value;
            } else if (key == "transfer") {
                if (value == "length")
                    config.transfer = Transfer::Length;
                else if (value == "chunked")
                    config.transfer = Transfer::Chunked;
                else if (value == "close")
                    config.transfer = Transfer::Close;
                else
                    ok = false;
            } else if (key == "rate") {
                config.rate = value.toLongLong(&ok);
                ok = ok && config.rate >= 0;
            } else {
                Fail(number, "unknown key");
            }
        } else if (section == "product") {
            Product& product = config.products[subject];
            if (key == "video")
                product.video = value;
            else if (key == "version")
                product.version = value;
            else
                Fail(number, "unknown key");
        } else {
            Installer& installer = config.installers[subject];
            if (key == "name")
                installer.name = value;
            else if (key == "file")
                installer.file = QString::fromUtf8(value);
            else
                Fail(number, "unknown key");
        }
        if (!ok)
            Fail(number, "bad value");
    }
    return config;
}

Config ReadConfig(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw ConfigError("cannot read " + path.toStdString());
    try {
        return ParseConfig(file.readAll(), QFileInfo(path).absolutePath());
    } catch (const ConfigError& error) {
        throw ConfigError(path.toStdString() + ", " + error.what());
    }
}

} // namespace vendor
