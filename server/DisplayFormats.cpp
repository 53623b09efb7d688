#include "DisplayFormats.h"

#include "BookFields.h"
#include "Links.h"
#include "Circulation.h"
#include "CoverImages.h"
#include "Descriptor.h"
#include "ParameterForms.h"
#include "ReaderRequests.h"
#include "RecordText.h"
#include "Seeder.h"
#include "TestControl.h"
#include "text/CpLiteral.h"

namespace velt::server {

namespace {

const std::string kEsc = "\x1B";
const std::string kSub = "\x1A";

std::string Cmd(char letter, const std::string& argument) { return kEsc + letter + argument + kSub; }
std::string Bold(const std::string& t) { return Cmd('S', "B") + t + Cmd('S', ""); }
std::string Italic(const std::string& t) { return Cmd('S', "I") + t + Cmd('S', ""); }
std::string Link(const std::string& command, const std::string& text) { return Cmd('L', command + "||" + text); }
std::string Colour(const std::string& c) { return Cmd('C', c); }

// A text of the record, made safe for a display line: no markup bytes, no CR.
std::string Plain(std::string_view t) {
    std::string out;
    for (const char c : t) out.push_back(c == '\x1B' || c == '\x1A' || c == '\r' || c == '\n' ? ' ' : c);
    return out;
}

std::string Query(const std::string& index, const std::string& kind, const std::string& text) {
    return "zapytanie \"" + index + "\" " + kind + " \"" + EscapeSearchText(text) + "\"";
}

std::string AuthorLink(const std::string& name) {
    return Link(Query("autor"_cp, "RÓWNY"_cp, name), Plain(name));
}

using Book = BookFields;

std::string CoverCommand(const RecordRow& row, const Book& b) {
    const std::string_view small = CoverPicture(row.cover, false);
    if (small.empty() || b.cover.empty()) return {};
    return Cmd('I', "JPG " + b.cover + "||" + EscapePicture(small));
}

std::string AttachmentLinks(Catalogue& db, std::uint32_t number) {
    std::string line;
    for (const auto& name : db.AttachmentNames(number)) {
        if (!line.empty()) line += ", ";
        line += Link("BLOB" + name, Plain(name));
    }
    return line;
}

std::string Description(const Book& b) {
    std::string d;
    if (!b.authors.empty()) d += AuthorLink(b.authors[0]) + ". ";
    d += Italic(Plain(b.title));
    if (!b.part.empty()) d += ". " + Plain(b.part);
    if (!b.subtitle.empty()) d += " : " + Plain(b.subtitle);
    if (!b.responsibility.empty()) d += " / " + Plain(b.responsibility);
    d += ".";
    if (!b.edition.empty()) d += " \x96 " + Plain(b.edition) + ".";
    d += " \x96 " + Plain(b.place) + " : " + Plain(b.publisher) + ", " + Plain(b.year) + ".";
    return d;
}

std::string BookShort(Catalogue& db, const Identifiers& ids, const RecordRow& row, const Book& b) {
    std::vector<std::string> lines;
    lines.push_back(CoverCommand(row, b) + Description(b));
    std::string info = Colour("B") + "Sygn. "_cp + Plain(b.call);
    if (!b.isbn.empty()) info += " \x96 ISBN " + Plain(b.isbn);
    info += Colour("0") + "  " + Link("rekord" + ids.Shown(row.number) + " TY", "w indeksie tytułów"_cp);
    if (InHierarchy(db, row.number)) info += "  " + Link("powiazania", "powiązania"_cp);
    lines.push_back(info);
    const std::string files = AttachmentLinks(db, row.number);
    if (!files.empty()) lines.push_back("Pliki: "_cp + files);
    std::string text;
    for (const auto& l : lines) text += (text.empty() ? "" : "\r") + l;
    return text;
}

std::string ReferenceText(const Identifiers& ids, const RecordRow& row, const RecordText& r);

// The caption of a record in a structure text: author, title, the part's
// number and the year, as one line.
std::string StructureCaption(const Identifiers& ids, const RecordRow& row) {
    const RecordText r = RecordText::Parse(row.text);
    if (ids.Letter(row.number) != kBookLetter) return Plain(ReferenceText(ids, row, r));
    const Book b = ReadBookFields(r);
    std::string t;
    if (!b.authors.empty()) t += Plain(b.authors[0]) + ". ";
    t += Plain(b.title);
    if (!b.part.empty()) t += ". " + Plain(b.part);
    if (!b.year.empty()) t += " (" + Plain(b.year) + ")";
    return t.substr(0, 300);
}

// A record of a hierarchy: its links (the schema, the whole of which it is a
// part) and, for a record with parts, the buttons of their list and of a note.
std::string HierarchyLine(Catalogue& db, const Identifiers& ids, std::uint32_t number) {
    const std::string shown = ids.Shown(number);
    std::string line = Bold("Powiązania: "_cp) + Link("powiazania", "schemat powiązań"_cp);
    if (const std::uint32_t parent = db.Parent(number)) {
        const auto up = db.Record(parent);
        if (up) line += "  " + "część: "_cp + Link("STRUKTURA " + ids.Shown(parent) + "|struktura", StructureCaption(ids, *up));
    }
    if (const auto parts = db.Children(number); !parts.empty()) {
        line += "  " + "części: "_cp + std::to_string(parts.size());
        line += Cmd('B', "RAPORT Zestawienie tytułów|S.1|T||zestawienie.bmp"_cp);
        line += Cmd('B', "OPERACJA uwagi|REKORD|" + shown + "||operacja.bmp");
    }
    return line;
}

std::string BookFull(Catalogue& db, const Identifiers& ids, const RecordRow& row, const Book& b) {
    std::vector<std::string> lines;
    const std::string shown = ids.Shown(row.number);
    // A record with a cover gets a background of its own.
    std::string first = (row.cover ? Cmd('R', "$F0F8FF") : std::string()) + CoverCommand(row, b) + Bold("Autor: "_cp);
    for (std::size_t i = 0; i < b.authors.size(); ++i) {
        if (i == 1) first += "; współautorzy: "_cp;
        else if (i > 1) first += "; ";
        first += AuthorLink(b.authors[i]);
        if (!b.dates[i].empty()) first += " (" + Plain(b.dates[i]) + ")";
    }
    lines.push_back(first);
    std::string title = Bold("Tytuł: "_cp) + Italic(Plain(b.title));
    if (!b.part.empty()) title += ". " + Plain(b.part);
    if (!b.subtitle.empty()) title += " : " + Plain(b.subtitle);
    lines.push_back(title);
    if (!b.edition.empty()) lines.push_back(Bold("Wydanie: "_cp) + Plain(b.edition));
    lines.push_back(Bold("Adres wydawniczy: "_cp) + Plain(b.place) + " : " +
                    Link(Query("wydawca"_cp, "RÓWNY"_cp, b.publisher), Plain(b.publisher)) + ", " +
                    Link(Query("rok wydania"_cp, "LICZBA"_cp, b.year), Plain(b.year)));
    std::string extent = Bold("Opis fizyczny: "_cp) + Plain(b.extent);
    if (!b.illustrations.empty()) extent += " : " + Plain(b.illustrations);
    lines.push_back(extent);
    if (!b.isbn.empty()) lines.push_back(Bold("ISBN: ") + Plain(b.isbn));
    std::string subjects = Bold("Tematy: "_cp);
    for (std::size_t i = 0; i < b.subjects.size(); ++i) {
        if (i) subjects += "; ";
        subjects += Link(Query("temat"_cp, "RÓWNY"_cp, b.subjects[i]), Plain(b.subjects[i]));
    }
    lines.push_back(subjects);
    lines.push_back(Bold("Sygnatura: "_cp) + Colour("R") + Plain(b.call) + Colour("0"));
    // The copies on one line, each with what a reader may do with it now.
    Circulation circulation(db.Db());
    std::string copies;
    for (const CopyRow& copy : circulation.CopiesOf(row.number)) {
        copies += (copies.empty() ? "" : "; ") + copy.sn + " \x96 " + Plain(copy.location) + ", " +
                  circulation.Status(copy);
        const bool lent = circulation.Loan(copy.sn).has_value();
        for (const std::string& command : circulation.Commands(copy))
            copies += " " + Link(command, CommandCaption(command, lent));
    }
    if (!copies.empty()) lines.push_back(Bold("Egzemplarze: "_cp) + copies);
    const std::string files = AttachmentLinks(db, row.number);
    if (!files.empty()) lines.push_back(Bold("Pliki: "_cp) + files);
    lines.push_back(Bold("Numer: "_cp) + Link("NR|" + shown, shown) + "  " +
                    Link("rekord" + shown + " AU", "w indeksie autorów"_cp));
    if (InHierarchy(db, row.number)) lines.push_back(HierarchyLine(db, ids, row.number));
    // The spine label of the copy (a barcode of the shelf mark); a program
    // and a report with their parameter forms, started from the entry.
    lines.push_back(Link("BAR" + std::string("Sygnatura") + kEsc + Plain(b.call) + kEsc + "ISBN" + kEsc + Plain(b.isbn),
                         "etykieta"));
    lines.push_back(Bold("Operacje: "_cp) + Link("OPERACJA uwagi|REKORD|" + shown, "zgłoś uwagę do opisu"_cp) + "  " +
                    Link("RAPORT " + AcquisitionsReport().name + "|S.1|T", "wykaz nabytków według tytułu"_cp));
    if (ProgramLinksShown()) lines.push_back(Link("@xmessage|" + shown, "uruchom program"));
    std::string text;
    for (const auto& l : lines) text += (text.empty() ? "" : "\r") + l;
    return text;
}

// The authority record's own heading: a person's or a corporate body's
// name, or a subject.
std::string MainHeadingField(const RecordText& r) {
    for (const char* tag : {"100", "110", "150"})
        if (!r.Value(tag).empty()) return r.Value(tag);
    return {};
}

// The see-references of an authority record ("zob."), and its broader and
// narrower terms ("szersze", "węższe") as "^w g" / "^w h" of 550.
std::vector<std::string> SeeFrom(const RecordText& r) {
    std::vector<std::string> out;
    for (const char* tag : {"400", "410", "450"})
        for (const auto& v : r.Values(tag)) out.push_back(Subfield(v, 'a'));
    return out;
}

std::vector<std::string> Related(const RecordText& r, char relation) {
    std::vector<std::string> out;
    for (const auto& v : r.Values("550"))
        if (Subfield(v, 'w') == std::string(1, relation)) out.push_back(Subfield(v, 'a'));
    return out;
}

std::string Joined(const std::vector<std::string>& parts) {
    std::string out;
    for (const auto& p : parts) out += (out.empty() ? "" : "; ") + Plain(p);
    return out;
}

std::string AuthorityText(const Identifiers& ids, const RecordRow& row, const RecordText& r, bool full,
                          std::string_view entryHeading = {}) {
    const bool person = ids.Letter(row.number) == kPersonLetter;
    const std::string field = MainHeadingField(r);
    const std::string heading = Subfield(field, 'a');
    const std::string dates = Subfield(field, 'd');
    std::string text;
    const bool seeReference = !entryHeading.empty() && entryHeading != heading;
    if (full) {
        // The lookup list: one line an entry, a see-reference saying where
        // the heading is.
        if (seeReference) {
            text = Italic(Plain(entryHeading)) + " zob. "_cp + Bold(Plain(heading));
        } else {
            text = Bold(Plain(heading));
            if (!dates.empty()) text += " (" + Plain(dates) + ")";
        }
        text += "  " + Colour("G") + ids.Shown(row.number) + Colour("0");
        // What the editing forms' authority lookup puts into the field: the
        // heading, its dates and the link to this record.
        const std::string value = "^a" + heading + (dates.empty() ? std::string() : " ^d" + dates) + " ^9" + ids.Shown(row.number);
        // The search field takes the heading the entry stands under.
        text += "\x1B&find=" + Plain(entryHeading.empty() ? std::string_view(heading) : entryHeading) + kSub +
                "\x1B&open=" + ids.Stored(row.number) + "|" + kSub + "\x1B&key=" + Plain(value) + kSub +
                "\x1B&full=" + Plain(value) + kSub;
        return text;
    }
    // An entry under a see-reference says where the heading is.
    if (seeReference) text = Italic(Plain(entryHeading)) + " zob. "_cp + Bold(Plain(heading)) + "\r";
    std::string line = Bold(Plain(heading));
    if (!dates.empty()) line += " (" + Plain(dates) + ")";
    text += line;
    const std::string index = person ? "autor"_cp : "temat"_cp;
    text += "\r" + Link(Query(index, "RÓWNY"_cp, heading), "pokaż książki"_cp) + "  " +
            Colour("G") + "rekord wzorcowy "_cp + ids.Shown(row.number) + Colour("0");
    if (const auto see = SeeFrom(r); !see.empty()) text += "\r" + Colour("G") + "odsyłacze: "_cp + Colour("0") + Joined(see);
    if (const auto broader = Related(r, 'g'); !broader.empty()) text += "\r" + Colour("G") + "szersze: " + Colour("0") + Joined(broader);
    if (const auto narrower = Related(r, 'h'); !narrower.empty()) text += "\r" + Colour("G") + "węższe: "_cp + Colour("0") + Joined(narrower);
    return text;
}

// A field's text on an export line: line breaks blanked, the escapes of
// characters the code page lacks (ESC "U" hhhh) kept.
std::string ExportLine(std::string_view t) {
    std::string out;
    for (const char c : t) out.push_back(c == '\r' || c == '\n' || c == '\0' ? ' ' : c);
    return out;
}

std::string ExportText(const Identifiers& ids, const RecordRow& row, const RecordText& r) {
    // The header names the record whole: a catalogue taking it knows its kind and where it came from.
    std::string text = "[DOKUMENT " + ids.Shown(row.number) + "]";
    for (const auto& f : r.Fields()) text += "\r" + ExportLine(f.key) + "=" + ExportLine(f.value);
    return text;
}

std::string ReferenceText(const Identifiers& ids, const RecordRow& row, const RecordText& r) {
    if (!IsBibliographic(ids.Letter(row.number))) {
        // An authority record: its heading, then what refers to it and what it relates to.
        std::string t = Plain(Subfield(MainHeadingField(r), 'a'));
        if (const auto see = SeeFrom(r); !see.empty()) t += "\rzob. też: "_cp + Joined(see);
        if (const auto broader = Related(r, 'g'); !broader.empty()) t += "\rszersze: " + Joined(broader);
        if (const auto narrower = Related(r, 'h'); !narrower.empty()) t += "\rwęższe: "_cp + Joined(narrower);
        return t;
    }
    const Book b = ReadBookFields(r);
    std::string t;
    if (!b.authors.empty()) t += Plain(b.authors[0]) + ". ";
    return t + Plain(b.title) + " (" + Plain(b.year) + ")";
}

// The components of a record as an indented structure: "+" opens a level
// (its caption, "|", its identifier), "-" is a leaf, "/" closes the level.
std::string ComponentsText(const Identifiers& ids, const RecordRow& row, const RecordText& r) {
    std::string t = "+" + Plain(ReferenceText(ids, row, r).substr(0, 200)) + "|" + ids.Shown(row.number);
    auto group = [&t, &r](const std::string& caption, const char* tag) {
        std::string part;
        for (const auto& v : r.Values(tag)) {
            const std::string link = Subfield(v, '9');
            part += "\r-" + Plain(Subfield(v, 'a')) + "|" + Plain(link);
        }
        if (part.empty()) return;
        t += "\r+" + caption + "|" + part + "\r/";
    };
    group("Autorzy", "100");
    group("Współtwórcy"_cp, "700");
    group("Tematy", "650");
    return t + "\r/";
}

}  // namespace

std::string EscapePicture(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 16);
    for (const char ch : bytes) {
        switch (static_cast<unsigned char>(ch)) {
            case 0: out += "\x1B\x01"; break;
            case 26: out += "\x1B\x02"; break;
            case 27: out += "\x1B\x03"; break;
            case 13: out += "\x1B\x04"; break;
            case 124: out += "\x1B\x05"; break;
            default: out.push_back(ch);
        }
    }
    return out;
}

