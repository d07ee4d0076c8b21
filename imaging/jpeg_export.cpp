#include "imaging/jpeg_export.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <string>
// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>
#include <jerror.h>

#include "platform/atomic_file.h"

// libjpeg reports errors through error_exit, which here leaves by longjmp;
// the function that calls setjmp holds only plain data.

namespace {

struct JpegError {
  jpeg_error_mgr manager;
  std::jmp_buf jump;
  char text[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
  auto* error = reinterpret_cast<JpegError*>(info->err);
  (*info->err->format_message)(info, error->text);
  std::longjmp(error->jump, 1);
}

// A destination that grows a malloc'd buffer, so that nothing the library
// owns must be freed on the error path.
struct GrowingBuffer {
  jpeg_destination_mgr manager;
  unsigned char* data;
  std::size_t capacity;
  std::size_t used;
};

void StartBuffer(j_compress_ptr info) {
  auto* buffer = reinterpret_cast<GrowingBuffer*>(info->dest);
  buffer->manager.next_output_byte = buffer->data;
  buffer->manager.free_in_buffer = buffer->capacity;
}

boolean GrowBuffer(j_compress_ptr info) {
  auto* buffer = reinterpret_cast<GrowingBuffer*>(info->dest);
  std::size_t capacity = buffer->capacity * 2;
  auto* grown = static_cast<unsigned char*>(std::realloc(buffer->data, capacity));
  if (!grown) ERREXIT1(info, JERR_OUT_OF_MEMORY, 1);
  buffer->manager.next_output_byte = grown + buffer->capacity;
  buffer->manager.free_in_buffer = capacity - buffer->capacity;
  buffer->data = grown;
  buffer->capacity = capacity;
  return TRUE;
}

void FinishBuffer(j_compress_ptr info) {
  auto* buffer = reinterpret_cast<GrowingBuffer*>(info->dest);
  buffer->used = buffer->capacity - buffer->manager.free_in_buffer;
}

struct CompressJob {
  jpeg_compress_struct info;
  JpegError error;
  GrowingBuffer out;
};

bool Compress(CompressJob* job, const Bitmap* bitmap, int quality) {
  job->info.err = jpeg_std_error(&job->error.manager);
  job->error.manager.error_exit = OnJpegError;
  if (setjmp(job->error.jump)) {
    jpeg_destroy_compress(&job->info);
    return false;
  }
  jpeg_create_compress(&job->info);
  job->out.manager.init_destination = StartBuffer;
  job->out.manager.empty_output_buffer = GrowBuffer;
  job->out.manager.term_destination = FinishBuffer;
  job->info.dest = &job->out.manager;
  job->info.image_width = static_cast<JDIMENSION>(bitmap->Width());
  job->info.image_height = static_cast<JDIMENSION>(bitmap->Height());
  job->info.input_components = Bitmap::kBytesPerPixel;
  job->info.in_color_space = JCS_EXT_BGR;
  jpeg_set_defaults(&job->info);
  jpeg_set_quality(&job->info, quality, TRUE);
  job->info.dct_method = JDCT_ISLOW;
  job->info.optimize_coding = TRUE;
  jpeg_start_compress(&job->info, TRUE);
  while (job->info.next_scanline < job->info.image_height) {
    JSAMPROW row = const_cast<JSAMPROW>(bitmap->Row(static_cast<int>(job->info.next_scanline)));
    jpeg_write_scanlines(&job->info, &row, 1);
  }
  jpeg_finish_compress(&job->info);
  jpeg_destroy_compress(&job->info);
  return true;
}

}  // namespace

bool EncodeJpeg(const Bitmap& abmp, int quality, std::string& jpeg, std::string& error) {
  if (abmp.Empty()) {
    error = "the image is empty";
    return false;
  }
  constexpr std::size_t kFirstCapacity = 64 * 1024;
  CompressJob job{};
  job.out.data = static_cast<unsigned char*>(std::malloc(kFirstCapacity));
  if (!job.out.data) {
    error = "out of memory";
    return false;
  }
  job.out.capacity = kFirstCapacity;
  bool ok = Compress(&job, &abmp, quality);
  if (ok) {
    jpeg.assign(reinterpret_cast<const char*>(job.out.data), job.out.used);
  } else {
    error = job.error.text;
  }
  std::free(job.out.data);
  return ok;
}

FileStatus SaveBmpAsJpeg(const Bitmap& abmp, const std::filesystem::path& fn, int quality) {
  std::string bytes;
  std::string error;
  if (!EncodeJpeg(abmp, quality, bytes, error)) return FileStatus::Failure("Cannot save " + QuotedPath(fn) + ": " + error);
  return WriteFileAtomically(fn, bytes);
}
