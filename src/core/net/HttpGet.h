#pragma once
// One file fetched over HTTP: the list of other catalogues a library network
// publishes. HTTP/1.0 with "Connection: close"; only the status 200 is an
// answer; header names compare without regard to letter case; the body is
// read by its Content-Length (digits only), in chunks when the server sends
// it so, or to the close; a body past the limit, an empty one and a server
// that stops answering are failures, never a short or empty file reported
// as success.

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace velt {

struct HttpAddress {
    std::string host;
    int port = 80;
    std::string path = "/";
};

// "http://host[:port]/path", the scheme optional; none without a host or
// with a port that is none.
std::optional<HttpAddress> ReadHttpAddress(std::string_view address);

// The request's bytes.
std::string HttpRequestText(const HttpAddress& address);

// The texts of the failures, as the caller's user knows the file; the
// defaults speak of the list of catalogues.
struct HttpTexts {
    std::string tooBig;      // the body passes the limit
    std::string badAnswer;   // no HTTP answer
    std::string answered;    // followed by the status line of an answer other than 200
    std::string cutShort;    // fewer bytes than its length
    std::string empty;       // an empty body
    std::string timeout;     // the wait is over
};
// The list of catalogues' texts.
const HttpTexts& CatalogueListTexts();

struct HttpResponse {
    std::string body;   // the answer (error empty)
    std::string error;  // why there is none
};

// A whole response as it arrived (up to the close), its body at most maxBody bytes.
HttpResponse ReadHttpResponse(std::string_view bytes, std::size_t maxBody,
                              const HttpTexts& texts = CatalogueListTexts());

inline constexpr std::size_t kMaxHttpBody = 1024 * 1024;

// Connects, asks and reads the answer; every wait bounded by timeout.
HttpResponse HttpGet(const HttpAddress& address, std::size_t maxBody = kMaxHttpBody,
                     std::chrono::milliseconds timeout = std::chrono::seconds(30),
                     const HttpTexts& texts = CatalogueListTexts());

}  // namespace velt
