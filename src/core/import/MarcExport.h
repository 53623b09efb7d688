#pragma once
// Records of the catalogue leaving it as MARC 21: the one mapping from the
// catalogue's fields (the export format's key=value lines) to a MARC record
// by parts, the file formats it is written in (ISO 2709 in UTF-8 with
// leader/09 "a", ISO 2709 in MARC-8, MARCXML), and the export of a list of
// records fetched from the catalogue one by one in the export format.
//
// The mapping: a key TAG + part + ".1.1." + n + ".1" is occurrence n of the
// field TAG; part "A" and "B" are the indicators, "Z" the data (subfields
// marked "^" and their code; data without a mark is subfield "a", or a
// control field's data for tags 00X), "R" of a 1XX field the tag it really
// has, any other letter a subfield of that letter in lower case after the
// data's (the copies' "876I", "876S"). "L.1" is the leader; a record without
// one gets a leader of its kind. Keys of no field (working fields, the
// catalogue's own keys) stay out. Fields come in the order of their tags,
// occurrences in their order; the record's identifier becomes field 001
// when it has none.

#include "import/MarcData.h"
#include "text/my_record.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace velt {

class velt_files;

enum class MarcFileFormat { Marc21, Marc8, MarcXml };

// "marc", "marc8", "marcxml"; nothing for another name.
std::optional<MarcFileFormat> MarcFileFormatOf(const std::string& name);

// The MARC record of a catalogue record (texts as the catalogue keeps them:
// Windows-1250 with escapes), identifier its 001 when it has none.
MarcData MarcDataOfRecord(const my_record& record, const std::string& identifier);

// A file of records being made in memory, then written whole.
class MarcFileWriter {
public:
    explicit MarcFileWriter(MarcFileFormat format);
    // Adds a record (texts Windows-1250 with escapes); false (the reason in
    // Error) when it cannot be written: longer than ISO 2709 can say.
    bool Add(MarcData record);
    // Records added.
    std::size_t Count() const { return mCount; }
    // The file's bytes (closing the collection of MARCXML: nothing is added after).
    const std::string& Bytes();
    const std::string& Error() const { return mError; }

private:
    MarcFileFormat mFormat;
    std::string mBytes;
    std::size_t mCount = 0;
    bool mClosed = false;
    std::string mError;
};

// How an export ended.
struct MarcExportResult {
    std::size_t written = 0;
    std::vector<std::string> skipped;  // a line for every record left out, and why
    std::string error;                 // the export failed (nothing written); empty otherwise
};

// Fetches every record of the shown identifiers in the export format and
// writes them to path (the old file, if any, replaced whole only when the
// new one is complete). progress, when given, hears (done, total) and may
// stop the export by answering false.
MarcExportResult ExportRecords(velt_files& files, const std::vector<std::string>& shownIdentifiers,
                               MarcFileFormat format, const std::string& path,
                               const std::function<bool(std::size_t, std::size_t)>& progress = {});

// The shown identifiers of the remote collection (through the server's list
// of it, in a work file of workingDirectory); error set when it cannot be had.
std::vector<std::string> RemoteCollectionIdentifiers(velt_files& files, const std::string& workingDirectory,
                                                     std::string& error);

}  // namespace velt
