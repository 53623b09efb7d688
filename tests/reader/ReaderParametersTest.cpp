#include "reader/ReaderParameters.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

using namespace velt;

// "%" is written first, so the "%" of "%26" is never written again.
TEST(ReaderParameters, ValuesAreWrittenWithPercentAndAmpersandEscaped) {
    EXPECT_EQ(ReaderEscape("Kot & Pies 50%"), "Kot %26 Pies 50%25");
    EXPECT_EQ(ReaderEscape("%26"), "%2526") << "a text that looks escaped stays itself";
    EXPECT_EQ(ReaderEscape("a=b"), "a=b");
    EXPECT_EQ(ReaderParameter("nazwisko", "Kot & Pies"), "&nazwisko=Kot %26 Pies");
    // Whatever is written reads back as itself.
    for (const std::string& v : std::vector<std::string>{"Kot & Pies 50%", "%%&&", "100%", "&op=H", "Żółw"_cp})
        EXPECT_EQ(ReaderValue(ReaderParameter("x", v) + "&y=1", "x"), v);
}

TEST(ReaderParameters, ValuesAreReadAsTheServerWritesThem) {
    const struct {
        const char* answer;
        const char* name;
        const char* value;
    } cases[] = {
        {"&wynik=Z&karta=12%2F3", "karta", "12/3"},
        {"&wynik=Z&karta=12%2f3", "karta", "12/3"},
        {"&wynik=Z&karta=000123&nazwisko=Kowalska Anna", "nazwisko", "Kowalska Anna"},
        {"&err=Koniec %4", "err", "Koniec @"},
        {"&err=a%", "err", "a@"},
        {"&err=a%G1b", "err", "a@b"},
        {"&err=a%4G", "err", "a@"},
        {"&kartax=1&karta=2", "karta", "2"},
        {"karta=1&karta=2", "karta", "2"},
        {"&karta=1&karta=2", "karta", "1"},
        {"&wynik=Z", "err", ""},
        {"&wynik=", "wynik", ""},
        {"&sn=%30%31", "sn", "01"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.answer);
        EXPECT_EQ(ReaderValue(c.answer, c.name), c.value);
    }
    const std::string withZero("&sn=12\0&x=3", 11);
    EXPECT_EQ(ReaderValue(withZero, "sn"), "12") << "a zero byte ends the value";
}

TEST(ReaderParameters, OperationCodesGiveTheirCaptions) {
    EXPECT_EQ(OperationCode("&op=R&sn=012345"), 'R');
    EXPECT_EQ(OperationCode("&sn=1&op=w"), 'w');
    EXPECT_EQ(OperationCode("&op=RR"), ' ') << "a value of two characters is no code";
    EXPECT_EQ(OperationCode("&op="), ' ');
    EXPECT_EQ(OperationCode("prolongata&op=T"), 'T');
    EXPECT_EQ(OperationCaption('A'), "Przeglądanie kont"_cp);
    EXPECT_EQ(OperationCaption('H'), "Zmień hasło"_cp);
    EXPECT_EQ(OperationCaption('r'), "Zarezerwuj egzemplarz");
    EXPECT_EQ(OperationCaption('S'), "Usuń zamówienie wydania"_cp);
    EXPECT_EQ(OperationCaption('U'), "Usuń rezerwację"_cp);
    EXPECT_EQ(OperationCaption('W'), "Zamów lub zarezerwuj"_cp);
    EXPECT_EQ(OperationCaption('T'), "") << "a renewal is no command of a record link";
    EXPECT_EQ(OperationCaption(' '), "");
}
