// The report tree: nodes in a node store, names interned once per document.
#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "convert/report_nodes.h"
#include "convert/xml_names.h"
#include "runtime/encodings.h"
#include "runtime/service_error.h"

namespace qv {

// ---- Names ----

MarkupBytes::MarkupBytes(std::string text) : bytes(std::move(text)) {
  if (bytes.size() <= kPadded) std::memcpy(padded, bytes.data(), bytes.size());
}

namespace {

std::string Around(std::string_view before, std::u16string_view name, std::string_view after) {
  std::string bytes(before);
  bytes += Utf16ToUtf8Lenient(name);
  bytes += after;
  return bytes;
}

}  // namespace

XmlName::XmlName(std::u16string_view name)
    : text(name),
      elementStart(Around("<", name, "")),
      elementEnd(Around("</", name, ">")),
      attributeStart(Around(" ", name, "=\"")) {}

// A few units and the length: names are looked up once per attribute set,
// and the names of a report differ in these already.
std::uint32_t NameTable::Hash(std::u16string_view name) {
  std::size_t n = name.size();
  if (n == 0) return 0;
  std::uint32_t hash = static_cast<std::uint32_t>(n);
  hash = hash * 31 + name[0];
  hash = hash * 31 + name[n / 2];
  hash = hash * 31 + name[n - 1];
  return hash * 2654435761u >> 8;
}

namespace {

// A loop rather than memcmp: names are a few units long, a call costs more.
bool SameName(const XmlName& known, std::u16string_view name) {
  if (known.text.size() != name.size()) return false;
  const char16_t* units = known.text.data();
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (units[i] != name[i]) return false;
  }
  return true;
}

}  // namespace

const XmlName* NameTable::Find(std::u16string_view name) const {
  if (slots_.empty()) return nullptr;
  std::size_t mask = slots_.size() - 1;
  for (std::size_t i = Hash(name) & mask;; i = (i + 1) & mask) {
    const XmlName* slot = slots_[i];
    if (slot == nullptr) return nullptr;
    if (SameName(*slot, name)) return slot;
  }
}

const XmlName* NameTable::Add(std::u16string_view name) {
  if ((names_.size() + 1) * 2 > slots_.size()) Grow();
  auto entry = std::make_unique<XmlName>(name);
  std::size_t mask = slots_.size() - 1;
  std::size_t i = Hash(name) & mask;
  while (slots_[i] != nullptr) i = (i + 1) & mask;
  slots_[i] = entry.get();
  names_.push_back(std::move(entry));
  return slots_[i];
}

void NameTable::Grow() {
  std::vector<const XmlName*> bigger(slots_.empty() ? 32 : slots_.size() * 2);
  std::size_t mask = bigger.size() - 1;
  for (const auto& entry : names_) {
    std::size_t i = Hash(entry->text) & mask;
    while (bigger[i] != nullptr) i = (i + 1) & mask;
    bigger[i] = entry.get();
  }
  slots_.swap(bigger);
}

// ---- ReportTree ----

int CompareNames(const XmlName& a, const XmlName& b) {
  if (&a == &b) return 0;
  if (a.text.size() != b.text.size()) {
    return a.text.size() < b.text.size() ? -1 : 1;
  }
  for (std::size_t i = 0; i < a.text.size(); ++i) {
    if (a.text[i] != b.text[i]) return a.text[i] < b.text[i] ? -1 : 1;
  }
  return 0;
}

bool InListOrder(std::span<const ReportDocument::Utf8Attribute> attributes) {
  for (std::size_t i = 1; i < attributes.size(); ++i) {
    if (CompareNames(*attributes[i - 1].name, *attributes[i].name) >= 0) return false;
  }
  return true;
}

