// Tests of the POSIX child start's splitting of a command string by the Windows rules.
#include "commandLine.h"
#include "launcherPlatform.h"

#include <gtest/gtest.h>

using vantrel::launcher::quoteCommandWord;
using vantrel::launcher::platform::splitCommandString;
using Words = std::vector<std::string>;

TEST(SplitCommandString, QuotedWordsFollowedBySpaces) {
  EXPECT_EQ(splitCommandString("\"/opt/jre/bin/java\" -Xmx2g -cp \"a.jar:b.jar:\" \"M\" \"a b\" \"\" "),
            (Words{"/opt/jre/bin/java", "-Xmx2g", "-cp", "a.jar:b.jar:", "M", "a b", ""}));
}

TEST(SplitCommandString, ProgramNameKeepsBackslashes) {
  EXPECT_EQ(splitCommandString("\"C:\\x\\\" y"), (Words{"C:\\x\\", "y"}));
  EXPECT_EQ(splitCommandString("prog\\ a\tb"), (Words{"prog\\", "a", "b"}));
}

TEST(SplitCommandString, BackslashRules) {
  EXPECT_EQ(splitCommandString("p a\\\\b"), (Words{"p", "a\\\\b"}));
  EXPECT_EQ(splitCommandString("p a\\\\\"b c\""), (Words{"p", "a\\b c"}));
  EXPECT_EQ(splitCommandString("p a\\\"b"), (Words{"p", "a\"b"}));
  EXPECT_EQ(splitCommandString("p \"a\"\"b\""), (Words{"p", "a\"b"}));
  EXPECT_EQ(splitCommandString("p a\"b c\"d"), (Words{"p", "ab cd"}));
}

TEST(SplitCommandString, UnclosedQuoteRunsToTheEnd) {
  EXPECT_EQ(splitCommandString("p \"a b"), (Words{"p", "a b"}));
  EXPECT_EQ(splitCommandString("\"p"), (Words{"p"}));
}

TEST(SplitCommandString, QuotedWordsComeBackIntact) {
  for (const std::string &word :
       {std::string("plain"), std::string("a b"), std::string("say \"hi\""), std::string("C:\\out dir\\"),
        std::string("a\\\\\"b"), std::string(""), std::string("\\")}) {
    std::string line = "\"prog\" " + quoteCommandWord(word) + " " + quoteCommandWord("next") + " ";
    EXPECT_EQ(splitCommandString(line), (Words{"prog", word, "next"})) << word;
  }
}
