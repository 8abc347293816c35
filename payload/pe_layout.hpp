// The parts of the PE/COFF image and resource layout this project reads or patches, named
// once: the installer's locator, the dialog reader, the packer's stub check and the build
// step that finishes the stub all use these. Offsets are in bytes from the start of the
// structure named by the namespace; all fields are little-endian.
#pragma once

#include <cstdint>

namespace pe {

namespace dos {
constexpr std::uint32_t kSignature = 0x5A4D;       // "MZ"
constexpr std::uint32_t kNewHeaderPointer = 0x3C;  // e_lfanew: file offset of "PE\0\0"
}  // namespace dos

constexpr std::uint32_t kSignature = 0x00004550;  // "PE\0\0", just before the file header
constexpr std::uint32_t kSignatureSize = 4;

namespace file_header {  // the COFF header
constexpr std::uint32_t kSectionCount = 2;
constexpr std::uint32_t kOptionalHeaderSize = 16;  // the optional header's size, in bytes
constexpr std::uint32_t kSize = 20;
}  // namespace file_header

namespace optional_header {
constexpr std::uint32_t kMagic = 0;
constexpr std::uint32_t kPe32 = 0x10B;      // the shipped i686 stub
constexpr std::uint32_t kPe32Plus = 0x20B;  // the x86_64 build of the stub, for tests
constexpr std::uint32_t kInitialisedDataSize = 8;
constexpr std::uint32_t kFileAlignment = 36;
constexpr std::uint32_t kChecksum = 64;
constexpr std::uint32_t kDirectoriesPe32 = 96;  // the data directory table
constexpr std::uint32_t kDirectoriesPe32Plus = 112;
constexpr std::uint32_t kDirectorySize = 8;      // one entry of the table:
constexpr std::uint32_t kDirectoryAddress = 0;   // where the table it names is mapped
constexpr std::uint32_t kDirectoryLength = 4;    // and its size
constexpr std::uint32_t kResourceDirectory = 2;  // index of the resource table's entry
}  // namespace optional_header

namespace section {                     // one section header; the table follows the optional header
constexpr std::uint32_t kNameSize = 8;  // NUL-padded, not terminated when 8 long
constexpr std::uint32_t kVirtualSize = 8;
constexpr std::uint32_t kVirtualAddress = 12;
constexpr std::uint32_t kRawSize = 16;
constexpr std::uint32_t kRawOffset = 20;
constexpr std::uint32_t kSize = 40;
}  // namespace section

// The resource tree in the ".rsrc" section: three levels of directories (type, number,
// language) lead to data entries. Offsets in the tree count from the section's start.
namespace resource {
constexpr char kSectionName[] = ".rsrc";
constexpr std::uint32_t kNamedEntryCount = 12;  // directory header: named entries first
constexpr std::uint32_t kIdEntryCount = 14;
constexpr std::uint32_t kDirectoryHeaderSize = 16;  // the entries follow it
constexpr std::uint32_t kEntryName = 0;             // a number, or the offset of a name
constexpr std::uint32_t kEntryOffset = 4;           // a data entry or a subdirectory
constexpr std::uint32_t kEntrySize = 8;
constexpr std::uint32_t kHighBit = 0x80000000u;  // name: a string; offset: a subdirectory
constexpr std::uint32_t kLevels = 3;
constexpr std::uint32_t kDataAddress = 0;  // data entry: the data's virtual address
constexpr std::uint32_t kDataSize = 4;
constexpr std::uint32_t kDataEntrySize = 16;
}  // namespace resource

}  // namespace pe
