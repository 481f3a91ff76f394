#pragma once
// Just enough JSON to read the stand-in Jump List host's records: objects,
// arrays, strings (read as UTF-16, escapes and UTF-8 alike), integers, true,
// false and null.
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

struct JsonValue {
    enum class Type { Null, Bool, Integer, String, Array, Object };
    Type type = Type::Null;
    bool boolean = false;
    std::int64_t integer = 0;
    std::u16string string;
    std::vector<JsonValue> array;
    std::map<std::string, JsonValue> object;

    // The member called key, or null when there is none or this is no object.
    const JsonValue* Find(const std::string& key) const;
};

// The whole text as one value; empty when it is not well-formed.
std::optional<JsonValue> ParseJson(const std::string& text);