std::string EscapeSearchText(std::string_view text) {
    std::string out;
    for (const char c : text) {
        // The backslash too: a text ending in one must not escape the closing quote.
        if (c == '"' || c == '#' || c == '&' || c == '(' || c == ')' || c == '|' || c == '\\') out.push_back('\\');
        out.push_back(c);
    }
    return out;
}

std::string AuthorityEntryText(const Identifiers& ids, const RecordRow& row, int format,
                               std::string_view entryHeading) {
    const RecordText r = RecordText::Parse(row.text);
    return AuthorityText(ids, row, r, format == kFormatAuthority, entryHeading);
}

std::string ValueListText(std::string_view heading) {
    // A value of a list: the heading, and what choosing it gives in either mode.
    return Bold(Plain(heading)) + "\x1B&key=" + Plain(heading) + kSub + "\x1B&full=" + Plain(heading) + kSub;
}

std::string DisplayText(Catalogue& db, const Identifiers& ids, const RecordRow& row, int format,
                        std::string_view heading) {
    const RecordText r = RecordText::Parse(row.text);
    std::string text;
    if (!heading.empty() && format != kFormatExport) text = Bold(Plain(heading)) + "\r";
    const bool book = IsBibliographic(ids.Letter(row.number));
    switch (format) {
        case kFormatFull:
            return text + (book ? BookFull(db, ids, row, ReadBookFields(r)) : AuthorityText(ids, row, r, false));
        case kFormatTree:
            return text + ids.Shown(row.number) + " " + ReferenceText(ids, row, r);
        case kFormatAuthority:
            return text + (book ? ReferenceText(ids, row, r) : AuthorityText(ids, row, r, true));
        case kFormatExport:
            return ExportText(ids, row, r);
        case kFormatReference:
            return text + ReferenceText(ids, row, r);
        case kFormatComponents:
            return ComponentsText(ids, row, r);
        case kFormatStructure:
            return StructureText(db, ids, row.number, [&ids](const RecordRow& rec) { return StructureCaption(ids, rec); });
        default:
            return text + (book ? BookShort(db, ids, row, ReadBookFields(r)) : AuthorityText(ids, row, r, false));
    }
}

}  // namespace velt::server
