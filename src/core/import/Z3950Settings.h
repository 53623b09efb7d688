#pragma once
// The Z39.50 import's part of the configuration: the sources ("Z3950_KATALOG"
// sections, in nested "Z3950_GRUPA" groups), the display format sets
// ("Z3950_FORMAT" sections, their programs compiled when read), and the
// section "Z3950" with the source chosen last ("źródło"), the query form's
// values ("question") and the log of the associations ("log").

#include "import/MarcFormatSet.h"
#include "import/SourceMenu.h"
#include "lang/ErrorSink.h"
#include "net/HttpGet.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class ProfileFile;
class TMultiIniFile;

struct Z3950Source {
    std::string section;                  // the section's name
    std::string name = "bez nazwy";       // "nazwa"
    std::string host = "127.0.0.1";       // "ip"
    int port = 230;                       // "port"
    std::string database = "default";     // "baza"
    int presentation = 2;                 // "v": the item of "Standard znaków - prezentacja"
    int search = 2;                       // "q": the item of "Standard znaków - wyszukiwanie"
    std::string user, password;           // "user", "password"
    std::string syntax = "1.2.840.10003.5.10";  // "syntax": the record syntax of Present
    // "protokół": "Z3950" or "SRU". An SRU source's base address is its
    // "url", else http://ip:port/baza; "wersja" 1.1 or 1.2 (the default),
    // "schemat" the record schema asked for ("marcxml").
    enum class Protocol { Z3950, Sru };
    Protocol protocol = Protocol::Z3950;
    HttpAddress sruBase;
    std::string sruVersion = "1.2";
    std::string sruSchema = "marcxml";
};

// An item of the "Źródło" menu: a source, or a group of items.
using Z3950SourceItem = SourceMenuItem;

// A display format set of the "Format" menu.
struct Z3950FormatItem {
    std::string section;
    std::string name = "bez nazwy";
    MarcFormatSet programs;
};

class Z3950Settings {
public:
    // Groups nested deeper than this are read as plain sections.
    static constexpr int kMaxGroupDepth = 16;

    // Reads every part; the format programs' compile errors go to errors.
    void Read(const TMultiIniFile& ini, const ErrorSink& errors);
    // Writes "question" and "źródło" when they changed since they were read.
    void Write(ProfileFile& file);

    const std::vector<Z3950Source>& Sources() const { return mSources; }
    // The menu's top level (a group's items are its children).
    const std::vector<Z3950SourceItem>& Menu() const { return mMenu; }
    const std::vector<std::unique_ptr<Z3950FormatItem>>& Formats() const { return mFormats; }
    // The source of "źródło", else the first in menu order; -1 without sources.
    int ChosenSource() const { return mChosen; }
    // The index of the source of a section, -1 when there is none.
    int FindSource(const std::string& section) const;
    // The sources of a group of the menu, the group named by the captions
    // from the top down (empty: every source), in menu order.
    std::vector<int> GroupSources(const std::vector<std::string>& path) const;

    const std::string& Question() const { return mQuestion; }
    void SetQuestion(std::string values) { mQuestion = std::move(values); }
    // The section of the current source, written back as "źródło".
    void SetCurrentSection(std::string section) { mCurrentSection = std::move(section); }
    const std::string& LogFile() const { return mLog; }

private:
    std::vector<Z3950Source> mSources;
    std::vector<Z3950SourceItem> mMenu;
    std::vector<std::unique_ptr<Z3950FormatItem>> mFormats;
    int mChosen = -1;
    std::string mQuestion;
    std::string mQuestionAsRead;
    std::string mCurrentSection;
    std::string mSectionAsRead;
    std::string mLog;
};

// The source of a section: its values found by the line scan, a number that
// does not convert (or lies outside what it can mean) keeping its default.
Z3950Source ReadZ3950Source(const TMultiIniFile& ini, const std::string& section);

}  // namespace velt
