// A small blocking HTTP client. Every call opens its own connection, sends
// the request, reads the reply whole and hangs up. It can be used from any
// thread that owns it; the transfer events run on that same thread, so on
// the user-interface thread they may process pending events, and may call
// Abandon() from there.
#pragma once

#include "http/HttpWire.h"

#include <QByteArray>
#include <QList>
#include <QPair>
#include <atomic>
#include <chrono>
#include <functional>

namespace http {

class Client {
public:
    // Each wait (connecting, sending, every wait for more reply bytes) gives
    // up after this long, so a silent peer cannot hold a caller for good.
    static constexpr std::chrono::milliseconds kDefaultWaitBound{30000};

    // The reply body begins; `announced` is its length, 0 when not announced.
    using TransferBegin = std::function<void(qint64 announced)>;
    // More of the body came in; `received` counts from the beginning.
    using Progress = std::function<void(qint64 received)>;

    Client() = default;
    Client(const Client&) = delete;
    Client& operator=(const Client&) = delete;

    void SetUserAgent(const QByteArray& agent) { userAgent_ = agent; }
    void SetWaitBound(std::chrono::milliseconds bound) { waitBound_ = bound; }
    void OnTransferBegin(TransferBegin handler) { onBegin_ = std::move(handler); }
    void OnProgress(Progress handler) { onProgress_ = std::move(handler); }

    // Posts the single form field `name`=`value` to `path` at the vendor's
    // address ("host" or "host:port") and returns the reply body as received.
    // Cookies set by earlier replies to this client go along.
    QByteArray PostForm(const QByteArray& vendorAddress, const QByteArray& path,
                        const QByteArray& name, const QByteArray& value);

    // Fetches an "http://" address and returns its body.
    QByteArray Get(const QByteArray& url);

    // Gives up the transfer under way: the pending call raises
    // Error::Kind::Abandoned as soon as control comes back to it.
    void Abandon() { abandoned_ = true; }

    // The Cookie value the next post would carry.
    QByteArray CookieHeader() const;

    // Every failure raises Error.
private:
    QByteArray Exchange(const Endpoint& endpoint, const QByteArray& request);
    void KeepCookies(const ReplyReader& reply);
    void CheckAbandoned() const;

    QByteArray userAgent_;
    std::chrono::milliseconds waitBound_ = kDefaultWaitBound;
    TransferBegin onBegin_;
    Progress onProgress_;
    std::atomic<bool> abandoned_ = false;
    QList<QPair<QByteArray, QByteArray>> cookies_;
};

} // namespace http
