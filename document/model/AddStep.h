#pragma once
// An entry added: its row(s) at the end, its group numbered, the last Global ID raised.
#include <cstddef>
#include <string>
#include <vector>

#include "document/model/EntryEdits.h"
#include "document/model/RowsStep.h"

class AddStep : public RowsStep {
public:
    int32_t oldLast = 0, newLast = 0;
    std::string groupKey;
    bool newGroup = false;
    int32_t oldCounter = 0;
    void Apply(Document& d) override {
        Rows(d).SetLastGlobalId(newLast);
        EntryEdits::NumberInGroup(Rows(d).Groups(), groupKey);
        RowsStep::Apply(d);
    }
    void Revert(Document& d) override {
        RowsStep::Revert(d);
        if (newGroup)
            Rows(d).Groups().RemoveLast();
        else
            Rows(d).Groups().SetCounter(groupKey, oldCounter);
        Rows(d).SetLastGlobalId(oldLast);
    }
    size_t Bytes() const override { return RowsStep::Bytes() + groupKey.capacity(); }
};
