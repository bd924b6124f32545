#pragma once
// Replace All: the changed rows, and the blocks of the rows not in the table (before Apply the
// changed rows, after it the rows as they were). Apply and Revert exchange them without copying.
#include <cstddef>
#include <vector>

#include "document/model/DocStep.h"

class ReplaceAllStep : public DocStep {
public:
    std::vector<int> rows;
    ResourceTable held;
    void Apply(Document& d) override { Exchange(d); }
    void Revert(Document& d) override { Exchange(d); }
    size_t Bytes() const override {
        return kStepOverhead + rows.capacity() * sizeof(int) + held.MemoryUsage();
    }

private:
    void Exchange(Document& d) {
        Rows(d).ExchangeRows(rows, held);
        if (!rows.empty()) Changed(d, rows.front(), rows.back());
    }
};
