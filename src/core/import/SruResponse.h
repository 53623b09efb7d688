#pragma once
// The answers of an SRU server read with expat: a searchRetrieveResponse
// (the count, the records at their positions, the diagnostics), a
// scanResponse (the terms and their counts), and a MARCXML document of
// records (a <collection> or a lone <record>). The texts come out as UTF-8.
//
// The answer is untrusted: nesting, records, fields and subfields are
// bounded, a document that is not well-formed XML gives its error and no
// records, and entities of a document type are refused.

#include "import/MarcData.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt {

inline constexpr int kXmlMaxDepth = 64;
inline constexpr std::size_t kXmlMaxRecords = 1'000'000;
inline constexpr std::size_t kMarcXmlMaxFields = 2000;
inline constexpr std::size_t kMarcXmlMaxSubfields = 1000;

// One record of a searchRetrieveResponse: a MARC record or a diagnostic in its place.
struct SruRecord {
    long long position = 0;       // recordPosition; 0 when the server sent none
    bool diagnostic = false;      // the record's place holds a diagnostic
    std::string text;             // the diagnostic's message (and details)
    MarcData marc;
};

struct SruTerm {
    std::string value;
    std::string display;          // displayTerm; empty when none came
    long long count = -1;         // numberOfRecords; -1 when none came
};

struct SruResponse {
    long long numberOfRecords = -1;      // -1: the answer said none
    std::vector<SruRecord> records;
    std::vector<SruTerm> terms;
    std::vector<std::string> diagnostics;  // message, and ": " details when sent
    std::string error;                     // not an answer read (XML fault, bound passed)
};

// The answer of a searchRetrieve or scan operation.
SruResponse ReadSruResponse(std::string_view xml);

// The MARC records of a MARCXML document (positions counted from 1).
SruResponse ReadMarcXml(std::string_view xml);

}  // namespace velt
