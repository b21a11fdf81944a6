#include "platform/store/ProfileFormat.h"

#include "text/Encoding.h"

namespace zbpg::platform {
namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

bool isEnclosedInQuotes(std::string_view text) {
    return text.size() >= 2 && (text.front() == '"' || text.front() == '\'') &&
           text.back() == text.front();
}

// Where the "=" of a key line is; npos for every other line.
std::size_t keyLineEquals(std::string_view text) {
    const std::string_view content = trimmed(text);
    const auto equals = text.find('=');
    if (content.starts_with('[') || content.starts_with(';') || equals == std::string_view::npos ||
        trimmed(text.substr(0, equals)).empty())
        return std::string_view::npos;
    return equals;
}

bool isCp932LeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

} // namespace

ProfileSyntax::ProfileSyntax()
    : LineSyntax(Layout{"\r\n", std::nullopt, RepeatedNames::FirstCounts, {}, false}) {}

const ProfileSyntax& ProfileSyntax::instance() {
    static const ProfileSyntax syntax;
    return syntax;
}

LineMeaning ProfileSyntax::meaning(std::string_view text) const {
    const std::string_view content = trimmed(text);
    if (content.starts_with('[')) {
        const auto close = content.find(']');
        return {LineMeaning::Kind::Header,
                std::string(trimmed(content.substr(
                    1, close == std::string_view::npos ? std::string_view::npos : close - 1)))};
    }
    const auto equals = keyLineEquals(text);
    if (equals == std::string_view::npos)
        return {};
    return {LineMeaning::Kind::Value, std::string(trimmed(text.substr(0, equals)))};
}

std::string ProfileSyntax::headerLine(std::string_view section) const {
    return "[" + std::string(section) + "]";
}

std::string ProfileSyntax::valueLine(std::string_view key, std::string_view data) const {
    std::string line;
    line.reserve(key.size() + 1 + data.size());
    line.append(key).append("=").append(data);
    return line;
}

std::string_view ProfileSyntax::dataOf(std::string_view keyLine) {
    const auto equals = keyLineEquals(keyLine);
    return equals == std::string_view::npos ? std::string_view() : keyLine.substr(equals + 1);
}

std::string ProfileSyntax::readerValue(std::string_view data) {
    std::string_view value = trimmed(data);
    if (isEnclosedInQuotes(value)) {
        value.remove_prefix(1);
        value.remove_suffix(1);
    }
    return std::string(value);
}

std::string ProfileSyntax::writerValue(std::string text) {
    for (char& c : text) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
    const bool blankAtEnd = !text.empty() && (isBlank(text.front()) || isBlank(text.back()));
    if (blankAtEnd || isEnclosedInQuotes(text))
        return '"' + text + '"';
    return text;
}

std::string ProfileSyntax::cutToReaderLimit(const std::string& text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) // a CP932 form is never longer than the UTF-8 one
        return text;
    const auto cp932 = utf8ToCp932(text);
    if (!cp932)
        return text.substr(0, utf8PrefixLength(text, maxBytes));
    if (cp932->size() <= maxBytes)
        return text;
    std::size_t end = 0;
    while (end < cp932->size()) {
        const std::size_t next =
            end + (isCp932LeadByte(static_cast<unsigned char>((*cp932)[end])) ? 2 : 1);
        if (next > maxBytes)
            break;
        end = next;
    }
    return cp932ToUtf8(cp932->substr(0, end)).value_or(std::string());
}

} // namespace zbpg::platform
