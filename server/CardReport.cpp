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

namespace {

// The classification of a subject: the number of its topic, with the
// auxiliary of its place or period ("Historia – Kraków": 94(438)).
struct TopicNumber {
    std::string topic, udc;
};
const TopicNumber kTopicNumbers[] = {
    {"Historia", "94"}, {"Literatura polska", "821.162.1"}, {"Poezja polska", "821.162.1-1"},
    {"Architektura", "72"}, {"Malarstwo", "75"}, {"Muzyka", "78"}, {"Geografia", "91"}, {"Turystyka", "338.48"},
    {"Przyroda", "502"}, {"Ornitologia", "598.2"}, {"Botanika", "58"}, {"Medycyna", "61"}, {"Zdrowie", "613"},
    {"Kuchnia polska", "641.5(438)"}, {"Ogrodnictwo", "635"}, {"Matematyka", "51"}, {"Fizyka", "53"},
    {"Chemia", "54"}, {"Informatyka", "004"}, {"Ekonomia", "33"}, {"Prawo", "34"}, {"Socjologia", "316"},
    {"Psychologia", "159.9"}, {"Pedagogika", "37"}, {"Filozofia", "1"}, {"Religia", "2"},
    {"Językoznawstwo"_cp, "81"}, {"Etnografia", "39"}, {"Folklor", "398"}, {"Sztuka ludowa", "7.031.4::39"},
    {"Teatr", "792"}, {"Film", "791"}, {"Fotografia", "77"}, {"Sport", "796"}, {"Żeglarstwo"_cp, "797.14"},
    {"Taternictwo", "796.52"}, {"Kolejnictwo", "656.2"}, {"Lotnictwo", "629.7"}, {"Wojskowość"_cp, "355"},
    {"Archeologia", "902"}, {"Numizmatyka", "737"}, {"Genealogia", "929.5"}, {"Biografie", "929::94"},
    {"Pamiętniki"_cp, "82-94::929"}, {"Reportaż"_cp, "82-92"}, {"Literatura dziecięca"_cp, "821-93::087.5"},
    {"Baśnie"_cp, "821-34"}, {"Powieść historyczna"_cp, "821-311.6"}, {"Powieść obyczajowa"_cp, "821-311.2"},
    {"Kryminał"_cp, "821-312.4"}, {"Fantastyka", "821-312.9"}, {"Astronomia", "52"}, {"Ekologia", "502.1"},
    {"Rolnictwo", "63"}, {"Leśnictwo"_cp, "630"}, {"Rzemiosło"_cp, "68"}, {"Handel", "339"},
    {"Transport", "656"}, {"Urbanistyka", "711"}, {"Źródła historyczne"_cp, "94(093)::930.2"},
};
const TopicNumber kAuxiliaries[] = {
    {"Polska", "(438)"}, {"Kraków"_cp, "(438)"}, {"Warszawa", "(438)"}, {"Gdańsk"_cp, "(438)"},
    {"Wrocław"_cp, "(438)"}, {"Łódź"_cp, "(438)"}, {"Poznań"_cp, "(438)"}, {"Lublin", "(438)"},
    {"Śląsk"_cp, "(438)"}, {"Mazury", "(438)"}, {"Pomorze", "(438)"}, {"Podhale", "(438)"},
    {"Kaszuby", "(438)"}, {"Wielkopolska", "(438)"}, {"Małopolska"_cp, "(438)"}, {"Europa", "(4)"},
    {"Niemcy", "(430)"}, {"Czechy", "(437.3)"}, {"Litwa", "(474.5)"}, {"Ukraina", "(477)"},
    {"19 w.", "\"18\""}, {"20 w.", "\"19\""}, {"21 w.", "\"20\""}, {"średniowiecze"_cp, "\"04/14\""},
    {"1918-1939", "\"1918/1939\""}, {"1939-1945", "\"1939/1945\""}, {"1945-1989", "\"1945/1989\""},
    {"podręczniki"_cp, "(075.8)"}, {"albumy", "(084)"},
};

// The classification of a subject heading, empty for a topic without one.
std::string SubjectNumber(const std::string& heading) {
    const std::string dash = " \x96 ";
    const std::size_t at = heading.find(dash);
    const std::string topic = heading.substr(0, at);
    const std::string qualifier = at == std::string::npos ? "" : heading.substr(at + dash.size());
    for (const TopicNumber& t : kTopicNumbers) {
        if (t.topic != topic) continue;
        for (const TopicNumber& a : kAuxiliaries)
            if (a.topic == qualifier) return t.udc + a.udc;
        return t.udc;
    }
    return {};
}

// A value of a field kept as plain text or as subfields: its "^a", or the text.
std::string PlainOrA(const std::string& value) { return value.rfind('^', 0) == 0 ? Subfield(value, 'a') : value; }

// A list of texts as content lines of at most kMaxCardText bytes: the first
// after lead, each ended by between, the last by end.
std::vector<std::string> ListLines(const std::string& lead, const std::vector<std::string>& items,
                                   const std::string& between, const std::string& end) {
    std::vector<std::string> lines;
    std::string line = lead;
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string item = items[i] + (i + 1 < items.size() ? between : end);
        if (!line.empty() && line.size() + 1 + item.size() > kMaxCardText) {
            lines.push_back(CardTextLine(line));
            line.clear();
        }
        line += (line.empty() ? "" : " ") + item;
    }
    if (!line.empty()) lines.push_back(CardTextLine(line));
    return lines;
}

