// How a page fetch ended, in terms a user can act on: the site could not be
// reached, was too slow, has no such name, showed a certificate this system
// does not trust, answered with an error status, or tried to move the user
// from HTTPS to plain HTTP. Portable: no platform header; the WinHTTP client
// maps its errors to these kinds.
#pragma once

#include <cstdint>
#include <string>

namespace fw {

enum class FetchFailure {
  kNone,                  // the page arrived with a status below 400
  kCannotConnect,         // nothing answered at the address (refused, unreachable)
  kTimeout,               // a connection, a send or an answer outlasted its limit
  kNameNotResolved,       // the host name has no address
  kCertificateUntrusted,  // the secure connection failed on the server's certificate
  kHttpStatus,            // the server answered, with a status of 400 or more
  kInsecureRedirect,      // an HTTPS page redirected to plain HTTP: not followed
  kOther,                 // anything else: a bad URL, a broken answer, too many redirects
};

struct FetchOutcome {
  FetchFailure failure = FetchFailure::kNone;
  uint32_t status = 0;     // the HTTP status of the last answer; 0 when none came
  std::u16string finalUrl;  // where the fetch ended, redirects followed
};

// A short reason in Simplified Chinese for the user ("无法连接到服务器",
// "服务器返回 HTTP 404", ...); "" for kNone.
std::u16string DescribeFailure(const FetchOutcome& outcome);

}  // namespace fw
