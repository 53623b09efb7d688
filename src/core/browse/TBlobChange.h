#pragma once
// Moving one attachment of a record between the server and a local file,
// each transfer behind the progress window's gauge, which the transfer
// moves: fetching an attachment into a file, adding a file (the server names
// it) and adding it under a name. The record displays of the links windows
// and velt-cli's "attachment" use it.

#include "common/Prompts.h"
#include "net/TVeltClient.h"

#include <string>
#include <string_view>

namespace velt {

// The extension of a local copy of an attachment: the letters and digits of
// the name's last three characters (a name from the server decides nothing
// else of the path), "dat" when none is left.
std::string AttachmentFileExtension(std::string_view name);

class TBlobChange {
public:
    explicit TBlobChange(LongOperations& longOps) : mLongOps(longOps) {}

    // The record's attachment name into file (written whole or not at all);
    // true when it arrived.
    bool FetchAttachment(TVeltClient& session, const std::string& record, const std::string& file,
                         const std::string& name);
    // The file added to the record; the server's answer (empty: added).
    std::string AddAttachment(TVeltClient& session, const std::string& record, const std::string& file);
    // The same under name.
    std::string AddAttachmentAs(TVeltClient& session, const std::string& record, const std::string& file,
                                const std::string& name);

    // The attachment fetched into a new work file of directory, "tmp-",
    // six characters of its own and the extension above: two programs
    // sharing the directory never meet. Its path (the caller owns the file),
    // or empty: nothing arrived (no file is left) or no file could be made
    // (then problem says so).
    std::string FetchToWorkFile(TVeltClient& session, const std::string& directory, const std::string& record,
                                const std::string& name, std::string& problem);

private:
    LongOperations& mLongOps;
};

}  // namespace velt
