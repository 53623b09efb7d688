#pragma once
// What the collection commands of the main window do, without their
// dialogs: copying the remote collection into the local one, saving the
// remote collection's list to a file, and the "REKORD" queries that make a
// remote collection of the local one or of a file's records.

#include <cstdint>
#include <string>
#include <vector>

namespace velt {

class VrCollection;
class velt_files;

// The first version whose server sends a collection's list of records.
inline constexpr const char* kRemoteCollectionFileVersion = "2003.03.21";

// The query of a list of shown identifiers: "REKORD ", a double quote, each
// identifier followed by "|", and a double quote.
std::string RecordListQuery(const std::vector<std::string>& shownIdentifiers);
// The query of the local collection's records in ascending order.
std::string LocalCollectionQuery(VrCollection& collection, const velt_files& files);

// Writes the remote collection's list of records into path (the collection
// report, number 0). Empty on success, else the text for the user:
// "Niedostępne dla tej wersji serwera" before 2003.03.21, "Wystąpił błąd
// systemowy!" when the transfer fails. Nothing happens without a remote
// collection (empty result, wrote set false).
std::string SaveRemoteCollection(velt_files& files, const std::string& path, bool& wrote);

// Empties the local collection and fills it with the remote collection's
// records, through a work file of a unique name in workingDirectory that is
// removed afterwards. Empty on success (or with no remote collection), else
// the text for the user.
std::string CopyRemoteToLocal(velt_files& files, VrCollection& local, const std::string& workingDirectory);

}  // namespace velt
