// The converter's conversions, one per call form; each reads its inputs completely, checks
// them, and writes all its outputs together (or none). Each returns done or the message of
// its failure.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "OptionsFile.h"
#include "Result.h"

namespace vantrel::suite {

/// Files a conversion was asked to produce; it fills the list as soon as it knows them, so
/// that a caller can remove stale copies when the conversion fails.
using OutputList = std::vector<std::string>;

/// SOF to raw image (.rbf); a memory map too unless the options turn it off.
Status convertSofToRaw(const std::string &sof, const std::string &rbf, const ConverterOptions &options,
                       std::ostream &progress, OutputList &outputs);

/// SOF to a programming object file for a serial configuration device; a memory map too
/// unless the options turn it off.
Status convertSofToSerialPof(const std::string &sof, const std::string &pof, const std::string &device,
                             const ConverterOptions &options, std::ostream &progress, OutputList &outputs);

/// Serial programming object file to raw programming data (.rpd), padded with 0xFF to a
/// whole sector.
Status convertPofToRpd(const std::string &pof, const std::string &rpd, std::ostream &progress,
                       OutputList &outputs);

/// Whatever the conversion description asks for: a raw image or a programming object
/// file, with a memory map when the description asks for one or the options do not turn
/// it off.
Status convertCof(const std::string &cof, const ConverterOptions &options, std::ostream &progress,
                  OutputList &outputs);

/// Programming object file to hex records: the image at its page start address and the
/// option-bit block at its address.
Status convertPofToHex(const std::string &pof, const std::string &hex, std::ostream &progress,
                       OutputList &outputs);

/// The memory map's name for an output: its path with the last extension replaced by ".map".
std::string mapFileFor(const std::string &output);

} // namespace vantrel::suite
