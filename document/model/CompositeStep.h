#pragma once
// Several steps as one (a conversion of a file and the change that needed it).
#include <cstddef>
#include <memory>
#include <vector>

#include "document/model/DocStep.h"

class CompositeStep : public DocStep {
public:
    std::vector<std::unique_ptr<DocumentStep>> parts;
    void Apply(Document& d) override {
        for (auto& p : parts) p->Apply(d);
    }
    void Revert(Document& d) override {
        for (auto it = parts.rbegin(); it != parts.rend(); ++it) (*it)->Revert(d);
    }
    size_t Bytes() const override {
        size_t n = kStepOverhead;
        for (const auto& p : parts) n += p->Bytes();
        return n;
    }
};
