// Notice.cpp - header, colour and text of the notice panel.
#include "common/Notice.h"

namespace merivac {

void ShowNotice(MainControls& controls, const std::string& text, int kind) {
  struct KindLook {
    const char* header;
    Rgb color;
  };
  // WARNING: its stored colour is outside the 24-bit range; read as 24 bits
  // it is (28, 175, 206), a clear light blue that reads well under black text.
  static const KindLook kLooks[] = {
      {"WARNING\r\n\r\n", Rgb{28, 175, 206}},
      {"ERROR\r\n\r\n", Rgb{242, 163, 157}},
      {"INFORMATION\r\n\r\n", Rgb{242, 249, 139}},
      {"CONFIRMATION\r\n\r\n", Rgb{185, 240, 155}},
  };
  std::string header;
  if (kind >= 0 && kind <= 3) {
    header = kLooks[kind].header;
    controls.SetColor(Ctl::MessagePanel, kLooks[kind].color);
  } else {
    // The label still starts with the header of the last notice shown.
    const std::string& old = controls.Text(Ctl::MessageLabel);
    const size_t end = old.find("\r\n\r\n");
    header = end == std::string::npos ? std::string() : old.substr(0, end + 4);
  }
  controls.SetText(Ctl::MessageLabel,
                   header + text + "\r\n\r\n" + "CLICK ANYWHERE ON THIS MESSAGE TO CLOSE IT");
  controls.SetVisible(Ctl::MessagePanel, true);
}

void MessagePanelClick(MainControls& controls) { controls.SetVisible(Ctl::MessagePanel, false); }

}  // namespace merivac
