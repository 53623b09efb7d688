#pragma once
// The listening side: one thread per client connection and per control
// connection, until the stop descriptor becomes readable (a signal arrived);
// then every connection is shut down and its thread joined.

#include "Session.h"

#include <atomic>
#include <list>
#include <mutex>
#include <string>
#include <thread>

namespace velt::server {

class TestControl;

class Server {
public:
    Server(const ServerConfig& config, TestControl& control) : mConfig(config), mControl(control) {}
    ~Server();
    Server(const Server&) = delete;
    Server& operator=(const Server&) = delete;

    // Binds and listens on address:port (port 0: a free one); the port, or -1
    // with why set.
    int Listen(const std::string& address, int port, std::string& why);
    // The same for the control port of the tests.
    int ListenControl(const std::string& address, int port, std::string& why);
    // The same for the HTTP port that serves the list of catalogues (file).
    int ListenHttp(const std::string& address, int port, const std::string& file, std::string& why);
    // Accepts and serves until stopFd is readable.
    void Run(int stopFd);

private:
    struct Worker {
        std::thread thread;
        int fd = -1;
        bool control = false;  // the control or the HTTP port: never counted as a client
        std::atomic<bool> done{false};
    };
    enum class Port { Client, Control, Http };
    void Start(int fd, Port port, const std::string& peer);
    // Client connections whose thread still runs.
    int ActiveClients();
    void Reap(bool all);

    const ServerConfig& mConfig;
    TestControl& mControl;
    int mListenFd = -1;
    int mControlFd = -1;
    int mHttpFd = -1;
    std::string mHttpFile;
    std::mutex mLock;
    std::list<Worker> mWorkers;
};

}  // namespace velt::server
