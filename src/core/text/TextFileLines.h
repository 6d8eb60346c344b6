#pragma once

#include "core/text/CodePage.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

// DecodeTextFile's lines, handed over one at a time instead of held all at once, with the same
// whole-file choice of encoding. The choice is made first by scans that call step for every
// line, so a caller can serve its events however large the file is; then every line goes to
// each(index, text), text being nullopt for a line that cannot be decoded, and step hears that
// index too. Returns the encoding chosen.
using TextLineSink = std::function<void(size_t index, std::optional<std::string>& text)>;
TextEncoding DecodeTextFileLines(std::string_view bytes, const TextLineSink& each,
                                 const std::function<void(size_t index)>& step = {});
