#include "products/MarkupText.h"

#include <cstdint>

#include "core/Cp1251.h"

namespace {

// Length of the UTF-8 sequence that begins at text[at], 0 when it is not a well-formed one
// (overlong forms, surrogates and code points past U+10FFFF are not).
std::size_t Utf8SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length;
    std::uint8_t low = 0x80, high = 0xBF;  // bounds of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3, low = lead == 0xE0 ? 0xA0 : 0x80, high = lead == 0xED ? 0x9F : 0xBF;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4, low = lead == 0xF0 ? 0x90 : 0x80, high = lead == 0xF4 ? 0x8F : 0xBF;
    else return 0;
    if (at + length > text.size()) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i)
        if ((byte(at + i) & 0xC0) != 0x80) return 0;
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = Utf8SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// U+FFFE and U+FFFF, which XML does not allow either.
bool IsNonCharacter(std::string_view text, std::size_t at) {
    return text.substr(at, 2) == "\xEF\xBF" && at + 2 < text.size() &&
           (static_cast<std::uint8_t>(text[at + 2]) & 0xFE) == 0xBE;
}

}  // namespace

std::string NameAsUtf8(std::string_view name) {
    if (!IsUtf8(name)) return Cp1251ToUtf8(name);
    std::string text;
    for (std::size_t at = 0; at < name.size();) {
        const std::size_t length = Utf8SequenceLength(name, at);
        if (!IsNonCharacter(name, at)) text.append(name.substr(at, length));
        at += length;
    }
    return text;
}

std::string NameAsCp1251(std::string_view name) {
    return IsUtf8(name) ? Utf8ToCp1251(name) : std::string(name);
}

std::string MarkupEscaped(std::string_view text) {
    struct Entity {
        char ch;
        std::string_view text;
    };
    static constexpr Entity Entities[] = {{'&', "&amp;"}, {'<', "&lt;"}, {'>', "&gt;"}};
    std::string out;
    out.reserve(text.size());
    for (const char ch : text) {
        const auto byte = static_cast<std::uint8_t>(ch);
        if (byte < 0x20 || byte == 0x7F) continue;
        std::string_view replacement(&ch, 1);
        for (const Entity& entity : Entities)
            if (entity.ch == ch) replacement = entity.text;
        out += replacement;
    }
    return out;
}
