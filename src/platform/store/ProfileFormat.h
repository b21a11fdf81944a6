#pragma once

#include "platform/store/LineStore.h"

#include <string>
#include <string_view>

namespace zbpg::platform {

// The lines of a profile (INI) file: "[Section]" opens a section, "key=value" lines follow;
// lines starting with ";" and lines without "=" are other lines. A section's name is one part,
// whatever it holds. The first section of a name and the first line of a key count, as for the
// profile functions; a file without line ends takes "\r\n".
class ProfileSyntax final : public LineSyntax {
public:
    static const ProfileSyntax& instance();

    LineMeaning meaning(std::string_view text) const override;
    bool continuesOnNextLine(std::string_view) const override { return false; }
    bool holdsValue(std::string_view) const override { return true; }
    std::string headerLine(std::string_view section) const override;
    std::string valueLine(std::string_view key, std::string_view data) const override;

    // The raw text after the "=" of a key line; empty for a line written for a key that its
    // syntax does not read as one (empty, or starting with ";" or "[").
    static std::string_view dataOf(std::string_view keyLine);
    // The value of a key line's data as the profile reader gives it: blanks around it removed,
    // one pair of enclosing quotes removed.
    static std::string readerValue(std::string_view data);
    // The data to write so that readerValue gives the text back: quoted when blanks or quotes
    // at its ends would be lost; a line break cannot be held by a line and becomes a blank.
    static std::string writerValue(std::string text);
    // The profile reader's buffer holds maxBytes bytes of the CP932 form; the cut never splits
    // a character.
    static std::string cutToReaderLimit(const std::string& text, std::size_t maxBytes);

private:
    ProfileSyntax();
};

} // namespace zbpg::platform
