// The submitter end to end: the registration page from the server, the own-address page,
// the address list, and what reaches the server.
#include <gtest/gtest.h>

#include "online/online_services.h"
#include "online/submitter.h"
#include "tests/unit/online/online_fixture.h"

namespace tovren::online {
namespace {

const char kRegistration[] =
    "<HTML><HEAD><META HTTP-EQUIV=\"Content-Type\" CONTENT=\"text/html; charset=gb2312\">"
    "<TITLE>登记</TITLE></HEAD><BODY>"
    "<FORM NAME=reg ACTION=\"reg.asp\" METHOD=POST>"
    "<INPUT TYPE=hidden NAME=list VALUE=1><INPUT TYPE=text NAME=nick VALUE=\"\xCD\xE6\xBC\xD2\">"
    "<INPUT TYPE=submit NAME=Submit VALUE=\"\xCC\xE1\xBD\xBB\">"
    "</FORM></BODY></HTML>";

class SubmitterTest : public testing::OnlineTest {
 protected:
  void SetUp() override {
    server.server.Get("/za/net/1/1/index.asp", [this](const httplib::Request&, httplib::Response& res) {
      res.set_header("Set-Cookie", "ASPSESSIONID=s1; path=/");
      res.set_content(registration, "text/html");
    });
    server.Serve("/ip/ip.asp", "<html><body>\r\n8.8.8.8\r\n</body></html>", 200, "text/html");
    server.Serve("/za/net/1/1/reg.asp", "ok", 200, "text/html");
    server.Serve("/za/net/2/1/index.asp",
                 "<form action=reg.asp method=post><input type=submit name=Submit value=2></form>",
                 200, "text/html");
    server.Serve("/za/net/2/1/reg.asp", "ok", 200, "text/html");
    // List 3's page has gone to another host, list 4's has moved on ours.
    elsewhere.Serve("/index.asp",
                    "<form action=reg.asp method=post><input type=submit name=Submit></form>", 200,
                    "text/html");
    elsewhere.Start();
    server.server.Get("/za/net/3/1/index.asp", [this](const httplib::Request&, httplib::Response& res) {
      res.set_redirect(elsewhere.Url("/index.asp"));
    });
    server.server.Get("/za/net/4/1/index.asp", [](const httplib::Request&, httplib::Response& res) {
      res.set_redirect("/za/net/1/1/index.asp");
    });
    server.Start();
    Monitor().Create();
    RunLoads();  // the own-address page
  }
  提交& Submitter() {
    if (!submitter) submitter = std::make_unique<提交>(sim.Get(), Monitor(), Options().limits);
    return *submitter;
  }
  void OpenAndRun(int list) {
    Submitter().Open(Monitor().RegistrationPage(list));
    EXPECT_TRUE(Submitter().IsOpen());
    RunLoads();
  }

  std::size_t OwnAddressLoads() { return server.RequestsTo("/ip/ip.asp").size(); }

  std::string registration = kRegistration;
  testing::TestServer elsewhere;  // another port: another origin
  std::unique_ptr<提交> submitter;
};

TEST_F(SubmitterTest, AMissingOwnAddressIsRegisteredOnceAndTheWindowCloses) {
  Monitor().IP.Set("1.1.1.1\r\n2.2.2.2");
  OpenAndRun(1);
  auto posts = server.RequestsTo("/za/net/1/1/reg.asp");
  ASSERT_EQ(posts.size(), 1u);
  EXPECT_EQ(posts[0].method, "POST");
  EXPECT_EQ(posts[0].body, "list=1&nick=%CD%E6%BC%D2&Submit=%CC%E1%BD%BB");  // the page's GBK
  EXPECT_EQ(posts[0].cookie, "ASPSESSIONID=s1");
  EXPECT_FALSE(Submitter().IsOpen());
  EXPECT_EQ(sim.desktop.FindOurTopLevel("提交"), 0u);
  EXPECT_TRUE(sim.desktop.messages.empty());
}

TEST_F(SubmitterTest, AListedOwnAddressIsLeftAlone) {
  for (const char* list : {"1.1.1.1\r\n8.8.8.8", "18.8.8.8:27015"}) {  // also inside an entry
    SCOPED_TRACE(list);
    Monitor().IP.Set(list);
    OpenAndRun(1);
    EXPECT_FALSE(Submitter().IsOpen());
  }
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
  EXPECT_EQ(server.RequestsTo("/za/net/1/1/index.asp").size(), 2u);
}

TEST_F(SubmitterTest, PagesThatSayNothingClearSubmitNothingAndCloseQuietly) {
  struct Case {
    const char* name;
    std::string page;
  };
  const Case cases[] = {
      {"no Submit element", "<form action=reg.asp method=post><input type=submit name=go></form>"},
      {"two Submit elements",
       "<form action=reg.asp method=post><input type=submit name=Submit><input type=submit "
       "name=Submit></form>"},
      {"form to another host",
       "<form action=\"http://192.0.2.1/reg.asp\" method=post><input type=submit name=Submit></form>"},
      {"broken markup", "<form action=reg.asp method=post><input type=submit name=\"Submit"},
  };
  Monitor().IP.Set("1.1.1.1");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    registration = c.page;
    OpenAndRun(1);
    EXPECT_FALSE(Submitter().IsOpen());
  }
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
  EXPECT_TRUE(sim.desktop.messages.empty());
}

TEST_F(SubmitterTest, OnlyARegistrationPageOnTheWebHostIsSubmittedTo) {
  Monitor().IP.Set("1.1.1.1");

  // Redirected to another host: it is not even asked for the page, nothing is sent, and
  // nothing is told to the player.
  OpenAndRun(3);
  EXPECT_FALSE(Submitter().IsOpen());
  EXPECT_TRUE(elsewhere.Requests().empty());
  EXPECT_TRUE(sim.desktop.messages.empty());

  // Moved on the same host: submitted where the page now is.
  OpenAndRun(4);
  EXPECT_FALSE(Submitter().IsOpen());
  EXPECT_EQ(server.RequestsTo("/za/net/1/1/reg.asp").size(), 1u);
  EXPECT_TRUE(elsewhere.Requests().empty());
}

TEST_F(SubmitterTest, AnOwnAddressPageThatFailedAtStartIsAskedForAgainFirst) {
  server.Serve("/ip/ip.asp", "gone", 404);
  动态 fresh(sim.Get(), settings, Options());
  const std::size_t before = OwnAddressLoads();
  fresh.Create();
  RunLoads();
  ASSERT_EQ(fresh.WebIP.BodyText(), std::nullopt);
  fresh.IP.Set("1.1.1.1");
  提交 submitter(sim.Get(), fresh, Options().limits);

  // Still failing at the registration: nothing is sent.
  submitter.Open(fresh.RegistrationPage(1));
  RunLoads();
  EXPECT_FALSE(submitter.IsOpen());
  EXPECT_EQ(OwnAddressLoads(), before + 2);
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());

