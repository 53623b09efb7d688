#pragma once
// The rules a record must keep to be stored, per kind letter: a title, ISBN
// check digits, a plausible year, "^9" links that name an authority record
// of the right kind, a superior record that exists and is not the record
// itself or below it, valid dates and prices of copies. Every broken rule
// gives one error naming the fields it concerns, so that one answer lists
// them all.

#include "Catalogue.h"
#include "Identifiers.h"
#include "RecordText.h"

#include <cstdint>
#include <string>
#include <vector>

namespace velt::server {

// One error of a record: the message and the key patterns it concerns
// ("|"-separated, "*" the whole record).
struct FieldError {
    std::string message;
    std::string patterns;
};

// Errors of record (number 0: not yet stored) of kind letter.
std::vector<FieldError> ValidateRecord(Catalogue& db, const Identifiers& ids, char letter, std::uint32_t number,
                                       const RecordText& record);

// True for a date written YYYYMMDD that the calendar has.
bool ValidDate(std::string_view yyyymmdd);

// The error list as the client reads it: message CR patterns CR, per error.
std::string ErrorListText(const std::vector<FieldError>& errors);

// The largest record the server stores: fields and bytes.
inline constexpr std::size_t kMaxFields = 20000;
inline constexpr std::size_t kMaxRecordBytes = 4 << 20;

}  // namespace velt::server
