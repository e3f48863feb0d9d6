// TLS for the update server stand-in: a server context loaded from PEM files,
// and a connection whose TLS layer is peeled off so that the same HTTP code
// that serves plain connections serves it.
#pragma once

#include <openssl/ssl.h>

#include <functional>
#include <string>

namespace standins {

class CTlsServerContext {
public:
    // `cert_file`: the server's certificate followed by its issuers. Valid()
    // is false, with `error` set, when the files do not load or do not match.
    CTlsServerContext(const std::string& cert_file, const std::string& key_file,
                      std::string& error);
    ~CTlsServerContext();
    CTlsServerContext(const CTlsServerContext&) = delete;
    CTlsServerContext& operator=(const CTlsServerContext&) = delete;

    bool Valid() const { return m_pContext != nullptr; }
    SSL_CTX* Get() const { return m_pContext; }

private:
    SSL_CTX* m_pContext = nullptr;
};

// Completes the TLS handshake on the non-blocking socket `fd`, then runs
// serve_plain on one end of a socket pair, on a thread of its own, while the
// calling thread carries the bytes between the pair's other end and the TLS
// layer. Returns once both are done; the caller still owns `fd`.
void ServeOverTls(int fd, const CTlsServerContext& context,
                  const std::function<void(int)>& serve_plain);

} // namespace standins
