// Fuelwise as a Windows user gets it: the build's installer and portable zip,
// installed, upgraded, started and removed the way a user or an administrator
// would, in a Wine prefix made afresh for this run. The runner
// (tests/package/run-package-tests.sh) makes the prefix, unpacks the zip and
// serves the sample price site on a port of this run, which the test hands the
// shipped program on its command line or in its settings; the paths, versions
// and the site's origin come in the environment.
#include <gtest/gtest.h>

#include <winsock2.h>
#include <windows.h>
#include <knownfolders.h>
#include <msi.h>
#include <msidefs.h>
#include <msiquery.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/WideText.h"
#include "tests/app/WindowTestSupport.h"
#include "tests/host/AccessibleRead.h"

namespace fw {
namespace {

using Names = std::vector<std::wstring>;

std::wstring Env(const wchar_t* name) {
  wchar_t value[2048] = {};
  const DWORD n = GetEnvironmentVariableW(name, value, 2048);
  return n > 0 && n < 2048 ? std::wstring(value, n) : std::wstring();
}

// What the runner hands over.
struct Inputs {
  std::wstring msi = Env(L"FUELWISE_PACKAGE_MSI");
  std::wstring rebuiltMsi = Env(L"FUELWISE_PACKAGE_REBUILT_MSI");  // the same version, built again
  std::wstring newerMsi = Env(L"FUELWISE_PACKAGE_NEWER_MSI");      // the next build number
  std::wstring version = Env(L"FUELWISE_PACKAGE_VERSION");
  std::wstring newerVersion = Env(L"FUELWISE_PACKAGE_NEWER_VERSION");
  std::wstring portableDir = Env(L"FUELWISE_PORTABLE_DIR");  // the zip's folder, unpacked
  std::wstring site = Env(L"FUELWISE_PACKAGE_SITE");          // http://127.0.0.1:PORT
};

// The installer's texts, as a Chinese reader should see them.
constexpr wchar_t kDescription[] = L"查看中国各省市今日的燃油零售价格";
// The provinces of the sample site's index page, in its order; a city of the
// first and its four prices (tools/sample-site).
const std::vector<std::u16string> kProvinces = {u"广东", u"浙江", u"江苏", u"四川", u"山东", u"湖北"};
constexpr char16_t kCity[] = u"广州";
const std::vector<std::u16string> kCityPrices = {u"7.17", u"7.74", u"8.38", u"7.41"};
// Where the program keeps its settings, and the installer its key paths.
constexpr wchar_t kSettingsKey[] = L"Software\\Fuelwise";
const Names kShipped = {L"Fuelwise.exe", L"LICENSE.txt", L"README.txt"};

std::wstring Lower(std::wstring s) {
  CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
  return s;
}

bool MentionsFuelwise(const std::wstring& s) { return Lower(s).find(L"fuelwise") != std::wstring::npos; }

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::wstring KnownFolder(REFKNOWNFOLDERID id) {
  PWSTR path = nullptr;
  std::wstring out;
  if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &path))) out = path;
  CoTaskMemFree(path);
  return out;
}

// The names in `dir`, sorted; with `recurse`, every path below it that
// mentions Fuelwise instead.
Names Listing(const std::wstring& dir, bool recurse = false) {
  Names found;
  WIN32_FIND_DATAW f{};
  HANDLE h = FindFirstFileW((dir + L"\\*").c_str(), &f);
  if (h == INVALID_HANDLE_VALUE) return found;
  do {
    const std::wstring name = f.cFileName;
    if (name == L"." || name == L"..") continue;
    const std::wstring path = dir + L"\\" + name;
    if (!recurse) {
      found.push_back(name);
    } else {
      if (MentionsFuelwise(name)) found.push_back(path);
      const DWORD a = f.dwFileAttributes;
      if ((a & FILE_ATTRIBUTE_DIRECTORY) && !(a & FILE_ATTRIBUTE_REPARSE_POINT)) {
        const Names below = Listing(path, true);
        found.insert(found.end(), below.begin(), below.end());
      }
    }
  } while (FindNextFileW(h, &f));
  FindClose(h);
  std::sort(found.begin(), found.end());
  return found;
}

