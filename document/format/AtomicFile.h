#pragma once
// Writing a whole file so that readers see the old one or the new one, never a part: a
// temporary file beside the target, fsynced, then renamed over it. On any error the target is
// untouched and the temporary file removed.
#include <string>
#include <string_view>

#include "document/Status.h"

Status WriteFileAtomically(const std::string& path, std::string_view bytes);
