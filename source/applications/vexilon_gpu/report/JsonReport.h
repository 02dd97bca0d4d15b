#pragma once

#include "report/ReportSink.h"

#include <nlohmann/json.hpp>

#include <string>

// The report as one JSON document (docs/report.schema.json), built from the
// finished report lines, so it holds exactly the facts the lines hold,
// whoever wrote them. Nothing is written until the run is over: a host reads
// a whole document or none.
class JsonReport : public ReportSink {
public:
    JsonReport();

    void Line(const std::string& line) override;
    void FailedBlock(const std::string& tag, const std::string& what) override;
    void VulkanFacts(const std::string& tag, const std::string& facts) override;
    void GPUFact(const std::string& tag, const std::string& name, const std::string& value) override;
    void LostDevice(const std::string& what) override;
    // The document has no place for it: what was lost shows as missing facts.
    void ProbeFault(ProbeWork, bool) override {}

    // The document as UTF-8 text, indented, without a final line end. Bytes
    // of a text that are not valid UTF-8 come out as U+FFFD; control
    // characters, quotes and backslashes are escaped as JSON requires.
    std::string Text() const;
    // The facts collected so far, as the document holds them.
    const nlohmann::ordered_json& Facts() const { return document_; }

private:
    typedef nlohmann::ordered_json Json;

    // The entry of the GPU tagged `tag`, made on first use in report order.
    Json& GPU(const std::string& tag);
    // A line of a GPU's block: a field, or a query with the symbol lines
    // that came before it.
    void GPULine(const std::string& tag, const std::string& key, const std::string& value);
    // A report value: a quoted text, a list of numbers, a number, or (for
    // the yes/no keys) a boolean; anything else stays text.
    static Json Value(const std::string& key, const std::string& text);

    Json document_;
    Json pendingSymbols_;
};