// Keys, and names or texts of values, below `root\path` that mention Fuelwise.
void RegistryMentions(HKEY root, const std::wstring& path, Names& found) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return;
  wchar_t name[256];
  std::vector<BYTE> data(65536);
  for (DWORD i = 0;; ++i) {
    DWORD n = 256, size = static_cast<DWORD>(data.size()), type = 0;
    const LONG r = RegEnumValueW(key, i, name, &n, nullptr, &type, data.data(), &size);
    if (r == ERROR_NO_MORE_ITEMS) break;
    if (r != ERROR_SUCCESS) continue;
    std::wstring text(name, n);
    if (type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ)
      text.append(reinterpret_cast<const wchar_t*>(data.data()), size / sizeof(wchar_t));
    if (MentionsFuelwise(text)) found.push_back(path + L" : " + std::wstring(name, n));
  }
  Names subkeys;
  for (DWORD i = 0;; ++i) {
    DWORD n = 256;
    if (RegEnumKeyExW(key, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, n);
  }
  RegCloseKey(key);
  for (const std::wstring& sub : subkeys) {
    if (MentionsFuelwise(sub)) found.push_back(path + L"\\" + sub);
    RegistryMentions(root, path + L"\\" + sub, found);
  }
}

std::wstring RegText(HKEY key, const wchar_t* name) {
  wchar_t value[1024] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
    return {};
  return value;
}

// An entry of the installed-programs list.
struct Entry {
  std::wstring product;  // the key's name, the product code
  std::wstring version, publisher, comments, location, size, icon, uninstall;
};

