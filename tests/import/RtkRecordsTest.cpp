// The import from other catalogues without a server: export texts read,
// codes replaced, what must not come over, the sources' menu and full names,
// the catalogue list a server sends made into a file, and the HTTP exchange
// that fetches it.

#include "import/RtkRecords.h"
#include "import/RtkSettings.h"
#include "net/HttpGet.h"

#include "lang/TMultiIniFile.h"
#include "text/CpLiteral.h"
#include "text/utf.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

using namespace velt;
using namespace velt::test;

TEST(RtkExport, RecordsTheirIdentifiersAndTheLinesThatComeOver) {
    std::string error;
    const auto records = ReadExportText(
        "[DOKUMENT K12]\r  245Z.1.1.1.1 =^aTytuł  \r008Z.1.1.1.1=880101s1999    pl    \r*001Z.1.1.1.1=K12\r"
        "#EGZ=e|1|\rDOK_IDO=K3\rpuste=\rbez znaku\r[DOKUMENT  O7 ]\r100Z.1.1.1.1=^aNowak\r"_cp,
        false, error);
    ASSERT_TRUE(records) << error;
    ASSERT_EQ(records->size(), 2u);
    EXPECT_EQ((*records)[0].identifier, "K12");
    const my_record& book = (*records)[0].record;
    EXPECT_EQ(book.GetValue("245Z.1.1.1.1"), "^aTytuł  "_cp) << "the key trimmed, the value as it came";
    EXPECT_EQ(book.GetValue("008Z.1.1.1.1"), "880101s1999    pl    ") << "a fixed-length field keeps its blanks";
    EXPECT_FALSE(book.Find("001Z.1.1.1.1"));
    EXPECT_FALSE(book.Find("*001Z.1.1.1.1"));
    EXPECT_FALSE(book.Find("#EGZ"));
    EXPECT_FALSE(book.Find("puste"));
    EXPECT_EQ(book.GetValue("DOK_IDO"), "K3") << "read as sent; left out when made a record here";
    EXPECT_EQ((*records)[1].identifier, "O7");
    for (const char* bad : {"[DOKUMENT]\ra=1", "[DOKUMENT]]\ra=1", "245Z.1.1.1.1=x", "", "[DOKUMENT   ]\ra=1"}) {
        error.clear();
        EXPECT_FALSE(ReadExportText(bad, false, error)) << bad;
        EXPECT_EQ(error, "Zła budowa formatu eksportu"_cp) << bad;
    }
    // A VELT1 source: one record, its header not read.
    const auto velt1 = ReadExportText("[DOKUMENT]\rDOK_TYP=ksk\r[DOKUMENT X]\rDOK_TYP=inny\r", true, error);
    ASSERT_TRUE(velt1);
    ASSERT_EQ(velt1->size(), 1u);
    EXPECT_EQ(velt1->front().record.GetValue("DOK_TYP"), "ksk");
}

TEST(RtkCodes, TheLocalCodeReplacesTheSourcesOrTheValueStaysWithAWarning) {
    const CodeTables tables = {{"101_pol", "pol"}, {"101_pom", "pom"}, {"101_ang", "ang"}, {"101_eng", "eng"},
                               {"DOK_ksk", "ksk"}, {"KRA_pl", "pl"}};
    my_record r;
    r.SetValue("JEZ_JEZYK.1", "pol");
    r.SetValue("JEZ_JEZYK.2", "pox");
    r.SetValue("JEZ_JEZYK.3", "xyz");
    r.SetValue("DOK_TYP", "ksz");
    r.SetValue("WYD_KRAJ.1", "po");
    ReplaceCodes(tables, r, false);
    EXPECT_EQ(r.GetValue("JEZ_JEZYK.1"), "pol");
    EXPECT_EQ(r.GetValue("JEZ_JEZYK.2"), "pom") << "the longest shared beginning; the later on a tie";
    EXPECT_EQ(r.GetValue("JEZ_JEZYK.3"), "xyz") << "nothing alike: the value stays";
    EXPECT_EQ(r.GetValue("DOK_TYP"), "ksk");
    EXPECT_EQ(r.GetValue("WYD_KRAJ.1"), "po") << "countries only when asked";
    ASSERT_EQ(r.errors().size(), 3u);
    EXPECT_EQ(r.errors()[0].message, "Kod języka \"pox\" zastąpiono kodem \"pom\""_cp);
    EXPECT_EQ(r.errors()[0].keys, "JEZ_JEZYK.2");
    EXPECT_EQ(r.errors()[1].message, "Kod języka \"xyz\" nie ma odpowiednika w tym katalogu"_cp);
    ReplaceCodes(tables, r, true);
    EXPECT_EQ(r.GetValue("WYD_KRAJ.1"), "pl");
}

