#include "ui/controls.h"

#include <QAbstractButton>
#include <QButtonGroup>
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

void KeepOneTabStop(QButtonGroup& group, QAbstractButton& first) {
  const auto update = [&group, &first] {
    QAbstractButton* stop =
        group.checkedButton() ? group.checkedButton() : &first;
    for (QAbstractButton* button : group.buttons()) {
      // Clicks and the arrow keys still reach the others.
      button->setFocusPolicy(button == stop ? Qt::StrongFocus : Qt::ClickFocus);
    }
  };
  update();
  QObject::connect(&group, &QButtonGroup::idToggled, &group, update);
}

}  // namespace ui