// Every entry named "Fuelwise", wherever the list may keep it.
std::vector<Entry> Entries() {
  constexpr wchar_t kList[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
  const struct { HKEY root; REGSAM view; } places[] = {
      {HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY}, {HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY}, {HKEY_CURRENT_USER, 0}};
  std::vector<Entry> entries;
  for (const auto& place : places) {
    HKEY list = nullptr;
    if (RegOpenKeyExW(place.root, kList, 0, KEY_READ | place.view, &list) != ERROR_SUCCESS) continue;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD n = 256;
      if (RegEnumKeyExW(list, i, name, &n, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
      HKEY key = nullptr;
      if (RegOpenKeyExW(list, name, 0, KEY_READ | place.view, &key) != ERROR_SUCCESS) continue;
      const bool ours = RegText(key, L"DisplayName") == L"Fuelwise";
      const bool seen =
          std::any_of(entries.begin(), entries.end(), [&](const Entry& e) { return e.product == name; });
      if (ours && !seen) {
        Entry e{name,
                RegText(key, L"DisplayVersion"),
                RegText(key, L"Publisher"),
                RegText(key, L"Comments"),
                RegText(key, L"InstallLocation"),
                RegText(key, L"Size"),
                RegText(key, L"DisplayIcon"),
                RegText(key, L"UninstallString")};
        if (e.icon.empty()) {
          // Where the list takes a Windows Installer product's icon from.
          wchar_t icon[MAX_PATH] = {};
          DWORD n2 = MAX_PATH;
          if (MsiGetProductInfoW(name, INSTALLPROPERTY_PRODUCTICON, icon, &n2) == ERROR_SUCCESS)
            e.icon = icon;
        }
        entries.push_back(e);
      }
      RegCloseKey(key);
    }
    RegCloseKey(list);
  }
  return entries;
}

DWORD RunToEnd(std::wstring commandLine) {
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
    return GetLastError() | 0x80000000u;
  DWORD code = WAIT_TIMEOUT;
  if (WaitForSingleObject(pi.hProcess, 180000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code;
}

DWORD InstallSilently(const std::wstring& msi) { return RunToEnd(L"msiexec.exe /i \"" + msi + L"\" /qn"); }

// The release build: the version resource, the manifest and the icon, and
// neither symbols nor debug sections.
void ExpectReleaseBuild(const std::wstring& exe, const std::wstring& version) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  ASSERT_FALSE(info.empty()) << "no version resource";
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
  wchar_t* text = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\080404b0\\ProductVersion",
                             reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), version);

  HMODULE image =
      LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_TRUE(image);
  HRSRC manifest = FindResourceW(image, MAKEINTRESOURCEW(1), RT_MANIFEST);
  EXPECT_TRUE(manifest) << "no manifest";
  if (manifest) {
    const char* xml = static_cast<const char*>(LockResource(LoadResource(image, manifest)));
    const std::string text(xml, SizeofResource(image, manifest));
    // Per-monitor v2 first, system awareness where that is unknown, and the old
    // switch for systems that read no list.
    EXPECT_NE(text.find(">PerMonitorV2, System</dpiAwareness>"), std::string::npos) << text;
    EXPECT_NE(text.find(">true</dpiAware>"), std::string::npos) << text;
  }
  FreeLibrary(image);
  EXPECT_GT(ExtractIconExW(exe.c_str(), -1, nullptr, nullptr, 0), 0u) << "no icon";

  std::ifstream in(exe.c_str(), std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ASSERT_GT(bytes.size(), 0x400u);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(bytes.data());
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS64*>(bytes.data() + dos->e_lfanew);
  EXPECT_EQ(nt->FileHeader.NumberOfSymbols, 0u) << "symbols left in the exe";
  // Long section names ("/4") point into the string table after the symbols.
  const char* strings = bytes.data() + nt->FileHeader.PointerToSymbolTable;
  const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section) {
    const char* shortName = reinterpret_cast<const char*>(section->Name);
    std::string name(shortName, strnlen(shortName, 8));
    if (name.size() > 1 && name[0] == '/') name = strings + std::stoul(name.substr(1));
    EXPECT_NE(name.rfind(".debug", 0), 0u) << "debug section " << name;
  }
}

std::u16string Caption(const std::wstring& version) { return u"Fuelwise v" + FromWide(version); }

// The program's window, found and used as a user does.
class Program {
 public:
  explicit Program(HANDLE process) : m_process(process) {}
  ~Program() {
    if (WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT) TerminateProcess(m_process, 9);
    CloseHandle(m_process);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Window(const std::wstring& version) {
    const DWORD pid = GetProcessId(m_process);
    test::PumpFor(30000, [&] { return (m_main = test::FindShown(Caption(version), pid)); });
    return m_main;
  }
  // The province and the city box (the platform's combo boxes in them), top to bottom.
  std::vector<HWND> Combos() const {
    std::vector<test::ChildWindow> combos;
    for (const auto& c : test::VisibleChildren(m_main)) {
      wchar_t kind[32] = {};
      GetClassNameW(c.hwnd, kind, 32);
      if (std::wstring(kind) == L"ComboBox") combos.push_back(c);
    }
    std::sort(combos.begin(), combos.end(), [](auto& a, auto& b) { return a.rect.top < b.rect.top; });
    std::vector<HWND> out;
    for (const auto& c : combos) out.push_back(c.hwnd);
    return out;
  }
  static std::vector<std::u16string> Items(HWND combo) {
    std::vector<std::u16string> items;
    for (LRESULT i = 0, n = SendMessageW(combo, CB_GETCOUNT, 0, 0); i < n; ++i) {
      wchar_t item[256] = {};
      SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
      items.push_back(FromWide(item));
    }
    return items;
  }
  // A price read in its row, as a screen reader reads the labels: the fuel, the price and the unit.
  bool ShowsPrice(const std::u16string& price) const {
    const std::vector<std::u16string> texts = test::AccessibleTexts(m_main);
    const std::u16string row = u" " + price + u" 元/升";
    return std::any_of(texts.begin(), texts.end(), [&](const auto& t) { return t.ends_with(row); });
  }
  // Closes it as Alt+F4 does; true when it ended by itself with 0.
  bool Close() {
    PostMessageW(m_main, WM_SYSCOMMAND, SC_CLOSE, 0);
    DWORD code = 99;
    return WaitForSingleObject(m_process, 15000) == WAIT_OBJECT_0 && GetExitCodeProcess(m_process, &code) &&
           code == 0;
  }

 private:
  HANDLE m_process;
  HWND m_main = nullptr;
};

// The process that shows a window titled `caption`, once one does: the shell
// hands out no process for a program it starts through a shortcut.
HANDLE ProcessShowing(const std::u16string& caption) {
  struct Search {
    const std::u16string* caption;
    DWORD pid;
  } search{&caption, 0};
  test::PumpFor(30000, [&] {
    EnumWindows(
        [](HWND hwnd, LPARAM l) -> BOOL {
          auto* s = reinterpret_cast<Search*>(l);
          if (!IsWindowVisible(hwnd) || test::WindowText(hwnd) != *s->caption) return TRUE;
          GetWindowThreadProcessId(hwnd, &s->pid);
          return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.pid != 0;
  });
  return search.pid ? OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE, FALSE,
                                  search.pid)
                    : nullptr;
}

// `exe` started as CreateProcess starts it, with `arguments` after its quoted
// path, in its own folder; null when it could not be.
HANDLE Start(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring commandLine = L"\"" + exe + L"\"" + (arguments.empty() ? L"" : L" " + arguments);
  const std::wstring dir = exe.substr(0, exe.rfind(L'\\'));
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si,
                      &pi))
    return nullptr;
  CloseHandle(pi.hThread);
  return pi.hProcess;
}

// The program lists the sample site's provinces; with `choose`, a city's
// four prices show once it is chosen.
void ExpectUsesTheSampleSite(HANDLE process, const Inputs& in, bool choose) {
  ASSERT_TRUE(process);
  Program program(process);
  ASSERT_TRUE(program.Window(in.version)) << "no window";
  const std::vector<HWND> combos = program.Combos();
  ASSERT_EQ(combos.size(), 2u);
  test::PumpFor(5000, [&] { return !Program::Items(combos[0]).empty(); });
  EXPECT_EQ(Program::Items(combos[0]), kProvinces);
  if (choose && Program::Items(combos[0]) == kProvinces) {
    test::ChooseInList(combos[0], kProvinces[0]);
    test::PumpFor(5000, [&] { return !Program::Items(combos[1]).empty(); });
    test::ChooseInList(combos[1], kCity);
    const auto showsAll = [&] {
      return std::all_of(kCityPrices.begin(), kCityPrices.end(), [&](auto& p) { return program.ShowsPrice(p); });
    };
    EXPECT_TRUE(test::PumpFor(5000, showsAll)) << "the city's four prices";
  }
  EXPECT_TRUE(program.Close());
}

// The current user's settings: a text under HKCU\Software\Fuelwise, or
// whether the key is there at all.
void WriteSetting(const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  ASSERT_EQ(
      RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
      ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}
std::wstring Setting(const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return {};
  std::wstring value = RegText(key, name);
  RegCloseKey(key);
  return value;
}
bool SettingsKeyExists() {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

// Both sites at `origin`, as the settings window keeps them.
void SetSites(const std::wstring& origin) {
  WriteSetting(L"PriceSite", origin);
  WriteSetting(L"ChartSite", origin);
}

// The origin of a loopback port nobody listens on.
std::wstring ClosedSite() {
  WSADATA wsa{};
  WSAStartup(MAKEWORD(2, 2), &wsa);
  SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int size = sizeof a;
  bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a);
  getsockname(s, reinterpret_cast<sockaddr*>(&a), &size);
  closesocket(s);
  WSACleanup();
  return L"http://127.0.0.1:" + std::to_wstring(ntohs(a.sin_port));
}

// An Installer handle, closed when it goes.
class MsiHandle {
 public:
  MsiHandle() = default;
  ~MsiHandle() {
    if (m_handle) MsiCloseHandle(m_handle);
  }
  MsiHandle(const MsiHandle&) = delete;
  MsiHandle& operator=(const MsiHandle&) = delete;
  MSIHANDLE* operator&() { return &m_handle; }
  operator MSIHANDLE() const { return m_handle; }

 private:
  MSIHANDLE m_handle = 0;
};

// The rows of `query` on the package `msi`, each field as text.
std::vector<Names> Rows(const std::wstring& msi, const wchar_t* query) {
  std::vector<Names> rows;
  MsiHandle db, view;
  if (MsiOpenDatabaseW(msi.c_str(), MSIDBOPEN_READONLY, &db) != ERROR_SUCCESS) return rows;
  if (MsiDatabaseOpenViewW(db, query, &view) != ERROR_SUCCESS || MsiViewExecute(view, 0) != ERROR_SUCCESS)
    return rows;
  for (;;) {
    MsiHandle record;
    if (MsiViewFetch(view, &record) != ERROR_SUCCESS) break;
    Names row;
    for (UINT i = 1, n = MsiRecordGetFieldCount(record); i <= n; ++i) {
      wchar_t text[1024] = {};
      DWORD size = 1024;
      MsiRecordGetStringW(record, i, text, &size);
      row.push_back(text);
    }
    rows.push_back(row);
  }
  return rows;
}

// The exe's file version (its version resource's fixed part) and language, as
// the File table writes them: "1.0.0.110", "2052".
std::pair<std::wstring, std::wstring> FileVersion(const std::wstring& exe) {
  DWORD ignored = 0;
  std::vector<BYTE> info(GetFileVersionInfoSizeW(exe.c_str(), &ignored));
  if (info.empty() || !GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(info.size()), info.data()))
    return {};
  VS_FIXEDFILEINFO* fixed = nullptr;
  WORD* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) ||
      !VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) || length < 4)
    return {};
  const auto part = [](DWORD word, bool high) { return std::to_wstring(high ? HIWORD(word) : LOWORD(word)); };
  return {part(fixed->dwFileVersionMS, true) + L"." + part(fixed->dwFileVersionMS, false) + L"." +
              part(fixed->dwFileVersionLS, true) + L"." + part(fixed->dwFileVersionLS, false),
          std::to_wstring(translation[0])};
}

