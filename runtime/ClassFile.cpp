// Reader of the parts of a class file the runtime needs: its name, superclass and methods.
#include "ClassFile.h"

#include <stdexcept>

namespace vantrel::runtime {
namespace {

// Class files are big-endian; every read is bounds-checked and a short file throws.
class Reader {
public:
  explicit Reader(const std::vector<std::uint8_t> &b) : b_(b) {}
  std::uint8_t u1() {
    need(1);
    return b_[at_++];
  }
  std::uint16_t u2() {
    need(2);
    std::uint16_t v = static_cast<std::uint16_t>((b_[at_] << 8) | b_[at_ + 1]);
    at_ += 2;
    return v;
  }
  std::uint32_t u4() {
    std::uint32_t hi = u2();
    return (hi << 16) | u2();
  }
  void skip(std::size_t n) {
    need(n);
    at_ += n;
  }
  std::string text(std::size_t n) {
    need(n);
    std::string s(reinterpret_cast<const char *>(b_.data() + at_), n);
    at_ += n;
    return s;
  }

  bool atEnd() const { return at_ == b_.size(); }

private:
  void need(std::size_t n) const {
    if (b_.size() - at_ < n) throw std::out_of_range("class file truncated");
  }
  const std::vector<std::uint8_t> &b_;
  std::size_t at_ = 0;
};

enum Tag : std::uint8_t {
  UTF8 = 1,
  INTEGER = 3,
  FLOAT = 4,
  LONG = 5,
  DOUBLE = 6,
  CLASS = 7,
  STRING = 8,
  FIELD_REF = 9,
  METHOD_REF = 10,
  INTERFACE_METHOD_REF = 11,
  NAME_AND_TYPE = 12,
  METHOD_HANDLE = 15,
  METHOD_TYPE = 16,
  DYNAMIC = 17,
  INVOKE_DYNAMIC = 18,
  MODULE = 19,
  PACKAGE = 20
};

struct Constant {
  std::uint8_t tag = 0;
  std::string utf8;
  std::uint16_t index = 0; // a CLASS constant's name index
};

const std::string &utf8At(const std::vector<Constant> &pool, std::uint16_t i) {
  if (i == 0 || i >= pool.size() || pool[i].tag != UTF8) throw std::out_of_range("bad constant index");
  return pool[i].utf8;
}

std::string classAt(const std::vector<Constant> &pool, std::uint16_t i) {
  if (i == 0 || i >= pool.size() || pool[i].tag != CLASS) throw std::out_of_range("bad class index");
  return utf8At(pool, pool[i].index);
}

void skipMembers(Reader &r, std::vector<MethodInfo> *keep, const std::vector<Constant> &pool) {
  const std::uint16_t count = r.u2();
  for (std::uint16_t i = 0; i < count; ++i) {
    MethodInfo m;
    m.accessFlags = r.u2();
    m.name = utf8At(pool, r.u2());
    m.descriptor = utf8At(pool, r.u2());
    const std::uint16_t attributes = r.u2();
    for (std::uint16_t a = 0; a < attributes; ++a) {
      r.u2();
      r.skip(r.u4());
    }
    if (keep) keep->push_back(std::move(m));
  }
}

} // namespace

std::optional<ClassFile> ClassFile::parse(const std::vector<std::uint8_t> &bytes) {
  try {
    Reader r(bytes);
    if (r.u4() != 0xCAFEBABE) return std::nullopt;
    r.u2(); // minor version
    r.u2(); // major version
    const std::uint16_t poolCount = r.u2();
    std::vector<Constant> pool(poolCount);
    for (std::uint16_t i = 1; i < poolCount; ++i) {
      Constant &c = pool[i];
      c.tag = r.u1();
      switch (c.tag) {
      case UTF8:
        c.utf8 = r.text(r.u2());
        break;
      case CLASS:
        c.index = r.u2();
        break;
      case STRING:
      case METHOD_TYPE:
      case MODULE:
      case PACKAGE:
        r.skip(2);
        break;
      case METHOD_HANDLE:
        r.skip(3);
        break;
      case INTEGER:
      case FLOAT:
      case FIELD_REF:
      case METHOD_REF:
      case INTERFACE_METHOD_REF:
      case NAME_AND_TYPE:
      case DYNAMIC:
      case INVOKE_DYNAMIC:
        r.skip(4);
        break;
      // Eight-byte constants take two pool slots.
      case LONG:
      case DOUBLE:
        r.skip(8);
        ++i;
        break;
      default:
        return std::nullopt;
      }
    }
    ClassFile cf;
    r.u2(); // class access flags
    cf.name = classAt(pool, r.u2());
    const std::uint16_t super = r.u2();
    if (super != 0) cf.superName = classAt(pool, super);
    const std::uint16_t interfaces = r.u2();
    r.skip(2u * interfaces);
    skipMembers(r, nullptr, pool);     // fields
    skipMembers(r, &cf.methods, pool); // methods
    const std::uint16_t attributes = r.u2();
    for (std::uint16_t a = 0; a < attributes; ++a) {
      r.u2();
      r.skip(r.u4());
    }
    // A class file is exactly its structure: bytes left over mean a damaged file.
    if (!r.atEnd()) return std::nullopt;
    return cf;
  } catch (const std::out_of_range &) {
    return std::nullopt;
  }
}

} // namespace vantrel::runtime
