#pragma once
// The parameter lists of the reader services: texts made of items "&" name
// "=" value, sent in the reader services' request and answered the same way.
// A value is written with "%" as "%25" and "&" as "%26", so that no value
// can add an item; a value read back turns "%hh" into its byte.

#include <string>
#include <string_view>

namespace velt {

// The value as it goes into an item: every "%" becomes "%25", then every
// "&" becomes "%26".
std::string ReaderEscape(std::string_view value);
// One item: "&" name "=" and the value escaped.
std::string ReaderParameter(std::string_view name, std::string_view value);

// The value of name in an answer: the first "&" name "=" (matched exactly)
// starts it and it runs to the next "&", a zero byte or the end; "%hh"
// stands for that byte; a "%" with fewer than two characters after it, or
// with characters that are no hexadecimal digits, gives "@" (those
// characters are skipped). The empty text when name is missing.
std::string ReaderValue(std::string_view answer, std::string_view name);

// The operation code of a command: its "op" value when that is one
// character, a space otherwise.
char OperationCode(std::string_view command);
// The identification window's caption for an operation code; empty for a
// code the reader services do not know.
std::string OperationCaption(char code);

}  // namespace velt
