#include "json_document.h"

#include <limits>
#include <set>
#include <vector>

#include "text_codes.h"

namespace {

// Deeper than any document zelctl writes; far shallower than what exhausts memory.
constexpr int kMaxDepth = 64;

struct Refused {
    std::string why;
};

}  // namespace

bool ParseJsonDocument(const std::string& text, Json* value, std::string* error) {
    std::vector<std::set<std::string>> keys;  // the keys seen in each open object
    const Json::parser_callback_t check = [&keys](int depth, Json::parse_event_t event, Json& parsed) {
        if (depth > kMaxDepth) throw Refused{"nested deeper than " + std::to_string(kMaxDepth) + " levels"};
        switch (event) {
            case Json::parse_event_t::object_start: keys.emplace_back(); break;
            case Json::parse_event_t::object_end:
                if (!keys.empty()) keys.pop_back();
                break;
            case Json::parse_event_t::key:
                if (!keys.empty() && parsed.is_string() &&
                    !keys.back().insert(parsed.get<std::string>()).second) {
                    throw Refused{"the key \"" + parsed.get<std::string>() +
                                  "\" appears twice in one object"};
                }
                break;
            default: break;
        }
        return true;
    };
    try {
        *value = Json::parse(text, check);
        return true;
    } catch (const Refused& refused) {
        if (error) *error = Printable(refused.why);
    } catch (const Json::exception& failure) {
        if (error) {
            // "[json.exception.parse_error.101] parse error at line 1, column 2: ...": the words after the
            // tag.
            std::string what = failure.what();
            const size_t tag = what.find("] ");
            // The library quotes what it last read, raw: made safe to print.
            *error = Printable(tag == std::string::npos ? what : what.substr(tag + 2));
        }
    }
    *value = Json();
    return false;
}

std::string JsonText(const Json& value, bool indented) {
    return value.dump(indented ? 2 : -1, ' ', false, Json::error_handler_t::replace);
}

bool JsonInt64(const Json& value, int64_t* number) {
    if (value.is_number_unsigned()) {
        const uint64_t whole = value.get<uint64_t>();
        if (whole > uint64_t(std::numeric_limits<int64_t>::max())) return false;
        *number = int64_t(whole);
        return true;
    }
    if (!value.is_number_integer()) return false;
    *number = value.get<int64_t>();
    return true;
}
