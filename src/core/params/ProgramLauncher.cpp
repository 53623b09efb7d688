// External programs started with an argument list, bounded and, when the
// server chose them, only with the user's consent.

#include "params/ProgramLauncher.h"

#include "text/CpLiteral.h"

#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace velt {

namespace {

bool Executable(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::string DirectoryOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string FindProgram(const std::string& program) {
    if (program.empty()) return {};
    if (program.find('/') != std::string::npos) return Executable(program) ? program : std::string();
    const char* path = std::getenv("PATH");
    const std::string dirs = path ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t at = 0;
    while (at <= dirs.size()) {
        auto colon = dirs.find(':', at);
        if (colon == std::string::npos) colon = dirs.size();
        std::string dir = dirs.substr(at, colon - at);
        if (dir.empty()) dir = ".";
        const std::string candidate = dir + "/" + program;
        if (Executable(candidate)) return candidate;
        at = colon + 1;
    }
    return {};
}

std::vector<std::string> SplitParameters(std::string_view text) {
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < text.size()) {
        while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
        if (i >= text.size()) break;
        std::string word;
        bool quoted = false;
        for (; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                if (quoted && i + 1 < text.size() && text[i + 1] == '"') {
                    word.push_back('"');
                    ++i;
                } else {
                    quoted = !quoted;
                }
            } else if (!quoted && (c == ' ' || c == '\t')) {
                break;
            } else {
                word.push_back(c);
            }
        }
        words.push_back(std::move(word));
    }
    return words;
}

int RunProgram(ProgramLauncher& launcher, Prompts& prompts, const std::string& program,
               const std::vector<std::string>& arguments, const std::string& directory, int /*showMode*/,
               ProgramOrigin origin) {
    // Windows of their own are what programs open here: the show mode has
    // nothing to choose on this platform.
    if (program.empty()) return kProgramNotFound;
    bool tooLong = program.size() > kMaxProgramText || directory.size() > kMaxProgramText ||
                   arguments.size() > kMaxProgramArguments;
    for (const auto& a : arguments) tooLong = tooLong || a.size() > kMaxProgramText;
    if (tooLong) {
        prompts.show_error("Zbyt długa nazwa programu, katalogu albo argumentu (najwyżej "_cp +
                           std::to_string(kMaxProgramText) + " znaków, "_cp + std::to_string(kMaxProgramArguments) +
                           " argumentów): program \""_cp + program.substr(0, 80) + "\" nie zostanie uruchomiony"_cp);
        return kProgramRefused;
    }
    for (const char c : program + directory)
        if (c == '\0') return kProgramRefused;
    if (origin == ProgramOrigin::Server) {
        std::string question = "Katalog chce uruchomić program:\r\n"_cp + Quoted(program);
        if (arguments.empty()) {
            question += "\r\nbez argumentów"_cp;
        } else {
            question += "\r\nz argumentami:"_cp;
            for (const auto& a : arguments) question += "\r\n" + Quoted(a);
        }
        if (!directory.empty()) question += "\r\nw katalogu "_cp + Quoted(directory);
        question += "\r\nCzy uruchomić ten program?"_cp;
        if (prompts.ask_question(question) != kYes) return kProgramRefused;
    }
    std::string why;
    if (!launcher.Start(program, arguments, directory, why)) return kProgramNotFound;
    return kProgramStarted;
}

}  // namespace velt
