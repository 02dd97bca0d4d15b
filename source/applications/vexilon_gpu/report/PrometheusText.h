#pragma once

#include <string>
#include <utility>
#include <vector>

// Prometheus' text exposition format, version 0.0.4 (the one node_exporter's
// textfile collector reads): gauge families, each written whole under its one
// HELP and TYPE line, whatever order their samples come in. A family without
// a sample is left out.
class PrometheusText {
public:
    typedef std::vector<std::pair<std::string, std::string>> Labels;

    // A sample of the gauge family `name` (described by `help` when it is new).
    void Gauge(const std::string& name, const std::string& help, const Labels& labels, double value);

    // The families in the order they were first named; each line ends in a line feed.
    std::string Text() const;

    // `bytes` as a label value between its quotes: backslash, double quote
    // and line feed escaped; a byte that is no part of valid UTF-8, and any
    // other control character, comes out as U+FFFD.
    static std::string LabelValue(const std::string& bytes);

private:
    struct Family {
        std::string name;
        std::string help;
        std::vector<std::string> samples;
    };

    std::vector<Family> families_;
};
