#include "ui/skin.h"

#include <cstdio>

namespace tovren::ui {

std::string LoadSkinBitmap(int family, int state) {
  char name[16];
  std::snprintf(name, sizeof name, "ojb%02d%02d", family % 100, state % 100);
  return name;
}

}  // namespace tovren::ui
