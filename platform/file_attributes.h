#pragma once
// The attribute bits of files and directories, as Windows numbers them.

#include <cstdint>
#include <string>

namespace platform {

// Natively: read-only is a file without owner write permission, hidden a
// name that begins with ".", system never; a symbolic link carries
// kAttrReparsePoint, and a named pipe, socket or device file kAttrDevice.
constexpr std::uint32_t kAttrReadOnly = 0x01;
constexpr std::uint32_t kAttrHidden = 0x02;
constexpr std::uint32_t kAttrSystem = 0x04;
constexpr std::uint32_t kAttrDirectory = 0x10;
constexpr std::uint32_t kAttrArchive = 0x20;
constexpr std::uint32_t kAttrDevice = 0x40;
constexpr std::uint32_t kAttrReparsePoint = 0x400;
constexpr std::uint32_t kInvalidAttributes = 0xffffffff;

// The attributes of a reparse point with that tag, as the program sees
// them: only name surrogates (symbolic links, junctions, mount points) are
// links. Every other reparse point, a cloud placeholder or a deduplicated
// file, is the file or directory it stands for: listed, entered and copied
// (reading a placeholder may fetch its content).
std::uint32_t AttributesWithReparseTag(std::uint32_t attributes, std::uint32_t tag);

// Attribute bits of a file or directory (not following a final link), or
// kInvalidAttributes when there is none.
std::uint32_t ReadFileAttributes(const std::string& path);

// Replaces the read-only, hidden, system and archive bits; false on
// failure. Natively a file's mode changes only when its read-only state
// does, and clearing the archive bit records the file's write time and
// size in an extended attribute (a file its owner may not write gets it
// too, its mode as it was afterwards).
bool WriteFileAttributes(const std::string& path, std::uint32_t attributes);

// Clears the archive bit of a file as it stood with that size and
// last-write time (the version that was copied): a file that has changed
// since keeps its bit (natively: the record names the version copied, so
// the bit reads as set while the file differs from it). False when nothing
// could be recorded, or on Windows when the file has changed.
bool ClearArchiveBitOf(const std::string& path, std::uint64_t size, std::uint64_t lastWriteTime);

}  // namespace platform
