#include "evidence/manifest.h"

#include "domain/time_of_day.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <sstream>

namespace evidence {

namespace {

std::string quoted(const std::string& text)
{
    std::string out = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            out += escape;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

std::string timeOfDay(int32_t startOfDay, int64_t offsetMs)
{
    return domain::FormatTimeOfDay(startOfDay + offsetMs, domain::Precision::Milliseconds);
}

// The value after "key": from `at` on, as raw text up to the next ',' or '}' (a string whole).
bool rawValue(const std::string& json, const std::string& key, size_t at, std::string& value)
{
    size_t k = json.find("\"" + key + "\":", at);
    if (k == std::string::npos) return false;
    size_t i = k + key.size() + 3;
    while (i < json.size() && json[i] == ' ') i++;
    value.clear();
    if (i < json.size() && json[i] == '"') {
        for (i++; i < json.size() && json[i] != '"'; i++) {
            if (json[i] != '\\') {
                value += json[i];
            } else if (++i < json.size()) {
                if (json[i] == 'u' && i + 4 < json.size()) {
                    value += char(std::strtol(json.substr(i + 1, 4).c_str(), nullptr, 16));
                    i += 4;
                } else {
                    value += json[i];
                }
            }
        }
        return i < json.size();
    }
    while (i < json.size() && json[i] != ',' && json[i] != '}' && json[i] != '\n') value += json[i++];
    return !value.empty();
}

bool numberValue(const std::string& json, const std::string& key, size_t at, int64_t& number)
{
    std::string text;
    if (!rawValue(json, key, at, text)) return false;
    char* end = nullptr;
    number = std::strtoll(text.c_str(), &end, 10);
    return end != text.c_str() && *end == 0;
}

std::string cameraLine(const Manifest& m, const CameraFrames& c)
{
    std::ostringstream line;
    line << "    {\"camera\": " << c.camera << ", \"count\": " << c.count << ", \"first\": "
         << quoted(timeOfDay(m.sourceStartOfDay, c.firstMs)) << ", \"last\": "
         << quoted(timeOfDay(m.sourceStartOfDay, c.lastMs)) << ", \"firstMs\": " << c.firstMs
         << ", \"lastMs\": " << c.lastMs << ", \"sha256\": " << quoted(c.sha256) << "}";
    return line.str();
}

}  // namespace

std::string manifestJson(const Manifest& m)
{
    std::ostringstream json;
    json << "{\n  \"file\": " << quoted(m.file) << ",\n  \"kind\": " << quoted(m.kind) << ",\n";
    json << "  \"source\": {\"path\": " << quoted(m.sourcePath) << ", \"size\": " << m.sourceSize
         << ", \"sha256\": " << quoted(m.sourceSha256) << ", \"startOfDayMs\": " << m.sourceStartOfDay << "},\n";
    json << "  \"range\": {\"from\": " << quoted(timeOfDay(m.sourceStartOfDay, m.fromMs))
         << ", \"to\": " << quoted(timeOfDay(m.sourceStartOfDay, m.toMs)) << ", \"fromMs\": " << m.fromMs
         << ", \"toMs\": " << m.toMs << "},\n";
    json << "  \"cameras\": [";
    const char* separator = "";
    for (int camera : domain::CamerasOf(m.cameras)) {
        json << separator << camera;
        separator = ", ";
    }
    json << "],\n  \"frames\": [\n";
    for (size_t i = 0; i < m.frames.size(); i++)
        json << cameraLine(m, m.frames[i]) << (i + 1 < m.frames.size() ? ",\n" : "\n");
    json << "  ],\n  \"program\": " << quoted(m.program) << ",\n  \"version\": " << quoted(m.version)
         << ",\n  \"created\": " << quoted(m.created) << "\n}\n";
    return json.str();
}

bool parseManifest(const std::string& json, Manifest& m)
{
    m = Manifest();
    int64_t size = 0, startOfDay = 0;
    if (!rawValue(json, "file", 0, m.file) || !rawValue(json, "kind", 0, m.kind) ||
        !rawValue(json, "path", 0, m.sourcePath) || !numberValue(json, "size", 0, size) ||
        !rawValue(json, "sha256", 0, m.sourceSha256) || !numberValue(json, "startOfDayMs", 0, startOfDay) ||
        !numberValue(json, "fromMs", 0, m.fromMs) || !numberValue(json, "toMs", 0, m.toMs) ||
        !rawValue(json, "program", 0, m.program) || !rawValue(json, "version", 0, m.version) ||
        !rawValue(json, "created", 0, m.created))
        return false;
    m.sourceSize = uint64_t(size);
    m.sourceStartOfDay = int32_t(startOfDay);
    for (size_t at = json.find("{\"camera\":"); at != std::string::npos; at = json.find("{\"camera\":", at + 1)) {
        CameraFrames c;
        int64_t camera = 0, count = 0;
        if (!numberValue(json, "camera", at, camera) || !numberValue(json, "count", at, count) ||
            !numberValue(json, "firstMs", at, c.firstMs) || !numberValue(json, "lastMs", at, c.lastMs) ||
            !rawValue(json, "sha256", at, c.sha256) || !domain::CameraBit(int(camera)))
            return false;
        c.camera = int(camera);
        c.count = uint64_t(count);
        m.cameras |= domain::CameraBit(c.camera);
        m.frames.push_back(c);
    }
    return true;
}

std::string utcNow()
{
    std::time_t now = std::time(nullptr);
    std::tm parts{};
#ifdef _WIN32
    gmtime_s(&parts, &now);
#else
    gmtime_r(&now, &parts);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
    return text;
}

const char* programVersion() { return VORPLEX_VERSION_TEXT; }

std::string sha256Lines(const std::vector<HashLine>& lines)
{
    std::string text;
    for (const HashLine& line : lines) text += line.sha256 + "  " + line.file + "\n";
    return text;
}

bool parseSha256Lines(const std::string& text, std::vector<HashLine>& lines)
{
    lines.clear();
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        if (line.size() < 67 || line[64] != ' ' || (line[65] != ' ' && line[65] != '*')) return false;
        lines.push_back({line.substr(0, 64), line.substr(66)});
    }
    return !lines.empty();
}

}  // namespace evidence