TEST(RtkRecords, ARecordMadeHereKeepsNothingThatNamesTheOtherCatalogue) {
    my_record initial("K");
    initial.AddField("001Z.1.1.1.1", "", 1);
    initial.AddField("005Z.1.1.1.1", "", 1);
    initial.SetValue("041Z.1.1.1.1", "^apol");
    initial.SetValue("876S.1.1.1.1", "D");
    my_record taken("K12");
    taken.SetValue("001Z.1.1.1.1", "K12");
    taken.SetValue("005Z.1.1.1.1", "20260101");
    taken.SetValue("DOK_IDO", "K3");
    taken.SetValue("245Z.1.1.1.1", "^aTytuł"_cp);
    taken.SetValue("100Z.1.1.1.1", "^aNowak, Jan ^9O17 ^d1950-");
    taken.SetValue("041Z.1.1.1.1", "^aeng");
    const my_record here = RecordForHere(initial, taken);
    EXPECT_EQ(here.GetValue("001Z.1.1.1.1"), "");
    EXPECT_EQ(here.GetValue("005Z.1.1.1.1"), "");
    EXPECT_EQ(here.GetValue("DOK_IDO"), "");
    EXPECT_EQ(here.GetValue("245Z.1.1.1.1"), "^aTytuł"_cp);
    EXPECT_EQ(here.GetValue("100Z.1.1.1.1"), "^aNowak, Jan ^d1950-") << "the link to the other catalogue's record goes";
    EXPECT_EQ(here.GetValue("041Z.1.1.1.1"), "^aeng") << "taken over the initial record's";
    EXPECT_EQ(here.GetValue("876S.1.1.1.1"), "D") << "the initial record's own";
    ASSERT_EQ(here.errors().size(), 1u);
    EXPECT_EQ(here.errors()[0].keys, "100Z.1.1.1.1");
}

TEST(RtkSettings, SourcesInGroupsAndTheirFullNames) {
    TempDir dir;
    const std::string ini = dir.Write(
        "VELT_TCP.INI",
        "[RTK]\r\nźródło=RTK_KATALOG_PL_A_1\r\ntarlinex=http://lista.example.org/katalogi.ini\r\naktualizuj=%INI%rtk.ini\r\n"
        "sortuj=2\r\nkraj=1\r\n"
        "[RTK_GRUPA_PL]\r\nnazwa=&Polska\r\n[RTK_GRUPA_PL_A]\r\nnazwa=Od A do M\r\n"
        "[RTK_KATALOG_PL_A_1]\r\nnazwa=Biblioteka Główna\r\nip=10.0.0.5\r\nport=8001\r\n"
        "[RTK_KATALOG_PL_2]\r\nnazwa=Filia\r\nport=nie\r\n[RTK_GRUPA_X]\r\nnazwa=AAA - MMM\r\n[RTK_KATALOG_X_1]\r\nnazwa=Inna\r\n"_cp);
    RtkSettings settings;
    settings.Read(TMultiIniFile(ini));
    ASSERT_EQ(settings.Sources().size(), 3u);
    const int chosen = settings.ChosenSource();
    ASSERT_EQ(chosen, 0);
    EXPECT_EQ(settings.Sources()[0].host, "10.0.0.5");
    EXPECT_EQ(settings.Sources()[0].port, 8001);
    EXPECT_EQ(settings.Sources()[1].port, 8000) << "a port that is none keeps the default";
    EXPECT_EQ(settings.FullName(0), "Biblioteka Główna"_cp) << "a group of a range of the alphabet, and all above it, left out";
    EXPECT_EQ(settings.FullName(1), "Filia. Polska");
    EXPECT_EQ(settings.FullName(2), "Inna");
    EXPECT_TRUE(settings.CanUpdate());
    EXPECT_EQ(settings.ListFile(), dir.Path() + "rtk.ini");
    EXPECT_EQ(settings.Sort(), 2);
    EXPECT_TRUE(settings.Countries());
    ASSERT_EQ(settings.Menu().size(), 2u);
    EXPECT_EQ(settings.Menu()[0].caption, "&Polska");
}

