#include "platform/sqlite_image.h"

#include <windows.h>

#include <cstdint>

namespace platform::sqlite {
namespace {

// The largest database an analysis copies into memory.
constexpr std::uint64_t kLargestDatabase = std::uint64_t{1} << 30;
constexpr std::size_t kWalHeader = 32;
constexpr std::size_t kFrameHeader = 24;

std::uint32_t BigEndian(const std::string& bytes, std::size_t at) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return (std::uint32_t{b[0]} << 24) | (std::uint32_t{b[1]} << 16) | (std::uint32_t{b[2]} << 8) |
         b[3];
}

std::uint32_t LittleEndian(const std::string& bytes, std::size_t at) {
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data() + at);
  return (std::uint32_t{b[3]} << 24) | (std::uint32_t{b[2]} << 16) | (std::uint32_t{b[1]} << 8) |
         b[0];
}

// The log's running checksum over `size` bytes (a multiple of 8) from `at`, continued from
// `sums`: words read big-endian or little-endian as the log's magic number says.
void Checksum(const std::string& bytes, std::size_t at, std::size_t size, bool big_endian,
              std::uint32_t sums[2]) {
  for (std::size_t i = at; i < at + size; i += 8) {
    const std::uint32_t first = big_endian ? BigEndian(bytes, i) : LittleEndian(bytes, i);
    const std::uint32_t second = big_endian ? BigEndian(bytes, i + 4) : LittleEndian(bytes, i + 4);
    sums[0] += first + sums[1];
    sums[1] += second + sums[0];
  }
}

}  // namespace

void ApplyWriteAheadLog(const std::string& wal, std::string* image) {
  if (wal.size() < kWalHeader)
    return;
  const std::uint32_t magic = BigEndian(wal, 0);
  if ((magic & 0xFFFFFFFE) != 0x377F0682)
    return;
  const bool big_endian = (magic & 1) != 0;
  std::uint32_t page_size = BigEndian(wal, 8);
  if (page_size == 1)
    page_size = 65536;
  if (page_size < 512 || (page_size & (page_size - 1)) != 0)
    return;
  std::uint32_t sums[2] = {0, 0};
  Checksum(wal, 0, 24, big_endian, sums);
  if (sums[0] != BigEndian(wal, 24) || sums[1] != BigEndian(wal, 28))
    return;
  const std::uint32_t salts[2] = {BigEndian(wal, 16), BigEndian(wal, 20)};

  // Frames are laid over a copy; the copy becomes the image at each frame that ends a
  // transaction, so a transaction the log holds only in part is left out.
  std::string pending = *image;
  for (std::size_t at = kWalHeader; at + kFrameHeader + page_size <= wal.size();
       at += kFrameHeader + page_size) {
    const std::uint32_t page = BigEndian(wal, at);
    const std::uint32_t pages_after_commit = BigEndian(wal, at + 4);
    if (page == 0 || BigEndian(wal, at + 8) != salts[0] || BigEndian(wal, at + 12) != salts[1])
      break;
    Checksum(wal, at, 8, big_endian, sums);
    Checksum(wal, at + kFrameHeader, page_size, big_endian, sums);
    if (sums[0] != BigEndian(wal, at + 16) || sums[1] != BigEndian(wal, at + 20))
      break;
    const std::size_t offset = std::size_t{page - 1} * page_size;
    if (pending.size() < offset + page_size)
      pending.resize(offset + page_size, '\0');
    pending.replace(offset, page_size, wal, at + kFrameHeader, page_size);
    if (pages_after_commit != 0) {
      pending.resize(std::size_t{pages_after_commit} * page_size, '\0');
      *image = pending;
    }
  }
}

Status ReadDatabaseImage(const deletion::Folder& folder, const std::wstring& name,
                         std::string* image) {
  NIMBREL_TRY(folder.ReadFile(name, kLargestDatabase, image));
  std::string wal;
  if (const Status read = folder.ReadFile(name + L"-wal", kLargestDatabase, &wal); read)
    ApplyWriteAheadLog(wal, image);
  else if (!read.IsWin32(ERROR_FILE_NOT_FOUND))
    return read;
  // An image in memory has no log of its own: its header must say so.
  if (image->size() >= 20 && (*image)[18] == 2 && (*image)[19] == 2)
    (*image)[18] = (*image)[19] = 1;
  return Status::Ok();
}

}  // namespace platform::sqlite
