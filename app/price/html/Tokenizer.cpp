// The HTML standard's tokenizer, section 13.2.5 "Tokenization".
//
// Conventions:
// - Each state has one handler, On<State>, registered in kHandlers (indexed
//   by TokenizerState). A handler consumes one character (or, in the text
//   states, a run of ordinary characters) and may emit tokens; the driver
//   calls handlers until a token is ready or the end-of-file token was emitted.
// - Consume() returns kEof at the end of the input without moving; Reconsume()
//   steps back only over a real character, so "reconsume in state X" is
//   uniform for end of input too.
// - Every handler handles kEof; the standard's step text is quoted where the
//   branch is not obvious.
#include "app/price/html/Tokenizer.h"

#include <algorithm>
#include <cstddef>

#include "host/Utf8.h"

namespace fw::html {

namespace {

struct NamedEntity {
  const char* name;
  uint8_t length;
  uint32_t first;
  uint32_t second;
};

#include "app/price/html/EntitiesTable.inc"

constexpr int kEof = -1;

constexpr bool IsWhitespace(int c) { return c == 0x09 || c == 0x0A || c == 0x0C || c == 0x20; }
constexpr bool IsUpperAlpha(int c) { return c >= 'A' && c <= 'Z'; }
constexpr bool IsLowerAlpha(int c) { return c >= 'a' && c <= 'z'; }
constexpr bool IsAlpha(int c) { return IsUpperAlpha(c) || IsLowerAlpha(c); }
constexpr bool IsDigit(int c) { return c >= '0' && c <= '9'; }
constexpr bool IsAlphanumeric(int c) { return IsAlpha(c) || IsDigit(c); }
constexpr bool IsHexDigit(int c) {
  return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
constexpr char16_t ToLower(int c) { return char16_t(IsUpperAlpha(c) ? c + 0x20 : c); }

// 13.2.5.80: the replacements for C1 control references (Windows-1252 reading).
uint32_t FixUpNumericReference(uint32_t code) {
  static constexpr uint16_t kC1[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
  };
  if (code == 0) return 0xFFFD;
  if (code > 0x10FFFF) return 0xFFFD;
  if (code >= 0xD800 && code <= 0xDFFF) return 0xFFFD;
  if (code >= 0x80 && code <= 0x9F) return kC1[code - 0x80];
  return code;
}

constexpr bool IsAttributeValueState(TokenizerState s) {
  return s == TokenizerState::AttributeValueDoubleQuoted ||
         s == TokenizerState::AttributeValueSingleQuoted ||
         s == TokenizerState::AttributeValueUnquoted;
}

}  // namespace

const std::u16string* Token::FindAttribute(std::u16string_view attrName) const {
  for (const Attribute& a : attributes)
    if (a.name == attrName) return &a.value;
  return nullptr;
}

using S = TokenizerState;

struct Tokenizer::Impl {
  // ---- input ----
  static int Consume(Tokenizer& t) {
    if (t.m_pos < t.m_input.size()) return t.m_input[t.m_pos++];
    return kEof;
  }
  static void Reconsume(Tokenizer& t, int c, S state) {
    if (c != kEof) --t.m_pos;
    t.m_state = state;
  }
  static bool LookAheadIs(const Tokenizer& t, std::u16string_view s, bool caseInsensitive) {
    if (t.m_input.size() - t.m_pos < s.size()) return false;
    for (size_t i = 0; i < s.size(); ++i) {
      char16_t c = t.m_input[t.m_pos + i];
      if (caseInsensitive ? ToLower(c) != ToLower(s[i]) : c != s[i]) return false;
    }
    return true;
  }

  // ---- emitting ----
  static void EmitChar(Tokenizer& t, char16_t c) { t.m_pendingText.push_back(c); }
  static void EmitChars(Tokenizer& t, std::u16string_view s) { t.m_pendingText.append(s); }
  // Emitting marks a token ready; Next() hands it out before any further
  // handler runs, so the pending text always goes out before the tag after it.
  static void FlushText(Tokenizer& t) {
    if (!t.m_pendingText.empty()) t.m_textReady = true;
  }
  static void EmitCurrent(Tokenizer& t) {
    FlushText(t);
    if (t.m_current.type == TokenType::StartTag || t.m_current.type == TokenType::EndTag) {
      FinishAttribute(t);
      if (t.m_current.type == TokenType::EndTag) {
        t.m_current.attributes.clear();
        t.m_current.selfClosing = false;
      } else {
        t.m_lastStartTag = t.m_current.name;
        if (t.m_switchContentModel) SwitchContentModel(t, t.m_current.name);
      }
    }
    t.m_tokenReady = true;
  }
  static void EmitEof(Tokenizer& t) {
    FlushText(t);
    t.m_eofEmitted = true;
  }
  // Without a tree builder the tokenizer itself follows the "generic raw
  // text / RCDATA element parsing algorithm" of the tree construction stage.
  // Scripting is taken as enabled, so <noscript> content is raw text, as in a
  // browser that runs scripts.
  static void SwitchContentModel(Tokenizer& t, const std::u16string& name) {
    if (name == u"title" || name == u"textarea") {
      t.m_state = S::Rcdata;
    } else if (name == u"style" || name == u"xmp" || name == u"iframe" || name == u"noembed" ||
               name == u"noframes" || name == u"noscript") {
      t.m_state = S::Rawtext;
    } else if (name == u"script") {
      t.m_state = S::ScriptData;
    } else if (name == u"plaintext") {
      t.m_state = S::Plaintext;
    }
  }

