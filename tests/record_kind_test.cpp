#include "archive/record_kind.h"

#include <gtest/gtest.h>

#include "archive/sample_archive.h"

namespace torv {
namespace {

struct KindCase {
  const char* name;
  ArchiveRecord record;
  EventKind kind;
  EventType type;
  std::optional<int> input;
  std::optional<int> relay;
};

class RecordKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(RecordKindTest, KindAndNumbers) {
  const KindCase& c = GetParam();
  EXPECT_EQ(KindOf(c.record), c.kind);
  EXPECT_EQ(TypeOf(c.record), c.type);
  EXPECT_EQ(InputNumberOf(c.record), c.input);
  EXPECT_EQ(RelayNumberOf(c.record), c.relay);
}

INSTANTIATE_TEST_SUITE_P(
    Codes, RecordKindTest,
    ::testing::Values(
        KindCase{
            "Empty", MakeRecord(0, 0, 0, 0, 0, 0, 0), EventKind::kEmpty, EventType::kOther, {}, {}},
        // Byte 7 is not part of a record: still empty, not an input event.
        KindCase{"EmptyWithSpare",
                 MakeRecord(0, 0, 0, 0, 0, 0, 0, 9),
                 EventKind::kEmpty,
                 EventType::kOther,
                 {},
                 {}},
        KindCase{"NormalInput1",
                 MakeRecord(0, 0, 0, 0, 1, 0, 0),
                 EventKind::kInput,
                 EventType::kNormal,
                 1,
                 {}},
        KindCase{"AlarmInput32",
                 MakeRecord(2, 31, 1, 2, 3, 4, 5),
                 EventKind::kInput,
                 EventType::kAlarm,
                 32,
                 {}},
        KindCase{"InputByte255",
                 MakeRecord(1, 255, 1, 2, 3, 4, 5),
                 EventKind::kInput,
                 EventType::kWarning,
                 256,
                 {}},
        KindCase{"FirstDevice",
                 MakeRecord(3, 7, 1, 2, 3, 4, 5),
                 EventKind::kDevice,
                 EventType::kDevice,
                 {},
                 {}},
        KindCase{"LastDevice",
                 MakeRecord(16, 7, 1, 2, 3, 4, 5),
                 EventKind::kDevice,
                 EventType::kDevice,
                 {},
                 {}},
        KindCase{"AfterDevices",
                 MakeRecord(17, 7, 1, 2, 3, 4, 5),
                 EventKind::kOther,
                 EventType::kOther,
                 {},
                 {}},
        KindCase{"BeforeRelays",
                 MakeRecord(49, 7, 1, 2, 3, 4, 5),
                 EventKind::kOther,
                 EventType::kOther,
                 {},
                 {}},
        KindCase{"RelayOff",
                 MakeRecord(50, 0, 1, 2, 3, 4, 5),
                 EventKind::kRelay,
                 EventType::kRelay,
                 {},
                 1},
        KindCase{"RelayOn",
                 MakeRecord(51, 4, 1, 2, 3, 4, 5),
                 EventKind::kRelay,
                 EventType::kRelay,
                 {},
                 5},
        KindCase{"AfterRelays",
                 MakeRecord(52, 4, 1, 2, 3, 4, 5),
                 EventKind::kOther,
                 EventType::kOther,
                 {},
                 {}},
        KindCase{"Code254",
                 MakeRecord(254, 4, 1, 2, 3, 4, 5),
                 EventKind::kOther,
                 EventType::kOther,
                 {},
                 {}},
        // Code 255 is damaged whatever the other bytes hold, zeros included.
        KindCase{"Damaged",
                 MakeRecord(255, 0, 0, 0, 0, 0, 0),
                 EventKind::kDamaged,
                 EventType::kDamaged,
                 {},
                 {}}),
    [](const ::testing::TestParamInfo<KindCase>& info) { return std::string(info.param.name); });

TEST(EventKindNameTest, TypeNamesRoundTrip) {
  std::vector<std::string_view> names;
  for (const EventType type : kAllEventTypes) {
    EXPECT_EQ(EventTypeNamed(EventTypeName(type)), type);
    names.push_back(EventTypeName(type));
  }
  EXPECT_EQ(names, (std::vector<std::string_view>{"alarm", "warning", "normal", "device", "relay",
                                                  "damaged", "other"}));
  EXPECT_EQ(EventTypeNamed("input"), std::nullopt);
}

TEST(EventKindNameTest, NamesRoundTrip) {
  for (const EventKind kind : kAllEventKinds) {
    EXPECT_EQ(EventKindNamed(EventKindName(kind)), kind);
  }
  EXPECT_EQ(EventKindName(EventKind::kInput), "input");
  EXPECT_EQ(EventKindName(EventKind::kDevice), "device");
  EXPECT_EQ(EventKindName(EventKind::kRelay), "relay");
  EXPECT_EQ(EventKindName(EventKind::kDamaged), "damaged");
  EXPECT_EQ(EventKindName(EventKind::kOther), "other");
  EXPECT_EQ(EventKindName(EventKind::kEmpty), "empty");
  EXPECT_EQ(EventKindNamed("Input"), std::nullopt);
  EXPECT_EQ(EventKindNamed(""), std::nullopt);
}

TEST(UnsetFieldsTest, TimeNeedsAllThreeBytes) {
  EXPECT_TRUE(HasUnsetTime(MakeRecord(0, 0, 255, 255, 255, 1, 1)));
  EXPECT_FALSE(HasUnsetTime(MakeRecord(0, 0, 255, 255, 254, 1, 1)));
  EXPECT_FALSE(HasUnsetTime(MakeRecord(0, 0, 0, 255, 255, 1, 1)));
}

TEST(UnsetFieldsTest, DateNeedsBothBytes) {
  EXPECT_TRUE(HasUnsetDate(MakeRecord(0, 0, 1, 1, 1, 255, 255)));
  EXPECT_FALSE(HasUnsetDate(MakeRecord(0, 0, 1, 1, 1, 255, 12)));
  EXPECT_FALSE(HasUnsetDate(MakeRecord(0, 0, 1, 1, 1, 31, 255)));
}

TEST(UnsetFieldsTest, ShownDateLacksDayOrMonthZeroOr255) {
  EXPECT_TRUE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 0, 5)));
  EXPECT_TRUE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 5, 0)));
  EXPECT_TRUE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 255, 5)));
  EXPECT_TRUE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 5, 255)));
  EXPECT_FALSE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 1, 1)));
  // Out-of-range values are shown as they are.
  EXPECT_FALSE(LacksShownDate(MakeRecord(0, 0, 1, 1, 1, 100, 13)));
}

}  // namespace
}  // namespace torv
