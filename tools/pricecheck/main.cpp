// pricecheck: runs the price lookup the main window runs, against a price
// site, with in-memory controls, and prints what it put into them as UTF-8
// JSON on stdout.
//
//   pricecheck --host HOST[:PORT] [--province INDEX] [--city INDEX]
//
// "provinces" and "links" are read after the province index is loaded;
// "cities" after choosing the province with that zero-based index, as the
// window does (select it, then the box's change); "rows" after choosing the
// city with that index. A key is present only when its step ran. An index the
// list does not hold chooses nothing (a note goes to stderr). An unreachable
// site gives empty lists and still exit code 0; bad arguments give 2.
#include <windows.h>

#include <cwchar>
#include <optional>
#include <string>

#include "app/price/CheckReport.h"
#include "app/price/DocumentLoader.h"
#include "app/price/HttpClient.h"
#include "app/price/MemoryControls.h"
#include "app/price/PriceLookup.h"

namespace {

// Raw bytes, so that no console or C runtime conversion touches the UTF-8.
void Write(HANDLE out, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD written = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1 << 20));
    if (!WriteFile(out, bytes.data() + done, chunk, &written, nullptr) || written == 0) return;
    done += written;
  }
}

void Note(const std::string& text) { Write(GetStdHandle(STD_ERROR_HANDLE), text + "\n"); }

int Usage(const std::string& problem) {
  Note("pricecheck: " + problem);
  Note("usage: pricecheck --host HOST[:PORT] [--province INDEX] [--city INDEX]");
  return 2;
}

std::optional<int> ParseIndex(const wchar_t* text) {
  if (!text || !*text) return std::nullopt;
  long value = 0;
  for (const wchar_t* p = text; *p; ++p) {
    if (*p < L'0' || *p > L'9') return std::nullopt;
    value = value * 10 + (*p - L'0');
    if (value > 1000000) return std::nullopt;
  }
  return static_cast<int>(value);
}

// Selects item `index` of the box and raises its change, as a user's choice
// does; an index outside the list chooses nothing.
void Choose(fw::ComboControl& box, int index, int which, fw::PriceLookup& lookup) {
  if (!box.SetListIndex(index)) {
    Note("pricecheck: no item " + std::to_string(index) + " in the " +
         (which == 0 ? "province" : "city") + " list");
    return;
  }
  lookup.OnWhereChange(which);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::wstring host;
  std::optional<int> province, city;
  for (int i = 1; i < argc; ++i) {
    const std::wstring arg = argv[i];
    const wchar_t* value = i + 1 < argc ? argv[i + 1] : nullptr;
    if (arg == L"--host" && value && *value) {
      host = value;
    } else if (arg == L"--province" && (province = ParseIndex(value))) {
    } else if (arg == L"--city" && (city = ParseIndex(value))) {
    } else {
      return Usage("bad argument " + fw::ToUtf8(fw::ToU16(arg)));
    }
    ++i;
  }
  if (host.empty()) return Usage("--host is required");

  fw::MemoryPriceControls controls;
  fw::WinHttpPageSource pages;
  fw::DocumentLoader browser;
  fw::PriceLookup lookup(controls.Wire(), pages, browser,
                         [](std::u16string_view prompt, int32_t, std::u16string_view title) {
                           Note("pricecheck: message box \"" + fw::ToUtf8(title) + "\": " +
                                fw::ToUtf8(prompt));
                           return 1;
                         },
                         u"http://" + fw::ToU16(host) + u"/");
  fw::PriceCheckReport report;

  lookup.LoadProvince();
  report.provinces = fw::PairLists(controls.comWhere[0], controls.ListCity[0]);
  report.links = fw::PairLists(controls.ListCity[2], controls.ListCity[3]);
  if (province) {
    Choose(controls.comWhere[0], *province, 0, lookup);
    report.cities = fw::PairLists(controls.comWhere[1], controls.ListCity[1]);
  }
  if (city) {
    Choose(controls.comWhere[1], *city, 1, lookup);
    report.rows.emplace();
    for (int i = 0; i < 4; ++i) {
      report.rows->push_back({controls.labinfo[i].Caption(), controls.labPrice[i].Caption()});
    }
  }
  Write(GetStdHandle(STD_OUTPUT_HANDLE), fw::PriceCheckJson(report));
  return 0;
}
