// velt-cli links and attachment: a record's link schema and its links, and
// the files attached to a record, over the program's own models.
//
//   links ID                    the tree: 2 x (level - 1) spaces, the shown
//                               identifier, a tab, the caption
//   links attach CHILD PARENT   CHILD linked under PARENT
//   links detach CHILD          CHILD detached from its superior
//   links sort PARENT KEY       PARENT's parts sorted by a component sort key
//   attachment list ID          the record's attachments, one a line
//   attachment get ID NAME --out FILE
//   attachment put ID NAME FILE
//
// Identifiers are typed as users see them. The changes need a login with
// the right to modify records; a refusal is the server's text on stderr
// with exit code 2.

#include "CliContext.h"

#include "browse/TBlobChange.h"
#include "catalogue/velt_files.h"
#include "editing/EditRequests.h"
#include "links/LinkEditing.h"
#include "links/LinkTree.h"
#include "net/FileRequests.h"
#include "text/CpLiteral.h"
#include "text/PipeList.h"
#include "text/Trim.h"
#include "text/utf.h"

#include <cstdio>

namespace velt::cli {

namespace {

int LinksUsage() {
    std::fputs("usage: velt-cli ... links ID | attach CHILD PARENT | detach CHILD | sort PARENT KEY\n", stderr);
    return kExitUsage;
}

int AttachmentUsage() {
    std::fputs("usage: velt-cli ... attachment list ID | get ID NAME --out FILE | put ID NAME FILE\n", stderr);
    return kExitUsage;
}

std::string Typed(const velt_files& files, const std::string& utf8) {
    return files.StoredIdentifier(UtfVeltwin().Convert(utf8));
}

// The exit code of a failure: the connection's, or the server's refusal.
int Failure(const velt_files& files, const std::string& message) {
    if (!message.empty() && !files.Broken()) PrintLine(stderr, message);
    return files.Broken() ? kExitNoConnection : kExitRefused;
}

int PrintTree(velt_files& files, const std::string& identifier) {
    const std::int32_t structure = files.FormatByType(kDefaultStructure);
    if (files.DatabaseKind != kVelt1 && structure == 0) return Failure(files, "Niedostępne dla tej wersji serwera"_cp);
    const LinkTreeBuild tree = structure != 0 ? TreeFromStructure(files, structure, identifier)
                                              : TreeByWalk(files, files.FormatByType("drzewo"), identifier);
    for (const LinkNode& node : tree.nodes)
        PrintLine(stdout, std::string(2 * static_cast<std::size_t>(node.level), ' ') +
                              std::string(TrimSpaces(files.ShownIdentifier(node.identifier))) + "\t" + node.caption);
    if (files.Broken()) return kExitNoConnection;
    if (!tree.problem.empty() || tree.nodes.empty())
        return Failure(files, tree.problem.empty() ? InconsistencyText() : tree.problem);
    return kExitOk;
}

}  // namespace

int LinksCommand(CliContext& ctx) {
    const std::vector<std::string> a = ctx.args;
    const std::string verb = a.empty() ? std::string() : a[0];
    const bool tree = a.size() == 1 && verb != "attach" && verb != "detach" && verb != "sort";
    if (!tree && !((verb == "attach" && a.size() == 3) || (verb == "detach" && a.size() == 2) ||
                   (verb == "sort" && a.size() == 3)))
        return LinksUsage();
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    if (tree) return PrintTree(*files, Typed(*files, a[0]));

    CliPrompts prompts;
    EditRequests requests(files->Connection(), prompts);
    LinkEditing links(*files, requests, prompts);
    std::string error;
    if (verb == "attach") error = links.LinkRecord(Typed(*files, a[1]), Typed(*files, a[2]));
    else if (verb == "detach") error = links.LinkRecord(Typed(*files, a[1]), {});
    else error = links.SortComponents(Typed(*files, a[1]), UtfVeltwin().Convert(a[2]));
    if (!error.empty() || files->Broken()) return Failure(*files, error);
    return kExitOk;
}

int AttachmentCommand(CliContext& ctx) {
    std::string out;
    const bool hasOut = ctx.TakeOption("--out", out);
    const std::vector<std::string> a = ctx.args;
    const std::string verb = a.empty() ? std::string() : a[0];
    if (!((verb == "list" && a.size() == 2) || (verb == "get" && a.size() == 3 && hasOut) ||
          (verb == "put" && a.size() == 4)))
        return AttachmentUsage();
    std::unique_ptr<velt_files> files;
    if (const int rc = ctx.OpenCatalogue(files); rc != kExitOk) return rc;
    TVeltClient& session = files->Connection();
    const std::string record = Typed(*files, a[1]);
    CliPrompts prompts;
    TBlobChange blobs(prompts);
    if (verb == "list") {
        const std::string names = AttachmentList(session, record);
        if (files->Broken()) return kExitNoConnection;
        for (const std::string_view name : SplitPipeList(names))
            if (!name.empty()) PrintLine(stdout, std::string(name));
        return kExitOk;
    }
    const std::string name = UtfVeltwin().Convert(a[2]);
    if (verb == "get") {
        if (blobs.FetchAttachment(session, record, out, name)) return kExitOk;
        return Failure(*files, "Brak załącznika \""_cp + name + "\" rekordu "_cp + files->ShownIdentifier(record));
    }
    const std::string answer = blobs.AddAttachmentAs(session, record, a[3], name);
    if (!answer.empty() || files->Broken()) return Failure(*files, answer);
    return kExitOk;
}

}  // namespace velt::cli
