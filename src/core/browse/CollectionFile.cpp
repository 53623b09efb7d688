#include "browse/CollectionFile.h"

#include "browse/VrCollection.h"
#include "files/AtomicFile.h"
#include "text/CpLiteral.h"
#include "text/Trim.h"

#include <cstdio>
#include <sys/stat.h>

namespace velt {

namespace {
constexpr std::size_t kMaxLines = 1000000;
constexpr std::size_t kMaxLine = 256;
}  // namespace

std::string SaveCollectionFile(const std::string& path, VrCollection& collection, const IdentifierRules& rules) {
    AtomicFile file(path);
    std::string block;
    for (std::int64_t n = collection.FirstNumber(); n != 0 && file.Open(); n = collection.NextNumber(n)) {
        block += rules.ShownIdentifier(rules.RecordIdentifier(static_cast<std::int32_t>(n)));
        block += "\r\n";
        if (block.size() >= 65536) {
            file.Write(block);
            block.clear();
        }
    }
    if (file.Write(block) && file.Commit().empty()) return {};
    return "Błąd zapisu do pliku "_cp + path + WriteFailureReason(file.ErrorCode());
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
