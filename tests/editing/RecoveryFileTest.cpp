// The recovery file: every byte of a record survives the round trip, the
// file appears whole or not at all, and a damaged file gives only the
// records that were complete before the damage.

#include "editing/RecoveryFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;

namespace {

KeptSheet Sheet(const std::string& id, const std::string& value) {
    KeptSheet k;
    k.host = "127.0.0.1";
    k.port = 4000;
    k.user = "bibliotekarz";
    k.code = "K";
    k.identifier = id;
    k.source = id;
    k.fields.push_back({"245Z.1.1.1.1", 0, "^astary", value});
    k.fields.push_back({"*dziwny\tklucz", 1, "", ""});
    return k;
}

bool Same(const std::vector<KeptSheet>& a, const std::vector<KeptSheet>& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const KeptSheet &x = a[i], &y = b[i];
        if (x.host != y.host || x.port != y.port || x.user != y.user || x.code != y.code ||
            x.identifier != y.identifier || x.source != y.source || x.fields.size() != y.fields.size())
            return false;
        for (std::size_t f = 0; f < x.fields.size(); ++f)
            if (x.fields[f].key != y.fields[f].key || x.fields[f].readonly != y.fields[f].readonly ||
                x.fields[f].loaded != y.fields[f].loaded || x.fields[f].value != y.fields[f].value)
                return false;
    }
    return true;
}

}  // namespace

TEST(RecoveryFile, EveryByteOfTheRecordsComesBack) {
    std::string all;
    for (int c = 0; c < 256; ++c) all.push_back(static_cast<char>(c));
    std::vector<KeptSheet> sheets = {Sheet("K5", all), Sheet("K\\6", "a\\tb\\"), Sheet("", "\n\r\t\\0")};
    sheets[2].source = "VELT #1";
    sheets[2].fields.clear();
    const std::string text = RecoveryText(sheets);
    EXPECT_TRUE(Same(ParseRecoveryText(text), sheets));
    EXPECT_TRUE(sheets[0].Existing());
    EXPECT_TRUE(sheets[2].Imported());
}

TEST(RecoveryFile, ADamagedFileGivesTheRecordsCompleteBeforeTheDamage) {
    const std::vector<KeptSheet> sheets = {Sheet("K1", "a"), Sheet("K2", "b")};
    const std::string text = RecoveryText(sheets);
    const auto second = text.find("R\t", text.find("E\n"));
    const struct {
        const char* what;
        std::string text;
        std::size_t records;
    } cases[] = {
        {"whole", text, 2},
        {"cut inside the second", text.substr(0, text.size() - 4), 1},
        {"cut before its end line", text.substr(0, text.size() - 2), 1},
        {"another version", "VELT-ODZYSK 2" + text.substr(text.find('\n')), 0},
        {"no header", text.substr(text.find('\n') + 1), 0},
        {"a broken escape", text.substr(0, second) + "R\t\\q\t1\t\t\t\t\n" + text.substr(second), 1},
        {"a port that is no number", text.substr(0, second) + "R\th\tx\tu\tK\tK2\tK2\nE\n", 1},
        {"a field outside a record", text.substr(0, second) + "F\t0\tA\t\t\n" + text.substr(second), 1},
        {"a field without a key", text.substr(0, second) + "R\th\t1\tu\tK\tK2\tK2\nF\t0\t\t\t\nE\n", 1},
        {"an end without a record", text.substr(0, second) + "E\n" + text.substr(second), 1},
        {"empty", "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto read = ParseRecoveryText(c.text);
        EXPECT_EQ(read.size(), c.records);
        if (!read.empty()) {
            EXPECT_EQ(read[0].identifier, "K1");
        }
    }
}

TEST(RecoveryFile, IsWrittenWholeUnderItsNameAndRemovedWhenNothingIsKept) {
    test::TempDir dir;
    const std::string path = RecoveryFileName(dir.Path());
    EXPECT_EQ(path, dir.Path() + "rekordy.odz");
    EXPECT_TRUE(ReadRecoveryFile(path).empty()) << "no file, no records";
    const std::vector<KeptSheet> sheets = {Sheet("K1", "typed")};
    ASSERT_EQ(WriteRecoveryFile(path, sheets), "");
    EXPECT_TRUE(Same(ReadRecoveryFile(path), sheets));
    EXPECT_EQ(test::TempDir::List(dir.Path()), std::vector<std::string>{"rekordy.odz"}) << "no work file is left";
    ASSERT_EQ(WriteRecoveryFile(path, {}), "");
    EXPECT_FALSE(test::TempDir::Exists(path));
    EXPECT_EQ(WriteRecoveryFile(path, {}), "") << "removing what is not there is no failure";
    EXPECT_NE(WriteRecoveryFile(dir.Path() + "brak/rekordy.odz", sheets), "") << "a directory that is missing";
}
