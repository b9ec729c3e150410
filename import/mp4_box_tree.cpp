#include "import/mp4_box_tree.h"

#include <algorithm>
#include <utility>

#include "import/bounded_source.h"

namespace tarnix {
namespace {

constexpr uint64_t kMax32 = 0xFFFFFFFFu;
// Containers opened below the one read: a real movie box nests five deep (moov, trak, mdia,
// minf, stbl). Deeper ones stay in the source and are copied whole, so that a chain of nested
// boxes costs no stack frame per level, here or where the tree is sized, written and freed.
constexpr int kMaxOpenedDepth = 16;

uint64_t HeaderSize(bool wide, uint64_t payload) { return wide || payload + 8 > kMax32 ? 16 : 8; }

bool WriteHeader(uint32_t type, bool wide, uint64_t payload, ByteSink& out) {
  std::string header;
  if (HeaderSize(wide, payload) == 16) {
    AppendBe(&header, 1, 4);
    AppendBe(&header, type, 4);
    AppendBe(&header, payload + 16, 8);
  } else {
    AppendBe(&header, payload + 8, 4);
    AppendBe(&header, type, 4);
  }
  return out.Write(header);
}

bool IsZero(std::string_view bytes) {
  return std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
}

}  // namespace

void AppendBe(std::string* out, uint64_t value, int bytes) {
  // More than eight bytes: zeros ahead of the value (reserved fields).
  for (int i = bytes - 1; i >= 0; --i) out->push_back(i >= 8 ? '\0' : static_cast<char>(value >> (8 * i) & 0xFF));
}

Mp4Read ReadMp4BoxHeader(ByteSource& source, uint64_t at, uint64_t limit, Mp4BoxHeader* box) {
  if (at > limit || limit - at < 8) return Mp4Read::kDamaged;
  unsigned char h[16];
  if (!source.ReadAt(at, h, 8)) return Mp4Read::kReadFailed;
  uint64_t size = Be32(h);
  box->type = Be32(h + 4);
  box->at = at;
  box->data = at + 8;
  box->toEnd = false;
  if (size == 1) {
    if (limit - at < 16) return Mp4Read::kDamaged;
    if (!source.ReadAt(at + 8, h + 8, 8)) return Mp4Read::kReadFailed;
    size = Be64(h + 8);
    box->data = at + 16;
  } else if (size == 0) {
    size = limit - at;
    box->toEnd = true;
  }
  if (size < box->data - at || size > limit - at) return Mp4Read::kDamaged;
  box->end = at + size;
  return Mp4Read::kOk;
}

Mp4Node Mp4Node::Bytes(uint32_t type, std::string payload) {
  Mp4Node node;
  node.kind = Kind::kBytes;
  node.type = type;
  node.payload = std::move(payload);
  return node;
}

Mp4Node Mp4Node::Container(uint32_t type, std::vector<Mp4Node> children) {
  Mp4Node node;
  node.kind = Kind::kContainer;
  node.type = type;
  node.children = std::move(children);
  return node;
}

uint64_t Mp4Node::PayloadSize() const {
  switch (kind) {
    case Kind::kSource:
      return source.end - source.data;
    case Kind::kBytes:
      return payload.size();
    case Kind::kContainer: {
      uint64_t size = payload.size();  // a container's bytes after its last box (a QuickTime terminator)
      for (const auto& child : children) size += child.Size();
      return size;
    }
  }
  return 0;
}

uint64_t Mp4Node::Size() const {
  // A box that ran to the end of its parent gets an explicit size: it may not be last any more.
  if (kind == Kind::kSource && !source.toEnd) return source.end - source.at;
  const uint64_t payloadSize = PayloadSize();
  return HeaderSize(wideHeader, payloadSize) + payloadSize;
}

Mp4Node* Mp4Node::Child(uint32_t wanted) {
  for (auto& child : children) {
    if (child.type == wanted) return &child;
  }
  return nullptr;
}

const Mp4Node* Mp4Node::Child(uint32_t wanted) const { return const_cast<Mp4Node*>(this)->Child(wanted); }

namespace {

Mp4Read ReadTree(ByteSource& source, const Mp4BoxHeader& box, const std::vector<uint32_t>& descend, int depth,
                 int* budget, Mp4Node* out) {
  out->type = box.type;
  out->source = box;
  out->wideHeader = box.data - box.at == 16;
  if (depth > kMaxOpenedDepth || std::find(descend.begin(), descend.end(), box.type) == descend.end()) {
    out->kind = Mp4Node::Kind::kSource;
    return Mp4Read::kOk;
  }
  out->kind = Mp4Node::Kind::kContainer;
  uint64_t at = box.data;
  while (at < box.end) {
    if (box.end - at < 8) {
      // QuickTime ends some lists of boxes with a 32-bit zero; anything else there is damage.
      std::string rest;
      if (!source.ReadString(at, static_cast<size_t>(box.end - at), &rest)) return Mp4Read::kReadFailed;
      if (!IsZero(rest)) return Mp4Read::kDamaged;
      out->payload = rest;
      break;
    }
    if (--*budget < 0) return Mp4Read::kDamaged;
    Mp4BoxHeader child;
    const Mp4Read read = ReadMp4BoxHeader(source, at, box.end, &child);
    if (read != Mp4Read::kOk) return read;
    out->children.emplace_back();
    const Mp4Read inner = ReadTree(source, child, descend, depth + 1, budget, &out->children.back());
    if (inner != Mp4Read::kOk) return inner;
    at = child.end;
  }
  return Mp4Read::kOk;
}

}  // namespace

Mp4Read ReadMp4Tree(ByteSource& source, const Mp4BoxHeader& box, const std::vector<uint32_t>& descend, int* budget,
                    Mp4Node* out) {
  return ReadTree(source, box, descend, 0, budget, out);
}

Mp4Read LoadMp4Payload(ByteSource& source, Mp4Node* node, uint64_t maxBytes) {
  if (node->kind != Mp4Node::Kind::kSource) return Mp4Read::kOk;
  const uint64_t size = node->source.end - node->source.data;
  if (size > maxBytes) return Mp4Read::kDamaged;
  std::string payload;
  if (!source.ReadString(node->source.data, static_cast<size_t>(size), &payload)) return Mp4Read::kReadFailed;
  node->kind = Mp4Node::Kind::kBytes;
  node->payload = std::move(payload);
  return Mp4Read::kOk;
}

bool CopyMp4Bytes(ByteSource& source, uint64_t from, uint64_t to, ByteSink& out, bool* readFailed) {
  // Not CopyRange: the caller must tell a failed read from a failed write.
  std::string piece;
  while (from < to) {
    const size_t count = static_cast<size_t>(std::min<uint64_t>(to - from, kCopyPieceBytes));
    if (!source.ReadString(from, count, &piece)) {
      *readFailed = true;
      return false;
    }
    if (!out.Write(piece)) return false;
    from += count;
  }
  return true;
}

bool WriteMp4Node(ByteSource& source, const Mp4Node& node, ByteSink& out, bool* readFailed) {
  switch (node.kind) {
    case Mp4Node::Kind::kSource: {
      const Mp4BoxHeader& box = node.source;
      if (!box.toEnd) return CopyMp4Bytes(source, box.at, box.end, out, readFailed);
      return WriteHeader(node.type, node.wideHeader, box.end - box.data, out) &&
             CopyMp4Bytes(source, box.data, box.end, out, readFailed);
    }
    case Mp4Node::Kind::kBytes:
      return WriteHeader(node.type, node.wideHeader, node.payload.size(), out) && out.Write(node.payload);
    case Mp4Node::Kind::kContainer: {
      if (!WriteHeader(node.type, node.wideHeader, node.PayloadSize(), out)) return false;
      for (const auto& child : node.children) {
        if (!WriteMp4Node(source, child, out, readFailed)) return false;
      }
      return out.Write(node.payload);
    }
  }
  return false;
}

}  // namespace tarnix
