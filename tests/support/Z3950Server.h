#pragma once
// Real Z39.50 servers for the integration tests, each started in a
// directory of its own on a loopback port it chooses: yaz-ztest (the YAZ
// test server: databases "Default", "Slow…", "db…", scan over the
// dummy-words file) and zebrasrv over the MARC 21 sample indexed by
// zebraidx with the configuration in tests/z3950.

#include <string>

namespace velt::test {

class Z3950Server {
public:
    enum class Kind { YazZtest, Zebra };

    explicit Z3950Server(Kind kind);
    // Stops the server (its whole process group) and removes its directory.
    ~Z3950Server();
    Z3950Server(const Z3950Server&) = delete;
    Z3950Server& operator=(const Z3950Server&) = delete;

    // False when the program is not installed (the tests skip then).
    bool Installed() const { return mInstalled; }
    // False when it did not come up; Why() says what happened.
    bool Ready() const { return mPort > 0; }
    const std::string& Why() const { return mWhy; }
    int Port() const { return mPort; }
    const std::string& Directory() const { return mDirectory; }
    // "127.0.0.1:PORT/DB" for velt-cli.
    std::string Target(const std::string& database) const;

    // The MARC 21 sample of the Zebra examples, uncompressed into file; false
    // when the examples are not installed.
    static bool WriteMarcSample(const std::string& file);
    // Where the MARC 21 sample is installed.
    static std::string MarcSamplePath();

private:
    bool Prepare(Kind kind);
    void Start(const std::string& program, const std::string& args);

    bool mInstalled = false;
    std::string mDirectory;
    int mPid = -1;
    int mPort = 0;
    std::string mWhy;
};

}  // namespace velt::test
