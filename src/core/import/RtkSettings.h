#pragma once
// The import from other catalogues' part of the configuration: the source
// catalogues ("RTK_KATALOG" sections in nested "RTK_GRUPA" groups) and the
// section "RTK": the source chosen last ("źródło"), where the list of
// catalogues is fetched from ("tarlinex") and written to ("aktualizuj"),
// the criteria panel's sorting ("sortuj"), whether countries' codes are
// replaced ("kraj") and "zapytanie", kept as it was read.

#include "import/SourceMenu.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

class ProfileFile;
class TMultiIniFile;

struct RtkSource {
    std::string section;
    std::string name = "Bez nazwy";
    std::string host = "127.0.0.1";
    int port = 8000;
};

class RtkSettings {
public:
    static constexpr int kMaxGroupDepth = 16;

    void Read(const TMultiIniFile& ini);
    // Writes "źródło" (when a source is current), "sortuj" and "zapytanie".
    void Write(ProfileFile& file) const;

    const std::vector<RtkSource>& Sources() const { return mSources; }
    const std::vector<SourceMenuItem>& Menu() const { return mMenu; }
    // The source of "źródło"; -1 when it names none.
    int ChosenSource() const { return mChosen; }
    int FindSource(const std::string& section) const;
    // The source's caption and, upwards, its groups' (". " between), up to a
    // group captioned as a range of the alphabet ("Od A do M", "AAA - MMM").
    std::string FullName(int source) const;

    const std::string& ListAddress() const { return mListAddress; }
    const std::string& ListFile() const { return mListFile; }
    // "Aktualizacja" needs both.
    bool CanUpdate() const { return !mListAddress.empty() && !mListFile.empty(); }
    int Sort() const { return mSort; }
    void SetSort(int sort) { mSort = sort; }
    bool Countries() const { return mCountries; }
    void SetCurrentSection(std::string section) { mCurrentSection = std::move(section); }

private:
    std::vector<RtkSource> mSources;
    std::vector<SourceMenuItem> mMenu;
    int mChosen = -1;
    std::string mCurrentSection;
    std::string mListAddress, mListFile;
    int mSort = 0;
    bool mCountries = false;
    std::string mQuery;
    bool mHasQuery = false;
};

// A catalogue list as a server sent it, made into the file the configuration
// includes: only the "RTK_" sections and their key lines (a list cannot add
// converter modules, programs or anything else), CR LF ends. None (error
// set) when it holds no such section.
std::optional<std::string> CatalogueListFile(std::string_view body, std::string& error);

}  // namespace velt
