#include "ui/layout.h"

#include <QLabel>
#include <QtMath>

namespace ui {
namespace {

int TwipsToPixels(int twips) { return qRound(twips / kTwipsPerPixel); }

}  // namespace

QRect Pixels(const Twips& twips) {
  const int left = TwipsToPixels(twips.left);
  const int top = TwipsToPixels(twips.top);
  return QRect(left, top, TwipsToPixels(twips.left + twips.width) - left,
               TwipsToPixels(twips.top + twips.height) - top);
}

QSize TwipsSize(int width, int height) {
  return QSize(TwipsToPixels(width), TwipsToPixels(height));
}

QLabel* PlaceLabel(QWidget* parent, const Placed& placed) {
  auto* label = Place<QLabel>(parent, placed);
  label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  label->setWordWrap(true);
  return label;
}

}  // namespace ui
