// The rara-cli option parser on argument lists (the input's NUL bytes
// separate the arguments): an accepted command line gives entries within
// their ranges and a field polynomial of degree N; a refused one a message.
#include "cli/options.h"
#include "tests/fuzz/fuzz_support.h"

using namespace rara;
using namespace rara::fuzz;

RARA_FUZZ_ENTRY(cli_options) {
  EnsureRuntime();
  std::vector<std::string> args;
  std::string cur;
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0) {
      args.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(static_cast<char>(data[i]));
    }
  }
  if (!cur.empty()) args.push_back(cur);
  if (args.size() > 64) return 0;

  cli::TCliOptions o;
  const std::string message = cli::ParseOptions(args, o);
  if (!message.empty() || o.Help || o.Version) return 0;
  const TParamEntries& p = o.Params;
  FUZZ_CHECK(p.N >= MinFieldDegree && p.N <= BatchMaxFieldDegree && p.KMaxSize >= KMaxSizeMin(p.KMod4) &&
                 p.KMaxSize <= KMaxSizeLimit(p.N) && p.TrialBound >= MinTrialBound &&
                 p.TrialBound <= MaxTrialBound && p.D >= 0 && p.D <= MaxDiscriminant,
             "accepted options out of range");
  FUZZ_CHECK(o.FieldPoly.Degree() == p.N, "accepted field polynomial of another degree");
  FUZZ_CHECK(o.Basis <= 1 && o.Points >= 0, "accepted basis or point count out of range");
  for (const auto* f : {&o.AppendFile, &o.PemFile, &o.DerFile, &o.JsonFile})
    FUZZ_CHECK(!*f || !(*f)->empty(), "accepted an empty output file name");
  return 0;
}
