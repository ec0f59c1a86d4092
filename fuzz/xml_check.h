#pragma once
// A small strict reader of the report's XML: it accepts only well-formed
// documents of the kind the writer produces (declaration, elements,
// attributes, text) and gives back the tree with references resolved.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/utf8_model.h"

namespace qv::fuzz {

struct XmlElement {
  std::string name;
  std::vector<std::pair<std::string, std::string>> attributes;  // values resolved
  std::string text;  // the element's own text pieces, joined, resolved
  std::vector<XmlElement> children;
};

struct XmlReading {
  std::string error;  // empty when the document is well-formed
  XmlElement root;
};

namespace xml_detail {

inline bool IsXmlChar(std::uint32_t c) {
  return c == 0x9 || c == 0xA || c == 0xD || (c >= 0x20 && c <= 0xD7FF) ||
         (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

inline void AppendUtf8(std::uint32_t c, std::string& out) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 63));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 63));
    out += static_cast<char>(0x80 | (c & 63));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 63));
    out += static_cast<char>(0x80 | ((c >> 6) & 63));
    out += static_cast<char>(0x80 | (c & 63));
  }
}

// Every character must be one that XML 1.0 allows in a document.
inline std::string CheckEncoding(std::string_view bytes) {
  for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
    std::uint32_t c = 0;
    length = test::StrictCodePoint(bytes.substr(i), c);
    if (length == 0) return "ill-formed UTF-8 at offset " + std::to_string(i);
    if (!IsXmlChar(c)) {
      static constexpr char kHex[] = "0123456789ABCDEF";
      std::string code;
      for (int shift = c > 0xFFFF ? 20 : 12; shift >= 0; shift -= 4)
        code += kHex[(c >> shift) & 15];
      return "character U+" + code + " not allowed in XML at offset " + std::to_string(i);
    }
  }
  return {};
}

class Reader {
 public:
  explicit Reader(std::string_view bytes) : bytes_(bytes) {}

  std::string Read(XmlElement& root) {
    constexpr std::string_view kDeclaration = "<?xml version=\"1.0\"?>";
    if (bytes_.substr(0, kDeclaration.size()) != kDeclaration) return "no XML declaration";
    at_ = kDeclaration.size();
    SkipSpace();
    if (!ReadElement(root, 0)) return error_;
    SkipSpace();
    if (at_ != bytes_.size()) return Fail("content after the root element");
    return {};
  }

 private:
  static constexpr int kMaxDepth = 64;

  bool AtEnd() const { return at_ >= bytes_.size(); }
  char Peek(std::size_t ahead = 0) const {
    return at_ + ahead < bytes_.size() ? bytes_[at_ + ahead] : '\0';
  }
  bool LooksAt(std::string_view text) const { return bytes_.substr(at_, text.size()) == text; }
  static bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
  bool SkipSpace() {
    const std::size_t from = at_;
    while (!AtEnd() && IsSpace(bytes_[at_])) ++at_;
    return at_ != from;
  }
  std::string Fail(std::string_view what) {
    error_ = std::string(what) + " at offset " + std::to_string(at_);
    return error_;
  }
  bool Failed(std::string_view what) {
    Fail(what);
    return false;
  }

  static bool IsNameStart(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':' || c >= 0x80;
  }
  static bool IsNameByte(unsigned char c) {
    return IsNameStart(c) || (c >= '0' && c <= '9') || c == '-' || c == '.';
  }
  bool ReadName(std::string& name) {
    if (AtEnd() || !IsNameStart(static_cast<unsigned char>(bytes_[at_]))) {
      return Failed("name expected");
    }
    const std::size_t from = at_;
    while (!AtEnd() && IsNameByte(static_cast<unsigned char>(bytes_[at_]))) ++at_;
    name.assign(bytes_.substr(from, at_ - from));
    return true;
  }

