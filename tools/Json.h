#pragma once
// JSON output of txrtool's commands.
#include <string>
#include <string_view>

// Appends `s` as a JSON string. Valid UTF-8 passes through; any other byte stands for the code
// point of its value (U+0080 to U+00FF), as a Latin-1 file reads.
void AppendJsonString(std::string& out, std::string_view s);
