// The vendor service's settings, read from a small INI file:
//
//   [service]            listen, port, folder, public, cookie, transfer, rate
//   [product <id>]       video, version
//   [installer <name>]   name, file
//
// Values are trimmed; a value in double quotes keeps its blanks and
// understands \r, \n, \t, \" and \\, so odd replies can be served on purpose.
#pragma once

#include <QByteArray>
#include <QMap>
#include <QString>
#include <stdexcept>

namespace vendor {

struct Product {
    QByteArray video;   // the reply to the video question; empty: "false"
    QByteArray version; // the newest version; empty: "false"
};

struct Installer {
    QByteArray name; // display name
    QString file;    // file name inside the installer folder
};

enum class Transfer { Length, Chunked, Close };

struct Config {
    QString listen = "127.0.0.1";
    quint16 port = 8080;
    QString folder;           // absolute
    QByteArray publicAddress; // host[:port] that download links name; empty: the request's Host
    QByteArray cookie;        // name=value set with every form-post reply; empty: none
    Transfer transfer = Transfer::Length;
    qint64 rate = 0;                    // bytes per second for downloads; 0: as fast as possible
    QMap<QByteArray, Product> products; // by product id
    QMap<QByteArray, Installer> installers; // by installer identifier
};

class ConfigError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the file; relative folders are taken from the file's own folder.
Config ReadConfig(const QString& path);
Config ParseConfig(const QByteArray& text, const QString& baseFolder);

} // namespace vendor
