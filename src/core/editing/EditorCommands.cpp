// The one command function of the scripts of record forms, parameter forms
// and the criteria panel.

#include "editing/EditorCommands.h"

#include "authority/AuthorityEntries.h"
#include "authority/AuthorityWindows.h"
#include "catalogue/velt_files.h"
#include "common/Prompts.h"
#include "files/AtomicFile.h"
#include "net/IndexRequests.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/converter.h"

#include <charconv>
#include <filesystem>
#include <fstream>

namespace velt {

namespace {

std::string List(const std::vector<std::string>& identifiers) {
    std::string out;
    for (const auto& id : identifiers) out += id + "|";
    return out;
}

std::string TrimEnd(std::string_view text) {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    return std::string(text);
}

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width) text.append(width - text.size(), ' ');
    return text;
}

std::optional<long> Number(std::string_view text) {
    const std::string t(TrimSpaces(text));
    long v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size()) return std::nullopt;
    return v;
}

}  // namespace

// The "number text" of a composed key: one character for every group of
// digits after a ".", its code "0" plus the group's value (a byte at most),
// padded with blanks to 5.
std::string ComposedNumberText(std::string_view item) {
    std::string out;
    for (std::size_t at = item.find('.'); at != std::string_view::npos; at = item.find('.', at + 1)) {
        std::size_t end = at + 1;
        long value = 0;
        while (end < item.size() && item[end] >= '0' && item[end] <= '9' && value <= 255)
            value = value * 10 + (item[end++] - '0');
        if (end == at + 1) continue;
        // A group above what a byte holds past "0" is no character.
        if (value > 255 - '0') continue;
        out.push_back(static_cast<char>('0' + value));
    }
    return PadRight(out, 5);
}

CommandFont ReadCommandFont(std::string_view text) {
    CommandFont font;
    const std::vector<std::string_view> parts = [&] {
        std::vector<std::string_view> out;
        std::size_t at = 0;
        for (;;) {
            const auto slash = text.find('/', at);
            out.push_back(text.substr(at, slash == std::string_view::npos ? std::string_view::npos : slash - at));
            if (slash == std::string_view::npos) return out;
            at = slash + 1;
        }
    }();
    font.face = std::string(parts[0]);
    auto number = [&](std::size_t i) {
        const std::optional<long> n = i < parts.size() ? Number(parts[i]) : std::nullopt;
        return n && *n >= 0 && *n <= 4096 ? static_cast<int>(*n) : 0;
    };
    font.charset = number(1);
    font.size = number(2);
    if (parts.size() > 3) {
        font.bold = parts[3].find('B') != std::string_view::npos;
        font.italic = parts[3].find('I') != std::string_view::npos;
    }
    return font;
}

std::vector<FileFilter> ReadFileFilter(std::string_view filter) {
    auto patterns = [](std::string_view text) {
        std::vector<std::string> out;
        std::size_t at = 0;
        while (at <= text.size()) {
            auto end = text.find(';', at);
            if (end == std::string_view::npos) end = text.size();
            const std::string p(TrimSpaces(text.substr(at, end - at)));
            if (!p.empty()) out.push_back(p);
            at = end + 1;
        }
        return out;
    };
    const std::vector<std::string_view> parts = SplitPipeList(filter);
    std::vector<FileFilter> out;
    if (parts.size() == 1) {
        // Patterns alone: they describe themselves.
        FileFilter f{std::string(TrimSpaces(parts[0])), patterns(parts[0])};
        if (!f.patterns.empty()) out.push_back(std::move(f));
        return out;
    }
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        FileFilter f{std::string(TrimSpaces(parts[i])), patterns(parts[i + 1])};
        if (f.patterns.empty()) continue;
        if (f.description.empty()) f.description = std::string(TrimSpaces(parts[i + 1]));
        out.push_back(std::move(f));
    }
    return out;
}

std::string WriteCommandFont(const CommandFont& font) {
    return font.face + "/" + std::to_string(font.charset) + "/" + std::to_string(font.size) + "/" +
           (font.bold ? "B" : "") + (font.italic ? "I" : "");
}

