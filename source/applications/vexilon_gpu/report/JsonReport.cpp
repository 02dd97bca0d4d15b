#include "report/JsonReport.h"

#include <algorithm>
#include <cstddef>

namespace {

// Field and query keys whose values are the report's 1 or 0.
bool IsYesNo(const std::string& key)
{
    static const char* const kKeys[] = {"HasNPOTSupport", "CompileProgramGLSL", "TestFrameBuffer", "extension"};
    return std::find(std::begin(kKeys), std::end(kKeys), key) != std::end(kKeys);
}

// A decimal integer as the report writes one: an optional "-", then digits,
// short enough for 64 bits.
bool IsInteger(const std::string& text)
{
    const std::size_t digits = !text.empty() && text[0] == '-' ? 1 : 0;
    return text.size() > digits && text.size() - digits <= 18 &&
           std::all_of(text.begin() + digits, text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

} // namespace

JsonReport::JsonReport() : document_(Json::object()), pendingSymbols_(Json::object()) {}

void JsonReport::Line(const std::string& line)
{
    const std::size_t equals = line.find('=');
    const std::string key = line.substr(0, equals);
    const std::string value = equals == std::string::npos ? std::string() : line.substr(equals + 1);
    if (equals != std::string::npos) {
        if (key == "Tester" || key == "vexilonStart" || key == "vexilonEnd") {
            document_[key] = Value(key, value);
            return;
        }
        if (key == "NumGPUs") {
            document_[key] = Value(key, value);
            document_["gpus"] = Json::array();
            return;
        }
        if (StartsWith(key, "gputag.")) {
            pendingSymbols_[key.substr(7)] = Value(key, value);
            return;
        }
        if (StartsWith(key, "gpu.")) {
            GPULine("gpu", key.substr(4), value);
            return;
        }
        const std::size_t close = key.find("].");
        if (StartsWith(key, "gpu[") && close != std::string::npos) {
            GPULine(key.substr(0, close + 1), key.substr(close + 2), value);
            return;
        }
    }
    // Not a line this reader knows: kept whole rather than lost.
    document_["otherLines"].push_back(line);
}

void JsonReport::FailedBlock(const std::string& tag, const std::string& what)
{
    GPU(tag)["failure"] = what;
    pendingSymbols_ = Json::object();  // a group the failure cut belongs to no later query
}

void JsonReport::VulkanFacts(const std::string& tag, const std::string& facts)
{
    Json object = Json::parse(facts, nullptr, false);
    if (!object.is_object()) {
        return;
    }
    if (tag.empty()) {
        document_["unmatchedVulkanDevices"].push_back(object);
    } else {
        GPU(tag)["vulkan"] = object;
    }
}

void JsonReport::GPUFact(const std::string& tag, const std::string& name, const std::string& value)
{
    GPU(tag)[name] = value;
}

void JsonReport::LostDevice(const std::string& what) { document_["lostDevices"].push_back(what); }

std::string JsonReport::Text() const { return document_.dump(2, ' ', false, Json::error_handler_t::replace); }

JsonReport::Json& JsonReport::GPU(const std::string& tag)
{
    Json& gpus = document_["gpus"];
    for (Json& gpu : gpus) {
        if (gpu["tag"] == tag) {
            return gpu;
        }
    }
    gpus.push_back(Json{{"tag", tag}, {"fields", Json::object()}, {"queries", Json::array()}});
    return gpus.back();
}

void JsonReport::GPULine(const std::string& tag, const std::string& key, const std::string& value)
{
    Json& gpu = GPU(tag);
    const std::size_t open = key.find('[');
    if (open == std::string::npos) {
        gpu["fields"][key] = Value(key, value);
        return;
    }
    // call[argument][argument]...: glGetProgramivARB[GL_FRAGMENT_PROGRAM_ARB][GL_MAX_PROGRAM_INSTRUCTIONS_ARB]
    const std::string call = key.substr(0, open);
    Json arguments = Json::array();
    for (std::size_t at = open; at < key.size() && key[at] == '[';) {
        const std::size_t close = key.find(']', at);
        if (close == std::string::npos) {
            arguments.push_back(key.substr(at + 1));
            break;
        }
        arguments.push_back(key.substr(at + 1, close - at - 1));
        at = close + 1;
    }
    gpu["queries"].push_back(
        Json{{"call", call}, {"arguments", arguments}, {"symbols", pendingSymbols_}, {"value", Value(call, value)}});
    pendingSymbols_ = Json::object();
}

JsonReport::Json JsonReport::Value(const std::string& key, const std::string& text)
{
    if (text.size() >= 2 && text.front() == '"' && text.back() == '"') {
        return text.substr(1, text.size() - 2);
    }
    if (text.size() >= 2 && text.front() == '[' && text.back() == ']') {
        Json list = Json::array();
        std::size_t at = 1;
        while (at < text.size() - 1) {
            std::size_t end = text.find(", ", at);
            end = end == std::string::npos ? text.size() - 1 : end;
            const std::string item = text.substr(at, end - at);
            if (!IsInteger(item)) {
                return text;
            }
            list.push_back(std::stoll(item));
            at = end + 2;
        }
        return list;
    }
    if (IsYesNo(key) && (text == "0" || text == "1")) {
        return text == "1";
    }
    if (IsInteger(text)) {
        return std::stoll(text);
    }
    return text;
}
