#include "cards/StandardFaces.h"

#include "lang/ProfileFile.h"

#include <cmath>

namespace velt {

const StandardFace& StandardFaceFor(std::string_view family, bool bold, bool italic) {
    const std::string folded = FoldName(family);
    const char* base = "Arial";
    if (folded.find("COURIER") != std::string::npos || folded.find("MONO") != std::string::npos)
        base = "Courier New";
    else if (folded.find("TIMES") != std::string::npos || folded.find("SERIF") != std::string::npos ||
             folded.find("ROMAN") != std::string::npos)
        base = "Times New Roman";
    // "Sans Serif" is no serif face.
    if (folded.find("SANS") != std::string::npos && folded.find("MONO") == std::string::npos) base = "Arial";
    for (const StandardFace& face : StandardFaces())
        if (std::string_view(face.family) == base && face.bold == bold && face.italic == italic) return face;
    return StandardFaces().front();
}

int StandardFaceMeasurer::TextWidth(const CanvasFont& font, std::string_view text) {
    const StandardFace& face = StandardFaceFor(font.name, font.bold, font.italic);
    long long units = 0;
    for (const char c : text) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b >= 32) units += face.widths[b - 32];
    }
    return static_cast<int>(std::llround(static_cast<double>(units) * font.height / face.unitsPerEm));
}

int StandardFaceMeasurer::TextHeight(const CanvasFont& font) {
    const StandardFace& face = StandardFaceFor(font.name, font.bold, font.italic);
    return static_cast<int>(std::lround(static_cast<double>(face.ascent + face.descent) * font.height / face.unitsPerEm));
}

}  // namespace velt
