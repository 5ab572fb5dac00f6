// The streams the framework treats as standard output and standard error, with a test seam.
#pragma once

#include <ostream>

namespace vantrel::commandOptions {

/// The stream that stands for standard output. Unless a test redirected it, text written
/// to it is collected and, on flush(), written to the process's standard output byte for
/// byte (no line-end translation; a Windows console shows the UTF-8 text as its
/// characters), after flushing std::cout and C stdio so that output keeps its order.
std::ostream &standardOutput();
/// The same for standard error.
std::ostream &standardError();

/// Test seam: send what would go to standard output to stream (nullptr restores the real
/// one). The stream must outlive its use, including the flush at process exit.
void setStandardOutput(std::ostream *stream);
/// Test seam: the same for standard error (nullptr restores the real one).
void setStandardError(std::ostream *stream);

} // namespace vantrel::commandOptions
