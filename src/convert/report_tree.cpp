// The report tree: nodes in a node store, names interned once per document.
#include <cstring>
#include <utility>

#include "convert/report_nodes.h"
#include "convert/xml_names.h"
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

namespace {

// Shorter first; equal lengths by the first differing code unit.
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

std::uint32_t GrownCapacity(std::uint32_t capacity) {
  if (capacity < 16) return capacity + 4;
  return capacity * 2;
}

}  // namespace

const XmlName* ReportTree::Intern(std::u16string_view name,
                                  std::string_view operation) {
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

const char16_t* ReportTree::CopyText(std::u16string_view text) {
  if (text.empty()) return nullptr;
  auto* copy = static_cast<char16_t*>(store_.Allocate(text.size() * sizeof(char16_t)));
  std::memcpy(copy, text.data(), text.size() * sizeof(char16_t));
  return copy;
}

void ReportTree::FreeText(const char16_t* text, std::size_t length) noexcept {
  store_.Free(const_cast<char16_t*>(text), length * sizeof(char16_t));
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

void ReportTree::SetText(ReportElement* element, std::u16string_view text) {
  const char16_t* copy = CopyText(text);
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

void ReportTree::SetAttribute(ReportElement* element, const XmlName* name,
                              std::u16string_view value) {
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
  const char16_t* copy = CopyText(value);
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
      grown = static_cast<ReportAttribute*>(
          store_.Allocate(capacity * sizeof(ReportAttribute)));
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
  if (element != nullptr) impl_->SetText(element, text);
}

void ReportDocument::SetAttribute(ReportElement* element, std::u16string_view name,
                                  std::u16string_view value) {
  if (element == nullptr) return;
  impl_->SetAttribute(element, impl_->Intern(name, "DOMDocument.CreateAttribute"), value);
}

bool ReportDocument::HasAttributes(const ReportElement* element) const {
  return element != nullptr && element->size != 0;
}

ReportElement* ReportDocument::Root() const { return impl_->root; }

void ReportDocument::ReleaseElement(ReportElement* element) { impl_->Release(element); }

}  // namespace qv
