#include "controls/JCombo/ListFile.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <memory>

namespace fw::jcombo {

namespace {

struct HandleCloser {
  void operator()(HANDLE h) const {
    if (h && h != INVALID_HANDLE_VALUE) CloseHandle(h);
  }
};
using unique_file = std::unique_ptr<void, HandleCloser>;

unique_file OpenFile(const std::wstring& path, DWORD access, DWORD share, DWORD disposition) {
  HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
  return unique_file(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/");
  if (slash == std::wstring::npos) return L".";
  if (slash == 0) return path.substr(0, 1);
  return path.substr(0, slash);
}

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 20));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

std::optional<std::vector<uint8_t>> ReadWholeFile(const std::wstring& path) {
  unique_file file = OpenFile(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
  if (!file) return std::nullopt;
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 || size.QuadPart > INT_MAX) {
    return std::nullopt;
  }
  std::vector<uint8_t> bytes(static_cast<size_t>(size.QuadPart));
  size_t got = 0;
  while (got < bytes.size()) {
    DWORD read = 0;
    if (!ReadFile(file.get(), bytes.data() + got, static_cast<DWORD>(bytes.size() - got), &read,
                  nullptr)) {
      return std::nullopt;
    }
    if (read == 0) break;  // shorter than it was a moment ago
    got += read;
  }
  bytes.resize(got);
  return bytes;
}

bool ReplaceFileContents(const std::wstring& path, std::string_view bytes) {
  // Beside the file, so that the rename stays on one volume and is one step.
  wchar_t temp[MAX_PATH + 1];
  if (!GetTempFileNameW(FolderOf(path).c_str(), L"lst", 0, temp)) return false;
  bool ok = false;
  {
    unique_file file = OpenFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS);
    ok = file && WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
  }
  if (ok) {
    ok = MoveFileExW(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }
  if (!ok) DeleteFileW(temp);
  return ok;
}

void DecodeGbkRun(std::span<const uint8_t> run, std::u16string& out) {
  if (run.empty() || run.size() > INT_MAX) return;
  static const UINT codePage = IsValidCodePage(54936) ? 54936 : 936;
  const char* src = reinterpret_cast<const char*>(run.data());
  const int n = static_cast<int>(run.size());
  const int len = MultiByteToWideChar(codePage, 0, src, n, nullptr, 0);
  if (len <= 0) return;
  std::wstring wide(static_cast<size_t>(len), L'\0');
  MultiByteToWideChar(codePage, 0, src, n, wide.data(), len);
  out.append(wide.begin(), wide.end());
}

}  // namespace fw::jcombo
