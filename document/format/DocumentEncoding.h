#pragma once
// The encoding a read document is in: UTF-8 when every cell and every group name is valid
// UTF-8, Latin-1 otherwise (the same rule the editor's window applies).
#include "document/format/TextEncoding.h"

class ResourceTable;

Encoding DocumentEncoding(const ResourceTable& store);
