// Reading a curve file: size limit, format detection.
#include "engine/curve_file.h"

#include <cerrno>
#include <cstring>
#include <fstream>

#include "engine/der_reader.h"
#include "integers/errors.h"

namespace rara {

void ElementFromOctets(TGF2Poly& e, const std::string& octets, std::int32_t n, const std::string& what) {
  e.Clear();
  const std::size_t count = octets.size();
  for (std::size_t k = 0; k < count; ++k) {
    const std::uint8_t byte = static_cast<std::uint8_t>(octets[count - 1 - k]);
    for (int bit = 0; bit < 8; ++bit)
      if (byte & (1u << bit)) {
        const std::size_t i = 8 * k + static_cast<std::size_t>(bit);
        if (i >= static_cast<std::size_t>(n))
          RaiseRuv(what + " has a bit at degree " + std::to_string(i) + ", beyond the field's " +
                   std::to_string(n) + " bits");
        e.SetCoef(static_cast<std::int32_t>(i), true);
      }
  }
}

void ReadCurveText(const std::string& content, TCurveFile& curve) {
  std::size_t first = 0;
  while (first < content.size() && std::strchr(" \t\r\n", content[first]) && content[first]) ++first;
  if (first == content.size()) RaiseRuv("the file is empty");
  if (content[first] == '{') {
    ReadCurveJson(content, curve);
    curve.Format = "JSON";
  } else if (content.find("-----BEGIN ") != std::string::npos) {
    ReadECParametersDer(PemDecode(content, "EC PARAMETERS"), curve);
    curve.Format = "X9.62 PEM";
  } else if (static_cast<std::uint8_t>(content[0]) == DerTagSequence ||
             static_cast<std::uint8_t>(content[0]) == DerTagOid) {
    ReadECParametersDer(content, curve);
    curve.Format = "X9.62 DER";
  } else {
    RaiseRuv("not a curve file: neither JSON, PEM \"EC PARAMETERS\" nor DER ECParameters");
  }
}

void ReadCurveFile(const std::string& fileName, TCurveFile& curve) {
  std::ifstream in(fileName, std::ios::binary);
  if (!in) RaiseRuv("Cannot read \"" + fileName + "\": " + std::strerror(errno));
  std::string content;
  char buf[65536];
  while (in.read(buf, sizeof buf) || in.gcount() > 0) {
    content.append(buf, static_cast<std::size_t>(in.gcount()));
    if (content.size() > CurveFileMaxBytes)
      RaiseRuv("Cannot read \"" + fileName + "\": larger than " +
               std::to_string(CurveFileMaxBytes) + " bytes, too large for a curve file");
  }
  if (in.bad()) RaiseRuv("Cannot read \"" + fileName + "\": " + std::strerror(errno));
  ReadCurveText(content, curve);
}

}  // namespace rara
