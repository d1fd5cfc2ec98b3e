// Documents handed from a later start of the program to the copy that runs:
// the later start sends the path over a local socket of the user's own and
// ends; the running copy takes it.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace app {

class HandOverServer : public QObject {
    Q_OBJECT
public:
    using Taker = std::function<void(const QString& path)>;

    // Listens at `address` (see platform::InstanceAddress) and hands every
    // path that arrives from the user's own processes to `take`. The caller
    // holds the single-instance lock, so a socket left there by a copy that
    // crashed is no one's and is replaced.
    HandOverServer(const QString& address, Taker take, QObject* parent = nullptr);

    bool Listening() const;

    // The later start's side: true when the running copy got `path`.
    static bool Send(const QString& address, const QString& path);

private:
    void Accept();
    void Read(QLocalSocket* peer);

    QLocalServer* server_;
    Taker take_;
};

} // namespace app
