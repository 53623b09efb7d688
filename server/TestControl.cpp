#include "TestControl.h"

#include <atomic>

#include "Identifiers.h"
#include "RecordLocks.h"
#include "Seeder.h"

#include <algorithm>
#include <charconv>
#include <sstream>

namespace velt::server {

std::string TestControl::RequestName(std::uint8_t code, char letter) {
    std::string name = std::to_string(code);
    if (letter == 0) return name;
    if ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z')) return name + letter;
    return name + "." + std::to_string(static_cast<unsigned char>(letter));
}

bool TestControl::Covers(const std::string& code, const std::string& request) {
    if (code == "*" || code == request) return true;
    return request.size() > code.size() && request.compare(0, code.size(), code) == 0 &&
           !(request[code.size()] >= '0' && request[code.size()] <= '9');
}

bool TestControl::Consume(std::vector<Switch>& switches, const std::string& request) {
    for (auto it = switches.begin(); it != switches.end(); ++it) {
        if (!Covers(it->code, request)) continue;
        if (--it->remaining <= 0) switches.erase(it);
        return true;
    }
    return false;
}

Faults TestControl::Begin(const std::string& request) {
    std::lock_guard lock(mLock);
    ++mCounts[request];
    Faults f;
    for (const auto& [code, ms] : mDelays)
        if (Covers(code, request)) f.delayMs = std::max(f.delayMs, ms);
    f.closeMid = Consume(mClose, request);
    f.count51 = Consume(mCount51, request);
    f.abortTransfer = Consume(mAbort, request);
    for (auto it = mAnswers.begin(); it != mAnswers.end(); ++it) {
        if (!Covers(it->which.code, request)) continue;
        f.keepAnswers = it->keep;
        if (--it->which.remaining <= 0) mAnswers.erase(it);
        break;
    }
    return f;
}

std::string TestControl::HttpMode() {
    std::lock_guard lock(mLock);
    return mHttpMode;
}

bool TestControl::Broken(char letter, char kind) {
    std::lock_guard lock(mLock);
    const std::string key{letter, kind};
    return std::find(mBroken.begin(), mBroken.end(), key) != mBroken.end();
}

namespace {
std::atomic<bool> gProgramLinks{false};
}

bool ProgramLinksShown() { return gProgramLinks.load(); }

std::string TestControl::Command(std::string_view line) {
    std::istringstream in{std::string(line)};
    std::string verb, a, b, c;
    in >> verb >> a >> b >> c;
    auto number = [](const std::string& t, int fallback, bool& ok) {
        if (t.empty()) return fallback;
        int v = 0;
        const auto r = std::from_chars(t.data(), t.data() + t.size(), v);
        ok = ok && r.ec == std::errc() && r.ptr == t.data() + t.size() && v >= 0;
        return v;
    };
    std::lock_guard lock(mLock);
    bool ok = true;
    if (verb == "delay") {
        const int ms = number(a, 0, ok);
        if (!ok || a.empty()) return "error delay MS [CODE]";
        const std::string code = b.empty() ? "*" : b;
        if (ms == 0) mDelays.erase(code);
        else mDelays[code] = ms;
        return "ok";
    }
    if (verb == "close" || verb == "count51" || verb == "abort") {
        const int times = number(b, 1, ok);
        if (!ok || a.empty() || times == 0) return "error " + verb + " CODE [N]";
        auto& list = verb == "close" ? mClose : verb == "count51" ? mCount51 : mAbort;
        list.push_back({a, times});
        return "ok";
    }
    if (verb == "answers") {
        const int keep = number(b, -1, ok);
        const int times = number(c, 1, ok);
        if (!ok || a.empty() || keep < 0 || times == 0) return "error answers CODE K [N]";
        mAnswers.push_back({{a, times}, keep});
        return "ok";
    }
    if (verb == "broken") {
        if ((a != "F" && a != "A") || b.size() != 1) return "error broken F|A KIND";
        mBroken.push_back(a + b);
        return "ok";
    }
    if (verb == "lock" || verb == "unlock") {
        const std::uint32_t n = Identifiers(DbKind::Velt3, kRecordLetters).ParseShown(a);
        if (n == 0) return "error " + verb + " ID [NAME]";
        if (verb == "unlock") {
            SharedLocks().Release(n, RecordLocks::kPhantom);
            return "ok";
        }
        const auto holder = SharedLocks().Acquire(n, RecordLocks::kPhantom, b.empty() ? "fantom" : b);
        return holder ? "error held by " + holder->user : "ok";
    }
    if (verb == "count") {
        if (a.empty()) return "error count CODE";
        std::uint64_t n = 0;
        for (const auto& [request, c] : mCounts)
            if (Covers(a, request)) n += c;
        return "ok " + std::to_string(n);
    }
    if (verb == "counts") {
        std::string reply = "ok";
        for (const auto& [request, c] : mCounts) reply += " " + request + "=" + std::to_string(c);
        return reply;
    }
    if (verb == "http") {
        if (a != "normal" && a != "nolength" && a != "chunked" && a != "404" && a != "short" && a != "huge")
            return "error http normal|nolength|chunked|404|short|huge";
        mHttpMode = a;
        return "ok";
    }
    if (verb == "programlinks") {
        if (a != "on" && a != "off") return "error programlinks on|off";
        gProgramLinks = a == "on";
        return "ok";
    }
    if (verb == "clear" || verb == "reset") {
        gProgramLinks = false;
        mHttpMode = "normal";
        mClose.clear();
        mCount51.clear();
        mAbort.clear();
        mDelays.clear();
        mAnswers.clear();
        mBroken.clear();
        SharedLocks().ReleaseAll(RecordLocks::kPhantom);
        if (verb == "reset") mCounts.clear();
        return "ok";
    }
    return "error unknown command";
}

}  // namespace velt::server
