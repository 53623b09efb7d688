#pragma once
// External converter modules: shared libraries named in the configuration's
// "KONWERTER" sections, each turning records of some formats (its "from"
// letters) into records of others (its "to" letters) through the C interface
// of ConverterModuleApi.h.

#include "text/ConverterModuleApi.h"
#include "text/my_record.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace velt {

// Takes one message for the user (Windows-1250).
using ReportSink = std::function<void(const std::string& message)>;

// One "KONWERTER" section of the configuration, as read (the module's file
// name already macro-expanded).
struct ConverterModuleSection {
    std::string section;  // the section's name
    std::string dll;      // "dll": the module's file
    std::string from;     // "z": the record-format letters it accepts
    std::string to;       // "do": the letters it produces
};

class dll_converter {
public:
    dll_converter(void* handle, std::string from, std::string to, velt_translate_fn translate);
    ~dll_converter();
    dll_converter(const dll_converter&) = delete;
    dll_converter& operator=(const dll_converter&) = delete;

    // True when the module has a conversion entry.
    bool CanTranslate() const { return mTranslate != nullptr; }
    // Converts the records into out (replacing its content). False, with the
    // reason reported, when the module failed or handed back memory that was
    // not the client's; out is then empty.
    bool Translate(const std::vector<my_record>& in, std::vector<my_record>& out, const ReportSink& report) const;

    const std::string from;
    const std::string to;

private:
    void* mHandle;
    velt_translate_fn mTranslate;
};

// The registered modules, in the order the configuration names them.
class ConverterModules {
public:
    // Loads and initialises the modules of the sections in order. A section
    // with no file is skipped; a module that cannot be loaded is reported as
    // "Brak modułu " and its file; one without "initialize", or whose
    // "initialize" fails, is not registered.
    void Load(const std::vector<ConverterModuleSection>& sections, const std::string& configFile,
              const ReportSink& startupError);

    // The first module, in registration order, whose letters match, among
    // those that can translate; nullptr when none. A requested text matches
    // when both are empty or one of its letters is among the module's.
    const dll_converter* FindConverterModule(const std::string& from, const std::string& to) const;

    std::size_t size() const { return mModules.size(); }
    const dll_converter& at(std::size_t i) const { return *mModules[i]; }

private:
    std::vector<std::unique_ptr<dll_converter>> mModules;
};

}  // namespace velt
