// Owning lists. A TFreeList owns its items: removing one (erase, clear, destruction of the list) frees it.
// References into such a list held elsewhere (the document-wide lists, the id table's borrowed entries) are
// plain pointers and never free anything.
#pragma once

#include <memory>
#include <vector>

namespace lantern {

template <class T>
using TFreeList = std::vector<std::unique_ptr<T>>;

} // namespace lantern
