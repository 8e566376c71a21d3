#include "app/message_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace zeb {

bool DiskTextFiles::Exists(const std::string& path) {
  struct stat info {};
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

std::optional<std::vector<std::string>> DiskTextFiles::ReadLines(const std::string& path) {
  std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"),
                                                      &std::fclose);
  if (!file) return std::nullopt;
  std::string text;
  char buffer[4096];
  std::size_t got;
  while ((got = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) text.append(buffer, got);
  if (std::ferror(file.get())) return std::nullopt;
  return SplitLines(text);
}

std::vector<std::string> SplitLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? 2 : 1);
  }
  return lines;
}

namespace {

// The text still to be read: the rest of the line with the values inserted before it, each
// read from its own position. A value is never copied into the line, so the work is linear
// in what comes out.
class PendingText {
 public:
  explicit PendingText(std::string line) { Push(std::move(line)); }

  void Push(std::string text) { pieces_.push_back({std::move(text), 0}); }

  // Moves the text before the next percent sign to `out` and takes the sign out; false
  // (with all the text moved) when no sign is left.
  bool MoveUpToPercent(std::string* out) {
    while (!pieces_.empty()) {
      Piece& piece = pieces_.back();
      const std::size_t at = piece.text.find('%', piece.read);
      if (at != std::string::npos) {
        out->append(piece.text, piece.read, at - piece.read);
        piece.read = at + 1;
        return true;
      }
      out->append(piece.text, piece.read, std::string::npos);
      pieces_.pop_back();
    }
    return false;
  }

  // Moves all the text that is left to `out`, without its percent signs.
  void MoveAllWithoutPercents(std::string* out) {
    for (; !pieces_.empty(); pieces_.pop_back()) {
      const Piece& piece = pieces_.back();
      for (std::size_t i = piece.read; i < piece.text.size(); ++i)
        if (piece.text[i] != '%') out->push_back(piece.text[i]);
    }
  }

 private:
  struct Piece {
    std::string text;
    std::size_t read;
  };
  std::vector<Piece> pieces_;  // the next text to read is at the back
};

}  // namespace

std::string ExpandEnvironmentInLine(std::string line, SystemApi& system) {
  // Read left to right: a name is the text between a percent sign and the next one; the
  // signs go, the name stays unless a value takes its place, and a value is read before the
  // text behind it, so its own signs pair with what follows it.
  PendingText pending(std::move(line));
  std::string out;
  int valuesInserted = 0;
  std::string name;
  while (valuesInserted < kMaxValuesPerLine && pending.MoveUpToPercent(&out)) {
    name.clear();
    if (!pending.MoveUpToPercent(&name)) {  // a sign without a partner
      out += name;
      break;
    }
    if (name.empty()) continue;
    // An empty value reads as "not defined", as the platform call answers 0 for it.
    std::optional<std::string> value = system.EnvironmentVariable(name);
    if (!value || value->empty()) {
      out += name;
      continue;
    }
    pending.Push(std::move(*value));
    ++valuesInserted;
  }
  // No more values: every name stays as it stands, and only the signs go.
  pending.MoveAllWithoutPercents(&out);
  return out;
}

}  // namespace zeb
