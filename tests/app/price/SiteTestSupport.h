// Shared by the tests that run against the sample price site: its address
// (FUELWISE_TEST_SITE, set by tests/tools/with-sample-site.sh), its request
// log and a port nobody listens on.
#pragma once

#include <string>
#include <vector>

namespace fw {

// host:port of the sample site.
std::wstring SiteHost();
// "http://" + SiteHost() + path.
std::wstring SiteUrl(const std::wstring& path);
// The request log's lines ("METHOD\tPATH\tIF_MODIFIED_SINCE"), oldest first.
std::vector<std::string> RequestLog();
void ClearRequestLog();
// A loopback port that was free a moment ago: connecting to it is refused.
unsigned ClosedPort();

}  // namespace fw
