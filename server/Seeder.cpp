#include "Seeder.h"

#include "Circulation.h"
#include "CoverImages.h"

#include "Fold.h"
#include "Identifiers.h"
#include "Indexes.h"
#include "ParameterForms.h"
#include "RecordIndex.h"
#include "RecordText.h"
#include "Sqlite.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <unistd.h>
#include <unordered_map>
#include <vector>

namespace velt::server {

namespace {

// A one-page PDF with a line of text (PDF 1.4, Helvetica, Latin letters only).
std::string ReviewPdf(const std::string& title) {
    std::string ascii;
    for (const char c : title) {
        const auto u = static_cast<unsigned char>(c);
        ascii.push_back(u < 128 && c != '(' && c != ')' && c != '\\' ? c : '?');
    }
    const std::string stream = "BT /F1 14 Tf 72 760 Td (Recenzja: " + ascii + ") Tj ET";
    std::vector<std::string> objects = {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 4 0 R /Resources << /Font << /F1 5 0 R >> >> >>",
        "<< /Length " + std::to_string(stream.size()) + " >>\nstream\n" + stream + "\nendstream",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>",
    };
    std::string pdf = "%PDF-1.4\n";
    std::vector<std::size_t> offsets;
    for (std::size_t i = 0; i < objects.size(); ++i) {
        offsets.push_back(pdf.size());
        pdf += std::to_string(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const std::size_t xref = pdf.size();
    pdf += "xref\n0 " + std::to_string(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const std::size_t o : offsets) {
        char line[24];
        std::snprintf(line, sizeof line, "%010zu 00000 n \n", o);
        pdf += line;
    }
    pdf += "trailer\n<< /Size " + std::to_string(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           std::to_string(xref) + "\n%%EOF\n";
    return pdf;
}

}  // namespace

namespace {

// splitmix64: a small, well-mixed generator; each record seeds its own.
class Random {
public:
    explicit Random(std::uint64_t seed) : mState(seed) {}
    std::uint64_t Next() {
        std::uint64_t z = (mState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 .. n-1
    std::uint32_t Below(std::uint32_t n) { return n == 0 ? 0 : static_cast<std::uint32_t>(Next() % n); }
    bool Chance(int percent) { return Below(100) < static_cast<std::uint32_t>(percent); }

private:
    std::uint64_t mState;
};

template <std::size_t N>
const std::string& Pick(Random& r, const std::string (&list)[N]) {
    return list[r.Below(N)];
}

const std::string kMaleNames[] = {
    "Jan"_cp,      "Andrzej"_cp, "Piotr"_cp,  "Krzysztof"_cp, "Stanisław"_cp, "Tomasz"_cp,  "Paweł"_cp,
    "Józef"_cp,    "Marcin"_cp,  "Marek"_cp,  "Michał"_cp,    "Grzegorz"_cp,  "Jerzy"_cp,   "Tadeusz"_cp,
    "Łukasz"_cp,   "Adam"_cp,    "Zbigniew"_cp, "Ryszard"_cp, "Dariusz"_cp,   "Henryk"_cp,  "Mariusz"_cp,
    "Kazimierz"_cp, "Wojciech"_cp, "Władysław"_cp, "Zdzisław"_cp};
const std::string kFemaleNames[] = {
    "Anna"_cp,   "Maria"_cp,  "Katarzyna"_cp, "Małgorzata"_cp, "Agnieszka"_cp, "Barbara"_cp, "Ewa"_cp,
    "Krystyna"_cp, "Elżbieta"_cp, "Zofia"_cp, "Teresa"_cp,   "Magdalena"_cp, "Joanna"_cp, "Janina"_cp,
    "Monika"_cp, "Danuta"_cp, "Jadwiga"_cp,   "Aleksandra"_cp, "Halina"_cp,  "Irena"_cp,   "Beata"_cp,
    "Żaneta"_cp, "Urszula"_cp, "Grażyna"_cp,  "Bożena"_cp};
const std::string kSurnames[] = {
    "Nowak"_cp,      "Kowalski"_cp,   "Wiśniewski"_cp, "Wójcik"_cp,     "Kowalczyk"_cp,  "Kamiński"_cp,
    "Lewandowski"_cp, "Zieliński"_cp, "Szymański"_cp,  "Woźniak"_cp,    "Dąbrowski"_cp,  "Kozłowski"_cp,
    "Jankowski"_cp,  "Mazur"_cp,      "Wojciechowski"_cp, "Kwiatkowski"_cp, "Krawczyk"_cp, "Kaczmarek"_cp,
    "Piotrowski"_cp, "Grabowski"_cp,  "Zając"_cp,      "Pawłowski"_cp,  "Michalski"_cp,  "Król"_cp,
    "Wieczorek"_cp,  "Jabłoński"_cp,  "Wróbel"_cp,     "Nowakowski"_cp, "Majewski"_cp,   "Olszewski"_cp,
    "Stępień"_cp,    "Malinowski"_cp, "Jaworski"_cp,   "Adamczyk"_cp,   "Dudek"_cp,      "Nowicki"_cp,
    "Pawlak"_cp,     "Górski"_cp,     "Witkowski"_cp,  "Walczak"_cp,    "Sikora"_cp,     "Baran"_cp,
    "Rutkowski"_cp,  "Michalak"_cp,   "Szewczyk"_cp,   "Ostrowski"_cp,  "Tomaszewski"_cp, "Pietrzak"_cp,
    "Żak"_cp,        "Bąk"_cp,        "Łuczak"_cp,     "Świątek"_cp,    "Ćwikła"_cp,     "Śliwa"_cp,
    "Żółkiewski"_cp, "Źrebiec"_cp};

const std::string kTitleHeads[] = {
    "Tajemnica"_cp, "Historia"_cp,  "Opowieść"_cp, "Kronika"_cp,    "Podróż"_cp,   "Sekret"_cp,
    "Księga"_cp,    "Pamiętnik"_cp, "Zagadka"_cp,  "Legenda"_cp,    "Wspomnienia"_cp, "Dzieje"_cp,
    "Sztuka"_cp,    "Tajemnice"_cp, "Ogrody"_cp,   "Światło"_cp,    "Cień"_cp,     "Droga"_cp,
    "Powrót"_cp,    "Lato"_cp,      "Zima"_cp,     "Jesień"_cp,     "Wiosna"_cp,   "Portret"_cp,
    "Mapa"_cp,      "Atlas"_cp,     "Słownik"_cp,  "Encyklopedia"_cp, "Listy"_cp,  "Źródła"_cp};
const std::string kTitleObjects[] = {
    "starego zamku"_cp,      "zielonej doliny"_cp,     "polskiej wsi"_cp,       "żółtego domu"_cp,
    "dawnych mistrzów"_cp,   "ciemnego lasu"_cp,       "białych gór"_cp,        "łagodnych wzgórz"_cp,
    "wielkiej rzeki"_cp,     "małego księcia"_cp,      "zapomnianego miasta"_cp, "dalekiej północy"_cp,
    "ostatniego lata"_cp,    "szklanej góry"_cp,       "leśnej polany"_cp,      "cichego portu"_cp,
    "złotej jesieni"_cp,     "starej apteki"_cp,       "nocnego pociągu"_cp,    "srebrnego jeziora"_cp,
    "królewskiego ogrodu"_cp, "wiejskiej szkoły"_cp,   "śląskich kopalń"_cp,    "morskiej latarni"_cp,
    "górskiego schroniska"_cp, "pustej plaży"_cp,      "dziecięcych lat"_cp,    "polskiej kuchni"_cp,
    "dawnej Warszawy"_cp,    "dawnego Krakowa"_cp,     "żydowskiego Lublina"_cp, "wojennych lat"_cp,
    "nowoczesnej architektury"_cp, "ludowej muzyki"_cp, "średniowiecznej Europy"_cp, "ptaków Polski"_cp,
    "roślin leczniczych"_cp, "języka polskiego"_cp,    "matematyki dyskretnej"_cp, "fizyki kwantowej"_cp};
const std::string kTitlePlaces[] = {
    " nad Wisłą"_cp,  " w Krakowie"_cp,   " na Mazurach"_cp,   " w XIX wieku"_cp,     " w XX wieku"_cp,
    " na Podhalu"_cp, " w Gdańsku"_cp,    " na Kaszubach"_cp,  " we Wrocławiu"_cp,    " nad Bałtykiem"_cp,
    " w Łodzi"_cp,    " w Tatrach"_cp,    " na Śląsku"_cp,     " w średniowieczu"_cp, " po wojnie"_cp,
    " dla początkujących"_cp, " dla dzieci"_cp, " w zarysie"_cp, " w pigułce"_cp,      ""};
const std::string kSubtitles[] = {
    "powieść"_cp,  "opowiadania"_cp,          "przewodnik"_cp, "szkice historyczne"_cp, "wybór wierszy"_cp,
    "podręcznik akademicki"_cp, "studium"_cp, "reportaże"_cp,  "wspomnienia"_cp,        "album"_cp,
    "poradnik"_cp, "esej"_cp,                 "dramat w trzech aktach"_cp, "słownik ilustrowany"_cp};
const std::string kNotes[] = {
    "Bibliografia s. 301-312. Indeks."_cp,        "Na okładce: seria \"Biblioteka Narodowa\"."_cp,
    "Streszczenie w języku angielskim."_cp,       "Wydanie jubileuszowe."_cp,
    "Indeks osób i nazw geograficznych."_cp,      "Tyt. oryg.: Chronicles of the old castle."_cp,
    "Bibliografia przy rozdziałach."_cp,          "Nakład 2000 egz."_cp};
const std::string kTopics[] = {
    "Historia"_cp,      "Literatura polska"_cp, "Poezja polska"_cp, "Architektura"_cp,   "Malarstwo"_cp,
    "Muzyka"_cp,        "Geografia"_cp,         "Turystyka"_cp,     "Przyroda"_cp,       "Ornitologia"_cp,
    "Botanika"_cp,      "Medycyna"_cp,          "Zdrowie"_cp,       "Kuchnia polska"_cp, "Ogrodnictwo"_cp,
    "Matematyka"_cp,    "Fizyka"_cp,            "Chemia"_cp,        "Informatyka"_cp,    "Ekonomia"_cp,
    "Prawo"_cp,         "Socjologia"_cp,        "Psychologia"_cp,   "Pedagogika"_cp,     "Filozofia"_cp,
    "Religia"_cp,       "Językoznawstwo"_cp,    "Etnografia"_cp,    "Folklor"_cp,        "Sztuka ludowa"_cp,
    "Teatr"_cp,         "Film"_cp,              "Fotografia"_cp,    "Sport"_cp,          "Żeglarstwo"_cp,
    "Taternictwo"_cp,   "Kolejnictwo"_cp,       "Lotnictwo"_cp,     "Wojskowość"_cp,     "Archeologia"_cp,
    "Numizmatyka"_cp,   "Genealogia"_cp,        "Biografie"_cp,     "Pamiętniki"_cp,     "Reportaż"_cp,
    "Literatura dziecięca"_cp, "Baśnie"_cp,     "Powieść historyczna"_cp, "Powieść obyczajowa"_cp,
    "Kryminał"_cp,      "Fantastyka"_cp,        "Astronomia"_cp,    "Ekologia"_cp,       "Rolnictwo"_cp,
    "Leśnictwo"_cp,     "Rzemiosło"_cp,         "Handel"_cp,        "Transport"_cp,      "Urbanistyka"_cp,
    "Źródła historyczne"_cp};
const std::string kQualifiers[] = {
    ""_cp,          "Polska"_cp,    "Kraków"_cp,     "Warszawa"_cp,  "Gdańsk"_cp,    "Wrocław"_cp,
    "Łódź"_cp,      "Poznań"_cp,    "Lublin"_cp,     "Śląsk"_cp,     "Mazury"_cp,    "Pomorze"_cp,
    "Podhale"_cp,   "Kaszuby"_cp,   "Wielkopolska"_cp, "Małopolska"_cp, "Europa"_cp,  "Niemcy"_cp,
    "Czechy"_cp,    "Litwa"_cp,     "Ukraina"_cp,    "19 w."_cp,     "20 w."_cp,     "21 w."_cp,
    "średniowiecze"_cp, "1918-1939"_cp, "1939-1945"_cp, "1945-1989"_cp, "podręczniki"_cp, "albumy"_cp};

struct Publisher {
    std::string name;
    std::string place;
};
const Publisher kPublishers[] = {
    {"Wydawnictwo Literackie"_cp, "Kraków"_cp},       {"Państwowy Instytut Wydawniczy"_cp, "Warszawa"_cp},
    {"Znak"_cp, "Kraków"_cp},                         {"Czytelnik"_cp, "Warszawa"_cp},
    {"Ossolineum"_cp, "Wrocław"_cp},                  {"Wydawnictwo Naukowe PWN"_cp, "Warszawa"_cp},
    {"Świat Książki"_cp, "Warszawa"_cp},              {"Prószyński i S-ka"_cp, "Warszawa"_cp},
    {"Zysk i S-ka"_cp, "Poznań"_cp},                  {"Wydawnictwo Dolnośląskie"_cp, "Wrocław"_cp},
    {"Nasza Księgarnia"_cp, "Warszawa"_cp},           {"Muza"_cp, "Warszawa"_cp},
    {"Iskry"_cp, "Warszawa"_cp},                      {"Wydawnictwo Łódzkie"_cp, "Łódź"_cp},
    {"Wydawnictwo Morskie"_cp, "Gdańsk"_cp},          {"Wydawnictwo Lubelskie"_cp, "Lublin"_cp},
    {"Śląsk"_cp, "Katowice"_cp},                      {"Pojezierze"_cp, "Olsztyn"_cp},
    {"Wydawnictwo Poznańskie"_cp, "Poznań"_cp},       {"Żak"_cp, "Zielona Góra"_cp}};
constexpr std::uint32_t kPublisherCount = sizeof kPublishers / sizeof kPublishers[0];

constexpr std::uint64_t kSeed = 0x5645'4C54'2D44'454DULL;

Random RandomFor(char letter, std::uint32_t seq) {
    return Random(kSeed ^ (std::uint64_t(static_cast<unsigned char>(letter)) << 56) ^ (std::uint64_t(seq) * 0x100000001B3ull));
}

bool EndsWith(const std::string& s, const char* tail) {
    const std::size_t n = std::char_traits<char>::length(tail);
    return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
}

// The feminine form of a surname: -ski, -cki, -dzki end in -ska, -cka, -dzka.
std::string Feminine(const std::string& surname) {
    if (EndsWith(surname, "ski") || EndsWith(surname, "cki")) return surname.substr(0, surname.size() - 1) + "a";
    return surname;
}

struct Person {
    std::string surname;
    std::string given;
    int born = 0;
};

Person PersonOf(std::uint32_t seq) {
    Random r = RandomFor(kPersonLetter, seq);
    Person p;
    const bool female = r.Chance(50);
    const std::string& surname = Pick(r, kSurnames);
    p.surname = female ? Feminine(surname) : surname;
    p.given = female ? Pick(r, kFemaleNames) : Pick(r, kMaleNames);
    if (r.Chance(30)) p.given += " " + std::string(1, static_cast<char>('A' + r.Below(26))) + ".";
    p.born = 1900 + static_cast<int>(r.Below(90));
    return p;
}

std::string PersonHeading(const Person& p) { return p.surname + ", " + p.given; }

std::string SubjectHeading(std::uint32_t seq) {
    constexpr std::uint32_t topics = sizeof kTopics / sizeof kTopics[0];
    const std::uint32_t i = seq - 1;
    const std::string& q = kQualifiers[(i / topics) % (sizeof kQualifiers / sizeof kQualifiers[0])];
    return kTopics[i % topics] + (q.empty() ? std::string() : " \x96 " + q);
}

std::string Digits(std::uint64_t v, int width) {
    std::string s = std::to_string(v);
    if (static_cast<int>(s.size()) > width) s = s.substr(s.size() - static_cast<std::size_t>(width));
    while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
    return s;
}

std::string Isbn10(std::uint32_t publisher, std::uint32_t title) {
    const std::string body = "83" + Digits(7000 + publisher * 13, 4) + Digits(title, 3);
    int sum = 0;
    for (int i = 0; i < 9; ++i) sum += (body[static_cast<std::size_t>(i)] - '0') * (10 - i);
    const int check = (11 - sum % 11) % 11;
    return body.substr(0, 2) + "-" + body.substr(2, 4) + "-" + body.substr(6, 3) + "-" +
           (check == 10 ? std::string("X") : std::to_string(check));
}

std::string Isbn13(std::uint32_t publisher, std::uint32_t title) {
    const std::string body = "97883" + Digits(7000 + publisher * 13, 4) + Digits(title, 3);
    int sum = 0;
    for (int i = 0; i < 12; ++i) sum += (body[static_cast<std::size_t>(i)] - '0') * (i % 2 ? 3 : 1);
    const int check = (10 - sum % 10) % 10;
    return body.substr(0, 3) + "-" + body.substr(3, 2) + "-" + body.substr(5, 4) + "-" + body.substr(9, 3) + "-" +
           std::to_string(check);
}

}  // namespace

SeedCounts CountsFor(std::uint32_t books) {
    SeedCounts c;
    c.books = books;
    c.persons = std::max<std::uint32_t>(20, books / 5);
    constexpr std::uint32_t combos =
        (sizeof kTopics / sizeof kTopics[0]) * (sizeof kQualifiers / sizeof kQualifiers[0]);
    c.subjects = std::min<std::uint32_t>(combos, std::max<std::uint32_t>(20, books / 10));
    return c;
}

bool IsbnValid(const std::string& isbn) {
    std::string d;
    for (char c : isbn)
        if (c != '-') d.push_back(c);
    if (d.size() == 10) {
        int sum = 0;
        for (int i = 0; i < 10; ++i) {
            const char c = d[static_cast<std::size_t>(i)];
            int v;
            if (c >= '0' && c <= '9') v = c - '0';
            else if (i == 9 && (c == 'X' || c == 'x')) v = 10;
            else return false;
            sum += v * (10 - i);
        }
        return sum % 11 == 0;
    }
    if (d.size() == 13) {
        int sum = 0;
        for (int i = 0; i < 13; ++i) {
            const char c = d[static_cast<std::size_t>(i)];
            if (c < '0' || c > '9') return false;
            sum += (c - '0') * (i % 2 ? 3 : 1);
        }
        return sum % 10 == 0;
    }
    return false;
}

int BookCover(std::uint32_t seq) { return seq % 7 == 3 ? static_cast<int>(seq % 4) + 1 : 0; }

std::string PersonText(std::uint32_t seq) {
    const Person p = PersonOf(seq);
    RecordText r;
    r.Add("100", 1, "^a" + PersonHeading(p) + " ^d" + std::to_string(p.born) + "-");
    r.Add("670", 1, "^aKatalog demonstracyjny"_cp);
    return r.Text();
}

std::string SubjectText(std::uint32_t seq) {
    RecordText r;
    r.Add("150", 1, "^a" + SubjectHeading(seq));
    return r.Text();
}

const std::vector<NamedAuthority>& NamedAuthorities() {
    static const std::vector<NamedAuthority> all = [] {
        std::vector<NamedAuthority> out;
        auto person = [&out](const std::string& main, const std::string& dates, std::vector<std::string> see) {
            RecordText r;
            r.Add("100", 1, "^a" + main + " ^d" + dates);
            int n = 0;
            for (const auto& s : see) r.Add("400", ++n, "^a" + s);
            r.Add("670", 1, "^aKatalog demonstracyjny"_cp);
            out.push_back({kPersonLetter, r.Text()});
        };
        person("Prus, Bolesław"_cp, "1847-1912", {"Głowacki, Aleksander"_cp});
        person("Sienkiewicz, Henryk", "1846-1916", {"Litwos"});
        person("Orzeszkowa, Eliza", "1841-1910", {"Pawłowska, Eliza"_cp, "Orzeszko, Eliza"});
        person("Mickiewicz, Adam", "1798-1855", {});
        person("Konopnicka, Maria", "1842-1910", {"Wasiłowska, Maria"_cp});
        auto body = [&out](const std::string& main, std::vector<std::string> see) {
            RecordText r;
            r.Add("110", 1, "^a" + main);
            int n = 0;
            for (const auto& s : see) r.Add("410", ++n, "^a" + s);
            out.push_back({kPersonLetter, r.Text()});
        };
        body("Biblioteka Narodowa (Warszawa)", {"BN"});
        body("Polska Akademia Nauk", {"PAN"});
        body("Uniwersytet Jagielloński"_cp, {"UJ", "Akademia Krakowska"});
        auto subject = [&out](const std::string& main, std::vector<std::string> see, std::vector<std::string> broader,
                              std::vector<std::string> narrower) {
            RecordText r;
            r.Add("150", 1, "^a" + main);
            int n = 0;
            for (const auto& s : see) r.Add("450", ++n, "^a" + s);
            n = 0;
            for (const auto& b : broader) r.Add("550", ++n, "^a" + b + " ^wg");
            for (const auto& w : narrower) r.Add("550", ++n, "^a" + w + " ^wh");
            out.push_back({kSubjectLetter, r.Text()});
        };
        subject("Literatura", {"Piśmiennictwo"_cp}, {}, {"Literatura polska", "Poezja"});
        subject("Literatura polska", {}, {"Literatura"}, {"Powieść polska"_cp, "Poezja polska"});
        subject("Powieść polska"_cp, {}, {"Literatura polska"}, {});
        subject("Poezja polska", {"Liryka polska"}, {"Literatura polska", "Poezja"}, {});
        subject("Poezja", {"Liryka"}, {"Literatura"}, {"Poezja polska"});
        return out;
    }();
    return all;
}

std::string BookText(std::uint32_t seq, const SeedCounts& counts) {
    Random r = RandomFor(kBookLetter, seq);
    RecordText rec;
    const int authorCount = r.Chance(70) ? 1 : r.Chance(66) ? 2 : 3;
    std::vector<std::uint32_t> authors;
    for (int a = 0; a < authorCount; ++a) {
        const std::uint32_t p = 1 + r.Below(counts.persons);
        if (std::find(authors.begin(), authors.end(), p) == authors.end()) authors.push_back(p);
    }
    auto authorField = [](std::uint32_t p) {
        const Person person = PersonOf(p);
        return "^a" + PersonHeading(person) + " ^d" + std::to_string(person.born) + "- ^9" +
               std::string(1, kPersonLetter) + std::to_string(p);
    };
    rec.Add("100", 1, authorField(authors[0]));

    // One draw per statement: the order of the draws must not depend on the compiler.
    std::string title = Pick(r, kTitleHeads);
    title += " " + Pick(r, kTitleObjects);
    title += Pick(r, kTitlePlaces);
    std::string field = "^a" + title;
    if (r.Chance(50)) field += " ^b" + Pick(r, kSubtitles);
    const Person first = PersonOf(authors[0]);
    field += " ^c" + first.given + " " + first.surname;
    rec.Add("245", 1, field);
    if (r.Chance(20)) rec.Add("250", 1, r.Chance(50) ? "^aWyd. 2"_cp : "^aWyd. 3 popr. i uzup."_cp);

    const std::uint32_t publisher = r.Below(kPublisherCount);
    const int year = 1950 + static_cast<int>(r.Below(75));
    rec.Add("260", 1, "^a" + kPublishers[publisher].place + " ^b" + kPublishers[publisher].name + " ^c" +
                          std::to_string(year));
    std::string extent = "^a" + std::to_string(80 + r.Below(820)) + " s.";
    if (r.Chance(30)) extent += " ^bil."_cp;
    rec.Add("300", 1, extent);
    if (r.Chance(95)) {
        const std::uint32_t titleNo = (seq / kPublisherCount) % 1000;
        rec.Add("020", 1, "^a" + (year < 2007 ? Isbn10(publisher, titleNo) : Isbn13(publisher, titleNo)));
    }
    const int subjectCount = 1 + static_cast<int>(r.Below(3));
    std::vector<std::uint32_t> subjects;
    for (int s = 0; s < subjectCount; ++s) {
        const std::uint32_t t = 1 + r.Below(counts.subjects);
        if (std::find(subjects.begin(), subjects.end(), t) == subjects.end()) subjects.push_back(t);
    }
    for (std::size_t s = 0; s < subjects.size(); ++s)
        rec.Add("650", static_cast<int>(s + 1),
                "^a" + SubjectHeading(subjects[s]) + " ^9" + std::string(1, kSubjectLetter) + std::to_string(subjects[s]));
    for (std::size_t a = 1; a < authors.size(); ++a) rec.Add("700", static_cast<int>(a), authorField(authors[a]));
    static const char* const shelves[] = {"II", "III", "IV", "Cz."};
    const std::string call = std::string("^h") + shelves[seq % 4] + " " + std::to_string(10000 + seq);
    // One book in ten is held by two or three branches: a location each.
    if (const int branches = BookBranches(seq); branches > 1) {
        for (int b = 0; b < branches; ++b)
            rec.Add("852", b + 1, call + " ^bF" + std::to_string(1 + (seq / 10 + 2 * static_cast<std::uint32_t>(b)) % 7));
    } else {
        rec.Add("852", 1, call);
    }
    if (BookCover(seq)) rec.Add("856", 1, "^uokladki/" + std::string(1, kBookLetter) + std::to_string(seq) + ".jpg");

    // Drawn after everything above, so that the fields above stay as they were.
    const int copies = 1 + static_cast<int>(r.Below(3));
    for (int k = 1; k <= copies; ++k) {
        const std::string at = ".1.1." + std::to_string(k) + ".1";
        rec.AddKey("876I" + at, std::to_string(20000 + std::uint64_t(seq) * 3 + static_cast<std::uint64_t>(k) - 1));
        rec.AddKey("876S" + at, "D");
    }
    if (r.Chance(40)) rec.Add("500", 1, Pick(r, kNotes));
    // Collections of shorter works list their contents, a part a line.
    const int parts = BookContentsParts(seq);
    for (int part = 1; part <= parts; ++part) {
        std::string title = Pick(r, kTitleHeads);
        title += " " + Pick(r, kTitleObjects);
        rec.Add("505", part, title);
    }
    // The language of the text: most books Polish, the others from the
    // number (no draw, so the fields above stay as they were).
    static const char* const kLanguages[] = {"eng", "ger", "fre", "rus"};
    rec.Add("041", 1, std::string("^a") + (seq % 10 < 7 ? "pol" : kLanguages[seq % 4]));
    return rec.Text();
}

HierarchyHeads HierarchyHeadsOf(std::uint32_t books) {
    HierarchyHeads h{};
    std::uint32_t seq = books + 1;
    for (int w = 0; w < 3; ++w) {
        h.works[w] = seq;
        seq += 1 + 2 + static_cast<std::uint32_t>(w);
    }
    h.serial = seq;
    seq += 13;
    h.collection = seq;
    seq += 13;
    h.series = seq;
    return h;
}

std::vector<std::string> HierarchyTexts(std::uint32_t books) {
    std::vector<std::string> out;
    const auto shown = [](std::uint32_t seq) { return std::string(1, kBookLetter) + std::to_string(seq); };
    const auto record = [&](const std::string& author, const std::string& title, const std::string& part, int year,
                            std::uint32_t publisher, std::uint32_t parent, const std::string& extent) {
        RecordText rec;
        if (!author.empty()) rec.Add("100", 1, "^a" + author);
        rec.Add("245", 1, "^a" + title + (part.empty() ? std::string() : " ^n" + part));
        const Publisher& p = kPublishers[publisher % kPublisherCount];
        rec.Add("260", 1, "^a" + p.place + " ^b" + p.name + " ^c" + std::to_string(year));
        rec.Add("300", 1, "^a" + extent);
        rec.Add("852", 1, "^hIV " + std::to_string(30000 + books % 1000 + out.size()));
        if (parent) rec.AddKey("DOK_IDO", shown(parent));
        out.push_back(rec.Text());
    };
    const HierarchyHeads heads = HierarchyHeadsOf(books);

    // Multi-volume works: the work, then its volumes out of their order.
    struct Work {
        std::string author;
        std::string title;
        int year;
        std::vector<int> stored;  // the volumes in the order they are stored
    };
    const Work works[] = {
        {"Nowak, Jan", "Dzieje Krakowa", 1998, {2, 1}},
        {"Wiśniewska, Maria"_cp, "Historia literatury polskiej", 2005, {3, 1, 2}},
        {"Zieliński, Piotr"_cp, "Encyklopedia przyrody", 2012, {4, 2, 1, 3}},
    };
    for (std::uint32_t w = 0; w < 3; ++w) {
        const Work& work = works[w];
        record(work.author, work.title, {}, work.year, w, 0, std::to_string(work.stored.size()) + " t.");
        for (const int v : work.stored)
            record(work.author, work.title, "T. " + std::to_string(v), work.year + v - 1, w, heads.works[w],
                   std::to_string(200 + 40 * v) + " s.");
    }
    // A serial and the issues of a year.
    const std::string editor = "Kowalska, Anna";
    record(editor, "Biuletyn Biblioteczny", {}, 2024, 3, 0, "12 nr");
    for (int i = 1; i <= 12; ++i)
        record(editor, "Biuletyn Biblioteczny", "2024, nr " + std::to_string(i), 2024, 3, heads.serial, "48 s.");
    // A collection of three series of three parts.
    const std::string compiler = "Dąbrowski, Tomasz"_cp;
    record(compiler, "Kolekcja literatury polskiej", {}, 2010, 4, 0, "9 t.");
    const std::string series[] = {"Poezja", "Proza", "Dramat"};
    for (int k = 0; k < 3; ++k) {
        const std::uint32_t seriesSeq = heads.collection + 1 + static_cast<std::uint32_t>(k) * 4;
        record(compiler, "Kolekcja literatury polskiej. " + series[k], {}, 2010, 4, heads.collection, "3 t.");
        for (int t = 1; t <= 3; ++t)
            record(compiler, kTitleHeads[(k * 3 + t) % (sizeof kTitleHeads / sizeof kTitleHeads[0])] + " " +
                           kTitleObjects[(k * 5 + t) % (sizeof kTitleObjects / sizeof kTitleObjects[0])],
                   "T. " + std::to_string(t), 2010 + t, 4, seriesSeq, std::to_string(150 + 10 * t) + " s.");
    }
    // A series of 300 parts.
    const std::string editorOfSeries = "Mazur, Tomasz";
    record(editorOfSeries, "Biblioteka Klasyki Polskiej", {}, 1990, 5, 0, "300 t.");
    for (int n = 1; n <= 300; ++n)
        record(editorOfSeries, kTitleHeads[n % (sizeof kTitleHeads / sizeof kTitleHeads[0])] + " " +
                       kTitleObjects[(n * 7) % (sizeof kTitleObjects / sizeof kTitleObjects[0])],
               "nr " + std::to_string(n), 1990 + n % 30, 5, heads.series, std::to_string(100 + n) + " s.");
    return out;
}

int BookBranches(std::uint32_t seq) { return seq % 10 == 4 ? 2 + static_cast<int>(seq % 20 / 10) : 1; }

int BookContentsParts(std::uint32_t seq) {
    if (seq % 250 == 9) return kLongContentsParts;
    if (seq % 25 == 3) return kContentsParts + static_cast<int>(seq % 5);
    return 0;
}

namespace {

// The entries of one index while seeding: headings are interned, so sorting
// compares integers, not texts.
class EntryCollector {
public:
    void Add(const std::string& headingKey, std::uint32_t number, int occurrence) {
        auto [it, added] = mIds.try_emplace(headingKey, static_cast<std::uint32_t>(mKeys.size()));
        if (added) mKeys.push_back(headingKey);
        mEntries.push_back({it->second, number, occurrence});
    }

    // Calls each(headingKey, number, occurrence) in key order.
    template <typename F>
    void Sorted(F each) {
        std::vector<std::uint32_t> order(mKeys.size());
        for (std::uint32_t i = 0; i < order.size(); ++i) order[i] = i;
        std::sort(order.begin(), order.end(), [this](std::uint32_t a, std::uint32_t b) { return mKeys[a] < mKeys[b]; });
        std::vector<std::uint32_t> rank(mKeys.size());
        for (std::uint32_t i = 0; i < order.size(); ++i) rank[order[i]] = i;
        std::sort(mEntries.begin(), mEntries.end(), [&rank](const E& a, const E& b) {
            const std::uint64_t ka = (std::uint64_t(rank[a.id]) << 32) | a.number;
            const std::uint64_t kb = (std::uint64_t(rank[b.id]) << 32) | b.number;
            return ka < kb;
        });
        for (std::size_t i = 0; i < mEntries.size(); ++i) {
            const E& e = mEntries[i];
            // The same heading twice in one record makes one entry.
            if (i > 0 && mEntries[i - 1].id == e.id && mEntries[i - 1].number == e.number) continue;
            each(mKeys[e.id], e.number, e.occurrence);
        }
    }

private:
    struct E {
        std::uint32_t id;
        std::uint32_t number;
        int occurrence;
    };
    std::unordered_map<std::string, std::uint32_t> mIds;
    std::vector<std::string> mKeys;
    std::vector<E> mEntries;
};

const char* const kSchema = R"(
CREATE TABLE meta(name TEXT PRIMARY KEY, value TEXT);
CREATE TABLE records(num INTEGER PRIMARY KEY, text BLOB NOT NULL, cover INTEGER NOT NULL DEFAULT 0,
                     sa BLOB, st BLOB, year INTEGER);
CREATE TABLE entries(ix INTEGER, key BLOB, num INTEGER, occ INTEGER, PRIMARY KEY(ix, key)) WITHOUT ROWID;
CREATE TABLE words(ix INTEGER, word BLOB, num INTEGER, PRIMARY KEY(ix, word, num)) WITHOUT ROWID;
CREATE TABLE attachments(num INTEGER, name BLOB, data BLOB, PRIMARY KEY(num, name));
CREATE TABLE accounts(name BLOB PRIMARY KEY, password BLOB, rights BLOB, profile BLOB, notice BLOB);
)";

// Added by schema 2: who refers to which authority record, and which record
// a record is attached to.
const char* const kSchema2 = R"(
CREATE TABLE IF NOT EXISTS refs(auth INTEGER, num INTEGER, PRIMARY KEY(auth, num)) WITHOUT ROWID;
CREATE TABLE IF NOT EXISTS links(num INTEGER PRIMARY KEY, parent INTEGER NOT NULL);
CREATE INDEX IF NOT EXISTS links_parent ON links(parent);
)";

struct AccountSeed {
    std::string name, rights, profile, notice;
};

}  // namespace

void SeedDatabase(const std::string& path, std::uint32_t books, bool hierarchies) {
    const SeedCounts counts = CountsFor(books);
    std::string temp = path + ".seeding-XXXXXX";
    const int fd = ::mkstemp(temp.data());
    if (fd < 0) throw DbError("cannot create " + temp);
    ::close(fd);
    try {
        Database db(temp, true);
        db.Exec("PRAGMA page_size=8192; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF; PRAGMA cache_size=-262144;"
                "PRAGMA temp_store=MEMORY;");
        db.Exec(kSchema);
        db.Exec(kSchema2);
        db.Exec("BEGIN");

        const Identifiers ids(DbKind::Velt3, kRecordLetters);
        const auto& indexes = AllIndexes();
        std::unordered_map<int, std::size_t> slot;  // index number -> position in indexes
        for (std::size_t x = 0; x < indexes.size(); ++x) slot[indexes[x].id] = x;
        std::vector<EntryCollector> entries(indexes.size());
        std::vector<EntryCollector> words(indexes.size());
        Statement insertRecord(db, "INSERT INTO records(num,text,cover,sa,st,year) VALUES(?1,?2,?3,?4,?5,?6)");

        // Every record's entries, words, sort columns and references come from
        // the one derivation that saving uses too.
        std::vector<std::uint64_t> refs;
        Statement insertLink(db, "INSERT INTO links(num,parent) VALUES(?1,?2)");
        auto addRecord = [&](char letter, std::uint32_t seq, const std::string& text, int cover) {
            const std::uint32_t number = ids.Number(letter, seq);
            const RecordIndex derived = DeriveIndex(ids, number, RecordText::Parse(text));
            if (derived.parent) {
                insertLink.Bind(1, number).Bind(2, derived.parent);
                insertLink.Run();
            }
            for (const auto& e : derived.entries) entries[slot[e.ix]].Add(e.heading, number, e.occurrence);
            for (const auto& w : derived.words) words[slot[w.ix]].Add(w.word, number, 0);
            for (const std::uint32_t a : derived.refs) refs.push_back((std::uint64_t{a} << 32) | number);
            insertRecord.Bind(1, number).Bind(2, text).Bind(3, cover).Bind(4, derived.sa).Bind(5, derived.st)
                .Bind(6, derived.year);
            insertRecord.Run();
        };

        const std::uint32_t most = std::max({counts.books, counts.persons, counts.subjects});
        for (std::uint32_t seq = 1; seq <= most; ++seq) {
            if (seq <= counts.books) addRecord(kBookLetter, seq, BookText(seq, counts), BookCover(seq));
            if (seq <= counts.persons) addRecord(kPersonLetter, seq, PersonText(seq), 0);
            if (seq <= counts.subjects) addRecord(kSubjectLetter, seq, SubjectText(seq), 0);
        }

        // The hierarchies, after the generated books.
        const std::vector<std::string> hierarchy = hierarchies ? HierarchyTexts(counts.books) : std::vector<std::string>{};
        for (std::size_t h = 0; h < hierarchy.size(); ++h)
            addRecord(kBookLetter, counts.books + 1 + static_cast<std::uint32_t>(h), hierarchy[h], 0);

        // Authority records a librarian knows, after the generated ones: persons
        // with see-references, corporate bodies, subjects with broader and
        // narrower terms.
        const auto& named = NamedAuthorities();
        std::uint32_t namedPersons = 0, namedSubjects = 0;
        for (const NamedAuthority& a : named) {
            const bool person = a.letter == kPersonLetter;
            const std::uint32_t seq = person ? counts.persons + ++namedPersons : counts.subjects + ++namedSubjects;
            addRecord(a.letter, seq, a.text, 0);
        }

        Statement insertEntry(db, "INSERT INTO entries(ix,key,num,occ) VALUES(?1,?2,?3,?4)");
        Statement insertWord(db, "INSERT INTO words(ix,word,num) VALUES(?1,?2,?3)");
        for (std::size_t x = 0; x < indexes.size(); ++x) {
            const int ix = indexes[x].id;
            std::string key;
            entries[x].Sorted([&](const std::string& heading, std::uint32_t number, int occ) {
                char digits[16];
                std::snprintf(digits, sizeof digits, "\x01%010u", number);
                key.assign(heading).append(digits);
                insertEntry.Bind(1, ix).Bind(2, key).Bind(3, number).Bind(4, occ);
                insertEntry.Run();
            });
            entries[x] = EntryCollector();
            words[x].Sorted([&](const std::string& word, std::uint32_t number, int) {
                insertWord.Bind(1, ix).Bind(2, word).Bind(3, number);
                insertWord.Run();
            });
            words[x] = EntryCollector();
        }

        std::sort(refs.begin(), refs.end());
        Statement insertRef(db, "INSERT INTO refs(auth,num) VALUES(?1,?2)");
        for (const std::uint64_t r : refs) {
            insertRef.Bind(1, static_cast<std::int64_t>(r >> 32)).Bind(2, static_cast<std::int64_t>(r & 0xFFFFFFFFu));
            insertRef.Run();
        }
        refs = {};

        // A few attachments, so that the lists and transfers have something to show.
        Statement insertAttachment(db, "INSERT INTO attachments(num,name,data) VALUES(?1,?2,?3)");
        for (std::uint32_t seq = 5; seq <= counts.books; seq += 97) {
            const RecordText record = RecordText::Parse(BookText(seq, counts));
            const std::string text = "Spis treści\r\n\r\n"_cp + Subfield(record.Value("245"), 'a') +
                                     "\r\n\r\n1. Wstęp\r\n2. Rozdział pierwszy\r\n3. Rozdział drugi\r\n4. Zakończenie\r\n"_cp;
            insertAttachment.Bind(1, ids.Number(kBookLetter, seq)).Bind(2, "spis treści.txt"_cp).Bind(3, text);
            insertAttachment.Run();
        }
        // A picture and a PDF too, on other books, so that every way of
        // showing an attachment has something to show.
        for (std::uint32_t seq = 11; seq <= counts.books; seq += 97) {
            insertAttachment.Bind(1, ids.Number(kBookLetter, seq)).Bind(2, "okładka.jpg"_cp)
                .Bind(3, CoverPicture(static_cast<int>(seq % 4 + 1), true));
            insertAttachment.Run();
            const RecordText record = RecordText::Parse(BookText(seq, counts));
            insertAttachment.Bind(1, ids.Number(kBookLetter, seq)).Bind(2, "recenzja.pdf"_cp)
                .Bind(3, ReviewPdf(Subfield(record.Value("245"), 'a')));
            insertAttachment.Run();
        }

        const AccountSeed accounts[] = {
            {"admin", "modyfikowanie administrowanie", "administrator", ""},
            {"bibliotekarz", "modyfikowanie", "katalogowanie", ""},
            {"gosc", "", "czytelnik", ""},
            {"nowy", "modyfikowanie", "katalogowanie", "Hasło tymczasowe: ustaw nowe hasło"_cp},
        };
        Statement insertAccount(db, "INSERT INTO accounts(name,password,rights,profile,notice) VALUES(?1,?1,?2,?3,?4)");
        for (const auto& a : accounts) {
            insertAccount.Bind(1, a.name).Bind(2, a.rights).Bind(3, a.profile).Bind(4, a.notice);
            insertAccount.Run();
        }
        Statement meta(db, "INSERT INTO meta(name,value) VALUES(?1,?2)");
        meta.Bind(1, std::string("records")).Bind(2, std::to_string(books));
        meta.Run();
        meta.Bind(1, std::string("schema")).Bind(2, std::to_string(kSchemaVersion));
        meta.Run();
        meta.Bind(1, std::string("letters")).Bind(2, std::string(kRecordLetters));
        meta.Run();
        // The next sequence number of each kind letter: numbers are never reused.
        for (const auto& [letter, count] : {std::pair{kBookLetter, counts.books + static_cast<std::uint32_t>(hierarchy.size())},
                                            std::pair{kPersonLetter, counts.persons + namedPersons},
                                            std::pair{kSubjectLetter, counts.subjects + namedSubjects}}) {
            meta.Bind(1, NextKey(letter)).Bind(2, std::to_string(count + 1));
            meta.Run();
        }
        // The library's readers, copies, loans, reservations and orders.
        SeedCirculation(db, ids, counts.books, TodayDays());
        db.Exec("CREATE INDEX records_sa ON records(sa); CREATE INDEX records_st ON records(st);"
                "CREATE INDEX records_year ON records(year);"
                "CREATE INDEX records_cover ON records(num) WHERE cover > 0;");
        db.Exec("COMMIT");
        db.Exec("PRAGMA journal_mode=WAL");
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        throw DbError("cannot rename the seeded database to " + path);
    }
}

std::string NextKey(char letter) { return std::string("next.") + letter; }

// The names are written as the seeder binds them (blobs): a name written as
// a literal in the statement would be another key.
std::optional<std::string> MetaValue(Database& db, const std::string& name) {
    Statement q(db, "SELECT value FROM meta WHERE name=?1");
    q.Bind(1, name);
    if (!q.Step()) return std::nullopt;
    return q.Text(0);
}

void SetMetaValue(Database& db, const std::string& name, const std::string& value) {
    Statement q(db, "INSERT OR REPLACE INTO meta(name,value) VALUES(?1,?2)");
    q.Bind(1, name).Bind(2, value);
    q.Run();
}

namespace {

// The letters a database's record numbers count over: its meta entry "letters"
// (written as seeding writes its names, a blob), else the three letters every
// database had before the entry was kept.
std::string NumberingLetters(Database& db) { return MetaValue(db, "letters").value_or("KOT"); }

// Record numbers counted over fewer letters counted over the letters of now
// (letters are only ever appended): the same letter and sequence number, so
// every identifier a user has seen still names the same record. Every
// table's column "num" holds record numbers, and the references' and links'
// other ends; index keys end with the number and are written anew.
void RenumberToTheLettersOfNow(Database& db) {
    const std::string before = NumberingLetters(db);
    const std::string now = kRecordLetters;
    if (before == now) return;
    if (before.empty() || now.compare(0, before.size(), before) != 0)
        throw DbError("the record numbers count over the letters " + before + ", which " + now + " does not continue");
    const auto old = static_cast<std::int64_t>(before.size());
    const auto fresh = static_cast<std::int64_t>(now.size());
    auto mapped = [&](const std::string& c) {
        return "((" + c + "/" + std::to_string(old) + ")*" + std::to_string(fresh) + "+" + c + "%" + std::to_string(old) +
               ")";
    };
    Transaction t(db);
    std::vector<std::pair<std::string, std::string>> columns;  // table, column
    {
        Statement tables(db, "SELECT name FROM sqlite_master WHERE type='table' AND name NOT LIKE 'sqlite_%'");
        std::vector<std::string> names;
        while (tables.Step()) names.push_back(tables.Text(0));
        for (const std::string& table : names) {
            if (table == "entries") continue;
            Statement info(db, ("SELECT name FROM pragma_table_info('" + table + "')").c_str());
            while (info.Step()) {
                const std::string column = info.Text(0);
                if (column == "num" || (table == "refs" && column == "auth") || (table == "links" && column == "parent"))
                    columns.emplace_back(table, column);
            }
        }
    }
    // Through negative numbers, so that no new number meets an old one on the way.
    for (const auto& [table, column] : columns) {
        db.Exec(("UPDATE " + table + " SET " + column + "=-" + mapped(column)).c_str());
        db.Exec(("UPDATE " + table + " SET " + column + "=-" + column).c_str());
    }
    db.Exec("CREATE TABLE entries_renumbered(ix INTEGER, key BLOB, num INTEGER, occ INTEGER, PRIMARY KEY(ix, key))"
            " WITHOUT ROWID");
    {
        Statement all(db, "SELECT ix,key,num,occ FROM entries");
        Statement add(db, "INSERT INTO entries_renumbered(ix,key,num,occ) VALUES(?1,?2,?3,?4)");
        std::string key;
        while (all.Step()) {
            const std::int64_t n = all.Int(2) / old * fresh + all.Int(2) % old;
            const std::string_view stored = all.View(1);
            char digits[16];
            std::snprintf(digits, sizeof digits, "\x01%010lld", static_cast<long long>(n));
            // A key is the heading, the byte 01 and the number in ten digits.
            key.assign(stored.substr(0, stored.size() >= 11 ? stored.size() - 11 : 0)).append(digits);
            add.Bind(1, all.Int(0)).Bind(2, key).Bind(3, n).Bind(4, all.Int(3));
            add.Run();
        }
    }
    db.Exec("DROP TABLE entries; ALTER TABLE entries_renumbered RENAME TO entries;");
    SetMetaValue(db, "letters", now);
    t.Commit();
}

}  // namespace

void UpgradeDatabase(const std::string& path) {
    Database db(path, false);
    // First, before anything reads or writes record numbers.
    RenumberToTheLettersOfNow(db);
    int schema = 1;
    if (const auto version = MetaValue(db, "schema")) schema = std::atoi(version->c_str());
    if (schema >= kSchemaVersion) return;
    Transaction t(db);
    if (schema < 3) {
        // Schema 2 knew no circulation: the readers and copies of a new
        // catalogue of the same books.
        const auto records = MetaValue(db, "records");
        const auto books = static_cast<std::uint32_t>(records ? std::atol(records->c_str()) : 0);
        SeedCirculation(db, Identifiers(DbKind::Velt3, kRecordLetters), books, TodayDays());
    }
    if (schema >= 2) {
        SetMetaValue(db, "schema", std::to_string(kSchemaVersion));
        t.Commit();
        return;
    }
    // Schema 1 knew no reference and link tables: they are derived from
    // every record, as saving keeps them, in one transaction.
    db.Exec(kSchema2);
    db.Exec("DELETE FROM refs; DELETE FROM links;");
    const Identifiers ids(DbKind::Velt3, kRecordLetters);
    Statement all(db, "SELECT num,text FROM records ORDER BY num");
    Statement insertRef(db, "INSERT OR IGNORE INTO refs(auth,num) VALUES(?1,?2)");
    Statement insertLink(db, "INSERT OR REPLACE INTO links(num,parent) VALUES(?1,?2)");
    while (all.Step()) {
        const auto number = static_cast<std::uint32_t>(all.Int(0));
        const RecordIndex derived = DeriveIndex(ids, number, RecordText::Parse(all.View(1)));
        for (const std::uint32_t a : derived.refs) {
            insertRef.Bind(1, a).Bind(2, number);
            insertRef.Run();
        }
        if (derived.parent) {
            insertLink.Bind(1, number).Bind(2, derived.parent);
            insertLink.Run();
        }
    }
    all.Reset();
    SetMetaValue(db, "schema", std::to_string(kSchemaVersion));
    t.Commit();
}

}  // namespace velt::server
