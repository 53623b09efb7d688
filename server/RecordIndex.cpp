#include "RecordIndex.h"

#include "Catalogue.h"
#include "Fold.h"
#include "Indexes.h"
#include "Seeder.h"

#include <algorithm>
#include <set>
#include <tuple>

namespace velt::server {

int YearIn(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        std::size_t n = 0;
        while (i + n < text.size() && text[i + n] >= '0' && text[i + n] <= '9') ++n;
        if (n == 3 || n == 4) return std::atoi(std::string(text.substr(i, n)).c_str());
        i += n;
    }
    return 0;
}

std::vector<std::uint32_t> BibliographicNumbers(Catalogue& db, const Identifiers& ids) {
    return db.NumbersOfKinds(std::string{kBookLetter, kMarcLetter}, ids.Letters());
}

RecordIndex DeriveIndex(const Identifiers& ids, std::uint32_t number, const RecordText& record) {
    RecordIndex out;
    const char letter = ids.Letter(number);
    const std::string shown = ids.Shown(number);
    std::set<std::pair<int, std::string>> seen;
    // MARC records are found in the indexes of books.
    const char indexLetter = IsBibliographic(letter) ? kBookLetter : letter;
    for (const IndexDef& index : AllIndexes()) {
        if (index.letter != indexLetter) continue;
        const auto headings = Headings(index, record, shown);
        for (std::size_t h = 0; h < headings.size(); ++h) {
            // Two headings that sort alike in one record make one entry.
            std::string key = HeadingKey(index, headings[h]);
            if (seen.emplace(index.id, key).second)
                out.entries.push_back({index.id, std::move(key), static_cast<int>(h + 1)});
            if (index.words)
                for (auto& w : FoldedWords(headings[h])) out.words.push_back({index.id, std::move(w)});
        }
    }
    std::sort(out.words.begin(), out.words.end(),
              [](const RecordIndex::Word& a, const RecordIndex::Word& b) { return std::tie(a.ix, a.word) < std::tie(b.ix, b.word); });
    out.words.erase(std::unique(out.words.begin(), out.words.end()), out.words.end());

    if (IsBibliographic(letter)) {
        const std::string title = Subfield(record.Value("245"), 'a');
        const std::string author = Subfield(record.Value("100"), 'a');
        out.st = Fold(title);
        out.sa = Fold(author.empty() ? title : author);
        out.year = YearIn(Subfield(ImprintOf(record), 'c'));
    } else {
        out.sa = out.st = Fold(Subfield(record.Value(letter == kPersonLetter ? "100" : "150"), 'a'));
    }

    for (const auto& f : record.Fields()) {
        if (f.key == "DOK_IDO") {
            if (out.parent == 0) out.parent = ids.Parse(f.value);
            continue;
        }
        for (const auto& link : Subfields(f.value, '9')) {
            const std::uint32_t n = ids.ParseShown(link);
            if (n != 0 && n != number && !IsBibliographic(ids.Letter(n))) out.refs.push_back(n);
        }
    }
    std::sort(out.refs.begin(), out.refs.end());
    out.refs.erase(std::unique(out.refs.begin(), out.refs.end()), out.refs.end());
    return out;
}

}  // namespace velt::server
