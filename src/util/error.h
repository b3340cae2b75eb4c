#pragma once
// The one error type of the core: a failure the user must be told about (a file that
// cannot be read or written, bad input). Its message is complete and names the file.

#include <stdexcept>
#include <string>

namespace lirovox {

class Error : public std::runtime_error {
public:
    explicit Error(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace lirovox
