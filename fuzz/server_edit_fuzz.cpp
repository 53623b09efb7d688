// What a save, a check and a modification program do with a client's
// texts: changed-fields lines read and a program compiled in the formatting
// language, run and applied to a seeded record, validated and (for odd first
// bytes) stored with its re-indexing, or run over a few seeded records all
// or nothing; key patterns matched and field help looked up. Whatever the
// texts, nothing leaves its bounds and a stored record reads back as a
// record.
//
// Input: program NUL changes NUL pattern.

#include "Catalogue.h"
#include "Forms.h"
#include "ModificationPrograms.h"
#include "RecordChanges.h"
#include "RecordStore.h"
#include "Seeder.h"
#include "lang/RecordProgram.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace velt::server;

struct Fixture {
    Fixture() {
        char dir[] = "/tmp/velt-fuzz-edit-XXXXXX";
        directory = ::mkdtemp(dir);
        const std::string path = directory + "/catalogue.db";
        SeedDatabase(path, 40);
        db = std::make_unique<Catalogue>(path);
        db->Db().Exec("PRAGMA synchronous=OFF");
    }
    ~Fixture() {
        db.reset();
        std::system(("rm -rf " + directory).c_str());
    }
    std::string directory;
    std::unique_ptr<Catalogue> db;
    const Identifiers ids{DbKind::Velt2, kRecordLetters};
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    const std::string input(reinterpret_cast<const char*>(data), size);
    const auto a = input.find('\0');
    const auto b = a == std::string::npos ? a : input.find('\0', a + 1);
    const std::string program = input.substr(0, a);
    const std::string changes = a == std::string::npos ? std::string() : input.substr(a + 1, b - a - 1);
    const std::string pattern = b == std::string::npos ? std::string() : input.substr(b + 1);

    const velt::RecordProgram parsed(program);
    const std::vector<Change> lines = ParseChanges(changes);
    const bool store = size > 0 && (data[0] & 1);
    // One of the seeded records of each kind, or a new one.
    const std::uint32_t number = size > 1 ? static_cast<std::uint32_t>(data[1] % 64) : 0;
    const bool exists = number != 0 && fixture.db->Exists(number);
    const char letter = kRecordLetters[size > 2 ? data[2] % 3 : 0];
    const WriteOutcome outcome = WriteRecord(
        *fixture.db, fixture.ids, letter, exists ? number : 0, InitialRecord(letter), {},
        [&](std::vector<RecordField>& fields) {
            std::vector<velt::ProgramField> given;
            for (const auto& f : fields) given.push_back({f.key, f.value});
            // A small budget: the fuzzer's loops end quickly.
            const velt::ProgramRun run = parsed.Run(given, "K1", 20000);
            std::vector<FieldError> errors;
            if (!run.error.empty()) errors.push_back({run.error, "*"});
            fields.clear();
            for (auto& f : given) fields.push_back({f.key, f.value});
            auto more = ApplyChanges(fields, lines);
            errors.insert(errors.end(), more.begin(), more.end());
            return errors;
        },
        store);
    if (store && size > 3 && (data[3] & 1)) {
        const std::vector<std::uint32_t> some = {number ? number : 1, 7, 12};
        (void)ModifyRecords(*fixture.db, fixture.ids, 99, some, program, 60000);
    }
    if (outcome.ok() && store) {
        const auto row = fixture.db->Record(outcome.number);
        if (!row) std::abort();
        (void)RecordText::Parse(row->text);
    }
    (void)KeyMatches(pattern, changes.substr(0, 4096));
    (void)FieldHelp('K', pattern);
    return 0;
}