namespace {

std::uint32_t GrownCapacity(std::uint32_t capacity) {
  if (capacity < 16) return capacity + 4;
  return capacity * 2;
}

// UTF-8 of a text, with a lone surrogate kept as its own three bytes.
std::string KeptForm(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t u = text[i];
    if (u >= 0xD800 && u < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
        text[i + 1] < 0xE000) {
      u = 0x10000 + ((u - 0xD800) << 10) + (text[++i] - 0xDC00);
    }
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u < 0x800) {
      out += static_cast<char>(0xC0 | (u >> 6));
      out += static_cast<char>(0x80 | (u & 63));
    } else if (u < 0x10000) {
      out += static_cast<char>(0xE0 | (u >> 12));
      out += static_cast<char>(0x80 | ((u >> 6) & 63));
      out += static_cast<char>(0x80 | (u & 63));
    } else {
      out += static_cast<char>(0xF0 | (u >> 18));
      out += static_cast<char>(0x80 | ((u >> 12) & 63));
      out += static_cast<char>(0x80 | ((u >> 6) & 63));
      out += static_cast<char>(0x80 | (u & 63));
    }
  }
  return out;
}

}  // namespace

const XmlName* ReportTree::Intern(std::u16string_view name, std::string_view operation) {
  if (const XmlName* known = names_.Find(name)) return known;
  if (!IsXmlName(name)) {
    std::string message(operation);
    if (name.empty()) {
      message += ": empty name";
    } else {
      message += ": invalid character in name \"" + Utf16ToUtf8Lenient(name) + "\"";
    }
    throw ServiceError(message);
  }
  return names_.Add(name);
}

ReportElement* ReportTree::NewElement(const XmlName* name) {
  auto* node = static_cast<ReportElement*>(store_.Allocate(sizeof(ReportElement)));
  std::memset(static_cast<void*>(node), 0, sizeof(ReportElement));
  node->name = name;
  return node;
}

// A packed element's block: one attribute slot in front, whose length is
// the block's size in bytes, then the attributes, then their values.
ReportElement* ReportTree::NewPackedElement(
    const XmlName* name, std::span<const ReportDocument::Utf8Attribute> attributes) {
  if (!InListOrder(attributes)) {
    // Out of order or repeated: sorted, and the last value of a name wins.
    std::vector<ReportDocument::Utf8Attribute> sorted(attributes.begin(), attributes.end());
    std::stable_sort(sorted.begin(), sorted.end(), [](const auto& a, const auto& b) {
      return CompareNames(*a.name, *b.name) < 0;
    });
    std::vector<ReportDocument::Utf8Attribute> unique;
    for (const auto& attribute : sorted) {
      if (!unique.empty() && CompareNames(*unique.back().name, *attribute.name) == 0) {
        unique.back() = attribute;
      } else {
        unique.push_back(attribute);
      }
    }
    return NewPackedElement(name, unique);
  }
  ReportElement* node = NewElement(name);
  if (attributes.empty()) return node;
  const std::size_t count = attributes.size();
  // Cleaned values are never longer than the bytes they come from.
  std::size_t bytes = (count + 1) * sizeof(ReportAttribute);
  for (const auto& attribute : attributes) bytes += attribute.value.size();
  ReportAttribute* block;
  try {
    block = static_cast<ReportAttribute*>(store_.Allocate(bytes));
  } catch (...) {
    store_.Free(node, sizeof(ReportElement));
    throw;
  }
  block[0] = ReportAttribute{nullptr, nullptr, bytes};
  ReportAttribute* list = block + 1;
  char* values = reinterpret_cast<char*>(list + count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::size_t length = CleanUtf8(attributes[i].value, values);
    list[i] = ReportAttribute{attributes[i].name, length != 0 ? values : nullptr, length};
    values += length;
  }
  node->attributes = list;
  node->size = count;
  node->capacity = static_cast<std::uint32_t>(count);
  node->packed = true;
  return node;
}

