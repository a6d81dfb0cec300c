#include "filelist/path_index.h"

#include <functional>
#include <utility>

namespace orvela {

namespace {
constexpr std::size_t kFirstTableSize = 64;
}

std::uint32_t PathIndex::Hash(std::string_view path) {
  const std::size_t h = std::hash<std::string_view>{}(path);
  return static_cast<std::uint32_t>(h ^ (h >> 32));
}

std::size_t PathIndex::Find(std::string_view path, std::uint32_t hash) const {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t i = hash & mask;; i = (i + 1) & mask) {
    const Bucket& b = table_[i];
    if (b.id == kNone || (b.hash == hash && SlotOf(b.id).path == path)) return i;
  }
}

PathIndex::Id PathIndex::Lookup(std::string_view path) const {
  if (table_.empty()) return kNone;
  return table_[Find(path, Hash(path))].id;
}

// The larger table is filled beside the old one, so running out of memory here
// leaves the index as it was.
void PathIndex::Grow() {
  std::vector<Bucket> grown(table_.empty() ? kFirstTableSize : table_.size() * 2, Bucket{kNone, 0});
  const std::size_t mask = grown.size() - 1;
  for (const Bucket& b : table_) {
    if (b.id == kNone) continue;
    std::size_t i = b.hash & mask;
    while (grown[i].id != kNone) i = (i + 1) & mask;
    grown[i] = b;
  }
  table_ = std::move(grown);
}

PathIndex::Id PathIndex::Acquire(std::string path) {
  // At most half full, so probes stay short.
  if (2 * (used_ + 1) > table_.size()) Grow();
  const std::uint32_t hash = Hash(path);
  Bucket& bucket = table_[Find(path, hash)];
  if (bucket.id != kNone) {
    ++SlotOf(bucket.id).refs;
    return bucket.id;
  }
  return Store(bucket, std::move(path), hash);
}

PathIndex::Id PathIndex::Store(Bucket& bucket, std::string path, std::uint32_t hash) {
  Id id;
  if (!freeSlots_.empty()) {
    id = freeSlots_.back();
    SlotOf(id) = Slot{std::move(path), hash, 1};
    freeSlots_.pop_back();
  } else {
    id = slotCount_;
    if ((id >> kChunkBits) == chunks_.size()) {
      // Room to free every slot, so that Release never allocates.
      freeSlots_.reserve((chunks_.size() + 1) << kChunkBits);
      chunks_.push_back(std::make_unique<Slot[]>(std::size_t{1} << kChunkBits));
    }
    SlotOf(id) = Slot{std::move(path), hash, 1};
    ++slotCount_;
  }
  bucket = Bucket{id, hash};
  ++used_;
  return id;
}

void PathIndex::Release(Id id) noexcept {
  Slot& slot = SlotOf(id);
  if (--slot.refs > 0) return;
  Erase(Find(slot.path, slot.hash));
  slot.path = std::string();
  freeSlots_.push_back(id);
  --used_;
}

// Backward-shift deletion: later buckets of the probe run move up, so no run is broken.
void PathIndex::Erase(std::size_t hole) {
  const std::size_t mask = table_.size() - 1;
  for (std::size_t j = (hole + 1) & mask; table_[j].id != kNone; j = (j + 1) & mask) {
    const std::size_t home = table_[j].hash & mask;
    // Move bucket j into the hole unless its home lies cyclically in (hole, j].
    const bool homeInBetween = hole <= j ? (home > hole && home <= j) : (home > hole || home <= j);
    if (!homeInBetween) {
      table_[hole] = table_[j];
      hole = j;
    }
  }
  table_[hole] = Bucket{kNone, 0};
}

void PathIndex::Clear() {
  chunks_.clear();
  slotCount_ = 0;
  freeSlots_.clear();
  table_.clear();
  used_ = 0;
}

}  // namespace orvela
