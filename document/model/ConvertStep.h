#pragma once
// A file turned from Latin-1 into UTF-8. The conversion is one to one, so the way back is
// worked out from the converted bytes: nothing is kept.
#include <cstddef>
#include <vector>

#include "document/model/DocStep.h"

class ConvertStep : public DocStep {
public:
    explicit ConvertStep(DocFile f) : file(f) {}
    DocFile file;
    void Apply(Document& d) override { Convert(d, file, true); }
    void Revert(Document& d) override { Convert(d, file, false); }
    size_t Bytes() const override { return kStepOverhead; }
};
