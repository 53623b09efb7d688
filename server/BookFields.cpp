#include "BookFields.h"

namespace velt::server {

BookFields ReadBookFields(const RecordText& r) {
    BookFields b;
    b.mainAuthor = Subfield(r.Value("100"), 'a');
    for (const char* tag : {"100", "700"})
        for (const auto& v : r.Values(tag)) {
            b.authors.push_back(Subfield(v, 'a'));
            b.dates.push_back(Subfield(v, 'd'));
        }
    const std::string t = r.Value("245");
    b.title = Subfield(t, 'a');
    b.subtitle = Subfield(t, 'b');
    b.part = Subfield(t, 'n');
    b.responsibility = Subfield(t, 'c');
    b.edition = Subfield(r.Value("250"), 'a');
    const std::string p = ImprintOf(r);
    b.place = Subfield(p, 'a');
    b.publisher = Subfield(p, 'b');
    b.year = Subfield(p, 'c');
    const std::string physical = r.Value("300");
    b.extent = Subfield(physical, 'a');
    b.illustrations = Subfield(physical, 'b');
    b.isbn = Subfield(r.Value("020"), 'a');
    b.call = Subfield(r.Value("852"), 'h');
    for (const auto& v : r.Values("650")) {
        b.subjects.push_back(Subfield(v, 'a'));
        b.subjectIds.push_back(Subfield(v, '9'));
    }
    b.cover = Subfield(r.Value("856"), 'u');
    return b;
}

}  // namespace velt::server
