#include "tools/encoder/package_builder.hpp"

#include <algorithm>
#include <cstring>

#include "payload/format.hpp"
#include "tools/encoder/encoder.hpp"
#include "tools/encoder/package_error.hpp"

namespace packer {
namespace {

constexpr std::size_t kChunk = std::size_t{1} << 20;  // bytes of a stored copy per read

// Thrown by the stream's sink once the stream is as long as its input: stored is smaller.
struct NotSmaller {};

std::string entry_label(std::size_t index, const std::string& extension) {
  return "entry " + std::to_string(index) + " (" + extension + ")";
}

std::string package_too_large(std::uint64_t end) {
  return "would be " + std::to_string(end) + " bytes; its readers reach at most " +
         std::to_string(payload::kMaxPackageSize);
}

// Everything the sizes alone decide, before any input is read.
void check_inputs(const StubLayout& layout, const std::vector<PackInput>& inputs,
                  const PackSettings& settings) {
  std::uint64_t end =
      layout.payload_offset + payload::kHeaderSize + payload::kEntrySize * (inputs.size() + 1);
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    if (auto problem = input_size_problem(inputs[i].size))
      throw PackError(entry_label(i, inputs[i].extension) + " " + *problem);
    if (inputs[i].extension.size() > payload::kExtensionSize)
      throw PackError("extension " + inputs[i].extension + " is longer than " +
                      std::to_string(payload::kExtensionSize) + " characters");
    end += inputs[i].size;
  }
  if (settings.name.size() > payload::kNameSize)
    throw PackError("display name is longer than " + std::to_string(payload::kNameSize) + " bytes");
  if (settings.store && end > payload::kMaxPackageSize) throw PackTooLarge(package_too_large(end));
}

// The output with its length, refusing to grow past what the readers can reach.
struct Writer {
  const PackOutput& output;
  std::uint64_t size = 0;

  void append(const std::uint8_t* data, std::size_t count) {
    if (size + count > payload::kMaxPackageSize)
      throw PackTooLarge(package_too_large(size + count));
    output.append(data, count);
    size += count;
  }
};

void read_exactly(const PackInput& input, std::size_t index, std::uint8_t* buffer,
                  std::size_t count) {
  for (std::size_t done = 0; done < count;) {
    const std::size_t got = input.read(buffer + done, count - done);
    if (got == 0)
      throw PackError(entry_label(index, input.extension) + " ended before its " +
                      std::to_string(input.size) + " bytes were read");
    done += got;
  }
}

void put_header(Writer& out, const PackSettings& settings) {
  unsigned char header[payload::kHeaderSize] = {};
  std::copy(settings.name.begin(), settings.name.end(), header);
  payload::put_u16(header + payload::kNameSize, settings.base);
  out.append(header, payload::kHeaderSize);
}

// Appends the input as it is; returns the entry's original size field, 0.
std::uint32_t put_stored(Writer& out, const PackInput& input, std::size_t index,
                         const std::function<void(std::uint64_t)>& advance) {
  std::vector<std::uint8_t> chunk(std::min<std::uint64_t>(kChunk, input.size));
  for (std::uint64_t left = input.size; left > 0;) {
    const std::size_t count = static_cast<std::size_t>(std::min<std::uint64_t>(chunk.size(), left));
    read_exactly(input, index, chunk.data(), count);
    out.append(chunk.data(), count);
    left -= count;
    advance(count);
  }
  return 0;
}

// Appends the input's compressed stream while it stays shorter than the input, else the
// input as it is, over what of the stream was written. Returns the original size field.
std::uint32_t put_compressed(Writer& out, const PackInput& input, std::size_t index, int level) {
  const std::size_t size = static_cast<std::size_t>(input.size);
  std::vector<std::uint8_t> text = encoder::text_for_input(size);
  std::uint8_t* const contents = text.data() + (text.size() - size);
  read_exactly(input, index, contents, size);
  const std::uint64_t start = out.size;
  try {
    encoder::compress_text(text, level, [&](const std::uint8_t* data, std::size_t count) {
      if (out.size - start + count >= size) throw NotSmaller{};
      out.append(data, count);
    });
    return static_cast<std::uint32_t>(size);
  } catch (const NotSmaller&) {
    const std::size_t written = static_cast<std::size_t>(out.size - start);
    out.output.write_at(start, contents, written);
    out.append(contents + written, size - written);
    return 0;
  }
}

void put_table(Writer& out, std::uint64_t at, const std::vector<payload::Entry>& entries) {
  std::vector<std::uint8_t> table((entries.size() + 1) * payload::kEntrySize, 0);
  for (std::size_t i = 0; i < entries.size(); ++i)
    payload::encode_entry(entries[i], table.data() + i * payload::kEntrySize);
  out.output.write_at(at, table.data(), table.size());
}

}  // namespace

