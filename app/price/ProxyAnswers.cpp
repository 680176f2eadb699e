#include "app/price/ProxyAnswers.h"

#include <utility>

namespace fw {

namespace {

bool FreshAt(uint64_t at, uint64_t nowMs) { return nowMs >= at && nowMs - at < ProxyAnswers::kKeepMs; }

void LowerAscii(std::u16string& text, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    if (text[i] >= u'A' && text[i] <= u'Z') text[i] = static_cast<char16_t>(text[i] - u'A' + u'a');
  }
}

}  // namespace

void ProxyAnswers::UseSettings(std::u16string_view settings) {
  if (settings == m_settings) return;
  m_settings.assign(settings);
  m_answers.clear();
  m_failedAt.reset();
}

std::optional<ProxyAnswer> ProxyAnswers::Find(std::u16string_view url, uint64_t nowMs) const {
  const auto it = m_answers.find(ProxyAnswerKey(url));
  if (it == m_answers.end() || !FreshAt(it->second.at, nowMs)) return std::nullopt;
  return it->second.answer;
}

bool ProxyAnswers::LookupFailedRecently(uint64_t nowMs) const {
  return m_failedAt && FreshAt(*m_failedAt, nowMs);
}

void ProxyAnswers::Keep(std::u16string_view url, ProxyAnswer answer, uint64_t nowMs) {
  std::u16string key = ProxyAnswerKey(url);
  if (m_answers.size() >= kMaxAnswers && !m_answers.contains(key)) {
    std::erase_if(m_answers, [nowMs](const auto& entry) { return !FreshAt(entry.second.at, nowMs); });
    if (m_answers.size() >= kMaxAnswers) m_answers.clear();
  }
  m_answers[std::move(key)] = {std::move(answer), nowMs};
  m_failedAt.reset();  // a script answers again
}

void ProxyAnswers::KeepFailure(uint64_t nowMs) { m_failedAt = nowMs; }

std::u16string ProxyAnswerKey(std::u16string_view url) {
  std::u16string key(url.substr(0, url.find(u'#')));
  const std::size_t scheme = key.find(u"://");
  if (scheme == std::u16string::npos) return key;
  LowerAscii(key, 0, scheme);
  const std::size_t authority = scheme + 3;
  std::size_t end = key.find_first_of(u"/?", authority);
  if (end == std::u16string::npos) end = key.size();
  // The user name and password before an "@" keep their case.
  const std::size_t at = key.rfind(u'@', end == 0 ? 0 : end - 1);
  const std::size_t host = at != std::u16string::npos && at >= authority ? at + 1 : authority;
  LowerAscii(key, host, end);
  return key;
}

}  // namespace fw
