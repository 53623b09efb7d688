#pragma once
// MARC records (ISO 2709, MARC 21 content) as the system's records: the
// leader under "L.1", every field under its tag and occurrence with the
// indicators ("A", "B") and the data ("Z", subfields marked "^" and their
// code), the record's kind letter. Every read stays inside the record; a
// record whose structure is broken carries an error naming what is wrong.

#include "text/converter.h"
#include "text/my_record.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

struct MarcOptions {
    // The converter of the record's texts to Windows-1250; nullptr: the one
    // the record's leader asks for (MarcCharsetOf).
    const converter* presentation = nullptr;
    // True when the catalogue keeps 1XX fields under their own tags; false
    // files every 1XX under "100" and keeps its tag in "100R.1.1.1.1".
    bool format = false;
};

inline constexpr int kMarcMaxFields = 2000;
inline constexpr int kMarcMaxOccurrences = 200;

// The record of one MARC record's octets; "00000" and any length of 0 give
// an empty record. Faults of the structure are the record's errors.
my_record ParseMarc(std::string_view octets, const MarcOptions& options = {});

// "C" or "A" for authority records (by leader positions 06 and 07), else "U".
char RecordKindLetter(const my_record& record);

// The program that turns a record into display lines (the format set of the
// import window); it gets the record and its kind letter.
using MarcFormatter = std::function<std::vector<std::string>(const my_record& record, char kind)>;

// The display lines of a record: the formatter's, or without one the
// record's fields as key=value lines followed by its errors.
std::vector<std::string> MarcDisplayLines(std::string_view octets, const MarcOptions& options = {},
                                          const MarcFormatter& formatter = {});

// The record's fields as key=value lines (line breaks inside a value become
// spaces), followed by its errors.
std::vector<std::string> MarcFieldLines(const my_record& record);

// The records of an ISO 2709 file: each as long as its leader says when that
// ends on the record terminator, else up to the next terminator; line breaks,
// padding and stray terminators between records are skipped.
std::vector<std::string_view> SplitMarcFile(std::string_view bytes);

// The converter the record's leader asks for: UTF-8 when position 09 is "a",
// else MARC-8.
const converter& MarcCharsetOf(std::string_view octets);

}  // namespace velt
