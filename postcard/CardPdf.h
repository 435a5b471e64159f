#pragma once

#include "CardLayout.h"

#include <string>
#include <vector>

namespace postcard {

// Writes one 100 × 148 mm page per card, fonts embedded, to path: all of
// it or, on any failure, nothing (the file as it was). Empty when written;
// otherwise why not, in Japanese.
[[nodiscard]] std::string WriteCardsPdf(const std::string& path, const std::vector<CardLayout>& cards,
                                        const CardFont& font, const CardOptions& options);

}  // namespace postcard
