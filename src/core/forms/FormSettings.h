#pragma once
// What a form's layout reads besides the model and the record: the zoom, the
// height a written 469 stands for, the bounds and formats the server's kind
// imposes, the fonts, and where pictures come from. The editing window sets
// them from the server's kind; the parameter window saves and restores them.

#include <cstdint>
#include <memory>
#include <string>

namespace velt {

struct FormSettings {
    double zoom = 1.0;                       // form units to pixels
    std::int32_t sheetHeight = 469;          // what a written 469 evaluates to
    int maxOccurrence = 999;                 // upper bound of the list scroll bars
    char decimalSeparator = '.';             // of stored decimal numbers
    std::string maskFont = "Courier New/-14/B";  // face "/" height "/" style letters
    int baseFontHeight = -11;                // pixels, negative as the platform's font heights
    std::string pictureDirectory;            // prefix of picture file names, ending with "/"
    // A spin or combo whose field holds no value it can show writes the
    // value it shows into the field when it is made (the parameter window:
    // the answer is what the user saw); records being edited stay unchanged.
    bool storeShownValues = false;
};

// A picture named by a form: the bytes of its file as read (empty when the
// file was missing or refused), decoded by the windows.
struct FormPicture {
    std::string name;                          // as written in the description
    std::shared_ptr<const std::string> bytes;  // shared by every layout of the form

    bool Loaded() const { return bytes && !bytes->empty(); }
};

// The file of a picture name under the directory; empty when the name would
// leave it (absolute, a drive, "..", a zero byte). Backslashes separate
// directories as on the system the forms are written for.
std::string PicturePath(const std::string& directory, const std::string& name);

// Reads the picture file (at most 16 MiB); a picture without bytes when the
// name is refused or the file cannot be read.
FormPicture LoadPicture(const std::string& directory, const std::string& name);

}  // namespace velt
