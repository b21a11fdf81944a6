#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zbpg {

// A list control as the settings file keeps it, free of any toolkit: the window maps its
// list widgets to and from this description.
struct ListControlDescription {
    std::string className = "TListBox";
    std::string name;
    std::int32_t tag = 0;
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 121;
    std::int32_t height = 97;
    std::int32_t itemHeight = 16;
    std::vector<std::string> lines; // UTF-8
    std::int32_t tabOrder = 0;
    bool visible = true;

    bool operator==(const ListControlDescription&) const = default;
};

// The control stream: "TPF0", the class and control names, the properties Tag (when not 0),
// Left, Top, Width, Height, ItemHeight, Items.Strings (when there are lines), TabOrder and
// Visible (when false), then the end bytes. Texts are CP932; a line CP932 cannot hold is
// written as a UTF-8 string value so that it survives.
std::vector<std::uint8_t> encodeComponentStream(const ListControlDescription& control);

// The control a stream describes, or nothing when it cannot be decoded: a wrong signature,
// another class or control name, a property or value kind the reader does not know, or
// truncated data. Properties the stream leaves out take the values of a new control, except
// the tab order, which belongs to the window and stays as in current.
std::optional<ListControlDescription> decodeComponentStream(const std::vector<std::uint8_t>& stream,
                                                            const ListControlDescription& current);

} // namespace zbpg
