#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <map>
#include <mutex>
#include <tuple>

#include "platform/canvas/CairoState.h"

namespace canvas {

namespace {

const cairo_user_data_key_t kFaceKey{};

void DoneFace(void* face) { FT_Done_Face(static_cast<FT_Face>(face)); }

}  // namespace

cairo_font_face_t* FontFace(const std::string& file, int index, bool bold, bool italic) {
  static std::mutex lock;
  static FT_Library library = nullptr;
  static std::map<std::tuple<std::string, int, bool, bool>, cairo_font_face_t*> faces;
  std::lock_guard<std::mutex> guard(lock);
  auto key = std::make_tuple(file, index, bold, italic);
  if (auto it = faces.find(key); it != faces.end()) return it->second;
  if (!library && FT_Init_FreeType(&library) != 0) return nullptr;
  FT_Face face = nullptr;
  if (file.empty() || FT_New_Face(library, file.c_str(), index, &face) != 0) return faces[key] = nullptr;
  cairo_font_face_t* cf = cairo_ft_font_face_create_for_ft_face(face, 0);
  cairo_font_face_set_user_data(cf, &kFaceKey, face, DoneFace);
  unsigned synth = (bold ? unsigned(CAIRO_FT_SYNTHESIZE_BOLD) : 0u) | (italic ? unsigned(CAIRO_FT_SYNTHESIZE_OBLIQUE) : 0u);
  if (synth) cairo_ft_font_face_set_synthesize(cf, synth);
  return faces[key] = cf;  // kept for the life of the process
}

}  // namespace canvas
