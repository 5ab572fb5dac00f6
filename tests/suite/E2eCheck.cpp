// Judge program of the end-to-end tests: checks the files that the built tools wrote, by
// the rules of the flows that read them. Usage: suite_e2e_check <check> <files...>;
// prints what is wrong and exits 1, or exits 0.
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "ConfigImage.h"
#include "FlowReaders.h"
#include "HexFile.h"
#include "SofFile.h"
#include "SrecordCheck.h"
#include "TestSupport.h"
#include "platform/programArguments.h"

using namespace vantrel::suite;
using namespace vantrel::suite::testing;

namespace {

struct Failure {
  std::string what;
};

void require(bool ok, const std::string &what) {
  if (!ok) throw Failure{what};
}

std::vector<std::uint8_t> configDataOf(const std::string &sofPath) {
  auto sof = parseSof(readFile(sofPath));
  require(sof.ok(), sofPath + ": " + sof.error());
  return sof.value().configData;
}

void checkImage(const std::string &bytes, const std::string &sof, bool compressed, const std::string &what) {
  auto image = decodeImage(bytes);
  require(image.ok(), what + ": " + image.error());
  require(image.value().configData == configDataOf(sof),
          what + ": the image does not hold the data of " + sof);
  require(image.value().compressed == compressed, what + ": wrong compression");
}

std::map<std::uint32_t, std::uint8_t> hexBytes(const std::string &path) {
  auto hex = parseHexFile(readFile(path));
  require(hex.ok(), path + ": " + hex.error());
  std::map<std::uint32_t, std::uint8_t> bytes;
  for (const Segment &s : hex.value().segments) {
    for (std::size_t i = 0; i < s.bytes.size(); ++i)
      bytes[s.address + static_cast<std::uint32_t>(i)] = s.bytes[i];
  }
  return bytes;
}

void run(const std::vector<std::string> &a) {
  require(!a.empty(), "no check named");
  const std::string &check = a[0];
  if (check == "image" && a.size() == 4) {
    checkImage(readFile(a[1]), a[2], a[3] == "compressed", a[1]);
  } else if (check == "smaller" && a.size() == 3) {
    require(readFile(a[1]).size() < readFile(a[2]).size(), a[1] + " is not smaller than " + a[2]);
  } else if (check == "serial" && a.size() == 4) {
    const std::string rpd = readFile(a[1]);
    const std::int64_t fromMap = designSizeFromMap(readFile(a[2]));
    require(fromMap > 0, a[2] + ": no design size");
    require(rpd.size() % 65536 == 0 && static_cast<std::int64_t>(rpd.size()) >= fromMap,
            a[1] + ": wrong size");
    const std::int64_t fromHeader = designSizeFromHeader(std::vector<std::uint8_t>(rpd.begin(), rpd.end()));
    require(fromHeader == fromMap,
            a[1] + ": header gives " + std::to_string(fromHeader) + ", map " + std::to_string(fromMap));
    require(rpd.substr(0, 12) == std::string(12, '\xFF'), a[1] + ": reserved bytes are not 0xFF");
    checkImage(rpd.substr(0, static_cast<std::size_t>(fromMap)), a[3], true, a[1]);
    require(rpd.find_first_not_of('\xFF', static_cast<std::size_t>(fromMap)) == std::string::npos,
            a[1] + ": padding not 0xFF");
  } else if (check == "loader" && a.size() == 4) {
    const auto addresses = loaderAddresses(readFile(a[2]));
    require(addresses.has_value(), a[2] + ": lines 2 and 3 do not give four addresses");
    const auto bytes = hexBytes(a[1]);
    std::string image;
    for (long long at = addresses->start; at <= addresses->end; ++at) {
      auto it = bytes.find(static_cast<std::uint32_t>(at));
      require(it != bytes.end(), a[1] + ": image byte missing");
      image += static_cast<char>(it->second);
    }
    checkImage(image, a[3], false, a[1]);
    for (long long at = addresses->optionStart; at <= addresses->optionEnd; ++at) {
      require(bytes.count(static_cast<std::uint32_t>(at)) == 1, a[1] + ": option byte missing");
    }
    require(bytes.size() ==
                image.size() + static_cast<std::size_t>(addresses->optionEnd - addresses->optionStart + 1),
            a[1] + ": bytes outside the two ranges");
  } else if (check == "srec" && a.size() == 3) {
    const auto srec = readSrecordsStrict(readFile(a[1]));
    require(srec.has_value(), a[1] + ": not well-formed S-records");
    require(*srec == hexBytes(a[2]), a[1] + ": bytes differ from " + a[2]);
  } else if (check == "binary" && a.size() == 3) {
    const std::string bin = readFile(a[1]);
    const auto bytes = hexBytes(a[2]);
    require(!bytes.empty(), a[2] + ": empty");
    const std::uint32_t first = bytes.begin()->first;
    require(bin.size() == bytes.rbegin()->first - first + 1, a[1] + ": wrong size");
    for (const auto &[address, value] : bytes) {
      require(static_cast<std::uint8_t>(bin[address - first]) == value, a[1] + ": byte differs");
    }
  } else if (check == "absent" && a.size() >= 2) {
    for (std::size_t i = 1; i < a.size(); ++i)
      require(!exists(a[i]), a[i] + " exists");
  } else {
    require(false, "unknown check or wrong number of files: " + check);
  }
}

} // namespace

int main(int argc, char **argv) {
  try {
    run(vantrel::platform::programArguments(argc, argv));
  } catch (const Failure &f) {
    std::cerr << "check failed: " << f.what << "\n";
    return 1;
  }
  return 0;
}
