#pragma once

#include <cstddef>
#include <functional>
#include <string_view>
#include <vector>

// The indices 0..count-1 in the order of their keys with ASCII letter case folded, indices of
// equal keys in their own order. pause is called every few thousand steps: a million keys take
// longer to order than a window may go unserved.
std::vector<size_t> KeyOrder(size_t count, const std::function<std::string_view(size_t)>& keyOf,
                             const std::function<void()>& pause = {});