TEST(RtkCatalogueList, OnlyTheSourcesSectionsReachTheFile) {
    std::string error;
    const auto file = CatalogueListFile(
        "; lista\n[RTK_KATALOG_A]\nnazwa=A\nip=1.2.3.4\n[KONWERTER_ZLY]\ndll=/tmp/zly.so\n[PLIKI]\nexe=/bin/sh\n"
        "[rtk_grupa_b]\r\nnazwa=B\r\n[RTK_]KATALOG]\nx=1\n[R\x9dK_PLIKI]\nexe=/bin/sh\n",
        error);
    ASSERT_TRUE(file) << error;
    EXPECT_EQ(*file, "[RTK_KATALOG_A]\r\nnazwa=A\r\nip=1.2.3.4\r\n[rtk_grupa_b]\r\nnazwa=B\r\n");
    EXPECT_FALSE(CatalogueListFile("<html><body>Nie ma</body></html>", error));
    EXPECT_FALSE(error.empty());
}

TEST(RtkHttp, AddressesRequestsAndResponses) {
    auto a = ReadHttpAddress("http://lista.example.org/a/b");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->host, "lista.example.org");
    EXPECT_EQ(a->port, 80);
    EXPECT_EQ(HttpRequestText(*a), "GET /a/b HTTP/1.0\r\nHost: lista.example.org\r\nConnection: close\r\n\r\n");
    a = ReadHttpAddress("127.0.0.1:8080");
    ASSERT_TRUE(a);
    EXPECT_EQ(a->port, 8080);
    EXPECT_EQ(HttpRequestText(*a).rfind("GET / HTTP/1.0\r\nHost: 127.0.0.1:8080\r\n", 0), 0u) << "no path: the root";
    for (const char* bad : {"http://", "http://h:0/", "http://h:99999/", "http://h:x/", "http://h/a b", ""})
        EXPECT_FALSE(ReadHttpAddress(bad)) << bad;

    const std::size_t most = 1000;
    HttpResponse r = ReadHttpResponse("HTTP/1.1 200 OK\r\ncontent-LENGTH: 5\r\n\r\nabcdeXYZ", most);
    EXPECT_EQ(r.body, "abcde");
    r = ReadHttpResponse("HTTP/1.1 200 OK\r\n\r\nall to the close", most);
    EXPECT_EQ(r.body, "all to the close");
    r = ReadHttpResponse("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nabcd\r\n3;x=1\r\nefg\r\n0\r\n\r\n", most);
    EXPECT_EQ(r.body, "abcdefg") << r.error;
    struct Bad {
        const char* bytes;
        const char* error;
    } bad[] = {
        {"HTTP/1.0 404 Not Found\r\nContent-Length: 3\r\n\r\nabc", "Serwer listy katalogów odpowiedział: HTTP/1.0 404 Not Found"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nabc", "Lista katalogów nadeszła niepełna"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1000000000000000000000\r\n\r\nabc", "Lista katalogów jest za duża"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 1001\r\n\r\nabc", "Lista katalogów jest za duża"},
        {"HTTP/1.1 200 OK\r\nContent-Length: -1\r\n\r\nabc", "Zła odpowiedź serwera listy katalogów"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", "Pusta lista katalogów"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nab", "Zła odpowiedź serwera listy katalogów"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nfffff\r\n", "Lista katalogów jest za duża"},
        {"Nie HTTP\r\n\r\nabc", "Zła odpowiedź serwera listy katalogów"},
        {"HTTP/1.1 200 OK\r\nContent-Length: 3", "Zła odpowiedź serwera listy katalogów"},
    };
    for (const Bad& b : bad) EXPECT_EQ(ReadHttpResponse(b.bytes, most).error, UtfVeltwin().Convert(b.error)) << b.bytes;
}
