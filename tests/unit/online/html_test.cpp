// The HTML reader on real and broken markup.
#include <gtest/gtest.h>

#include "online/html.h"

namespace tovren::online::html {
namespace {

TEST(HtmlBodyText, IsWhatABrowserShowsForAPlainPage) {
  struct Case {
    const char* html;
    const char* text;
  };
  const Case cases[] = {
      {"<html><body>8.8.8.8</body></html>", "8.8.8.8"},
      {"8.8.8.8\r\n", "8.8.8.8"},
      {"<HTML><HEAD><TITLE>IP</TITLE><SCRIPT>var a='<b>1</b>';</SCRIPT><STYLE>b{}</STYLE>"
       "</HEAD><BODY>\n  1.2.3.4  \n</BODY></HTML>",
       "1.2.3.4"},
      {"<p>a</p><p>b</p>", "a\r\nb"},
      {"<div>a<div>b</div>c</div>", "a\r\nb\r\nc"},
      {"a<br>b<br/><br>c", "a\r\nb\r\n\r\nc"},
      {"<!-- 9.9.9.9 -->1.1.1.1<!---->", "1.1.1.1"},
      {"a &amp; b &lt;c&gt; &#20013;&#x6587; &copy &nbsp;", "a & b <c> 中文 © \xC2\xA0"},
      {"&#0;&#x110000;&#xD800;&#150;&bogus;&", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xE2\x80\x93&bogus;&"},
      {"a   b\t\nc", "a b c"},
      {"<b>x</b>y <i>z</i>", "xy z"},
      {"<table><tr><td>a</td><td>b</td></tr><tr><td>c</td></tr></table>", "a b\r\nc"},
      {"<!-- unclosed comment 1.1.1.1", ""},
      {"a < b and c <> d", "a < b and c <> d"},
      {"<script>document.write('<p>x</p>')", ""},
      {"<sCrIpT type=\"text/javascript\">x</ScRiPt >shown", "shown"},
      {"<textarea>t</textarea>u<title>t</title>", "u"},
      {"<select><option>o</select>v", "v"},
      {"<!DOCTYPE html><?xml version=\"1.0\"?>x", "x"},
      {"<head><meta charset=utf-8>hidden? no</head>", "hidden? no"},
      {"<p>unclosed <b>bold <i>italic", "unclosed bold italic"},
      {"</p>stray</b> end tags</br>x", "stray end tags\r\nx"},
      {"<input name=\"a", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(Parse(c.html).bodyText, c.text);
  }
}

TEST(HtmlElements, TagsAndAttributesInEveryWriting) {
  Document doc = Parse(
      "<INPUT Type=Submit NAME=\"Submit\" value='提 交'>"
      "<a href=1 HREF=2 title=\"x &amp; y\" alt=&ampz data=&amp= rel=&amp;>"
      "<a b='1'c=2 d = \"3\" e/f>"
      "<IMG SRC=/x/y.gif disabled><br/>"
      "<div id=\"Submit\"></div>");
  ASSERT_EQ(doc.elements.size(), 6u);
  const Element& input = doc.elements[0];
  EXPECT_EQ(input.tag, "input");
  EXPECT_EQ(*input.Attr("type"), "Submit");
  EXPECT_EQ(*input.Attr("name"), "Submit");
  EXPECT_EQ(*input.Attr("value"), "提 交");
  const Element& a = doc.elements[1];
  EXPECT_EQ(*a.Attr("href"), "1");
  EXPECT_EQ(*a.Attr("title"), "x & y");
  EXPECT_EQ(*a.Attr("alt"), "&ampz");
  EXPECT_EQ(*a.Attr("data"), "&amp=");
  EXPECT_EQ(*a.Attr("rel"), "&");
  const Element& b = doc.elements[2];
  EXPECT_EQ(*b.Attr("b"), "1");
  EXPECT_EQ(*b.Attr("c"), "2");
  EXPECT_EQ(*b.Attr("d"), "3");
  EXPECT_TRUE(b.Has("e"));
  EXPECT_TRUE(b.Has("f"));
  EXPECT_EQ(*doc.elements[3].Attr("src"), "/x/y.gif");
  EXPECT_EQ(*doc.elements[3].Attr("disabled"), "");
  EXPECT_EQ(doc.elements[4].tag, "br");
  EXPECT_EQ(doc.ElementsNamed("Submit"), (std::vector<int>{0, 5}));
  EXPECT_TRUE(doc.ElementsNamed("submit").empty());
}

TEST(HtmlDocument, CharsetTitleAndBase) {
  struct Case {
    const char* html;
    std::optional<std::string> charset;
  };
  const Case cases[] = {
      {"<meta charset=GBK>", "gbk"},
      {"<META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=gb2312\">", "gb2312"},
      {"<meta http-equiv=content-type content='text/html;charset=\"utf-8\"'>", "utf-8"},
      {"<meta content=\"text/html; charset=gbk\">", std::nullopt},  // no http-equiv
      {"<meta name=keywords><meta charset=utf-8><meta charset=gbk>", "utf-8"},
      {"<p>no meta</p>", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.html);
    EXPECT_EQ(Parse(c.html).declaredCharset, c.charset);
  }
  Document doc = Parse("<title> 登记 \n 页 </title><base href=\"http://h/b/\"><base href=x>");
  EXPECT_EQ(doc.title, "登记 页");
  EXPECT_EQ(doc.baseHref, "http://h/b/");
  EXPECT_EQ(CharsetFromContentType("text/html; Charset=GBK"), "gbk");
  EXPECT_EQ(CharsetFromContentType("text/plain"), std::nullopt);
}

TEST(HtmlForms, ControlsBelongToTheFormOpenWhenTheyAppear) {
  Document doc = Parse(
      "<form id=f1><input name=a><table><tr><td><select name=s><option>1</select></td></tr>"
      "</table></form>"
      "<input name=b form=f1><input name=orphan>"
      "<form><form id=ignored><input name=c><textarea name=t>\nx</textarea>"  // nested: one form
      "<input name=d form=nowhere>");
  auto index = [&](const char* name) { return doc.ElementsNamed(name).at(0); };
  int f1 = static_cast<int>(0);
  ASSERT_EQ(doc.elements[0].tag, "form");
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("a"))].form, f1);
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("s"))].form, f1);
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("b"))].form, f1);
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("orphan"))].form, -1);
  int second = doc.elements[static_cast<size_t>(index("c"))].form;
  ASSERT_GE(second, 0);
  EXPECT_NE(second, f1);
  EXPECT_TRUE(doc.ElementsNamed("ignored").empty());
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("t"))].form, second);
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("t"))].text, "x");
  EXPECT_EQ(doc.elements[static_cast<size_t>(index("d"))].form, -1);
  // The option belongs to its select and keeps its text.
  int s = index("s");
  const Element& option = doc.elements[static_cast<size_t>(s) + 1];
  EXPECT_EQ(option.tag, "option");
  EXPECT_EQ(option.select, s);
  EXPECT_EQ(option.text, "1");
}

}  // namespace
}  // namespace tovren::online::html