void ReportTree::Unpack(ReportElement* element) {
  const std::size_t count = element->size;
  auto* list = static_cast<ReportAttribute*>(store_.Allocate(count * sizeof(ReportAttribute)));
  std::size_t copied = 0;
  try {
    for (; copied < count; ++copied) {
      const ReportAttribute& packed = element->attributes[copied];
      list[copied] = ReportAttribute{
          packed.name,
          CopyText(std::string_view(packed.value != nullptr ? packed.value : "", packed.length)),
          packed.length};
    }
  } catch (...) {
    for (std::size_t i = 0; i < copied; ++i) FreeText(list[i].value, list[i].length);
    store_.Free(list, count * sizeof(ReportAttribute));
    throw;
  }
  ReportAttribute* block = element->attributes - 1;
  store_.Free(block, block->length);
  element->attributes = list;
  element->packed = false;
}

const char* ReportTree::CopyText(std::string_view text) {
  if (text.empty()) return nullptr;
  auto* copy = static_cast<char*>(store_.Allocate(text.size()));
  std::memcpy(copy, text.data(), text.size());
  return copy;
}

void ReportTree::FreeText(const char* text, std::size_t length) noexcept {
  store_.Free(const_cast<char*>(text), length);
}

void ReportTree::Detach(ReportElement* node) noexcept {
  ReportElement* parent = node->parent;
  if (parent == nullptr) {
    if (root == node) root = nullptr;
    return;
  }
  ReportElement* first = parent->firstChild;
  if (node == first) {
    parent->firstChild = node->nextSibling;
    if (node->nextSibling != nullptr) node->nextSibling->prevCyclic = node->prevCyclic;
  } else {
    node->prevCyclic->nextSibling = node->nextSibling;
    if (node->nextSibling != nullptr) {
      node->nextSibling->prevCyclic = node->prevCyclic;
    } else {
      first->prevCyclic = node->prevCyclic;
    }
  }
  node->parent = nullptr;
  node->nextSibling = nullptr;
  node->prevCyclic = nullptr;
}

void ReportTree::Append(ReportElement* parent, ReportElement* child) {
  if (child == nullptr) return;
  if (parent == nullptr) {
    if (root == child) return;
    if (root != nullptr) {
      throw ServiceError("DOMDocument.AppendChild: the document already has a root element");
    }
  } else {
    // An element cannot go under itself or under one of its descendants.
    for (ReportElement* up = parent; up != nullptr; up = up->parent) {
      if (up == child) {
        throw ServiceError("DOMDocument.AppendChild: an element cannot contain itself");
      }
    }
  }
  Detach(child);
  if (parent == nullptr) {
    root = child;
    return;
  }
  child->parent = parent;
  child->nextSibling = nullptr;
  ReportElement* first = parent->firstChild;
  if (first == nullptr) {
    parent->firstChild = child;
    child->prevCyclic = child;
  } else {
    ReportElement* last = first->prevCyclic;
    last->nextSibling = child;
    child->prevCyclic = last;
    first->prevCyclic = child;
  }
}

void ReportTree::SetText(ReportElement* element, std::string_view text) {
  const char* copy = CopyText(text);
  ReportElement* textNode = nullptr;
  if (copy != nullptr) {
    try {
      textNode = NewElement(nullptr);
    } catch (...) {
      FreeText(copy, text.size());
      throw;
    }
    textNode->text = copy;
    textNode->size = text.size();
  }
  while (ReportElement* child = element->firstChild) {
    if (child->IsText()) {
      Release(child);
    } else {
      Detach(child);
    }
  }
  if (textNode != nullptr) Append(element, textNode);
}

