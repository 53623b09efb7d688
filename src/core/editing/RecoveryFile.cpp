// The recovery file: a first line naming the format, then per sheet a line
// "R" with its catalogue and names, one line "F" per field and a line "E"
// that closes it. Parts of a line are separated by tabs; inside a part a
// backslash, tab, line end, carriage return and zero byte are written as
// \\ \t \n \r \0.

#include "editing/RecoveryFile.h"

#include "files/AtomicFile.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <fstream>
#include <unistd.h>

namespace velt {

namespace {

constexpr std::string_view kHeader = "VELT-ODZYSK 1";

void Escape(std::string& out, std::string_view text) {
    for (const char c : text) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\0': out += "\\0"; break;
        default: out.push_back(c);
        }
    }
}

bool Unescape(std::string_view text, std::string& out) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out.push_back(text[i]);
            continue;
        }
        if (++i == text.size()) return false;
        switch (text[i]) {
        case '\\': out.push_back('\\'); break;
        case 't': out.push_back('\t'); break;
        case 'n': out.push_back('\n'); break;
        case 'r': out.push_back('\r'); break;
        case '0': out.push_back('\0'); break;
        default: return false;
        }
    }
    return true;
}

// The tab-separated parts of a line, unescaped; false when one is broken.
bool Parts(std::string_view line, std::vector<std::string>& parts) {
    parts.clear();
    std::size_t at = 0;
    for (;;) {
        const auto tab = line.find('\t', at);
        const std::string_view piece = line.substr(at, tab == std::string_view::npos ? std::string_view::npos : tab - at);
        parts.emplace_back();
        if (!Unescape(piece, parts.back())) return false;
        if (tab == std::string_view::npos) return true;
        at = tab + 1;
    }
}

}  // namespace

std::string RecoveryFileName(const std::string& workingDirectory) { return workingDirectory + "rekordy.odz"; }

std::string RecoveryText(const std::vector<KeptSheet>& sheets) {
    std::string out(kHeader);
    out.push_back('\n');
    for (const KeptSheet& s : sheets) {
        out += "R\t";
        Escape(out, s.host);
        out += "\t" + std::to_string(s.port) + "\t";
        for (const std::string* t : {&s.user, &s.code, &s.identifier, &s.source}) {
            Escape(out, *t);
            out.push_back(t == &s.source ? '\n' : '\t');
        }
        for (const my_field& f : s.fields) {
            out += f.readonly ? "F\t1\t" : "F\t0\t";
            Escape(out, f.key);
            out.push_back('\t');
            Escape(out, f.loaded);
            out.push_back('\t');
            Escape(out, f.value);
            out.push_back('\n');
        }
        out += "E\n";
    }
    return out;
}

std::vector<KeptSheet> ParseRecoveryText(std::string_view text) {
    std::vector<KeptSheet> sheets;
    if (text.size() > kMaxRecoveryFileBytes) return sheets;
    KeptSheet current;
    bool open = false;
    std::vector<std::string> parts;
    std::size_t at = 0;
    bool first = true;
    while (at < text.size()) {
        auto end = text.find('\n', at);
        if (end == std::string_view::npos) break;  // a last line without its end was cut off
        const std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (first) {
            if (line != kHeader) return sheets;
            first = false;
            continue;
        }
        if (!Parts(line, parts)) break;
        if (parts[0] == "R" && parts.size() == 7 && !open) {
            if (sheets.size() >= kMaxKeptRecords) break;
            current = KeptSheet{};
            current.host = parts[1];
            const auto& p = parts[2];
            if (std::from_chars(p.data(), p.data() + p.size(), current.port).ec != std::errc()) break;
            current.user = parts[3];
            current.code = parts[4];
            current.identifier = parts[5];
            current.source = parts[6];
            open = true;
        } else if (parts[0] == "F" && parts.size() == 5 && open && (parts[1] == "0" || parts[1] == "1")) {
            if (current.fields.size() >= kMaxKeptFields || parts[2].empty()) break;
            my_field f;
            f.readonly = parts[1] == "1" ? 1 : 0;
            f.key = std::move(parts[2]);
            f.loaded = std::move(parts[3]);
            f.value = std::move(parts[4]);
            current.fields.push_back(std::move(f));
        } else if (parts[0] == "E" && parts.size() == 1 && open) {
            sheets.push_back(std::move(current));
            open = false;
        } else {
            break;  // what follows a broken line is not trusted; an unclosed sheet is dropped
        }
    }
    return sheets;
}

std::vector<KeptSheet> ReadRecoveryFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return {};
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxRecoveryFileBytes) return {};
    }
    return ParseRecoveryText(text);
}

std::string WriteRecoveryFile(const std::string& path, const std::vector<KeptSheet>& sheets) {
    if (sheets.empty()) {
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return WriteFailureText(path, errno);
        return {};
    }
    // Private: the records are the user's.
    return WriteFileAtomically(path, RecoveryText(sheets), kPrivateFileMode);
}

}  // namespace velt