  // ---- tokens under construction ----
  // Clears a token but keeps its buffers: tokens handed out swap buffers with
  // the caller's, so steady-state tokenizing allocates little.
  static void Reset(Token& token) {
    token.name.clear();
    token.data.clear();
    token.attributes.clear();
    token.selfClosing = false;
    token.hasName = token.hasPublicId = token.hasSystemId = token.forceQuirks = false;
    token.publicId.clear();
    token.systemId.clear();
  }
  // Reset, keeping the attributes' strings for the next tags: a page's
  // attribute values then cost no allocation each.
  static void Reset(Tokenizer& t, Token& token) {
    for (Attribute& a : token.attributes) t.m_spareAttributes.push_back(std::move(a));
    token.name.clear();
    token.data.clear();
    token.attributes.clear();
    token.selfClosing = false;
    token.hasName = token.hasPublicId = token.hasSystemId = token.forceQuirks = false;
    token.publicId.clear();
    token.systemId.clear();
  }
  static void NewTag(Tokenizer& t, TokenType type) {
    Reset(t, t.m_current);
    t.m_current.type = type;
    t.m_attrPending = false;
  }
  static void NewComment(Tokenizer& t, std::u16string_view data = {}) {
    Reset(t, t.m_current);
    t.m_current.type = TokenType::Comment;
    t.m_current.data.assign(data);
  }
  static void NewDoctype(Tokenizer& t) {
    Reset(t, t.m_current);
    t.m_current.type = TokenType::Doctype;
  }
  static void StartAttribute(Tokenizer& t) {
    FinishAttribute(t);
    t.m_attrPending = true;
    t.m_attrName.clear();
    t.m_attrValue.clear();
  }
  // "If there is already an attribute on the token with the exact same name,
  // then this is a duplicate-attribute parse error and the new attribute must
  // be removed from the token."
  static void FinishAttribute(Tokenizer& t) {
    if (!t.m_attrPending) return;
    t.m_attrPending = false;
    if (t.m_current.FindAttribute(t.m_attrName)) return;
    if (t.m_spareAttributes.empty()) {
      t.m_current.attributes.push_back({std::move(t.m_attrName), std::move(t.m_attrValue)});
    } else {
      // A spare attribute takes the strings; its old buffers take the next ones.
      Attribute& a = t.m_current.attributes.emplace_back(std::move(t.m_spareAttributes.back()));
      t.m_spareAttributes.pop_back();
      a.name.swap(t.m_attrName);
      a.value.swap(t.m_attrValue);
    }
    t.m_attrName.clear();
    t.m_attrValue.clear();
  }
  static bool IsAppropriateEndTag(const Tokenizer& t) {
    return !t.m_lastStartTag.empty() && t.m_current.name == t.m_lastStartTag;
  }
  static void FlushCharRef(Tokenizer& t) {
    if (IsAttributeValueState(t.m_returnState))
      t.m_attrValue.append(t.m_tempBuffer);
    else
      EmitChars(t, t.m_tempBuffer);
  }

  // ---- 13.2.5.1 - 13.2.5.5: the text states ----
  static void OnData(Tokenizer& t) {
    // Ordinary characters in one step: everything up to the next '&' or '<'.
    size_t end = t.m_input.find_first_of(u"&<", t.m_pos);
    if (end == std::u16string::npos) end = t.m_input.size();
    if (end > t.m_pos) {
      EmitChars(t, std::u16string_view(t.m_input).substr(t.m_pos, end - t.m_pos));
      t.m_pos = end;
      return;
    }
    int c = Consume(t);
    switch (c) {
      case '&': t.m_returnState = S::Data; t.m_state = S::CharacterReference; return;
      case '<': t.m_state = S::TagOpen; return;
      case kEof: EmitEof(t); return;
      default: EmitChar(t, char16_t(c)); return;  // U+0000 is emitted as it is here
    }
  }
  // The ordinary characters after the one just emitted, up to the next of `stops`.
  static void TextRun(Tokenizer& t, std::u16string_view stops) {
    size_t end = t.m_input.find_first_of(stops, t.m_pos);
    if (end == std::u16string::npos) end = t.m_input.size();
    EmitChars(t, std::u16string_view(t.m_input).substr(t.m_pos, end - t.m_pos));
    t.m_pos = end;
  }
  static void OnRcdata(Tokenizer& t) {
    int c = Consume(t);
    switch (c) {
      case '&': t.m_returnState = S::Rcdata; t.m_state = S::CharacterReference; return;
      case '<': t.m_state = S::RcdataLessThanSign; return;
      case 0: EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: EmitChar(t, char16_t(c)); TextRun(t, std::u16string_view(u"&<\0", 3)); return;
    }
  }
  static void OnRawtext(Tokenizer& t) {
    int c = Consume(t);
    switch (c) {
      case '<': t.m_state = S::RawtextLessThanSign; return;
      case 0: EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: EmitChar(t, char16_t(c)); TextRun(t, std::u16string_view(u"<\0", 2)); return;
    }
  }
  static void OnScriptData(Tokenizer& t) {
    int c = Consume(t);
    switch (c) {
      case '<': t.m_state = S::ScriptDataLessThanSign; return;
      case 0: EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: EmitChar(t, char16_t(c)); TextRun(t, std::u16string_view(u"<\0", 2)); return;
    }
  }
  static void OnPlaintext(Tokenizer& t) {
    int c = Consume(t);
    switch (c) {
      case 0: EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: EmitChar(t, char16_t(c)); TextRun(t, std::u16string_view(u"\0", 1)); return;
    }
  }

  // ---- 13.2.5.6 - 13.2.5.8: tags ----
  static void OnTagOpen(Tokenizer& t) {
    int c = Consume(t);
    if (c == '!') {
      t.m_state = S::MarkupDeclarationOpen;
    } else if (c == '/') {
      t.m_state = S::EndTagOpen;
    } else if (IsAlpha(c)) {
      NewTag(t, TokenType::StartTag);
      Reconsume(t, c, S::TagName);
    } else if (c == '?') {
      NewComment(t);
      Reconsume(t, c, S::BogusComment);
    } else if (c == kEof) {
      EmitChar(t, u'<');
      EmitEof(t);
    } else {
      EmitChar(t, u'<');
      Reconsume(t, c, S::Data);
    }
  }
  static void OnEndTagOpen(Tokenizer& t) {
    int c = Consume(t);
    if (IsAlpha(c)) {
      NewTag(t, TokenType::EndTag);
      Reconsume(t, c, S::TagName);
    } else if (c == '>') {
      t.m_state = S::Data;
    } else if (c == kEof) {
      EmitChars(t, u"</");
      EmitEof(t);
    } else {
      NewComment(t);
      Reconsume(t, c, S::BogusComment);
    }
  }
  static void OnTagName(Tokenizer& t) {
    // Ordinary name characters stay in this state: take them in one go.
    while (t.m_pos < t.m_input.size()) {
      char16_t c = t.m_input[t.m_pos];
      if (IsWhitespace(c) || c == u'/' || c == u'>' || c == 0) break;
      t.m_current.name.push_back(ToLower(c));
      ++t.m_pos;
    }
    int c = Consume(t);
    if (IsWhitespace(c)) {
      t.m_state = S::BeforeAttributeName;
    } else if (c == '/') {
      t.m_state = S::SelfClosingStartTag;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == 0) {
      t.m_current.name.push_back(u'\uFFFD');
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      t.m_current.name.push_back(ToLower(c));
    }
  }

