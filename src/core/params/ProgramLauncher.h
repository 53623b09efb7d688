#pragma once
// Starting external programs: a program with its arguments as a list (never
// a command line for a shell), in a working directory, through a launcher
// the windows implement (QProcess) and the tests fake. The result is the
// code the system has always used: above 32 when the program started, 32 or
// less when it did not.
//
// A program or a file named by the server is started only after the user
// saw the exact program and arguments and agreed; texts longer than the
// bound are refused, never cut.

#include "common/Prompts.h"

#include <string>
#include <string_view>
#include <vector>

namespace velt {

class ProgramLauncher {
public:
    virtual ~ProgramLauncher() = default;
    // Starts the program with the arguments in the directory (empty: the
    // current one) without waiting for it; false, and why, when it could not.
    virtual bool Start(const std::string& program, const std::vector<std::string>& arguments,
                       const std::string& directory, std::string& why) = 0;
};

// Who chose the program: the user (the configuration, the file associations)
// or the server (a displayed entry, a script).
enum class ProgramOrigin { User, Server };

// The show mode every caller passes.
inline constexpr int kShowNormal = 5;  // SW_SHOW
// Result codes.
inline constexpr int kProgramStarted = 42;
inline constexpr int kProgramNotFound = 2;
inline constexpr int kProgramRefused = 5;    // the user said no, or a text was refused
inline constexpr int kProgramNoAssociation = 31;
// Longest program path, directory or argument handed over.
inline constexpr std::size_t kMaxProgramText = 255;
inline constexpr std::size_t kMaxProgramArguments = 64;

// Starts the program; its result code. Over-long texts are refused with a
// message; a server's program is asked about first.
int RunProgram(ProgramLauncher& launcher, Prompts& prompts, const std::string& program,
               const std::vector<std::string>& arguments, const std::string& directory, int showMode,
               ProgramOrigin origin);

// The arguments of a parameter text as a command line writes them: words
// separated by blanks, double quotes grouping blanks into one word ("" inside
// quotes is one quote).
std::vector<std::string> SplitParameters(std::string_view text);

// The program of a path: the path itself when it names a directory part,
// else the first executable of that name on PATH; empty when there is none.
std::string FindProgram(const std::string& program);

// The directory part of a path, with its final "/" (empty for none).
std::string DirectoryOf(const std::string& path);

}  // namespace velt
