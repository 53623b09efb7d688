// Turns a program's help text into the header its --help prints and into its
// manual page (section 1), so that the two always say the same.
//
//   velt-helptext SOURCE VERSION HEADER MANPAGE
//
// The help text is plain UTF-8, laid out as --help prints it:
//   - the first line is "NAME - what the program is", then an empty line;
//   - "usage: NAME ..." and its continuation lines (indented) up to an empty
//     line: the synopsis; a continuation line that begins with the program's
//     name is a further form of the command;
//   - a line at the left margin of one or two words ending in ":" is a
//     section heading;
//   - a line indented by two spaces is an item: its term, then, after two or
//     more spaces, the start of its description; a line indented by 20 spaces
//     goes on with the description, one indented by 3 to 19 spaces with the
//     term; an item without a description shares that of the next one;
//   - any other line at the left margin is running text, paragraphs separated
//     by empty lines.

#include <cctype>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kDescriptionColumn = 20;

std::size_t Indent(const std::string& line) {
    std::size_t n = 0;
    while (n < line.size() && line[n] == ' ') ++n;
    return n;
}

std::string Trim(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return {};
    return s.substr(b, s.find_last_not_of(' ') - b + 1);
}

// Text for troff: backslashes doubled as \e, hyphens as \- (so that options
// are copied as typed), a leading dot or quote made harmless.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

struct Page {
    std::string name;
    std::string summary;
    std::vector<std::string> synopsis;  // one command form each
    std::ostringstream body;            // the sections after the synopsis
};

// Reads the help text into the manual page's parts; false with a message on
// a text that does not follow the layout above.
bool Build(const std::vector<std::string>& lines, Page& page, std::string& why) {
    if (lines.empty()) {
        why = "empty help text";
        return false;
    }
    const std::size_t dash = lines[0].find(" - ");
    if (dash == std::string::npos || lines[0].empty() || lines[0][0] == ' ') {
        why = "line 1 is not \"NAME - summary\"";
        return false;
    }
    page.name = lines[0].substr(0, dash);
    page.summary = lines[0].substr(dash + 3);
    std::size_t i = 1;
    while (i < lines.size() && lines[i].empty()) ++i;
    const std::string usage = "usage: ";
    if (i >= lines.size() || lines[i].rfind(usage + page.name, 0) != 0) {
        why = "no \"usage: " + page.name + "\" after the first line";
        return false;
    }
    page.synopsis.push_back(Trim(lines[i].substr(usage.size())));
    for (++i; i < lines.size() && !lines[i].empty(); ++i) {
        const std::string text = Trim(lines[i]);
        if (Indent(lines[i]) == 0) {
            why = "line " + std::to_string(i + 1) + ": the synopsis goes on with indented lines";
            return false;
        }
        if (text.rfind(page.name + " ", 0) == 0 || text == page.name)
            page.synopsis.push_back(text);
        else
            page.synopsis.back() += " " + text;
    }

    std::ostream& out = page.body;
    bool sectionOpen = false;   // a heading was written
    bool inParagraph = false;   // running text is being written
    bool termPending = false;   // an item's term waits for its description
    bool itemOpen = false;      // an item's description is being written
    bool firstTerm = true;      // the next term starts an item (not one more term of it)
    std::string term;
    auto flushTerm = [&] {
        if (!termPending) return;
        out << (firstTerm ? ".TP\n" : ".TQ\n") << "\\fB" << Roff(term) << "\\fR\n";
        firstTerm = false;
        termPending = false;
    };
    for (; i < lines.size(); ++i) {
        const std::string& line = lines[i];
        const std::size_t indent = Indent(line);
        const std::string text = Trim(line);
        if (text.empty()) {
            inParagraph = false;
            continue;
        }
        if (indent == 0 && text.back() == ':' && text.find(' ') == text.rfind(' ')) {
            flushTerm();
            out << ".SH " << Roff(Upper(text.substr(0, text.size() - 1))) << "\n";
            sectionOpen = true;
            inParagraph = itemOpen = false;
            firstTerm = true;
            continue;
        }
        if (indent == 0) {
            if (!sectionOpen) {
                out << ".SH DESCRIPTION\n";
                sectionOpen = true;
            }
            if (termPending) {
                why = "line " + std::to_string(i + 1) + ": an item without a description";
                return false;
            }
            if (!inParagraph) out << ".PP\n";
            out << Roff(text) << "\n";
            inParagraph = true;
            itemOpen = false;
            firstTerm = true;
            continue;
        }
        if (!sectionOpen) {
            why = "line " + std::to_string(i + 1) + ": an item before any heading";
            return false;
        }
        if (indent == 2) {
            // A new term; after a description it starts a new item.
            if (itemOpen) firstTerm = true;
            flushTerm();
            itemOpen = inParagraph = false;
            const std::size_t gap = text.find("  ");
            term = gap == std::string::npos ? text : text.substr(0, gap);
            termPending = true;
            if (gap != std::string::npos) {
                flushTerm();
                out << Roff(Trim(text.substr(gap))) << "\n";
                itemOpen = true;
            }
        } else if (indent >= kDescriptionColumn) {
            if (!termPending && !itemOpen) {
                why = "line " + std::to_string(i + 1) + ": a description without an item";
                return false;
            }
            flushTerm();
            out << Roff(text) << "\n";
            itemOpen = true;
        } else {
            if (!termPending) {
                why = "line " + std::to_string(i + 1) + ": a term's continuation without a term";
                return false;
            }
            term += " " + text;
        }
    }
    if (termPending) {
        why = "the last item has no description";
        return false;
    }
    return true;
}