  // There now: the next start's registration loads it before it decides, and registers.
  server.Serve("/ip/ip.asp", "<html><body>8.8.8.8</body></html>", 200, "text/html");
  submitter.Open(fresh.RegistrationPage(1));
  submitter.Open(fresh.RegistrationPage(2));  // both lists of one start: asked for once
  RunLoads();
  EXPECT_EQ(OwnAddressLoads(), before + 3);
  EXPECT_EQ(fresh.WebIP.BodyText(), "8.8.8.8");
  EXPECT_EQ(server.RequestsTo("/za/net/2/1/reg.asp").size(), 1u);
  EXPECT_FALSE(submitter.IsOpen());

  // Known from then on: not asked for again.
  fresh.IP.Set("8.8.8.8");
  submitter.Open(fresh.RegistrationPage(1));
  RunLoads();
  EXPECT_EQ(OwnAddressLoads(), before + 3);
}

TEST_F(SubmitterTest, AnOwnAddressPageThatIsNoAddressSendsNothing) {
  // A network's login page, with status 200, where the own address should be.
  for (const char* page : {"<html><body>Please log in to the network</body></html>",
                           "<html><body>请先登录网络</body></html>",
                           "<p>1.2.3.4</p><p>5.6.7.8</p>"}) {
    SCOPED_TRACE(page);
    server.Serve("/ip/ip.asp", page, 200, "text/html");
    动态 fresh(sim.Get(), settings, Options());
    const std::size_t before = OwnAddressLoads();
    fresh.Create();
    RunLoads();
    EXPECT_EQ(fresh.OwnAddress(), std::nullopt);
    fresh.IP.Set("1.1.1.1");
    提交 submitter(sim.Get(), fresh, Options().limits);
    submitter.Open(fresh.RegistrationPage(1));
    RunLoads();
    EXPECT_FALSE(submitter.IsOpen());
    EXPECT_EQ(OwnAddressLoads(), before + 2);  // asked for again at the registration
    EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
  }
}

TEST_F(SubmitterTest, AnEmptyOwnAddressIsFoundInEveryList) {
  server.Serve("/ip/ip.asp", "<html><body> </body></html>", 200, "text/html");
  动态 fresh(sim.Get(), settings, Options());
  const std::size_t before = OwnAddressLoads();
  fresh.Create();
  RunLoads();
  ASSERT_EQ(fresh.WebIP.BodyText(), "");
  提交 submitter(sim.Get(), fresh, Options().limits);
  submitter.Open(fresh.RegistrationPage(1));
  RunLoads();
  EXPECT_EQ(OwnAddressLoads(), before + 2);  // asked for again, still empty
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
}

TEST_F(SubmitterTest, WithBothListsTheSecondNavigationIsTheOneActedOn) {
  Monitor().IP.Set("1.1.1.1");
  OnlineServices online(Monitor(), Submitter());
  launch::OnlineSteps& steps = online;
  steps.OpenSubmitter(1);
  steps.OpenSubmitter(2);
  RunLoads();
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
  EXPECT_EQ(server.RequestsTo("/za/net/2/1/reg.asp").size(), 1u);
  EXPECT_FALSE(Submitter().IsOpen());
}

TEST_F(SubmitterTest, TheStartSequencesStepsRefreshThenRegister) {
  server.Serve("/za/net/1/1/data.asp", "1.1.1.1\r\n2.2.2.2");
  OnlineServices online(Monitor(), Submitter());
  launch::OnlineSteps& steps = online;
  std::string accumulator;
  steps.RefreshList(1, accumulator);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
  EXPECT_THROW(steps.RefreshList(2, accumulator), FetchError);  // no second list on the server
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
  steps.OpenSubmitter(1);
  RunLoads();
  EXPECT_EQ(server.RequestsTo("/za/net/1/1/reg.asp").size(), 1u);
}

TEST_F(SubmitterTest, ClosedBeforeThePageArrivesItDoesNothingMore) {
  Monitor().IP.Set("1.1.1.1");
  Submitter().Open(Monitor().RegistrationPage(1));
  Submitter().Close();
  RunLoads();
  EXPECT_TRUE(server.RequestsTo("/za/net/1/1/reg.asp").empty());
  EXPECT_FALSE(Submitter().IsOpen());
}

}  // namespace
}  // namespace tovren::online
