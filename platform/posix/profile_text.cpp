// Line-level INI editing: every line not touched by an edit is kept byte for byte.
#include "platform/posix/profile_text.hpp"

#include "platform/posix/state.hpp"

#include <sstream>

namespace platform::posix::detail {

namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

// The section name when the line is a section header.
std::optional<std::string> section_name(const std::string& line) {
  const std::string text = trimmed(line);
  if (text.empty() || text[0] != '[') return std::nullopt;
  const auto close = text.find(']');
  return trimmed(text.substr(1, close == std::string::npos ? std::string::npos : close - 1));
}

// The key a line inside a section defines, if any (comments and blank lines define none).
std::optional<std::string> key_name(const std::string& line) {
  const std::string text = trimmed(line);
  if (text.empty() || text[0] == ';') return std::nullopt;
  return trimmed(text.substr(0, text.find('=')));
}

struct SectionSpan {
  std::size_t header;  // index of the [section] line
  std::size_t end;     // index one past its last line (the next header or the end)
};

std::optional<SectionSpan> find_section(const ProfileLines& lines, const std::string& section) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const auto name = section_name(lines[i]);
    if (!name || !same_text_ignoring_case(*name, section)) continue;
    std::size_t end = i + 1;
    while (end < lines.size() && !section_name(lines[end])) ++end;
    return SectionSpan{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> find_key(const ProfileLines& lines, const SectionSpan& span,
                                    const std::string& key) {
  for (std::size_t i = span.header + 1; i < span.end; ++i) {
    const auto name = key_name(lines[i]);
    if (name && same_text_ignoring_case(*name, key)) return i;
  }
  return std::nullopt;
}

// A new key goes after the section's last non-blank line, ahead of any blank separator.
std::size_t insertion_point(const ProfileLines& lines, const SectionSpan& span) {
  std::size_t at = span.end;
  while (at > span.header + 1 && trimmed(lines[at - 1]).empty()) --at;
  return at;
}

}  // namespace

ProfileLines split_profile_lines(const std::string& contents) {
  ProfileLines lines;
  std::istringstream in(contents);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string join_profile_lines(const ProfileLines& lines) {
  std::string contents;
  for (const std::string& line : lines) contents += line + "\r\n";
  return contents;
}

void set_profile_value(ProfileLines& lines, const std::string& section, const char* key,
                       const char* value) {
  const auto span = find_section(lines, section);
  if (key == nullptr) {
    if (span) lines.erase(lines.begin() + span->header, lines.begin() + span->end);
    return;
  }
  if (!span) {
    if (value == nullptr) return;
    lines.push_back("[" + section + "]");
    lines.push_back(std::string(key) + "=" + value);
    return;
  }
  const auto found = find_key(lines, *span, key);
  if (value == nullptr) {
    if (found) lines.erase(lines.begin() + *found);
  } else if (found) {
    lines[*found] = *key_name(lines[*found]) + "=" + value;  // the file's own key spelling stays
  } else {
    lines.insert(lines.begin() + insertion_point(lines, *span), std::string(key) + "=" + value);
  }
}

std::optional<std::string> profile_value(const ProfileLines& lines, const std::string& section,
                                         const std::string& key) {
  const auto span = find_section(lines, section);
  if (!span) return std::nullopt;
  const auto found = find_key(lines, *span, key);
  if (!found) return std::nullopt;
  const std::string& line = lines[*found];
  const auto equals = line.find('=');
  return equals == std::string::npos ? std::string() : trimmed(line.substr(equals + 1));
}

}  // namespace platform::posix::detail
