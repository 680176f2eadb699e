// A minimal JSON reader for the conformance data files: enough of RFC 8259
// for the html5lib and URL test suites. Strings are kept as UTF-16 and may
// hold lone surrogates (written as \uD800 in the files), which the tokenizer
// tests need.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fw::testjson {

struct Member;

struct Value {
  enum class Kind { Null, Bool, Number, String, Array, Object } kind = Kind::Null;
  bool boolean = false;
  double number = 0;
  std::u16string string;
  std::vector<Value> array;
  std::vector<Member> object;  // in file order

  bool IsNull() const { return kind == Kind::Null; }
  bool IsString() const { return kind == Kind::String; }
  bool IsArray() const { return kind == Kind::Array; }
  bool IsObject() const { return kind == Kind::Object; }
  // The member `key` of an object, or nullptr.
  const Value* Find(std::u16string_view key) const;
};

struct Member {
  std::u16string key;
  Value value;
};

// Parses a whole document (UTF-8 text). Returns nullopt and sets `error`
// (with the byte offset) on malformed input.
std::optional<Value> Parse(std::string_view text, std::string* error = nullptr);

// UTF-16 -> UTF-8 for messages; lone surrogates become U+FFFD.
std::string ToUtf8(std::u16string_view s);

// Reads a file below the source tree (FUELWISE_SOURCE_DIR, with "Z:" before
// it under Windows), or returns nullopt.
std::optional<std::string> ReadSourceFile(std::string_view relativePath);

}  // namespace fw::testjson
