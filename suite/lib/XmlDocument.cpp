// Recursive-descent XML reader with line-numbered errors.
#include "XmlDocument.h"

#include "hostText/Utf8.h"

#include <cstdint>

namespace vantrel::suite {

const XmlElement *XmlElement::child(std::string_view childName) const {
  for (const XmlElement &c : children) {
    if (c.name == childName) return &c;
  }
  return nullptr;
}

namespace {

/// Thrown inside the reader only; parseXml turns it into a failed Result.
struct XmlFault {
  std::string message;
};

constexpr int MAX_DEPTH = 64;

bool isNameStart(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || c == ':' ||
         static_cast<unsigned char>(c) >= 0x80;
}
bool isNameChar(char c) {
  return isNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
}
bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

class Reader {
public:
  explicit Reader(std::string_view text) : s_(text) {}

  XmlElement document() {
    skipMisc(true);
    if (!at("<") || at("</")) fail("the document has no root element");
    XmlElement root = element(0);
    skipMisc(false);
    if (pos_ != s_.size()) fail("content after the root element");
    return root;
  }

private:
  [[noreturn]] void fail(const std::string &what) const {
    int line = 1;
    for (std::size_t i = 0; i < pos_ && i < s_.size(); ++i) {
      if (s_[i] == '\n') ++line;
    }
    throw XmlFault{"line " + std::to_string(line) + ": " + what};
  }
  bool at(std::string_view t) const { return s_.substr(pos_, t.size()) == t; }
  void expect(std::string_view t, const char *what) {
    if (!at(t)) fail(what);
    pos_ += t.size();
  }
  void skipSpace() {
    while (pos_ < s_.size() && isSpace(s_[pos_]))
      ++pos_;
  }
  void skipUntil(std::string_view end, const char *what) {
    const std::size_t e = s_.find(end, pos_);
    if (e == std::string_view::npos) fail(what);
    pos_ = e + end.size();
  }
  // Comments, processing instructions (the XML declaration among them) and blanks outside
  // the root element.
  void skipMisc(bool prolog) {
    while (true) {
      skipSpace();
      if (at("<?")) {
        skipUntil("?>", "unterminated processing instruction");
      } else if (at("<!--")) {
        comment();
      } else if (at("<!DOCTYPE")) {
        if (prolog) fail("document type declarations are not supported");
        fail("misplaced document type declaration");
      } else {
        return;
      }
    }
  }
  void comment() {
    pos_ += 4;
    const std::size_t e = s_.find("--", pos_);
    if (e == std::string_view::npos) fail("unterminated comment");
    pos_ = e;
    if (!at("-->")) fail("\"--\" inside a comment");
    pos_ += 3;
  }
  std::string name() {
    if (pos_ >= s_.size() || !isNameStart(s_[pos_])) fail("a name was expected");
    const std::size_t b = pos_;
    while (pos_ < s_.size() && isNameChar(s_[pos_]))
      ++pos_;
    return std::string(s_.substr(b, pos_ - b));
  }
  // A reference after '&': predefined entity or numeric character reference.
  void reference(std::string &out) {
    ++pos_;
    const std::size_t semi = s_.find(';', pos_);
    if (semi == std::string_view::npos || semi - pos_ > 12) fail("'&' that starts no reference");
    const std::string_view ref = s_.substr(pos_, semi - pos_);
    if (ref == "lt")
      out += '<';
    else if (ref == "gt")
      out += '>';
    else if (ref == "amp")
      out += '&';
    else if (ref == "quot")
      out += '"';
    else if (ref == "apos")
      out += '\'';
    else if (!ref.empty() && ref[0] == '#') {
      const bool hex = ref.size() > 1 && ref[1] == 'x';
      const std::string_view digits = ref.substr(hex ? 2 : 1);
      if (digits.empty()) fail("empty character reference");
      std::uint32_t cp = 0;
      for (char c : digits) {
        int d;
        if (c >= '0' && c <= '9')
          d = c - '0';
        else if (hex && c >= 'a' && c <= 'f')
          d = c - 'a' + 10;
        else if (hex && c >= 'A' && c <= 'F')
          d = c - 'A' + 10;
        else
          fail("bad character reference &" + std::string(ref) + ";");
        cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(d);
        if (cp > 0x10FFFF) fail("character reference out of range");
      }
      if (cp == 0 || (cp >= 0xD800 && cp <= 0xDFFF)) fail("character reference to an invalid character");
      hostText::appendUtf8(out, cp);
    } else {
      fail("unknown entity &" + std::string(ref) + ";");
    }
    pos_ = semi + 1;
  }
  std::string attributeValue() {
    if (pos_ >= s_.size() || (s_[pos_] != '"' && s_[pos_] != '\''))
      fail("an attribute value in quotes was expected");
    const char quote = s_[pos_++];
    std::string value;
    while (true) {
      if (pos_ >= s_.size()) fail("unterminated attribute value");
      const char c = s_[pos_];
      if (c == quote) break;
      if (c == '<') fail("'<' inside an attribute value");
      if (c == '&')
        reference(value);
      else {
        value += c;
        ++pos_;
      }
    }
    ++pos_;
    return value;
  }
  XmlElement element(int depth) {
    if (depth > MAX_DEPTH) fail("elements nested too deeply");
    XmlElement e;
    ++pos_; // '<'
    e.name = name();
    while (true) {
      const bool spaced = pos_ < s_.size() && isSpace(s_[pos_]);
      skipSpace();
      if (at("/>")) {
        pos_ += 2;
        return e;
      }
      if (at(">")) {
        ++pos_;
        break;
      }
      if (!spaced) fail("malformed start tag <" + e.name + ">");
      std::string attr = name();
      for (const auto &a : e.attributes) {
        if (a.first == attr) fail("attribute " + attr + " given twice");
      }
      skipSpace();
      expect("=", "'=' expected after an attribute name");
      skipSpace();
      e.attributes.emplace_back(attr, attributeValue());
    }
    content(e, depth);
    return e;
  }
  void content(XmlElement &e, int depth) {
    while (true) {
      if (pos_ >= s_.size()) fail("element <" + e.name + "> is not closed");
      if (at("</")) {
        pos_ += 2;
        const std::string closing = name();
        if (closing != e.name) fail("</" + closing + "> closes <" + e.name + ">");
        skipSpace();
        expect(">", "'>' expected");
        return;
      }
      if (at("<!--"))
        comment();
      else if (at("<![CDATA[")) {
        pos_ += 9;
        const std::size_t end = s_.find("]]>", pos_);
        if (end == std::string_view::npos) fail("unterminated CDATA section");
        e.text.append(s_.substr(pos_, end - pos_));
        pos_ = end + 3;
      } else if (at("<?"))
        skipUntil("?>", "unterminated processing instruction");
      else if (at("<!"))
        fail("markup declaration inside an element");
      else if (at("<"))
        e.children.push_back(element(depth + 1));
      else if (at("&"))
        reference(e.text);
      else if (at("]]>"))
        fail("\"]]>\" in character data");
      else
        e.text += s_[pos_++];
    }
  }

  std::string_view s_;
  std::size_t pos_ = 0;
};

} // namespace

Result<XmlElement> parseXml(std::string_view text) {
  try {
    Reader reader(text);
    return Result<XmlElement>::success(reader.document());
  } catch (const XmlFault &f) {
    return Result<XmlElement>::failure(f.message);
  }
}

} // namespace vantrel::suite
