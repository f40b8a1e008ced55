#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kivo {

// Game files hold one byte per character. In memory a text is a std::string whose chars are those bytes
// (Latin-1); it only becomes UTF-8 at the edge (screen, terminal, JSON).

// The value of a fixed-width text field: the bytes before the first zero byte, or all of them.
std::string FieldValue(std::span<const std::uint8_t> field);

// The text with trailing blanks removed.
std::string TrimRight(std::string_view text);

// The text cut or blank-padded to exactly `width` characters.
std::string PadBlank(std::string_view text, std::size_t width);

// The field's value blank-padded to the field's width, as the system keeps texts in memory.
std::string FieldTextPadded(std::span<const std::uint8_t> field);
// The same into `out`, whose storage is kept: for jobs that decode thousands of teams.
void AssignFieldTextPadded(std::span<const std::uint8_t> field, std::string& out);
// Whether `shown` is FieldTextPadded(field), told without making it.
bool IsFieldTextPadded(std::span<const std::uint8_t> field, std::string_view shown);

// Removes trailing blanks of the field and sets every byte after the last non-blank one to zero.
// Zero bytes already in the field stay.
void NulPadText(std::span<std::uint8_t> field);

// Copies the text into the field (cut to its width, blank-padded) and applies NulPadText.
void StoreText(std::span<std::uint8_t> field, std::string_view text);

std::string Latin1ToUtf8(std::string_view latin1);

// The Latin-1 form of a UTF-8 text, or nothing when a character has no Latin-1 form or the
// UTF-8 is malformed.
std::optional<std::string> Utf8ToLatin1(std::string_view utf8);

} // namespace kivo