  // After the "&".
  bool ReadReference(std::string& out) {
    ++at_;
    if (Peek() == '#') {
      ++at_;
      const bool hex = Peek() == 'x';
      if (hex) ++at_;
      std::uint32_t code = 0;
      std::size_t digits = 0;
      for (; !AtEnd() && Peek() != ';'; ++at_, ++digits) {
        const char c = Peek();
        std::uint32_t digit = 0;
        if (c >= '0' && c <= '9') {
          digit = static_cast<std::uint32_t>(c - '0');
        } else if (hex && c >= 'a' && c <= 'f') {
          digit = static_cast<std::uint32_t>(c - 'a' + 10);
        } else if (hex && c >= 'A' && c <= 'F') {
          digit = static_cast<std::uint32_t>(c - 'A' + 10);
        } else {
          return Failed("bad character reference");
        }
        if (code > 0x10FFFF) return Failed("character reference out of range");
        code = code * (hex ? 16 : 10) + digit;
      }
      if (AtEnd() || digits == 0) return Failed("unterminated character reference");
      ++at_;
      if (!IsXmlChar(code)) return Failed("character reference to a character XML forbids");
      AppendUtf8(code, out);
      return true;
    }
    static constexpr std::pair<std::string_view, char> kEntities[] = {
        {"lt;", '<'}, {"gt;", '>'}, {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}};
    for (const auto& [entity, byte] : kEntities) {
      if (LooksAt(entity)) {
        at_ += entity.size();
        out += byte;
        return true;
      }
    }
    return Failed("undeclared entity");
  }

  bool ReadAttribute(XmlElement& element) {
    std::string name;
    if (!ReadName(name)) return false;
    for (const auto& attribute : element.attributes) {
      if (attribute.first == name) return Failed("attribute given twice");
    }
    SkipSpace();
    if (Peek() != '=') return Failed("= expected");
    ++at_;
    SkipSpace();
    const char quote = Peek();
    if (quote != '"' && quote != '\'') return Failed("quoted value expected");
    ++at_;
    std::string value;
    while (true) {
      if (AtEnd()) return Failed("unterminated attribute value");
      const char c = Peek();
      if (c == quote) break;
      if (c == '<') return Failed("< in attribute value");
      if (c == '&') {
        if (!ReadReference(value)) return false;
      } else {
        value += c;
        ++at_;
      }
    }
    ++at_;
    element.attributes.emplace_back(std::move(name), std::move(value));
    return true;
  }

  bool ReadElement(XmlElement& element, int depth) {
    if (depth > kMaxDepth) return Failed("elements nested too deep");
    if (Peek() != '<') return Failed("element expected");
    ++at_;
    if (!ReadName(element.name)) return false;
    while (true) {
      const bool spaced = SkipSpace();
      if (LooksAt("/>")) {
        at_ += 2;
        return true;
      }
      if (Peek() == '>') {
        ++at_;
        break;
      }
      if (!spaced) return Failed("space expected before attribute");
      if (!ReadAttribute(element)) return false;
    }
    while (true) {
      if (AtEnd()) return Failed("element " + element.name + " not closed");
      if (LooksAt("</")) {
        at_ += 2;
        std::string name;
        if (!ReadName(name)) return false;
        if (name != element.name) return Failed("end tag does not match " + element.name);
        SkipSpace();
        if (Peek() != '>') return Failed("> expected");
        ++at_;
        return true;
      }
      const char c = Peek();
      if (c == '<') {
        if (Peek(1) == '!' || Peek(1) == '?') return Failed("markup the report never holds");
        element.children.emplace_back();
        if (!ReadElement(element.children.back(), depth + 1)) return false;
      } else if (c == '&') {
        if (!ReadReference(element.text)) return false;
      } else {
        if (LooksAt("]]>")) return Failed("]]> in text");
        element.text += c;
        ++at_;
      }
    }
  }

  std::string_view bytes_;
  std::size_t at_ = 0;
  std::string error_;
};

}  // namespace xml_detail

inline XmlReading ReadXml(std::string_view bytes) {
  XmlReading reading;
  reading.error = xml_detail::CheckEncoding(bytes);
  if (reading.error.empty()) reading.error = xml_detail::Reader(bytes).Read(reading.root);
  return reading;
}

}  // namespace qv::fuzz
