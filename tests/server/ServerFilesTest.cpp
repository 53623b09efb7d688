// File transfers against the real server: cover pictures, attachments in
// both directions (scrambled after a login), and attachments surviving a
// restart.

#include "ServerTestSupport.h"
#include "CoverImages.h"
#include "text/CpLiteral.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace velt;
using namespace velt::test;

namespace {

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override {
        char dir[] = "/tmp/velt-files-XXXXXX";
        ASSERT_TRUE(::mkdtemp(dir));
        mDir = dir;
        ServerProcess::Options o;
        o.directory = mDir + "/db";
        ::mkdir(o.directory.c_str(), 0755);
        o.records = 100;
        mOptions = o;
        mServer = std::make_unique<ServerProcess>(o);
        ASSERT_TRUE(mServer->Ready()) << mServer->Why();
    }
    void TearDown() override {
        mServer.reset();
        std::system(("rm -rf " + mDir).c_str());
    }
    std::string Path(const std::string& name) const { return mDir + "/" + name; }

    std::string mDir;
    ServerProcess::Options mOptions;
    std::unique_ptr<ServerProcess> mServer;
};

std::string Pattern(std::size_t n) {
    std::string data(n, '\0');
    for (std::size_t i = 0; i < n; ++i) data[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return data;
}

TEST_F(FilesTest, CoverPicturesByDesignation) {
    auto c = Connect(*mServer);
    std::vector<std::int64_t> totals;
    ASSERT_TRUE((*c)->GetFile("okladki/K3.jpg", Path("tmp.jpg"),
                              [&](std::int64_t, std::int64_t total) { totals.push_back(total); }));
    const std::string jpeg = ReadFile(Path("tmp.jpg"));
    EXPECT_EQ(jpeg, std::string(server::CoverPicture(3 % 4 + 1, true)));
    ASSERT_FALSE(totals.empty());
    for (const auto t : totals) EXPECT_EQ(t, static_cast<std::int64_t>(jpeg.size()));
    for (const std::string bad : {"okladki/K1.jpg", "okladki/K99999.jpg", "../../etc/passwd", ""}) {
        EXPECT_FALSE((*c)->GetFile(bad, Path("none.jpg"), nullptr)) << bad;
        EXPECT_FALSE(FileExists(Path("none.jpg")));
    }
    EXPECT_FALSE((*c)->Broken());
}

TEST_F(FilesTest, AttachmentsTravelBothWaysAndSurviveARestart) {
    const std::string data = Pattern(25000);
    WriteFile(Path("recenzja.pdf"), data);
    WriteFile(Path("notatka.txt"), "Zażółć gęślą jaźń"_cp);
    {
        auto c = Connect(*mServer);
        EXPECT_EQ((*c)->AttachmentKinds("K1"), "okładka|spis treści|recenzja"_cp);
        EXPECT_EQ((*c)->AttachmentKinds("O1"), "zdjęcie"_cp);
        EXPECT_EQ((*c)->AttachmentList("K5"), "spis treści.txt"_cp);  // seeded
        // Changing needs a login with the right.
        EXPECT_EQ((*c)->AttachmentAddAs("K1", "recenzja"_cp, Path("recenzja.pdf"), nullptr),
                  "Brak uprawnień do zmiany plików rekordu"_cp);
        EXPECT_EQ((*c)->AttachmentList("K1"), "");
        ASSERT_EQ((*c)->Login("bibliotekarz", "bibliotekarz", "modyfikowanie"_cp), "");
        std::vector<std::pair<std::int64_t, std::int64_t>> progress;
        EXPECT_EQ((*c)->AttachmentAddAs("K1", "recenzja"_cp, Path("recenzja.pdf"),
                                        [&](std::int64_t d, std::int64_t t) { progress.emplace_back(d, t); }),
                  "");
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), std::make_pair(std::int64_t{25000}, std::int64_t{25000}));
        EXPECT_EQ((*c)->AttachmentAdd("K1", Path("notatka.txt"), nullptr), "");
        EXPECT_EQ((*c)->AttachmentAdd("K1", Path("notatka.txt"), nullptr), "");
        EXPECT_EQ((*c)->AttachmentList("K1"), "recenzja.pdf|załącznik 1.txt|załącznik 2.txt"_cp);
        ASSERT_TRUE((*c)->AttachmentGet("K1", "recenzja.pdf", Path("tmp.pdf"), nullptr));
        EXPECT_EQ(ReadFile(Path("tmp.pdf")), data);
        EXPECT_EQ((*c)->AttachmentDelete("K1", "załącznik 2.txt"_cp), "");
        EXPECT_EQ((*c)->AttachmentDelete("K1", "załącznik 2.txt"_cp), "Rekord nie ma pliku załącznik 2.txt"_cp);
        EXPECT_EQ((*c)->AttachmentAdd("K99999", Path("notatka.txt"), nullptr), "Nie ma rekordu K99999"_cp);
        EXPECT_EQ((*c)->AttachmentAdd("K1", Path("brak.txt"), nullptr), "Plik jest pusty albo nie dał się odczytać"_cp);
        EXPECT_FALSE((*c)->AttachmentGet("K1", "brak.pdf", Path("none"), nullptr));
        EXPECT_FALSE(FileExists(Path("none")));
        // The display of the record lists its files as links.
        const RecordPtr r = (*c)->IndexFromRequest(21, 1, 1, "K1", "");
        ASSERT_TRUE(r);
        EXPECT_NE(r->Item(7).find("\x1BLBLOBrecenzja.pdf||recenzja.pdf\x1A"), std::string::npos);
        EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
        c.reset();
        EXPECT_EQ(mServer->Stop(), 0);
    }
    mServer = std::make_unique<ServerProcess>(mOptions);
    ASSERT_TRUE(mServer->Ready()) << mServer->Why();
    auto c = Connect(*mServer);
    EXPECT_EQ((*c)->AttachmentList("K1"), "recenzja.pdf|załącznik 1.txt"_cp);
    ASSERT_TRUE((*c)->AttachmentGet("K1", "załącznik 1.txt"_cp, Path("tmp.txt"), nullptr));
    EXPECT_EQ(ReadFile(Path("tmp.txt")), "Zażółć gęślą jaźń"_cp);
    ASSERT_TRUE((*c)->AttachmentGet("K1", "recenzja.pdf", Path("tmp2.pdf"), nullptr));
    EXPECT_EQ(ReadFile(Path("tmp2.pdf")), data);
}

}  // namespace
