#include "PrintModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>
#include <vector>

namespace velt::cli {

namespace {

std::string ProgramDirectory() {
    std::vector<char> path(PATH_MAX + 1);
    const ssize_t n = ::readlink("/proc/self/exe", path.data(), PATH_MAX);
    if (n <= 0) return {};
    std::string self(path.data(), static_cast<std::size_t>(n));
    return self.substr(0, self.find_last_of('/') + 1);
}

}  // namespace

PrintModule* LoadPrintModule(std::string& why) {
    static PrintModule* module = nullptr;
    static std::string failure;
    static bool tried = false;
    if (!tried) {
        tried = true;
        const std::string dir = ProgramDirectory();
        // Beside the program in the build tree, in lib/velt of an installed prefix.
        for (const std::string& candidate : {dir + kPrintModuleFile, dir + "../lib/velt/" + kPrintModuleFile}) {
            void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                if (failure.empty()) failure = ::dlerror();
                continue;
            }
            using Entry = PrintModule* (*)();
            auto entry = reinterpret_cast<Entry>(::dlsym(handle, kPrintModuleEntry));
            if (entry) module = entry();
            if (module) break;
            failure = candidate + ": no printing entry";
        }
        if (!module && failure.empty()) failure = std::string(kPrintModuleFile) + " not found";
    }
    if (!module) why = failure;
    return module;
}

}  // namespace velt::cli
