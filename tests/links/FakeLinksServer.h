#pragma once
// A catalogue server that keeps records linked to superiors, for the link
// tests that velt-server cannot play: a VELT1 server whose hierarchies are
// walked (index kind 1: parameter 1 a record's own entry, item 3 its
// superior; parameter 2 its parts, item 2 the part), whose edit requests
// (200 N O U X D) change the superiors, and which, unlike velt-server,
// deletes a record with parts (they move up to its superior). As VELT2 it
// answers the save and the links program only. Every edit and program
// request is kept as text.

#include "support/ScriptedPeer.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace velt::test {

class FakeLinksServer {
public:
    // A record: its superior ("" for none), its caption.
    struct Record {
        std::string parent;
        std::string caption;
    };
    // What the links program answers for (parameters, records).
    using ProgramAnswer = std::function<std::string(const std::string& parameters, const std::string& records)>;

    FakeLinksServer(std::string status, std::map<std::string, Record> records, int connections = 1)
        : mStatus(std::move(status)), mRecords(std::move(records)),
          mPeer([this](PeerConnection& c) { Serve(c); }, connections) {}

    int Port() const { return mPeer.Port(); }
    std::vector<std::string> Join() { return mPeer.Join(); }

    // The VELT1 identifier of a record number: 10 characters, blanks first.
    static std::string Stored(int n) {
        std::string s = std::to_string(n);
        return std::string(10 - s.size(), ' ') + s;
    }
    // "         0": no superior.
    static std::string None() { return Stored(0); }

    // The structure text answered in format `format` (0: none).
    void SetStructure(int format, std::string text) {
        std::lock_guard g(mLock);
        mStructureFormat = format;
        mStructure = std::move(text);
    }
    // The save of a record with this identifier (trimmed) is refused with text.
    void RefuseSave(const std::string& id, const std::string& text) {
        std::lock_guard g(mLock);
        mRefusals[id] = text;
    }
    // The parts of parent also list part (a server whose links come back round).
    void AddPart(const std::string& parent, const std::string& part) {
        std::lock_guard g(mLock);
        mExtraParts.emplace_back(parent, part);
    }
    // New records are numbered from n and answered as prefix and number (VELT3), or as VELT1 numbers.
    void NumberNewRecords(int n, std::string prefix) {
        std::lock_guard g(mLock);
        mNext = n;
        mNewPrefix = std::move(prefix);
    }
    void SetProgramAnswer(ProgramAnswer answer) {
        std::lock_guard g(mLock);
        mProgram = std::move(answer);
    }
    std::vector<std::string> Requests() {
        std::lock_guard g(mLock);
        return mRequests;
    }
    std::string ParentOf(const std::string& id) {
        std::lock_guard g(mLock);
        const auto it = mRecords.find(Trim(id));
        return it == mRecords.end() ? std::string("?") : it->second.parent;
    }
    bool Exists(const std::string& id) {
        std::lock_guard g(mLock);
        return mRecords.count(Trim(id)) > 0;
    }
    int IndexRequests() {
        std::lock_guard g(mLock);
        return mIndexRequests;
    }

private:
    static std::string Trim(const std::string& s) {
        const auto b = s.find_first_not_of(' ');
        if (b == std::string::npos) return {};
        return s.substr(b, s.find_last_not_of(' ') - b + 1);
    }
    static std::string Value(const std::string& lines, const std::string& key) {
        const std::string at = key + "=";
        std::size_t p = 0;
        while (p < lines.size()) {
            auto end = lines.find('\r', p);
            if (end == std::string::npos) end = lines.size();
            if (lines.compare(p, at.size(), at) == 0) return lines.substr(p + at.size(), end - p - at.size());
            p = end + 1;
        }
        return "\x01";  // not there
    }
    std::vector<std::string> PartsOf(const std::string& id) {
        std::vector<std::string> out;
        for (const auto& [k, r] : mRecords)
            if (Trim(r.parent) == id && !id.empty()) out.push_back(k);
        for (const auto& [parent, part] : mExtraParts)
            if (parent == id) out.push_back(part);
        // In record number order.
        std::sort(out.begin(), out.end(), [](const std::string& a, const std::string& b) {
            return std::stol(a) < std::stol(b);
        });
        return out;
    }
    // Blanks only are written as they are (ten of them also mean no superior).
    std::string ParentValue(const Record& r) const {
        if (r.parent.empty()) return None();
        return Trim(r.parent).empty() ? r.parent : Stored(std::stoi(r.parent));
    }

