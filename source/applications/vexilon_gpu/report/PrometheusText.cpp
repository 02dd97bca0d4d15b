#include "report/PrometheusText.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace {

const char kReplacement[] = "\xEF\xBF\xBD";  // U+FFFD

// The length of the valid UTF-8 sequence at `at` (no overlong forms, no
// surrogates, nothing past U+10FFFF); 0 when there is none.
std::size_t SequenceLength(const std::string& text, std::size_t at)
{
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead < 0x80) {
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (at + length > text.size()) {
        return 0;
    }
    for (std::size_t i = 1; i < length; ++i) {
        const unsigned char byte = static_cast<unsigned char>(text[at + i]);
        if (byte < (i == 1 ? low : 0x80) || byte > (i == 1 ? high : 0xBF)) {
            return 0;
        }
    }
    return length;
}

std::string Number(double value)
{
    char text[32];
    if (std::nearbyint(value) == value && std::fabs(value) < 9.0e15) {
        std::snprintf(text, sizeof text, "%lld", static_cast<long long>(value));
    } else {
        std::snprintf(text, sizeof text, "%.15g", value);
    }
    return text;
}

} // namespace

void PrometheusText::Gauge(const std::string& name, const std::string& help, const Labels& labels, double value)
{
    Family* family = nullptr;
    for (Family& known : families_) {
        if (known.name == name) {
            family = &known;
        }
    }
    if (family == nullptr) {
        families_.push_back(Family{name, help, {}});
        family = &families_.back();
    }
    std::string sample = name;
    for (std::size_t i = 0; i < labels.size(); ++i) {
        sample += (i == 0 ? "{" : ",") + labels[i].first + "=\"" + LabelValue(labels[i].second) + "\"";
    }
    sample += (labels.empty() ? " " : "} ") + Number(value);
    family->samples.push_back(sample);
}

std::string PrometheusText::Text() const
{
    std::string text;
    for (const Family& family : families_) {
        text += "# HELP " + family.name + " " + family.help + "\n# TYPE " + family.name + " gauge\n";
        for (const std::string& sample : family.samples) {
            text += sample + "\n";
        }
    }
    return text;
}

std::string PrometheusText::LabelValue(const std::string& bytes)
{
    std::string value;
    for (std::size_t at = 0; at < bytes.size();) {
        const char byte = bytes[at];
        const std::size_t length = SequenceLength(bytes, at);
        if (byte == '\\' || byte == '"') {
            value += '\\';
            value += byte;
        } else if (byte == '\n') {
            value += "\\n";
        } else if (length == 0 || (length == 1 && (static_cast<unsigned char>(byte) < 0x20 || byte == 0x7F))) {
            value += kReplacement;
        } else {
            value.append(bytes, at, length);
        }
        at += length == 0 ? 1 : length;
    }
    return value;
}