std::unique_ptr<velt_files> ConnectingCatalogues::Connect(const std::string& host, int port, std::string& error) {
    std::unique_ptr<velt_files> files;
    mLong.run_with_progress("Łączenie..."_cp, [&] { files = std::make_unique<velt_files>(host, nullptr, true, port); });
    if (!files || !files->Ready) {
        error = files ? files->ErrorText : std::string();
        return nullptr;
    }
    return files;
}

bool EditorCommands::MayUse(const std::string& path) const {
    if (path.empty() || path.find('\0') != std::string::npos) return false;
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path full = fs::weakly_canonical(fs::path(path), ec);
    if (ec) return false;
    if (mChosen.count(full.string())) return true;
    if (mServices.workingDirectory.empty()) return false;
    const fs::path base = fs::weakly_canonical(fs::path(mServices.workingDirectory), ec);
    if (ec) return false;
    const std::string b = base.string(), f = full.string();
    return f.size() > b.size() && f.compare(0, b.size(), b) == 0 && (b.back() == '/' || f[b.size()] == '/');
}

std::string EditorCommands::Run(const std::string& command) {
    if (command.empty()) return {};
    Prompts& prompts = *mServices.prompts;
    const char letter = command[0];
    const char sub = command.size() > 1 ? command[1] : '\0';
    const std::string after = command.substr(1);
    // What is before the first "|" (the letters included), and everything after it.
    const PipeSplit parts = SplitAtPipe(std::string_view(command).substr(1));
    const std::string head(parts.head);
    const std::string rest(parts.tail);
    velt_files* files = mServices.files;
    EditSessionCommands* session = mServices.session;
    const std::string unavailable = "Operacja niedostępna z tego programu"_cp;
    switch (letter) {
        case '!': {
            const std::string path = after.empty() || after[0] == '/' ? after : mServices.workingDirectory + after;
            return OpenWith(path);
        }
        case 'A':
            if (!session) {
                prompts.show_error(unavailable);
                return unavailable;
            }
            return session->NewRecordWithLines(head, rest);
        case 'B': {
            if (head.empty()) {
                prompts.show_error("Przed wydrukiem naklejki trzeba wypełnić identyfikator!"_cp);
                return {};
            }
            if (mServices.labels) mServices.labels->AddLabel(head, rest);
            return {};
        }
        case 'C':
            if (sub == 'V') return OtherCatalogue(command);
            return {};
        case 'D': return Dialog(sub, head, rest);
        case 'E':
            if (!files) return {};
            if (sub == 'D') return IndexNeighbour(head.substr(1), rest);
            if (sub == 'L') return ComposedKey(command);
            return {};
        case 'F':
            if (sub == 'O') return ReadTextFile(rest);
            if (sub == 'S') {
                const PipeSplit second = SplitAtPipe(parts.tail);
                return WriteTextFile(std::string(second.head), std::string(second.tail));
            }
            return {};
        case 'H':
            if (!session) return {};
            if (sub == 'O') return List(session->OpenedRecords());
            if (sub == 'Z') return List(session->SavedRecords());
            return {};
        case 'I': {
            if (!files) return {};
            const PipeSplit second = SplitAtPipe(parts.tail);
            return ExactAuthorityTerm(*files, head, std::string(second.head), std::string(second.tail));
        }
        case 'L': return files ? IndexValue(after) : std::string();
        case 'M': {
            if (!session) return {};
            const std::string id = head.size() > 1 ? head.substr(1) : std::string();
            if (sub == 'O') return session->ReadRecord(id);
            if (sub == 'C') return session->ReleaseRecord(id);
            if (sub == 'S') return session->StoreRecord(id, rest);
            return {};
        }
        case 'N':
            if (!session) {
                prompts.show_error(unavailable);
                return {};
            }
            return session->CreateAndStore(head, rest);
        case 'O':
            if (!session) {
                prompts.show_error(unavailable);
                return unavailable;
            }
            if (!after.empty()) session->OpenRecordCommand(after);
            return {};
        case 'P': {
            // "PO" or "PS" and the one character: without it there is nothing to ask.
            if (!session || command.size() < 3) return {};
            const char c = command[2];
            if (sub == 'O') return session->Help(c, command.substr(3));
            if (sub == 'S') return session->Service(c, head.size() > 2 ? head.substr(2) : std::string(), rest);
            return {};
        }
        case 'R':
            if (!files || !mServices.authority) return {};
            // Nothing chosen is no identifier, not the one the script gave.
            return mServices.authority->SelectRecord(*files, after, {}, 0).identifier;
        case 'S': return files ? WalkIndex(after) : std::string();
        case 'U': {
            if (!files || !files->LoggedIn()) return {};
            if (sub == 'N') return files->UserName();
            if (sub == 'P') return files->Profile();
            if (sub == 'R') return files->Rights();
            return {};
        }
        case 'V':
            if (!files) return {};
            return ReferenceText(*files, head, parts.parted ? rest : std::string("referencja"));
        case 'W':
            if (!files || !mServices.authority) return {};
            return mServices.authority->SelectInStructure(*files, rest, head).identifier;
        case 'X':
            if (!files || !mServices.authority) return {};
            return AuthorityKeyLookup(*mServices.authority, *files, head, rest);
        case 'Y':
            if (!files || !mServices.authority) return {};
            return AuthorityFullLookup(*mServices.authority, *files, head, rest);
        case 'Z':
            if (!mServices.orders) return {};
            return mServices.orders->ChooseClosedOrder(after).value_or(std::string());
        default: return {};
    }
}

