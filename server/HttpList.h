#pragma once
// The HTTP port of velt-server: whatever path is asked for, the list of
// catalogues of the file the server was given, as a web server publishes
// it, or, as the control port switches it, the answers a client must
// survive (no length, chunks, 404, a body shorter than its length, a length
// no list has).

#include <string>

namespace velt::server {

// Reads the request (its head, bounded) and answers; the connection is closed after.
void ServeHttpList(int fd, const std::string& file, const std::string& mode);

}  // namespace velt::server
