#pragma once
// The commands carried in a record's display in the links windows: what a
// click on a link or a picture of the display pane does, and the reports and
// operations the pane's right-click menu offers.

#include <string>
#include <string_view>
#include <vector>

namespace velt {

enum class LinkCommandKind {
    Picture,     // "JPG", one character, a server file
    Attachment,  // "BLOB" and an attachment name
    Labels,      // "BAR" and pairs (identifier, label data) parted by ESC
    Program,     // "@" program ["|" parameters]
    Order,       // "&" ... (reader services)
    Report,      // "RAPORT" name "|" parameters
    Operation,   // "OPERACJA" name "|" parameters
    Record,      // "rekord" identifier " " index
    Collection,  // "kolekcja|" identifier: the pane's own button of a record in the local collection
    IndexText,   // index "|" text
    Other,
};

struct LinkCommand {
    LinkCommandKind kind = LinkCommandKind::Other;
    std::string argument;  // what follows the command's word (the whole text for Order, IndexText)
};

// The command's kind, matched in the order above. The pane's own button
// ("kolekcja|" and an identifier) is the collection toggle, never an index
// named "kolekcja".
LinkCommand ClassifyLinkCommand(std::string_view command);

// A right-click menu item: its caption and the command it runs.
struct ReportItem {
    std::string caption;  // "Zestawienie \"name\"" or "Operacja \"name\""
    std::string command;  // "RAPORT ..." or "OPERACJA ..."
};

// The reports and operations of the pictures ("B", "I") of a display text,
// in their order: each runs exactly as a click on its picture would.
std::vector<ReportItem> ReportItems(std::string_view displayText);

// The record line the pane adds for a record of the local collection: a
// button with the collection's picture whose command removes it from there.
std::string CollectionButtonLine(const std::string& identifier);

// A "rekord" argument: the identifier (up to the first space after it,
// blanks around it removed) and the index (the rest, blanks removed).
void SplitRecordCommand(std::string_view argument, std::string& identifier, std::string& index);

}  // namespace velt
