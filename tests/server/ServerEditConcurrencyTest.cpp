// Several librarians at once: connections that create records, change
// their own records under reservation and change one shared record without
// one, while another connection reads. Afterwards the database holds
// exactly what was sent: every new record once, under its own number, every
// change of the shared record, and the last change of each reserved one.

#include "net/RecordRequests.h"
#include "ServerTestSupport.h"
#include "Seeder.h"
#include "Identifiers.h"
#include "text/CpLiteral.h"
#include "text/RecordText.h"

#include <gtest/gtest.h>

#include <atomic>
#include <set>
#include <thread>

using namespace velt;
using namespace velt::test;

namespace {

const server::Identifiers kIds(server::DbKind::Velt3, server::kRecordLetters);

TEST(EditConcurrency, ConcurrentSavesFromSeveralConnectionsLoseNothing) {
    ServerProcess::Options o;
    o.records = 100;
    o.kind = "VELT3";
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    constexpr int kWriters = 6;
    constexpr int kRounds = 12;
    std::vector<std::vector<std::string>> created(kWriters);
    std::vector<std::string> failures[kWriters];
    std::atomic<bool> writing{true};
    std::atomic<int> reads{0};

    std::thread reader([&] {
        auto c = Connect(server);
        while (writing) {
            // Walks of the title index while records come and change.
            for (const auto& e : WalkIndex(**c, 21, 5, "TY")) (void)e;
            ++reads;
        }
        EXPECT_FALSE((*c)->Broken());
    });
    std::vector<std::thread> writers;
    for (int t = 0; t < kWriters; ++t) {
        writers.emplace_back([&, t] {
            auto c = Connect(server);
            if ((*c)->Login("bibliotekarz", "bibliotekarz", "") != "") return failures[t].push_back("login");
            const std::string own = "K" + std::to_string(80 + t);
            for (int i = 0; i < kRounds; ++i) {
                const std::string tag = std::to_string(t) + "-" + std::to_string(i);
                // A new record.
                const Answers made = EditRequest(**c, 'U', {"K", "245Z.1.1.1.1=^aWątek "_cp + tag + "\r500Z.1.1.1.1=" + tag + "\r"});
                if (!made.Answered() || made[1] != "")
                    failures[t].push_back("new " + tag + ": " + made[1]);
                else
                    created[t].push_back(made[2]);
                // The own record, opened, changed and saved.
                const Answers opened = EditRequest(**c, 'O', {own});
                if (!opened.Answered() || opened[1] != "") failures[t].push_back("open " + own);
                const Answers saved = EditRequest(**c, 'U', {own, "245Z.1.1.1.1=^aRunda "_cp + tag + "\r"});
                if (!saved.Answered() || saved[1] != "")
                    failures[t].push_back("save " + own + ": " + saved[1]);
                // The shared record, one field of its own per change, no reservation.
                const std::string key = "590Z.1.1." + std::to_string(t * 100 + i + 1) + ".1";
                const Answers shared = EditRequest(**c, 'U', {"K99", key + "=" + tag + "\r"});
                if (!shared.Answered() || shared[1] != "")
                    failures[t].push_back("shared " + tag + ": " + shared[1]);
            }
        });
    }
    for (auto& w : writers) w.join();
    writing = false;
    reader.join();
    for (int t = 0; t < kWriters; ++t) EXPECT_TRUE(failures[t].empty()) << t << ": " << failures[t].front();
    EXPECT_GT(reads.load(), 0);

    auto c = Connect(server);
    ASSERT_EQ((*c)->Login("admin", "admin", ""), "");
    auto open = [&c](const std::string& id) {
        const Answers opened = EditRequest(**c, 'O', {id});
        EXPECT_TRUE(opened.Answered());
        my_record r = ParseRecordText(opened[2]);
        EditRequest(**c, 'X', {id});
        return r;
    };
    // Every new record once, numbered K101 on without a gap, holding what its writer sent.
    std::set<std::uint32_t> sequences;
    for (int t = 0; t < kWriters; ++t) {
        ASSERT_EQ(created[t].size(), static_cast<std::size_t>(kRounds));
        for (int i = 0; i < kRounds; ++i) {
            const std::string tag = std::to_string(t) + "-" + std::to_string(i);
            const my_record r = open(created[t][static_cast<std::size_t>(i)]);
            EXPECT_EQ(r.GetValue("245Z.1.1.1.1"), "^aWątek "_cp + tag);
            EXPECT_EQ(r.GetValue("500Z.1.1.1.1"), tag);
            sequences.insert(kIds.Sequence(kIds.Parse(created[t][static_cast<std::size_t>(i)])));
        }
        EXPECT_EQ(open("K" + std::to_string(80 + t)).GetValue("245Z.1.1.1.1"),
                  "^aRunda "_cp + std::to_string(t) + "-" + std::to_string(kRounds - 1));
    }
    ASSERT_EQ(sequences.size(), static_cast<std::size_t>(kWriters * kRounds));
    EXPECT_EQ(*sequences.begin(), 101u);
    EXPECT_EQ(*sequences.rbegin(), 100u + kWriters * kRounds);
    // Every change of the shared record arrived.
    const my_record shared = open("K99");
    for (int t = 0; t < kWriters; ++t)
        for (int i = 0; i < kRounds; ++i)
            EXPECT_EQ(shared.GetValue("590Z.1.1." + std::to_string(t * 100 + i + 1) + ".1"),
                      std::to_string(t) + "-" + std::to_string(i));
    // The title index holds each new title once and only the last round of each own record.
    std::multiset<std::string> titles;
    for (const auto& e : WalkIndex(**c, 21, 5, "TY")) titles.insert(e.items[4]);
    for (int t = 0; t < kWriters; ++t)
        for (int i = 0; i < kRounds; ++i) {
            const std::string tag = std::to_string(t) + "-" + std::to_string(i);
            EXPECT_EQ(titles.count("Wątek "_cp + tag), 1u) << tag;
            EXPECT_EQ(titles.count("Runda "_cp + tag), i == kRounds - 1 ? 1u : 0u) << tag;
        }
}

// Two sessions race for one record: exactly one gets it.
TEST(EditConcurrency, OneReservationWhenManyOpenAtOnce) {
    ServerProcess::Options o;
    o.records = 20;
    ServerProcess server(o);
    ASSERT_TRUE(server.Ready()) << server.Why();
    constexpr int kSessions = 8;
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < kSessions; ++i) {
        clients.push_back(Connect(server));
        ASSERT_EQ((*clients.back())->Login("bibliotekarz", "bibliotekarz", ""), "");
    }
    std::atomic<int> granted{0};
    std::vector<std::thread> threads;
    for (int i = 0; i < kSessions; ++i)
        threads.emplace_back([&, i] {
            const Answers opened = EditRequest(**clients[i], 'O', {"K7"});
            if (opened.Answered() && opened[1].empty()) ++granted;
        });
    for (auto& t : threads) t.join();
    EXPECT_EQ(granted.load(), 1);
}

}  // namespace
