// The settings read from outside the program on any text: the input, in UTF-8,
// is split at NUL bytes into command-line arguments, and each one is also read
// as an origin and as a city choice. Nothing may fault, and what is accepted
// must hold the rules: an accepted origin reads back as itself, a refused one
// says why, and every site chosen is an origin.
#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "app/SiteSettings.h"
#include "app/price/html/Charset.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace s = fw::settings;
  const std::u16string input = fw::html::DecodeUtf8(std::span<const uint8_t>(data, size));
  std::vector<std::u16string> args;
  size_t start = 0;
  for (size_t i = 0; i <= input.size(); ++i) {
    if (i == input.size() || input[i] == u'\0') {
      args.push_back(input.substr(start, i - start));
      start = i + 1;
    }
  }
  for (const std::u16string& arg : args) {
    std::u16string why;
    if (const auto origin = s::ParseOrigin(arg, &why)) {
      Require(origin->scheme == u"http" || origin->scheme == u"https");
      Require(!origin->host.empty());
      const auto again = s::ParseOrigin(origin->Text());
      Require(again && *again == *origin);
      Require(origin->Root().back() == u'/');
    } else {
      Require(!why.empty());
    }
    if (const auto city = s::ParseCityChoice(arg)) {
      Require(!city->province.empty() && !city->city.empty());
    }
  }
  const s::CommandLine line = s::ParseCommandLine(args);
  std::vector<s::Refusal> refusals;
  const s::SiteChoice choice = s::ChooseSite(s::Site::kPrice, line.priceSite, line.chartSite,
                                             u"http://127.0.0.1:18731", refusals);
  Require(s::ParseOrigin(choice.origin.Text()).has_value());
  for (const s::Refusal& r : refusals) Require(!s::RefusalMessage(r).empty());
  return 0;
}
