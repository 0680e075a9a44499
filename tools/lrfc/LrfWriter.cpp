#include "lrfc/LrfWriter.h"

#include <algorithm>
#include <functional>

#include "base/LittleEndian.h"
#include "base/Streams.h"

namespace lrfc {

namespace {

uint16_t Length16(size_t length, const char* what) {
  if (length > 0xFFFF) throw ELrfWriteError(std::string(what) + " longer than 65535 bytes");
  return uint16_t(length);
}

void WriteText(TStream& out, const std::string& text) {
  out.WriteU16(Length16(text.size(), "text"));
  out.WriteString(text);
}

void WriteEntry(TStream& out, const lrf::TEntry& entry) {
  WriteText(out, entry.Path);
  out.WriteU8(entry.Type);
  switch (entry.Type) {
    case lrf::vtString:
    case lrf::vtText:
      WriteText(out, entry.Text);
      break;
    case lrf::vtStrings:
      out.WriteU16(Length16(entry.Items.size(), "string list"));
      for (const std::string& item : entry.Items) WriteText(out, item);
      break;
    case lrf::vtFont:
      WriteText(out, entry.Text);
      out.WriteU16(entry.Charset);
      out.WriteU16(entry.Size);
      break;
    default:
      break;
  }
}

std::vector<uint8_t> WriteSection(const TLrfSection& section) {
  TMemoryStream body;
  body.WriteU16(Length16(section.Entries.size(), "entry count"));
  for (const lrf::TEntry& entry : section.Entries) WriteEntry(body, entry);

  TMemoryStream out;
  out.WriteU32(uint32_t(body.GetSize()));
  out.WriteBytes(body.Bytes());
  uint16_t count = Length16(section.Strings.size(), "string table");
  out.WriteU16(count);
  uint64_t offset = uint64_t(out.GetPosition()) + 4 * uint64_t(count);
  for (const std::string& text : section.Strings) {
    out.WriteU32(uint32_t(offset));
    offset += 2 + text.size();
  }
  for (const std::string& text : section.Strings) WriteText(out, text);
  return out.Bytes();
}

// Ternary search tree over the names, built from the sorted names middle
// first so that it stays shallow.
struct TNode {
  uint8_t Ch = 0;
  uint32_t Section = kNoSection;
  int Child[3] = {-1, -1, -1};  // lo, eq, hi
};

class TTree {
public:
  void Insert(const std::string& name, uint32_t section) {
    // Links are kept as (node, child) indexes: adding a node moves the nodes.
    int parent = -1, child = 0;
    for (size_t i = 0;;) {
      int current = parent < 0 ? FRoot : FNodes[size_t(parent)].Child[child];
      if (current < 0) {
        current = int(FNodes.size());
        FNodes.push_back({uint8_t(name[i])});
        (parent < 0 ? FRoot : FNodes[size_t(parent)].Child[child]) = current;
      }
      TNode& node = FNodes[size_t(current)];
      uint8_t byte = uint8_t(name[i]);
      parent = current;
      if (byte < node.Ch) {
        child = 0;
      } else if (byte > node.Ch) {
        child = 2;
      } else if (i + 1 == name.size()) {
        node.Section = section;
        return;
      } else {
        child = 1;
        ++i;
      }
    }
  }

  // Nodes in pre-order, so that every child lies after its parent and every
  // distance is positive.
  std::vector<uint8_t> Write() const {
    std::vector<int> order, position(FNodes.size());
    std::function<void(int)> visit = [&](int node) {
      if (node < 0) return;
      position[size_t(node)] = int(order.size());
      order.push_back(node);
      for (int child : FNodes[size_t(node)].Child) visit(child);
    };
    visit(FRoot);
    std::vector<uint8_t> bytes(order.size() * lrf::kNodeSize);
    for (size_t k = 0; k < order.size(); ++k) {
      const TNode& node = FNodes[size_t(order[k])];
      uint8_t* at = bytes.data() + k * lrf::kNodeSize;
      at[0] = node.Ch;
      le::store32(at + 1, node.Section);
      for (int c = 0; c < 3; ++c) {
        size_t field = 5 + 2 * size_t(c);
        size_t distance = 0;
        if (node.Child[c] >= 0)
          distance = size_t(position[size_t(node.Child[c])]) * lrf::kNodeSize - (k * lrf::kNodeSize + field);
        if (distance > 0xFFFF) throw ELrfWriteError("search tree too large for 16-bit distances");
        le::store16(at + field, uint16_t(distance));
      }
    }
    return bytes;
  }

  size_t NodeCount() const { return FNodes.size(); }

private:
  int FRoot = -1;
  std::vector<TNode> FNodes;
};

void InsertBalanced(TTree& tree, const std::vector<std::pair<std::string, uint32_t>>& sorted, size_t from, size_t to) {
  if (from >= to) return;
  size_t middle = from + (to - from) / 2;
  tree.Insert(sorted[middle].first, sorted[middle].second);
  InsertBalanced(tree, sorted, from, middle);
  InsertBalanced(tree, sorted, middle + 1, to);
}

}  // namespace

std::vector<uint8_t> WriteLrfBlock(const std::vector<TLrfSection>& sections) {
  std::vector<std::vector<uint8_t>> bodies;
  for (const TLrfSection& section : sections) bodies.push_back(WriteSection(section));

  // The tree's size depends only on the names, so lay it out once with
  // placeholder offsets to learn where the sections start.
  auto buildTree = [&](const std::vector<uint32_t>& offsets) {
    std::vector<std::pair<std::string, uint32_t>> sorted;
    for (size_t i = 0; i < sections.size(); ++i)
      if (!sections[i].Name.empty()) sorted.emplace_back(sections[i].Name, offsets[i]);
    std::sort(sorted.begin(), sorted.end());
    TTree tree;
    InsertBalanced(tree, sorted, 0, sorted.size());
    return tree;
  };
  size_t treeSize = buildTree(std::vector<uint32_t>(sections.size(), 0)).NodeCount() * lrf::kNodeSize;

  std::vector<uint32_t> offsets;
  uint64_t at = treeSize;
  for (const auto& body : bodies) {
    if (at > 0xFFFFFFFFu) throw ELrfWriteError("language data larger than 4 GB");
    offsets.push_back(uint32_t(at));
    at += body.size();
  }
  std::vector<uint8_t> block = buildTree(offsets).Write();
  for (const auto& body : bodies) block.insert(block.end(), body.begin(), body.end());
  return block;
}

std::vector<uint8_t> WriteLrfFile(const std::string& text1, const std::string& text2,
                                  const std::vector<TLrfSection>& sections) {
  TMemoryStream out;
  WriteText(out, text1);
  out.WriteU8(lrf::kHeaderMark);
  WriteText(out, text2);
  out.WriteBytes(WriteLrfBlock(sections));
  return out.Bytes();
}

}  // namespace lrfc
