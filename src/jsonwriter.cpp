#include "jsonwriter.h"

#include <charconv>

namespace wlsurvey {

namespace {

/// How many bytes of well-formed UTF-8 start `text` (RFC 3629: no overlong forms, no
/// surrogates, nothing past U+10FFFF); 0 when none do.
std::size_t utf8Length(std::string_view text) {
    const auto byte = [&text](std::size_t i) {
        return i < text.size() ? static_cast<unsigned char>(text[i]) : 0u;
    };
    const unsigned lead = byte(0);
    if (lead < 0x80) return 1;
    // The second byte's range depends on the lead; every later one is 80-BF.
    std::size_t length;
    unsigned low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;   // overlong below
        if (lead == 0xED) high = 0x9F;  // surrogates above
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;   // overlong below
        if (lead == 0xF4) high = 0x8F;  // past U+10FFFF above
    } else {
        return 0;
    }
    if (byte(1) < low || byte(1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(i) < 0x80 || byte(i) > 0xBF) return 0;
    }
    return length;
}

}  // namespace

JsonWriter& JsonWriter::string(std::string_view bytes) {
    separate();
    static constexpr char kHex[] = "0123456789abcdef";
    put('"');
    while (!bytes.empty()) {
        // A run of printable ASCII that needs no escape goes in whole.
        std::size_t plain = 0;
        while (plain < bytes.size() && bytes[plain] >= 0x20 && bytes[plain] < 0x7f &&
               bytes[plain] != '"' && bytes[plain] != '\\') {
            ++plain;
        }
        if (plain > 0) {
            put(bytes.substr(0, plain));
            bytes.remove_prefix(plain);
            continue;
        }
        const char c = bytes.front();
        const auto byte = static_cast<unsigned char>(c);
        std::size_t length = 1;
        if (c == '"' || c == '\\') {
            put('\\');
            put(c);
        } else if (byte < 0x20) {
            static constexpr char kShort[] = "btn\0fr";  // 0x08 to 0x0D
            if (byte >= 0x08 && byte <= 0x0D && kShort[byte - 0x08] != '\0') {
                put('\\');
                put(kShort[byte - 0x08]);
            } else {
                put("\\u00");
                put(kHex[byte >> 4]);
                put(kHex[byte & 15]);
            }
        } else if (byte < 0x80) {
            put(c);
        } else if ((length = utf8Length(bytes)) > 0) {
            put(bytes.substr(0, length));
        } else {
            length = 1;
            put("\xEF\xBF\xBD");  // U+FFFD for a byte that starts no character
        }
        bytes.remove_prefix(length);
    }
    put('"');
    return *this;
}

JsonWriter::JsonWriter(std::size_t expected)
    : buffer_(new char[expected > 0 ? expected : 1]), capacity_(expected > 0 ? expected : 1) {}

void JsonWriter::grow(std::size_t more) {
    const std::size_t capacity = 2 * (size_ + more);
    std::unique_ptr<char[]> bigger(new char[capacity]);
    std::memcpy(bigger.get(), buffer_.get(), size_);
    buffer_ = std::move(bigger);
    capacity_ = capacity;
}

void JsonWriter::separate() {
    if (!first_ && !afterKey_) put(',');
    first_ = false;
    afterKey_ = false;
}

JsonWriter& JsonWriter::open(char bracket) {
    separate();
    put(bracket);
    first_ = true;
    return *this;
}

JsonWriter& JsonWriter::close(char bracket) {
    put(bracket);
    first_ = false;
    afterKey_ = false;
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separate();
    put('"');
    put(name);
    put("\":");
    afterKey_ = true;
    return *this;
}

JsonWriter& JsonWriter::word(std::string_view ascii) {
    separate();
    put('"');
    put(ascii);
    put('"');
    return *this;
}

JsonWriter& JsonWriter::number(std::int64_t value) {
    separate();
    char digits[24];
    put({digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, value).ptr -
                                          digits)});
    return *this;
}

JsonWriter& JsonWriter::boolean(bool value) {
    separate();
    put(value ? std::string_view("true") : std::string_view("false"));
    return *this;
}

JsonWriter& JsonWriter::null() {
    separate();
    put(std::string_view("null"));
    return *this;
}

}  // namespace wlsurvey