  // ---- 13.2.5.9 - 13.2.5.17: end tags in RCDATA, RAWTEXT and script data ----
  static void OnTextLessThanSign(Tokenizer& t, S endTagOpen, S text) {
    int c = Consume(t);
    if (c == '/') {
      t.m_tempBuffer.clear();
      t.m_state = endTagOpen;
    } else {
      EmitChar(t, u'<');
      Reconsume(t, c, text);
    }
  }
  static void OnTextEndTagOpen(Tokenizer& t, S endTagName, S text) {
    int c = Consume(t);
    if (IsAlpha(c)) {
      NewTag(t, TokenType::EndTag);
      Reconsume(t, c, endTagName);
    } else {
      EmitChars(t, u"</");
      Reconsume(t, c, text);
    }
  }
  static void OnTextEndTagName(Tokenizer& t, S text) {
    int c = Consume(t);
    if (IsWhitespace(c) && IsAppropriateEndTag(t)) {
      t.m_state = S::BeforeAttributeName;
    } else if (c == '/' && IsAppropriateEndTag(t)) {
      t.m_state = S::SelfClosingStartTag;
    } else if (c == '>' && IsAppropriateEndTag(t)) {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (IsAlpha(c)) {
      t.m_current.name.push_back(ToLower(c));
      t.m_tempBuffer.push_back(char16_t(c));
    } else {
      EmitChars(t, u"</");
      EmitChars(t, t.m_tempBuffer);
      Reset(t.m_current);
      Reconsume(t, c, text);
    }
  }
  static void OnRcdataLessThanSign(Tokenizer& t) { OnTextLessThanSign(t, S::RcdataEndTagOpen, S::Rcdata); }
  static void OnRcdataEndTagOpen(Tokenizer& t) { OnTextEndTagOpen(t, S::RcdataEndTagName, S::Rcdata); }
  static void OnRcdataEndTagName(Tokenizer& t) { OnTextEndTagName(t, S::Rcdata); }
  static void OnRawtextLessThanSign(Tokenizer& t) { OnTextLessThanSign(t, S::RawtextEndTagOpen, S::Rawtext); }
  static void OnRawtextEndTagOpen(Tokenizer& t) { OnTextEndTagOpen(t, S::RawtextEndTagName, S::Rawtext); }
  static void OnRawtextEndTagName(Tokenizer& t) { OnTextEndTagName(t, S::Rawtext); }
  static void OnScriptDataLessThanSign(Tokenizer& t) {
    int c = Consume(t);
    if (c == '/') {
      t.m_tempBuffer.clear();
      t.m_state = S::ScriptDataEndTagOpen;
    } else if (c == '!') {
      t.m_state = S::ScriptDataEscapeStart;
      EmitChars(t, u"<!");
    } else {
      EmitChar(t, u'<');
      Reconsume(t, c, S::ScriptData);
    }
  }
  static void OnScriptDataEndTagOpen(Tokenizer& t) {
    OnTextEndTagOpen(t, S::ScriptDataEndTagName, S::ScriptData);
  }
  static void OnScriptDataEndTagName(Tokenizer& t) { OnTextEndTagName(t, S::ScriptData); }

  // ---- 13.2.5.18 - 13.2.5.31: script data escapes ----
  static void OnScriptDataEscapeStart(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_state = S::ScriptDataEscapeStartDash;
      EmitChar(t, u'-');
    } else {
      Reconsume(t, c, S::ScriptData);
    }
  }
  static void OnScriptDataEscapeStartDash(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_state = S::ScriptDataEscapedDashDash;
      EmitChar(t, u'-');
    } else {
      Reconsume(t, c, S::ScriptData);
    }
  }
  // The escaped and double-escaped families share their shape; `dash`,
  // `dashDash` and `lessThan` are the family's states, `base` its text state.
  static void OnEscapedText(Tokenizer& t, S base, S dash, S lessThan, bool emitLessThan) {
    int c = Consume(t);
    switch (c) {
      case '-': t.m_state = dash; EmitChar(t, u'-'); return;
      case '<': t.m_state = lessThan; if (emitLessThan) EmitChar(t, u'<'); return;
      case 0: t.m_state = base; EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: t.m_state = base; EmitChar(t, char16_t(c)); return;
    }
  }
  static void OnEscapedDashDash(Tokenizer& t, S base, S lessThan, bool emitLessThan) {
    int c = Consume(t);
    switch (c) {
      case '-': EmitChar(t, u'-'); return;
      case '<': t.m_state = lessThan; if (emitLessThan) EmitChar(t, u'<'); return;
      case '>': t.m_state = S::ScriptData; EmitChar(t, u'>'); return;
      case 0: t.m_state = base; EmitChar(t, u'\uFFFD'); return;
      case kEof: EmitEof(t); return;
      default: t.m_state = base; EmitChar(t, char16_t(c)); return;
    }
  }
  static void OnScriptDataEscaped(Tokenizer& t) {
    OnEscapedText(t, S::ScriptDataEscaped, S::ScriptDataEscapedDash, S::ScriptDataEscapedLessThanSign, false);
  }
  static void OnScriptDataEscapedDash(Tokenizer& t) {
    OnEscapedText(t, S::ScriptDataEscaped, S::ScriptDataEscapedDashDash, S::ScriptDataEscapedLessThanSign, false);
  }
  static void OnScriptDataEscapedDashDash(Tokenizer& t) {
    OnEscapedDashDash(t, S::ScriptDataEscaped, S::ScriptDataEscapedLessThanSign, false);
  }
  static void OnScriptDataEscapedLessThanSign(Tokenizer& t) {
    int c = Consume(t);
    if (c == '/') {
      t.m_tempBuffer.clear();
      t.m_state = S::ScriptDataEscapedEndTagOpen;
    } else if (IsAlpha(c)) {
      t.m_tempBuffer.clear();
      EmitChar(t, u'<');
      Reconsume(t, c, S::ScriptDataDoubleEscapeStart);
    } else {
      EmitChar(t, u'<');
      Reconsume(t, c, S::ScriptDataEscaped);
    }
  }
  static void OnScriptDataEscapedEndTagOpen(Tokenizer& t) {
    OnTextEndTagOpen(t, S::ScriptDataEscapedEndTagName, S::ScriptDataEscaped);
  }
  static void OnScriptDataEscapedEndTagName(Tokenizer& t) { OnTextEndTagName(t, S::ScriptDataEscaped); }
  static void OnDoubleEscapeBoundary(Tokenizer& t, S ifScript, S otherwise) {
    int c = Consume(t);
    if (IsWhitespace(c) || c == '/' || c == '>') {
      t.m_state = t.m_tempBuffer == u"script" ? ifScript : otherwise;
      EmitChar(t, char16_t(c));
    } else if (IsAlpha(c)) {
      t.m_tempBuffer.push_back(ToLower(c));
      EmitChar(t, char16_t(c));
    } else {
      Reconsume(t, c, otherwise);
    }
  }
  static void OnScriptDataDoubleEscapeStart(Tokenizer& t) {
    OnDoubleEscapeBoundary(t, S::ScriptDataDoubleEscaped, S::ScriptDataEscaped);
  }
  static void OnScriptDataDoubleEscaped(Tokenizer& t) {
    OnEscapedText(t, S::ScriptDataDoubleEscaped, S::ScriptDataDoubleEscapedDash,
                  S::ScriptDataDoubleEscapedLessThanSign, true);
  }
  static void OnScriptDataDoubleEscapedDash(Tokenizer& t) {
    OnEscapedText(t, S::ScriptDataDoubleEscaped, S::ScriptDataDoubleEscapedDashDash,
                  S::ScriptDataDoubleEscapedLessThanSign, true);
  }
  static void OnScriptDataDoubleEscapedDashDash(Tokenizer& t) {
    OnEscapedDashDash(t, S::ScriptDataDoubleEscaped, S::ScriptDataDoubleEscapedLessThanSign, true);
  }
  static void OnScriptDataDoubleEscapedLessThanSign(Tokenizer& t) {
    int c = Consume(t);
    if (c == '/') {
      t.m_tempBuffer.clear();
      t.m_state = S::ScriptDataDoubleEscapeEnd;
      EmitChar(t, u'/');
    } else {
      Reconsume(t, c, S::ScriptDataDoubleEscaped);
    }
  }
  static void OnScriptDataDoubleEscapeEnd(Tokenizer& t) {
    OnDoubleEscapeBoundary(t, S::ScriptDataEscaped, S::ScriptDataDoubleEscaped);
  }

