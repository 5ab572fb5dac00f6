// Shared set-up of the converter tests: a scratch folder with designs of several families.
#pragma once

#include <gtest/gtest.h>

#include "ConfigImage.h"
#include "GeneratedDesign.h"
#include "SofFile.h"
#include "TestSupport.h"
#include "ToolEntry.h"

namespace vantrel::suite::testing {

/// Runs the converter in-process.
inline ToolRun cpf(const std::vector<std::string> &args) {
  return runTool(runPrexaCpf, args);
}

/// A scratch folder holding SOFs of an older family (after-sync header), the oldest
/// family (scattered header), a newer boot-area family and a family without serial
/// support, plus the usual options files.
class ConverterTest : public ::testing::Test {
protected:
  void SetUp() override {
    writeDesign("r3.sof", "KX3R40F484", 20000, true);
    writeDesign("r1.sof", "KX1R20C8", 9000, false);
    writeDesign("t5.sof", "5TE30F23", 12000, true);
    writeDesign("t1.sof", "KX1T10", 3000, true);
    writeFile("serial.opt", std::string("BITSTREAM_COMPRESSION=ON\nMEMORY_MAP_FILE=ON\n"));
    writeFile("compress.opt", std::string("BITSTREAM_COMPRESSION=ON\n"));
  }

  void writeDesign(const std::string &name, const std::string &part, std::size_t size, bool big) {
    SofDesign d;
    d.partName = part;
    d.bigEndian = big;
    d.configData = generateConfigData(size, static_cast<std::uint32_t>(size));
    designs_[name] = d.configData;
    writeFile(name, writeSof(d));
  }

  /// The configuration data written into the named SOF.
  const std::vector<std::uint8_t> &dataOf(const std::string &sof) { return designs_[sof]; }

  /// Decodes the image in bytes and expects it to hold the named SOF's data.
  void expectImageOf(const std::string &bytes, const std::string &sof, bool compressed) {
    auto decoded = decodeImage(bytes);
    ASSERT_TRUE(decoded.ok()) << decoded.error();
    EXPECT_EQ(decoded.value().configData, dataOf(sof));
    EXPECT_EQ(decoded.value().compressed, compressed);
  }

  ScratchDir dir_;
  std::map<std::string, std::vector<std::uint8_t>> designs_;
};

} // namespace vantrel::suite::testing
