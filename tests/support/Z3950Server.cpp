#include "support/Z3950Server.h"

#include <arpa/inet.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <netinet/in.h>
#include <sstream>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace velt::test {

namespace {

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

int FreePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
        port = ntohs(a.sin_port);
    ::close(fd);
    return port;
}

bool Accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(static_cast<std::uint16_t>(port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
}

std::string ReadFile(const std::string& file) {
    std::ifstream in(file);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

}  // namespace

std::string Z3950Server::MarcSamplePath() { return "/usr/share/doc/idzebra-2.0/examples/marc21/sample-marc.gz"; }

bool Z3950Server::WriteMarcSample(const std::string& file) {
    if (::access(MarcSamplePath().c_str(), R_OK) != 0) return false;
    return std::system(("gzip -dc '" + MarcSamplePath() + "' > '" + file + "'").c_str()) == 0;
}

Z3950Server::Z3950Server(Kind kind) {
    char dir[] = "/tmp/velt-z3950-XXXXXX";
    if (!::mkdtemp(dir)) {
        mWhy = "mkdtemp failed";
        return;
    }
    mDirectory = dir;
    if (!Prepare(kind)) return;
    const std::string program = kind == Kind::YazZtest ? "yaz-ztest" : "zebrasrv";
    const std::string args = kind == Kind::YazZtest ? "-l ztest.log" : "-c zebra.cfg -l zebrasrv.log";
    for (int attempt = 0; attempt < 3 && mPort == 0; ++attempt) Start(program, args);
}

bool Z3950Server::Prepare(Kind kind) {
    const std::string data = VELT_Z3950_DATA;
    if (kind == Kind::YazZtest) {
        mInstalled = OnPath("yaz-ztest");
        if (!mInstalled) {
            mWhy = "yaz-ztest is not installed (package yaz)";
            return false;
        }
        // Scan reads its terms from this file in the working directory.
        return std::system(("cp '" + data + "/dummy-words' '" + mDirectory + "/'").c_str()) == 0 ||
               (mWhy = "dummy-words could not be copied", false);
    }
    mInstalled = OnPath("zebrasrv") && OnPath("zebraidx") && ::access(MarcSamplePath().c_str(), R_OK) == 0;
    if (!mInstalled) {
        mWhy = "zebrasrv, zebraidx or the MARC 21 sample is missing (packages idzebra-2.0, idzebra-2.0-examples)";
        return false;
    }
    if (std::system(("cp '" + data + "/zebra.cfg' '" + data + "/marc21.abs' '" + mDirectory + "/'").c_str()) != 0 ||
        !WriteMarcSample(mDirectory + "/sample.mrc")) {
        mWhy = "the Zebra configuration could not be laid out";
        return false;
    }
    ::mkdir((mDirectory + "/register").c_str(), 0755);
    ::mkdir((mDirectory + "/lock").c_str(), 0755);
    ::mkdir((mDirectory + "/tmp").c_str(), 0755);
    const std::string index = "cd '" + mDirectory +
                              "' && zebraidx -c zebra.cfg -l zebraidx.log -d Default update sample.mrc "
                             ;
    if (std::system(index.c_str()) != 0) {
        mWhy = "zebraidx failed: " + ReadFile(mDirectory + "/zebraidx.log");
        return false;
    }
    return true;
}

void Z3950Server::Start(const std::string& program, const std::string& args) {
    const int port = FreePort();
    if (port == 0) {
        mWhy = "no free port";
        return;
    }
    const std::string line = "exec " + program + " " + args + " tcp:127.0.0.1:" + std::to_string(port);
    mPid = ::fork();
    if (mPid == 0) {
        ::setpgid(0, 0);
        if (::chdir(mDirectory.c_str()) != 0) ::_exit(126);
        std::freopen("/dev/null", "w", stdout);
        std::freopen((mDirectory + "/stderr.txt").c_str(), "a", stderr);
        ::execl("/bin/sh", "sh", "-c", line.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::setpgid(mPid, mPid);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (std::chrono::steady_clock::now() < deadline) {
        int status;
        if (::waitpid(mPid, &status, WNOHANG) == mPid) {
            mPid = -1;
            mWhy = program + " ended at start: " + ReadFile(mDirectory + "/stderr.txt");
            return;
        }
        if (Accepts(port)) {
            mPort = port;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    mWhy = program + " did not accept connections";
}

Z3950Server::~Z3950Server() {
    if (mPid > 0) {
        ::kill(-mPid, SIGTERM);
        int status;
        bool ended = false;
        for (int i = 0; i < 100 && !ended; ++i) {
            ended = ::waitpid(mPid, &status, WNOHANG) == mPid;
            if (!ended) std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        if (!ended) {
            ::kill(-mPid, SIGKILL);
            ::waitpid(mPid, &status, 0);
        }
        ::kill(-mPid, SIGKILL);  // children serving connections
    }
    if (!mDirectory.empty()) std::system(("rm -rf '" + mDirectory + "'").c_str());
}

std::string Z3950Server::Target(const std::string& database) const {
    return "127.0.0.1:" + std::to_string(mPort) + "/" + database;
}

}  // namespace velt::test
