// JPEG pictures through the IJG 6b interface (libjpeg62-turbo): a memory
// source manager and an error manager that returns control here instead of
// ending the process.

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>

#include "base/Strings.h"
#include "platform/canvas/Bitmap.h"

namespace canvas {

namespace {

struct TJpegError {
  jpeg_error_mgr Mgr;
  std::jmp_buf Jump;
  char Message[JMSG_LENGTH_MAX];
};

void ErrorExit(j_common_ptr cinfo) {
  auto* e = reinterpret_cast<TJpegError*>(cinfo->err);
  (*cinfo->err->format_message)(cinfo, e->Message);
  std::longjmp(e->Jump, 1);
}

void SilentMessage(j_common_ptr) {}  // warnings of damaged data are not printed

// The whole picture is in memory: the source hands it over at once and
// ends a truncated stream with an end-of-image marker, as the IJG sample
// managers do.
void InitSource(j_decompress_ptr) {}
boolean FillInput(j_decompress_ptr cinfo) {
  static const JOCTET eoi[2] = {0xFF, JPEG_EOI};
  cinfo->src->next_input_byte = eoi;
  cinfo->src->bytes_in_buffer = 2;
  return TRUE;
}
void SkipInput(j_decompress_ptr cinfo, long count) {
  if (count <= 0) return;
  if (size_t(count) > cinfo->src->bytes_in_buffer) {
    FillInput(cinfo);
    return;
  }
  cinfo->src->next_input_byte += count;
  cinfo->src->bytes_in_buffer -= size_t(count);
}
void TermSource(j_decompress_ptr) {}

std::uint32_t PixelFromRgb(int r, int g, int b) {
  return 0xFF000000u | std::uint32_t(r) << 16 | std::uint32_t(g) << 8 | std::uint32_t(b);
}

}  // namespace

TBitmap DecodeJpeg(const std::vector<std::uint8_t>& data) {
  jpeg_decompress_struct cinfo;
  TJpegError err;
  jpeg_source_mgr source;
  // Everything the decoder fills lives here, before the jump point, so that
  // an error can leave without skipping a destructor.
  TBitmap result;
  std::vector<JSAMPLE> row;
  std::memset(&cinfo, 0, sizeof cinfo);
  cinfo.err = jpeg_std_error(&err.Mgr);
  err.Mgr.error_exit = ErrorExit;
  err.Mgr.output_message = SilentMessage;
  if (setjmp(err.Jump)) {
    jpeg_destroy_decompress(&cinfo);
    throw EInvalidGraphic(std::string("JPEG image is not valid: ") + err.Message);
  }
  jpeg_create_decompress(&cinfo);
  source.init_source = InitSource;
  source.fill_input_buffer = FillInput;
  source.skip_input_data = SkipInput;
  source.resync_to_restart = jpeg_resync_to_restart;
  source.term_source = TermSource;
  source.next_input_byte = data.data();
  source.bytes_in_buffer = data.size();
  cinfo.src = &source;
  jpeg_read_header(&cinfo, TRUE);
  if (std::int64_t(cinfo.image_width) * cinfo.image_height > TBitmap::kMaxPixels) {
    std::string size = Format("%u x %u", cinfo.image_width, cinfo.image_height);
    jpeg_destroy_decompress(&cinfo);
    throw EInvalidGraphic("Picture is too large: " + size + " pixels");
  }
  // Every 8 x 8 block of the first scan takes at least one bit of data, so a
  // file too short for its rows is refused before their memory is taken.
  if (std::int64_t(cinfo.image_width) * cinfo.image_height > std::int64_t(data.size()) * 8 * 64) {
    jpeg_destroy_decompress(&cinfo);
    throw EInvalidGraphic("JPEG image is not valid: Premature end of JPEG file");
  }
  bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
  cinfo.out_color_space = cmyk ? JCS_CMYK : cinfo.jpeg_color_space == JCS_GRAYSCALE ? JCS_GRAYSCALE : JCS_RGB;
  jpeg_start_decompress(&cinfo);
  result.SetSize(int(cinfo.output_width), int(cinfo.output_height));
  row.resize(size_t(cinfo.output_width) * size_t(cinfo.output_components));
  while (cinfo.output_scanline < cinfo.output_height) {
    JSAMPROW rows[1] = {row.data()};
    int y = int(cinfo.output_scanline);
    jpeg_read_scanlines(&cinfo, rows, 1);
    std::uint32_t* out = result.Pixels() + size_t(y) * size_t(result.Width());
    for (unsigned x = 0; x < cinfo.output_width; ++x) {
      const JSAMPLE* p = row.data() + size_t(x) * size_t(cinfo.output_components);
      if (cinfo.output_components == 1) {
        out[x] = PixelFromRgb(p[0], p[0], p[0]);
      } else if (cmyk) {
        // Adobe writes CMYK inverted: the samples are already 255 - ink.
        int k = p[3];
        out[x] = PixelFromRgb(p[0] * k / 255, p[1] * k / 255, p[2] * k / 255);
      } else {
        out[x] = PixelFromRgb(p[0], p[1], p[2]);
      }
    }
  }
  jpeg_finish_decompress(&cinfo);
  jpeg_destroy_decompress(&cinfo);
  return result;
}

}  // namespace canvas