class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(in.msi.empty() || in.version.empty() || in.site.empty())
        << "run through tests/package/run-package-tests.sh";
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  }
  void TearDown() override { CoUninitialize(); }

  // Everything a user finds after installing the package of `version`; the
  // entry's product code. Every package here holds this build's program.
  void ExpectInstalled(const std::wstring& version, std::wstring& product) {
    EXPECT_EQ(Listing(m_installDir), kShipped);
    ASSERT_NO_FATAL_FAILURE(ExpectReleaseBuild(m_installDir + L"\\Fuelwise.exe", in.version));

    IShellLinkW* link = nullptr;
    ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                           reinterpret_cast<void**>(&link))));
    IPersistFile* file = nullptr;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    const bool loaded = file && SUCCEEDED(file->Load(m_shortcut.c_str(), STGM_READ));
    wchar_t target[MAX_PATH] = {}, description[MAX_PATH] = {}, icon[MAX_PATH] = {};
    int index = 0;
    link->GetPath(target, MAX_PATH, nullptr, 0);
    link->GetDescription(description, MAX_PATH);
    link->GetIconLocation(icon, MAX_PATH, &index);
    if (file) file->Release();
    link->Release();
    ASSERT_TRUE(loaded) << "no shortcut in the Start menu";
    EXPECT_EQ(Lower(target), Lower(m_installDir + L"\\Fuelwise.exe"));
    EXPECT_STREQ(description, kDescription);
    EXPECT_GT(ExtractIconExW(icon, -1, nullptr, nullptr, 0), static_cast<UINT>(index))
        << "the shortcut has no icon";

    const std::vector<Entry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u) << "entries in the installed-programs list";
    const Entry& e = entries[0];
    product = e.product;
    EXPECT_EQ(e.version, version);
    EXPECT_EQ(e.publisher, L"Fuelwise");
    EXPECT_EQ(e.comments, kDescription);
    EXPECT_EQ(Lower(e.location), Lower(m_installDir + L"\\"));
    // The size in KiB of what was installed, rounded up.
    ULONGLONG bytes = 0;
    for (const std::wstring& name : kShipped) {
      WIN32_FILE_ATTRIBUTE_DATA a{};
      GetFileAttributesExW((m_installDir + L"\\" + name).c_str(), GetFileExInfoStandard, &a);
      bytes += (ULONGLONG(a.nFileSizeHigh) << 32) | a.nFileSizeLow;
    }
    EXPECT_EQ(e.size, std::to_wstring((bytes + 1023) / 1024));
    EXPECT_TRUE(Exists(e.icon) && ExtractIconExW(e.icon.c_str(), -1, nullptr, nullptr, 0) > 0) << "no icon";
    EXPECT_EQ(Lower(e.uninstall.substr(0, 14)), L"msiexec.exe /x");
  }

  // Paths and registry places that mention Fuelwise, in the user's profile
  // and where the Installer and the installed-programs list keep their records.
  Names Traces() const {
    Names found = Listing(KnownFolder(FOLDERID_Profile), true);
    RegistryMentions(HKEY_CURRENT_USER, L"Software", found);
    RegistryMentions(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Installer", found);
    RegistryMentions(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", found);
    return found;
  }

  Inputs in;
  const std::wstring m_programsDir = KnownFolder(FOLDERID_LocalAppData) + L"\\Programs";
  const std::wstring m_installDir = m_programsDir + L"\\Fuelwise";
  const std::wstring m_shortcut = KnownFolder(FOLDERID_Programs) + L"\\Fuelwise.lnk";
  const std::wstring m_packageCache = KnownFolder(FOLDERID_Windows) + L"\\Installer";
};

TEST_F(PackageTest, InstallsUpgradesAndUninstallsForOneUserSilently) {
  ASSERT_EQ(Traces(), Names{}) << "the prefix is not fresh";
  ASSERT_FALSE(Exists(m_programsDir)) << "the prefix has a Programs folder already";
  const Names cachedBefore = Listing(m_packageCache);
  std::wstring first, again, rebuilt, newer;

  ASSERT_EQ(InstallSilently(in.msi), 0u);
  ASSERT_NO_FATAL_FAILURE(ExpectInstalled(in.version, first));
  EXPECT_NE(Traces(), Names{});

  {
    SCOPED_TRACE("started as a user starts it, the Start-menu shortcut, with the sites in the settings");
    SetSites(in.site);
    SHELLEXECUTEINFOW run{};
    run.cbSize = sizeof run;
    run.fMask = SEE_MASK_NOCLOSEPROCESS;
    run.lpFile = m_shortcut.c_str();
    run.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExW(&run));
    HANDLE started = run.hProcess ? run.hProcess : ProcessShowing(Caption(in.version));
    ASSERT_NO_FATAL_FAILURE(ExpectUsesTheSampleSite(started, in, false));
  }
  {
    SCOPED_TRACE("the sites on the command line, over settings that name a site nobody serves");
    SetSites(ClosedSite());
    const std::wstring exe = m_installDir + L"\\Fuelwise.exe";
    ASSERT_NO_FATAL_FAILURE(ExpectUsesTheSampleSite(
        Start(exe, L"--price-site " + in.site + L" --chart-site " + in.site), in, true));
    ASSERT_NO_FATAL_FAILURE(ExpectUsesTheSampleSite(
        Start(exe, L"/price-site:" + in.site + L" /chart-site:" + in.site), in, false));
  }

  {
    SCOPED_TRACE("the same package again");
    ASSERT_EQ(InstallSilently(in.msi), 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(in.version, again));
    EXPECT_EQ(again, first);
  }
  {
    SCOPED_TRACE("another build of the same version");
    ASSERT_EQ(InstallSilently(in.rebuiltMsi), 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(in.version, rebuilt));
    EXPECT_NE(rebuilt, first);
  }
  {
    SCOPED_TRACE("a newer version");
    ASSERT_EQ(InstallSilently(in.newerMsi), 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(in.newerVersion, newer));
  }
  {
    SCOPED_TRACE("the older version over the newer one: refused");
    EXPECT_EQ(InstallSilently(in.msi), static_cast<DWORD>(ERROR_INSTALL_FAILURE));
    const std::vector<Entry> entries = Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].version, in.newerVersion);
  }
  {
    // Windows removes the build an upgrade replaces with UPGRADINGPRODUCTCODE
    // set (Wine 8 sets nothing, so its upgrades above took the settings too):
    // that removal keeps the user's settings.
    SCOPED_TRACE("the removal of the replaced build in an upgrade");
    SetSites(in.site);
    const std::wstring upgrading = L"{00000000-0000-0000-0000-000000000001}";
    ASSERT_EQ(RunToEnd(L"msiexec.exe /x " + newer + L" /qn UPGRADINGPRODUCTCODE=" + upgrading), 0u);
    EXPECT_TRUE(Entries().empty());
    EXPECT_EQ(Setting(L"PriceSite"), in.site);
    ASSERT_EQ(InstallSilently(in.newerMsi), 0u);
    ASSERT_NO_FATAL_FAILURE(ExpectInstalled(in.newerVersion, newer));
    EXPECT_EQ(Setting(L"PriceSite"), in.site);
  }

  // The entry's own uninstall command, made silent as an administrator would:
  // everything goes, the settings and the Programs folder the install made too.
  WriteSetting(L"LastCity", L"广州");
  ASSERT_EQ(RunToEnd(Entries().at(0).uninstall + L" /qn"), 0u);
  EXPECT_TRUE(Entries().empty());
  EXPECT_FALSE(Exists(m_installDir));
  EXPECT_FALSE(Exists(m_shortcut));
  EXPECT_FALSE(SettingsKeyExists()) << "the settings are left behind";
  EXPECT_FALSE(Exists(m_programsDir)) << "the Programs folder the install made is left behind";
  EXPECT_EQ(Traces(), Names{});
  EXPECT_EQ(Listing(m_packageCache), cachedBefore);
}

