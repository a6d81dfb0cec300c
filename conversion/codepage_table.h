// Direct byte tables between code pages 936 and 950, built once from ICU's Windows
// converters: the transforms never go through UTF-16 at run time.
#pragma once

#include "conversion/byte_table.h"

namespace orvela {

// cp936 to cp950, and back; built at first use, thread-safe.
const ByteTable& Gbk2Big5Table();
const ByteTable& Big52GbkTable();

}  // namespace orvela
