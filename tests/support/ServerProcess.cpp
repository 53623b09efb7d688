#include "support/ServerProcess.h"

#include <cstdio>

#include <arpa/inet.h>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <netinet/in.h>
#include <poll.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velt::test {

std::string ServerProcess::ServerPath() { return VELT_SERVER_PATH; }
std::string ServerProcess::CliPath() { return VELT_CLI_PATH; }

ServerProcess::ServerProcess() : ServerProcess(Options{}) {}

ServerProcess::ServerProcess(Options options) : mOptions(std::move(options)) {
    if (mOptions.directory.empty()) {
        char dir[] = "/tmp/velt-server-test-XXXXXX";
        if (!::mkdtemp(dir)) {
            mWhy = "mkdtemp failed";
            return;
        }
        mDirectory = dir;
        mOwnDirectory = true;
    } else {
        mDirectory = mOptions.directory;
    }
    Start(mOptions);
}

ServerProcess::~ServerProcess() {
    Stop();
    if (mOwnDirectory) std::system(("rm -rf '" + mDirectory + "'").c_str());
}

void ServerProcess::Start(const Options& o) {
    std::vector<std::string> args = {ServerPath(), "--port", "0", "--control-port", "0", "--db", DbPath(),
                                     "--records", std::to_string(o.records), "--kind", o.kind};
    if (!o.version.empty()) args.insert(args.end(), {"--version", o.version});
    if (!o.scramble) args.push_back("--no-scramble");
    if (!o.hierarchies) args.push_back("--no-hierarchies");
    args.insert(args.end(), o.extra.begin(), o.extra.end());
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0) {
        mWhy = "pipe failed";
        return;
    }
    const std::string errFile = mDirectory + "/stderr.txt";
    mPid = ::fork();
    if (mPid == 0) {
        ::dup2(out[1], 1);
        const int err = ::open(errFile.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (err >= 0) ::dup2(err, 2);
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out[1]);
    // Read "control on ..." and "listening on ..." (seeding comes first).
    std::string text;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (mPort == 0 && std::chrono::steady_clock::now() < deadline) {
        pollfd p{out[0], POLLIN, 0};
        if (::poll(&p, 1, 200) <= 0) continue;
        char buffer[256];
        const ssize_t got = ::read(out[0], buffer, sizeof buffer);
        if (got <= 0) break;
        text.append(buffer, static_cast<std::size_t>(got));
        std::istringstream lines(text);
        for (std::string line; std::getline(lines, line);) {
            const auto colon = line.rfind(':');
            if (line.rfind("control on ", 0) == 0) mControlPort = std::atoi(line.c_str() + colon + 1);
            if (line.rfind("http on ", 0) == 0) mHttpPort = std::atoi(line.c_str() + colon + 1);
            if (line.rfind("listening on ", 0) == 0) mPort = std::atoi(line.c_str() + colon + 1);
        }
    }
    ::close(out[0]);
    if (mPort == 0) mWhy = "the server did not start: " + text + Stderr();
}

std::string ServerProcess::Control(const std::string& command) const {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(mControlPort));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
        const std::string line = command + "\n";
        ::send(fd, line.data(), line.size(), MSG_NOSIGNAL);
        char c;
        while (::recv(fd, &c, 1, 0) == 1 && c != '\n') reply.push_back(c);
    }
    ::close(fd);
    return reply;
}

long ServerProcess::Count(const std::string& code) const {
    const std::string reply = Control("count " + code);
    return reply.rfind("ok ", 0) == 0 ? std::atol(reply.c_str() + 3) : -1;
}

int ServerProcess::Stop() {
    if (mPid <= 0) return -1;
    ::kill(mPid, SIGTERM);
    int status = 0;
    for (int i = 0; i < 200; ++i) {
        if (::waitpid(mPid, &status, WNOHANG) == mPid) {
            mPid = -1;
            return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::kill(mPid, SIGKILL);
    ::waitpid(mPid, &status, 0);
    mPid = -1;
    return -1;
}

std::string ServerProcess::Stderr() const {
    std::ifstream in(mDirectory + "/stderr.txt");
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

long ServerProcess::PeakMemoryKb() const {
    if (mPid <= 0) return -1;
    std::FILE* f = std::fopen(("/proc/" + std::to_string(mPid) + "/status").c_str(), "r");
    if (!f) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    std::fclose(f);
    return kb;
}

}  // namespace velt::test
