#include "import/MultiSearch.h"

#include "browse/CellMarkup.h"
#include "import/SruClient.h"
#include "import/Z3950Client.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace velt {

namespace {

// What the workers and the waiting thread share; a worker left behind
// holds it alive.
struct Shared {
    struct Slot {
        bool done = false;
        std::chrono::steady_clock::time_point at;  // when it finished
        std::unique_ptr<RemoteRecords> list;
        std::string error;
    };
    std::mutex mutex;
    std::condition_variable finished;
    std::vector<Slot> slots;
    std::size_t pending = 0;
};

}  // namespace

std::unique_ptr<RemoteRecords> SearchSource(const Z3950Source& s, const SourceQuery& query, int timeoutMs,
                                            std::string& error, const std::function<void(const std::string&)>& message) {
    if (s.protocol == Z3950Source::Protocol::Sru) {
        auto client = std::make_unique<SruClient>(message);
        client->SetServer(s.sruBase, s.sruVersion, s.sruSchema);
        client->SetTimeout(timeoutMs);
        error = client->Search(query.cql);
        if (!error.empty()) return nullptr;
        return client;
    }
    auto client = std::make_unique<Z3950Client>(message);
    client->SetReadTimeout(timeoutMs);
    if (!client->OpenAssociation(s.host, s.port, s.password, s.user)) {
        error = "Błąd połączenia z serwisem Z39.50"_cp + (client->ErrorText().empty() ? "" : " - " + client->ErrorText());
        return nullptr;
    }
    error = client->SendSearch(s.database, query.rpn, Z3950Client::kWindow, Z3950Client::kWindow, s.syntax);
    if (error == Z3950Client::TextBroken() && !client->ErrorText().empty()) error += " (" + client->ErrorText() + ")";
    if (!error.empty()) return nullptr;
    return client;
}

std::string MultiSearch::TextNoAnswer() { return "brak odpowiedzi"; }

MultiSearch::~MultiSearch() = default;

void MultiSearch::Run(const std::vector<Z3950Source>& sources, const Searcher& search,
                      std::chrono::milliseconds timeout) {
    mAnswers.assign(sources.size(), {});
    mLists.clear();
    mLists.resize(sources.size());
    auto shared = std::make_shared<Shared>();
    shared->slots.resize(sources.size());
    shared->pending = sources.size();
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::vector<std::thread> workers;
    for (std::size_t i = 0; i < sources.size(); ++i) {
        mAnswers[i].name = sources[i].name;
        workers.emplace_back([shared, i, source = sources[i], search] {
            std::string error;
            std::unique_ptr<RemoteRecords> list = search(source, error);
            const std::lock_guard lock(shared->mutex);
            shared->slots[i].list = std::move(list);
            shared->slots[i].error = error;
            shared->slots[i].done = true;
            shared->slots[i].at = std::chrono::steady_clock::now();
            --shared->pending;
            shared->finished.notify_all();
        });
    }
    std::unique_lock lock(shared->mutex);
    shared->finished.wait_until(lock, deadline, [&] { return shared->pending == 0; });
    std::vector<bool> finished(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Shared::Slot& slot = shared->slots[i];
        SourceAnswer& a = mAnswers[i];
        finished[i] = slot.done;
        // What came after the deadline (this thread woke late) came too late,
        // the same as on a machine that woke on time.
        if (!slot.done || slot.at > deadline) {
            a.error = TextNoAnswer();
            continue;
        }
        a.answered = true;
        a.error = slot.error;
        if (slot.list && slot.error.empty()) {
            a.count = slot.list->ResultCount();
            mLists[i] = std::move(slot.list);
        } else if (a.error.empty()) {
            a.error = "Wystąpił błąd"_cp;
        }
    }
    lock.unlock();
    // A finished worker is joined (it has only its return left); one left
    // behind goes on alone.
    for (std::size_t i = 0; i < workers.size(); ++i) {
        if (finished[i])
            workers[i].join();
        else
            workers[i].detach();
    }
}

long long MultiSearch::TotalCount() const {
    long long total = 0;
    for (const SourceAnswer& a : mAnswers) total += a.count;
    return total;
}

