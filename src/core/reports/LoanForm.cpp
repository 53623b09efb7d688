#include "reports/LoanForm.h"

#include "text/PipeList.h"

namespace velt {
namespace {

constexpr char kEsc = 27;
constexpr char kSub = 26;

std::string Value(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '&') out += "\x1b" "1";
        else if (c == '\r' || c == '\n') out += ' ';
        else out += c;
    }
    return out;
}

std::string Description(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == kEsc) {
            // The sequence runs to its SUB, or stops before a CR.
            std::size_t end = i + 1;
            while (end < text.size() && text[end] != kSub && text[end] != '\r') ++end;
            i = end < text.size() && text[end] == kSub ? end : end - 1;
            continue;
        }
        out += text[i] == '\r' ? ' ' : text[i];
    }
    const std::size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::string LoanFormLine(const LoanFormData& d) {
    const std::string date = d.dateTime.substr(0, 8);
    std::string shownDate = date;
    if (date.size() == 8) shownDate = date.substr(6, 2) + "." + date.substr(4, 2) + "." + date.substr(0, 4);
    std::string time = d.dateTime.size() > 8 ? d.dateTime.substr(8, 8) : std::string();
    if (time.size() == 8 && time[7] == '*') time = time.substr(0, 7) + "0 (*)";
    return "&id=" + Value(d.id) + "&karta=" + Value(d.card) + "&data=" + Value(shownDate) + "&godz=" + Value(time) +
           "&nalepka1=" + Value(d.label1) + "&nalepka2=" + Value(d.label2) + "&nazwisko=" + Value(d.readerName) +
           "&sn=" + Value(d.sn) + "&sygnatura=" + Value(d.shelfmark) + "&opis=" + Value(Description(d.description));
}

std::string PlikDefaultName(const std::string& options) {
    const PipeSplit parts = SplitAtPipe(options);
    if (!parts.parted) return "raport";
    std::string name;
    for (char c : parts.tail) {
        if (c == '*') name += "raport";
        else name += c;
    }
    return name;
}

}  // namespace velt
