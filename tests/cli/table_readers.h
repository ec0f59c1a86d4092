#pragma once
// Strict readers of the listings: CSV as RFC 4180 has it, and flat JSON
// objects as the listings write them. Each gives nothing for text that
// breaks the rules, so that reading back is also a check of validity.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace qv::test {

using CsvRecords = std::vector<std::vector<std::string>>;

// Records end in LF; an unquoted field holds no quote, comma or control byte.
inline std::optional<CsvRecords> ReadCsv(std::string_view text) {
  CsvRecords records(1);
  std::string field;
  for (std::size_t i = 0; i < text.size();) {
    if (text[i] == '"') {
      for (++i;; ++i) {
        if (i >= text.size()) return std::nullopt;
        if (text[i] == '"' && text.substr(i, 2) != "\"\"") break;
        field += text[i];
        if (text[i] == '"') ++i;
      }
      ++i;
    } else {
      for (; i < text.size() && text[i] != ',' && text[i] != '\n'; ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7F || byte == '"') return std::nullopt;
        field += text[i];
      }
    }
    records.back().push_back(std::move(field));
    field.clear();
    if (text.substr(i, 1) == ",") {
      ++i;
    } else if (text.substr(i, 1) == "\n") {
      ++i;
      if (i < text.size()) records.emplace_back();
    } else {
      return std::nullopt;
    }
  }
  return records;
}

struct JsonValue {
  enum Kind { kNull, kString, kNumber } kind = kNull;
  std::string text;
};
using JsonObject = std::vector<std::pair<std::string, JsonValue>>;

// Objects of strings, numbers and nulls, alone or in one array.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  std::optional<std::vector<JsonObject>> Array() {
    std::vector<JsonObject> objects;
    if (!Take('[')) return std::nullopt;
    if (!Take(']')) {
      do {
        std::optional<JsonObject> object = Object();
        if (!object) return std::nullopt;
        objects.push_back(std::move(*object));
      } while (Take(','));
      if (!Take(']')) return std::nullopt;
    }
    if (!End()) return std::nullopt;
    return objects;
  }

  std::optional<JsonObject> Object() {
    JsonObject object;
    if (!Take('{')) return std::nullopt;
    do {
      std::optional<std::string> key = String();
      if (!key || !Take(':')) return std::nullopt;
      object.emplace_back(std::move(*key), JsonValue{});
      if (Take("null")) continue;
      JsonValue& value = object.back().second;
      if (std::optional<std::string> text = String()) {
        value = {JsonValue::kString, std::move(*text)};
      } else if (std::optional<std::string> number = Number()) {
        value = {JsonValue::kNumber, std::move(*number)};
      } else {
        return std::nullopt;
      }
    } while (Take(','));
    if (!Take('}')) return std::nullopt;
    return object;
  }

  bool End() {
    Skip();
    return at_ == text_.size();
  }

 private:
  void Skip() {
    while (at_ < text_.size() &&
           std::string_view(" \t\r\n").find(text_[at_]) != std::string_view::npos)
      ++at_;
  }
  bool Take(std::string_view token) {
    Skip();
    if (text_.substr(at_, token.size()) != token) return false;
    at_ += token.size();
    return true;
  }
  bool Take(char byte) { return Take(std::string_view(&byte, 1)); }

  // -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][-+]?[0-9]+)?
  std::optional<std::string> Number() {
    Skip();
    const std::size_t start = at_;
    const auto next = [&](std::string_view bytes) {
      const bool found = at_ < text_.size() && bytes.find(text_[at_]) != std::string_view::npos;
      at_ += found ? 1 : 0;
      return found;
    };
    const auto digits = [&] {
      const std::size_t from = at_;
      while (next("0123456789")) {
      }
      return at_ > from;
    };
    next("-");
    const bool whole = next("0") || digits();
    const bool fraction = !next(".") || digits();
    bool exponent = true;
    if (next("eE")) {
      next("+-");
      exponent = digits();
    }
    if (!whole || !fraction || !exponent) return std::nullopt;
    return std::string(text_.substr(start, at_ - start));
  }

  // Escapes of characters below 0x80 only: the listings write no others.
  std::optional<std::string> String() {
    if (!Take('"')) return std::nullopt;
    std::string text;
    for (; at_ < text_.size() && text_[at_] != '"'; ++at_) {
      const char byte = text_[at_];
      if (static_cast<unsigned char>(byte) < 0x20) return std::nullopt;
      if (byte != '\\') {
        text += byte;
        continue;
      }
      const char escaped = at_ + 1 < text_.size() ? text_[++at_] : '\0';
      const std::size_t simple = std::string_view("\"\\/bfnrt").find(escaped);
      if (simple != std::string_view::npos) {
        text += "\"\\/\b\f\n\r\t"[simple];
      } else if (escaped == 'u' && text_.substr(at_ + 1, 2) == "00" && at_ + 4 < text_.size()) {
        text += static_cast<char>(std::stoi(std::string(text_.substr(at_ + 3, 2)), nullptr, 16));
        at_ += 4;
      } else {
        return std::nullopt;
      }
    }
    if (at_ == text_.size()) return std::nullopt;
    ++at_;
    return text;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace qv::test
