// The hidden browser against a real server: loads, redirects, cookies, failures.
#include <gtest/gtest.h>

#include "online/browser.h"
#include "tests/unit/online/online_fixture.h"

namespace tovren::online {
namespace {

class BrowserTest : public testing::OnlineTest {
 protected:
  void SetUp() override {
    auto& s = server.server;
    s.Get("/r1", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/r2", 302); });
    s.Get("/r2", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("final.html", 301);
    });
    s.Get("/loop", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/loop", 302); });
    s.Get("/login", [](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "sid=abc123; Path=/; HttpOnly");
      res.set_content("<form method=post action=/post><input type=submit name=Submit></form>",
                      "text/html");
    });
    s.Post("/post", [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/done", 303); });
    server.Serve("/final.html", "<p>arrived</p>", 200, "text/html");
    server.Serve("/done", "<p>thanks</p>", 200, "text/html");
    server.Serve("/plain", "<p>plain</p>", 200, "text/html");
    server.Serve("/gbk-header", "\xCD\xE6\xBC\xD2", 200, "text/html; charset=GBK");
    server.Serve("/gbk-meta", "<meta charset=gb2312><p>\xCD\xE6\xBC\xD2</p>", 200, "text/html");
    server.Start();
  }
  Browser MakeBrowser() { return Browser(*sim.http, sim.worker, Options().limits); }
};

TEST_F(BrowserTest, LoadsOnTheWorkerAndCompletesOnTheLoop) {
  Browser b(*sim.http, sim.worker);
  int completions = 0;
  b.OnDocumentComplete([&] { ++completions; });
  b.Navigate(server.Host() + "/plain");  // without scheme, as the callers write it
  EXPECT_TRUE(b.Busy());
  EXPECT_EQ(b.Document(), nullptr);
  EXPECT_EQ(b.BodyText(), std::nullopt);
  EXPECT_TRUE(server.Requests().empty());  // nothing on the user-interface thread
  sim.worker.RunAll();
  EXPECT_EQ(completions, 0);  // the completion waits for the loop
  sim.loop.RunUntilIdle();
  EXPECT_EQ(completions, 1);
  EXPECT_FALSE(b.Busy());
  EXPECT_EQ(b.BodyText(), "plain");
  EXPECT_EQ(b.Document()->address, server.Url("/plain"));
}

TEST_F(BrowserTest, ALaterNavigationSupersedesTheOneStillLoading) {
  Browser b(*sim.http, sim.worker);
  std::vector<std::string> seen;
  b.OnDocumentComplete([&] { seen.push_back(b.Document()->address); });
  b.Navigate(server.Url("/plain"));
  b.Navigate(server.Url("/done"));
  RunLoads();
  EXPECT_EQ(seen, (std::vector<std::string>{server.Url("/done")}));
}

TEST_F(BrowserTest, RedirectsAreFollowedAFewTimes) {
  Browser b(*sim.http, sim.worker);
  b.Navigate(server.Url("/r1"));
  RunLoads();
  EXPECT_EQ(b.BodyText(), "arrived");
  EXPECT_EQ(b.Document()->address, server.Url("/final.html"));

  b.Navigate(server.Url("/loop"));
  RunLoads();
  EXPECT_EQ(server.RequestsTo("/loop").size(), static_cast<size_t>(kMaxRedirects + 1));
  EXPECT_EQ(b.Document()->status, 302);
  EXPECT_EQ(b.BodyText(), std::nullopt);
}

TEST_F(BrowserTest, KeptToOneOriginItAsksNothingOfAnother) {
  testing::TestServer elsewhere;
  elsewhere.Serve("/plain", "<p>elsewhere</p>", 200, "text/html");
  elsewhere.Start();
  Browser b(*sim.http, sim.worker);
  b.StayOn(ParseUrl(server.Url("/"))->Origin());
  b.Navigate(elsewhere.Url("/plain"));
  RunLoads();
  EXPECT_TRUE(elsewhere.Requests().empty());
  ASSERT_NE(b.Document(), nullptr);
  EXPECT_FALSE(b.Document()->Loaded());
  b.Navigate(server.Url("/r1"));  // redirects on its own origin are followed
  RunLoads();
  EXPECT_EQ(b.BodyText(), "arrived");
}

TEST_F(BrowserTest, CookiesGoBackToTheirHostForThisBrowserOnly) {
  Browser b(*sim.http, sim.worker);
  b.Navigate(server.Url("/login"));
  RunLoads();
  ASSERT_TRUE(b.Click(b.ElementsNamed("Submit").at(0)));
  EXPECT_TRUE(b.Busy());
  RunLoads();
  auto posts = server.RequestsTo("/post");
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].method, "POST");
  EXPECT_EQ(posts[0].cookie, "sid=abc123");
  EXPECT_EQ(posts[0].contentType, "application/x-www-form-urlencoded");
  EXPECT_EQ(posts[0].referer, server.Url("/login"));
  // 303 after the POST: the result page is fetched with GET.
  auto done = server.RequestsTo("/done");
  ASSERT_EQ(done.size(), 1u);
  EXPECT_EQ(done[0].method, "GET");
  EXPECT_EQ(b.BodyText(), "thanks");

  Browser other(*sim.http, sim.worker);
  other.Navigate(server.Url("/plain"));
  RunLoads();
  EXPECT_EQ(server.RequestsTo("/plain").back().cookie, "");
}

TEST_F(BrowserTest, FailedLoadsCompleteWithoutABody) {
  Browser b = MakeBrowser();
  int completions = 0;
  b.OnDocumentComplete([&] { ++completions; });
  for (std::string address : {server.Url("/missing"), std::string("http://127.0.0.1:1/"),
                              std::string("mailto:nobody")}) {
    SCOPED_TRACE(address);
    b.Navigate(address);
    RunLoads();
    ASSERT_NE(b.Document(), nullptr);
    EXPECT_FALSE(b.Document()->Loaded());
    EXPECT_EQ(b.BodyText(), std::nullopt);
    EXPECT_FALSE(b.Click(0));
  }
  EXPECT_EQ(completions, 3);
}

TEST_F(BrowserTest, PagesAreReadInTheirDeclaredCharset) {
  Browser b(*sim.http, sim.worker);
  for (const char* path : {"/gbk-header", "/gbk-meta"}) {
    SCOPED_TRACE(path);
    b.Navigate(server.Url(path));
    RunLoads();
    EXPECT_EQ(b.Document()->charset, "gbk");
    EXPECT_EQ(b.BodyText(), "玩家");
  }
}

TEST_F(BrowserTest, ABrowserGoneBeforeItsLoadEndsIsNotCalledBack) {
  int completions = 0;
  {
    Browser b(*sim.http, sim.worker);
    b.OnDocumentComplete([&] { ++completions; });
    b.Navigate(server.Url("/plain"));
  }
  RunLoads();
  EXPECT_EQ(completions, 0);
  EXPECT_EQ(server.RequestsTo("/plain").size(), 1u);  // the request itself still went out
}

}  // namespace
}  // namespace tovren::online
