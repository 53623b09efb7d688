#include "browse/CollectionFile.h"

#include "browse/VrCollection.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <cstdio>
#include <unistd.h>
#include <sys/stat.h>

namespace velt {

namespace {
constexpr std::size_t kMaxLines = 1000000;
constexpr std::size_t kMaxLine = 256;
}  // namespace

std::string SaveCollectionFile(const std::string& path, VrCollection& collection, const IdentifierRules& rules) {
    const std::string failure = "Błąd zapisu do pliku "_cp + path;
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) return failure;
    ::fchmod(fd, 0644);
    std::FILE* f = ::fdopen(fd, "wb");
    if (!f) {
        ::close(fd);
        ::unlink(temp.c_str());
        return failure;
    }
    std::string block;
    bool ok = true;
    for (std::int64_t n = collection.FirstNumber(); n != 0 && ok; n = collection.NextNumber(n)) {
        block += rules.ShownIdentifier(rules.RecordIdentifier(static_cast<std::int32_t>(n)));
        block += "\r\n";
        if (block.size() >= 65536) {
            ok = std::fwrite(block.data(), 1, block.size(), f) == block.size();
            block.clear();
        }
    }
    if (ok && !block.empty()) ok = std::fwrite(block.data(), 1, block.size(), f) == block.size();
    ok = std::fflush(f) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return failure;
    }
    return {};
}

CollectionFileLines ReadCollectionFile(const std::string& path) {
    CollectionFileLines out;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return out;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    out.opened = true;
    std::string line;
    char buffer[65536];
    bool tooLong = false;
    auto finish = [&] {
        const std::string_view t = TrimSpaces(line);
        if (!t.empty() && !tooLong && out.lines.size() < kMaxLines) out.lines.emplace_back(t);
        line.clear();
        tooLong = false;
    };
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, f)) > 0) {
        for (std::size_t i = 0; i < got; ++i) {
            const char c = buffer[i];
            if (c == '\r' || c == '\n') {
                finish();
            } else if (line.size() < kMaxLine) {
                line.push_back(c);
            } else {
                tooLong = true;
            }
        }
    }
    finish();
    std::fclose(f);
    return out;
}

CollectionFileLoad LoadCollectionFile(const std::string& path, VrCollection& collection, const IdentifierRules& rules) {
    CollectionFileLoad load;
    const CollectionFileLines file = ReadCollectionFile(path);
    if (!file.opened) {
        load.error = "Błąd otwarcia pliku "_cp + path;
        return load;
    }
    for (const std::string& line : file.lines) {
        const std::int32_t n = rules.RecordNumber(rules.StoredIdentifier(line));
        if (n > 0 && collection.Include(n))
            ++load.included;
        else
            ++load.skipped;
    }
    return load;
}

}  // namespace velt
