#pragma once

#include "platform/store/LineStore.h"
#include "platform/store/Registry.h"

#include <optional>
#include <string>
#include <string_view>

namespace zbpg::platform {

// The lines of the registry stand-in's file, the registry export format: a header
// "[HKEY_CURRENT_USER\…]" opens a key (a header of another root opens a key the program never
// reads), lines "name"=data (or @=data for the unnamed value) hold values, and a line ending in
// "\" goes on in the next (the file's last line, into nothing). Key paths have "\" between their
// parts. Every header of a key adds to it, and the last line of a name whose data is understood is
// the value; a new file starts with the format's header line, and every key the program adds is set
// off by blank lines.
class RegistrySyntax final : public LineSyntax {
public:
    static const RegistrySyntax& instance();

    LineMeaning meaning(std::string_view text) const override;
    bool continuesOnNextLine(std::string_view text) const override;
    bool holdsValue(std::string_view valueLine) const override;
    std::string headerLine(std::string_view keyPath) const override;
    std::string valueLine(std::string_view name, std::string_view data) const override;

    // The value a line "name"=data (or @=data) holds; nothing when its data is not understood.
    static std::optional<RegValue> valueOf(std::string_view valueLine);
    // The data of a value line, after its "=".
    static std::string dataOf(const RegValue& value);

private:
    RegistrySyntax();
};

namespace regformat {

inline constexpr std::string_view kRootName = "HKEY_CURRENT_USER";

// A line break or NUL would split the line a path or name is written on and spoil the file.
bool fitsOnOneLine(std::string_view text);

// "\A\\B\" and "A\B" are the same key: empty parts are dropped.
std::string normaliseKeyPath(std::string_view path);

// A path the file can hold: on one line, and not deeper than a registry key can be.
bool isStorablePath(std::string_view path);

// Only the part of a value its type uses, so that a value reads back equal after a reload.
RegValue essentialPart(const RegValue& value);

} // namespace regformat
} // namespace zbpg::platform
