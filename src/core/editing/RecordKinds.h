#pragma once
// The kinds of records the server lets the user edit: for each, its form
// code (one character, or empty), its caption, the form read from the
// kind's description and its field-event scripts. They are loaded when
// editing starts and shared by every sheet of the kind.
//
// Every lookup of a kind compares form codes the same way, ignoring letter
// case, so that a kind CanEdit accepts is also the kind a record opens in.

#include "forms/my_formular.h"
#include "lang/EventScripts.h"

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace velt {

class TVeltClient;

struct RecordKind {
    std::string code;
    std::string caption;
    std::unique_ptr<my_formular> form;
    act_script script;  // empty when the server gave none
};

// The pairs of code "|" caption "|" of the status value ("formularze" or
// "rekordy"); an unfinished last pair is left out, and at most kMaxKinds.
std::vector<std::pair<std::string, std::string>> ParseKindList(std::string_view text);

// The kinds of the session's status: "formularze", or "rekordy" when the
// server gives no "formularze"; parsed as ParseKindList does.
std::vector<std::pair<std::string, std::string>> ServerKindList(const TVeltClient& session);

// The text of a server's field-event script as lines the loader reads, its
// include lines ("[PLIK name]") left out: a server never makes the client
// read a file. The names of the files it asked for go to skipped.
std::string ServerScriptLines(std::string_view text, std::vector<std::string>& skipped);

class RecordKinds {
public:
    static constexpr std::size_t kMaxKinds = 256;

    // The kind of a form code, or none.
    const RecordKind* Find(std::string_view code) const;
    void Add(std::unique_ptr<RecordKind> kind) { mKinds.push_back(std::move(kind)); }
    void Clear() { mKinds.clear(); }
    const std::vector<std::unique_ptr<RecordKind>>& All() const { return mKinds; }
    bool Empty() const { return mKinds.empty(); }

    // Whether two form codes name the same kind.
    static bool SameCode(std::string_view a, std::string_view b);

private:
    std::vector<std::unique_ptr<RecordKind>> mKinds;
};

}  // namespace velt
