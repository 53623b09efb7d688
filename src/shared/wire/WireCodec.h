#pragma once
// The byte encoding shared by both ends of the catalogue connection: 4-byte
// little-endian integers, zero-terminated texts, the session scrambling of
// texts and file chunks, and the challenge encoding of passwords. The client
// (VrSocket) and the reference server both build on these and nothing else.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace velt::wire {

// Appends the 4 bytes of v, least significant first.
void AppendInteger(std::string& out, std::int32_t v);

// The little-endian integer held in the 4 bytes at p.
std::int32_t ReadInteger(const unsigned char* p);

// True when key scrambles: at least 3 characters, beginning with "XX".
bool KeyActive(std::string_view key);

// Scrambles n bytes in place with the key bytes (the key's third character
// on, cyclically; the position restarts at every call). Zero bytes stay zero
// and no other byte becomes zero, so the string framing is kept.
void Scramble(std::string_view key, unsigned char* data, std::size_t n);

// Undoes Scramble with the same key.
void Unscramble(std::string_view key, unsigned char* data, std::size_t n);

// Convenience forms over a whole text.
std::string Scrambled(std::string_view key, std::string text);
std::string Unscrambled(std::string_view key, std::string text);

// The password as sent in the login and password-change requests: a digit
// string built from the challenge and the text, read alternately from its end
// and its start. The empty text encodes to the empty text.
std::string EncodePassword(std::int32_t challenge, std::string_view text);

}  // namespace velt::wire
