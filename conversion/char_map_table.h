// Simplified/traditional character tables over GBK bytes, built once from OpenCC's
// character dictionaries (and the few variants Unihan adds). A double-byte character
// becomes a double-byte character; every other byte stays as it is, so the length
// never changes.
#pragma once

#include "conversion/byte_table.h"

namespace orvela {

const ByteTable& Sc2TcTable();  // built at first use, thread-safe
const ByteTable& Tc2ScTable();

}  // namespace orvela