void ReportTree::SetAttribute(ReportElement* element, const XmlName* name, std::string_view value) {
  if (element->packed) Unpack(element);
  ReportAttribute* list = element->attributes;
  std::size_t count = element->size;
  std::ptrdiff_t low = 0;
  std::ptrdiff_t high = static_cast<std::ptrdiff_t>(count) - 1;
  bool found = false;
  while (low <= high) {
    std::ptrdiff_t mid = (low + high) / 2;
    int order = CompareNames(*name, *list[mid].name);
    if (order > 0) {
      low = mid + 1;
    } else {
      high = mid - 1;
      if (order == 0) {
        found = true;
        low = mid;
      }
    }
  }
  const char* copy = CopyText(value);
  if (found) {
    ReportAttribute& slot = list[low];
    FreeText(slot.value, slot.length);
    slot.value = copy;
    slot.length = value.size();
    return;
  }
  if (count == element->capacity) {
    std::uint32_t capacity = GrownCapacity(element->capacity);
    ReportAttribute* grown;
    try {
      grown = static_cast<ReportAttribute*>(store_.Allocate(capacity * sizeof(ReportAttribute)));
    } catch (...) {
      FreeText(copy, value.size());
      throw;
    }
    if (count != 0) std::memcpy(grown, list, count * sizeof(ReportAttribute));
    store_.Free(list, element->capacity * sizeof(ReportAttribute));
    element->attributes = list = grown;
    element->capacity = capacity;
  }
  for (std::size_t i = count; i > static_cast<std::size_t>(low); --i) list[i] = list[i - 1];
  list[low] = ReportAttribute{name, copy, value.size()};
  element->size = count + 1;
}

void ReportTree::FreeNode(ReportElement* node) noexcept {
  if (node->IsText()) {
    FreeText(node->text, node->size);
  } else if (node->packed) {
    ReportAttribute* block = node->attributes - 1;
    store_.Free(block, block->length);
  } else {
    for (std::size_t i = 0; i < node->size; ++i) {
      FreeText(node->attributes[i].value, node->attributes[i].length);
    }
    store_.Free(node->attributes, node->capacity * sizeof(ReportAttribute));
  }
  store_.Free(node, sizeof(ReportElement));
}

// Without recursion, so that no depth of tree can exhaust the stack.
void ReportTree::Release(ReportElement* top) noexcept {
  if (top == nullptr) return;
  Detach(top);
  ReportElement* node = top;
  for (;;) {
    while (node->firstChild != nullptr) node = node->firstChild;
    ReportElement* next = node->nextSibling;
    ReportElement* parent = node->parent;
    FreeNode(node);
    if (node == top) return;
    if (next != nullptr) {
      node = next;
    } else {
      parent->firstChild = nullptr;
      node = parent;
    }
  }
}

// ---- ReportDocument ----

ReportDocument::ReportDocument() : impl_(std::make_unique<Impl>()) {}
ReportDocument::~ReportDocument() = default;

ReportElement* ReportDocument::CreateElement(std::u16string_view name) {
  return impl_->NewElement(impl_->Intern(name, "DOMDocument.CreateElement"));
}

void ReportDocument::AppendChild(ReportElement* parent, ReportElement* child) {
  impl_->Append(parent, child);
}

void ReportDocument::SetTextContent(ReportElement* element, std::u16string_view text) {
  if (element != nullptr) impl_->SetText(element, KeptForm(text));
}

void ReportDocument::SetAttribute(ReportElement* element, std::u16string_view name,
                                  std::u16string_view value) {
  if (element == nullptr) return;
  const XmlName* interned = impl_->Intern(name, "DOMDocument.CreateAttribute");
  impl_->SetAttribute(element, interned, KeptForm(value));
}

const XmlName* ReportDocument::ElementName(std::u16string_view name) {
  return impl_->Intern(name, "DOMDocument.CreateElement");
}

const XmlName* ReportDocument::AttributeName(std::u16string_view name) {
  return impl_->Intern(name, "DOMDocument.CreateAttribute");
}

ReportElement* ReportDocument::CreateElement(const XmlName* name,
                                             std::span<const Utf8Attribute> attributes) {
  return impl_->NewPackedElement(name, attributes);
}

bool ReportDocument::HasAttributes(const ReportElement* element) const {
  return element != nullptr && element->size != 0;
}

ReportElement* ReportDocument::Root() const { return impl_->root; }

void ReportDocument::ReleaseElement(ReportElement* element) { impl_->Release(element); }

}  // namespace qv
