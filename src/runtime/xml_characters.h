#pragma once
// The control characters XML 1.0 does not allow in a document. The report
// writes each of them as "?", and so do the listings, so that a value reads
// the same in both.
namespace qv {

constexpr bool IsForbiddenInXml(unsigned char byte) {
  return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r';
}

// An ASCII byte that an attribute value holds as it is, needing no escape.
constexpr bool IsPlainInAttribute(unsigned char byte) {
  return byte >= 0x20 && byte < 0x80 && byte != '&' && byte != '<' && byte != '"';
}

}  // namespace qv
