#include "app/hub_options.h"

#include <gtest/gtest.h>

using namespace vesk;

TEST(HubArgs, DefaultsAddressesAndMistakes) {
  auto [plain, why] = ParseHubArgs({});
  ASSERT_TRUE(plain) << why;
  EXPECT_EQ(plain->host, "127.0.0.1");
  EXPECT_EQ(plain->port, 20100);
  auto [all, w1] = ParseHubArgs({"--listen", "0.0.0.0:4000"});
  ASSERT_TRUE(all) << w1;
  EXPECT_EQ(all->host, "0.0.0.0");
  EXPECT_EQ(all->port, 4000);
  auto [v6, w2] = ParseHubArgs({"--listen", "[::1]:0"});
  ASSERT_TRUE(v6) << w2;
  EXPECT_EQ(v6->host, "::1");
  EXPECT_EQ(v6->port, 0);
  auto [help, w3] = ParseHubArgs({"-h"});
  ASSERT_TRUE(help);
  EXPECT_TRUE(help->help);
  for (const std::vector<std::string>& bad : std::vector<std::vector<std::string>>{
           {"--listen"}, {"--listen", "20100"}, {"--listen", "host:20100"}, {"--listen", "1.2.3:5"},
           {"--listen", "1.2.3.4:"}, {"--listen", "1.2.3.4:99999"}, {"--listen", "::1:5"}, {"--listen", "[zz]:5"},
           {"--port", "5"}}) {
    auto [none, reason] = ParseHubArgs(bad);
    EXPECT_FALSE(none) << bad.back();
    EXPECT_FALSE(reason.empty());
  }
}