std::optional<std::string> input_size_problem(std::uint64_t size) {
  if (size == 0) return "is empty; a package cannot hold an empty file";
  if (size > payload::kMaxEntrySize) {
    return "is " + std::to_string(size) + " bytes; a package entry holds at most " +
           std::to_string(payload::kMaxEntrySize);
  }
  return std::nullopt;
}

std::uint64_t write_package(const Bytes& stub, const StubLayout& layout,
                            const std::vector<PackInput>& inputs, const PackSettings& settings,
                            const PackOutput& output, const PackProgress& progress) {
  check_inputs(layout, inputs, settings);
  Writer out{output};
  out.append(stub.data(), layout.payload_offset);
  put_header(out, settings);
  const std::uint64_t table_at = out.size;
  const std::vector<std::uint8_t> zeros(payload::kEntrySize * (inputs.size() + 1), 0);
  out.append(zeros.data(), zeros.size());
  std::vector<payload::Entry> entries;
  std::uint64_t done = 0;
  const auto advance = [&](std::uint64_t count) {
    done += count;
    if (progress) progress(done);
  };
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    payload::Entry entry{static_cast<std::uint32_t>(out.size), 0, 0, {}};
    const std::uint64_t before = done;
    entry.original_size = settings.store ? put_stored(out, inputs[i], i, advance)
                                         : put_compressed(out, inputs[i], i, settings.level);
    entry.stored_size = static_cast<std::uint32_t>(out.size - entry.offset);
    std::copy(inputs[i].extension.begin(), inputs[i].extension.end(), entry.extension);
    entries.push_back(entry);
    if (done == before) advance(inputs[i].size);
  }
  put_table(out, table_at, entries);
  // The loader refuses an image whose section data runs past the end of the file.
  if (out.size < layout.raw_end) {
    const std::vector<std::uint8_t> padding(layout.raw_end - out.size, 0);
    out.append(padding.data(), padding.size());
  }
  return out.size;
}

Bytes build_package(const Bytes& stub, const StubLayout& layout, const std::vector<PackFile>& files,
                    const PackSettings& settings, const PackProgress& progress) {
  std::vector<PackInput> inputs;
  std::vector<std::size_t> read(files.size(), 0);
  for (std::size_t i = 0; i < files.size(); ++i) {
    inputs.push_back({files[i].extension, files[i].contents.size(),
                      [&files, &read, i](std::uint8_t* buffer, std::size_t room) {
                        const Bytes& c = files[i].contents;
                        const std::size_t count = std::min(room, c.size() - read[i]);
                        std::copy_n(c.begin() + static_cast<std::ptrdiff_t>(read[i]), count,
                                    buffer);
                        read[i] += count;
                        return count;
                      }});
  }
  Bytes out;
  const PackOutput output{[&out](const std::uint8_t* data, std::size_t size) {
                            out.insert(out.end(), data, data + size);
                          },
                          [&out](std::uint64_t offset, const std::uint8_t* data, std::size_t size) {
                            std::copy_n(data, size,
                                        out.begin() + static_cast<std::ptrdiff_t>(offset));
                          }};
  write_package(stub, layout, inputs, settings, output, progress);
  return out;
}

}  // namespace packer
