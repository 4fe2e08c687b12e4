#include "json_value.h"

#include <cstdint>
#include <cstdio>

#include "text_codes.h"

namespace {

// Deeper nesting than any backup file has is refused, so that a hostile file cannot
// exhaust the stack.
constexpr int kMaxDepth = 64;

class Parser {
public:
    explicit Parser(const std::string& text) : text_(text) {}

    bool Document(JsonValue* value, std::string* error) {
        SkipSpace();
        if (!Value(value, 0)) return Fail(error);
        SkipSpace();
        if (at_ != text_.size()) {
            problem_ = "unexpected text after the end of the document";
            return Fail(error);
        }
        return true;
    }

private:
    bool Fail(std::string* error) {
        if (error) {
            // 1-based line and column of the place that stopped the parser.
            size_t line = 1, column = 1;
            for (size_t i = 0; i < at_ && i < text_.size(); ++i) {
                if (text_[i] == '\n') {
                    ++line;
                    column = 1;
                } else {
                    ++column;
                }
            }
            *error = problem_ + " at line " + std::to_string(line) + ", column " + std::to_string(column);
        }
        return false;
    }

    bool Problem(const std::string& what) {
        problem_ = what;
        return false;
    }

    void SkipSpace() {
        while (at_ < text_.size() &&
               (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r')) {
            ++at_;
        }
    }

    bool Literal(const char* word) {
        size_t n = 0;
        while (word[n]) ++n;
        if (text_.compare(at_, n, word) != 0) return Problem("unknown word");
        at_ += n;
        return true;
    }

    bool Value(JsonValue* value, int depth) {
        if (depth > kMaxDepth) return Problem("nested too deeply");
        if (at_ >= text_.size()) return Problem("unexpected end of the document");
        const char c = text_[at_];
        if (c == '{') return ObjectValue(value, depth);
        if (c == '[') return ArrayValue(value, depth);
        if (c == '"') {
            std::string s;
            if (!StringValue(&s)) return false;
            *value = JsonValue::String(s);
            return true;
        }
        if (c == 't') { if (!Literal("true")) return false; *value = JsonValue::Bool(true); return true; }
        if (c == 'f') { if (!Literal("false")) return false; *value = JsonValue::Bool(false); return true; }
        if (c == 'n') { if (!Literal("null")) return false; *value = JsonValue(); return true; }
        if (c == '-' || (c >= '0' && c <= '9')) return NumberValue(value);
        return Problem("unexpected character");
    }

    bool Digits() {
        const size_t start = at_;
        while (at_ < text_.size() && text_[at_] >= '0' && text_[at_] <= '9') ++at_;
        return at_ > start;
    }

    bool NumberValue(JsonValue* value) {
        const size_t start = at_;
        if (text_[at_] == '-') ++at_;
        if (at_ < text_.size() && text_[at_] == '0') {
            ++at_;
        } else if (!Digits()) {
            return Problem("malformed number");
        }
        if (at_ < text_.size() && text_[at_] == '.') {
            ++at_;
            if (!Digits()) return Problem("malformed number");
        }
        if (at_ < text_.size() && (text_[at_] == 'e' || text_[at_] == 'E')) {
            ++at_;
            if (at_ < text_.size() && (text_[at_] == '+' || text_[at_] == '-')) ++at_;
            if (!Digits()) return Problem("malformed number");
        }
        *value = JsonValue::NumberFromText(text_.substr(start, at_ - start));
        return true;
    }

    int Hex4() {
        if (at_ + 4 > text_.size()) return -1;
        int code = 0;
        for (int i = 0; i < 4; ++i) {
            const int digit = HexDigitValue(text_[at_ + size_t(i)]);
            if (digit < 0) return -1;
            code = code * 16 + digit;
        }
        at_ += 4;
        return code;
    }

    bool StringValue(std::string* out) {
        ++at_;  // opening quote
        while (at_ < text_.size()) {
            const unsigned char c = static_cast<unsigned char>(text_[at_++]);
            if (c == '"') return true;
            if (c < 0x20) return Problem("control character in a string");
            if (c != '\\') {
                out->push_back(char(c));
                continue;
            }
            if (at_ >= text_.size()) break;
            const char e = text_[at_++];
            switch (e) {
            case '"': out->push_back('"'); break;
            case '\\': out->push_back('\\'); break;
            case '/': out->push_back('/'); break;
            case 'b': out->push_back('\b'); break;
            case 'f': out->push_back('\f'); break;
            case 'n': out->push_back('\n'); break;
            case 'r': out->push_back('\r'); break;
            case 't': out->push_back('\t'); break;
            case 'u': {
                int code = Hex4();
                if (code < 0) return Problem("malformed \\u escape");
                uint32_t full = uint32_t(code);
                if (code >= 0xD800 && code <= 0xDBFF) {
                    if (at_ + 2 > text_.size() || text_[at_] != '\\' || text_[at_ + 1] != 'u') {
                        return Problem("unpaired surrogate");
                    }
                    at_ += 2;
                    const int low = Hex4();
                    if (low < 0xDC00 || low > 0xDFFF) return Problem("unpaired surrogate");
                    full = 0x10000 + ((uint32_t(code) - 0xD800) << 10) + (uint32_t(low) - 0xDC00);
                } else if (code >= 0xDC00 && code <= 0xDFFF) {
                    return Problem("unpaired surrogate");
                }
                AppendUtf8(out, full);
                break;
            }
            default: return Problem("unknown escape in a string");
            }
        }
        return Problem("unterminated string");
    }

    bool ArrayValue(JsonValue* value, int depth) {
        ++at_;
        *value = JsonValue::Array();
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == ']') {
            ++at_;
            return true;
        }
        for (;;) {
            JsonValue item;
            SkipSpace();
            if (!Value(&item, depth + 1)) return false;
            value->Push(std::move(item));
            SkipSpace();
            if (at_ < text_.size() && text_[at_] == ',') { ++at_; continue; }
            if (at_ < text_.size() && text_[at_] == ']') { ++at_; return true; }
            return Problem("expected , or ] in an array");
        }
    }

