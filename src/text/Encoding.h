#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zbpg {

// Text inside the program is UTF-8. The settings file and the strings of control streams
// keep code page 932 bytes; these convert between the two forms.

// The CP932 bytes of a UTF-8 text, or nothing when the text has a character that CP932
// cannot hold or that would not come back unchanged (U+301C WAVE DASH, for example,
// encodes to 81 60, which decodes to U+FF5E).
[[nodiscard]] std::optional<std::string> utf8ToCp932(std::string_view utf8);

// The UTF-8 byte order mark. The settings file and the registry file are UTF-8 exactly when
// they start with it; without it they are CP932, as the program writes them, even when their
// bytes are valid UTF-8 as well (CP932 half-width katakana often are: "ﾃｽ" is C3 BD, "ý").
inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The UTF-8 text of CP932 bytes, or nothing when the bytes are not valid CP932.
[[nodiscard]] std::optional<std::string> cp932ToUtf8(std::string_view cp932);

bool fitsCp932(std::string_view utf8);

// Only bytes below 0x80: the same text in code page 932 and UTF-8, needing no conversion.
bool isAscii(std::string_view bytes);

// UTF-16LE, the form of wide strings in registry values and control streams. Decoding fails
// on an odd byte count or an unpaired surrogate.
[[nodiscard]] std::optional<std::string> utf16leToUtf8(std::string_view utf16le);
std::string utf8ToUtf16le(std::string_view utf8);

// The text with every byte that starts no valid UTF-8 sequence replaced by U+FFFD.
std::string toValidUtf8(std::string_view bytes);
bool isValidUtf8(std::string_view bytes);

// Whether bytes of unknown encoding are UTF-8 rather than CP932: valid UTF-8 with at least one
// byte beyond ASCII. Text with double-byte CP932 characters is practically never valid UTF-8
// (its lead bytes 81-9F are UTF-8 continuation bytes), while UTF-8 text often is valid CP932
// (as half-width katakana), so validity as UTF-8 decides.
bool looksLikeUtf8(std::string_view bytes);

// Text bytes of a file a user writes by hand (the free message) as UTF-8: UTF-8 with a byte
// order mark or as looksLikeUtf8 tells, else CP932; bytes neither can decode become U+FFFD.
std::string decodeTextBytes(std::string_view bytes);

// Length in bytes of the longest prefix of a UTF-8 text that is at most maxBytes long and
// does not split a character.
std::size_t utf8PrefixLength(std::string_view utf8, std::size_t maxBytes);

// ASCII-only case folding: safe on UTF-8, whose multi-byte sequences never hold ASCII bytes.
std::string asciiLower(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);

} // namespace zbpg