// A Programs folder that holds another program's folder is not the package's
// to remove.
TEST_F(PackageTest, UninstallKeepsAProgramsFolderOthersUse) {
  const std::wstring other = m_programsDir + L"\\Other";
  CreateDirectoryW(m_programsDir.c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryW(other.c_str(), nullptr));
  ASSERT_EQ(InstallSilently(in.msi), 0u);
  ASSERT_TRUE(Exists(m_installDir + L"\\Fuelwise.exe"));
  ASSERT_EQ(RunToEnd(L"msiexec.exe /x \"" + in.msi + L"\" /qn"), 0u);
  EXPECT_FALSE(Exists(m_installDir));
  EXPECT_TRUE(Exists(other));
  RemoveDirectoryW(other.c_str());
  RemoveDirectoryW(m_programsDir.c_str());
}

// The installer's own data, as the Installer reads it from the package.
TEST_F(PackageTest, TheDatabaseDescribesTheProgramAsItIs) {
  {
    SCOPED_TRACE("the summary's texts, in the code page it names");
    MsiHandle summary;
    ASSERT_EQ(MsiGetSummaryInformationW(0, in.msi.c_str(), 0, &summary), 0u);
    UINT type = 0;
    INT codepage = 0;
    FILETIME time{};
    DWORD none = 0;
    ASSERT_EQ(MsiSummaryInfoGetPropertyW(summary, PID_CODEPAGE, &type, &codepage, &time, nullptr, &none), 0u);
    EXPECT_EQ(codepage, 936);
    const struct {
      UINT id;
      const wchar_t* text;
    } kTexts[] = {{PID_TITLE, L"Installation Database"},
                  {PID_SUBJECT, L"Fuelwise 安装程序"},
                  {PID_AUTHOR, L"Fuelwise"},
                  {PID_KEYWORDS, L"Installer"},
                  {PID_COMMENTS, L"安装 Fuelwise：查看中国各省市今日的燃油零售价格。"},
                  {PID_TEMPLATE, L"x64;2052"}};
    for (const auto& expected : kTexts) {
      // The bytes as stored, read in the summary's code page as Windows reads
      // them (Wine's wide call takes the process's code page instead).
      char bytes[512] = {};
      DWORD size = sizeof bytes;
      ASSERT_EQ(MsiSummaryInfoGetPropertyA(summary, expected.id, &type, nullptr, &time, bytes, &size), 0u);
      wchar_t text[512] = {};
      const int n = MultiByteToWideChar(static_cast<UINT>(codepage), MB_ERR_INVALID_CHARS, bytes,
                                        static_cast<int>(size), text, 512);
      EXPECT_EQ(std::wstring(text, n > 0 ? n : 0), expected.text) << "property " << expected.id;
    }
  }
  {
    SCOPED_TRACE("the exe's version and language, as its version resource gives them");
    const auto [version, language] = FileVersion(in.portableDir + L"\\Fuelwise.exe");
    ASSERT_FALSE(version.empty()) << "no version resource";
    EXPECT_EQ(Rows(in.msi, L"SELECT `Version`, `Language` FROM `File` WHERE `FileName` = 'Fuelwise.exe'"),
              std::vector<Names>{(Names{version, language})});
  }
  {
    SCOPED_TRACE("every component 64-bit");
    const std::vector<Names> components = Rows(in.msi, L"SELECT `Component`, `Attributes` FROM `Component`");
    ASSERT_FALSE(components.empty());
    for (const Names& c : components)
      EXPECT_TRUE(std::stoi(c.at(1)) & msidbComponentAttributes64bit) << c.at(0);
  }
}

TEST_F(PackageTest, PortableRunsFromAFolderWithASpaceAndChineseCharacters) {
  const std::wstring& dir = in.portableDir;
  ASSERT_NE(dir.find(L' '), std::wstring::npos) << "no space in the folder's path";
  ASSERT_TRUE(std::any_of(dir.begin(), dir.end(), [](wchar_t c) { return c >= 0x4E00 && c <= 0x9FFF; }))
      << "no Chinese character in the folder's path";
  EXPECT_EQ(Listing(dir), kShipped);
  ASSERT_NO_FATAL_FAILURE(ExpectReleaseBuild(dir + L"\\Fuelwise.exe", in.version));

  // As a double click in the folder starts it, with the sites in the same
  // settings as the installed program's.
  SetSites(in.site);
  ExpectUsesTheSampleSite(Start(dir + L"\\Fuelwise.exe", L""), in, false);
  RegDeleteTreeW(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
}  // namespace fw