// A text ended by a full stop (one, not two).
std::string Ended(const std::string& text) { return text.empty() || text.back() == '.' ? text : text + "."; }

std::string Roman(std::size_t n) {
    static const char* const kNumerals[] = {"I",  "II",  "III",  "IV", "V",   "VI",  "VII",
                                            "VIII", "IX", "X",   "XI", "XII", "XIII"};
    return n >= 1 && n <= 13 ? kNumerals[n - 1] : std::to_string(n);
}

struct CardContent {
    bool central = false;
    std::vector<std::string> calls, udc, inventory, branches;
    std::vector<std::vector<std::string>> paragraphs;
};

std::vector<std::string> CardText(const CardContent& c, const std::string& heading,
                                  const std::vector<std::string>& lead) {
    std::vector<std::string> lines = {c.central ? "[KARTA_CENTRALNA]" : "[KARTA]"};
    auto section = [&lines](const char* marker, const std::vector<std::string>& content) {
        if (content.empty()) return;
        lines.push_back(marker);
        lines.insert(lines.end(), content.begin(), content.end());
    };
    section("[SYGNATURY]", c.calls);
    if (!heading.empty()) section("[HASLO]", {heading});
    section("[PARAGRAF]", lead);
    for (const std::vector<std::string>& p : c.paragraphs) section("[PARAGRAF]", p);
    section("[UKD]", c.udc);
    if (c.central)
        section("[FILIE]", c.branches);
    else
        section("[INWENTARZ]", c.inventory);
    return lines;
}

}  // namespace

