// The index beside the file list: each distinct path stored once, found in O(1).
// Paths get stable ids, so reordering the list's entries never touches the index.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace orvela {

class PathIndex {
 public:
  using Id = std::uint32_t;
  static constexpr Id kNone = 0xffffffffu;

  // The id of path, stored if new; each Acquire is matched by one Release.
  Id Acquire(std::string path);
  // Never fails, so that removing entries cannot leave the list half done.
  void Release(Id id) noexcept;
  Id Lookup(std::string_view path) const;  // kNone when absent
  const std::string& Path(Id id) const { return SlotOf(id).path; }
  void Clear();

 private:
  struct Slot {
    std::string path;
    std::uint32_t hash;
    std::uint32_t refs;  // entries that hold this path (a drop may list it twice)
  };
  // Open addressing with linear probing; the hash is kept beside the id so that a
  // probe rarely has to look at a path.
  struct Bucket {
    Id id;
    std::uint32_t hash;
  };

  // Slots live in fixed-size chunks, so growing never moves a stored path.
  static constexpr unsigned kChunkBits = 14;
  Slot& SlotOf(Id id) { return chunks_[id >> kChunkBits][id & ((1u << kChunkBits) - 1)]; }
  const Slot& SlotOf(Id id) const {
    return chunks_[id >> kChunkBits][id & ((1u << kChunkBits) - 1)];
  }

  static std::uint32_t Hash(std::string_view path);
  std::size_t Find(std::string_view path, std::uint32_t hash) const;  // bucket index
  void Grow();
  Id Store(Bucket& bucket, std::string path, std::uint32_t hash);
  void Erase(std::size_t bucket);

  std::vector<std::unique_ptr<Slot[]>> chunks_;
  Id slotCount_ = 0;
  std::vector<Id> freeSlots_;
  std::vector<Bucket> table_;
  std::size_t used_ = 0;
};

}  // namespace orvela
