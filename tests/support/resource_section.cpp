#include "tests/support/resource_section.hpp"

#include "tests/support/bytes_le.hpp"

#include <algorithm>

namespace testsupport {
namespace {

constexpr std::uint32_t kDirectoryHeaderSize = 16;
constexpr std::uint32_t kDirectoryEntrySize = 8;
constexpr std::uint32_t kDataEntrySize = 16;
constexpr std::uint32_t kHighBit = 0x80000000u;  // marks a name string or a subdirectory

struct TypeGroup {
  std::size_t first;
  std::size_t count;
};

struct Layout {
  std::vector<std::uint32_t> name_directory;      // per type group
  std::vector<std::uint32_t> name_string;         // per type group, named types only
  std::vector<std::uint32_t> language_directory;  // per resource
  std::vector<std::uint32_t> data_entry;          // per resource
  std::vector<std::uint32_t> body;                // per resource
  std::uint32_t size = 0;
};

bool same_type(const Resource& a, const Resource& b) {
  return a.type_name == b.type_name && a.type_id == b.type_id;
}

std::vector<TypeGroup> group_by_type(const std::vector<Resource>& resources) {
  std::vector<TypeGroup> groups;
  for (std::size_t i = 0; i < resources.size(); ++i) {
    if (!groups.empty() && same_type(resources[groups.back().first], resources[i])) {
      ++groups.back().count;
    } else {
      groups.push_back({i, 1});
    }
  }
  return groups;
}

std::uint32_t directory_size(std::size_t entries) {
  return kDirectoryHeaderSize + kDirectoryEntrySize * static_cast<std::uint32_t>(entries);
}

std::vector<std::size_t> body_order(std::size_t count, std::size_t last_body) {
  std::vector<std::size_t> order;
  for (std::size_t i = 0; i < count; ++i)
    if (i != last_body) order.push_back(i);
  order.push_back(last_body);
  return order;
}

Layout plan(const std::vector<Resource>& resources, const std::vector<TypeGroup>& groups,
            std::size_t last_body) {
  Layout l;
  std::uint32_t pos = directory_size(groups.size());
  for (const TypeGroup& g : groups) {
    l.name_directory.push_back(pos);
    pos += directory_size(g.count);
  }
  for (std::size_t i = 0; i < resources.size(); ++i) {
    l.language_directory.push_back(pos);
    pos += directory_size(1);
  }
  for (const TypeGroup& g : groups) {
    l.name_string.push_back(pos);
    const std::string& name = resources[g.first].type_name;
    if (!name.empty()) pos += 2 + 2 * static_cast<std::uint32_t>(name.size());
  }
  pos = le::align_up(pos, 4);
  for (std::size_t i = 0; i < resources.size(); ++i) {
    l.data_entry.push_back(pos);
    pos += kDataEntrySize;
  }
  l.body.resize(resources.size());
  for (std::size_t i : body_order(resources.size(), last_body)) {
    pos = le::align_up(pos, 4);
    l.body[i] = pos;
    pos += static_cast<std::uint32_t>(resources[i].data.size());
  }
  l.size = pos;
  return l;
}

void put_directory(Bytes& s, std::uint32_t at, std::size_t named, std::size_t numbered) {
  le::put16(s, at + 12, static_cast<std::uint16_t>(named));
  le::put16(s, at + 14, static_cast<std::uint16_t>(numbered));
}

void put_directory_entry(Bytes& s, std::uint32_t directory, std::size_t index, std::uint32_t name,
                         std::uint32_t target) {
  const std::uint32_t at = directory + directory_size(index);
  le::put32(s, at, name);
  le::put32(s, at + 4, target);
}

void put_name_string(Bytes& s, std::uint32_t at, const std::string& name) {
  le::put16(s, at, static_cast<std::uint16_t>(name.size()));
  for (std::size_t i = 0; i < name.size(); ++i)
    le::put16(s, at + 2 + 2 * static_cast<std::uint32_t>(i), static_cast<std::uint8_t>(name[i]));
}

void put_root(Bytes& s, const std::vector<Resource>& resources,
              const std::vector<TypeGroup>& groups, const Layout& l) {
  std::size_t named = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    const Resource& first = resources[groups[g].first];
    std::uint32_t name = first.type_id;
    if (!first.type_name.empty()) {
      ++named;
      name = kHighBit | l.name_string[g];
      put_name_string(s, l.name_string[g], first.type_name);
    }
    put_directory_entry(s, 0, g, name, kHighBit | l.name_directory[g]);
  }
  put_directory(s, 0, named, groups.size() - named);
}

void put_resource(Bytes& s, const Resource& r, std::size_t i, const Layout& l,
                  std::uint32_t section_rva) {
  put_directory(s, l.language_directory[i], 0, 1);
  put_directory_entry(s, l.language_directory[i], 0, r.language, l.data_entry[i]);
  le::put32(s, l.data_entry[i], section_rva + l.body[i]);
  le::put32(s, l.data_entry[i] + 4, static_cast<std::uint32_t>(r.data.size()));
  std::copy(r.data.begin(), r.data.end(), s.begin() + l.body[i]);
}

}  // namespace

Bytes build_resource_section(const std::vector<Resource>& resources, std::uint32_t section_rva,
                             std::size_t last_body) {
  const std::vector<TypeGroup> groups = group_by_type(resources);
  const Layout l = plan(resources, groups, last_body);
  Bytes s(l.size, 0);
  put_root(s, resources, groups, l);
  for (std::size_t g = 0; g < groups.size(); ++g) {
    put_directory(s, l.name_directory[g], 0, groups[g].count);
    for (std::size_t k = 0; k < groups[g].count; ++k) {
      const std::size_t i = groups[g].first + k;
      put_directory_entry(s, l.name_directory[g], k, resources[i].id,
                          kHighBit | l.language_directory[i]);
      put_resource(s, resources[i], i, l, section_rva);
    }
  }
  return s;
}

}  // namespace testsupport
