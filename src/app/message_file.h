#pragma once
// The message file that "/MESSAGE=" shows on the splash window.
#include <optional>
#include <string>
#include <vector>

#include "platform/system_api.h"

namespace zeb {

// Reading the message file; tests replace it to make the file unreadable.
class TextFiles {
 public:
  virtual ~TextFiles() = default;
  // True for an existing file (not a folder).
  virtual bool Exists(const std::string& path) = 0;
  // The file's lines without their line ends; nullopt when it cannot be opened.
  virtual std::optional<std::vector<std::string>> ReadLines(const std::string& path) = 0;
};

// The files of the file system, by their paths in the ANSI code page.
class DiskTextFiles : public TextFiles {
 public:
  bool Exists(const std::string& path) override;
  std::optional<std::vector<std::string>> ReadLines(const std::string& path) override;
};

// Splits text at CR LF, CR or LF; a line end at the very end adds no empty line.
std::vector<std::string> SplitLines(const std::string& text);

// A value may bring back its own %NAME%; after this many values a line takes no more, and
// the names still to come are left as they stand, without their percent signs.
constexpr int kMaxValuesPerLine = 64;

// Replaces each %NAME% by the environment variable's value, or by NAME when the variable is
// not defined (or empty); a percent sign without a partner vanishes. Values are inserted
// whole, however long, and their own percent signs are read on the next pass.
// The result is at most line.size() + kMaxValuesPerLine * (the longest value) bytes long,
// and the work is linear in that.
std::string ExpandEnvironmentInLine(std::string line, SystemApi& system);

}  // namespace zeb
