#pragma once
// A small JSON writer for the command line's --json outputs. Texts of the program are
// Latin-1 byte strings: each byte is written as the code point of the same value.

#include <cstdint>
#include <string>

namespace lirovox {

class JsonWriter {
public:
    JsonWriter& BeginObject();
    JsonWriter& EndObject();
    JsonWriter& BeginArray();
    JsonWriter& EndArray();
    JsonWriter& Key(const std::string& key);
    JsonWriter& String(const std::string& latin1);
    JsonWriter& Int(int64_t v);
    JsonWriter& Number(double v);  // whole numbers print without a fraction
    JsonWriter& Bool(bool v);
    JsonWriter& Null();

    const std::string& Text() const { return out_; }

private:
    void BeforeValue();
    std::string out_;
    bool needComma_ = false;
};

// Latin-1 bytes to UTF-8 (each byte one code point).
std::string Latin1ToUtf8(const std::string& latin1);

}  // namespace lirovox
