// A small streaming JSON writer for the command line's reports.
#pragma once

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace tp::cli {

class JsonWriter {
public:
    JsonWriter& BeginObject() { return Open('{'); }
    JsonWriter& EndObject() { return Close('}'); }
    JsonWriter& BeginArray() { return Open('['); }
    JsonWriter& EndArray() { return Close(']'); }
    JsonWriter& Key(const std::string& key)
    {
        Separate();
        Quote(key);
        out_ += ": ";
        after_key_ = true;
        return *this;
    }
    JsonWriter& String(const std::string& value)
    {
        Separate();
        Quote(value);
        return *this;
    }
    // Integers print exactly, other numbers with 17 significant digits (they read back to the same double);
    // NaN and infinities, which JSON cannot hold, as null.
    JsonWriter& Number(double value)
    {
        Separate();
        char buffer[32];
        if (!std::isfinite(value))
            out_ += "null";
        else if (value == std::trunc(value) && std::fabs(value) < 1e15) {
            std::snprintf(buffer, sizeof buffer, "%.0f", value);
            out_ += buffer;
        } else {
            std::snprintf(buffer, sizeof buffer, "%.17g", value);
            out_ += buffer;
        }
        return *this;
    }
    JsonWriter& Bool(bool value)
    {
        Separate();
        out_ += value ? "true" : "false";
        return *this;
    }
    JsonWriter& Null()
    {
        Separate();
        out_ += "null";
        return *this;
    }
    const std::string& str() const { return out_; }

private:
    JsonWriter& Open(char c)
    {
        Separate();
        out_ += c;
        first_.push_back(true);
        return *this;
    }
    JsonWriter& Close(char c)
    {
        first_.pop_back();
        out_ += c;
        return *this;
    }
    void Separate()
    {
        if (after_key_) {
            after_key_ = false;
            return;
        }
        if (!first_.empty()) {
            if (!first_.back()) out_ += ", ";
            first_.back() = false;
        }
    }
    // Length of the well-formed UTF-8 sequence starting at s[i] (1 to 4), or 0 when the bytes there are not
    // one (a Linux file name may hold any bytes).
    static std::size_t Utf8Length(const std::string& s, std::size_t i)
    {
        const auto byte = [&](std::size_t k) { return k < s.size() ? static_cast<unsigned char>(s[k]) : 0u; };
        const unsigned lead = byte(i);
        const auto continuation = [&](std::size_t k) { return (byte(k) & 0xC0u) == 0x80u; };
        if (lead < 0x80) return 1;
        if (lead >= 0xC2 && lead <= 0xDF) return continuation(i + 1) ? 2 : 0;
        if (lead >= 0xE0 && lead <= 0xEF) {
            const unsigned second = byte(i + 1);
            if ((lead == 0xE0 && second < 0xA0) || (lead == 0xED && second > 0x9F)) return 0;  // overlong, surrogate
            return continuation(i + 1) && continuation(i + 2) ? 3 : 0;
        }
        if (lead >= 0xF0 && lead <= 0xF4) {
            const unsigned second = byte(i + 1);
            if ((lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second > 0x8F)) return 0;
            return continuation(i + 1) && continuation(i + 2) && continuation(i + 3) ? 4 : 0;
        }
        return 0;
    }

    // Quotes and escapes a string. Bytes that are not UTF-8 are written as the characters U+0080 to U+00FF of
    // the same value, so the output always parses and every byte is still told apart.
    void Quote(const std::string& s)
    {
        out_ += '"';
        for (std::size_t i = 0; i < s.size();) {
            const std::size_t length = Utf8Length(s, i);
            if (length == 0) {
                char buffer[8];
                std::snprintf(buffer, sizeof buffer, "\\u%04x", static_cast<unsigned char>(s[i]));
                out_ += buffer;
                ++i;
                continue;
            }
            if (length > 1) {
                out_.append(s, i, length);
                i += length;
                continue;
            }
            const unsigned char c = static_cast<unsigned char>(s[i++]);
            switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buffer[8];
                    std::snprintf(buffer, sizeof buffer, "\\u%04x", c);
                    out_ += buffer;
                } else {
                    out_ += static_cast<char>(c);
                }
            }
        }
        out_ += '"';
    }

    std::string out_;
    std::vector<bool> first_;
    bool after_key_ = false;
};

}  // namespace tp::cli
