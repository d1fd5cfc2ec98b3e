// Documents handed from a later start of the program to the copy that runs:
// the later start sends the path over a local socket of the user's own and
// hears whether the running copy took it.
#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;
class QLocalSocket;

namespace app {

class HandOverServer : public QObject {
    Q_OBJECT
public:
    // Says at once whether the window takes `path`; what taking it asks of
    // the user comes later.
    using Taker = std::function<bool(const QString& path)>;

    // Listens at `address` (see platform::InstanceAddress) and hands every
    // path that arrives from the user's own processes to `take`. The caller
    // holds the single-instance lock, so a socket left there by a copy that
    // crashed is no one's and is replaced.
    HandOverServer(const QString& address, Taker take, QObject* parent = nullptr);

    bool Listening() const;

    // The later start's side.
    enum class Sent { Taken, NotTaken, NoAnswer };
    static Sent Send(const QString& address, const QString& path);

private:
    void Listen();
    void Accept();
    void Read(QLocalSocket* peer);
    void Drop(QLocalSocket* peer);

    QString address_;
    QLocalServer* server_;
    Taker take_;
    // The connections open now, oldest first.
    QList<QLocalSocket*> peers_;
};

} // namespace app
