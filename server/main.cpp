// velt-server: the reference catalogue server. Serves a catalogue kept in an
// SQLite file, seeding it with a generated catalogue on first start.
//
//   velt-server --port P --db FILE [--kind VELT2|VELT3] [--records N]
//               [--version YYYY.MM.DD] [--listen ADDR] [--no-scramble]
//               [--control-port P] [--max-connections N] [--no-hierarchies]
//
// (velt-server.help says it all; --help prints it.)
// A new catalogue gets the hierarchies of Seeder.h after its generated books
// unless --no-hierarchies says otherwise (the tests that count the generated
// books use that).
//
// Prints "listening on ADDR:PORT" when ready (after "control on ADDR:PORT"
// when a control port was asked for); stops cleanly on SIGINT or SIGTERM.

#include "HelpText.h"
#include "RecordStore.h"
#include "Seeder.h"
#include "Server.h"
#include "Sqlite.h"
#include "TestControl.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/signalfd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The help text of velt-server.help, also its manual page.
void Usage(std::FILE* to) { std::fputs(kHelpText, to); }

bool ValidVersion(const std::string& v) {
    if (v.size() != 10 || v[4] != '.' || v[7] != '.') return false;
    for (std::size_t i = 0; i < v.size(); ++i)
        if (i != 4 && i != 7 && (v[i] < '0' || v[i] > '9')) return false;
    return true;
}

bool ReadPort(const char* text, int& port) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (!end || *end || v < 0 || v > 65535) return false;
    port = static_cast<int>(v);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace velt::server;
    ServerConfig config;
    std::string listen = "127.0.0.1";
    int port = -1;
    bool hierarchies = true;
    int controlPort = -1;
    int httpPort = -1;
    std::string httpFile;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "--port" && hasValue && ReadPort(argv[i + 1], port)) {
            ++i;
        } else if (a == "--control-port" && hasValue && ReadPort(argv[i + 1], controlPort)) {
            ++i;
        } else if (a == "--http-port" && hasValue && ReadPort(argv[i + 1], httpPort)) {
            ++i;
        } else if (a == "--http-file" && hasValue) {
            httpFile = argv[++i];
        } else if (a == "--db" && hasValue) {
            config.dbPath = argv[++i];
        } else if (a == "--kind" && hasValue && (std::string(argv[i + 1]) == "VELT2" || std::string(argv[i + 1]) == "VELT3")) {
            config.kind = std::string(argv[++i]) == "VELT2" ? DbKind::Velt2 : DbKind::Velt3;
        } else if (a == "--records" && hasValue) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 1 || n > 5000000) {
                std::cerr << "velt-server: --records must be 1 to 5000000\n";
                return 1;
            }
            config.records = static_cast<std::uint32_t>(n);
        } else if (a == "--version" && hasValue && ValidVersion(argv[i + 1])) {
            config.version = argv[++i];
        } else if (a == "--version" && (!hasValue || argv[i + 1][0] == '-')) {
            // Without a date: the program's own version.
            std::printf("velt-server %s\n", kProgramVersion);
            return 0;
        } else if (a == "--help" || a == "-h") {
            Usage(stdout);
            return 0;
        } else if (a == "--listen" && hasValue) {
            listen = argv[++i];
        } else if (a == "--max-connections" && hasValue) {
            char* end = nullptr;
            const long n = std::strtol(argv[++i], &end, 10);
            if (!end || *end || n < 1 || n > 4096) {
                std::cerr << "velt-server: --max-connections must be 1 to 4096\n";
                return 1;
            }
            config.maxConnections = static_cast<int>(n);
        } else if (a == "--no-scramble") {
            config.scramble = false;
        } else if (a == "--form-criterion-first") {
            config.formCriterionFirst = true;
        } else if (a == "--no-hierarchies") {
            hierarchies = false;
        } else {
            Usage(stderr);
            return 1;
        }
    }
    if (port < 0 || config.dbPath.empty()) {
        Usage(stderr);
        return 1;
    }

    // The signals are taken through a descriptor, by the accepting thread;
    // every thread started from here on inherits the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    const int stopFd = signalfd(-1, &stopSignals, SFD_CLOEXEC);

    struct stat st {};
    if (::stat(config.dbPath.c_str(), &st) != 0) {
        std::cerr << "velt-server: seeding " << config.records << " records into " << config.dbPath << std::endl;
        const auto start = std::chrono::steady_clock::now();
        try {
            SeedDatabase(config.dbPath, config.records, hierarchies);
        } catch (const std::exception& e) {
            std::cerr << "velt-server: " << e.what() << std::endl;
            return 1;
        }
        const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
        std::cerr << "velt-server: seeded in " << ms.count() << " ms" << std::endl;
    }
    try {
        UpgradeDatabase(config.dbPath);
        // An index that came with this server is filled for what is already there.
        if (const std::size_t n = FillEmptyIndexes(config.dbPath, Identifiers(DbKind::Velt3, kRecordLetters)))
            std::cerr << "velt-server: " << n << " index entries added" << std::endl;
        Catalogue check(config.dbPath);  // fails early on a file that is not a catalogue
        (void)check.Exists(1);
    } catch (const std::exception& e) {
        std::cerr << "velt-server: " << config.dbPath << ": " << e.what() << std::endl;
        return 1;
    }

    TestControl control;
    Server server(config, control);
    std::string why;
    if (controlPort >= 0) {
        const int bound = server.ListenControl("127.0.0.1", controlPort, why);
        if (bound < 0) {
            std::cerr << "velt-server: control port: " << why << std::endl;
            return 1;
        }
        std::cout << "control on 127.0.0.1:" << bound << std::endl;
    }
    if (httpPort >= 0) {
        if (httpFile.empty()) {
            Usage(stderr);
            return 1;
        }
        const int bound = server.ListenHttp("127.0.0.1", httpPort, httpFile, why);
        if (bound < 0) {
            std::cerr << "velt-server: HTTP port: " << why << std::endl;
            return 1;
        }
        std::cout << "http on 127.0.0.1:" << bound << std::endl;
    }
    const int bound = server.Listen(listen, port, why);
    if (bound < 0) {
        std::cerr << "velt-server: " << listen << ":" << port << ": " << why << std::endl;
        return 1;
    }
    std::cout << "listening on " << listen << ":" << bound << std::endl;
    server.Run(stopFd);
    std::cerr << "velt-server: stopped" << std::endl;
    return 0;
}
