// The one mapping of the catalogue's fields to MARC: parts, occurrences,
// 1XX tags, subfields and the leader; and MARC records read as the import
// reads them and exported again, compared by yaz-marcdump with the originals.

#include "import/MarcExport.h"
#include "import/usmarc.h"
#include "support/TempDir.h"
#include "support/Tool.h"
#include "support/Z3950Server.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace velt;

namespace {

std::string Line(const MarcField& f) {
    std::string out = f.tag + " " + f.ind1 + f.ind2 + " ";
    if (f.IsControl()) return out + f.data;
    for (const MarcSubfield& s : f.subfields) out += "$" + std::string(1, s.code) + s.data;
    return out;
}

}  // namespace

TEST(MarcExport, TheCataloguesFieldsAsMarc) {
    my_record r;
    r.kind = "U";
    r.AddField("*001Z.1.1.1.1", "K5", 0);
    r.AddField("650Z.1.1.2.1", "^aMalarstwo ^9T5", 0);
    r.AddField("650Z.1.1.1.1", "^aMatematyka", 0);
    r.AddField("245A.1.1.1.1", "1", 0);
    r.AddField("245Z.1.1.1.1", "^aZa\xBF\xF3\xB3\xE6 ^bpodtytu\xB3", 0);
    r.AddField("100R.1.1.1.1", "110", 0);
    r.AddField("100Z.1.1.1.1", "^aInstytut", 0);
    r.AddField("500Z.1.1.1.1", "Nak\xB3" "ad 2000 egz.", 0);
    r.AddField("876I.1.1.1.1", "20015", 0);
    r.AddField("876S.1.1.1.1", "D", 0);
    r.AddField("008Z.1.1.1.1", "910710s1991", 0);
    r.AddField("DOK_IDO", "x", 0);
    r.AddField("245B.1.1.2.1", "", 0);  // an empty part makes no field
    const MarcData m = MarcDataOfRecord(r, "K5");
    std::vector<std::string> lines;
    for (const MarcField& f : m.fields) lines.push_back(Line(f));
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "001    K5", "008    910710s1991", "110    $aInstytut",
                         "245 1  $aZa\xBF\xF3\xB3\xE6$bpodtytu\xB3", "500    $aNak\xB3" "ad 2000 egz.",
                         "650    $aMatematyka", "650    $aMalarstwo$9T5", "876    $i20015$sD"}));
    EXPECT_EQ(m.leader, "00000nam a2200000 i 4500");
    r.AddField("L.1", "01234cz  a2200123n  4500", 0);
    EXPECT_EQ(MarcDataOfRecord(r, "K5").leader, "01234cz  a2200123n  4500");
    // Its own 001 stays the record's.
    r.AddField("001Z.1.1.1.1", "PL123", 0);
    EXPECT_EQ(Line(MarcDataOfRecord(r, "K5").fields.front()), "001    PL123");

    MarcFileWriter utf(MarcFileFormat::Marc21);
    ASSERT_TRUE(utf.Add(m));
    const std::string bytes = utf.Bytes();
    EXPECT_EQ(bytes[9], 'a');
    EXPECT_NE(bytes.find("Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87"), std::string::npos);  // UTF-8
    MarcFileWriter marc8(MarcFileFormat::Marc8);
    ASSERT_TRUE(marc8.Add(m));
    EXPECT_EQ(marc8.Bytes()[9], ' ');
    MarcData big = m;
    big.fields[2].subfields[0].data.assign(9990, 'x');
    big.fields[4].subfields[0].data.assign(9990, 'x');
    EXPECT_TRUE(utf.Add(big)) << "two long fields still fit";
    for (int i = 0; i < 12; ++i) big.fields.push_back(big.fields[2]);
    EXPECT_FALSE(utf.Add(big));
    EXPECT_EQ(utf.Count(), 2u);
}

TEST(MarcExport, RecordsReadAsImportedComeBackTheSame) {
    if (!test::HaveTool("yaz-marcdump")) GTEST_SKIP() << "yaz-marcdump is not installed";
    test::TempDir dir;
    const std::string original = dir.Path() + "sample.mrc";
    if (!test::Z3950Server::WriteMarcSample(original)) GTEST_SKIP() << "the MARC 21 sample is not installed";
    const std::string bytes = test::TempDir::Read(original);
    MarcFileWriter writer(MarcFileFormat::Marc8);
    MarcOptions options;
    options.format = true;  // every 1XX under its own tag
    int n = 0;
    for (const std::string_view octets : SplitMarcFile(bytes)) {
        ASSERT_TRUE(writer.Add(MarcDataOfRecord(ParseMarc(octets, options), {})));
        ++n;
    }
    ASSERT_GT(n, 5);
    const std::string exported = dir.Write("exported.mrc", writer.Bytes());
    // The fields' lines as yaz-marcdump reads them: leaders aside (the lengths
    // are computed anew), in the order of their tags (the export's order), a
    // blank before a subfield mark not told from none (the catalogue keeps one
    // there either way). The sample's last record is not MARC 21 (its control
    // fields have indicators) and stays out.
    auto fields = [](const std::string& dump) {
        std::istringstream in(dump);
        std::vector<std::string> records(1);
        std::vector<std::string> lines;
        auto close = [&] {
            std::stable_sort(lines.begin(), lines.end(),
                             [](const std::string& a, const std::string& b) { return a.substr(0, 3) < b.substr(0, 3); });
            for (const std::string& l : lines) records.back() += l + "\n";
            lines.clear();
            records.emplace_back();
        };
        for (std::string l; std::getline(in, l);) {
            if (l.empty()) {
                close();
                continue;
            }
            if (l.size() == 24 && l.find_first_not_of("0123456789") == 5) continue;
            for (std::size_t at; (at = l.find("  $")) != std::string::npos;) l.erase(at, 1);
            lines.push_back(l);
        }
        close();
        std::string out;
        for (const std::string& r : records)
            if (!r.empty() && r.find("001 00") == std::string::npos) out += r + "\n";
        return out;
    };
    const auto a = test::RunTool("yaz-marcdump -f MARC-8 -t UTF-8 '" + original + "'", "");
    const auto b = test::RunTool("yaz-marcdump -f MARC-8 -t UTF-8 '" + exported + "'", "");
    ASSERT_TRUE(a && b);
    EXPECT_EQ(fields(*b), fields(*a));
}
