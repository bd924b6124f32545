#pragma once
// A sort: the permutation and the sort state before and after.
#include <cstddef>
#include <vector>

#include "document/model/DocStep.h"

class SortStep : public DocStep {
public:
    std::vector<int> order;  // order[new] == old
    int oldColumn = -1, newColumn = -1;
    bool oldAscending = true, newAscending = true;
    void Apply(Document& d) override {
        SetSort(d, newColumn, newAscending);
        Reorder(d, order);
    }
    void Revert(Document& d) override {
        std::vector<int> inverse(order.size());
        for (size_t i = 0; i < order.size(); ++i)
            inverse[static_cast<size_t>(order[i])] = static_cast<int>(i);
        SetSort(d, oldColumn, oldAscending);
        Reorder(d, inverse);
    }
    size_t Bytes() const override { return kStepOverhead + order.capacity() * sizeof(int); }
};
