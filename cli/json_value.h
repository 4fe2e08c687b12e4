// A small JSON value: enough to print zelctl's output and to read its backup files.
// Numbers keep their text, so 64-bit counters pass through without rounding.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class JsonValue {
public:
    enum class Kind { Null, Bool, Number, String, Array, Object };

    JsonValue() = default;
    static JsonValue Bool(bool value);
    static JsonValue Number(int64_t value);
    static JsonValue Number(uint64_t value);
    static JsonValue Number(int value) { return Number(int64_t(value)); }
    static JsonValue Number(uint32_t value) { return Number(uint64_t(value)); }
    static JsonValue String(const std::string& value);
    static JsonValue Array();
    // A number from text already checked to be a JSON number.
    static JsonValue NumberFromText(const std::string& text);
    static JsonValue Object();

    Kind kind() const { return kind_; }
    bool IsNumber() const { return kind_ == Kind::Number; }
    bool IsString() const { return kind_ == Kind::String; }
    bool IsArray() const { return kind_ == Kind::Array; }
    bool IsObject() const { return kind_ == Kind::Object; }

    // Object: appends (keys keep their order). Array: appends.
    JsonValue& Set(const std::string& key, JsonValue value);
    JsonValue& Push(JsonValue value);

    // Object member, or nullptr.
    const JsonValue* Find(const std::string& key) const;
    const std::vector<JsonValue>& Items() const { return items_; }
    const std::string& Text() const { return text_; }  // string contents or number text

    // Integral numbers only (no fraction, no exponent), in range.
    bool AsInt64(int64_t* value) const;
    bool AsUint64(uint64_t* value) const;

    // Compact on one line, or indented by two spaces per level.
    std::string Serialize(bool indented = false) const;

    // Parses a whole document; false with a message naming the place on error.
    static bool Parse(const std::string& text, JsonValue* value, std::string* error);

private:
    void Write(std::string& out, bool indented, int depth) const;

    Kind kind_ = Kind::Null;
    bool bool_ = false;
    std::string text_;
    std::vector<JsonValue> items_;        // array items, object values
    std::vector<std::string> keys_;       // object keys, parallel to items_
};

std::string JsonQuote(const std::string& text);
