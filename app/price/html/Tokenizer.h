// The HTML standard's tokenizer (13.2.5 "Tokenization"), on decoded UTF-16
// text. Conventions of the implementation (Tokenizer.cpp):
// - one handler per state, named after the state, each handling end of input;
// - character tokens are gathered into one pending run and handed out as one
//   Character token when another token is emitted or the input ends, so
//   adjacent character tokens always arrive merged;
// - CR LF and lone CR become LF before tokenizing (13.2.3.5 "Preprocessing the
//   input stream");
// - the tree builder (TreeBuilder.cpp) sets the content model itself, as the
//   standard has it do: it turns switching off and calls SetState and
//   SetForeignContent between tokens. On its own (switching on, the default)
//   the tokenizer switches to RCDATA after a <title>/<textarea> start tag, to
//   RAWTEXT after <style>, <xmp>, <iframe>, <noembed>, <noframes>,
//   <noscript> (scripting counts as enabled), to script data after <script>
//   and to PLAINTEXT after <plaintext>; a self-closing flag does not prevent
//   the switch, as a tree builder ignores it on these tags;
// - parse errors are not reported.
// Portable: no platform header.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fw::html {

enum class TokenType : uint8_t { Doctype, StartTag, EndTag, Comment, Character };

struct Attribute {
  std::u16string name;   // lower-cased
  std::u16string value;  // character references decoded
};

struct Token {
  TokenType type = TokenType::Character;
  std::u16string name;  // tag name (lower-cased) or DOCTYPE name
  std::u16string data;  // comment or character data
  std::vector<Attribute> attributes;  // in source order; the first of duplicates kept
  bool selfClosing = false;
  // DOCTYPE only.
  bool hasName = false;
  bool hasPublicId = false;
  bool hasSystemId = false;
  bool forceQuirks = false;
  std::u16string publicId;
  std::u16string systemId;

  // The value of the attribute `attrName` (lower case), or nullptr.
  const std::u16string* FindAttribute(std::u16string_view attrName) const;
};

// The tokenizer states of 13.2.5.1 to 13.2.5.80. The five a caller may start in
// are Data, Rcdata, Rawtext, ScriptData, Plaintext (and CdataSection for tests).
enum class TokenizerState : uint8_t {
  Data, Rcdata, Rawtext, ScriptData, Plaintext, TagOpen, EndTagOpen, TagName,
  RcdataLessThanSign, RcdataEndTagOpen, RcdataEndTagName,
  RawtextLessThanSign, RawtextEndTagOpen, RawtextEndTagName,
  ScriptDataLessThanSign, ScriptDataEndTagOpen, ScriptDataEndTagName,
  ScriptDataEscapeStart, ScriptDataEscapeStartDash, ScriptDataEscaped,
  ScriptDataEscapedDash, ScriptDataEscapedDashDash, ScriptDataEscapedLessThanSign,
  ScriptDataEscapedEndTagOpen, ScriptDataEscapedEndTagName,
  ScriptDataDoubleEscapeStart, ScriptDataDoubleEscaped, ScriptDataDoubleEscapedDash,
  ScriptDataDoubleEscapedDashDash, ScriptDataDoubleEscapedLessThanSign,
  ScriptDataDoubleEscapeEnd,
  BeforeAttributeName, AttributeName, AfterAttributeName, BeforeAttributeValue,
  AttributeValueDoubleQuoted, AttributeValueSingleQuoted, AttributeValueUnquoted,
  AfterAttributeValueQuoted, SelfClosingStartTag, BogusComment, MarkupDeclarationOpen,
  CommentStart, CommentStartDash, Comment, CommentLessThanSign, CommentLessThanSignBang,
  CommentLessThanSignBangDash, CommentLessThanSignBangDashDash, CommentEndDash, CommentEnd,
  CommentEndBang, Doctype, BeforeDoctypeName, DoctypeName, AfterDoctypeName,
  AfterDoctypePublicKeyword, BeforeDoctypePublicIdentifier,
  DoctypePublicIdentifierDoubleQuoted, DoctypePublicIdentifierSingleQuoted,
  AfterDoctypePublicIdentifier, BetweenDoctypePublicAndSystemIdentifiers,
  AfterDoctypeSystemKeyword, BeforeDoctypeSystemIdentifier,
  DoctypeSystemIdentifierDoubleQuoted, DoctypeSystemIdentifierSingleQuoted,
  AfterDoctypeSystemIdentifier, BogusDoctype, CdataSection, CdataSectionBracket,
  CdataSectionEnd, CharacterReference, NamedCharacterReference, AmbiguousAmpersand,
  NumericCharacterReference, HexadecimalCharacterReferenceStart,
  DecimalCharacterReferenceStart, HexadecimalCharacterReference,
  DecimalCharacterReference, NumericCharacterReferenceEnd,
};

class Tokenizer {
 public:
  // The text is copied (after CR LF normalisation); the view need not outlive the call.
  explicit Tokenizer(std::u16string_view input);

  // Reads the next token into `token` (its previous content is replaced).
  // Returns false once the input is exhausted and every token has been given.
  bool Next(Token& token);

  // The state to go on in (the tree builder's switch after a start tag, or a
  // test's initial state), and the last start tag's name (which decides the
  // "appropriate end tag" of RCDATA/RAWTEXT/script data; tests only). May be
  // called between tokens.
  void SetState(TokenizerState state) { m_state = state; }
  void SetLastStartTag(std::u16string_view name) { m_lastStartTag.assign(name); }
  // On by default; the conformance tests turn it off to see the bare tokenizer.
  void SetContentModelSwitching(bool on) { m_switchContentModel = on; }
  // The CDATA section state is only entered in foreign content: the tree
  // builder (or a test) says when the "adjusted current node" is foreign.
  void SetForeignContent(bool on) { m_foreign = on; }

 private:
  struct Impl;
  friend struct Impl;

  std::u16string m_input;
  size_t m_pos = 0;
  TokenizerState m_state = TokenizerState::Data;
  TokenizerState m_returnState = TokenizerState::Data;
  std::u16string m_lastStartTag;
  bool m_switchContentModel = true;
  bool m_foreign = false;
  bool m_eofEmitted = false;

  Token m_current;                 // the tag, comment or DOCTYPE being built
  std::u16string m_attrName;       // the attribute being built
  std::u16string m_attrValue;
  std::vector<Attribute> m_spareAttributes;  // emptied attributes whose buffers are reused
  bool m_attrPending = false;
  std::u16string m_pendingText;    // characters not yet handed out
  std::u16string m_tempBuffer;     // 13.2.5 "temporary buffer"
  uint32_t m_charRefCode = 0;

  bool m_textReady = false;        // m_pendingText is to be handed out
  bool m_tokenReady = false;       // m_current is to be handed out (after the text)
};

}  // namespace fw::html
