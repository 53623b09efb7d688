#pragma once
// The request loop of one client connection: read a request's code (and its
// letter), find its handler in the dispatch table, let it read the rest and
// write the reply, send the reply; until the client says goodbye, goes away,
// or sends something malformed, which ends this connection only, with one
// line on stderr.

#include "Session.h"

#include <string>

namespace velt::server {

class TestControl;

// Fills the dispatch table (once; safe to call from any thread).
void RegisterAllRequests();

// Serves one connection to its end. Never raises. Returns the complaint that
// closed it (empty for a normal end).
std::string ServeConnection(const ServerConfig& config, TestControl& control, ByteSource& source, ByteSink& sink);

// The same over a catalogue opened elsewhere (the fuzz target reuses one).
std::string ServeConnection(const ServerConfig& config, TestControl& control, Catalogue& db, ByteSource& source,
                            ByteSink& sink);

}  // namespace velt::server
