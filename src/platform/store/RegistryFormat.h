#pragma once

#include "platform/store/Registry.h"

#include <optional>
#include <string>
#include <string_view>

// The text form of the registry stand-in's file (the registry export format): key headers,
// value lines and their data, as Registry.cpp reads and writes them line by line.
namespace zbpg::platform::regformat {

inline constexpr std::string_view kFileHeader = "Windows Registry Editor Version 5.00";
inline constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

// A line break or NUL would split the line a path or name is written on and spoil the file.
bool fitsOnOneLine(std::string_view text);

// "\A\\B\" and "A\B" are the same key: empty parts are dropped.
std::string normaliseKeyPath(std::string_view path);

// A path the file can hold: on one line, and not deeper than a registry key can be.
bool isStorablePath(std::string_view path);

// Only the part of a value its type uses, so that a value reads back equal after a reload.
RegValue essentialPart(const RegValue& value);

// A name or a string value in double quotes, as the file writes them.
std::string quoted(std::string_view text);

// The data of a value line, after its "=".
std::string valueData(const RegValue& value);

// The "[HKEY_CURRENT_USER\\…]" line of a key.
std::string keyHeader(const std::string& path);

// The value a line "name"=data (or @=data) holds; nothing when its data is not understood.
std::optional<RegValue> parseValueLine(std::string_view line);

// The name of a value line, whatever its data: "" for "@".
std::optional<std::string> parseValueName(std::string_view line);

// The text without blanks and tabs at its ends.
std::string_view trimmedBlanks(std::string_view text);

// Every line that starts with "[" opens a key of its own, so that the values after it are
// never taken for those of the key before it, whatever root it names.
bool isKeyHeader(std::string_view line);

// The key path of a "[HKEY_CURRENT_USER\…]" header; nothing for other roots and malformed
// headers.
std::optional<std::string> parseKeyHeader(std::string_view line);

// The text a line means where long data is wrapped: a line ending in "\" goes on in the next
// one, whose leading indentation is dropped.
std::string logicalText(std::string_view text);

} // namespace zbpg::platform::regformat
