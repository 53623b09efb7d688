// Loading field-event files and dispatching events to their scripts.

#include "lang/EventScripts.h"

#include "lang/ActionScript.h"
#include "lang/Compiler.h"
#include "lang/Tokenizer.h"
#include "text/CpLiteral.h"

#include <array>
#include <fstream>
#include <string_view>

namespace velt {
namespace {

// Every "&" and "*" is a choice point of the matcher; a pattern with more is
// not matched at all rather than risk a deep search.
constexpr std::size_t kMaxChoicePoints = 512;

class PatternMatcher {
public:
    PatternMatcher(std::string_view pattern, std::string_view key)
        : mPattern(pattern), mKey(key), mFailed((pattern.size() + 1) * (key.size() + 1), false) {}

    bool Match(std::size_t p, std::size_t k, std::vector<std::string>& captures) {
        const std::size_t cell = p * (mKey.size() + 1) + k;
        if (mFailed[cell]) return false;
        // Plain characters and "?" need no choice.
        while (p < mPattern.size() && mPattern[p] != '&' && mPattern[p] != '*') {
            if (k >= mKey.size() || (mPattern[p] != '?' && mPattern[p] != mKey[k])) {
                mFailed[cell] = true;
                return false;
            }
            ++p;
            ++k;
        }
        if (p == mPattern.size()) {
            if (k == mKey.size()) return true;
            mFailed[cell] = true;
            return false;
        }
        const bool capture = mPattern[p] == '&';
        // The shortest run that lets the rest match.
        for (std::size_t end = k; end <= mKey.size(); ++end) {
            if (capture) captures.emplace_back(mKey.substr(k, end - k));
            if (Match(p + 1, end, captures)) return true;
            if (capture) captures.pop_back();
        }
        mFailed[cell] = true;
        return false;
    }

private:
    std::string_view mPattern;
    std::string_view mKey;
    std::vector<bool> mFailed;  // (pattern place, key place) known not to match
};

struct EventName {
    std::string_view name;
    int event;
};
constexpr std::array<EventName, 5> kEvents = {{
    {"ENTER", kEventEnter}, {"CHANGE", kEventChange}, {"EXIT", kEventExit}, {"HELP", kEventHelp}, {"SHOW", kEventShow},
}};

// The event of a header and the rest of it after the event's name and the
// one character that follows; false when it names no event.
bool ReadEvent(std::string& header, int& event) {
    bool found = false;
    for (const auto& e : kEvents) {
        const auto p = header.find("[" + std::string(e.name));
        if (p == std::string::npos) continue;
        found = true;
        event = e.event;
        const std::size_t cut = std::min(header.size(), p + 1 + e.name.size() + 1);
        header.erase(0, cut);
    }
    return found;
}

// Replaces each "<name>" by "&" and collects the names; false for a "<"
// without a ">" after it.
bool ReadPlaceholders(std::string& pattern, std::vector<std::string>& names) {
    std::string out;
    std::size_t i = 0;
    while (i < pattern.size()) {
        if (pattern[i] != '<') {
            out.push_back(pattern[i++]);
            continue;
        }
        const auto close = pattern.find('>', i + 1);
        if (close == std::string::npos) {
            pattern = pattern.substr(i);
            return false;
        }
        names.push_back(pattern.substr(i + 1, close - i - 1));
        out.push_back('&');
        i = close + 1;
    }
    pattern = std::move(out);
    return true;
}

}  // namespace

bool MatchEventPattern(const std::string& pattern, const std::string& key, std::vector<std::string>& captures) {
    captures.clear();
    std::size_t choices = 0;
    for (const char c : pattern) choices += (c == '&' || c == '*');
    if (choices > kMaxChoicePoints) return false;
    PatternMatcher matcher(pattern, key);
    if (matcher.Match(0, 0, captures)) return true;
    captures.clear();
    return false;
}

act_script LoadEventScripts(std::istream& source, const std::string& fileName, const ErrorSink& sink) {
    act_script scripts;
    std::string line;
    for (;;) {
        // Blank lines and comment lines before a header are skipped; blank
        // lines at the end of the file make no entry.
        bool haveHeader = false;
        while (ReadSourceLine(source, line)) {
            if (!line.empty() && line[0] != '{') {
                haveHeader = true;
                break;
            }
        }
        if (!haveHeader) break;
        std::string header = line;
        action_pattern entry;
        if (!ReadEvent(header, entry.event)) continue;  // not a header: ignored
        entry.pattern = header.substr(0, header.find(']'));
        const bool wellFormed = ReadPlaceholders(entry.pattern, entry.names);
        if (!wellFormed && sink) sink("Błąd we wzorcu \""_cp + entry.pattern + "\"");
        entry.program = CompileOpenText(source, entry.names, fileName, sink);
        // An entry whose pattern cannot be read is dropped (its script has
        // been read past all the same).
        if (wellFormed) scripts.push_back(std::move(entry));
    }
    return scripts;
}

act_script LoadEventScripts(const std::string& fileName, const ErrorSink& sink) {
    if (fileName.empty()) return {};
    std::ifstream in(fileName, std::ios::binary);
    if (!in) return {};
    return LoadEventScripts(in, fileName, sink);
}

std::vector<std::string> RunEvent(const act_script& scripts, const std::string& kind, my_record& record,
                                  const ExternalRoutine& external, const ErrorSink& sink, int event,
                                  const std::string& key, ScriptLookups* lookups,
                                  const RunLimits& limits) {
    std::vector<std::string> printed;
    std::vector<std::string> captures;
    for (const auto& entry : scripts) {
        if (entry.event != event || !MatchEventPattern(entry.pattern, key, captures)) continue;
        auto out = RunActionScript(record, entry.program.get(), kind, external, sink, captures, {}, lookups, limits);
        for (auto& text : out) printed.push_back(std::move(text));
    }
    return printed;
}

void FreeEventScripts(act_script& scripts) { scripts.clear(); }

}  // namespace velt
