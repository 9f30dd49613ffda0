// The output files of rara-cli, checked before the computation starts so
// that a run never ends after minutes with an output it cannot write, or
// with one output overwriting another.
#pragma once

#include <string>

namespace rara::cli {

struct TCliOptions;

// The message of the first problem, or an empty text: a file named by two
// options (in any spelling, also a hard link) or the one standard output
// goes to, a folder that does not exist, a target that is not a regular
// file or cannot be written, a folder where no file can be created.
std::string CheckOutputPaths(const TCliOptions& options);

}  // namespace rara::cli
