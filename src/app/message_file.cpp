#include "app/message_file.h"

#include <sys/stat.h>

#include <cstdio>
#include <memory>

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

std::string ExpandEnvironmentInLine(std::string line, SystemApi& system) {
  int valuesInserted = 0;
  // Every pass takes at least one percent sign out; only an inserted value brings new ones,
  // and the number of values is bounded, so the loop ends.
  for (std::size_t p = line.find('%'); p != std::string::npos; p = line.find('%')) {
    line.erase(p, 1);
    const std::size_t q = line.find('%', p);
    if (q == std::string::npos) continue;
    line.erase(q, 1);
    const std::string name = line.substr(p, q - p);
    if (name.empty() || valuesInserted == kMaxValuesPerLine) continue;
    // An empty value reads as "not defined", as the platform call answers 0 for it.
    const std::optional<std::string> value = system.EnvironmentVariable(name);
    if (!value || value->empty()) continue;
    line.replace(p, name.size(), *value);
    ++valuesInserted;
  }
  return line;
}

}  // namespace zeb
