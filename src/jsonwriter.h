// A small writer of one JSON document into a buffer of its own: objects, arrays, members, and
// values that may be missing, written as null. It knows nothing of networks.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

namespace wlsurvey {

class JsonWriter {
  public:
    /// `expected` bytes of room to start with; the buffer grows as needed.
    explicit JsonWriter(std::size_t expected);

    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }
    /// The next member's name (plain ASCII, as the tool itself names members); its value follows.
    JsonWriter& key(std::string_view name);

    /// `bytes` as a JSON string, quoted: well-formed UTF-8 as it is, every other byte as
    /// U+FFFD, and only '"', '\' and the bytes below 0x20 escaped.
    JsonWriter& string(std::string_view bytes);
    /// A string of plain ASCII that needs no escaping (a name the tool itself chose).
    JsonWriter& word(std::string_view ascii);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();
    /// Bytes as they are, after the document's values (its final line feed).
    void raw(std::string_view bytes) { put(bytes); }

    template <typename Value>
    JsonWriter& number(const std::optional<Value>& value) {
        return value ? number(*value) : null();
    }
    JsonWriter& stringOrNull(const std::optional<std::string_view>& bytes) {
        return bytes ? string(*bytes) : null();
    }
    /// `ascii` as a word, or null when it is empty.
    JsonWriter& wordOrNull(std::string_view ascii) { return ascii.empty() ? null() : word(ascii); }

    /// What was written so far.
    std::string_view text() const { return {buffer_.get(), size_}; }

  private:
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);
    /// A comma before every value of a container but its first; none after a member's name.
    void separate();
    // Inline: a document is made of many short pieces.
    void put(std::string_view bytes) {
        if (bytes.size() > capacity_ - size_) grow(bytes.size());
        std::memcpy(buffer_.get() + size_, bytes.data(), bytes.size());
        size_ += bytes.size();
    }
    void put(char c) {
        if (size_ == capacity_) grow(1);
        buffer_[size_++] = c;
    }
    void grow(std::size_t more);

    std::unique_ptr<char[]> buffer_;
    std::size_t size_ = 0;
    std::size_t capacity_;
    bool first_ = true;      ///< nothing written yet in the container just opened
    bool afterKey_ = false;  ///< a member's name was just written
};

}  // namespace wlsurvey
