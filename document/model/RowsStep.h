#pragma once
// Rows inserted (Apply inserts) or removed (Apply removes), with the removed rows kept.
#include <cstddef>
#include <vector>

#include "document/model/DocStep.h"

class RowsStep : public DocStep {
public:
    bool insert = false;
    std::vector<int> positions;  // final indices when inserted, ascending
    ResourceTable rows;
    std::vector<uint8_t> flags;
    void Apply(Document& d) override { insert ? Put(d) : Take(d); }
    void Revert(Document& d) override { insert ? Take(d) : Put(d); }
    size_t Bytes() const override {
        return kStepOverhead + rows.MemoryUsage() + positions.capacity() * sizeof(int) + flags.capacity();
    }

private:
    void Put(Document& d) { Insert(d, positions, rows, flags); }
    void Take(Document& d) { Remove(d, positions, &rows, &flags); }
};
