#pragma once
// Reading a form description into the form model: one pass over the text
// with one token of look-ahead. Errors never stop the reader: each is kept
// as the two texts the user is shown — the message with the token it met
// (" [jest: " token "]"), then the source line ("Linia: \"" line "\"") — and
// reading goes on, so the tree it returns is whatever could be built.
//
// The text is read directly (the server's CR-separated text, or a file's
// lines), so a form code chosen by a server never becomes a file name.
// Nesting of blocks and parentheses is bounded, so a description cannot
// exhaust the stack; past the bound the rest of the text is ignored.

#include "forms/my_formular.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velt {

// One error as the user sees it: the message, and the source line when the
// error has one (the messages of COMBO lists and missing files have none).
struct FormMessage {
    std::string text;
    std::string line;
};

struct FormReadResult {
    std::unique_ptr<my_formular> root;  // none only when a file could not be read
    std::vector<FormMessage> messages;  // at most kMaxFormMessages
};

inline constexpr std::size_t kMaxFormMessages = 500;
// Blocks inside blocks, and parentheses inside parentheses, at most this deep.
inline constexpr int kMaxFormNesting = 500;

// Reads a description; pictures are loaded from pictureDirectory.
FormReadResult ReadFormDescription(std::string_view text, const std::string& pictureDirectory);
// Reads the description in a file; "Brak pliku \"" name "\"" and no root
// when it cannot be read.
FormReadResult ReadFormDescriptionFile(const std::string& fileName, const std::string& pictureDirectory);

}  // namespace velt
