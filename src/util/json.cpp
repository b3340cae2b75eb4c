#include "util/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace lirovox {

std::string Latin1ToUtf8(const std::string& latin1) {
    std::string out;
    out.reserve(latin1.size());
    for (unsigned char c : latin1) {
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
        } else {
            out.push_back(static_cast<char>(0xC0 | (c >> 6)));
            out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
        }
    }
    return out;
}

void JsonWriter::BeforeValue() {
    if (needComma_) out_.push_back(',');
    needComma_ = true;
}

JsonWriter& JsonWriter::BeginObject() {
    BeforeValue();
    out_.push_back('{');
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndObject() {
    out_.push_back('}');
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::BeginArray() {
    BeforeValue();
    out_.push_back('[');
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::EndArray() {
    out_.push_back(']');
    needComma_ = true;
    return *this;
}

JsonWriter& JsonWriter::Key(const std::string& key) {
    String(key);
    out_.push_back(':');
    needComma_ = false;
    return *this;
}

JsonWriter& JsonWriter::String(const std::string& latin1) {
    BeforeValue();
    out_.push_back('"');
    for (unsigned char c : latin1) {
        switch (c) {
            case '"': out_ += "\\\""; break;
            case '\\': out_ += "\\\\"; break;
            case '\n': out_ += "\\n"; break;
            case '\r': out_ += "\\r"; break;
            case '\t': out_ += "\\t"; break;
            case '\b': out_ += "\\b"; break;
            case '\f': out_ += "\\f"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out_ += buf;
                } else if (c < 0x80) {
                    out_.push_back(static_cast<char>(c));
                } else {
                    out_.push_back(static_cast<char>(0xC0 | (c >> 6)));
                    out_.push_back(static_cast<char>(0x80 | (c & 0x3F)));
                }
        }
    }
    out_.push_back('"');
    return *this;
}

JsonWriter& JsonWriter::Int(int64_t v) {
    BeforeValue();
    out_ += std::to_string(v);
    return *this;
}

JsonWriter& JsonWriter::Number(double v) {
    BeforeValue();
    if (!std::isfinite(v)) {
        out_ += "null";
    } else if (v == std::trunc(v) && std::fabs(v) < 1e15) {
        out_ += std::to_string(static_cast<int64_t>(v));
    } else {
        char buf[40];
        auto res = std::to_chars(buf, buf + sizeof buf, v);  // shortest exact form
        out_.append(buf, res.ptr);
    }
    return *this;
}

JsonWriter& JsonWriter::Bool(bool v) {
    BeforeValue();
    out_ += v ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::Null() {
    BeforeValue();
    out_ += "null";
    return *this;
}

}  // namespace lirovox
