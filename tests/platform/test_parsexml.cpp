// The XML tokenizer: token sequences, truncated input, small token buffers,
// push-back, and read errors that end the data with an error result.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "host/HostFiles.h"
#include "platform/ParseXML.h"
#include "platform/SysIO.h"

namespace {

// Every token of the text, up to (not including) the empty one at the end.
std::vector<std::string> Tokens(const std::string& text, size_t room = XML_TOKEN_SIZE) {
  std::vector<std::string> out;
  EXPECT_TRUE(Init_ParseXML_Buffer(text.data(), text.size()));
  std::vector<char> token(room);
  for (size_t guard = 0; guard <= text.size() + 1; guard++) {
    OSErr err = GetTokenXML(token);
    if (err == eofErr) {
      EXPECT_EQ(token[0], 0);
      break;
    }
    EXPECT_EQ(err, noErr);
    out.emplace_back(token.data());
  }
  Stop_ParseXML();
  return out;
}

using V = std::vector<std::string>;

TEST(ParseXML, TokenSequences) {
  struct Case {
    const char* text;
    V tokens;
  };
  const Case cases[] = {
      // A tag, a text run with its line feed, a closing tag.
      {"<name>Name\n</name>", {"<name>", "Name\n", "</name>"}},
      // Carriage returns never reach a token; line feeds inside a run do.
      {"<a>\r\nx\r\ny</a>\r\n", {"<a>", "x\ny", "</a>"}},
      // Leading white space is skipped, inner and trailing white space kept.
      {"  \t\n hello  world \n<b>", {"hello  world \n", "<b>"}},
      // Attributes stay in their tag, with their quotes.
      {"<media src=\"a b.mp3\" cid=\"{1}\" tid=\"2\"/>",
       {"<media src=\"a b.mp3\" cid=\"{1}\" tid=\"2\"/>"}},
      // Entities and character references are not decoded.
      {"<t>a &amp; b &#233;</t>", {"<t>", "a &amp; b &#233;", "</t>"}},
      // Processing instructions and comments are tags like any other.
      {"<?xml version=\"1.0\"?><!-- note --><plist>",
       {"<?xml version=\"1.0\"?>", "<!-- note -->", "<plist>"}},
      // A ">" inside a comment ends the tag there: the rest is a text run.
      {"<!-- a > b --><x>", {"<!-- a >", "b -->", "<x>"}},
      // A "<" inside a tag does not end it: CDATA runs to its first ">".
      {"<![CDATA[x<y]]>z", {"<![CDATA[x<y]]>", "z"}},
      // A stray ">" outside a tag is text.
      {"a>b<c>", {"a>b", "<c>"}},
      {"<key>Track ID</key><integer>42</integer>",
       {"<key>", "Track ID", "</key>", "<integer>", "42", "</integer>"}},
      {"", {}},
      {" \n\r\t ", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Tokens(c.text), c.tokens);
  }
}

TEST(ParseXML, TruncatedInputGivesWhatIsThere) {
  EXPECT_EQ(Tokens("<abc"), V({"<abc"}));
  EXPECT_EQ(Tokens("<a>text"), V({"<a>", "text"}));
  EXPECT_EQ(Tokens("<"), V({"<"}));
  // A byte 255 ends the data for good, as the end of the file does.
  EXPECT_EQ(Tokens(std::string("<a>x\xFFy</a>")), V({"<a>", "x"}));
}

TEST(ParseXML, LongTokensAreCutToTheirBuffer) {
  std::string run(3000, 'a');
  V t = Tokens(run + "<x>");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0], std::string(XML_TOKEN_SIZE - 2, 'a'));  // HIGH - 1 characters
  EXPECT_EQ(t[1], "<x>");

  std::string tag = "<" + std::string(5000, 't') + ">";
  t = Tokens(tag + "after");
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].size(), size_t(XML_TOKEN_SIZE - 2));
  EXPECT_EQ(t[1], "after");

  // The smallest buffers stay terminated within themselves.
  EXPECT_EQ(Tokens("<a>b</a>", 1), V({"", "", ""}));
  EXPECT_EQ(Tokens("<a>bc</a>", 4), V({"<a", "bc", "</"}));
}

