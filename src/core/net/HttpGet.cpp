#include "net/HttpGet.h"

#include "net/PosixSocket.h"
#include "text/CpLiteral.h"

#include <charconv>

namespace velt {

namespace {

constexpr std::size_t kMaxHeaders = 64 * 1024;

std::string Lower(std::string_view t) {
    std::string out(t);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

std::string_view Trim(std::string_view t) {
    while (!t.empty() && (t.front() == ' ' || t.front() == '\t')) t.remove_prefix(1);
    while (!t.empty() && (t.back() == ' ' || t.back() == '\t' || t.back() == '\r')) t.remove_suffix(1);
    return t;
}

bool Digits(std::string_view t) { return !t.empty() && t.find_first_not_of("0123456789") == std::string_view::npos; }


// A chunked body decoded; none when it is not one.
std::optional<std::string> Unchunk(std::string_view data, std::size_t maxBody, const HttpTexts& texts,
                                   std::string& error) {
    std::string body;
    for (;;) {
        const auto eol = data.find('\n');
        if (eol == std::string_view::npos) return std::nullopt;
        std::string_view size = Trim(data.substr(0, eol));
        size = size.substr(0, size.find(';'));  // chunk extensions
        std::size_t n = 0;
        const auto [end, ec] = std::from_chars(size.data(), size.data() + size.size(), n, 16);
        if (size.empty() || ec != std::errc() || end != size.data() + size.size()) return std::nullopt;
        data.remove_prefix(eol + 1);
        if (n == 0) return body;
        if (n > maxBody - body.size() || body.size() > maxBody) {
            error = texts.tooBig;
            return std::nullopt;
        }
        if (data.size() < n) return std::nullopt;  // cut short
        body.append(data.substr(0, n));
        data.remove_prefix(n);
        if (data.starts_with("\r\n")) data.remove_prefix(2);
        else if (data.starts_with("\n")) data.remove_prefix(1);
        else return std::nullopt;
    }
}

}  // namespace

const HttpTexts& CatalogueListTexts() {
    static const HttpTexts texts{"Lista katalogów jest za duża"_cp,
                                 "Zła odpowiedź serwera listy katalogów"_cp,
                                 "Serwer listy katalogów odpowiedział: "_cp,
                                 "Lista katalogów nadeszła niepełna"_cp,
                                 "Pusta lista katalogów"_cp,
                                 "Przekroczono czas oczekiwania na listę katalogów"_cp};
    return texts;
}

std::optional<HttpAddress> ReadHttpAddress(std::string_view address) {
    std::string_view a = Trim(address);
    if (Lower(a.substr(0, 7)) == "http://") a.remove_prefix(7);
    HttpAddress out;
    const auto slash = a.find('/');
    std::string_view host = a.substr(0, slash);
    if (slash != std::string_view::npos) out.path = std::string(a.substr(slash));
    if (const auto colon = host.rfind(':'); colon != std::string_view::npos) {
        const std::string_view port = host.substr(colon + 1);
        int p = 0;
        const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), p);
        if (!Digits(port) || ec != std::errc() || end != port.data() + port.size() || p < 1 || p > 65535)
            return std::nullopt;
        out.port = p;
        host = host.substr(0, colon);
    }
    if (host.empty() || host.find_first_of(" \t\r\n") != std::string_view::npos) return std::nullopt;
    out.host = std::string(host);
    // The path goes out as it is written, but never with a line break in it.
    if (out.path.find_first_of("\r\n ") != std::string::npos) return std::nullopt;
    return out;
}

std::string HttpRequestText(const HttpAddress& address) {
    std::string host = address.host;
    if (address.port != 80) host += ":" + std::to_string(address.port);
    return "GET " + address.path + " HTTP/1.0\r\nHost: " + host + "\r\nConnection: close\r\n\r\n";
}

