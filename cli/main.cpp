// rara-cli: the batch front end. Runs New parameters, New curve and New
// point on one construction record and prints the same report lines as the
// desktop program, as plain text.
#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/audit_run.h"
#include "cli/options.h"
#include "cli/output_paths.h"
#include "cli/progress.h"
#include "cli/std_output.h"
#include "cli/weber_ratio.h"
#include "engine/cm_search.h"
#include "engine/construction.h"
#include "engine/export_file.h"
#include "engine/trust.h"
#include "integers/errors.h"
#include "integers/random.h"
#include "integers/runtime.h"
#include "reports/report_lines.h"
#include "reports/reports.h"
#include "reports/save_record.h"

#ifndef RARA_VERSION
#define RARA_VERSION "unknown"
#endif

namespace rara::cli {

namespace {

constexpr int ExitFailure = 1;  // the computation or the output failed
constexpr int ExitUsage = 2;    // an entry was refused

// Library messages separate their lines with CR LF; a terminal wants LF.
std::string ForTerminal(std::string text) {
  for (std::size_t i; (i = text.find("\r\n")) != std::string::npos;) text.erase(i, 1);
  return text;
}

void Error(const std::string& message) {
  std::fprintf(stderr, "rara-cli: %s\n", ForTerminal(message).c_str());
}

void Print(const TReportLines& lines) { WriteOut(PlainText(lines, "\n")); }

bool Append(const TCliOptions& o, TSavePage page, const TReportLines& lines) {
  if (!o.AppendFile) return true;
  std::string error;
  if (AppendSaveRecord(*o.AppendFile, page, LineTexts(lines), error)) return true;
  Error("cannot append to " + error);
  return false;
}

// Where the field polynomial came from, for the JSON.
std::string FieldSource(const TCliOptions& o) {
  if (!o.ListName.empty()) return o.ListName;
  std::string text("--field ");
  text += o.FieldText;
  return text;
}

// The checks section after the reports, then the exports.
int Finish(TCliOptions& o, TECGF2Data& data) {
  if (o.Checks) {
    TTrustReport trust;
    CheckTrust(data, trust);
    std::string text = "\n";
    for (const std::string& line : TrustLines(data, trust)) text += line + "\n";
    WriteOut(text);
  }
  TExportInfo info;
  info.FieldList = FieldSource(o);
  info.Seed = o.Seed;
  const std::pair<const std::optional<std::string>*, TExportFormat> exports[] = {
      {&o.PemFile, TExportFormat::Pem}, {&o.DerFile, TExportFormat::Der},
      {&o.JsonFile, TExportFormat::Json}};
  for (const auto& [file, format] : exports) {
    if (!*file) continue;
    try {
      WriteFileSafely(**file, ExportContent(data, format, info));
    } catch (const ERuv& e) {
      Error(e.what());
      return ExitFailure;
    }
  }
  return 0;
}

int Run(TCliOptions& o) {
  TDisplaySettings settings;
  settings.Binary = o.Binary;
  settings.Reversed = o.Reversed;

  TECGF2Data data;
  if (o.Seed) {
    RuvSeed(o.Seed->data(), static_cast<std::int64_t>(o.Seed->size()));
    data.SeedFromClock = false;
  } else {
    RuvSeedTime();
  }

  TProgress progress(!o.Quiet && isatty(STDERR_FILENO) == 1);
  std::int32_t value = 0;
  const TParamEntries& p = o.Params;
  data.Clear();
  progress.Start("CM discriminant", &value);
  data.ComputeParams(p.N, p.D, p.KMaxSize, p.TrialBound, p.KMod4, value);
  progress.Stop();
  if (data.SearchGaveUp()) {
    Error("the search gave up: no CM discriminant up to " + std::to_string(CMSearchLimit) +
          " gives a curve with these entries");
    return ExitFailure;
  }
  const TWeberOutcome weber = ComputeWeber(data, o.Ratio, progress, value);
  if (const std::string text = WeberOutcomeText(weber); !text.empty()) Error(text);
  if (!weber.Consistent) return ExitFailure;

  TReportLines page1;
  ShowParams(page1, data, settings);
  Print(page1);
  if (!Append(o, TSavePage::Parameters, page1)) return ExitFailure;
  if (o.ParamsOnly) return Finish(o, data);

  progress.Start("Random root of Weber polynomial over GF(2^" + std::to_string(p.N) + ")",
                 nullptr);
  data.CurveBuilt = false;
  data.SetField(o.FieldPoly, o.Basis);
  data.PickRoot();
  progress.Stop();
  progress.Start("Curve", nullptr);
  data.MakeCurve();
  progress.Stop();

  TReportLines page2;
  ShowCurve(page2, data, settings);
  Print(page2);
  for (std::int64_t i = 0; i < o.Points; ++i) {
    progress.Start("Random point of order R", nullptr);
    data.NewPoint();
    progress.Stop();
    TReportLines block;
    ShowPoint(block, data, settings);
    Print(block);
    page2.insert(page2.end(), block.begin(), block.end());
  }
  if (!Append(o, TSavePage::Curve, page2)) return ExitFailure;
  return Finish(o, data);
}

}  // namespace

}  // namespace rara::cli

int main(int argc, char** argv) {
  using namespace rara;
  using namespace rara::cli;
  try {
    TRuvRuntime runtime;
    TCliOptions options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    std::string message;
    try {
      message = ParseOptions(args, options);
    } catch (const ERuv& e) {
      message = e.what();
    }
    if (!message.empty()) {
      Error(message);
      std::fputs("Try 'rara-cli --help'.\n", stderr);
      return ExitUsage;
    }
    CheckOutOpen();
    if (options.Help || options.Version) {
      WriteOut(options.Help ? UsageText() : "rara-cli " RARA_VERSION "\n");
      CloseOut();
      return 0;
    }
    if (message = CheckOutputPaths(options); !message.empty()) {
      Error(message);
      return ExitUsage;
    }
    if (!options.AuditFile.empty()) {
      const int code = RunAudit(options.AuditFile);
      CloseOut();
      return code;
    }
    int code;
    try {
      code = Run(options);
    } catch (const ERuvAbort&) {
      // Only the watch on standard output asks for an abort here.
      if (OutputGone()) StopForGoneOutput();
      throw;
    }
    if (code == 0) CloseOut();
    return code;
  } catch (const std::exception& e) {
    Error(e.what());
    return ExitFailure;
  }
}
