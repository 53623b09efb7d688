#include "RecordStore.h"

#include "Indexes.h"
#include "RecordIndex.h"
#include "Seeder.h"
#include "text/CpLiteral.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <set>
#include <tuple>

namespace velt::server {

namespace {

std::mutex& WriteMutex() {
    static std::mutex m;
    return m;
}

std::string EntryKey(const std::string& heading, std::uint32_t number) {
    char digits[16];
    std::snprintf(digits, sizeof digits, "\x01%010u", number);
    return heading + digits;
}

bool Less(const RecordIndex::Entry& a, const RecordIndex::Entry& b) {
    return std::tie(a.ix, a.heading, a.occurrence) < std::tie(b.ix, b.heading, b.occurrence);
}
bool LessWord(const RecordIndex::Word& a, const RecordIndex::Word& b) {
    return std::tie(a.ix, a.word) < std::tie(b.ix, b.word);
}

// Calls gone(x) for what old has and fresh lacks, then added(x) for the
// reverse: the rows a re-indexing deletes and inserts.
template <typename T, typename L, typename G, typename A>
void Difference(std::vector<T> old, std::vector<T> fresh, L less, G gone, A added) {
    std::sort(old.begin(), old.end(), less);
    std::sort(fresh.begin(), fresh.end(), less);
    std::vector<T> out;
    std::set_difference(old.begin(), old.end(), fresh.begin(), fresh.end(), std::back_inserter(out), less);
    for (const auto& x : out) gone(x);
    out.clear();
    std::set_difference(fresh.begin(), fresh.end(), old.begin(), old.end(), std::back_inserter(out), less);
    for (const auto& x : out) added(x);
}

// The statements a re-indexing runs, prepared once for as many records as
// one transaction writes.
struct ReindexStatements {
    explicit ReindexStatements(Database& db)
        : delEntry(db, "DELETE FROM entries WHERE ix=?1 AND key=?2"),
          addEntry(db, "INSERT OR REPLACE INTO entries(ix,key,num,occ) VALUES(?1,?2,?3,?4)"),
          delWord(db, "DELETE FROM words WHERE ix=?1 AND word=?2 AND num=?3"),
          addWord(db, "INSERT OR IGNORE INTO words(ix,word,num) VALUES(?1,?2,?3)"),
          delRef(db, "DELETE FROM refs WHERE auth=?1 AND num=?2"),
          addRef(db, "INSERT OR IGNORE INTO refs(auth,num) VALUES(?1,?2)"),
          delLink(db, "DELETE FROM links WHERE num=?1"),
          addLink(db, "INSERT INTO links(num,parent) VALUES(?1,?2)") {}
    Statement delEntry, addEntry, delWord, addWord, delRef, addRef, delLink, addLink;
};

void Reindex(ReindexStatements& st, std::uint32_t number, const RecordIndex& old, const RecordIndex& fresh) {
    Difference(
        old.entries, fresh.entries, Less,
        [&](const RecordIndex::Entry& e) {
            st.delEntry.Bind(1, e.ix).Bind(2, EntryKey(e.heading, number));
            st.delEntry.Run();
        },
        [&](const RecordIndex::Entry& e) {
            st.addEntry.Bind(1, e.ix).Bind(2, EntryKey(e.heading, number)).Bind(3, number).Bind(4, e.occurrence);
            st.addEntry.Run();
        });
    Difference(
        old.words, fresh.words, LessWord,
        [&](const RecordIndex::Word& w) {
            st.delWord.Bind(1, w.ix).Bind(2, w.word).Bind(3, number);
            st.delWord.Run();
        },
        [&](const RecordIndex::Word& w) {
            st.addWord.Bind(1, w.ix).Bind(2, w.word).Bind(3, number);
            st.addWord.Run();
        });
    Difference(
        old.refs, fresh.refs, std::less<std::uint32_t>(),
        [&](std::uint32_t a) {
            st.delRef.Bind(1, a).Bind(2, number);
            st.delRef.Run();
        },
        [&](std::uint32_t a) {
            st.addRef.Bind(1, a).Bind(2, number);
            st.addRef.Run();
        });
    if (old.parent != fresh.parent) {
        st.delLink.Bind(1, number);
        st.delLink.Run();
        if (fresh.parent) {
            st.addLink.Bind(1, number).Bind(2, fresh.parent);
            st.addLink.Run();
        }
    }
}

// The next sequence number of a kind letter, kept in meta; a database that
// has none yet takes it from its highest record of the letter.
std::uint32_t TakeNumber(Database& db, const Identifiers& ids, char letter) {
    std::int64_t seq = 0;
    {
        Statement next(db, "SELECT value FROM meta WHERE name=?1");
        next.Bind(1, NextKey(letter));
        if (next.Step()) seq = std::atoll(next.Text(0).c_str());
    }
    if (seq <= 0) {
        const auto position = static_cast<std::int64_t>(ids.Letters().find(letter));
        Statement highest(db, "SELECT MAX(num) FROM records WHERE num % ?1 = ?2");
        highest.Bind(1, static_cast<std::int64_t>(ids.Letters().size())).Bind(2, position);
        seq = (highest.Step() ? highest.Int(0) : 0) / static_cast<std::int64_t>(ids.Letters().size()) + 1;
    }
    if (seq > 0xFFFFFFFFll) return 0;
    const std::uint32_t number = ids.Number(letter, static_cast<std::uint32_t>(seq));
    if (number == 0 || ids.Stored(number).empty()) return 0;  // past what an identifier can carry
    Statement store(db, "INSERT OR REPLACE INTO meta(name,value) VALUES(?1,?2)");
    store.Bind(1, NextKey(letter)).Bind(2, std::to_string(seq + 1));
    store.Run();
    return number;
}

bool IsNumberField(const std::string& key) { return key.rfind("001", 0) == 0; }
bool IsStampField(const std::string& key) { return key.rfind("005", 0) == 0; }

// The fields as stored: no empty values, no record number (it is the
// record's own), no change stamp, no working fields.
std::string StoredFields(const std::vector<RecordField>& fields) {
    std::string text;
    for (const auto& f : fields) {
        if (f.value.empty() || IsNumberField(f.key) || IsStampField(f.key) || f.key.find('#') != std::string::npos)
            continue;
        text += f.key + "=" + f.value + "\r";
    }
    return text;
}

// The text as stored: the change stamp first, then the stored fields.
std::string StoredText(const std::vector<RecordField>& fields, const std::string& stamp) {
    return "005Z.1.1.1.1=" + stamp + "\r" + StoredFields(fields);
}

// The fields as the client was given them: with the record number and the
// change stamp, which it may see but not change.
std::vector<RecordField> GivenFields(const Identifiers& ids, std::uint32_t number, const RecordText& current) {
    std::vector<RecordField> fields = current.Fields();
    fields.erase(std::remove_if(fields.begin(), fields.end(), [](const RecordField& f) { return IsNumberField(f.key); }),
                 fields.end());
    fields.insert(fields.begin(), RecordField{"001Z.1.1.1.1", ids.Shown(number)});
    if (std::none_of(fields.begin(), fields.end(), [](const RecordField& f) { return IsStampField(f.key); }))
        fields.insert(fields.begin() + 1, RecordField{"005Z.1.1.1.1", ""});
    return fields;
}

int CoverOf(const RecordText& r, int old) {
    for (const auto& v : r.Values("856"))
        if (Subfield(v, 'u').rfind("okladki/", 0) == 0) return old;
    return 0;
}

}  // namespace

std::size_t FillEmptyIndexes(const std::string& path, const Identifiers& ids) {
    Database db(path, false);
    std::set<int> empty;
    {
        Statement any(db, "SELECT 1 FROM entries WHERE ix=?1 LIMIT 1");
        for (const IndexDef& index : AllIndexes()) {
            any.Bind(1, index.id);
            if (!any.Step()) empty.insert(index.id);
        }
    }
    if (empty.empty()) return 0;
    std::size_t written = 0;
    Transaction t(db);
    Statement all(db, "SELECT num,text FROM records");
    Statement add(db, "INSERT OR REPLACE INTO entries(ix,key,num,occ) VALUES(?1,?2,?3,?4)");
    while (all.Step()) {
        const auto number = static_cast<std::uint32_t>(all.Int(0));
        for (const auto& e : DeriveIndex(ids, number, RecordText::Parse(all.View(1))).entries) {
            if (!empty.count(e.ix)) continue;
            add.Bind(1, e.ix).Bind(2, EntryKey(e.heading, number)).Bind(3, number).Bind(4, e.occurrence);
            add.Run();
            ++written;
        }
    }
    t.Commit();
    return written;
}

void UnderWriteLock(const std::function<void()>& f) {
    std::lock_guard lock(WriteMutex());
    f();
}

std::string ChangeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm t{};
    localtime_r(&now, &t);
    char text[80];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d.0", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

WriteOutcome WriteRecord(Catalogue& db, const Identifiers& ids, char letter, std::uint32_t number,
                         const std::string& base, const WriteGuard& guard, const RecordEdit& edit, bool store) {
    WriteOutcome out;
    std::lock_guard lock(WriteMutex());
    Transaction t(db.Db());
    if (guard) out.refusal = guard();
    if (!out.refusal.empty()) return out;
    std::optional<RecordRow> old;
    if (number != 0) {
        old = db.Record(number);
        if (!old) {
            out.refusal = "Brak rekordu "_cp + ids.Shown(number);
            return out;
        }
        letter = ids.Letter(number);
    }
    const RecordText current = RecordText::Parse(old ? std::string_view(old->text) : std::string_view(base));
    std::vector<RecordField> fields = old ? GivenFields(ids, number, current) : current.Fields();
    out.errors = edit(fields);
    // What is validated is what would be stored.
    const RecordText stored = RecordText::Parse(StoredText(fields, ChangeStamp()));
    if (out.errors.empty()) out.errors = ValidateRecord(db, ids, letter, number, stored);
    if (!out.errors.empty() || !store) {
        out.number = number;
        return out;
    }
    const bool fresh = number == 0;
    if (fresh) {
        number = TakeNumber(db.Db(), ids, letter);
        if (number == 0) {
            out.refusal = "Brak wolnych numerów rekordów"_cp;
            return out;
        }
    }
    const std::string text = stored.Text();
    const RecordIndex now = DeriveIndex(ids, number, stored);
    const RecordIndex before = old ? DeriveIndex(ids, number, RecordText::Parse(old->text)) : RecordIndex{};
    const int cover = CoverOf(stored, old ? old->cover : 0);
    Statement write(db.Db(), fresh ? "INSERT INTO records(num,text,cover,sa,st,year) VALUES(?1,?2,?3,?4,?5,?6)"
                                   : "UPDATE records SET text=?2,cover=?3,sa=?4,st=?5,year=?6 WHERE num=?1");
    write.Bind(1, number).Bind(2, text).Bind(3, cover).Bind(4, now.sa).Bind(5, now.st).Bind(6, now.year);
    write.Run();
    ReindexStatements statements(db.Db());
    Reindex(statements, number, before, now);
    t.Commit();
    out.number = number;
    return out;
}

BatchOutcome WriteRecords(Catalogue& db, const Identifiers& ids, const std::vector<std::uint32_t>& numbers,
                          const BatchGuard& guard, const BatchEdit& edit) {
    BatchOutcome out;
    std::lock_guard lock(WriteMutex());
    Transaction t(db.Db());
    ReindexStatements statements(db.Db());
    Statement write(db.Db(), "UPDATE records SET text=?2,cover=?3,sa=?4,st=?5,year=?6 WHERE num=?1");
    const std::string stamp = ChangeStamp();
    auto fail = [&out](std::uint32_t number, std::string why) {
        out.failed = number;
        out.refusal = std::move(why);
        out.written = 0;
        return out;
    };
    for (const std::uint32_t number : numbers) {
        if (guard)
            if (std::string why = guard(number); !why.empty()) return fail(number, std::move(why));
        const std::optional<RecordRow> old = db.Record(number);
        if (!old) return fail(number, "Brak rekordu "_cp + ids.Shown(number));
        const RecordText current = RecordText::Parse(old->text);
        std::vector<RecordField> fields = GivenFields(ids, number, current);
        if (std::string why = edit(number, fields); !why.empty()) return fail(number, std::move(why));
        // A record the edit left as it was keeps its text and its stamp.
        const std::string body = StoredFields(fields);
        if (body == StoredFields(current.Fields())) continue;
        const RecordText stored = RecordText::Parse("005Z.1.1.1.1=" + stamp + "\r" + body);
        const std::vector<FieldError> errors = ValidateRecord(db, ids, ids.Letter(number), number, stored);
        if (!errors.empty()) return fail(number, "Rekord "_cp + ids.Shown(number) + ": "_cp + errors.front().message);
        const RecordIndex now = DeriveIndex(ids, number, stored);
        write.Bind(1, number).Bind(2, stored.Text()).Bind(3, CoverOf(stored, old->cover)).Bind(4, now.sa)
            .Bind(5, now.st).Bind(6, now.year);
        write.Run();
        Reindex(statements, number, DeriveIndex(ids, number, current), now);
        ++out.written;
    }
    t.Commit();
    return out;
}

std::string DeleteRecord(Catalogue& db, const Identifiers& ids, std::uint32_t number, const WriteGuard& guard) {
    std::lock_guard lock(WriteMutex());
    Transaction t(db.Db());
    if (guard)
        if (std::string why = guard(); !why.empty()) return why;
    const auto old = db.Record(number);
    if (!old) return "Brak rekordu "_cp + ids.Shown(number);
    auto list = [&ids](const std::vector<std::uint32_t>& numbers, std::size_t total) {
        std::string text;
        for (std::size_t i = 0; i < numbers.size() && i < 10; ++i) text += (i ? ", " : "") + ids.Shown(numbers[i]);
        if (total > 10) text += " i inne"_cp;
        return text;
    };
    if (const auto referring = db.Referrers(number, 11); !referring.empty())
        return "Nie można usunąć rekordu wzorcowego "_cp + ids.Shown(number) + ", do którego odwołują się rekordy: "_cp +
               list(referring, referring.size());
    if (const auto children = db.Children(number); !children.empty())
        return "Nie można usunąć rekordu "_cp + ids.Shown(number) + ", do którego dołączone są rekordy: "_cp +
               list(children, children.size());
    // A book whose copies a reader holds or awaits stays: its loans,
    // reservations and orders would name a record that is gone.
    std::string claimed;
    {
        Statement copies(db.Db(),
                         "SELECT c.sn, EXISTS(SELECT 1 FROM loans l WHERE l.sn=c.sn),"
                         " EXISTS(SELECT 1 FROM holds h WHERE h.sn=c.sn), EXISTS(SELECT 1 FROM orders o WHERE o.sn=c.sn)"
                         " FROM copies c WHERE c.num=?1 ORDER BY c.sn");
        copies.Bind(1, number);
        int named = 0;
        while (copies.Step()) {
            const std::string state = copies.Int(1)   ? "wypożyczony"_cp
                                      : copies.Int(2) ? "zarezerwowany"_cp
                                      : copies.Int(3) ? "zamówiony"_cp
                                                      : std::string();
            if (state.empty()) continue;
            if (++named > 10) {
                claimed += " i inne"_cp;
                break;
            }
            claimed += (claimed.empty() ? "" : ", ") + copies.Text(0) + " (" + state + ")";
        }
    }
    if (!claimed.empty())
        return "Nie można usunąć rekordu "_cp + ids.Shown(number) +
               ", którego egzemplarze są wypożyczone, zarezerwowane lub zamówione: "_cp + claimed;
    ReindexStatements statements(db.Db());
    Reindex(statements, number, DeriveIndex(ids, number, RecordText::Parse(old->text)), RecordIndex{});
    for (const char* sql : {"DELETE FROM records WHERE num=?1", "DELETE FROM attachments WHERE num=?1",
                            "DELETE FROM copies WHERE num=?1"}) {
        Statement s(db.Db(), sql);
        s.Bind(1, number);
        s.Run();
    }
    t.Commit();
    return {};
}

}  // namespace velt::server