namespace {

enum class Parse { NeedMore, Done, Failed };

// The response so far; closed: nothing more will come.
Parse ParseResponse(std::string_view bytes, std::size_t maxBody, bool closed, const HttpTexts& texts,
                    HttpResponse& r) {
    auto fail = [&r](std::string error) {
        r.error = std::move(error);
        return Parse::Failed;
    };
    auto end = bytes.find("\r\n\r\n");
    std::size_t skip = 4;
    if (end == std::string_view::npos) {
        end = bytes.find("\n\n");
        skip = 2;
    }
    if (end == std::string_view::npos) {
        if (closed || bytes.size() > kMaxHeaders) return fail(texts.badAnswer);
        return Parse::NeedMore;
    }
    if (end > kMaxHeaders) return fail(texts.badAnswer);
    const std::string_view head = bytes.substr(0, end);
    const std::string_view data = bytes.substr(end + skip);
    // The status line: "HTTP/1.x 200 ...".
    const std::string_view status = Trim(head.substr(0, head.find('\n')));
    if (!status.starts_with("HTTP/") || status.find(' ') == std::string_view::npos) return fail(texts.badAnswer);
    if (status.substr(status.find(' ') + 1, 3) != "200")
        return fail(texts.answered + std::string(status));
    std::optional<std::size_t> length;
    bool chunked = false;
    for (std::size_t at = head.find('\n'); at != std::string_view::npos;) {
        const std::size_t next = head.find('\n', at + 1);
        const std::string_view line =
            Trim(head.substr(at + 1, next == std::string_view::npos ? std::string_view::npos : next - at - 1));
        at = next;
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) continue;
        const std::string name = Lower(Trim(line.substr(0, colon)));
        const std::string_view value = Trim(line.substr(colon + 1));
        if (name == "content-length") {
            std::size_t n = 0;
            const auto [e, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
            if (!Digits(value) || ec != std::errc() || e != value.data() + value.size()) {
                // Digits past what a length can hold are no less too much.
                if (Digits(value)) return fail(texts.tooBig);
                return fail(texts.badAnswer);
            }
            if (n > maxBody) return fail(texts.tooBig);
            length = n;
        } else if (name == "transfer-encoding" && Lower(value).find("chunked") != std::string::npos) {
            chunked = true;
        }
    }
    if (chunked) {
        std::string error;
        const auto body = Unchunk(data, maxBody, texts, error);
        if (!body) {
            if (!error.empty()) return fail(error);
            if (closed) return fail(texts.badAnswer);
            return Parse::NeedMore;
        }
        r.body = *body;
    } else if (length) {
        if (data.size() < *length) {
            if (closed) return fail(texts.cutShort);
            return Parse::NeedMore;
        }
        r.body = std::string(data.substr(0, *length));
    } else {
        if (data.size() > maxBody) return fail(texts.tooBig);
        if (!closed) return Parse::NeedMore;
        r.body = std::string(data);
    }
    if (r.body.empty()) return fail(texts.empty);
    return Parse::Done;
}

}  // namespace

HttpResponse ReadHttpResponse(std::string_view bytes, std::size_t maxBody, const HttpTexts& texts) {
    HttpResponse r;
    ParseResponse(bytes, maxBody, true, texts, r);
    return r;
}

HttpResponse HttpGet(const HttpAddress& address, std::size_t maxBody, std::chrono::milliseconds timeout,
                     const HttpTexts& texts) {
    HttpResponse r;
    PosixSocket socket;
    const int ms = static_cast<int>(timeout.count());
    socket.SetOperationTimeout(ms);
    if (std::string error = socket.Connect(address.host, address.port, ms); !error.empty()) {
        r.error = error;
        return r;
    }
    const std::string request = HttpRequestText(address);
    for (std::size_t sent = 0; sent < request.size();) {
        std::string error;
        const long n = socket.Send(request.data() + sent, request.size() - sent, error);
        if (n <= 0) {
            r.error = error;
            return r;
        }
        sent += static_cast<std::size_t>(n);
    }
    // Until the answer is whole (its length reached, its last chunk, the
    // close), a failure seen, or the time is up.
    std::string bytes;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    char buffer[16384];
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            r.error = texts.timeout;
            return r;
        }
        std::string error;
        const PosixSocket::Wait w = socket.WaitReadable(static_cast<int>(left.count()), error);
        if (w == PosixSocket::Wait::Timeout) continue;
        if (w == PosixSocket::Wait::Error) {
            r.error = error;
            return r;
        }
        const long n = socket.Receive(buffer, sizeof buffer, error);
        if (n < 0) {
            r.error = error;
            return r;
        }
        if (n > 0) bytes.append(buffer, static_cast<std::size_t>(n));
        HttpResponse now;
        const Parse state = ParseResponse(bytes, maxBody, n == 0, texts, now);
        if (state != Parse::NeedMore) return now;
    }
}

}  // namespace velt
