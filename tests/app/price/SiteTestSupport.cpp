#include "tests/app/price/SiteTestSupport.h"

#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "app/price/HttpClient.h"

namespace fw {

namespace {

// Without the site every test here would fail for the same reason: say it once.
class SiteEnvironment : public ::testing::Environment {
 public:
  void SetUp() override {
    ASSERT_FALSE(SiteHost().empty())
        << "FUELWISE_TEST_SITE is not set: run through tests/tools/with-sample-site.sh";
  }
};

const auto* const g_site = ::testing::AddGlobalTestEnvironment(new SiteEnvironment);

}  // namespace

std::wstring SiteHost() {
  const char* site = std::getenv("FUELWISE_TEST_SITE");
  if (!site) return {};
  return std::wstring(site, site + std::char_traits<char>::length(site));
}

std::wstring SiteUrl(const std::wstring& path) { return L"http://" + SiteHost() + path; }

std::vector<std::string> RequestLog() {
  const HttpResponse r = HttpGet(SiteUrl(L"/__requests"));
  std::vector<std::string> lines;
  std::string line;
  for (uint8_t b : r.body) {
    if (b == '\n') {
      lines.push_back(line);
      line.clear();
    } else if (b != '\r') {
      line += static_cast<char>(b);
    }
  }
  if (!line.empty()) lines.push_back(line);
  return lines;
}

void ClearRequestLog() { HttpGet(SiteUrl(L"/__requests?clear=1")); }

unsigned ClosedPort() {
  static unsigned port = [] {
    WSADATA data;
    if (WSAStartup(MAKEWORD(2, 2), &data) != 0) return 1u;
    unsigned found = 1;
    const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s != INVALID_SOCKET) {
      sockaddr_in addr{};
      addr.sin_family = AF_INET;
      addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      int size = sizeof addr;
      if (bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0 &&
          getsockname(s, reinterpret_cast<sockaddr*>(&addr), &size) == 0) {
        found = ntohs(addr.sin_port);
      }
      closesocket(s);
    }
    WSACleanup();
    return found;
  }();
  return port;
}

}  // namespace fw
