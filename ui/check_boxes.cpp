#include "ui/check_boxes.h"

#include "ui/skin.h"

namespace tovren::ui {
namespace {

class Boxes {
 public:
  Boxes(core::Settings& s, const CheckBoxPainter& paint) : s_(s), paint_(paint) {}
  bool On(int k) const { return s_.复选框辅助[k].Text() != "0"; }
  void Picture(int k, int state) { paint_(k, LoadSkinBitmap(kFamilyCheckBox0 + k, state)); }
  void Set(int k, const char* text) { s_.复选框辅助[k].Set(text); }
  void TurnOn(int k) { Picture(k, kPressed); Set(k, "1"); }
  void TurnOff(int k) { Picture(k, kNormal); Set(k, "0"); }

 private:
  core::Settings& s_;
  const CheckBoxPainter& paint_;
};

}  // namespace

void PressCheckBox(int e, core::Settings& settings, const CheckBoxPainter& paint) {
  Boxes b(settings, paint);
  const bool switch5IsOne = settings.复选框辅助[4].Text() == "1";
  switch (e) {
    case 0: case 1: case 2: case 3:
      if (b.On(e)) b.TurnOff(e); else b.TurnOn(e);
      break;
    case 4:
      if (b.On(4)) {
        b.Picture(4, kNormal); b.Picture(5, kNormal); b.Picture(6, kNormal);
        b.Set(4, "0"); b.Set(5, "0"); b.Set(6, "0");
      } else {
        b.Picture(4, kPressed); b.Picture(7, kNormal);
        b.Set(4, "1"); b.Set(7, "0");
      }
      break;
    case 7:
      if (b.On(7)) {
        b.TurnOff(7);
      } else {
        b.Picture(7, kPressed); b.Picture(4, kNormal); b.Picture(5, kNormal); b.Picture(6, kNormal);
        b.Set(7, "1"); b.Set(4, "0"); b.Set(5, "0"); b.Set(6, "0");
      }
      break;
    case 5: case 6: {
      if (!switch5IsOne) break;
      const int other = e == 5 ? 6 : 5;
      if (b.On(e)) {
        b.TurnOff(e);
      } else {
        b.Picture(e, kPressed); b.Picture(other, kNormal);
        b.Set(e, "1"); b.Set(other, "0");
      }
      break;
    }
    default:
      break;
  }
}

bool CheckBoxMayHover(int e, const core::Settings& settings) {
  if (e < 0 || e > 7) return false;
  if (e == 5 || e == 6)
    return settings.复选框辅助[4].Text() == "1" && settings.复选框辅助[e].Text() == "0";
  return settings.复选框辅助[e].Text() == "0";
}

}  // namespace tovren::ui
