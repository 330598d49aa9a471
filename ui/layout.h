#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <string_view>

class QLabel;

// The windows' layouts: where each control stands, in twips.
namespace ui {

// Window layouts are given in twips; 15 twips make one device-independent
// pixel, and Qt scales those for high-DPI screens.
inline constexpr double kTwipsPerPixel = 15.0;

struct Twips {
  int left, top, width, height;
};

// A rectangle in twips as pixels. The edges are rounded, not the width, so
// that controls that touch in twips touch on the screen.
QRect Pixels(const Twips& twips);

// A client area in twips as pixels.
QSize TwipsSize(int width, int height);

// A control with a caption, at its place within its parent.
struct Placed {
  const char* name;          // the object name
  std::string_view caption;  // UTF-8
  Twips place;
};

// Creates the control (a button, a group box, a label) on `parent`.
template <typename Control>
Control* Place(QWidget* parent, const Placed& placed) {
  auto* control = new Control(QString::fromUtf8(placed.caption), parent);
  control->setObjectName(QString::fromUtf8(placed.name));
  control->setGeometry(Pixels(placed.place));
  return control;
}

// A label whose caption starts at its top left and wraps within its width.
QLabel* PlaceLabel(QWidget* parent, const Placed& placed);

}  // namespace ui
