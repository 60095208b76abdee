// dromo_gen_res: writes the generated part of the resource tree.
//   dromo_gen_res fonts FONT_DIR RES_DIR      font sheets and _tfonts.txt
//   dromo_gen_res pictures FONT_DIR RES_DIR   textures and backgrounds
//   dromo_gen_res msgbase SOURCE.utf8 OUT     the Windows-1251 message base
//   dromo_gen_res icons FONT_DIR OUT_DIR      the desktop icons (PNG)
//   dromo_gen_res sounds RES_DIR              the sound effects
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/gen_res/gen_res.h"

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "fonts") == 0)
    return GenerateFonts(argv[2], argv[3]) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "pictures") == 0)
    return GeneratePictures(argv[2], argv[3]) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "msgbase") == 0)
    return ConvertMessageBase(argv[2], argv[3]) ? 0 : 1;
  if (argc == 4 && std::strcmp(argv[1], "icons") == 0)
    return GenerateIcons(argv[2], argv[3]) ? 0 : 1;
  if (argc == 3 && std::strcmp(argv[1], "sounds") == 0) return GenerateSounds(argv[2]) ? 0 : 1;
  std::fprintf(stderr,
               "usage: %s fonts FONT_DIR RES_DIR | pictures FONT_DIR RES_DIR | msgbase SOURCE OUT "
               "| icons FONT_DIR OUT_DIR | sounds RES_DIR\n",
               argc > 0 ? argv[0] : "dromo_gen_res");
  return 2;
}
