#include "reader/ReaderParameters.h"

#include "text/CpLiteral.h"

namespace velt {

namespace {

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::string ReaderEscape(std::string_view value) {
    std::string out;
    out.reserve(value.size());
    for (const char c : value) {
        if (c == '%')
            out += "%25";
        else if (c == '&')
            out += "%26";
        else
            out.push_back(c);
    }
    return out;
}

std::string ReaderParameter(std::string_view name, std::string_view value) {
    std::string item = "&";
    item.append(name);
    item.push_back('=');
    item += ReaderEscape(value);
    return item;
}

std::string ReaderValue(std::string_view answer, std::string_view name) {
    std::string marker = "&";
    marker.append(name);
    marker.push_back('=');
    const auto at = answer.find(marker);
    if (at == std::string_view::npos) return {};
    std::string_view raw = answer.substr(at + marker.size());
    raw = raw.substr(0, raw.find_first_of(std::string_view("&\0", 2)));
    std::string value;
    value.reserve(raw.size());
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] != '%') {
            value.push_back(raw[i]);
            continue;
        }
        const std::size_t left = raw.size() - i - 1;
        const int high = left >= 1 ? HexDigit(raw[i + 1]) : -1;
        const int low = left >= 2 ? HexDigit(raw[i + 2]) : -1;
        if (high >= 0 && low >= 0)
            value.push_back(static_cast<char>(high * 16 + low));
        else
            value.push_back('@');
        i += left < 2 ? left : 2;
    }
    return value;
}

char OperationCode(std::string_view command) {
    const std::string op = ReaderValue(command, "op");
    return op.size() == 1 ? op[0] : ' ';
}

std::string OperationCaption(char code) {
    switch (code) {
        case 'A': return "Przeglądanie kont"_cp;
        case 'H': return "Zmień hasło"_cp;
        case 'R':
        case 'r': return "Zarezerwuj egzemplarz"_cp;
        case 'S': return "Usuń zamówienie wydania"_cp;
        case 'U': return "Usuń rezerwację"_cp;
        case 'W':
        case 'w': return "Zamów lub zarezerwuj"_cp;
        default: return {};
    }
}

}  // namespace velt
