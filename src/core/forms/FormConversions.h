#pragma once
// The value conversions of the field editors: how a stored field value
// becomes what a control shows and how the control's text is stored back,
// and the little languages read from a form's operands (COMBO lists, menu
// lists, marker lists, the mask font).

#include "forms/FormControls.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// COMBO lists: entries value "|" label "|"; an empty label shows as "*".
enum class ComboListError { None, Empty, Unclosed };
// Fills the parallel lists; an empty list gives one entry ("", "*"), an entry
// whose label is not closed gets the label "*" and ends the list.
ComboListError ParseComboList(std::string_view list, std::vector<std::string>& values,
                              std::vector<std::string>& labels);

// Dates are stored YYYYMMDD and edited as DDMMYYYY through "99.99.9999;0; ".
std::string DateToDisplay(std::string_view stored);
// The control's text (trailing spaces removed) as stored; empty stays empty.
std::string DateToStore(std::string_view text);
// The error of a stored date on leaving the field, empty when it is valid.
std::string DateError(std::string_view stored);

// NUMBER: W nines, or W - D - 1 nines "," D nines, then ";0; ".
std::string NumberMask(int width, int decimals);
// The stored number as the control's text: right-aligned in width, the
// decimal separators removed when there are decimals; blank gives empty.
std::string NumberToDisplay(std::string_view stored, int width, int decimals, char separator);
// The control's text (without the mask's comma and trailing spaces) as stored.
std::string NumberToStore(std::string_view text, int width, int decimals, char separator);

// SPIN: the value trimmed and read as a decimal integer; none when it is not one.
std::optional<int> ParseSpinValue(std::string_view text);
// The value kept within the range (no bound when minimum and maximum are equal).
int ClampSpin(int value, int minimum, int maximum);
// What a spin edit shows for a stored value: when it cannot be read, on
// creation the minimum if it is at least 0 or the maximum is below 0, else 0;
// on a refresh the minimum. Then clamped.
int SpinShownValue(std::string_view stored, int minimum, int maximum, bool creation);
// The stored form: right-aligned in width characters.
std::string SpinStored(int value, int width);

// MEMO: a multi-line memo stores its line breaks as ESC "/", shown as CR LF.
std::string MemoToDisplay(std::string_view stored, bool multiline);
// The control's text as stored: line breaks (CR LF, CR, LF) as ESC "/" when
// multi-line; without MULTILINE, characters below 32 are dropped except the
// escapes of the system's texts (ESC ... SUB, and ESC followed by one
// character), which survive the memo.
std::string MemoToStore(std::string_view text, bool multiline);
// A pasted text for a control that takes no line breaks: every line end
// (CR LF, CR or LF) becomes one space.
std::string PastedAsOneLine(std::string_view text);

// CHECK: checked exactly when the value is "T".
inline bool CheckState(std::string_view value) { return value == "T"; }
inline std::string CheckValue(bool checked) { return checked ? "T" : "F"; }

// Formatted text: the lines the SHOW event returned, with ESC ... SUB
// commands ("/" new line, "C" colours, "S" style) turned into runs.
std::vector<TextRun> FormatTextLines(const std::vector<std::string>& lines);
// The runs as plain text, new lines as CR LF.
std::string PlainTextOf(const std::vector<TextRun>& runs);

// Menu lists: pairs id "|" caption "|". An item has an id; an empty
// id opens a submenu up to the pair with an empty caption, which at the top
// ends the list. itemIds gets the id of every item by its number.
std::vector<MenuEntry> ParseMenuSpec(std::string_view spec, std::vector<std::string>& itemIds);

// Marker lists: the marker character's item, then pairs code "|"
// description "|" up to the first empty code; a code of more than one
// character marks a repeatable marker.
struct MarkerSpec {
    char markerChar = '^';
    std::vector<TSequence> markers;
};
MarkerSpec ParseMarkerSpec(std::string_view spec);

// The font of masked edits from the setting face "/" height "/" style; the
// base font, bold, when the setting is empty.
FontSpec MaskFont(std::string_view setting, double zoom, int baseFontHeight);
// The base font height at the zoom.
int ZoomedFontHeight(int height, double zoom);

}  // namespace velt
