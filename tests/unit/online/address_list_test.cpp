// The address list: what a fetched document adds, how the list is made, and the refresh
// of both lists from the server.
#include <gtest/gtest.h>

#include "online/address_list.h"
#include "tests/unit/online/online_fixture.h"

namespace tovren::online {
namespace {

TEST(AddressList, EntriesFromOneOrTwoDocuments) {
  struct Case {
    const char* name;
    std::vector<std::string> documents;
    std::string list;
  };
  const Case cases[] = {
      {"blank lines dropped, duplicate removed", {"a\r\n\r\n \r\nb\r\na"}, "a\r\nb"},
      {"blanks around an entry stay", {" 1.2.3.4 \r\n5.6.7.8"}, " 1.2.3.4 \r\n5.6.7.8"},
      {"empty document", {""}, ""},
      {"blank lines only", {" \r\n   \r\n\r\n"}, ""},
      {"final CR LF of the document", {"a\r\nb\r\n"}, "a\r\nb"},
      {"letter case counts", {"Host\r\nhost"}, "Host\r\nhost"},
      {"blanks make a different entry", {"a\r\na \r\na"}, "a\r\na "},
      {"LF alone is inside an entry", {"a\nb\n"}, "a\nb\n"},
      {"a tab is not a blank", {"\t\r\nx"}, "\t\r\nx"},
      {"second list after the first, shared entry once at its first place",
       {"a\r\nb", "c\r\nb\r\na\r\nd"}, "a\r\nb\r\nc\r\nd"},
      {"first empty, second full", {"", "x\r\ny"}, "x\r\ny"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string accumulator;
    std::string list;
    for (const auto& document : c.documents) {
      AppendListLines(document, accumulator);
      list = ListFromAccumulator(accumulator);
    }
    EXPECT_EQ(list, c.list);
  }
}

TEST(AddressList, TheAccumulatorKeepsEveryLineWithItsCrLf) {
  std::string accumulator = "x\r\n";
  AppendListLines(" a\r\n \r\na", accumulator);
  EXPECT_EQ(accumulator, "x\r\n a\r\na\r\n");
}

class RefreshTest : public testing::OnlineTest {
 protected:
  void SetUp() override {
    settings.版本编号.Set("2");
    server.Serve("/za/net/1/2/data.asp", "1.1.1.1\r\n\r\n2.2.2.2\r\n1.1.1.1\r\n");
    server.Serve("/za/net/2/2/data.asp", "3.3.3.3\r\n2.2.2.2\r\n 4.4.4.4");
    server.Start();
  }
};

TEST_F(RefreshTest, BothListsOfARunShareTheAccumulator) {
  std::string accumulator;
  Monitor().RefreshIpList(1, accumulator);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
  Monitor().RefreshIpList(2, accumulator);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2\r\n3.3.3.3\r\n 4.4.4.4");
  EXPECT_EQ(server.RequestsTo("/za/net/1/2/data.asp").size(), 1u);
  EXPECT_EQ(server.RequestsTo("/za/net/2/2/data.asp").size(), 1u);
}

TEST_F(RefreshTest, AFailedSecondListLeavesTheFirst) {
  server.Serve("/za/net/2/2/data.asp", "Not Found\r\n5.5.5.5", 404);
  std::string accumulator;
  Monitor().RefreshIpList(1, accumulator);
  EXPECT_THROW(Monitor().RefreshIpList(2, accumulator), FetchError);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2");
}

TEST_F(RefreshTest, APageWhereTheListShouldBeIsAFailedFetchAndTheListStaysAsItWas) {
  struct Case {
    const char* name;
    const char* body;
    const char* type;
  };
  const Case cases[] = {
      {"a login page with status 200",
       "<!DOCTYPE html><html><body>请登录 1.2.3.4</body></html>", "text/html"},
      {"markup after blank lines, sent as text", "  \r\n<p>1.2.3.4</p>", "text/plain"},
      {"markup after a byte-order mark", "\xEF\xBB\xBF<p>1.2.3.4</p>", "text/plain"},
      {"addresses, then a script", "9.9.9.9\r\n<SCRIPT>location='/login'</SCRIPT>", "text/plain"},
      {"an HTML page with one tag", "9.9.9.9<br>", "text/html; charset=utf-8"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    server.Serve("/za/net/1/2/data.asp", c.body, 200, c.type);
    Monitor().IP.Set("5.5.5.5");
    std::string accumulator;
    try {
      Monitor().RefreshIpList(1, accumulator);
      ADD_FAILURE() << "read as a list";
    } catch (const FetchError& e) {
      EXPECT_NE(e.message().find("网页"), std::string::npos) << e.message();
    }
    EXPECT_EQ(Monitor().IP.Text(), "5.5.5.5");
  }
  // The server's scripts send text/html by default: a bare list under that type is a list.
  server.Serve("/za/net/1/2/data.asp", "1.1.1.1\r\n2.2.2.2 < 3", 200, "text/html");
  std::string accumulator;
  Monitor().RefreshIpList(1, accumulator);
  EXPECT_EQ(Monitor().IP.Text(), "1.1.1.1\r\n2.2.2.2 < 3");
}

TEST_F(RefreshTest, RefreshingDoesNotTouchTheCountdown) {
  Monitor().行数.Set("7");
  std::string accumulator;
  Monitor().RefreshIpList(1, accumulator);
  EXPECT_EQ(Monitor().行数.Text(), "7");
}

TEST_F(RefreshTest, TheF9RunFetchesTheListsItsSwitchesChoose) {
  struct Case {
    bool six, seven;
    std::string list;
  };
  const Case cases[] = {
      {true, false, "1.1.1.1\r\n2.2.2.2"},
      {false, true, "3.3.3.3\r\n2.2.2.2\r\n 4.4.4.4"},
      {true, true, "1.1.1.1\r\n2.2.2.2\r\n3.3.3.3\r\n 4.4.4.4"},
      {false, false, "untouched"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.six << c.seven);
    Monitor().IP.Set("untouched");
    Switch(6, c.six);
    Switch(7, c.seven);
    Monitor().RefreshLists();
    EXPECT_EQ(Monitor().IP.Text(), c.list);
  }
}

TEST_F(RefreshTest, TheVersionGoesIntoTheAddressesAsOnePathSegment) {
  EXPECT_EQ(Monitor().ListAddress(1), "http://" + server.Host() + "/za/net/1/2/data.asp");
  EXPECT_EQ(Monitor().RegistrationPage(2), server.Host() + "/za/net/2/2/index.asp");
  settings.版本编号.Set("1/../x?");
  EXPECT_EQ(Monitor().ListAddress(2), "http://" + server.Host() + "/za/net/2/1%2F..%2Fx%3F/data.asp");
}

}  // namespace
}  // namespace tovren::online