    bool ObjectValue(JsonValue* value, int depth) {
        ++at_;
        *value = JsonValue::Object();
        SkipSpace();
        if (at_ < text_.size() && text_[at_] == '}') {
            ++at_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != '"') return Problem("expected a member name");
            std::string key;
            if (!StringValue(&key)) return false;
            // Readers take one value per name; a repeated name would hide which one counts.
            if (value->Find(key)) return Problem("the member name \"" + Printable(key) + "\" appears twice");
            SkipSpace();
            if (at_ >= text_.size() || text_[at_] != ':') return Problem("expected : after a member name");
            ++at_;
            SkipSpace();
            JsonValue member;
            if (!Value(&member, depth + 1)) return false;
            value->Set(key, std::move(member));
            SkipSpace();
            if (at_ < text_.size() && text_[at_] == ',') { ++at_; continue; }
            if (at_ < text_.size() && text_[at_] == '}') { ++at_; return true; }
            return Problem("expected , or } in an object");
        }
    }

    const std::string& text_;
    size_t at_ = 0;
    std::string problem_;
};

}  // namespace

JsonValue JsonValue::Bool(bool value) {
    JsonValue v;
    v.kind_ = Kind::Bool;
    v.bool_ = value;
    return v;
}

JsonValue JsonValue::Number(int64_t value) { return NumberFromText(std::to_string(value)); }
JsonValue JsonValue::Number(uint64_t value) { return NumberFromText(std::to_string(value)); }

JsonValue JsonValue::NumberFromText(const std::string& text) {
    JsonValue v;
    v.kind_ = Kind::Number;
    v.text_ = text;
    return v;
}

JsonValue JsonValue::String(const std::string& value) {
    JsonValue v;
    v.kind_ = Kind::String;
    v.text_ = value;
    return v;
}

