// The tools' whole behaviour behind their main functions: each takes the arguments (without
// the program name) and the two output streams, and returns the exit status.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace vantrel::suite {

/// Exit status of a successful run.
constexpr int EXIT_OK = 0;
/// Exit status when the conversion failed (bad or missing input, unwritable output).
constexpr int EXIT_FAILED = 1;
/// Exit status when the command line matches no accepted form.
constexpr int EXIT_USAGE = 2;

/// The converter stand-in: one of the call forms of CallForm.h.
int runPrexaCpf(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

/// The object-copy stand-in: [-I ihex] -O srec IN OUT turns hex records into S-records.
int runObjcopy(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

/// The SOF writer; see SOFGEN_USAGE.
int runSofgen(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

/// Usage text of the object-copy stand-in.
extern const char OBJCOPY_USAGE[];
/// Usage text of the SOF writer.
extern const char SOFGEN_USAGE[];

} // namespace vantrel::suite
