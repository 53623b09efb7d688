// File transfers against the real server: cover pictures, attachments in
// both directions (scrambled after a login), and attachments surviving a
// restart.

#include "ServerTestSupport.h"
#include "net/IndexRequests.h"
#include "net/FileRequests.h"
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
    ASSERT_TRUE(GetFile(**c, "okladki/K3.jpg", Path("tmp.jpg"),
                              [&](std::int64_t, std::int64_t total) { totals.push_back(total); }));
    const std::string jpeg = ReadFile(Path("tmp.jpg"));
    EXPECT_EQ(jpeg, std::string(server::CoverPicture(3 % 4 + 1, true)));
    ASSERT_FALSE(totals.empty());
    for (const auto t : totals) EXPECT_EQ(t, static_cast<std::int64_t>(jpeg.size()));
    for (const std::string bad : {"okladki/K1.jpg", "okladki/K99999.jpg", "../../etc/passwd", ""}) {
        EXPECT_FALSE(GetFile(**c, bad, Path("none.jpg"), nullptr)) << bad;
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
        EXPECT_EQ(AttachmentKinds(**c, "K1"), "okładka|spis treści|recenzja"_cp);
        EXPECT_EQ(AttachmentKinds(**c, "O1"), "zdjęcie"_cp);
        EXPECT_EQ(AttachmentList(**c, "K5"), "spis treści.txt"_cp);  // seeded
        // Changing needs a login with the right.
        EXPECT_EQ(AttachmentAddAs(**c, "K1", "recenzja"_cp, Path("recenzja.pdf"), nullptr),
                  "Brak uprawnień do zmiany plików rekordu"_cp);
        EXPECT_EQ(AttachmentList(**c, "K1"), "");
        ASSERT_EQ((*c)->Login("bibliotekarz", "bibliotekarz", "modyfikowanie"_cp), "");
        std::vector<std::pair<std::int64_t, std::int64_t>> progress;
        EXPECT_EQ(AttachmentAddAs(**c, "K1", "recenzja"_cp, Path("recenzja.pdf"),
                                        [&](std::int64_t d, std::int64_t t) { progress.emplace_back(d, t); }),
                  "");
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.back(), std::make_pair(std::int64_t{25000}, std::int64_t{25000}));
        EXPECT_EQ(AttachmentAdd(**c, "K1", Path("notatka.txt"), nullptr), "");
        EXPECT_EQ(AttachmentAdd(**c, "K1", Path("notatka.txt"), nullptr), "");
        EXPECT_EQ(AttachmentList(**c, "K1"), "recenzja.pdf|załącznik 1.txt|załącznik 2.txt"_cp);
        ASSERT_TRUE(AttachmentGet(**c, "K1", "recenzja.pdf", Path("tmp.pdf"), nullptr));
        EXPECT_EQ(ReadFile(Path("tmp.pdf")), data);
        EXPECT_EQ(AttachmentDelete(**c, "K1", "załącznik 2.txt"_cp), "");
        EXPECT_EQ(AttachmentDelete(**c, "K1", "załącznik 2.txt"_cp), "Rekord nie ma pliku załącznik 2.txt"_cp);
        EXPECT_EQ(AttachmentAdd(**c, "K99999", Path("notatka.txt"), nullptr), "Nie ma rekordu K99999"_cp);
        EXPECT_EQ(AttachmentAdd(**c, "K1", Path("brak.txt"), nullptr), "Plik jest pusty albo nie dał się odczytać"_cp);
        EXPECT_FALSE(AttachmentGet(**c, "K1", "brak.pdf", Path("none"), nullptr));
        EXPECT_FALSE(FileExists(Path("none")));
        // The display of the record lists its files as links.
        const RecordPtr r = IndexFrom(**c, 21, 1, 1, "K1", "");
        ASSERT_TRUE(r);
        EXPECT_NE(r->Item(7).find("\x1BLBLOBrecenzja.pdf||recenzja.pdf\x1A"), std::string::npos);
        EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
        c.reset();
        EXPECT_EQ(mServer->Stop(), 0);
    }
    mServer = std::make_unique<ServerProcess>(mOptions);
    ASSERT_TRUE(mServer->Ready()) << mServer->Why();
    auto c = Connect(*mServer);
    EXPECT_EQ(AttachmentList(**c, "K1"), "recenzja.pdf|załącznik 1.txt"_cp);
    ASSERT_TRUE(AttachmentGet(**c, "K1", "załącznik 1.txt"_cp, Path("tmp.txt"), nullptr));
    EXPECT_EQ(ReadFile(Path("tmp.txt")), "Zażółć gęślą jaźń"_cp);
    ASSERT_TRUE(AttachmentGet(**c, "K1", "recenzja.pdf", Path("tmp2.pdf"), nullptr));
    EXPECT_EQ(ReadFile(Path("tmp2.pdf")), data);
}

}  // namespace

namespace velt::test {
namespace {

// Uploads are read chunk by chunk: refused ones are dropped as they come, an
// accepted one goes through a temporary file into the database, so the
// server's memory does not grow with their size.
TEST_F(FilesTest, UploadsNeverGrowTheServersMemory) {
    const std::string big = Path("big.bin");
    {
        std::FILE* f = std::fopen(big.c_str(), "wb");
        const std::string block = Pattern(1 << 20);
        for (int i = 0; i < 32; ++i) std::fwrite(block.data(), 1, block.size(), f);
        std::fclose(f);
    }
    const long before = mServer->PeakMemoryKb();
    ASSERT_GT(before, 0);
    auto c = Connect(*mServer);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(AttachmentAdd(**c, "K1", big, nullptr), "Brak uprawnień do zmiany plików rekordu"_cp);
    EXPECT_FALSE((*c)->Broken()) << (*c)->ErrorText();
    EXPECT_LT(mServer->PeakMemoryKb() - before, 20 * 1024) << "refused uploads were kept";

    ASSERT_EQ((*c)->Login("bibliotekarz", "bibliotekarz", ""), "");
    EXPECT_EQ(AttachmentAddAs(**c, "K1", "skan", big, nullptr), "");
    EXPECT_LT(mServer->PeakMemoryKb() - before, 20 * 1024) << "an accepted upload was held in memory";
    ASSERT_TRUE(AttachmentGet(**c, "K1", "skan.bin", Path("back.bin"), nullptr));
    EXPECT_TRUE(ReadFile(Path("back.bin")) == ReadFile(big)) << "the stored upload differs";
}

TEST_F(FilesTest, ConnectionsBeyondTheCapAreRefusedAndTheServerGoesOn) {
    mServer.reset();
    mOptions.extra = {"--max-connections", "3"};
    mServer = std::make_unique<ServerProcess>(mOptions);
    ASSERT_TRUE(mServer->Ready()) << mServer->Why();
    std::vector<std::unique_ptr<Client>> clients;
    for (int i = 0; i < 3; ++i) {
        clients.push_back(Connect(*mServer));
        EXPECT_FALSE((*clients.back())->Broken()) << i;
    }
    auto refused = Connect(*mServer);
    EXPECT_TRUE((*refused)->Broken());
    clients.erase(clients.begin());
    // The freed place is taken again once the server has seen the goodbye.
    std::unique_ptr<Client> again;
    for (int i = 0; i < 50; ++i) {
        again = Connect(*mServer);
        if (!(*again)->Broken()) break;
        ::usleep(100000);
    }
    EXPECT_FALSE((*again)->Broken());
    EXPECT_NE(mServer->Stderr().find("refused: 3 connections are served already"), std::string::npos);
}

}  // namespace
}  // namespace velt::test
