// What a click on a page's submit button sends, and where to.
#include <gtest/gtest.h>

#include "online/form.h"

namespace tovren::online {
namespace {

const char kForm[] =
    "<form action=\"reg.asp\" method=\"POST\">"
    "<input type=hidden name=ver value=1>"
    "<input name=nick value=\"张 三\">"
    "<input type=checkbox name=c1 checked><input type=checkbox name=c2 value=x>"
    "<input type=radio name=r value=1><input type=radio name=r value=2 checked>"
    "<input name=dis value=1 disabled><input value=noname>"
    "<select name=s><option>one<option selected value=2>two</select>"
    "<select name=s2><option disabled>x<option> y \n z </select>"
    "<select name=m multiple><option>no</select>"
    "<textarea name=t>\nl1\nl2\r</textarea>"
    "<input type=submit name=Submit value=\"提交\">"
    "<input type=submit name=other value=no>"
    "<input type=reset name=rs><input type=button name=bt><input type=image name=img>"
    "</form>";

Url PageUrl() { return *ParseUrl("http://127.0.0.1:5000/za/net/1/1/index.asp"); }

int Named(const html::Document& doc, const char* name) { return doc.ElementsNamed(name).at(0); }

TEST(FormData, NamedEnabledControlsAndTheClickedButtonOnly) {
  html::Document doc = html::Parse(kForm);
  FormEntries entries = FormDataSet(doc, 0, Named(doc, "Submit"));
  FormEntries expected = {{"ver", "1"},    {"nick", "张 三"}, {"c1", "on"},
                          {"r", "2"},      {"s", "2"},        {"s2", "y z"},
                          {"t", "l1\r\nl2\r\n"}, {"Submit", "提交"}};
  EXPECT_EQ(entries, expected);
  // An image button sends the click point under its name.
  entries = FormDataSet(doc, 0, Named(doc, "img"));
  EXPECT_EQ(entries.back(), (std::pair<std::string, std::string>{"img.y", "0"}));
}

TEST(FormData, EncodesInThePagesCharset) {
  FormEntries entries = {{"nick", "张 三"}, {"a&b", "x=y+z%"}, {"safe", "A-z_0.9*~"}};
  EXPECT_EQ(EncodeForm(entries, false),
            "nick=%E5%BC%A0+%E4%B8%89&a%26b=x%3Dy%2Bz%25&safe=A-z_0.9*%7E");
  EXPECT_EQ(EncodeForm(entries, true), "nick=%D5%C5+%C8%FD&a%26b=x%3Dy%2Bz%25&safe=A-z_0.9*%7E");
  EXPECT_EQ(EncodeForm({}, false), "");
}

TEST(FormSubmission, WhereAndHowTheClickSends) {
  struct Case {
    const char* name;
    std::string html;
    const char* charset;
    std::optional<std::string> url;  // nothing: the click sends nothing
    std::string method;
    std::string body;
  };
  const std::string page = "http://127.0.0.1:5000/za/net/1/1/index.asp";
  const Case cases[] = {
      {"POST to a relative action", kForm, "utf-8", "http://127.0.0.1:5000/za/net/1/1/reg.asp",
       "POST",
       "ver=1&nick=%E5%BC%A0+%E4%B8%89&c1=on&r=2&s=2&s2=y+z&t=l1%0D%0Al2%0D%0A&Submit=%E6%8F%90%E4%BA%A4"},
      {"GET replaces the action's query and drops its fragment",
       "<form action=\"/a/b.asp?old=1#top\"><input name=ip value=1.2.3.4><input type=submit name=Submit></form>",
       "utf-8", "http://127.0.0.1:5000/a/b.asp?ip=1.2.3.4&Submit=Submit", "GET", ""},
      {"no action: the page itself", "<FORM METHOD=post><INPUT TYPE=SUBMIT NAME=Submit VALUE=ok></FORM>",
       "utf-8", page, "POST", "Submit=ok"},
      {"GBK page", "<form method=post><input name=n value=\"玩家\"><input type=submit name=Submit></form>",
       "gbk", page, "POST", "n=%CD%E6%BC%D2&Submit=Submit"},
      {"accept-charset wins over the page",
       "<form method=post accept-charset=\"UTF-8\"><input name=n value=\"玩\"><input type=submit name=Submit></form>",
       "gbk", page, "POST", "n=%E7%8E%A9&Submit=Submit"},
      {"a button element submits by default",
       "<form action=r.asp><button name=Submit value=go>Go</button></form>", "utf-8",
       "http://127.0.0.1:5000/za/net/1/1/r.asp?Submit=go", "GET", ""},
      {"formaction and formmethod of the button",
       "<form action=a.asp><input type=submit name=Submit formaction=b.asp formmethod=POST></form>",
       "utf-8", "http://127.0.0.1:5000/za/net/1/1/b.asp", "POST", "Submit=Submit"},
      {"base href", "<base href=\"/base/\"><form action=r.asp><input type=submit name=Submit></form>",
       "utf-8", "http://127.0.0.1:5000/base/r.asp?Submit=Submit", "GET", ""},
      {"dot segments and the same origin spelt out",
       "<form action=\"HTTP://127.0.0.1:5000/za/../x/./y.asp\"><input type=submit name=Submit></form>",
       "utf-8", "http://127.0.0.1:5000/x/y.asp?Submit=Submit", "GET", ""},
      {"another host", "<form action=\"http://evil.example/r\"><input type=submit name=Submit></form>",
       "utf-8", std::nullopt, "", ""},
      {"another host without scheme",
       "<form action=\"//evil.example/r\"><input type=submit name=Submit></form>", "utf-8",
       std::nullopt, "", ""},
      {"another port", "<form action=\"http://127.0.0.1:5001/r\"><input type=submit name=Submit></form>",
       "utf-8", std::nullopt, "", ""},
      {"another scheme", "<form action=\"https://127.0.0.1:5000/r\"><input type=submit name=Submit></form>",
       "utf-8", std::nullopt, "", ""},
      {"script action", "<form action=\"javascript:go()\"><input type=submit name=Submit></form>",
       "utf-8", std::nullopt, "", ""},
      {"base to another host",
       "<base href=\"http://evil.example/\"><form action=r><input type=submit name=Submit></form>",
       "utf-8", std::nullopt, "", ""},
      {"not a button", "<form><div name=Submit>x</div></form>", "utf-8", std::nullopt, "", ""},
      {"a plain button", "<form><button type=button name=Submit></button></form>", "utf-8",
       std::nullopt, "", ""},
      {"disabled", "<form><input type=submit name=Submit disabled></form>", "utf-8", std::nullopt,
       "", ""},
      {"outside any form", "<form></form><input type=submit name=Submit>", "utf-8", std::nullopt,
       "", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    html::Document doc = html::Parse(c.html);
    auto submission = BuildSubmission(doc, Named(doc, "Submit"), PageUrl(), c.charset);
    if (!c.url) {
      EXPECT_FALSE(submission.has_value());
      continue;
    }
    ASSERT_TRUE(submission.has_value());
    EXPECT_EQ(submission->url.ForRequest(), *c.url);
    EXPECT_EQ(submission->method, c.method);
    EXPECT_EQ(submission->body, c.body);
  }
}

TEST(Urls, ParseAndResolveLikeABrowser) {
  const Url base = *ParseUrl("http://Host:80/a/b/c.asp?q=1#f");
  EXPECT_EQ(base.ForRequest(), "http://host/a/b/c.asp?q=1");
  EXPECT_EQ(base.Origin(), "http://host:80");
  struct Case {
    const char* reference;
    std::optional<std::string> resolved;
  };
  const Case cases[] = {
      {"d.asp", "http://host/a/b/d.asp"},
      {"../d", "http://host/a/d"},
      {"../../../../d", "http://host/d"},
      {"/d?x=1", "http://host/d?x=1"},
      {"?x=2", "http://host/a/b/c.asp?x=2"},
      {"", "http://host/a/b/c.asp?q=1"},
      {"  d e.asp ", "http://host/a/b/d%20e.asp"},
      {"\\x\\y", "http://host/x/y"},
      {"//other:8080/p", "http://other:8080/p"},
      {"http:d", "http://host/a/b/d"},
      {"mailto:x@y", std::nullopt},
      {"http://[::1]:81/", "http://[::1]:81/"},
      {"http://h:99999/", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.reference);
    auto url = ResolveUrl(base, c.reference);
    if (!c.resolved) {
      EXPECT_FALSE(url.has_value());
    } else {
      ASSERT_TRUE(url.has_value());
      EXPECT_EQ(url->ForRequest(), *c.resolved);
    }
  }
  EXPECT_EQ(WithDefaultScheme("127.0.0.1:18642/ip/ip.asp"), "http://127.0.0.1:18642/ip/ip.asp");
  EXPECT_EQ(WithDefaultScheme("http://h/x"), "http://h/x");
}

}  // namespace
}  // namespace tovren::online
