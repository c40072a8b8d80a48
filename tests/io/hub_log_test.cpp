#include "io/hub_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/hub_transports.h"

using namespace vesk;
using namespace std::string_literals;

TEST(HubEventText, EveryKindInTheWordsOfTheLog) {
  HubEvent e;
  e.name = "vesk2";
  e.peer = "127.0.0.1:40122";
  EXPECT_EQ(HubEventText(e), "станция vesk2 подключилась (127.0.0.1:40122)");
  e.kind = HubEvent::Kind::Left;
  EXPECT_EQ(HubEventText(e), "станция vesk2 отключилась");
  e.kind = HubEvent::Kind::Disconnected;
  e.reason = kReasonNotReading;
  EXPECT_EQ(HubEventText(e), "станция vesk2 отключена: не принимает данные");
  e.joined = false;
  e.reason = kReasonHandshakeTimeout;
  EXPECT_EQ(HubEventText(e), "подключение vesk2 (127.0.0.1:40122) закрыто: не завершило вход за 10 с");
  e.kind = HubEvent::Kind::Refused;
  e.reason = kReasonNoSlot;
  EXPECT_EQ(HubEventText(e), "подключение с 127.0.0.1:40122 отклонено: нет свободных мест");
  e.peer.clear();
  EXPECT_EQ(HubEventText(e), "подключение отклонено: нет свободных мест");
}

TEST(HubLog, OneLinePerEventAndASummaryOfTheCounts) {
  NetAdapter adapter;
  vesk::testing::RecordingTransport wire;
  adapter.setTransport(&wire);
  std::vector<std::string> lines;
  HubLog log(adapter, [&lines](const std::string& line) { lines.push_back(line); });
  ASSERT_EQ(adapter.StartHub("127.0.0.1", 4000), "");
  for (int i = 1; i <= 3; ++i) {
    adapter.ConnectionRequest(0, i);
    adapter.DataArrival(i, "quon-authorize.\0quon-accepted:vesk"s + std::to_string(i) + '\0');
  }
  adapter.DataArrival(1, "public-packet:vesk1;41\0public-packet:vesk1;42\0"s);
  wire.unsent[3] = NetAdapter::kMaxUnsentBytes + 1;
  adapter.DataArrival(1, "public-packet:vesk1;43\0"s);
  adapter.SocketClosed(2);
  EXPECT_EQ(lines, (std::vector<std::string>{"станция vesk1 подключилась", "станция vesk2 подключилась",
                                             "станция vesk3 подключилась",
                                             "станция vesk3 отключена: не принимает данные",
                                             "станция vesk2 отключилась"}));
  EXPECT_EQ(log.Summary(),
            "итог: станций подключалось 3, отключилось 1, отключено концентратором 1, подключений отклонено 0; "
            "сейчас станций 1; пакетов передано 3");
}
