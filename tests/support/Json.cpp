#include "support/Json.h"

namespace {

class Parser {
public:
    explicit Parser(const std::string& text) : m_text(text) {}

    bool ParseDocument(JsonValue& out) {
        if (!ParseValue(out, 0)) return false;
        SkipSpace();
        return m_pos == m_text.size();
    }

private:
    static constexpr int kMaxDepth = 32;

    void SkipSpace() {
        while (m_pos < m_text.size() && (m_text[m_pos] == ' ' || m_text[m_pos] == '\t' || m_text[m_pos] == '\n' ||
                                         m_text[m_pos] == '\r'))
            ++m_pos;
    }
    bool Take(char ch) {
        SkipSpace();
        if (m_pos < m_text.size() && m_text[m_pos] == ch) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool TakeWord(const char* word) {
        const std::string w(word);
        if (m_text.compare(m_pos, w.size(), w) != 0) return false;
        m_pos += w.size();
        return true;
    }

    bool ParseValue(JsonValue& out, int depth) {
        if (depth > kMaxDepth) return false;
        SkipSpace();
        if (m_pos >= m_text.size()) return false;
        const char ch = m_text[m_pos];
        if (ch == '{') return ParseObject(out, depth);
        if (ch == '[') return ParseArray(out, depth);
        if (ch == '"') {
            out.type = JsonValue::Type::String;
            return ParseString(out.string);
        }
        if (TakeWord("null")) return out.type = JsonValue::Type::Null, true;
        if (TakeWord("true")) return out.type = JsonValue::Type::Bool, out.boolean = true, true;
        if (TakeWord("false")) return out.type = JsonValue::Type::Bool, out.boolean = false, true;
        return ParseInteger(out);
    }

    bool ParseInteger(JsonValue& out) {
        const size_t start = m_pos;
        if (m_pos < m_text.size() && m_text[m_pos] == '-') ++m_pos;
        const size_t digits = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos] >= '0' && m_text[m_pos] <= '9') ++m_pos;
        if (m_pos == digits || m_pos - digits > 18) return false;
        out.type = JsonValue::Type::Integer;
        out.integer = std::stoll(m_text.substr(start, m_pos - start));
        return true;
    }

    bool ParseArray(JsonValue& out, int depth) {
        ++m_pos;
        out.type = JsonValue::Type::Array;
        if (Take(']')) return true;
        do {
            JsonValue item;
            if (!ParseValue(item, depth + 1)) return false;
            out.array.push_back(std::move(item));
        } while (Take(','));
        return Take(']');
    }

    bool ParseObject(JsonValue& out, int depth) {
        ++m_pos;
        out.type = JsonValue::Type::Object;
        if (Take('}')) return true;
        do {
            SkipSpace();
            std::u16string key;
            if (m_pos >= m_text.size() || m_text[m_pos] != '"' || !ParseString(key) || !Take(':')) return false;
            JsonValue item;
            if (!ParseValue(item, depth + 1)) return false;
            std::string narrowKey;
            for (char16_t c : key) narrowKey.push_back(static_cast<char>(c));
            out.object[narrowKey] = std::move(item);
        } while (Take(','));
        return Take('}');
    }

    bool ParseHex4(char16_t& unit) {
        if (m_pos + 4 > m_text.size()) return false;
        unsigned value = 0;
        for (int i = 0; i < 4; ++i) {
            const char c = m_text[m_pos++];
            value <<= 4;
            if (c >= '0' && c <= '9') value |= c - '0';
            else if (c >= 'a' && c <= 'f') value |= c - 'a' + 10;
            else if (c >= 'A' && c <= 'F') value |= c - 'A' + 10;
            else return false;
        }
        unit = static_cast<char16_t>(value);
        return true;
    }

    // One UTF-8 sequence into UTF-16 units.
    bool ParseUtf8(std::u16string& out) {
        const auto lead = static_cast<unsigned char>(m_text[m_pos++]);
        int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
        if (extra < 0 || m_pos + extra > m_text.size()) return false;
        char32_t cp = lead & (0x3F >> extra);
        for (int i = 0; i < extra; ++i) {
            const auto c = static_cast<unsigned char>(m_text[m_pos++]);
            if ((c & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (c & 0x3F);
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        return true;
    }

    bool ParseString(std::u16string& out) {
        ++m_pos;  // the opening quote
        while (m_pos < m_text.size()) {
            const char ch = m_text[m_pos];
            if (ch == '"') {
                ++m_pos;
                return true;
            }
            if (static_cast<unsigned char>(ch) < 0x20) return false;
            if (static_cast<unsigned char>(ch) >= 0x80) {
                if (!ParseUtf8(out)) return false;
                continue;
            }
            ++m_pos;
            if (ch != '\\') {
                out.push_back(static_cast<char16_t>(ch));
                continue;
            }
            if (m_pos >= m_text.size()) return false;
            const char esc = m_text[m_pos++];
            switch (esc) {
            case '"': out.push_back(u'"'); break;
            case '\\': out.push_back(u'\\'); break;
            case '/': out.push_back(u'/'); break;
            case 'b': out.push_back(u'\b'); break;
            case 'f': out.push_back(u'\f'); break;
            case 'n': out.push_back(u'\n'); break;
            case 'r': out.push_back(u'\r'); break;
            case 't': out.push_back(u'\t'); break;
            case 'u': {
                char16_t unit = 0;
                if (!ParseHex4(unit)) return false;
                out.push_back(unit);
                break;
            }
            default: return false;
            }
        }
        return false;
    }

    const std::string& m_text;
    size_t m_pos = 0;
};

}  // namespace

const JsonValue* JsonValue::Find(const std::string& key) const {
    if (type != Type::Object) return nullptr;
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &it->second;
}

std::optional<JsonValue> ParseJson(const std::string& text) {
    JsonValue value;
    if (!Parser(text).ParseDocument(value)) return std::nullopt;
    return value;
}
