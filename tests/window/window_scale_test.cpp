// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The board's pictures on high-density screens. CTest runs this program at QT_SCALE_FACTOR 1, 1.5
// and 2 on Qt's offscreen platform; each run checks the squares against the pictures drawn for
// its factor.
#include <QApplication>
#include <QFontInfo>
#include <QImage>
#include <QMap>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSet>
#include <QSettings>
#include <QTest>
#include <QTimer>
#include <cmath>
#include <memory>

#include "tests/support/window_support.h"
#include "window/pictures.h"
#include "window/window.h"

using vombel::Square;
using vombel::Tablero;

namespace {

// Squares of the start position and their store pictures: the human queen on a light square, the
// computer queen on a dark one, a human knight and a computer knight, an empty dark square.
constexpr std::pair<int, int> kShown[] = {{59, 10}, {3, 9}, {62, 18}, {1, 5}, {35, 26}};

// Pixels alone: images compare equal only at the same device pixel ratio, and the ratio of a
// picture read from a file named @2x is 2.
QImage plain(const QImage& image) {
  QImage rgb = image.convertToFormat(QImage::Format_RGB32);
  rgb.setDevicePixelRatio(1);
  return rgb;
}

QImage file(const QString& name) {
  QImage image(name);
  if (image.isNull()) qFatal("cannot read %s", qPrintable(name));
  return plain(image);
}

QImage picture(int number, int set) {
  return file(set == 1 ? QStringLiteral(":/pictures/picture%1.png").arg(number)
                       : QStringLiteral(":/pictures/picture%1@%2x.png").arg(number).arg(set));
}

// Every pixel repeated factor times in both directions: the blocky enlargement.
QImage enlarged(const QImage& image, int factor) {
  return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

int greyLevels(const QImage& image) {
  QSet<int> levels;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x)
      levels.insert(qGray(image.pixel(x, y)));
  }
  return static_cast<int>(levels.size());
}

}  // namespace

class WindowScaleTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Tablero> window_;

  Square* square(int a) { return vombel::testing_support::squareControl(window_.get(), a); }
  static Square* square(int a, Tablero& window) {
    return vombel::testing_support::squareControl(&window, a);
  }
  QImage grabbed(int a) { return plain(square(a)->grab().toImage()); }

 private slots:
  void initTestCase() {
    vombel::prepareApplication(*qApp);
    vombel::testing_support::useScratchSettings();
    window_ = std::make_unique<Tablero>();
    // The layout at its normal size, although it does not fit the offscreen screen at factor 2.
    window_->setScale(1);
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
  }

  void cleanupTestCase() { window_.reset(); }

  void everySetHasEveryPictureAtItsSize() {
    for (int set : {1, 2, 3}) {
      for (int n = 1; n <= 26; ++n)
        QCOMPARE(picture(n, set).size(), QSize(23 * set, 23 * set));
    }
  }

  // The squares show, pixel for pixel, the set drawn for the factor: 1x unchanged, 2x drawn
  // anew rather than the 1x doubled, 1.5 the 2x set scaled down smoothly.
  void squaresShowThePicturesDrawnForTheFactor() {
    const qreal ratio = window_->devicePixelRatioF();
    for (auto [a, number] : kShown) {
      const QImage image = grabbed(a);
      QCOMPARE(square(a)->grab().devicePixelRatio(), ratio);
      if (ratio == 1) {
        QCOMPARE(image.size(), QSize(25, 25));
        QCOMPARE(image.copy(1, 1, 23, 23), picture(number, 1));
      } else if (ratio == 2) {
        QCOMPARE(image.size(), QSize(50, 50));
        // The picture's last column and row (blank margin) lie under the two-pixel border.
        const QImage shown = image.copy(2, 2, 45, 45);
        QCOMPARE(shown, picture(number, 2).copy(0, 0, 45, 45));
        if (number != 26) {
          QVERIFY(shown != enlarged(picture(number, 1), 2).copy(0, 0, 45, 45));
          // Anti-aliased edges: many more grey levels than the 1x map's background, black and
          // white.
          QVERIFY2(greyLevels(shown) > 10, qPrintable(QString::number(greyLevels(shown))));
        }
      } else if (ratio == 1.5) {
        // 25 logical pixels are 37.5 device pixels, the square's grab 38; the picture starts at
        // device pixel 2 and its last two columns and rows lie under the right and bottom border.
        QCOMPARE(image.size(), QSize(38, 38));
        const QImage smooth =
            picture(number, 2).scaled(35, 35, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        QCOMPARE(image.copy(2, 2, 33, 33), smooth.copy(0, 0, 33, 33));
        if (number != 26) {
          const QImage blocky = picture(number, 1).scaled(35, 35);
          QVERIFY(image.copy(2, 2, 33, 33) != blocky.copy(0, 0, 33, 33));
        }
      } else {
        QSKIP("checks run at factors 1, 1.5 and 2");
      }
      // The border stays black at every factor.
      const int far = static_cast<int>(std::lround(24 * ratio));
      QCOMPARE(QColor(image.pixel(0, 0)), QColor(Qt::black));
      QCOMPARE(QColor(image.pixel(far, far / 2)), QColor(Qt::black));
      QCOMPARE(QColor(image.pixel(far / 2, far)), QColor(Qt::black));
    }
  }

  void squarePictureTakesTheNearestLargerSet() {
    QVERIFY(vombel::squarePicture(0, 2).isNull());
    // Whole factors: the drawn set itself, 23 logical pixels.
    for (int set : {1, 2, 3}) {
      const QPixmap pixmap = vombel::squarePicture(12, set);
      QCOMPARE(pixmap.devicePixelRatio(), qreal(set));
      QCOMPARE(plain(pixmap.toImage()), picture(12, set));
    }
    // Between them: the next set up, scaled down smoothly to the factor's pixel count.
    const struct {
      qreal ratio;
      int set;
      int side;
    } cases[] = {{1.25, 2, 29}, {1.75, 2, 40}, {2.5, 3, 58}};
    for (const auto& c : cases) {
      const QPixmap pixmap = vombel::squarePicture(12, c.ratio);
      QCOMPARE(pixmap.devicePixelRatio(), c.ratio);
      QCOMPARE(plain(pixmap.toImage()),
               picture(12, c.set).scaled(c.side, c.side, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation));
    }
    // Cached: the same picture object the second time.
    QCOMPARE(vombel::squarePicture(12, 1.25).cacheKey(),
             vombel::squarePicture(12, 1.25).cacheKey());
  }

  // The first start on a large screen opens at the zoom step where the board is nearest a third
  // of the screen's height; maximised, the layout and move list grow with the height, in the
  // middle of the window, and the menu bar and message boxes with them. CTest runs this on
  // 1920 x 1200 and 3840 x 2160 screens too.
  void windowFitsTheScreenAtTheFirstStartAndMaximised() {
    const int menu = window_->menuBar()->height();
    const int text = QFontInfo(QApplication::font()).pixelSize();
    window_.reset();
    QSettings(QStringLiteral("vombel-chess"), QStringLiteral("vombel-chess")).clear();
    Tablero window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect room = window.screen()->availableGeometry();
    QVERIFY(room.contains(window.frameGeometry()));
    const QMap<int, double> first{{1200, 2}, {2160, 3.5}};
    if (first.contains(room.height())) QCOMPARE(window.scale(), first[room.height()]);

    window.showMaximized();
    QTRY_VERIFY(window.width() > room.width() * 9 / 10);
    const double scale = window.scale();
    const auto at = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    if (scale > 1) QTRY_COMPARE(window.menuBar()->height(), at(menu));
    QVERIFY(window.height() - window.menuBar()->height() - at(487) <= 2);  // the height is used
    // The move list beside the board, from the same origin and scale.
    const QWidget* form = window.centralWidget();
    const QPoint origin((form->width() - at(Tablero::kClientWidthWithMoveList)) / 2,
                        (form->height() - at(487)) / 2);
    QCOMPARE(square(0, window)->pos(), origin + QPoint(at(8), at(32)));
    QCOMPARE(window.findChild<QWidget*>(QStringLiteral("moveList"))->geometry(),
             QRect(origin + QPoint(at(209), at(32)), QSize(at(120), at(449))));

    int boxText = 0;
    QTimer::singleShot(100, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      boxText = QFontInfo(box->font()).pixelSize();
      box->button(QMessageBox::Ok)->click();
    });
    window.warn("A file could not be used.");
    QVERIFY(boxText >= static_cast<int>(text * std::max(scale, 1.0)) - 1);
  }

  void iconHasEverySize() {
    const QList<QSize> sizes = QApplication::windowIcon().availableSizes();
    for (int size : {16, 32, 48, 64, 128, 256})
      QVERIFY(sizes.contains(QSize(size, size)));
  }
};

QTEST_MAIN(WindowScaleTest)
#include "window_scale_test.moc"
