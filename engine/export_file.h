// Writing an exported curve to a file: the format from the extension, the
// whole content built first and written through a new temporary beside the
// target, so that a failure never leaves a half-written file.
#pragma once

#include <string>

#include "engine/export_json.h"

namespace rara {

class TECGF2Data;

enum class TExportFormat { Pem, Der, Json };

// .pem, .der or .json (any case); false for anything else.
bool ExportFormatOf(const std::string& fileName, TExportFormat& format);

// The file's content in the format (trust is computed for the JSON).
std::string ExportContent(TECGF2Data& data, TExportFormat format, const TExportInfo& info);

// Replaces fileName by content through a temporary and a rename (a symbolic
// link is written through, an existing file keeps its mode); on failure ERuv
// "Cannot write "<fileName>": <system's reason>" and the file is as it was.
void WriteFileSafely(const std::string& fileName, const std::string& content);

// ExportContent then WriteFileSafely; an unknown extension raises ERuv.
void ExportCurve(TECGF2Data& data, const std::string& fileName, const TExportInfo& info);

}  // namespace rara
