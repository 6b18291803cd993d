// The text fetcher against a real server, the decoder and the line reader.
#include <gtest/gtest.h>

#include <chrono>

#include "online/fetch.h"
#include "online/get_line.h"
#include "platform/sim/sim_platform.h"
#include "tests/unit/online/test_server.h"

namespace tovren::online {
namespace {

using testing::SilentServer;
using testing::TestServer;

class FetchTextTest : public ::testing::Test {
 protected:
  void SetUp() override {
    Serve("/empty", "");
    Serve("/lf", "1.1.1.1\n2.2.2.2\n");
    Serve("/bom", "\xEF\xBB\xBF" "1.1.1.1\r\n2.2.2.2");
    Serve("/chinese", "玩家\r\n\xFF" "x");
    server.server.Get("/missing", [](const httplib::Request&, httplib::Response& res) {
      res.status = 404;
      res.set_content("Not Found\r\n9.9.9.9", "text/plain");
    });
    server.server.Get("/broken", [](const httplib::Request&, httplib::Response& res) {
      res.status = 500;
      res.set_content("Server Error", "text/plain");
    });
    server.server.Get("/big", [](const httplib::Request&, httplib::Response& res) {
      res.set_content(std::string(2 * 1024 * 1024, 'a'), "text/plain");
    });
    Serve("/ten", "0123456789");
    server.Start();
  }
  void Serve(const std::string& path, std::string body) {
    server.server.Get(path, [body](const httplib::Request&, httplib::Response& res) {
      res.set_content(body, "text/plain");
    });
  }

  TestServer server;
  std::unique_ptr<platform::Http> http = sim::MakeCurlHttp();
};

TEST_F(FetchTextTest, RequestsTheAddressWithoutSurroundingBlanksAsOnePlainGet) {
  EXPECT_EQ(FetchText(*http, "   " + server.Url("/lf") + "  "), "1.1.1.1\n2.2.2.2\n");
  auto seen = server.Requests();
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0].method, "GET");
  EXPECT_EQ(seen[0].path, "/lf");
  EXPECT_EQ(seen[0].body, "");
  EXPECT_EQ(seen[0].cookie, "");
}

TEST_F(FetchTextTest, DecodesTheBodyAsUtf8) {
  EXPECT_EQ(FetchText(*http, server.Url("/empty")), "");
  // A leading byte-order mark is not part of the first address.
  EXPECT_EQ(FetchText(*http, server.Url("/bom")), "1.1.1.1\r\n2.2.2.2");
  // Invalid bytes become U+FFFD, so the text inside stays valid UTF-8.
  EXPECT_EQ(FetchText(*http, server.Url("/chinese")), "玩家\r\n\xEF\xBF\xBDx");
}

TEST_F(FetchTextTest, AnErrorStatusIsAFailedRequestNotAList) {
  for (const char* path : {"/missing", "/broken", "/no-such-page"}) {
    SCOPED_TRACE(path);
    try {
      FetchText(*http, server.Url(path));
      FAIL() << "no error";
    } catch (const FetchError& e) {
      EXPECT_FALSE(e.message().empty());
      EXPECT_NE(std::string(e.what()).find("status"), std::string::npos) << e.what();
    }
  }
}

// /hop/N answers with a redirect to /hop/N-1 (relative, absolute, by several codes), and
// /hop/0 with the list.
class FetchRedirectTest : public FetchTextTest {
 protected:
  void SetUp() override {
    server.server.Get(R"(/hop/(\d+))", [this](const httplib::Request& req, httplib::Response& res) {
      int n = std::stoi(req.matches[1]);
      if (n == 0) return res.set_content("1.1.1.1\r\n2.2.2.2", "text/plain");
      static const int codes[] = {301, 302, 303, 307, 308};
      res.status = codes[n % 5];
      std::string next = "/hop/" + std::to_string(n - 1);
      res.set_header("Location", n % 2 ? next.substr(5) : server.Url(next));  // "0" or absolute
    });
    server.server.Get("/away", [this](const httplib::Request&, httplib::Response& res) {
      res.status = 302;
      res.set_header("Location", elsewhere.Url("/list"));
    });
    FetchTextTest::SetUp();
    elsewhere.Serve("/list", "6.6.6.6");
    elsewhere.Start();
  }
  TestServer elsewhere;  // another port: another origin
};

