#include "browse/CollectionCommands.h"
#include "net/FileRequests.h"

#include "browse/CollectionFile.h"
#include "browse/VrCollection.h"
#include "catalogue/velt_files.h"
#include "files/WorkFile.h"
#include "text/CpLiteral.h"

namespace velt {

std::string RecordListQuery(const std::vector<std::string>& shownIdentifiers) {
    std::string q = "REKORD \"";
    for (const std::string& id : shownIdentifiers) q += id + "|";
    return q + "\"";
}

std::string LocalCollectionQuery(VrCollection& collection, const velt_files& files) {
    std::vector<std::string> ids;
    for (std::int64_t n = collection.FirstNumber(); n; n = collection.NextNumber(n))
        ids.push_back(files.ShownIdentifier(files.RecordIdentifier(static_cast<std::int32_t>(n))));
    return RecordListQuery(ids);
}

std::string SaveRemoteCollection(velt_files& files, const std::string& path, bool& wrote) {
    wrote = false;
    if (files.RemoteCollection == 0) return {};
    if (!files.VersionAtLeast(kRemoteCollectionFileVersion)) return "Niedostępne dla tej wersji serwera"_cp;
    if (!CollectionReport(files.Connection(), files.RemoteCollection, 0, "", path, nullptr))
        return files.Broken() ? std::string() : "Wystąpił błąd systemowy!"_cp;
    wrote = true;
    return {};
}

std::string CopyRemoteToLocal(velt_files& files, VrCollection& local, const std::string& workingDirectory) {
    local.Clear();
    if (files.RemoteCollection == 0) return {};
    if (!files.VersionAtLeast(kRemoteCollectionFileVersion)) return "Niedostępne dla tej wersji serwera"_cp;
    // A work file of its own: two programs may share the working directory.
    const WorkFile work(workingDirectory, "WRK.");
    if (!work.Made()) return "Błąd otwarcia pliku "_cp + workingDirectory + "WRK.TMP";
    if (!CollectionReport(files.Connection(), files.RemoteCollection, 0, "", work.Path(), nullptr))
        return files.Broken() ? std::string() : "Wystąpił błąd systemowy!"_cp;
    const CollectionFileLoad load = LoadCollectionFile(work.Path(), local, files.Rules());
    if (!load.error.empty()) return "Błąd otwarcia pliku "_cp + work.Path();
    return {};
}

}  // namespace velt
