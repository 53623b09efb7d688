#pragma once
// The files attached to a record ("Pliki multimedialne") without the menu:
// the names a file may be added under (the descriptor's for the record's
// prefix letter, else the server's own list from version 2007.10.30), the
// files the record has, and adding and deleting them.

#include "net/TVeltClient.h"

#include <string>
#include <vector>

namespace velt {

class velt_files;

struct AttachmentChoices {
    std::vector<std::string> addNames;  // "Dodaj plik" under each of these names
    bool addUnnamed = false;            // no names: one item, "załącznik do rekordu"
    std::vector<std::string> present;   // the record's files ("Usuń plik", "Pobierz plik")
};

// The first version whose server lists the names of a record's attachments.
inline constexpr const char* kAttachmentKindsVersion = "2007.10.30";

// The choices for the record shown as shownRecord (two requests at most);
// nothing without a ready catalogue or a record, or when the session broke.
AttachmentChoices ReadAttachmentChoices(velt_files& files, const std::string& shownRecord);

// Adds file as an attachment of the record, under name (empty: the server
// names it). The server's refusal, or empty when it was added or the
// connection failed (the session has said so already).
std::string AddAttachment(velt_files& files, const std::string& shownRecord, const std::string& name,
                          const std::string& file, const ProgressCallback& progress);

// Deletes the attachment name of the record; the refusal as AddAttachment.
std::string DeleteAttachment(velt_files& files, const std::string& shownRecord, const std::string& name);

}  // namespace velt