TEST_F(FetchRedirectTest, SameHostRedirectsAreFollowedUpToFive) {
  for (int hops : {1, 5}) {
    SCOPED_TRACE(hops);
    EXPECT_EQ(FetchText(*http, server.Url("/hop/" + std::to_string(hops))), "1.1.1.1\r\n2.2.2.2");
  }
  EXPECT_EQ(server.RequestsTo("/hop/0").size(), 2u);
  for (const auto& r : server.Requests()) EXPECT_EQ(r.method, "GET");
}

TEST_F(FetchRedirectTest, ASixthRedirectOrOneToAnotherHostIsAFailedRequest) {
  EXPECT_THROW(FetchText(*http, server.Url("/hop/6")), FetchError);
  EXPECT_TRUE(server.RequestsTo("/hop/0").empty());
  EXPECT_EQ(server.RequestsTo("/hop/1").size(), 1u);  // the fifth redirect's target, not further
  EXPECT_THROW(FetchText(*http, server.Url("/away")), FetchError);
  EXPECT_TRUE(elsewhere.Requests().empty());  // nothing is asked of the other host
}

TEST_F(FetchTextTest, TheBodyIsCapped) {
  EXPECT_THROW(FetchText(*http, server.Url("/big")), FetchError);  // 2 MiB over the 1 MiB default
  RequestLimits ten;
  ten.maxBodyBytes = 10;
  EXPECT_EQ(FetchText(*http, server.Url("/ten"), ten), "0123456789");
  RequestLimits nine;
  nine.maxBodyBytes = 9;
  EXPECT_THROW(FetchText(*http, server.Url("/ten"), nine), FetchError);
}

TEST(FetchTextTransport, ASilentServerEndsAtTheTimeOut) {
  SilentServer silent;
  auto http = sim::MakeCurlHttp();
  RequestLimits limits;
  limits.connectTimeoutMs = 200;
  limits.totalTimeoutMs = 400;
  auto start = std::chrono::steady_clock::now();
  EXPECT_THROW(FetchText(*http, silent.Url("/za/net/1/1/data.asp"), limits), FetchError);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

TEST(FetchTextTransport, NoServerAndNoAddressAreFailures) {
  auto http = sim::MakeCurlHttp();
  EXPECT_THROW(FetchText(*http, "http://127.0.0.1:1/x"), FetchError);
  EXPECT_THROW(FetchText(*http, "   "), FetchError);
}

TEST(BytesToText, DecodesUtf8AndGbkByName) {
  platform::Bytes gbk = {0xD6, 0xD0, 0xCE, 0xC4, '1'};
  EXPECT_EQ(BytesToText(gbk, "GBK"), "中文1");
  EXPECT_EQ(BytesToText(gbk, "gb2312"), "中文1");
  platform::Bytes utf8 = {0xEF, 0xBB, 0xBF, 0xE4, 0xB8, 0xAD};
  EXPECT_EQ(BytesToText(utf8, "UTF-8"), "中");
  EXPECT_EQ(BytesToText(utf8, "utf-8"), "中");
  EXPECT_EQ(BytesToText({}, "UTF-8"), "");
  EXPECT_THROW(BytesToText(utf8, "EBCDIC"), std::invalid_argument);
}

TEST(GetLine, ReadsTheListAsItsTextBoxCountsLines) {
  struct Case {
    std::string text;
    int count;
    std::vector<std::pair<int, std::string>> lines;
  };
  const Case cases[] = {
      {"", 1, {{0, ""}, {1, ""}}},
      {"a", 1, {{0, "a"}, {1, ""}}},
      {"a\r\nb", 2, {{0, "a"}, {1, "b"}, {2, ""}, {-1, ""}}},
      {"a\r\nb\r\nc", 3, {{2, "c"}, {1, "b"}, {7, ""}}},
      {"a\r\n", 2, {{0, "a"}, {1, ""}}},
      {"\r\n", 2, {{0, ""}, {1, ""}}},
      {" 1.1.1.1 \r\nx", 2, {{0, " 1.1.1.1 "}}},
      // LF alone does not end a line.
      {"a\nb\rc", 1, {{0, "a\nb\rc"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(c.text));
    EXPECT_EQ(LineCount(c.text), c.count);
    for (const auto& [line, expected] : c.lines) EXPECT_EQ(GetLine(c.text, line), expected) << line;
  }
}

}  // namespace
}  // namespace tovren::online