std::string MultiSearch::CountsText() const {
    std::string text;
    for (const SourceAnswer& a : mAnswers) {
        if (!text.empty()) text += "; ";
        text += a.name + ": " + (a.error.empty() ? std::to_string(a.count) : a.error);
    }
    return text;
}

RemoteRecords* MultiSearch::Records(std::size_t source) const {
    return source < mLists.size() ? mLists[source].get() : nullptr;
}

void MultiSearch::SetDisplay(const MarcOptions& options, const MarcFormatter& formatter) {
    for (auto& list : mLists)
        if (list) list->SetDisplay(options, formatter);
}

long long MultiSearch::CountOf(std::size_t source) const {
    return source < mLists.size() && mLists[source] ? mLists[source]->ResultCount() : 0;
}

bool MultiSearch::Split(const std::string& key, std::size_t& source, long long& position) const {
    const auto dot = key.find('.');
    if (dot == std::string::npos || dot == 0 || dot > 6 || key.size() - dot - 1 > 18 || dot + 1 == key.size())
        return false;
    std::size_t s = 0;
    long long p = 0;
    for (std::size_t i = 0; i < dot; ++i) {
        if (key[i] < '0' || key[i] > '9') return false;
        s = s * 10 + static_cast<std::size_t>(key[i] - '0');
    }
    for (std::size_t i = dot + 1; i < key.size(); ++i) {
        if (key[i] < '0' || key[i] > '9') return false;
        p = p * 10 + (key[i] - '0');
    }
    if (s < 1 || s > mLists.size() || p < 1 || p > CountOf(s - 1)) return false;
    source = s - 1;
    position = p;
    return true;
}

std::string MultiSearch::Key(std::size_t source, long long position) const {
    return std::to_string(source + 1) + "." + std::to_string(position);
}

std::string MultiSearch::First() {
    for (std::size_t s = 0; s < mLists.size(); ++s)
        if (CountOf(s) >= 1) return Key(s, 1);
    return {};
}

std::string MultiSearch::Last() {
    long long most = 0;
    for (std::size_t s = 0; s < mLists.size(); ++s) most = std::max(most, CountOf(s));
    if (most == 0) return {};
    for (std::size_t s = mLists.size(); s-- > 0;)
        if (CountOf(s) == most) return Key(s, most);
    return {};
}

std::string MultiSearch::Next(const std::string& key) {
    std::size_t source = 0;
    long long position = 0;
    if (!Split(key, source, position)) return {};
    for (std::size_t s = source + 1; s < mLists.size(); ++s)
        if (CountOf(s) >= position) return Key(s, position);
    for (std::size_t s = 0; s < mLists.size(); ++s)
        if (CountOf(s) >= position + 1) return Key(s, position + 1);
    return {};
}

std::string MultiSearch::Prior(const std::string& key) {
    std::size_t source = 0;
    long long position = 0;
    if (!Split(key, source, position)) return {};
    for (std::size_t s = source; s-- > 0;)
        if (CountOf(s) >= position) return Key(s, position);
    if (position < 2) return {};
    for (std::size_t s = mLists.size(); s-- > 0;)
        if (CountOf(s) >= position - 1) return Key(s, position - 1);
    return {};
}

std::optional<std::vector<std::string>> MultiSearch::Lines(const std::string& key) {
    std::size_t source = 0;
    long long position = 0;
    if (!Split(key, source, position)) return std::nullopt;
    auto lines = mLists[source]->Lines(std::to_string(position));
    if (!lines) return std::nullopt;
    lines->insert(lines->begin(), NeutraliseMarkup("Źródło: "_cp + mAnswers[source].name + " (" +
                                                   std::to_string(position) + ")"));
    return lines;
}

const Z3950Record* MultiSearch::RecordAt(const std::string& key) const {
    std::size_t source = 0;
    long long position = 0;
    if (!Split(key, source, position)) return nullptr;
    return mLists[source]->RecordAt(position);
}

int MultiSearch::Action(const std::string&, const std::string&) { return 0; }

}  // namespace velt
