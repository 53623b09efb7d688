#pragma once
// The file associations of section "PLIKI": an ordered list of (file-name
// pattern, program) pairs, the first pattern matching a file's name giving
// the program that opens it. Patterns are the system's wildcards ("*", "?",
// "\"), compared with the whole name and its letter case. Several pairs may
// have the same pattern: they are read and written in their order.
//
// The list is edited in "Modyfikuj skojarzenia plików", a parameter form
// built in code, and written back with the configuration only when it
// changed during the run.

#include "params/ParameterForms.h"
#include "params/ProgramLauncher.h"

#include <memory>
#include <string>
#include <vector>

namespace velt {

class ProfileFile;
class TMultiIniFile;

struct FileAssociation {
    std::string pattern;
    std::string program;
    bool operator==(const FileAssociation&) const = default;
};

// The plain root of forms built in code.
class act_formular : public my_formular {
public:
    const char* ClassName() const override { return "act_formular"; }
};

class FileAssociations {
public:
    // Every key of "PLIKI" in order, the value passed through the macros; a
    // program that cannot be found is reported ("Brak programu " and the
    // path) and kept.
    void LoadAssociations(const TMultiIniFile& configuration, Prompts& prompts);
    // Erases "PLIKI" and writes one key per pair, in order (a program as it
    // was written when it has not changed, its macros kept).
    void SaveAssociations(ProfileFile& configuration);

    // The first association whose pattern matches the file's name; none.
    const FileAssociation* Find(const std::string& file) const;
    // Opens the file with its associated program (the file one argument, in
    // the program's directory); "Błąd uruchomienia programu \"" program "\""
    // when it could not start. With no association the desktop's program for
    // the file's type (xdg-open) is offered, never for a file that is itself
    // a program. The result code of RunProgram (kProgramNoAssociation when
    // nothing was started for want of one).
    int OpenWithAssociation(const std::string& file, ProgramLauncher& launcher, Prompts& prompts) const;
    // The same for a document of the program's own (its user's guide), which
    // the user asked for: without an association the desktop's program opens
    // it without a question.
    int OpenOwnDocument(const std::string& file, ProgramLauncher& launcher, Prompts& prompts) const;

    // "Programy zewnętrzne": the list edited in its form; true when the user
    // accepted (the list is then the rows with a pattern and a program).
    bool EditAssociations(ParameterForms& forms);

    const std::vector<FileAssociation>& List() const { return mList; }
    void SetList(std::vector<FileAssociation> list);
    // True when the list changed since it was loaded or saved.
    bool Changed() const { return mChanged; }

private:
    int Open(const std::string& file, ProgramLauncher& launcher, Prompts& prompts, bool askForDesktop) const;

    std::vector<FileAssociation> mList;
    // As read: the pattern, the program and the value as written.
    struct Read {
        FileAssociation association;
        std::string written;
    };
    std::vector<Read> mRead;
    bool mChanged = false;
};

// The form of "Modyfikuj skojarzenia plików".
std::unique_ptr<my_formular> AssociationsForm();
// Its initial values: "R." n "|" pattern "|" "P." n "|" program "|" per pair.
std::string AssociationValues(const std::vector<FileAssociation>& list);
// The pairs of an answer: n from 1 to the largest row number, the rows whose
// pattern and program are both given, in that order.
std::vector<FileAssociation> AssociationsFromAnswer(const std::string& answer);
// Why a pattern or program cannot be kept in the configuration file; empty
// when it can.
std::string AssociationProblem(const FileAssociation& association);
// True for a file the desktop would run rather than open (executable, or of
// a type that runs: scripts, desktop entries, installers).
bool RunsAsProgram(const std::string& file);

}  // namespace velt
