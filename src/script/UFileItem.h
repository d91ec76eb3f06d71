// One [FILES] or LIST line turned into a checked FileItem: its language conditions, its
// fields, a writable destination whose folder exists, and a source that is there.
#pragma once

#include <string>

#include "UFileLineText.h"

namespace tolvex {

enum class ParseStatus { OK = 0, Error = 1, Skip = 2 };

// Against this PC's language.
ConditionValue EvalConditionPrefix(const std::string& token);
// Reports and logs every problem itself; on OK the destination folder exists and the
// destination file (if any) is writable.
ParseStatus ParseFileInfo(const std::string& line, FileItem& item);

}  // namespace tolvex
