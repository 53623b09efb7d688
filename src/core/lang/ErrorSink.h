#pragma once
// The routine through which compilers, interpreters and scripts report: it
// takes one message text. An empty function means nobody listens.

#include <functional>
#include <string>

namespace velt {

using ErrorSink = std::function<void(const std::string& message)>;

// The EXTERNAL function's routine: the text it returns for an argument.
using ExternalRoutine = std::function<std::string(const std::string& argument)>;

}  // namespace velt
