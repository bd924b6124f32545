#pragma once
// Delete All: the whole table of rows moves into the step and back.
#include <cstddef>
#include <vector>

#include "document/model/DocStep.h"

class DeleteAllStep : public DocStep {
public:
    ResourceTable rows;
    std::vector<uint8_t> flags;
    void Apply(Document& d) override { SwapAll(d, rows, flags); }
    void Revert(Document& d) override { SwapAll(d, rows, flags); }
    size_t Bytes() const override { return kStepOverhead + rows.MemoryUsage() + flags.capacity(); }
};