JsonValue JsonValue::Array() {
    JsonValue v;
    v.kind_ = Kind::Array;
    return v;
}

JsonValue JsonValue::Object() {
    JsonValue v;
    v.kind_ = Kind::Object;
    return v;
}

JsonValue& JsonValue::Set(const std::string& key, JsonValue value) {
    keys_.push_back(key);
    items_.push_back(std::move(value));
    return *this;
}

JsonValue& JsonValue::Push(JsonValue value) {
    items_.push_back(std::move(value));
    return *this;
}

const JsonValue* JsonValue::Find(const std::string& key) const {
    if (kind_ != Kind::Object) return nullptr;
    // The last of duplicate keys wins, as in most readers.
    for (size_t i = keys_.size(); i-- > 0;) {
        if (keys_[i] == key) return &items_[i];
    }
    return nullptr;
}

bool JsonValue::AsInt64(int64_t* value) const {
    if (kind_ != Kind::Number || text_.find_first_of(".eE") != std::string::npos) return false;
    const bool negative = !text_.empty() && text_[0] == '-';
    uint64_t magnitude = 0;
    for (size_t i = negative ? 1 : 0; i < text_.size(); ++i) {
        const uint64_t digit = uint64_t(text_[i] - '0');
        if (magnitude > (uint64_t(INT64_MAX) + (negative ? 1 : 0) - digit) / 10) return false;
        magnitude = magnitude * 10 + digit;
    }
    *value = negative ? int64_t(0 - magnitude) : int64_t(magnitude);
    return true;
}

bool JsonValue::AsUint64(uint64_t* value) const {
    if (kind_ != Kind::Number || text_.find_first_of(".eE-") != std::string::npos) return false;
    uint64_t result = 0;
    for (char c : text_) {
        const uint64_t digit = uint64_t(c - '0');
        if (result > (UINT64_MAX - digit) / 10) return false;
        result = result * 10 + digit;
    }
    *value = result;
    return true;
}

std::string JsonQuote(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                out += escape;
            } else {
                out.push_back(char(c));
            }
        }
    }
    return out + "\"";
}

std::string JsonValue::Serialize(bool indented) const {
    std::string out;
    Write(out, indented, 0);
    return out;
}

void JsonValue::Write(std::string& out, bool indented, int depth) const {
    const auto newline = [&](int level) {
        if (!indented) return;
        out.push_back('\n');
        out.append(size_t(level) * 2, ' ');
    };
    switch (kind_) {
    case Kind::Null: out += "null"; return;
    case Kind::Bool: out += bool_ ? "true" : "false"; return;
    case Kind::Number: out += text_; return;
    case Kind::String: out += JsonQuote(text_); return;
    case Kind::Array:
    case Kind::Object: {
        const bool object = kind_ == Kind::Object;
        // A list or object of plain values stays on one line even when indented.
        bool flat = true;
        for (const JsonValue& item : items_) flat = flat && item.kind_ != Kind::Array && item.kind_ != Kind::Object;
        if (indented && flat) {
            out.push_back(object ? '{' : '[');
            for (size_t i = 0; i < items_.size(); ++i) {
                if (i > 0) out += ", ";
                if (object) out += JsonQuote(keys_[i]) + ": ";
                items_[i].Write(out, false, depth + 1);
            }
            out.push_back(object ? '}' : ']');
            return;
        }
        out.push_back(object ? '{' : '[');
        for (size_t i = 0; i < items_.size(); ++i) {
            if (i > 0) out.push_back(',');
            newline(depth + 1);
            if (object) {
                out += JsonQuote(keys_[i]);
                out += indented ? ": " : ":";
            }
            items_[i].Write(out, indented, depth + 1);
        }
        if (!items_.empty()) newline(depth);
        out.push_back(object ? '}' : ']');
        return;
    }
    }
}

bool JsonValue::Parse(const std::string& text, JsonValue* value, std::string* error) {
    JsonValue result;
    Parser parser(text);
    if (!parser.Document(&result, error)) return false;
    *value = std::move(result);
    return true;
}