std::string EditorCommands::Dialog(char sub, const std::string& head, const std::string& rest) {
    Prompts& prompts = *mServices.prompts;
    (void)head;
    switch (sub) {
        case 'E': prompts.show_error(rest); return {};
        case 'M': prompts.show_message(rest); return {};
        case 'W': prompts.show_notice(rest); return {};
        case 'Q': return prompts.ask_question(rest) == kYes ? std::string() : "N";
        default: break;
    }
    CommandDialogs* dialogs = mServices.dialogs;
    if (!dialogs) return {};
    switch (sub) {
        case 'F': {
            const std::optional<CommandFont> chosen = dialogs->ChooseFont(ReadCommandFont(rest));
            return chosen ? WriteCommandFont(*chosen) : std::string();
        }
        case 'O':
        case 'S': {
            const PipeSplit parts = SplitAtPipe(rest);
            const std::string name(parts.head), filter(parts.tail);
            const std::optional<std::string> chosen =
                sub == 'O' ? dialogs->ChooseFileToOpen(name, filter, mServices.workingDirectory)
                           : dialogs->ChooseFileToSave(name, filter, mServices.workingDirectory);
            if (!chosen) return {};
            // What the user chose, the scripts may read and write.
            std::error_code ec;
            const auto full = std::filesystem::weakly_canonical(std::filesystem::path(*chosen), ec);
            if (!ec) mChosen.insert(full.string());
            return *chosen;
        }
        case 'L': {
            return ChooseFromList(ParseListChoice(rest), *dialogs);
        }
        case 'T': {
            const std::vector<StructureNode> nodes = ParseIndentedStructure(rest);
            const StructureNode* only = nullptr;
            int choosable = 0;
            for (const StructureNode& n : nodes)
                if (!n.identifier.empty() && ++choosable == 1) only = &n;
            if (choosable == 0) return {};
            if (choosable == 1) return only->identifier;
            const int chosen = dialogs->ShowTreeChoice(nodes);
            // Only a node with a value is a choice.
            if (chosen < 0 || static_cast<std::size_t>(chosen) >= nodes.size()) return {};
            return nodes[static_cast<std::size_t>(chosen)].identifier;
        }
        default: return {};
    }
}

