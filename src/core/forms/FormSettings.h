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
    int density = 1;                           // 2: drawn at twice its size ("x@2x.png")

    bool Loaded() const { return bytes && !bytes->empty(); }
};

// The directory of the program's own pictures, where a picture missing from
// a form's directory is looked for too (set once at start; empty: none).
void SetProgramPictureDirectory(std::string directory);
const std::string& ProgramPictureDirectory();

// Reads the picture file (at most 16 MiB) of a name under the directory, or
// else under the program's own pictures: "x.bmp" is taken from "x@2x.png"
// or "x.png" when there is one, and the last part is found ignoring letter
// case. A picture without bytes when the name is refused (it would leave the
// directory: RelativeServerName) or no file can be read.
FormPicture LoadPicture(const std::string& directory, const std::string& name);

}  // namespace velt