    void Serve(PeerConnection& c) {
        for (;;) {
            const int code = c.ReadByte();
            if (code == 0 || code == 0xFF) return;
            std::lock_guard g(mLock);
            if (code == 30) {
                c.WriteText(mStatus);
            } else if (code == 200) {
                Edit(c, static_cast<char>(c.ReadByte()));
            } else if (code == 201) {
                const char letter = static_cast<char>(c.ReadByte());
                const std::string id = c.ReadText();
                std::string parameters, records;
                if (letter == 'X') {
                    parameters = c.ReadText();
                    records = c.ReadText();
                }
                mRequests.push_back(std::string("201") + letter + " " + id + " [" + parameters + "] [" + records + "]");
                c.WriteAnswers({mProgram ? mProgram(parameters, records) : std::string()});
            } else if (code >= 50 && code <= 58) {
                Index(c, code);
            } else {
                c.Fail("unexpected request " + std::to_string(code));
                return;
            }
        }
    }

    void Edit(PeerConnection& c, char letter) {
        std::vector<std::string> texts = {c.ReadText()};
        if (letter == 'U' || letter == 'S') texts.push_back(c.ReadText());
        std::string logged = std::string("200") + letter;
        for (const auto& t : texts) logged += " [" + t + "]";
        mRequests.push_back(logged);
        const std::string id = Trim(texts[0]);
        switch (letter) {
            case 'N': c.WriteAnswers({"", "*001Z.1.1.1.1=\r*005Z.1.1.1.1=\rDOK_ZATW=F\r"}); return;
            case 'O': {
                const auto it = mRecords.find(id);
                if (it == mRecords.end()) return c.WriteAnswers({"Brak rekordu " + id});
                return c.WriteAnswers({"", "*001Z.1.1.1.1=" + id + "\r245Z.1.1.1.1=^a" + it->second.caption +
                                               "\rDOK_IDO=" + ParentValue(it->second) + "\r"});
            }
            case 'X': return c.WriteAnswers({""});
            case 'D': {
                const auto it = mRecords.find(id);
                if (it == mRecords.end()) return c.WriteAnswers({"Brak rekordu " + id});
                // The parts move up to the superior of the record deleted.
                for (const std::string& part : PartsOf(id)) mRecords[part].parent = it->second.parent;
                mRecords.erase(it);
                return c.WriteAnswers({""});
            }
            case 'U': {
                if (const auto r = mRefusals.find(id); r != mRefusals.end())
                    return c.WriteAnswers({r->second, "Brak tytułu\r245Z.1.1.1.1\r"_cp});
                std::string target = id;
                if (!mRecords.count(target)) {
                    target = std::to_string(mNext++);
                    mRecords[target] = {"", "Nowy"};
                    if (!mNewPrefix.empty()) return c.WriteAnswers({"", mNewPrefix + target});
                }
                const std::string parent = Value(texts[1], "DOK_IDO");
                if (parent != "\x01") mRecords[target].parent = Trim(parent) == "0" ? std::string() : Trim(parent);
                return c.WriteAnswers({"", Stored(std::stoi(target))});
            }
            default: return c.WriteAnswers({"Nieznane żądanie"_cp});
        }
    }

    void Index(PeerConnection& c, int code) {
        ++mIndexRequests;
        const int kind = c.ReadInt();
        const int format = c.ReadInt();
        const int parameter = c.ReadInt();
        const std::string prefix = code == 50 ? std::string() : c.ReadText();
        const std::string key = c.ReadText();
        mRequests.push_back(std::to_string(code) + " " + std::to_string(kind) + " " + std::to_string(parameter) + " [" +
                            prefix + "] [" + key + "]");
        const std::string id = Trim(prefix);
        const auto it = mRecords.find(id);
        if (kind != 1 || it == mRecords.end()) return c.WriteInt(0);
        if (parameter == 1 && code == 55) {
            const std::string display =
                format != 0 && format == mStructureFormat ? mStructure : it->second.caption + "\rdruga linia";
            return c.WriteAnswers({Stored(std::stoi(id)), Stored(std::stoi(id)), ParentValue(it->second), "", "", "",
                                   display});
        }
        if (parameter != 2 || (code != 55 && code != 56)) return c.WriteInt(0);
        const std::vector<std::string> parts = PartsOf(id);
        std::size_t at = 0;
        if (code == 56) {
            // The key names the part after which to go on.
            const auto bar = key.find('|');
            const std::string last = bar == std::string::npos ? std::string() : key.substr(bar + 1);
            while (at < parts.size() && parts[at] != last) ++at;
            ++at;
        }
        if (at >= parts.size()) return c.WriteInt(0);
        const Record& part = mRecords[parts[at]];
        c.WriteAnswers({id + "|" + parts[at], Stored(std::stoi(parts[at])), "", "", "", "", part.caption});
    }

    std::string mStatus;
    std::map<std::string, Record> mRecords;
    std::mutex mLock;
    int mStructureFormat = 0;
    std::string mStructure;
    std::map<std::string, std::string> mRefusals;
    ProgramAnswer mProgram;
    std::vector<std::string> mRequests;
    int mIndexRequests = 0;
    int mNext = 900;
    std::string mNewPrefix;
    std::vector<std::pair<std::string, std::string>> mExtraParts;
    ScriptedPeer mPeer;
};

}  // namespace velt::test
