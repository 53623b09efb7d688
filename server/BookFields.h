#pragma once
// What the displays and the reports read of a book's record: one reader, so
// that a description, a report line and a card show the same fields.

#include "RecordText.h"

#include <string>
#include <vector>

namespace velt::server {

struct BookFields {
    std::string mainAuthor;            // 100 ^a
    std::vector<std::string> authors;  // 100 then 700 (^a)
    std::vector<std::string> dates;    // their ^d
    std::string title, subtitle, responsibility;  // 245 ^a ^b ^c
    std::string part;                             // 245 ^n: a volume's, an issue's number
    std::string edition;                          // 250 ^a
    std::string place, publisher, year;           // 260 ^a ^b ^c
    std::string extent, illustrations;            // 300 ^a ^b
    std::string isbn;                             // 020 ^a
    std::string call;                             // 852 ^h (the first copy)
    std::vector<std::string> subjects;            // 650 ^a
    std::vector<std::string> subjectIds;          // 650 ^9
    std::string cover;                            // 856 ^u: the picture's designation
};

BookFields ReadBookFields(const RecordText& r);

}  // namespace velt::server
