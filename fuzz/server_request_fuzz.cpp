// The server's request reader and every request handler over arbitrary
// client bytes: whatever a client sends, the connection ends in order (a
// clean end or a complaint), never outside its buffers, and the server goes
// on. One small catalogue is seeded once and shared by all inputs.

#include "Catalogue.h"
#include "Connection.h"
#include "Seeder.h"
#include "TestControl.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace velt::server;

class Input : public ByteSource {
public:
    Input(const std::uint8_t* data, std::size_t size) : mData(data), mSize(size) {}
    std::size_t Read(unsigned char* p, std::size_t n, bool) override {
        // Small pieces, so that texts and integers straddle reads.
        const std::size_t take = std::min({n, mSize - mAt, std::size_t{7}});
        std::copy_n(mData + mAt, take, p);
        mAt += take;
        return take;
    }

private:
    const std::uint8_t* mData;
    std::size_t mSize;
    std::size_t mAt = 0;
};

class Discard : public ByteSink {
public:
    bool Write(const unsigned char*, std::size_t) override { return true; }
};

struct Fixture {
    Fixture() {
        char dir[] = "/tmp/velt-fuzz-XXXXXX";
        directory = ::mkdtemp(dir);
        config.dbPath = directory + "/catalogue.db";
        config.records = 40;
        SeedDatabase(config.dbPath, config.records);
        db = std::make_unique<Catalogue>(config.dbPath);
        db->Db().Exec("PRAGMA synchronous=OFF");
    }
    ~Fixture() {
        db.reset();
        std::system(("rm -rf " + directory).c_str());
    }
    std::string directory;
    ServerConfig config;
    TestControl control;
    std::unique_ptr<Catalogue> db;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Fixture fixture;
    Input input(data, size);
    Discard output;
    (void)ServeConnection(fixture.config, fixture.control, *fixture.db, input, output);
    return 0;
}
