#pragma once
// velt-server run as a child process for integration tests: it seeds a
// catalogue in a temporary directory, chooses free ports (the catalogue port
// and the control port of the fault switches), and is stopped with SIGTERM.

#include <string>
#include <vector>

namespace velt::test {

class ServerProcess {
public:
    struct Options {
        int records = 300;
        std::string kind = "VELT2";
        std::string version;             // empty: the server's default
        bool scramble = true;
        std::string directory;           // where the database lives; empty: a new temporary one
        // The hierarchies after the generated books (the server's own default
        // is to have them; tests that count the generated books do without).
        bool hierarchies = false;
        std::vector<std::string> extra;  // further arguments
    };

    ServerProcess();
    explicit ServerProcess(Options options);
    // Stops the server (SIGTERM) and removes a temporary directory it made.
    ~ServerProcess();
    ServerProcess(const ServerProcess&) = delete;
    ServerProcess& operator=(const ServerProcess&) = delete;

    // False when the server did not come up; Why() says what happened.
    bool Ready() const { return mPort > 0; }
    const std::string& Why() const { return mWhy; }
    int Port() const { return mPort; }
    int ControlPort() const { return mControlPort; }
    // The port of the catalogue list over HTTP (with --http-port 0 --http-file F in extra).
    int HttpPort() const { return mHttpPort; }
    const std::string& Directory() const { return mDirectory; }
    std::string DbPath() const { return mDirectory + "/catalogue.db"; }

    // Sends one command to the control port; the reply line ("ok ...").
    std::string Control(const std::string& command) const;
    // The number of requests of a code served so far.
    long Count(const std::string& code) const;
    // SIGTERM and wait: the exit status (-1 when it had to be killed).
    int Stop();
    // The server's peak resident memory in kB (VmHWM), -1 when unknown.
    long PeakMemoryKb() const;
    // What the server wrote on stderr so far.
    std::string Stderr() const;

    // Where the server and velt-cli programs are.
    static std::string ServerPath();
    static std::string CliPath();

private:
    void Start(const Options& options);

    Options mOptions;
    std::string mDirectory;
    bool mOwnDirectory = false;
    int mPid = -1;
    int mPort = 0;
    int mControlPort = 0;
    int mHttpPort = 0;
    std::string mWhy;
};

}  // namespace velt::test
