#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <QWidget>
#include <string_view>

class QLabel;

// The windows' tables place each control in twips.
namespace ui {

// 15 twips make one device-independent pixel, which Qt scales for high-DPI
// screens.
inline constexpr double kTwipsPerPixel = 15.0;

struct Twips {
  int left, top, width, height;
};

// Converts a rectangle in twips to pixels. It rounds the edges, not the
// width, so that controls that touch in twips touch on the screen.
QRect Pixels(const Twips& twips);

// Converts a client area in twips to pixels.
QSize TwipsSize(int width, int height);

// A table row that places a control with a caption within its parent.
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

// Creates a label whose caption starts at its top left and wraps within its
// width.
QLabel* PlaceLabel(QWidget* parent, const Placed& placed);

}  // namespace ui
