// A small writer of one JSON document into a string: objects, arrays, members, and values
// that may be missing, written as null. It knows nothing of networks.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace wlsurvey {

/// Appends `bytes` as a JSON string, quoted: well-formed UTF-8 as it is, every other byte as
/// U+FFFD, and only '"', '\' and the bytes below 0x20 escaped.
void appendJsonString(std::string& json, std::string_view bytes);

class JsonWriter {
  public:
    explicit JsonWriter(std::string& json) : json_(json) {}

    JsonWriter& beginObject() { return open('{'); }
    JsonWriter& endObject() { return close('}'); }
    JsonWriter& beginArray() { return open('['); }
    JsonWriter& endArray() { return close(']'); }
    /// The next member's name; its value follows.
    JsonWriter& key(std::string_view name);

    JsonWriter& string(std::string_view bytes);
    /// A string of plain ASCII that needs no escaping (a name the tool itself chose).
    JsonWriter& word(std::string_view ascii);
    JsonWriter& number(std::int64_t value);
    JsonWriter& boolean(bool value);
    JsonWriter& null();

    template <typename Value>
    JsonWriter& number(const std::optional<Value>& value) {
        return value ? number(*value) : null();
    }
    JsonWriter& stringOrNull(const std::optional<std::string_view>& bytes) {
        return bytes ? string(*bytes) : null();
    }
    /// `ascii` as a word, or null when it is empty.
    JsonWriter& wordOrNull(std::string_view ascii) { return ascii.empty() ? null() : word(ascii); }

  private:
    JsonWriter& open(char bracket);
    JsonWriter& close(char bracket);
    /// A comma before every value of a container but its first; none after a member's name.
    void separate();

    std::string& json_;
    bool first_ = true;      ///< nothing written yet in the container just opened
    bool afterKey_ = false;  ///< a member's name was just written
};

}  // namespace wlsurvey
