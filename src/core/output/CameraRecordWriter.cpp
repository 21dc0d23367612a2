#include "core/output/CameraRecordWriter.h"

#include <cerrno>
#include <cstdlib>

#include "core/settings/CameraKeys.h"

namespace orvanta::output {

namespace {

bool Printed(const CameraKey& k, bool withSecrets) { return k.column.name && (withSecrets || !k.column.secret); }

OutputValue ValueOf(const CameraSettings& s, const CameraKey& k) {
    const bool number = k.kind == KeyKind::Number || k.kind == KeyKind::Flag;
    if (!number) return OutputValue::Text(FieldTextOf(s, k));
    if (k.field.type != FieldType::Chars) return OutputValue::Number(FieldNumberOf(s, k));
    // A number the record keeps as text (the port the camera was reached on).
    const std::string text(FieldTextOf(s, k));
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text.c_str(), &end, 10);
    if (text.empty() || errno != 0 || *end != '\0') return OutputValue::Null();
    return OutputValue::Number(v);
}

}  // namespace

std::vector<std::string> CameraRecordColumns(bool withSecrets) {
    std::vector<std::string> columns;
    for (const CameraKey& k : CameraKeys())
        if (Printed(k, withSecrets)) columns.emplace_back(k.column.name);
    return columns;
}

std::vector<OutputValue> CameraRecordRow(const CameraSettings& settings, bool withSecrets) {
    std::vector<OutputValue> row;
    for (const CameraKey& k : CameraKeys())
        if (Printed(k, withSecrets)) row.push_back(ValueOf(settings, k));
    return row;
}

}  // namespace orvanta::output
