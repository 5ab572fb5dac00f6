// The XML reader: structure, references, CDATA, comments, and malformed documents.
#include <gtest/gtest.h>

#include "XmlDocument.h"

namespace vantrel::suite {
namespace {

TEST(XmlDocument, ElementsAttributesAndText) {
  auto doc = parseXml("<?xml version=\"1.0\"?>\n<!-- c --><a x='1' y=\"two\"><b>t</b><c/>tail</a>\n");
  ASSERT_TRUE(doc.ok()) << doc.error();
  const XmlElement &a = doc.value();
  EXPECT_EQ(a.name, "a");
  ASSERT_EQ(a.attributes.size(), 2u);
  EXPECT_EQ(a.attributes[1], (std::pair<std::string, std::string>{"y", "two"}));
  ASSERT_EQ(a.children.size(), 2u);
  EXPECT_EQ(a.child("b")->text, "t");
  EXPECT_EQ(a.child("c")->children.size(), 0u);
  EXPECT_EQ(a.child("d"), nullptr);
  EXPECT_EQ(a.text, "tail");
}

TEST(XmlDocument, ReferencesAndCdata) {
  auto doc = parseXml("<a v=\"&quot;q&quot;\">&lt;&gt;&amp;&apos;&quot;&#65;&#x42;&#xe9;<![CDATA[<&>]]></a>");
  ASSERT_TRUE(doc.ok()) << doc.error();
  EXPECT_EQ(doc.value().text, "<>&'\"AB\xC3\xA9<&>");
  EXPECT_EQ(doc.value().attributes[0].second, "\"q\"");
}

TEST(XmlDocument, CommentsAndInstructionsInsideContent) {
  auto doc = parseXml("<a>x<!-- no <b> here -->y<?pi data?>z</a><!-- after -->");
  ASSERT_TRUE(doc.ok()) << doc.error();
  EXPECT_EQ(doc.value().text, "xyz");
  EXPECT_TRUE(doc.value().children.empty());
}

std::string errorOf(const char *text) {
  return parseXml(text).error();
}

TEST(XmlDocument, Errors) {
  EXPECT_EQ(errorOf(""), "line 1: the document has no root element");
  EXPECT_EQ(errorOf("<a>"), "line 1: element <a> is not closed");
  EXPECT_EQ(errorOf("<a>\n</b>"), "line 2: </b> closes <a>");
  EXPECT_EQ(errorOf("<a/><b/>"), "line 1: content after the root element");
  EXPECT_EQ(errorOf("<a>&bogus;</a>"), "line 1: unknown entity &bogus;");
  EXPECT_EQ(errorOf("<a>& b</a>"), "line 1: '&' that starts no reference");
  EXPECT_EQ(errorOf("<a>&#xZZ;</a>"), "line 1: bad character reference &#xZZ;");
  EXPECT_EQ(errorOf("<a>&#0;</a>"), "line 1: character reference to an invalid character");
  EXPECT_EQ(errorOf("<a>&#x110000;</a>"), "line 1: character reference out of range");
  EXPECT_EQ(errorOf("<a>&#;</a>"), "line 1: empty character reference");
  EXPECT_EQ(errorOf("<a x=1/>"), "line 1: an attribute value in quotes was expected");
  EXPECT_EQ(errorOf("<a x='1' x='2'/>"), "line 1: attribute x given twice");
  EXPECT_EQ(errorOf("<a x='<'/>"), "line 1: '<' inside an attribute value");
  EXPECT_EQ(errorOf("<a x='1"), "line 1: unterminated attribute value");
  EXPECT_EQ(errorOf("<a x'1'/>"), "line 1: '=' expected after an attribute name");
  EXPECT_EQ(errorOf("<a x='1'y='2'/>"), "line 1: malformed start tag <a>");
  EXPECT_EQ(errorOf("<!DOCTYPE a><a/>"), "line 1: document type declarations are not supported");
  EXPECT_EQ(errorOf("<a><!-- x -- y --></a>"), "line 1: \"--\" inside a comment");
  EXPECT_EQ(errorOf("<a><!-- x"), "line 1: unterminated comment");
  EXPECT_EQ(errorOf("<a><![CDATA[x</a>"), "line 1: unterminated CDATA section");
  EXPECT_EQ(errorOf("<a>]]></a>"), "line 1: \"]]>\" in character data");
  EXPECT_EQ(errorOf("<?xml "), "line 1: unterminated processing instruction");
  EXPECT_EQ(errorOf("<1/>"), "line 1: a name was expected");
  EXPECT_EQ(errorOf("<a><!ELEMENT x></a>"), "line 1: markup declaration inside an element");
  std::string deep;
  for (int i = 0; i < 70; ++i)
    deep += "<a>";
  EXPECT_EQ(errorOf(deep.c_str()), "line 1: elements nested too deeply");
}

} // namespace
} // namespace vantrel::suite