  // ---- 13.2.5.32 - 13.2.5.40: attributes ----
  static void OnBeforeAttributeName(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    if (c == '/' || c == '>' || c == kEof) {
      Reconsume(t, c, S::AfterAttributeName);
    } else if (c == '=') {
      StartAttribute(t);
      t.m_attrName.push_back(u'=');
      t.m_state = S::AttributeName;
    } else {
      StartAttribute(t);
      Reconsume(t, c, S::AttributeName);
    }
  }
  static void OnAttributeName(Tokenizer& t) {
    while (t.m_pos < t.m_input.size()) {
      char16_t c = t.m_input[t.m_pos];
      if (IsWhitespace(c) || c == u'/' || c == u'>' || c == u'=' || c == 0) break;
      t.m_attrName.push_back(ToLower(c));
      ++t.m_pos;
    }
    int c = Consume(t);
    if (IsWhitespace(c) || c == '/' || c == '>' || c == kEof) {
      Reconsume(t, c, S::AfterAttributeName);
    } else if (c == '=') {
      t.m_state = S::BeforeAttributeValue;
    } else if (c == 0) {
      t.m_attrName.push_back(u'\uFFFD');
    } else {
      t.m_attrName.push_back(ToLower(c));  // '"', '\'' and '<' are errors but kept
    }
  }
  static void OnAfterAttributeName(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    if (c == '/') {
      t.m_state = S::SelfClosingStartTag;
    } else if (c == '=') {
      t.m_state = S::BeforeAttributeValue;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      StartAttribute(t);
      Reconsume(t, c, S::AttributeName);
    }
  }
  static void OnBeforeAttributeValue(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    if (c == '"') {
      t.m_state = S::AttributeValueDoubleQuoted;
    } else if (c == '\'') {
      t.m_state = S::AttributeValueSingleQuoted;
    } else if (c == '>') {
      t.m_state = S::Data;  // missing-attribute-value: the value stays empty
      EmitCurrent(t);
    } else {
      Reconsume(t, c, S::AttributeValueUnquoted);
    }
  }
  static void OnAttributeValueQuoted(Tokenizer& t, char16_t quote, S self) {
    const char16_t stops[] = {quote, u'&', 0};
    size_t end = t.m_input.find_first_of(std::u16string_view(stops, 3), t.m_pos);
    if (end == std::u16string::npos) end = t.m_input.size();
    t.m_attrValue.append(t.m_input, t.m_pos, end - t.m_pos);
    t.m_pos = end;
    int c = Consume(t);
    if (c == quote) {
      t.m_state = S::AfterAttributeValueQuoted;
    } else if (c == '&') {
      t.m_returnState = self;
      t.m_state = S::CharacterReference;
    } else if (c == 0) {
      t.m_attrValue.push_back(u'\uFFFD');
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      t.m_attrValue.push_back(char16_t(c));
    }
  }
  static void OnAttributeValueDoubleQuoted(Tokenizer& t) {
    OnAttributeValueQuoted(t, u'"', S::AttributeValueDoubleQuoted);
  }
  static void OnAttributeValueSingleQuoted(Tokenizer& t) {
    OnAttributeValueQuoted(t, u'\'', S::AttributeValueSingleQuoted);
  }
  static void OnAttributeValueUnquoted(Tokenizer& t) {
    while (t.m_pos < t.m_input.size()) {
      char16_t c = t.m_input[t.m_pos];
      if (IsWhitespace(c) || c == u'&' || c == u'>' || c == 0) break;
      t.m_attrValue.push_back(c);  // '"', '\'', '<', '=', '`' are errors but kept
      ++t.m_pos;
    }
    int c = Consume(t);
    if (IsWhitespace(c)) {
      t.m_state = S::BeforeAttributeName;
    } else if (c == '&') {
      t.m_returnState = S::AttributeValueUnquoted;
      t.m_state = S::CharacterReference;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == 0) {
      t.m_attrValue.push_back(u'\uFFFD');
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      t.m_attrValue.push_back(char16_t(c));  // '"', '\'', '<', '=', '`' are errors but kept
    }
  }
  static void OnAfterAttributeValueQuoted(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) {
      t.m_state = S::BeforeAttributeName;
    } else if (c == '/') {
      t.m_state = S::SelfClosingStartTag;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      Reconsume(t, c, S::BeforeAttributeName);
    }
  }
  static void OnSelfClosingStartTag(Tokenizer& t) {
    int c = Consume(t);
    if (c == '>') {
      t.m_current.selfClosing = true;
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitEof(t);
    } else {
      Reconsume(t, c, S::BeforeAttributeName);
    }
  }

