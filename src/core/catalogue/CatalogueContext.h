#pragma once
// What the tabs, the searches and the windows of a catalogue need of the
// program around them: the current catalogue, the few settings they use, and
// word of a catalogue going and coming. The shell implements it; tests give
// a catalogue of their own.

#include <cstdint>
#include <string>

namespace velt {

class velt_files;

// A window or tab that depends on the current catalogue: it hears about a
// disconnect or a descriptor reload before anything it may point at is freed
// (the session still works then: collections can be released), and about the
// new catalogue or descriptor after.
class CatalogueListener {
public:
    virtual ~CatalogueListener() = default;
    // The descriptor of files is about to be freed; disconnecting: the whole
    // catalogue goes, else its descriptor is reloaded.
    virtual void CatalogueClosing(velt_files& files, bool disconnecting) = 0;
    // files is connected, or its descriptor reloaded (possibly not Ready).
    virtual void CatalogueOpened(velt_files& files) = 0;
};

// The settings of the configuration that the catalogue's tabs and searches use.
struct CatalogueSettings {
    std::string CriteriaValues;          // KOLEKCJA/wartości
    std::int64_t SortKey = 0;            // KOLEKCJA/sortowanie
    std::string WorkingDirectory;        // KOLEKCJA/ścieżka, expanded and resolved
    std::int64_t ListLineHeight = 65;    // LISTA/wysokość
};

class CatalogueContext {
public:
    virtual ~CatalogueContext() = default;
    // The current catalogue; none before the first connection.
    virtual velt_files* Current() const = 0;
    virtual CatalogueSettings& Settings() = 0;
    // Listeners hear in the order they were added; a listener removes itself
    // before it is destroyed.
    virtual void AddListener(CatalogueListener* listener) = 0;
    virtual void RemoveListener(CatalogueListener* listener) = 0;
};

}  // namespace velt
