#pragma once

#include <QStringView>

#include <vector>

// The order of texts under the lists' case-folded comparison: result[newPosition] = index
// into texts. Texts that compare equal keep their relative order in both directions.
std::vector<int> FoldedOrder(const std::vector<QStringView>& texts, bool ascending);