  // ---- 13.2.5.41 - 13.2.5.52: comments ----
  static void OnBogusComment(Tokenizer& t) {
    int c = Consume(t);
    if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    } else if (c == 0) {
      t.m_current.data.push_back(u'\uFFFD');
    } else {
      t.m_current.data.push_back(char16_t(c));
    }
  }
  static void OnMarkupDeclarationOpen(Tokenizer& t) {
    if (LookAheadIs(t, u"--", false)) {
      t.m_pos += 2;
      NewComment(t);
      t.m_state = S::CommentStart;
    } else if (LookAheadIs(t, u"doctype", true)) {
      t.m_pos += 7;
      t.m_state = S::Doctype;
    } else if (LookAheadIs(t, u"[CDATA[", false)) {
      t.m_pos += 7;
      if (t.m_foreign) {
        t.m_state = S::CdataSection;
      } else {
        NewComment(t, u"[CDATA[");
        t.m_state = S::BogusComment;
      }
    } else {
      NewComment(t);
      t.m_state = S::BogusComment;  // nothing consumed
    }
  }
  static void OnCommentStart(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_state = S::CommentStartDash;
    } else if (c == '>') {
      t.m_state = S::Data;  // abrupt-closing-of-empty-comment
      EmitCurrent(t);
    } else {
      Reconsume(t, c, S::Comment);
    }
  }
  static void OnCommentStartDash(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_state = S::CommentEnd;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    } else {
      t.m_current.data.push_back(u'-');
      Reconsume(t, c, S::Comment);
    }
  }
  static void OnComment(Tokenizer& t) {
    size_t end = t.m_input.find_first_of(std::u16string_view(u"<-\0", 3), t.m_pos);
    if (end == std::u16string::npos) end = t.m_input.size();
    t.m_current.data.append(t.m_input, t.m_pos, end - t.m_pos);
    t.m_pos = end;
    int c = Consume(t);
    switch (c) {
      case '<': t.m_current.data.push_back(u'<'); t.m_state = S::CommentLessThanSign; return;
      case '-': t.m_state = S::CommentEndDash; return;
      case 0: t.m_current.data.push_back(u'\uFFFD'); return;
      case kEof: EmitCurrent(t); EmitEof(t); return;
      default: t.m_current.data.push_back(char16_t(c)); return;
    }
  }
  static void OnCommentLessThanSign(Tokenizer& t) {
    int c = Consume(t);
    if (c == '!') {
      t.m_current.data.push_back(u'!');
      t.m_state = S::CommentLessThanSignBang;
    } else if (c == '<') {
      t.m_current.data.push_back(u'<');
    } else {
      Reconsume(t, c, S::Comment);
    }
  }
  static void OnCommentLessThanSignBang(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') t.m_state = S::CommentLessThanSignBangDash;
    else Reconsume(t, c, S::Comment);
  }
  static void OnCommentLessThanSignBangDash(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') t.m_state = S::CommentLessThanSignBangDashDash;
    else Reconsume(t, c, S::CommentEndDash);
  }
  static void OnCommentLessThanSignBangDashDash(Tokenizer& t) {
    int c = Consume(t);
    Reconsume(t, c, S::CommentEnd);  // '>' and EOF as well as the nested-comment error
  }
  static void OnCommentEndDash(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_state = S::CommentEnd;
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    } else {
      t.m_current.data.push_back(u'-');
      Reconsume(t, c, S::Comment);
    }
  }
  static void OnCommentEnd(Tokenizer& t) {
    int c = Consume(t);
    if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == '!') {
      t.m_state = S::CommentEndBang;
    } else if (c == '-') {
      t.m_current.data.push_back(u'-');
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    } else {
      t.m_current.data.append(u"--");
      Reconsume(t, c, S::Comment);
    }
  }
  static void OnCommentEndBang(Tokenizer& t) {
    int c = Consume(t);
    if (c == '-') {
      t.m_current.data.append(u"--!");
      t.m_state = S::CommentEndDash;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    } else {
      t.m_current.data.append(u"--!");
      Reconsume(t, c, S::Comment);
    }
  }

  // ---- 13.2.5.53 - 13.2.5.68: DOCTYPE ----
  static void EmitQuirkyDoctype(Tokenizer& t, bool atEof) {
    t.m_current.forceQuirks = true;
    if (!atEof) t.m_state = S::Data;
    EmitCurrent(t);
    if (atEof) EmitEof(t);
  }
  static void OnDoctype(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) {
      t.m_state = S::BeforeDoctypeName;
    } else if (c == kEof) {
      NewDoctype(t);
      EmitQuirkyDoctype(t, true);
    } else {
      Reconsume(t, c, S::BeforeDoctypeName);  // '>' and missing-whitespace
    }
  }
  static void OnBeforeDoctypeName(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    NewDoctype(t);
    if (c == '>') {
      EmitQuirkyDoctype(t, false);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      t.m_current.hasName = true;
      t.m_current.name.push_back(c == 0 ? u'\uFFFD' : ToLower(c));
      t.m_state = S::DoctypeName;
    }
  }
  static void OnDoctypeName(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) {
      t.m_state = S::AfterDoctypeName;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      t.m_current.name.push_back(c == 0 ? u'\uFFFD' : ToLower(c));
    }
  }
  static void OnAfterDoctypeName(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      --t.m_pos;  // look at the six characters starting with this one
      if (LookAheadIs(t, u"public", true)) {
        t.m_pos += 6;
        t.m_state = S::AfterDoctypePublicKeyword;
      } else if (LookAheadIs(t, u"system", true)) {
        t.m_pos += 6;
        t.m_state = S::AfterDoctypeSystemKeyword;
      } else {
        t.m_current.forceQuirks = true;
        t.m_state = S::BogusDoctype;  // reconsume: the position is already back
      }
    }
  }
  // After "PUBLIC"/"SYSTEM" (the keyword states) and before the identifier.
  static void OnBeforeIdentifier(Tokenizer& t, bool afterKeyword, bool isPublic) {
    int c = Consume(t);
    if (IsWhitespace(c)) {
      if (afterKeyword)
        t.m_state = isPublic ? S::BeforeDoctypePublicIdentifier : S::BeforeDoctypeSystemIdentifier;
      return;
    }
    if (c == '"' || c == '\'') {
      if (isPublic) {
        t.m_current.hasPublicId = true;
        t.m_current.publicId.clear();
        t.m_state = c == '"' ? S::DoctypePublicIdentifierDoubleQuoted : S::DoctypePublicIdentifierSingleQuoted;
      } else {
        t.m_current.hasSystemId = true;
        t.m_current.systemId.clear();
        t.m_state = c == '"' ? S::DoctypeSystemIdentifierDoubleQuoted : S::DoctypeSystemIdentifierSingleQuoted;
      }
    } else if (c == '>') {
      EmitQuirkyDoctype(t, false);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      t.m_current.forceQuirks = true;
      Reconsume(t, c, S::BogusDoctype);
    }
  }
  static void OnAfterDoctypePublicKeyword(Tokenizer& t) { OnBeforeIdentifier(t, true, true); }
  static void OnBeforeDoctypePublicIdentifier(Tokenizer& t) { OnBeforeIdentifier(t, false, true); }
  static void OnAfterDoctypeSystemKeyword(Tokenizer& t) { OnBeforeIdentifier(t, true, false); }
  static void OnBeforeDoctypeSystemIdentifier(Tokenizer& t) { OnBeforeIdentifier(t, false, false); }
  static void OnIdentifier(Tokenizer& t, char16_t quote, bool isPublic) {
    int c = Consume(t);
    std::u16string& id = isPublic ? t.m_current.publicId : t.m_current.systemId;
    if (c == quote) {
      t.m_state = isPublic ? S::AfterDoctypePublicIdentifier : S::AfterDoctypeSystemIdentifier;
    } else if (c == 0) {
      id.push_back(u'\uFFFD');
    } else if (c == '>') {
      EmitQuirkyDoctype(t, false);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      id.push_back(char16_t(c));
    }
  }
  static void OnDoctypePublicIdentifierDoubleQuoted(Tokenizer& t) { OnIdentifier(t, u'"', true); }
  static void OnDoctypePublicIdentifierSingleQuoted(Tokenizer& t) { OnIdentifier(t, u'\'', true); }
  static void OnDoctypeSystemIdentifierDoubleQuoted(Tokenizer& t) { OnIdentifier(t, u'"', false); }
  static void OnDoctypeSystemIdentifierSingleQuoted(Tokenizer& t) { OnIdentifier(t, u'\'', false); }
  // After the public identifier, and between it and the system identifier.
  static void OnAfterPublicIdentifier(Tokenizer& t, bool between) {
    int c = Consume(t);
    if (IsWhitespace(c)) {
      if (!between) t.m_state = S::BetweenDoctypePublicAndSystemIdentifiers;
    } else if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == '"' || c == '\'') {
      t.m_current.hasSystemId = true;
      t.m_current.systemId.clear();
      t.m_state = c == '"' ? S::DoctypeSystemIdentifierDoubleQuoted : S::DoctypeSystemIdentifierSingleQuoted;
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      t.m_current.forceQuirks = true;
      Reconsume(t, c, S::BogusDoctype);
    }
  }
  static void OnAfterDoctypePublicIdentifier(Tokenizer& t) { OnAfterPublicIdentifier(t, false); }
  static void OnBetweenDoctypePublicAndSystemIdentifiers(Tokenizer& t) { OnAfterPublicIdentifier(t, true); }
  static void OnAfterDoctypeSystemIdentifier(Tokenizer& t) {
    int c = Consume(t);
    if (IsWhitespace(c)) return;
    if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitQuirkyDoctype(t, true);
    } else {
      Reconsume(t, c, S::BogusDoctype);  // not quirky: only the trailing junk is bogus
    }
  }
  static void OnBogusDoctype(Tokenizer& t) {
    int c = Consume(t);
    if (c == '>') {
      t.m_state = S::Data;
      EmitCurrent(t);
    } else if (c == kEof) {
      EmitCurrent(t);
      EmitEof(t);
    }
  }

  // ---- 13.2.5.69 - 13.2.5.71: CDATA sections (foreign content only) ----
  static void OnCdataSection(Tokenizer& t) {
    int c = Consume(t);
    if (c == ']') t.m_state = S::CdataSectionBracket;
    else if (c == kEof) EmitEof(t);
    else EmitChar(t, char16_t(c));
  }
  static void OnCdataSectionBracket(Tokenizer& t) {
    int c = Consume(t);
    if (c == ']') {
      t.m_state = S::CdataSectionEnd;
    } else {
      EmitChar(t, u']');
      Reconsume(t, c, S::CdataSection);
    }
  }
  static void OnCdataSectionEnd(Tokenizer& t) {
    int c = Consume(t);
    if (c == ']') {
      EmitChar(t, u']');
    } else if (c == '>') {
      t.m_state = S::Data;
    } else {
      EmitChars(t, u"]]");
      Reconsume(t, c, S::CdataSection);
    }
  }

  // ---- 13.2.5.72 - 13.2.5.80: character references ----
  static void OnCharacterReference(Tokenizer& t) {
    t.m_tempBuffer.assign(u"&");
    int c = Consume(t);
    if (IsAlphanumeric(c)) {
      Reconsume(t, c, S::NamedCharacterReference);
    } else if (c == '#') {
      t.m_tempBuffer.push_back(u'#');
      t.m_state = S::NumericCharacterReference;
    } else {
      FlushCharRef(t);
      Reconsume(t, c, t.m_returnState);
    }
  }
  // "Consume the maximum number of characters possible, where the consumed
  // characters are one of the identifiers in the named character references
  // table." The sorted table is narrowed one character at a time; the last
  // full name met is the longest match.
  static void OnNamedCharacterReference(Tokenizer& t) {
    const NamedEntity* lo = std::begin(kNamedEntities);
    const NamedEntity* hi = std::end(kNamedEntities);
    const NamedEntity* match = nullptr;
    size_t depth = 0;
    while (lo < hi && depth < kLongestEntityName && t.m_pos + depth < t.m_input.size()) {
      char16_t c = t.m_input[t.m_pos + depth];
      if (c > 0x7F) break;
      char ch = char(c);
      // Entries shorter than depth+1 sort first within the range.
      lo = std::lower_bound(lo, hi, ch, [depth](const NamedEntity& e, char v) {
        return e.length <= depth || e.name[depth] < v;
      });
      hi = std::upper_bound(lo, hi, ch, [depth](char v, const NamedEntity& e) {
        return e.length > depth && v < e.name[depth];
      });
      ++depth;
      if (lo < hi && lo->length == depth) match = lo;
    }
    if (!match) {
      FlushCharRef(t);
      t.m_state = S::AmbiguousAmpersand;
      return;
    }
    t.m_tempBuffer.append(t.m_input, t.m_pos, match->length);
    t.m_pos += match->length;
    bool endsWithSemicolon = match->name[match->length - 1] == ';';
    int next = t.m_pos < t.m_input.size() ? t.m_input[t.m_pos] : kEof;
    if (IsAttributeValueState(t.m_returnState) && !endsWithSemicolon &&
        (next == '=' || IsAlphanumeric(next))) {
      // Historical: "&copy=2" in a query string stays as written.
      FlushCharRef(t);
      t.m_state = t.m_returnState;
      return;
    }
    t.m_tempBuffer.clear();
    AppendCodePoint(t.m_tempBuffer, match->first);
    if (match->second) AppendCodePoint(t.m_tempBuffer, match->second);
    FlushCharRef(t);
    t.m_state = t.m_returnState;
  }
  static void OnAmbiguousAmpersand(Tokenizer& t) {
    int c = Consume(t);
    if (IsAlphanumeric(c)) {
      if (IsAttributeValueState(t.m_returnState))
        t.m_attrValue.push_back(char16_t(c));
      else
        EmitChar(t, char16_t(c));
    } else {
      Reconsume(t, c, t.m_returnState);  // ';' is an unknown-named-character-reference error
    }
  }
  static void OnNumericCharacterReference(Tokenizer& t) {
    t.m_charRefCode = 0;
    int c = Consume(t);
    if (c == 'x' || c == 'X') {
      t.m_tempBuffer.push_back(char16_t(c));
      t.m_state = S::HexadecimalCharacterReferenceStart;
    } else {
      Reconsume(t, c, S::DecimalCharacterReferenceStart);
    }
  }
  static void OnReferenceStart(Tokenizer& t, bool hex) {
    int c = Consume(t);
    if (hex ? IsHexDigit(c) : IsDigit(c)) {
      Reconsume(t, c, hex ? S::HexadecimalCharacterReference : S::DecimalCharacterReference);
    } else {
      FlushCharRef(t);  // absence-of-digits-in-numeric-character-reference
      Reconsume(t, c, t.m_returnState);
    }
  }
  static void OnHexadecimalCharacterReferenceStart(Tokenizer& t) { OnReferenceStart(t, true); }
  static void OnDecimalCharacterReferenceStart(Tokenizer& t) { OnReferenceStart(t, false); }
  static void AddDigit(Tokenizer& t, uint32_t base, uint32_t digit) {
    // Saturate above the Unicode range so long digit runs cannot overflow.
    t.m_charRefCode = t.m_charRefCode > 0x10FFFF ? 0x110000 : t.m_charRefCode * base + digit;
    if (t.m_charRefCode > 0x10FFFF) t.m_charRefCode = 0x110000;
  }
  static void OnHexadecimalCharacterReference(Tokenizer& t) {
    int c = Consume(t);
    if (IsDigit(c)) AddDigit(t, 16, uint32_t(c - '0'));
    else if (c >= 'A' && c <= 'F') AddDigit(t, 16, uint32_t(c - 'A' + 10));
    else if (c >= 'a' && c <= 'f') AddDigit(t, 16, uint32_t(c - 'a' + 10));
    else if (c == ';') t.m_state = S::NumericCharacterReferenceEnd;
    else Reconsume(t, c, S::NumericCharacterReferenceEnd);  // missing-semicolon
  }
  static void OnDecimalCharacterReference(Tokenizer& t) {
    int c = Consume(t);
    if (IsDigit(c)) AddDigit(t, 10, uint32_t(c - '0'));
    else if (c == ';') t.m_state = S::NumericCharacterReferenceEnd;
    else Reconsume(t, c, S::NumericCharacterReferenceEnd);
  }
  static void OnNumericCharacterReferenceEnd(Tokenizer& t) {
    // Consumes nothing: "check the character reference code".
    t.m_tempBuffer.clear();
    AppendCodePoint(t.m_tempBuffer, FixUpNumericReference(t.m_charRefCode));
    FlushCharRef(t);
    t.m_state = t.m_returnState;
  }

  using Handler = void (*)(Tokenizer&);
  static const Handler kHandlers[];
};

