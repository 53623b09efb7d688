#include "CardReport.h"

#include "BookFields.h"
#include "Seeder.h"
#include "Session.h"
#include "text/CpLiteral.h"

#include <algorithm>

namespace velt::server {

namespace {

// What starts a card or a section of it, anywhere in a line.
constexpr std::string_view kMarkers[] = {"[KARTA_CENTRALNA]", "[KARTA]",     "[SYGNATURY]",
                                         "[HASLO]",           "[PARAGRAF]",  "[UKD]",
                                         "[INWENTARZ]",       "[FILIE]"};
// What wraps a paragraph's line.
constexpr std::string_view kWrappers[] = {"<A>", "<L>", "</X>"};

char Upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; }

bool SameAt(const std::string& text, std::size_t at, std::string_view word) {
    if (text.size() - at < word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Upper(text[at + i]) != word[i]) return false;
    return true;
}

std::string Joined(const std::vector<std::string>& parts, std::string_view between) {
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : std::string(between)) + p;
    return out;
}

void AddDistinct(std::vector<std::string>& to, const std::string& value) {
    if (!value.empty() && std::find(to.begin(), to.end(), value) == to.end()) to.push_back(value);
}

} // namespace

std::string CardTextLine(std::string_view text) {
    std::string out;
    for (const char c : text)
        out.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
    // Matched without regard to case: the card window may read them so.
    for (std::size_t at = 0; at < out.size(); ++at) {
        if (out[at] != '[' && out[at] != '<') continue;
        for (const std::string_view m : kMarkers)
            if (SameAt(out, at, m)) {
                out[at] = '(';
                out[at + m.size() - 1] = ')';
                break;
            }
        for (const std::string_view w : kWrappers)
            if (SameAt(out, at, w)) {
                out[at] = '(';
                out[at + w.size() - 1] = ')';
                break;
            }
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    out = out.substr(first, out.find_last_not_of(' ') - first + 1);
    if (out.size() > kMaxCardText) out.resize(kMaxCardText);
    while (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::vector<std::string> CardLines(const RecordText& r) {
    std::vector<std::string> calls, inventory, branches, udc;
    const std::vector<std::string> copies = r.Values("852");
    for (std::size_t i = 0; i < copies.size() && i < kMaxCardCopies; ++i) {
        AddDistinct(calls, CardTextLine(Subfield(copies[i], 'h')));
        AddDistinct(inventory, CardTextLine(Subfield(copies[i], 'p')));
        AddDistinct(branches, CardTextLine(Subfield(copies[i], 'b')));
    }
    for (const std::string& field : r.Values("080"))
        for (const std::string& a : Subfields(field, 'a'))
            AddDistinct(udc, CardTextLine(a));
    const bool central = branches.size() > 1;

    const BookFields book = ReadBookFields(r);
    const std::string titleProper = CardTextLine(book.title);
    const std::string author = CardTextLine(book.mainAuthor);
    const std::string heading = author.empty() ? titleProper : author;

    // The description: title and responsibility, edition and imprint; then
    // the physical description; then the ISBN.
    std::string description = titleProper.empty() ? "[bez tytułu]"_cp : titleProper;
    if (const std::string sub = CardTextLine(book.subtitle); !sub.empty())
        description += " : " + sub;
    if (const std::string resp = CardTextLine(book.responsibility); !resp.empty())
        description += " / " + resp;
    description += ".";
    if (const std::string ed = CardTextLine(book.edition); !ed.empty())
        description += " - " + ed + (ed.back() == '.' ? "" : ".");
    std::string place = CardTextLine(book.place);
    if (const std::string publisher = CardTextLine(book.publisher); !publisher.empty())
        place += (place.empty() ? "" : " : ") + publisher;
    if (const std::string year = CardTextLine(book.year); !year.empty())
        place += (place.empty() ? "" : ", ") + year;
    if (!place.empty()) description += " - " + place + ".";
    std::string extent = CardTextLine(book.extent);
    if (const std::string ill = CardTextLine(book.illustrations); !ill.empty())
        extent += (extent.empty() ? "" : " : ") + ill;
    const std::string isbn = CardTextLine(book.isbn);

    std::vector<std::string> lines = {central ? "[KARTA_CENTRALNA]" : "[KARTA]"};
    auto section = [&lines](const char* marker, const std::vector<std::string>& content) {
        if (content.empty()) return;
        lines.push_back(marker);
        lines.insert(lines.end(), content.begin(), content.end());
    };
    section("[SYGNATURY]", calls);
    if (!heading.empty()) section("[HASLO]", {heading});
    section("[PARAGRAF]", {CardTextLine(description)});
    if (!extent.empty()) section("[PARAGRAF]", {extent});
    if (!isbn.empty()) section("[PARAGRAF]", {"ISBN " + isbn});
    section("[UKD]", udc);
    if (central)
        section("[FILIE]", branches);
    else if (!inventory.empty())
        section("[INWENTARZ]", {CardTextLine("Inw. " + Joined(inventory, ", "))});
    return lines;
}

std::string CatalogueCardText(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::string text;
    std::size_t cards = 0;
    for (std::size_t i = 0; i < numbers.size() && cards < kMaxCards; ++i) {
        if (s.ids.Letter(numbers[i]) != kBookLetter) continue;
        const auto row = s.db.Record(numbers[i]);
        if (!row) continue;
        for (const std::string& line : CardLines(RecordText::Parse(row->text)))
            text += line + "\r\n";
        ++cards;
    }
    return text;
}

} // namespace velt::server
