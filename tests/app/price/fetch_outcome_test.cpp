// The reasons shown for a failed fetch: one short Chinese sentence per kind,
// the status number in the HTTP case, nothing when nothing failed.
#include <gtest/gtest.h>

#include <string>

#include "app/price/FetchOutcome.h"

namespace fw {
namespace {

TEST(DescribeFailureTest, OneReasonPerKind) {
  struct Case {
    FetchFailure failure;
    uint32_t status;
    std::u16string reason;
  };
  const Case cases[] = {
      {FetchFailure::kNone, 0, u""},
      {FetchFailure::kNone, 200, u""},
      {FetchFailure::kCannotConnect, 0, u"无法连接到服务器"},
      {FetchFailure::kTimeout, 0, u"服务器没有及时响应"},
      {FetchFailure::kNameNotResolved, 0, u"找不到服务器"},
      {FetchFailure::kCertificateUntrusted, 0, u"服务器证书不受信任"},
      {FetchFailure::kHttpStatus, 404, u"服务器返回 HTTP 404"},
      {FetchFailure::kHttpStatus, 500, u"服务器返回 HTTP 500"},
      {FetchFailure::kHttpStatus, 400, u"服务器返回 HTTP 400"},
      {FetchFailure::kHttpStatus, 4294967295u, u"服务器返回 HTTP 4294967295"},
      {FetchFailure::kHttpStatus, 0, u"服务器返回错误"},
      {FetchFailure::kInsecureRedirect, 302, u"拒绝从 HTTPS 跳转到不安全的 HTTP"},
      {FetchFailure::kOther, 0, u"无法读取页面"},
      // A status beside another kind is not part of its reason.
      {FetchFailure::kTimeout, 404, u"服务器没有及时响应"},
  };
  for (const Case& c : cases) {
    FetchOutcome outcome;
    outcome.failure = c.failure;
    outcome.status = c.status;
    outcome.finalUrl = u"https://example.test/youjiamap.asp";
    EXPECT_EQ(DescribeFailure(outcome), c.reason)
        << "kind " << static_cast<int>(c.failure) << ", status " << c.status;
  }
}

TEST(DescribeFailureTest, AKindOutsideTheListReadsAsUnreadable) {
  FetchOutcome outcome;
  outcome.failure = static_cast<FetchFailure>(99);
  EXPECT_EQ(DescribeFailure(outcome), u"无法读取页面");
}

}  // namespace
}  // namespace fw
