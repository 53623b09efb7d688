#pragma once
// A catalogue server for the reader services' tests: the status, ordered
// index lists by kind (a copy list of kind 6 answers the first key that
// begins with the prefix, as an index by number does), request 38 answered
// by a function of its text, and the program requests (201) answered by
// another. Every text of a 38 request is kept.

#include "support/ScriptedPeer.h"

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace velt::test {

class FakeReaderServer {
public:
    using Entry = std::vector<std::string>;  // Items[1..]
    // What a 38 request answers; kClose ends the connection instead.
    using Answer = std::function<std::string(const std::string& text)>;
    // What a 201 request answers: letter, id, parameters.
    using ProgramAnswer = std::function<std::string(char letter, const std::string& id, const std::string& values)>;
    static inline const std::string kClose = std::string("\x00close", 6);

    FakeReaderServer(std::string status, std::map<int, std::vector<Entry>> indexes, Answer answer,
                     ProgramAnswer programs = {})
        : mStatus(std::move(status)), mIndexes(std::move(indexes)), mAnswer(std::move(answer)),
          mPrograms(std::move(programs)), mPeer([this](PeerConnection& c) { Serve(c); }, 4) {}

    int Port() const { return mPeer.Port(); }
    std::vector<std::string> Texts() {
        std::lock_guard g(mLock);
        return mTexts;
    }
    // The index and program requests, "code kind parameter [prefix] [key]".
    std::vector<std::string> Requests() {
        std::lock_guard g(mLock);
        return mRequests;
    }
    int Count(int code) {
        std::lock_guard g(mLock);
        return mCounts[code];
    }

private:
    void Serve(PeerConnection& c) {
        for (;;) {
            const int code = c.ReadByte();
            if (code == 0 || code == 0xFF) return;
            {
                std::lock_guard g(mLock);
                ++mCounts[code];
            }
            if (code == 30) {
                c.WriteText(mStatus);
            } else if (code == 38) {
                const std::string text = c.ReadText();
                {
                    std::lock_guard g(mLock);
                    mTexts.push_back(text);
                }
                const std::string answer = mAnswer ? mAnswer(text) : std::string();
                if (answer == kClose) {
                    c.Close();
                    return;
                }
                c.WriteText(answer);
            } else if (code == 201) {
                const char letter = static_cast<char>(c.ReadByte());
                const std::string id = c.ReadText();
                std::string values;
                if (letter == 'X') {
                    values = c.ReadText();
                    (void)c.ReadText();
                }
                {
                    std::lock_guard g(mLock);
                    mRequests.push_back(std::string("201") + letter + " " + id + " [" + values + "]");
                }
                c.WriteAnswers({mPrograms ? mPrograms(letter, id, values) : std::string()});
            } else {
                Index(c, code);
            }
        }
    }

    void Index(PeerConnection& c, int code) {
        const int kind = c.ReadInt();
        (void)c.ReadInt();  // format
        const int parameter = c.ReadInt();
        const std::string prefix = code == 50 ? "" : c.ReadText();
        const std::string key = c.ReadText();
        {
            std::lock_guard g(mLock);
            mRequests.push_back(std::to_string(code) + " " + std::to_string(kind) + " " + std::to_string(parameter) +
                                " [" + prefix + "] [" + key + "]");
        }
        std::vector<const Entry*> list;
        for (const Entry& e : mIndexes[kind])
            if (kind != 6 || code == 50 || e[0].rfind(prefix, 0) == 0) list.push_back(&e);
        const Entry* found = nullptr;
        for (std::size_t i = 0; i < list.size(); ++i) {
            const std::string& k = (*list[i])[0];
            if (code == 50 && k == key) found = list[i];
            if (code == 55 && k >= key && !found) found = list[i];
            if (code == 56 && k > key && !found) found = list[i];
            if (code == 58 && k < key) found = list[i];
        }
        if (code == 57 && !list.empty()) found = list.back();
        if (found)
            c.WriteAnswers(*found);
        else
            c.WriteInt(0);
    }

    std::string mStatus;
    std::map<int, std::vector<Entry>> mIndexes;
    Answer mAnswer;
    ProgramAnswer mPrograms;
    std::mutex mLock;
    std::vector<std::string> mTexts;
    std::vector<std::string> mRequests;
    std::map<int, int> mCounts;
    ScriptedPeer mPeer;
};

}  // namespace velt::test
