#include "app/price/FetchOutcome.h"

namespace fw {

namespace {

std::u16string Decimal(uint32_t value) {
  std::u16string digits;
  do {
    digits.insert(digits.begin(), static_cast<char16_t>(u'0' + value % 10));
    value /= 10;
  } while (value != 0);
  return digits;
}

}  // namespace

std::u16string DescribeFailure(const FetchOutcome& outcome) {
  switch (outcome.failure) {
    case FetchFailure::kNone:
      return {};
    case FetchFailure::kCannotConnect:
      return u"无法连接到服务器";
    case FetchFailure::kTimeout:
      return u"服务器没有及时响应";
    case FetchFailure::kNameNotResolved:
      return u"找不到服务器";
    case FetchFailure::kCertificateUntrusted:
      return u"服务器证书不受信任";
    case FetchFailure::kHttpStatus:
      // Without a status there is no number worth showing.
      if (outcome.status == 0) return u"服务器返回错误";
      return u"服务器返回 HTTP " + Decimal(outcome.status);
    case FetchFailure::kInsecureRedirect:
      return u"拒绝从 HTTPS 跳转到不安全的 HTTP";
    case FetchFailure::kOther:
      break;
  }
  return u"无法读取页面";
}

}  // namespace fw