bool Write(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    if (!out) std::cerr << "velt-helptext: cannot write " << path << "\n";
    return static_cast<bool>(out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 5) {
        std::cerr << "usage: velt-helptext SOURCE VERSION HEADER MANPAGE\n";
        return 1;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::cerr << "velt-helptext: cannot read " << argv[1] << "\n";
        return 1;
    }
    std::ostringstream all;
    all << in.rdbuf();
    const std::string text = all.str();
    std::vector<std::string> lines;
    std::istringstream split(text);
    for (std::string line; std::getline(split, line);) {
        if (line.find('\t') != std::string::npos || line.find('\r') != std::string::npos) {
            std::cerr << argv[1] << ":" << lines.size() + 1 << ": tabs and carriage returns are not allowed\n";
            return 1;
        }
        while (!line.empty() && line.back() == ' ') line.pop_back();
        lines.push_back(line);
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    Page page;
    std::string why;
    if (!Build(lines, page, why)) {
        std::cerr << argv[1] << ": " << why << "\n";
        return 1;
    }
    const std::string version = argv[2];

    std::string help;
    for (const std::string& line : lines) help += line + "\n";
    const std::string delimiter = ")velthelp\"";
    if (help.find(delimiter) != std::string::npos) {
        std::cerr << argv[1] << ": the text holds " << delimiter << "\n";
        return 1;
    }
    std::string header = "// Generated by velt-helptext from " + std::string(argv[1]) + "; edit that file.\n";
    header += "#pragma once\n\n";
    header += "inline constexpr char kHelpText[] = R\"velthelp(" + help + ")velthelp\";\n";
    header += "inline constexpr char kProgramVersion[] = \"" + version + "\";\n";

    std::ostringstream man;
    // The help texts hold Polish letters: the page says it is UTF-8 (for man's preconv).
    man << ".\\\" -*- coding: UTF-8 -*-\n";
    man << ".\\\" Generated by velt-helptext from the program's help text; edit that instead.\n";
    man << ".TH " << Roff(Upper(page.name)) << " 1 \"\" \"velt " << Roff(version) << "\" \"User Commands\"\n";
    // No hyphenation and ragged right: the words stay as --help prints them.
    man << ".nh\n.ad l\n";
    man << ".SH NAME\n" << Roff(page.name) << " \\- " << Roff(page.summary) << "\n";
    man << ".SH SYNOPSIS\n";
    for (const std::string& form : page.synopsis) {
        const std::string rest = form.substr(page.name.size());
        man << ".HP\n\\fB" << Roff(page.name) << "\\fR" << Roff(rest) << "\n";
    }
    man << page.body.str();
    return Write(argv[3], header) && Write(argv[4], man.str()) ? 0 : 1;
}
