// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "window/pictures.h"

#include <QImage>
#include <QPixmapCache>
#include <QString>
#include <algorithm>
#include <cassert>
#include <cmath>

namespace vombel {

namespace {

constexpr int kLargestSet = 3;  // pictureN.png, pictureN@2x.png, pictureN@3x.png

// The drawn set to start from: the ratio rounded up to a whole factor, at most the largest.
// 1.25 and 1.5 take 2x, 2.25 takes 3x; 4 takes 3x enlarged, as nothing larger is drawn.
int setFor(qreal ratio) {
  return std::clamp(static_cast<int>(std::ceil(ratio - 0.001)), 1, kLargestSet);
}

QPixmap load(int number, qreal ratio) {
  const int set = setFor(ratio);
  const QString name = set == 1
                           ? QStringLiteral(":/pictures/picture%1.png").arg(number)
                           : QStringLiteral(":/pictures/picture%1@%2x.png").arg(number).arg(set);
  QImage image(name);
  assert(!image.isNull() && image.width() == kPictureSide * set);
  if (std::abs(ratio - set) > 0.001) {
    // 1.5 from 2x: 46 pixels down to 35, each output pixel a weighted mean of the ones it
    // covers, so every line of the drawing keeps an even weight. Below 1, the 1x set shrinks.
    const int side = static_cast<int>(std::lround(kPictureSide * ratio));
    image = image.scaled(side, side, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  }
  QPixmap pixmap = QPixmap::fromImage(image);
  // At the screen's own ratio the picture's pixels land one to one on the screen's: at 1.5 its
  // 35 pixels make 23.33 logical ones, the last third hidden under the square's border.
  pixmap.setDevicePixelRatio(ratio > 1 ? ratio : 1);
  return pixmap;
}

}  // namespace

QPixmap squarePicture(int number, qreal ratio) {
  assert(number >= 0 && number <= 26 && ratio > 0);
  if (number == 0) return {};
  const QString key = QStringLiteral("vombel-picture-%1-%2").arg(number).arg(ratio);
  QPixmap pixmap;
  if (!QPixmapCache::find(key, &pixmap)) {
    pixmap = load(number, ratio);
    QPixmapCache::insert(key, pixmap);
  }
  return pixmap;
}

QIcon programIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64, 96, 128, 256}) {
    icon.addFile(QStringLiteral(":/icons/vombel-chess-%1.png").arg(size), QSize(size, size));
  }
  return icon;
}

}  // namespace vombel
