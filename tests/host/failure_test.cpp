// Containing a failure: every failure caught is traced in one line for the
// developer, and the caller's rule (skip, hand it on to a routine, pass it on)
// still decides what happens next.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "host/Failure.h"

namespace fw {
namespace {

class FailureTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_previous = SetFailureTrace([this](std::u16string_view line) { m_lines.emplace_back(line); });
  }
  void TearDown() override { SetFailureTrace(std::move(m_previous)); }

  std::vector<std::u16string> m_lines;
  FailureTrace m_previous;
};

TEST_F(FailureTest, EachFailureIsTracedOnceWithWhereAndWhat) {
  struct Case {
    const char* name;
    std::function<void()> body;
    std::vector<std::u16string> lines;
  } const cases[] = {
      {"no failure", [] {}, {}},
      {"a standard exception", [] { throw std::runtime_error("no such panel"); },
       {u"Fuelwise: owner.routine: no such panel"}},
      // The text is UTF-8: 面板 is E9 9D A2 E6 9D BF.
      {"UTF-8 text", [] { throw std::runtime_error("\xE9\x9D\xA2\xE6\x9D\xBF"); },
       {u"Fuelwise: owner.routine: \u9762\u677F"}},
      {"anything else", [] { throw 42; },
       {u"Fuelwise: owner.routine: a failure that is not a standard exception"}},
  };
  for (const Case& c : cases) {
    m_lines.clear();
    Contain(u"owner", u"routine", c.body);
    EXPECT_EQ(m_lines, c.lines) << c.name;
  }
}

TEST_F(FailureTest, SkippingEndsTheBodyAndTheCallerGoesOn) {
  std::vector<int> steps;
  const bool first = Contain(u"o", u"r", [&] {
    steps.push_back(1);
    throw std::runtime_error("x");
    steps.push_back(2);
  });
  const bool second = Contain(u"o", u"r", [&] { steps.push_back(3); });
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_EQ(steps, (std::vector<int>{1, 3}));
}

TEST_F(FailureTest, TheCallersRuleSeesTheFailureAndGivesTheResult) {
  // Hand it to a routine, with a result of the caller's choosing.
  std::string reported;
  const int value = Contain(
      u"o", u"r", []() -> int { throw std::out_of_range("index 7"); },
      [&]() -> int {
        try {
          throw;
        } catch (const std::exception& e) {
          reported = e.what();
        }
        return -1;
      });
  EXPECT_EQ(value, -1);
  EXPECT_EQ(reported, "index 7");
  EXPECT_EQ(Contain(u"o", u"r", [] { return 5; }, [] { return -1; }), 5);

  // Pass it on: the caller's caller gets the very object thrown, traced once.
  struct Own : std::runtime_error {
    using std::runtime_error::runtime_error;
  };
  m_lines.clear();
  try {
    Contain(u"o", u"r", [] { throw Own("own"); }, [] { throw; });
    ADD_FAILURE() << "the failure was not passed on";
  } catch (const Own& e) {
    EXPECT_STREQ(e.what(), "own");
  }
  EXPECT_EQ(m_lines, (std::vector<std::u16string>{u"Fuelwise: o.r: own"}));
}

TEST_F(FailureTest, ATraceThatFailsIsNotAFailureOfItsOwn) {
  SetFailureTrace([](std::u16string_view) { throw std::runtime_error("trace"); });
  EXPECT_TRUE(Contain(u"o", u"r", [] { throw std::runtime_error("x"); }));
  // An empty trace restores the platform's writer, which takes the line quietly.
  SetFailureTrace({});
  EXPECT_TRUE(Contain(u"o", u"r", [] { throw std::runtime_error("x"); }));
}

}  // namespace
}  // namespace fw