std::vector<std::string> CardLines(const RecordText& r) {
    CardContent c;
    std::vector<std::string> inventory;
    const std::vector<std::string> copies = r.Values("852");
    for (std::size_t i = 0; i < copies.size() && i < kMaxCardCopies; ++i) {
        AddDistinct(c.calls, CardTextLine(Subfield(copies[i], 'h')));
        AddDistinct(inventory, CardTextLine(Subfield(copies[i], 'p')));
        AddDistinct(c.branches, CardTextLine(Subfield(copies[i], 'b')));
    }
    // The copies of the editing form: an inventory number each.
    for (std::size_t k = 1; k <= kMaxCardCopies; ++k) {
        const std::string number = r.Attribute("876I.1.1." + std::to_string(k) + ".1");
        if (number.empty()) break;
        AddDistinct(inventory, CardTextLine(number));
    }
    c.central = c.branches.size() > 1;
    if (!inventory.empty()) c.inventory = ListLines("Inw.", inventory, ",", "");

    const BookFields book = ReadBookFields(r);
    for (const std::string& field : r.Values("080"))
        for (const std::string& a : Subfields(field, 'a'))
            AddDistinct(c.udc, CardTextLine(a));
    if (c.udc.empty())
        for (const std::string& subject : book.subjects)
            AddDistinct(c.udc, CardTextLine(SubjectNumber(subject)));

    const std::string titleProper = CardTextLine(book.title);
    const std::string author = CardTextLine(book.mainAuthor);
    const std::string heading = author.empty() ? titleProper : author;

    // The description: title and responsibility, edition and imprint; then
    // the physical description, the notes, the contents, the ISBN, and the
    // tracings (subjects numbered, added entries in Roman numerals, a
    // no-break space after each number so that it keeps to its entry).
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
    c.paragraphs.push_back({CardTextLine(description)});
    std::string extent = CardTextLine(book.extent);
    if (const std::string ill = CardTextLine(book.illustrations); !ill.empty())
        extent += (extent.empty() ? "" : " : ") + ill;
    if (!extent.empty()) c.paragraphs.push_back({extent});
    for (const std::string& note : r.Values("500"))
        if (const std::string n = CardTextLine(PlainOrA(note)); !n.empty()) c.paragraphs.push_back({n});
    std::vector<std::string> parts;
    for (const std::string& part : r.Values("505"))
        if (const std::string p = CardTextLine(PlainOrA(part)); !p.empty()) parts.push_back(p);
    // A no-break space before each ";": a line of the card never begins with one.
    if (!parts.empty()) c.paragraphs.push_back(ListLines("Zawartość:"_cp, parts, "\xA0;", "."));
    if (const std::string isbn = CardTextLine(book.isbn); !isbn.empty())
        c.paragraphs.push_back({"ISBN " + isbn});
    std::vector<std::string> coauthors, tracings;
    for (std::size_t i = 1; i < book.authors.size(); ++i)
        AddDistinct(coauthors, CardTextLine(book.authors[i]));
    for (std::size_t i = 0; i < book.subjects.size(); ++i)
        if (const std::string s = CardTextLine(book.subjects[i]); !s.empty())
            tracings.push_back(std::to_string(tracings.size() + 1) + ".\xA0" + Ended(s));
    for (std::size_t i = 0; i < coauthors.size(); ++i) tracings.push_back(Roman(i + 1) + ".\xA0" + Ended(coauthors[i]));
    if (!tracings.empty()) c.paragraphs.push_back(ListLines("", tracings, "", ""));

    // The main entry's card, then an added-entry card for each co-author
    // with the main heading as its first line.
    std::vector<std::string> lines = CardText(c, heading, {});
    for (const std::string& coauthor : coauthors) {
        const std::vector<std::string> added =
            CardText(c, coauthor, heading.empty() ? std::vector<std::string>{} : std::vector<std::string>{Ended(heading)});
        lines.insert(lines.end(), added.begin(), added.end());
    }
    return lines;
}

std::string CatalogueCardText(Session& s, const std::vector<std::uint32_t>& numbers) {
    std::string text;
    std::size_t cards = 0;
    for (std::size_t i = 0; i < numbers.size() && cards < kMaxCards; ++i) {
        if (!IsBibliographic(s.ids.Letter(numbers[i]))) continue;
        const auto row = s.db.Record(numbers[i]);
        if (!row) continue;
        for (const std::string& line : CardLines(RecordText::Parse(row->text))) {
            if (line == "[KARTA]" || line == "[KARTA_CENTRALNA]") {
                if (cards == kMaxCards) break;
                ++cards;
            }
            text += line + "\r\n";
        }
    }
    return text;
}

} // namespace velt::server