TEST(ParseXML, PushBack) {
  const std::string text = "<a>one<b>";
  ASSERT_TRUE(Init_ParseXML_Buffer(text.data(), text.size()));
  char token[64];
  ASSERT_EQ(GetTokenXML(token), noErr);
  EXPECT_STREQ(token, "<a>");
  UnGetTokenXML(token);
  ASSERT_EQ(GetTokenXML(token), noErr);
  EXPECT_STREQ(token, "<a>");
  EXPECT_EQ(GetChar(), 'o');
  UnGetChar('O');
  ASSERT_EQ(GetTokenXML(token), noErr);
  EXPECT_STREQ(token, "One");
  // A pushed-back token longer than the caller's buffer is cut to it.
  UnGetTokenXML("<very-long-tag>");
  char small[6];
  ASSERT_EQ(GetTokenXML(small), noErr);
  EXPECT_STREQ(small, "<very");
  ASSERT_EQ(GetTokenXML(token), noErr);
  EXPECT_STREQ(token, "<b>");
  EXPECT_EQ(GetTokenXML(token), eofErr);
  EXPECT_EQ(GetTokenXML(token), eofErr);  // the end stays the end
  EXPECT_EQ(GetChar(), XML_EOF);
  Stop_ParseXML();
  EXPECT_EQ(GetTokenXML(token), errFailed);  // no reader open
  EXPECT_STREQ(token, "");
}

class ParseXMLFile : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* t = std::getenv("TMPDIR");
    std::string tmpl = std::string(t != nullptr && t[0] == '/' ? t : "/tmp") + "/velmor-xml-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back(0);
    ASSERT_NE(::mkdtemp(buf.data()), nullptr);
    dir = buf.data();
    // Long enough to need several reads of the reader's buffer.
    for (int i = 0; i < 500; i++) text += "<key>Name " + std::to_string(i) + "</key>\r\n";
    std::ofstream(dir + "/list.xml", std::ios::binary) << text;
    ASSERT_TRUE(Path_From_Text(path, (dir + "/list.xml").c_str()));
  }
  void TearDown() override {
    Host_Fail_Reads_After(-1);
    Stop_ParseXML();
    std::string cmd = "rm -rf '" + dir + "'";
    (void)std::system(cmd.c_str());
  }
  std::string dir, text;
  FSSpec path;
};

TEST_F(ParseXMLFile, ReadsAFileAcrossBuffers) {
  ASSERT_TRUE(Init_ParseXML(path));
  char token[XML_TOKEN_SIZE];
  int n = 0;
  OSErr err;
  while ((err = GetTokenXML(token)) == noErr) {
    if (n % 3 == 1) {
      EXPECT_EQ(std::string(token), "Name " + std::to_string(n / 3));
    }
    n++;
  }
  EXPECT_EQ(err, eofErr);
  EXPECT_EQ(n, 1500);
  EXPECT_FALSE(ParseXML_Failed());
  Stop_ParseXML();

  FSSpec missing;
  ASSERT_TRUE(Path_From_Text(missing, (dir + "/missing.xml").c_str()));
  EXPECT_FALSE(Init_ParseXML(missing));
}

TEST_F(ParseXMLFile, ReadErrorEndsTheDataWithAnError) {
  ASSERT_TRUE(Init_ParseXML(path));
  Host_Fail_Reads_After(5000);
  char token[XML_TOKEN_SIZE];
  OSErr err;
  int n = 0;
  // No internal error: the tokens before the failure, then an error result.
  while ((err = GetTokenXML(token)) == noErr) n++;
  EXPECT_EQ(err, errFailed);
  EXPECT_STREQ(token, "");
  EXPECT_GT(n, 0);
  EXPECT_LT(n, 1500);
  EXPECT_TRUE(ParseXML_Failed());
  EXPECT_EQ(GetTokenXML(token), errFailed);  // and it stays ended
  EXPECT_EQ(GetChar(), XML_EOF);
  Stop_ParseXML();
}

}  // namespace
