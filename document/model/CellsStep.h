#pragma once
// Cells set to new texts; old and new bytes kept.
#include <algorithm>
#include <cstddef>
#include <limits>
#include <vector>

#include "document/model/DocStep.h"
#include "document/model/TextPile.h"

class CellsStep : public DocStep {
public:
    struct At {
        int row, column;
    };
    std::vector<At> cells;
    TextPile before, after;
    std::vector<int> claimed;  // stand-in rows that become translations of their own
    void Apply(Document& d) override { Put(d, after, false); }
    void Revert(Document& d) override { Put(d, before, true); }
    size_t Bytes() const override {
        return kStepOverhead + (cells.capacity() + claimed.capacity()) * sizeof(At) + before.Bytes() +
               after.Bytes();
    }

private:
    void Put(Document& d, const TextPile& texts, bool standIn) {
        int first = std::numeric_limits<int>::max(), last = -1;
        for (size_t i = 0; i < cells.size(); ++i) {
            SetCell(d, cells[i].row, cells[i].column, texts.At(i));
            first = std::min(first, cells[i].row);
            last = std::max(last, cells[i].row);
        }
        for (const int row : claimed) {
            SetStandIn(d, row, standIn);
            first = std::min(first, row);
            last = std::max(last, row);
        }
        Changed(d, first, last);
    }
};
