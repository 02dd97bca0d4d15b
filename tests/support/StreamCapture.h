#pragma once

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace testsupport {

// Redirects std::cout and std::cerr into strings for the length of a scope.
class StreamCapture {
public:
    StreamCapture() : outBuffer_(std::cout.rdbuf(out_.rdbuf())), errBuffer_(std::cerr.rdbuf(err_.rdbuf())) {}
    ~StreamCapture()
    {
        std::cout.rdbuf(outBuffer_);
        std::cerr.rdbuf(errBuffer_);
    }

    std::string out() const { return out_.str(); }
    std::string err() const { return err_.str(); }

private:
    std::ostringstream out_;
    std::ostringstream err_;
    std::streambuf* outBuffer_;
    std::streambuf* errBuffer_;
};

// The lines of text written through a StreamCapture (ends are plain "\n").
inline std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream stream(text);
    std::string line;
    while (std::getline(stream, line)) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace testsupport
