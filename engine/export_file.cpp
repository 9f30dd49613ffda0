// Export formats and safe file writing.
#include "engine/export_file.h"

#include <cctype>
#include <filesystem>

#include "engine/construction.h"
#include "engine/export_x962.h"
#include "engine/trust.h"
#include "integers/errors.h"
#include "integers/file_write.h"

namespace rara {

bool ExportFormatOf(const std::string& fileName, TExportFormat& format) {
  std::string ext = std::filesystem::path(fileName).extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (ext == ".pem") format = TExportFormat::Pem;
  else if (ext == ".der") format = TExportFormat::Der;
  else if (ext == ".json") format = TExportFormat::Json;
  else return false;
  return true;
}

std::string ExportContent(TECGF2Data& data, TExportFormat format, const TExportInfo& info) {
  switch (format) {
    case TExportFormat::Pem: return ECParametersPem(data);
    case TExportFormat::Der: return ECParametersDer(data);
    case TExportFormat::Json: {
      TTrustReport trust;
      CheckTrust(data, trust);
      return CurveJson(data, trust, info);
    }
  }
  return std::string();
}

void WriteFileSafely(const std::string& fileName, const std::string& content) {
  try {
    FileReplace(fileName, content);
  } catch (const EFileWrite& e) {
    RaiseRuv("Cannot write \"" + fileName + "\": " + e.Reason());
  }
}

void ExportCurve(TECGF2Data& data, const std::string& fileName, const TExportInfo& info) {
  TExportFormat format;
  if (!ExportFormatOf(fileName, format))
    RaiseRuv("Unknown export format of \"" + fileName + "\": use .pem, .der or .json");
  WriteFileSafely(fileName, ExportContent(data, format, info));
}

}  // namespace rara
