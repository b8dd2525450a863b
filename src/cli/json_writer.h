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
    void Quote(const std::string& s)
    {
        out_ += '"';
        for (unsigned char c : s) {
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