std::string EditorCommands::ReadTextFile(const std::string& file) {
    Prompts& prompts = *mServices.prompts;
    const std::string path = file.empty() || file[0] == '/' ? file : mServices.workingDirectory + file;
    std::ifstream in(path, std::ios::binary);
    if (!MayUse(path) || !in) {
        // A path out of reach is as missing as one that is not there.
        prompts.show_error("Brak pliku \""_cp + file + "\"");
        return {};
    }
    std::string bytes(kMaxFileRead + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (bytes.size() > kMaxFileRead) bytes.resize(kMaxFileRead);
    std::string out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        auto end = bytes.find('\n', at);
        if (end == std::string::npos) end = bytes.size();
        std::string_view line(bytes.data() + at, end - at);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        for (const char c : line) {
            if (c == '|') out.push_back('\\');
            out.push_back(c);
        }
        out.push_back('|');
        at = end + 1;
    }
    return out;
}

std::string EditorCommands::WriteTextFile(const std::string& file, const std::string& pieces) {
    Prompts& prompts = *mServices.prompts;
    const std::string path = file.empty() || file[0] == '/' ? file : mServices.workingDirectory + file;
    if (!MayUse(path)) {
        const std::string error = "Brak dostępu do pliku "_cp + file;
        prompts.show_error("Błąd zapisu \""_cp + error + "\"");
        return error;
    }
    std::vector<std::string_view> split = SplitPipeList(pieces);
    // The text FO gave ends with "|": its last, empty piece is no line.
    if (!split.empty() && split.back().empty()) split.pop_back();
    std::string text;
    for (const std::string_view piece : split) {
        if (!piece.empty() && piece.back() == '\\') {
            text.append(piece.substr(0, piece.size() - 1));
            text.push_back('|');
        } else {
            text.append(piece);
            text.append("\r\n");
        }
    }
    const std::string error = WriteFileAtomically(path, text);
    if (!error.empty()) prompts.show_error("Błąd zapisu \""_cp + error + "\"");
    return error;
}

std::string EditorCommands::OpenWith(const std::string& path) {
    // A script names a file only under the working directory, or one the user chose.
    if (!MayUse(path)) {
        mServices.prompts->show_error("Brak dostępu do pliku "_cp + path);
        return {};
    }
    if (mServices.opener) mServices.opener->OpenFile(path);
    return {};
}

std::string EditorCommands::OtherCatalogue(const std::string& command) {
    Prompts& prompts = *mServices.prompts;
    const std::string failed = "Błąd połączenia z ZUVO"_cp;
    if (!mServices.connector || !mServices.authority) return {};
    // "CV" host ":" port "|" a "|" b "|" c
    const PipeSplit first = SplitAtPipe(std::string_view(command).substr(2));
    const std::string address(first.head);
    const auto colon = address.rfind(':');
    const std::optional<long> port = colon == std::string::npos ? std::nullopt : Number(address.substr(colon + 1));
    if (!port || *port < 1 || *port > 65535) {
        prompts.show_message(failed);
        return {};
    }
    const PipeSplit second = SplitAtPipe(first.tail);
    const PipeSplit third = SplitAtPipe(second.tail);
    const std::string start(second.head), index(third.head), text(third.tail);
    std::string error;
    std::unique_ptr<velt_files> other = mServices.connector->Connect(address.substr(0, colon), static_cast<int>(*port), error);
    if (!other || !other->Ready) {
        prompts.show_message(!error.empty() ? error : other ? other->ErrorText : failed);
        return {};
    }
    if (const std::int32_t format = other->FormatByType("prezentacja")) other->SetFormat(format);
    // The index of that prefix (its name on VELT1); the first one when none is.
    int position = 0;
    for (std::size_t i = 0; i < other->Indexes.size(); ++i) {
        const velt_order& x = *other->Indexes[i];
        const bool match = other->DatabaseKind == kVelt1 ? UpperTable.Convert(x.Name) == UpperTable.Convert(index)
                                                         : x.Prefix == index;
        if (match) {
            position = static_cast<int>(i);
            break;
        }
    }
    const ChosenRecord chosen = mServices.authority->SelectRecord(*other, start, text, position);
    if (!chosen.chosen) return {};
    return ReferenceText(*other, chosen.identifier, "export");
}