// Indexed by TokenizerState; the order is that of the enumeration.
const Tokenizer::Impl::Handler Tokenizer::Impl::kHandlers[] = {
    &OnData, &OnRcdata, &OnRawtext, &OnScriptData, &OnPlaintext, &OnTagOpen, &OnEndTagOpen, &OnTagName,
    &OnRcdataLessThanSign, &OnRcdataEndTagOpen, &OnRcdataEndTagName,
    &OnRawtextLessThanSign, &OnRawtextEndTagOpen, &OnRawtextEndTagName,
    &OnScriptDataLessThanSign, &OnScriptDataEndTagOpen, &OnScriptDataEndTagName,
    &OnScriptDataEscapeStart, &OnScriptDataEscapeStartDash, &OnScriptDataEscaped,
    &OnScriptDataEscapedDash, &OnScriptDataEscapedDashDash, &OnScriptDataEscapedLessThanSign,
    &OnScriptDataEscapedEndTagOpen, &OnScriptDataEscapedEndTagName,
    &OnScriptDataDoubleEscapeStart, &OnScriptDataDoubleEscaped, &OnScriptDataDoubleEscapedDash,
    &OnScriptDataDoubleEscapedDashDash, &OnScriptDataDoubleEscapedLessThanSign,
    &OnScriptDataDoubleEscapeEnd,
    &OnBeforeAttributeName, &OnAttributeName, &OnAfterAttributeName, &OnBeforeAttributeValue,
    &OnAttributeValueDoubleQuoted, &OnAttributeValueSingleQuoted, &OnAttributeValueUnquoted,
    &OnAfterAttributeValueQuoted, &OnSelfClosingStartTag, &OnBogusComment, &OnMarkupDeclarationOpen,
    &OnCommentStart, &OnCommentStartDash, &OnComment, &OnCommentLessThanSign, &OnCommentLessThanSignBang,
    &OnCommentLessThanSignBangDash, &OnCommentLessThanSignBangDashDash, &OnCommentEndDash, &OnCommentEnd,
    &OnCommentEndBang, &OnDoctype, &OnBeforeDoctypeName, &OnDoctypeName, &OnAfterDoctypeName,
    &OnAfterDoctypePublicKeyword, &OnBeforeDoctypePublicIdentifier,
    &OnDoctypePublicIdentifierDoubleQuoted, &OnDoctypePublicIdentifierSingleQuoted,
    &OnAfterDoctypePublicIdentifier, &OnBetweenDoctypePublicAndSystemIdentifiers,
    &OnAfterDoctypeSystemKeyword, &OnBeforeDoctypeSystemIdentifier,
    &OnDoctypeSystemIdentifierDoubleQuoted, &OnDoctypeSystemIdentifierSingleQuoted,
    &OnAfterDoctypeSystemIdentifier, &OnBogusDoctype, &OnCdataSection, &OnCdataSectionBracket,
    &OnCdataSectionEnd, &OnCharacterReference, &OnNamedCharacterReference, &OnAmbiguousAmpersand,
    &OnNumericCharacterReference, &OnHexadecimalCharacterReferenceStart,
    &OnDecimalCharacterReferenceStart, &OnHexadecimalCharacterReference,
    &OnDecimalCharacterReference, &OnNumericCharacterReferenceEnd,
};

