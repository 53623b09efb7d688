#pragma once
// The configuration of a program that knows one catalogue, velt-server on
// port of this machine, and starts on it.

#include <string>

namespace velt::test {

inline std::string DemoCatalogueIni(int port) {
    return "[HISTORIA]\r\nid=KATALOG_DEMO\r\n[KATALOG_DEMO]\r\nnazwa=Katalog demonstracyjny\r\nip=127.0.0.1\r\nport=" +
           std::to_string(port) + "\r\n";
}

}  // namespace velt::test