std::string EditorCommands::IndexNeighbour(const std::string& prefix, const std::string& key) {
    velt_files& files = *mServices.files;
    if (RecordPtr e = files.IndexSeek(6, 3, 0, key, prefix)) {
        if (e->Item(3) != prefix + key)
            if (RecordPtr before = files.IndexPrior(3, e.get(), 0, prefix)) e = std::move(before);
        return e->Item(3) + "|" + e->Item(6);
    }
    if (RecordPtr last = files.IndexLast(6, 3, 0, prefix)) return last->Item(3) + "|" + last->Item(6);
    return {};
}

std::string EditorCommands::ComposedKey(const std::string& command) {
    velt_files& files = *mServices.files;
    const PipeSplit parts = SplitAtPipe(command);
    const std::string head(parts.head), rest(parts.tail);
    if (files.DatabaseKind == kVelt1) {
        const RecordPtr e = files.IndexLast(6, 3, 0, command.substr(2));
        return e ? e->Item(3) + "|" + e->Item(6) : std::string();
    }
    const std::string prefix = head.size() > 2 ? head.substr(2, 15) : std::string();
    const RecordPtr e = files.IndexLast(21, 5, 0, prefix);
    if (!e) return {};
    std::string key;
    if (files.DatabaseKind == kVelt2) {
        const std::string number = ComposedNumberText(e->Item(4));
        key = e->Item(2) + PadRight(e->Item(3), 5) + PadRight(rest, 5) + number.substr(0, std::min(rest.size(), number.size()));
    } else {
        // The first groups of item 4, as many as the rest has characters.
        const std::string& item = e->Item(4);
        std::vector<std::string_view> groups;
        for (std::size_t at = item.find('.'); at != std::string::npos && groups.size() < rest.size();) {
            const auto next = item.find('.', at + 1);
            groups.push_back(std::string_view(item).substr(at + 1, next == std::string::npos ? std::string::npos : next - at - 1));
            at = next;
        }
        key = e->Item(2) + e->Item(3) + "|" + rest + ".";
        for (std::size_t i = 0; i < groups.size(); ++i) key += (i ? "." : "") + std::string(groups[i]);
    }
    const RecordPtr found = files.IndexFrom(21, 2, 0, key);
    return found ? found->Item(6) : std::string();
}

std::string EditorCommands::IndexValue(const std::string& after) {
    velt_files& files = *mServices.files;
    if (files.DatabaseKind != kVelt1) {
        const PipeSplit parts = SplitAtPipe(after);
        const RecordPtr e = files.IndexLast(22, 2, 0, std::string(parts.head) + std::string(parts.tail));
        return e ? e->Item(4) : std::string();
    }
    // kind "|" parameter "|" prefix "|" n
    const std::vector<std::string_view> v = SplitPipeList(after);
    if (v.size() < 4) return {};
    const auto kind = Number(v[0]), parameter = Number(v[1]), item = Number(v[3]);
    if (!kind || !parameter || !item || *kind < 0 || *kind > 255) return {};
    const RecordPtr e = files.IndexLast(static_cast<std::int32_t>(*kind), static_cast<std::int32_t>(*parameter), 0,
                                        std::string(v[2]));
    // An item the entry does not have is no value.
    if (!e || *item < 1 || *item > e->Count) return {};
    return e->Item(static_cast<int>(*item));
}

std::string EditorCommands::WalkIndex(const std::string& prefix) {
    velt_files& files = *mServices.files;
    std::string out;
    std::set<std::string> seen;
    RecordPtr e = files.IndexFrom(8, 1, 0, prefix);
    for (int n = 0; e; ) {
        // A server that answers a key twice would keep the walk going for ever.
        if (!seen.insert(e->Item(1)).second) break;
        out += TrimEnd(e->Item(2)) + "|" + TrimEnd(e->Item(3)) + "|";
        if (++n >= kMaxWalk) break;
        e = files.IndexNext(1, e.get(), 0, prefix);
    }
    return out;
}

}  // namespace velt