Tokenizer::Tokenizer(std::u16string_view input) {
  // 13.2.3.5: CR LF and lone CR become LF.
  if (input.find(u'\r') == std::u16string_view::npos) {
    m_input.assign(input);
    return;
  }
  m_input.reserve(input.size());
  for (size_t i = 0; i < input.size(); ++i) {
    char16_t c = input[i];
    if (c == u'\r') {
      m_input.push_back(u'\n');
      if (i + 1 < input.size() && input[i + 1] == u'\n') ++i;
    } else {
      m_input.push_back(c);
    }
  }
}

bool Tokenizer::Next(Token& token) {
  static_assert(std::size(Impl::kHandlers) == size_t(TokenizerState::NumericCharacterReferenceEnd) + 1,
                "one handler per state");
  while (!m_textReady && !m_tokenReady && !m_eofEmitted) Impl::kHandlers[size_t(m_state)](*this);
  if (m_textReady) {
    m_textReady = false;
    Impl::Reset(*this, token);
    token.type = TokenType::Character;
    token.data.swap(m_pendingText);
    m_pendingText.clear();
    return true;
  }
  if (m_tokenReady) {
    m_tokenReady = false;
    // Only the fields the token's type uses are swapped; the others are
    // cleared (the tokenizer resets its own when it starts the next token).
    token.type = m_current.type;
    token.selfClosing = m_current.selfClosing;
    token.hasName = m_current.hasName;
    token.hasPublicId = m_current.hasPublicId;
    token.hasSystemId = m_current.hasSystemId;
    token.forceQuirks = m_current.forceQuirks;
    if (m_current.type == TokenType::StartTag || m_current.type == TokenType::EndTag) {
      token.name.swap(m_current.name);
      token.attributes.swap(m_current.attributes);
      token.data.clear();
      token.publicId.clear();
      token.systemId.clear();
    } else if (m_current.type == TokenType::Comment) {
      token.data.swap(m_current.data);
      token.name.clear();
      token.attributes.clear();
      token.publicId.clear();
      token.systemId.clear();
    } else {
      token.name.swap(m_current.name);
      token.data.swap(m_current.data);
      token.attributes.swap(m_current.attributes);
      token.publicId.swap(m_current.publicId);
      token.systemId.swap(m_current.systemId);
    }
    return true;
  }
  return false;
}

}  // namespace fw::html
