#pragma once
// A MARC record by its parts: the leader, the control fields (tags 001 to
// 009) with their data, the data fields with two indicators and subfields.
// What the MARCXML reader makes, what the export writes as ISO 2709 or as
// MARCXML, and what the ISO 2709 reader gives back; the texts are bytes of
// whatever character set the leader says.

#include "text/converter.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct MarcSubfield {
    char code = 'a';
    std::string data;
};

struct MarcField {
    std::string tag;                       // three characters
    char ind1 = ' ', ind2 = ' ';
    std::string data;                      // a control field's data
    std::vector<MarcSubfield> subfields;   // a data field's subfields
    // Tags "001" to "009" (and "00X") hold data, not subfields.
    bool IsControl() const { return tag.size() == 3 && tag[0] == '0' && tag[1] == '0'; }
};

struct MarcData {
    std::string leader;  // 24 characters once written
    std::vector<MarcField> fields;
};

// An ISO 2709 record can say no more than five digits of length.
inline constexpr std::size_t kIso2709MaxLength = 99999;

// The record as ISO 2709: the leader's lengths, base address and entry map
// computed, the rest of the leader kept (blanks where it was short), the
// leader's position 09 set to charset (' ' MARC-8, 'a' UCS/UTF-8). Nothing
// when the record would be longer than a record can say or a tag is not
// three letters or digits.
std::optional<std::string> WriteIso2709(const MarcData& record, char charset);

// The record of ISO 2709 octets; nothing (error says why) when its
// structure is broken. Every length and offset is checked against the record.
std::optional<MarcData> ReadIso2709(std::string_view octets, std::string& error);

// The record as a MARCXML <record> element (no XML declaration), its texts
// UTF-8 with the characters XML reserves escaped; bytes XML cannot carry
// (control characters) are left out.
std::string MarcXmlRecord(const MarcData& record, bool withNamespace = true);
// The start and the end of a MARCXML collection document.
std::string MarcXmlCollectionStart();
std::string MarcXmlCollectionEnd();

// Every text of the record (not the leader) through the converter.
MarcData ConvertMarcData(const MarcData& record, const converter& convert);

}  // namespace velt
