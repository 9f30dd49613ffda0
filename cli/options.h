// Command line of rara-cli: the options, their defaults, and their checks
// with the words of the dialogs that take the same entries.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gf2/gf2_poly.h"
#include "reports/validation.h"

namespace rara::cli {

enum class TFieldList { Default, P1363, X963, Gauss, Normal };

struct TCliOptions {
  TParamEntries Params;           // N, K max size, bound, D, K mod 4
  std::optional<long double> Ratio;  // empty: automatic (see weber_ratio.h)
  std::uint8_t Basis = 0;         // 0 standard, 1 normal
  std::string FieldText;          // --field, empty when not given
  TFieldList List = TFieldList::Default;
  std::int64_t Points = 1;
  bool ParamsOnly = false;
  bool Binary = false;
  bool Reversed = false;
  std::optional<std::string> AppendFile;  // Save records, when given
  std::optional<std::string> Seed;
  bool Checks = false;            // the order proof and verdicts after the reports
  // Exports of the curve with the last point, when given.
  std::optional<std::string> PemFile, DerFile, JsonFile;
  std::string AuditFile;          // --audit: audit this curve file instead of building one
  bool Quiet = false;
  bool Help = false;
  bool Version = false;

  std::string ListName;           // the built-in list used, empty with --field
  TGF2Poly FieldPoly;             // the checked field polynomial of degree N
};

// Reads and checks the arguments (without the program name). Returns the
// message of the first refused entry, or an empty text when all are valid;
// then the field polynomial is set (unless help or version was asked for).
// The output files are checked apart (output_paths.h): that looks at the
// file system.
std::string ParseOptions(const std::vector<std::string>& args, TCliOptions& options);

// The usage text, every option with its default.
std::string UsageText();

}  // namespace rara::cli
