#include "imaging/png_codec.h"

#include <png.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

// libpng reports errors by longjmp. The functions that call setjmp below hold
// only plain data, and no frame between them and libpng holds an object with
// a destructor, so the jump skips no clean-up.

namespace {

struct ErrorText {
  char text[256];
};

void OnPngError(png_structp png, png_const_charp message) {
  auto* error = static_cast<ErrorText*>(png_get_error_ptr(png));
  std::snprintf(error->text, sizeof error->text, "%s", message);
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

struct MemoryReader {
  const unsigned char* data;
  std::size_t size;
  std::size_t position;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t length) {
  auto* reader = static_cast<MemoryReader*>(png_get_io_ptr(png));
  if (length > reader->size - reader->position) png_error(png, "the file ends too early");
  std::memcpy(out, reader->data + reader->position, length);
  reader->position += length;
}

struct DecodeJob {
  png_structp png;
  png_infop info;
  MemoryReader reader;
  ErrorText error;
  png_uint_32 width;
  png_uint_32 height;
  std::size_t rowBytes;
};

// Bounds what one file may make libpng allocate beside the image itself.
constexpr png_alloc_size_t kMaxChunkBytes = 8u << 20;
constexpr png_uint_32 kMaxAncillaryChunks = 1000;

// Reads the header and asks libpng for 8-bit samples in the order blue,
// green, red. Transparency (an alpha channel or a tRNS chunk) is dropped, so
// the colour samples arrive as stored.
bool ReadHeader(DecodeJob* job) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_set_user_limits(job->png, kMaxPngSide, kMaxPngSide);
  png_set_chunk_malloc_max(job->png, kMaxChunkBytes);
  png_set_chunk_cache_max(job->png, kMaxAncillaryChunks);
  png_read_info(job->png, job->info);
  png_set_expand(job->png);
  png_set_scale_16(job->png);
  png_set_strip_alpha(job->png);
  png_set_gray_to_rgb(job->png);
  png_set_bgr(job->png);
  png_set_interlace_handling(job->png);
  png_read_update_info(job->png, job->info);
  job->width = png_get_image_width(job->png, job->info);
  job->height = png_get_image_height(job->png, job->info);
  job->rowBytes = png_get_rowbytes(job->png, job->info);
  if (png_get_bit_depth(job->png, job->info) != 8 || png_get_channels(job->png, job->info) != 3 ||
      job->rowBytes != static_cast<std::size_t>(job->width) * 3) {
    png_error(job->png, "unsupported sample layout");
  }
  return true;
}

bool ReadPixels(DecodeJob* job, png_bytepp rows) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_read_image(job->png, rows);
  png_read_end(job->png, nullptr);
  return true;
}

struct EncodeJob {
  png_structp png;
  png_infop info;
  ErrorText error;
  std::string* out;
};

bool AppendBytes(std::string& out, const png_byte* data, std::size_t length) noexcept {
  try {
    out.append(reinterpret_cast<const char*>(data), length);
    return true;
  } catch (...) {
    return false;
  }
}

void WriteToString(png_structp png, png_bytep data, png_size_t length) {
  auto* job = static_cast<EncodeJob*>(png_get_io_ptr(png));
  if (!AppendBytes(*job->out, data, length)) png_error(png, "out of memory");
}

void FlushNothing(png_structp) {}

bool WriteImage(EncodeJob* job, const Bitmap* bitmap) {
  if (setjmp(png_jmpbuf(job->png))) return false;
  png_set_IHDR(job->png, job->info, static_cast<png_uint_32>(bitmap->Width()),
               static_cast<png_uint_32>(bitmap->Height()), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(job->png, job->info);
  png_set_bgr(job->png);
  for (int y = 0; y < bitmap->Height(); ++y) png_write_row(job->png, bitmap->Row(y));
  png_write_end(job->png, nullptr);
  return true;
}

struct ReadStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~ReadStructs() { png_destroy_read_struct(&png, info ? &info : nullptr, nullptr); }
};

struct WriteStructs {
  png_structp png = nullptr;
  png_infop info = nullptr;
  ~WriteStructs() { png_destroy_write_struct(&png, info ? &info : nullptr); }
};

}  // namespace

FileStatus DecodePng(std::string_view bytes, const std::string& name, Bitmap& bitmap) {
  constexpr std::size_t kSignature = 8;
  if (bytes.size() < kSignature || png_sig_cmp(reinterpret_cast<png_const_bytep>(bytes.data()), 0, kSignature) != 0) {
    return FileStatus::Failure(name + " is not a PNG file");
  }
  DecodeJob job{};
  ReadStructs structs;
  structs.png = job.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &job.error, OnPngError, OnPngWarning);
  if (job.png) structs.info = job.info = png_create_info_struct(job.png);
  if (!job.info) return FileStatus::Failure(name + ": out of memory");
  job.reader = {reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), 0};
  png_set_read_fn(job.png, &job.reader, ReadFromMemory);
  if (!ReadHeader(&job)) return FileStatus::Failure(name + " is a damaged PNG file: " + job.error.text);
  if (static_cast<long long>(job.width) * job.height > kMaxPngPixels) {
    return FileStatus::Failure(name + ": the image of " + std::to_string(job.width) + " x " +
                               std::to_string(job.height) + " pixels is too large");
  }
  // The samples are decoded straight into the rows of a new bitmap: the
  // image itself is all the memory a file takes.
  Bitmap decoded;
  std::vector<png_bytep> rows;
  try {
    decoded.SetSize(static_cast<int>(job.width), static_cast<int>(job.height));
    rows.resize(job.height);
  } catch (const std::bad_alloc&) {
    return FileStatus::Failure(name + ": out of memory");
  }
  for (png_uint_32 y = 0; y < job.height; ++y) rows[y] = decoded.Row(static_cast<int>(y));
  if (!ReadPixels(&job, rows.data())) return FileStatus::Failure(name + " is a damaged PNG file: " + job.error.text);
  bitmap = std::move(decoded);
  return FileStatus::Success();
}

FileStatus EncodePng(const Bitmap& bitmap, std::string& png) {
  if (bitmap.Empty()) return FileStatus::Failure("an empty image cannot be stored as PNG");
  std::string out;
  EncodeJob job{};
  job.out = &out;
  WriteStructs structs;
  structs.png = job.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &job.error, OnPngError, OnPngWarning);
  if (job.png) structs.info = job.info = png_create_info_struct(job.png);
  if (!job.info) return FileStatus::Failure("out of memory");
  png_set_write_fn(job.png, &job, WriteToString, FlushNothing);
  if (!WriteImage(&job, &bitmap)) return FileStatus::Failure(std::string("PNG encoding failed: ") + job.error.text);
  png = std::move(out);
  return FileStatus::Success();
}
