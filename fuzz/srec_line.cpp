// Fuzz target: one S-record line parsed by Srec, checked against a plain re-statement of the
// record rules, and formatted records parsed back.
//
// Input format: the line's text exactly as it would stand in a file, without its line end.
#include "FuzzCheck.h"
#include "SrecordReference.h"
#include "memory/IllegalAttributeRequestException.h"
#include "memory/MemoryMessages.h"
#include "memory/RecordException.h"
#include "memory/Srec.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using vantrel::memory::IllegalAttributeRequestException;
using vantrel::memory::InvalidDataRecordException;
using vantrel::memory::Srec;
namespace msg = vantrel::memory::messages;
using Expected = fuzzing::ExpectedRecord;
using fuzzing::check;
using fuzzing::latin1;
using fuzzing::reference;

/// Calls getter and tells whether it refused with the given message.
template <typename F> bool refuses(F getter, const char *message) {
  try {
    getter();
  } catch (const IllegalAttributeRequestException &e) {
    check(std::string(e.what()) == message, "attribute refusal message");
    return true;
  }
  return false;
}

void compare(const Srec &rec, const Expected &e) {
  const std::string type = {'S', e.type};
  check(rec.isValid(), "parsed record is valid");
  check(rec.getType() == type, "type");
  const bool data = e.type >= '1' && e.type <= '3';
  const bool start = e.type >= '7';
  check(rec.hasAddr() == data, "hasAddr");
  check(rec.hasData() == data, "hasData");
  check(rec.hasStart() == start, "hasStart");
  check(rec.hasCount() == (e.type == '5'), "hasCount");
  check(rec.hasHeader() == (e.type == '0'), "hasHeader");
  check(refuses([&] { (void)rec.getAddr(); }, msg::NO_ADDRESS) == !data, "getAddr refusal");
  check(refuses([&] { (void)rec.getStart(); }, msg::NO_START) == !start, "getStart refusal");
  check(refuses([&] { (void)rec.getCount(); }, msg::NO_COUNT) == (e.type != '5'), "getCount refusal");
  check(refuses([&] { (void)rec.getHeader(); }, msg::NO_HEADER) == (e.type != '0'), "getHeader refusal");
  check(refuses([&] { (void)rec.getData(); }, msg::NO_DATA) == !data, "getData refusal");
  if (data) {
    check(rec.getAddr() == e.address, "address");
    check(rec.getData() == e.data, "data");
  }
  if (start) check(rec.getStart() == e.address, "start address");
  if (e.type == '5') check(rec.getCount() == e.address, "count");
  if (e.type == '0') check(rec.getHeader() == latin1(e.data), "header text");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
  const std::string_view line(reinterpret_cast<const char *>(data), size);
  const std::optional<Expected> expected = reference(line);
  std::optional<Srec> rec;
  try {
    rec.emplace(line);
  } catch (const InvalidDataRecordException &e) {
    check(std::string(e.what()) == msg::BAD_SREC, "refusal message");
    check(!expected, "a well-formed record was refused");
    return 0;
  }
  check(expected.has_value(), "a malformed record was accepted");
  compare(*rec, *expected);

  // Formatting gives upper-case text that parses back to the same record; the extra
  // bytes of count and start records are not written.
  const std::string text = rec->toString();
  for (char c : text)
    check((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || c == 'S', "formatted text is upper-case hex");
  const std::optional<Expected> again = reference(text);
  check(again.has_value(), "formatted record is well-formed");
  Expected trimmed = *expected;
  if (trimmed.type >= '5') trimmed.data.clear();
  check(again->type == trimmed.type && again->address == trimmed.address && again->data == trimmed.data,
        "formatted record holds the same fields");
  compare(Srec(text), trimmed);
  // Data records rebuilt through the public constructors format the same way.
  if (trimmed.type >= '1' && trimmed.type <= '3') {
    const Srec rebuilt(std::string{'S', trimmed.type}, trimmed.address, std::optional(trimmed.data));
    check(rebuilt.toString() == text, "rebuilt data record formats alike");
  }
  return 0;
}
