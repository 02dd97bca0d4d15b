#pragma once

#include <exception>
#include <iosfwd>
#include <string>

namespace ZEB {

// Root of the framework's exception family.
class ExceptionBase : public std::exception {
public:
    explicit ExceptionBase(std::string message);
    ~ExceptionBase() override;

    const char* what() const noexcept override;

    // What operator<< writes; subclasses add their own context.
    virtual void print(std::ostream& stream) const;

private:
    std::string sMessage_;
};

std::ostream& operator<<(std::ostream& stream, const ExceptionBase& exception);

} // namespace ZEB
