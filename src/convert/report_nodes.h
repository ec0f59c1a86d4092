#pragma once
// Inside the report tree: its nodes, interned names and the memory they live
// in. Shared by the tree operations and the writer; not for other callers.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "convert/report_document.h"

namespace qv {

// Bytes of markup; when short they are also kept padded, so that the writer
// copies them with one move of fixed size.
struct MarkupBytes {
  static constexpr std::size_t kPadded = 32;
  explicit MarkupBytes(std::string text);
  std::string bytes;
  char padded[kPadded] = {};
};

// A name checked once and kept with the bytes the writer puts around it.
struct XmlName {
  explicit XmlName(std::u16string_view name);
  std::u16string text;
  MarkupBytes elementStart;    // <name
  MarkupBytes elementEnd;      // </name>
  MarkupBytes attributeStart;  // ' name="'
};

// Texts are kept as the UTF-8 they are written as, which for the detail's
// texts is most of the work of writing them done once. A lone surrogate,
// which only the UTF-16 operations can bring in, is kept as its three bytes
// (ED A0..BF xx, as WTF-8 has it) for the writer to refuse.
struct ReportAttribute {
  const XmlName* name;
  const char* value;  // in the node store; nullptr when empty
  std::size_t length;
};

// Elements and text nodes share one shape; a text node has no name.
struct ReportElement {
  ReportElement* parent;
  ReportElement* firstChild;
  ReportElement* nextSibling;
  ReportElement* prevCyclic;  // the first child's points at the last child
  const XmlName* name;
  union {
    ReportAttribute* attributes;
    const char* text;
  };
  std::size_t size;  // attribute count, or text length in bytes
  std::uint32_t capacity;
  // The attributes and their values in one block of the node store, as an
  // element made with all its attributes at once has them.
  bool packed;

  bool IsText() const { return name == nullptr; }
  ReportElement* LastChild() const {
    return firstChild != nullptr ? firstChild->prevCyclic : nullptr;
  }
};

// Memory in pages carved into blocks of a few sizes; freed blocks go to a
// list per size and are handed out again, so a tree that is written and
// released piece by piece stays as small as its largest piece.
class NodeStore {
 public:
  NodeStore() = default;
  ~NodeStore();
  NodeStore(const NodeStore&) = delete;
  NodeStore& operator=(const NodeStore&) = delete;

  void* Allocate(std::size_t bytes);
  // bytes must be the size the block was allocated with.
  void Free(void* block, std::size_t bytes) noexcept;

 private:
  static constexpr std::size_t kGrain = 16;
  static constexpr std::size_t kLargestPooled = 1024;
  static constexpr std::size_t kPageSize = 64 * 1024;
  struct FreeBlock {
    FreeBlock* next;
  };
  // Headers take a whole grain, so that the blocks after them stay aligned.
  union Page {
    Page* next;
    char grain[kGrain];
  };
  union BigBlock;
  struct BigBlockLinks {
    BigBlock* prev;
    BigBlock* next;
  };
  union BigBlock {
    BigBlockLinks links;
    char grain[kGrain];
  };

  void* AllocateBig(std::size_t bytes);
  void FreeBig(void* block) noexcept;
  void* AllocateFromNewPage(std::size_t rounded);

  FreeBlock* free_[kLargestPooled / kGrain] = {};
  Page* pages_ = nullptr;
  char* bump_ = nullptr;
  char* bumpEnd_ = nullptr;
  BigBlock* big_ = nullptr;
};

// Open addressing over the few distinct names a report uses.
class NameTable {
 public:
  const XmlName* Find(std::u16string_view name) const;
  const XmlName* Add(std::u16string_view name);

 private:
  static std::uint32_t Hash(std::u16string_view name);
  void Grow();

  std::vector<std::unique_ptr<XmlName>> names_;
  std::vector<const XmlName*> slots_;
};

// The attribute list's order: shorter first; equal lengths by the first
// differing code unit. Negative, zero or positive.
int CompareNames(const XmlName& a, const XmlName& b);
// Whether the names are in that order, each once.
bool InListOrder(std::span<const ReportDocument::Utf8Attribute> attributes);

class ReportTree {
 public:
  ReportTree() = default;
  ReportTree(const ReportTree&) = delete;
  ReportTree& operator=(const ReportTree&) = delete;

  // operation names the failing call in the error text.
  const XmlName* Intern(std::u16string_view name, std::string_view operation);
  ReportElement* NewElement(const XmlName* name);
  // With the attributes in one block; the names in order and unique.
  ReportElement* NewPackedElement(const XmlName* name,
                                  std::span<const ReportDocument::Utf8Attribute> attributes);
  void Append(ReportElement* parent, ReportElement* child);
  // Texts and values in their kept form (see ReportAttribute).
  void SetText(ReportElement* element, std::string_view text);
  void SetAttribute(ReportElement* element, const XmlName* name, std::string_view value);
  // Takes the node out of the tree and frees it with everything under it.
  void Release(ReportElement* node) noexcept;

  ReportElement* root = nullptr;

 private:
  void Detach(ReportElement* node) noexcept;
  const char* CopyText(std::string_view text);
  void FreeText(const char* text, std::size_t length) noexcept;
  // Gives a packed element attributes and values of their own.
  void Unpack(ReportElement* element);
  void FreeNode(ReportElement* node) noexcept;

  NodeStore store_;
  NameTable names_;
};

struct ReportDocument::Impl : ReportTree {};

}  // namespace qv
