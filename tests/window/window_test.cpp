// SPDX-FileCopyrightText: 2026 The Vombel Chess developers
// SPDX-License-Identifier: GPL-3.0-or-later

// The game window driven as a user drives it: mouse clicks on squares and controls, menu
// shortcuts, the scroll bar. Runs on Qt's offscreen platform.
#include "window/window.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <memory>
#include <string>
#include <string_view>

#include "game/events.h"
#include "platform/controls.h"
#include "state/painting.h"
#include "state/state.h"
#include "tests/support/window_support.h"

using vombel::Square;
using vombel::Tablero;
using vombel::testing_support::ModalCloser;

namespace {

// Store pictures of the pieces used below (light square / dark square).
constexpr int kHumanPawnLight = 2;
constexpr int kHumanPawnDark = 14;
constexpr int kEmptyLight = 25;
constexpr int kEmptyDark = 26;

}  // namespace

class WindowTest : public QObject {
  Q_OBJECT

 private:
  std::unique_ptr<Tablero> window_;
  QTemporaryDir scratch_;

  template <typename T>
  T* child(const char* name) {
    return vombel::testing_support::namedChild<T>(window_.get(), name);
  }
  Square* square(int a) { return vombel::testing_support::squareControl(window_.get(), a); }
  QString text(const char* label) { return child<QLabel>(label)->text(); }
  // A click on a square, and the computer's answer when it plays a move.
  void click(int a) {
    QTest::mouseClick(square(a), Qt::LeftButton, {}, QPoint(12, 12));
    QVERIFY(vombel::testing_support::turnOver(window_.get()));
  }
  void press(QKeyCombination keys) {
    QTest::keyClick(window_.get(), keys.key(), keys.keyboardModifiers());
  }
  QImage grabbed(int a) {
    return square(a)->grab().toImage().convertToFormat(QImage::Format_RGB32);
  }
  // The white queen on a light square drawn at 2x, as plain pixels.
  static QImage queenAt2x() {
    QImage image =
        QImage(QStringLiteral(":/pictures/picture10@2x.png")).convertToFormat(QImage::Format_RGB32);
    image.setDevicePixelRatio(1);
    return image;
  }

 private slots:
  void initTestCase() {
    vombel::testing_support::useScratchSettings();
    vombel::prepareApplication(*qApp);
    QVERIFY(scratch_.isValid());
    QVERIFY(QDir::setCurrent(scratch_.path()));  // Save and Open use juego.vmb in the current dir
  }

  // The window as it was before it could mark the last move or list the moves, which the
  // layout's measures below expect; the last tests turn both on.
  void init() {
    QFile::remove(QStringLiteral("juego.vmb"));
    window_ = std::make_unique<Tablero>();
    window_->setLastMoveMarked(false);
    window_->setMoveListShown(false);
    window_->show();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
  }

  void cleanup() { window_.reset(); }

  void squaresPaintTheirStorePicturesInsideABorder() {
    // c(59), the human queen on a light square, is Picture10; c(3), the computer queen on a dark
    // square, Picture9; c(35) an empty dark square.
    for (auto [a, picture] : {std::pair{59, 10}, std::pair{3, 9}, std::pair{35, kEmptyDark}}) {
      const QImage image = grabbed(a);
      const QImage expected = QImage(QStringLiteral(":/pictures/picture%1.png").arg(picture))
                                  .convertToFormat(QImage::Format_RGB32);
      QCOMPARE(image.size(), QSize(25, 25));
      QCOMPARE(image.copy(1, 1, 23, 23), expected);
      for (QPoint corner : {QPoint(0, 0), QPoint(24, 0), QPoint(0, 24), QPoint(24, 24)}) {
        QCOMPARE(QColor(image.pixel(corner)), QColor(Qt::black));
      }
    }
    // Neighbours overlap by one pixel: the squares sit on a 24-pixel pitch.
    QCOMPARE(square(1)->x() - square(0)->x(), 24);
    QCOMPARE(square(8)->y() - square(0)->y(), 24);
  }

  // At the normal size the window is, pixel for pixel, what it was before it could scale: the
  // README's screenshot after e2-e4, g1-f3 and d2-d4, menu bar included.
  void normalSizeIsTheScreenshot() {
    for (int a : {52, 36, 62, 45, 51, 35}) {
      square(a)->click();
      QVERIFY(vombel::testing_support::turnOver(window_.get()));
    }
    QApplication::processEvents();
    const QImage shot(QFileInfo(QStringLiteral(__FILE__))
                          .dir()
                          .filePath(QStringLiteral("../../docs/screenshot.png")));
    QVERIFY(!shot.isNull());
    QCOMPARE(window_->grab().toImage().convertToFormat(QImage::Format_RGB32),
             shot.convertToFormat(QImage::Format_RGB32));
  }

  // Twice the scale: every control's rectangle twice its normal one, the squares' pictures from
  // the 2x set inside a two-pixel border, the text twice as high; and back again, unchanged.
  void twiceTheScaleDoublesEveryControl() {
    QWidget* form = window_->centralWidget();
    const QImage before = window_->grab().toImage();
    QList<QPair<QWidget*, QRect>> normal;
    for (QWidget* w : form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
      normal.append({w, w->geometry()});
    QCOMPARE(normal.size(), 64 + 16 + 2);  // squares, controls, announcer and move list
    const int fontPixels = form->font().pixelSize();

    window_->setScale(2);
    QTRY_COMPARE(form->size(), QSize(410, 2 * Tablero::kFullClientHeight));
    for (const auto& [w, r] : normal) {
      const QRect twice = w->geometry();
      for (auto [got, want] :
           {std::pair{twice.left(), r.left()}, std::pair{twice.top(), r.top()},
            std::pair{twice.width(), r.width()}, std::pair{twice.height(), r.height()}}) {
        QVERIFY2(std::abs(got - 2 * want) <= 1, qPrintable(w->objectName()));
      }
    }
    QCOMPARE(form->font().pixelSize(), 2 * fontPixels);
    const QImage queen = grabbed(59);
    QCOMPARE(queen.size(), QSize(50, 50));
    QCOMPARE(queen.copy(2, 2, 46, 46), queenAt2x());
    for (QPoint border : {QPoint(0, 0), QPoint(1, 1), QPoint(48, 25), QPoint(25, 49)})
      QCOMPARE(QColor(queen.pixel(border)), QColor(Qt::black));

    // The compact layout scales too.
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);
    QTRY_COMPARE(form->size(), QSize(410, 2 * Tablero::kCompactClientHeight));
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);

    window_->setScale(1);
    QTRY_COMPARE(form->size(), QSize(205, Tablero::kFullClientHeight));
    for (const auto& [w, r] : normal)
      QCOMPARE(w->geometry(), r);
    QCOMPARE(window_->grab().toImage(), before);
  }

  // Between the drawn sets the pictures are the next larger set scaled down smoothly.
  void betweenTheSetsThePicturesAreScaledSmoothly() {
    window_->setScale(1.5);
    const QImage queen = grabbed(59);
    QCOMPARE(queen.size(), QSize(38, 38));  // 37.5 rounded, the 2-pixel border shared
    const QImage smooth =
        queenAt2x().scaled(35, 35, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    QCOMPARE(queen.copy(2, 2, 34, 34), smooth.copy(0, 0, 34, 34));
  }

  // Ctrl+Plus and Ctrl+Minus step through the sizes that fit the screen, Ctrl+0 goes back to the
  // normal size; the next window opens at the last one. Zoom In at the largest step that fits
  // does nothing, and a zoom brings a window above the screen's top back onto it.
  void zoomStepsFitTheScreenAndAreRemembered() {
    const QRect room = window_->screen()->availableGeometry();
    press(Qt::CTRL | Qt::Key_Plus);
    QCOMPARE(window_->scale(), 1.25);
    QCOMPARE(window_->centralWidget()->size(), QSize(256, 609));
    for (int i = 0; i < 10; ++i)
      press(Qt::CTRL | Qt::Key_Plus);
    const double largest = window_->scale();
    QVERIFY(std::find(std::begin(Tablero::kZoomSteps), std::end(Tablero::kZoomSteps), largest) !=
            std::end(Tablero::kZoomSteps));
    QVERIFY(room.contains(window_->frameGeometry()));
    QVERIFY(window_->fittingScale(largest + 0.25) < largest + 0.25);  // the next step would not fit
    press(Qt::CTRL | Qt::Key_Minus);
    QVERIFY(window_->scale() < largest);
    const double kept = window_->scale();

    window_.reset();  // a closing window writes its scale
    window_ = std::make_unique<Tablero>();
    window_->show();
    QCOMPARE(window_->scale(), kept);
    QVERIFY(room.contains(window_->frameGeometry()));
    window_->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    window_->move(room.left() + 10, room.top() - 200);
    press(Qt::CTRL | Qt::Key_0);
    QCOMPARE(window_->scale(), 1.0);
    QCOMPARE(window_->size(), QSize(205, window_->menuBar()->height() + 487));
    QVERIFY(room.contains(window_->frameGeometry()));
    window_.reset();  // a closing window writes its scale
    window_ = std::make_unique<Tablero>();
    QCOMPARE(window_->scale(), 1.0);
  }

  // Resized by its corner to another shape: the layout, menu bar included, takes the largest
  // scale that fits, in the middle of the window, and the next window opens at that scale. A
  // pixel or two less, as a window manager may round the size, keeps the scale.
  void resizedByTheCornerTheLayoutFitsAndIsCentred() {
    const int menu = window_->menuBar()->height();
    window_->resize(600, 700);
    QTRY_COMPARE(window_->size(), QSize(600, 700));
    const double scale = window_->scale();
    QVERIFY(std::abs(scale - 700.0 / (487 + menu)) < 0.005);
    QTRY_COMPARE(window_->menuBar()->height(), static_cast<int>(std::lround(menu * scale)));
    const auto at = [scale](int pixels) { return static_cast<int>(std::lround(pixels * scale)); };
    const QSize form = window_->centralWidget()->size();
    QCOMPARE(square(0)->pos(),
             QPoint((form.width() - at(205)) / 2 + at(8), (form.height() - at(487)) / 2 + at(32)));
    QVERIFY(child<QLabel>("Label6")->geometry().bottom() < form.height());
    QVERIFY(std::abs(child<QPushButton>("info")->width() - 193 * scale) <= 1);
    window_.reset();  // a closing window writes its scale
    window_ = std::make_unique<Tablero>();
    QCOMPARE(window_->scale(), scale);

    window_->show();
    window_->setScale(1.5);
    const QSize stepSize = window_->size();
    window_->resize(stepSize - QSize(1, 2));
    QApplication::processEvents();
    QCOMPARE(window_->scale(), 1.5);
    // Given back a zoom step's size, as after being maximised, the window is at that step.
    window_->resize(stepSize + QSize(50, 60));
    QTRY_VERIFY(window_->scale() > 1.5);
    window_->resize(stepSize);
    QTRY_COMPARE(window_->scale(), 1.5);
  }

  // The compact layout made as large as fits: back to the full one, the window shrinks to stay
  // on the screen.
  void theFullLayoutStaysOnTheScreen() {
    const QRect room = window_->screen()->availableGeometry();
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);
    for (int i = 0; i < 10; ++i)
      press(Qt::CTRL | Qt::Key_Plus);
    QVERIFY(window_->scale() > 2);
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);
    QCOMPARE(child<QPushButton>("info")->text(), QStringLiteral("Less Information"));
    QVERIFY(window_->scale() < 2);
    QVERIFY(room.contains(window_->frameGeometry()));
  }

  // A remembered size larger than the screen: the window opens as large as fits, inside it.
  void aWindowTooLargeForTheScreenIsShrunk() {
    QSettings(QStringLiteral("vombel-chess"), QStringLiteral("vombel-chess"))
        .setValue(QStringLiteral("scale"), 4);
    window_ = std::make_unique<Tablero>();
    window_->show();
    QVERIFY(QTest::qWaitForWindowExposed(window_.get()));
    const QRect room = window_->screen()->availableGeometry();
    QVERIFY2(room.contains(window_->frameGeometry()),
             qPrintable(QStringLiteral("%1 x %2").arg(window_->width()).arg(window_->height())));
    QVERIFY(window_->scale() < 4);
    QVERIFY(window_->height() > room.height() * 3 / 4);  // shrunk no more than needed
    // A value that is no scale at all gives the normal size.
    QSettings(QStringLiteral("vombel-chess"), QStringLiteral("vombel-chess"))
        .setValue(QStringLiteral("scale"), QStringLiteral("large"));
    window_ = std::make_unique<Tablero>();
    QCOMPARE(window_->scale(), 1.0);
  }

  void selectionIsDrawnAndClickingItAgainDeselects() {
    const QImage flat = grabbed(52);
    click(52);
    QCOMPARE(square(52)->shownAppearance(), 1);
    QVERIFY(grabbed(52) != flat);
    click(52);
    QCOMPARE(square(52)->shownAppearance(), 0);
    QCOMPARE(grabbed(52), flat);
    // Nothing is selected any more: a click on an empty square does nothing ...
    click(36);
    QCOMPARE(square(36)->shownAppearance(), 0);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    // ... and a fresh selection moves normally.
    click(52);
    click(36);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
  }

  void clickedMoveIsPlayedAndAnswered() {
    click(52);  // e2
    click(36);  // e4
    QCOMPARE(square(36)->shownPicture(), kHumanPawnLight);
    QCOMPARE(square(52)->shownPicture(), kEmptyLight);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    auto* historia = child<QScrollBar>("historia");
    QCOMPARE(historia->maximum(), 2);
    QCOMPARE(historia->value(), 2);
    // The computer has moved one of its pieces: some square of its two back rows is now empty.
    int empty = 0;
    for (int a = 0; a < 16; ++a) {
      const int p = square(a)->shownPicture();
      if (p == kEmptyLight || p == kEmptyDark) ++empty;
    }
    QCOMPARE(empty, 1);
    QCOMPARE(child<QProgressBar>("Progreso")->value(), 0);
  }

  // The computer thinks on a thread of its own: when the click that plays the move returns, the
  // board shows the move and the turn is under way; the reply comes after.
  void boardShowsTheMoveWhileTheComputerThinks() {
    click(52);
    QTest::mouseClick(square(36), Qt::LeftButton, {}, QPoint(12, 12));
    QVERIFY(window_->turnUnderWay());
    QCOMPARE(square(36)->shownPicture(), kHumanPawnLight);
    QCOMPARE(square(52)->shownPicture(), kEmptyLight);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QVERIFY(vombel::testing_support::turnOver(window_.get()));
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    QCOMPARE(child<QProgressBar>("Progreso")->value(), 0);
  }

  void rejectedMoveChangesNothing() {
    click(52);
    click(28);  // e2-e5 is not a pawn move
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    QCOMPARE(square(52)->shownPicture(), kHumanPawnLight);
    QCOMPARE(square(52)->shownAppearance(), 0);
    QCOMPARE(square(28)->shownPicture(), kEmptyDark);
  }

  void scrollBarTakesAMoveBack() {
    click(52);
    click(36);
    auto* historia = child<QScrollBar>("historia");
    const QPoint leftArrow(4, historia->height() / 2);
    QTest::mouseClick(historia, Qt::LeftButton, {}, leftArrow);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));
    QTest::mouseClick(historia, Qt::LeftButton, {}, leftArrow);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    QCOMPARE(square(52)->shownPicture(), kHumanPawnLight);  // the start position again
    QCOMPARE(square(36)->shownPicture(), kEmptyLight);
    // Playing on from the start replaces the moves after it.
    click(51);  // d2
    click(35);  // d4
    QCOMPARE(square(35)->shownPicture(), kHumanPawnDark);
    QCOMPARE(square(36)->shownPicture(), kEmptyLight);
    QCOMPARE(historia->maximum(), 2);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
  }

  void menuShortcutsSaveOpenAndStartANewGame() {
    click(52);
    click(36);
    press(Qt::CTRL | Qt::Key_S);
    QVERIFY(QFile::exists(QStringLiteral("juego.vmb")));
    click(51);
    click(35);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("4"));

    press(Qt::CTRL | Qt::Key_O);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    QCOMPARE(child<QScrollBar>("historia")->maximum(), 2);
    QCOMPARE(square(51)->shownPicture(), kHumanPawnDark);  // d2 is back home
    QCOMPARE(square(36)->shownPicture(), kHumanPawnLight);

    child<QRadioButton>("easy")->click();
    press(Qt::CTRL | Qt::Key_N);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));
    QCOMPARE(child<QScrollBar>("historia")->maximum(), 0);
    QCOMPARE(square(36)->shownPicture(), kEmptyLight);
    QCOMPARE(square(52)->shownPicture(), kHumanPawnLight);
    QVERIFY(child<QRadioButton>("difficult")->isChecked());
  }

  // Export Game… offers a name of the day, then the next export the folder of the last; the file
  // chosen gets the game as PGN, and one that cannot be written is told and harms nothing.
  void exportGameWritesTheChosenFileAndTellsAFailure() {
    click(52);
    click(36);
    ModalCloser closer;
    const QString path = scratch_.filePath(QStringLiteral("game.pgn"));
    closer.chooseFile(path);
    child<QAction>("exportGame")->trigger();
    QCOMPARE(QFileInfo(closer.offered()[0]).fileName(),
             "vombel-chess-" + QDate::currentDate().toString(Qt::ISODate) + ".pgn");
    QVERIFY(QFileInfo(closer.offered()[0]).dir().exists());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray pgn = file.readAll();
    QVERIFY(pgn.startsWith("[Event ") && pgn.contains("\n1. e4 "));

    closer.chooseFile(path + "/inside.pgn");  // a file is no folder
    child<QAction>("exportGame")->trigger();
    QCOMPARE(QFileInfo(closer.offered()[1]).absolutePath(), scratch_.path());
    QCOMPARE(closer.icons(), QList{QMessageBox::Warning});
    QVERIFY(closer.texts()[0].startsWith("The game could not be exported to " + path));
    QVERIFY(file.seek(0));
    QCOMPARE(file.readAll(), pgn);
  }

  // Copy gives the position shown as FEN; Paste, greyed outside set-up mode, takes one in as a
  // set-up change, which the scroll bar takes back; a text that is no FEN is told, changing
  // nothing.
  void copyAndPasteAPositionThroughTheClipboard() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    press(Qt::CTRL | Qt::Key_C);
    QCOMPARE(clipboard->text(), "rnbqkbnr/pppppppp/8/8/8/8/PPPPPPPP/RNBQKBNR w KQkq - 0 1");
    const QString ending = QStringLiteral("4k3/8/8/8/8/8/4P3/4K3");
    clipboard->setText(ending + " b - - 0 1");
    QVERIFY(!child<QAction>("pastePosition")->isEnabled());
    press(Qt::CTRL | Qt::Key_V);
    QCOMPARE(square(51)->shownPicture(), kHumanPawnDark);

    auto* boardsu = child<QCheckBox>("boardsu");
    QTest::mouseClick(boardsu, Qt::LeftButton, {}, QPoint(6, boardsu->height() / 2));
    QVERIFY(child<QAction>("pastePosition")->isEnabled());
    press(Qt::CTRL | Qt::Key_V);
    QCOMPARE(square(51)->shownPicture(), kEmptyDark);
    QCOMPARE(child<QScrollBar>("historia")->maximum(), 1);
    press(Qt::CTRL | Qt::Key_C);
    QCOMPARE(clipboard->text().section(' ', 0, 1), ending + " w");

    ModalCloser closer;
    clipboard->setText(QStringLiteral("4k3/8/8"));
    press(Qt::CTRL | Qt::Key_V);
    QCOMPARE(closer.icons(), QList{QMessageBox::Warning});
    QVERIFY(closer.texts()[0].startsWith("The position could not be pasted: "));
    QCOMPARE(child<QScrollBar>("historia")->maximum(), 1);
    QCOMPARE(square(51)->shownPicture(), kEmptyDark);
    child<QScrollBar>("historia")->triggerAction(QAbstractSlider::SliderSingleStepSub);
    QCOMPARE(square(51)->shownPicture(), kHumanPawnDark);
  }

  void aboutBoxAndExit() {
    ModalCloser closer;
    press(Qt::CTRL | Qt::Key_A);
    QCOMPARE(closer.texts().size(), 1);
    QVERIFY(closer.texts()[0].startsWith("Uses a 6 ply Alpha/Beta Algorithm.\n\n"));
    // The credit paragraph names the version and the licence; its text keeps the 94 spaces.
    QVERIFY(closer.texts()[0].contains("\n\nVombel Chess " VOMBEL_VERSION " is free software"));
    QVERIFY(closer.texts()[0].contains("(GPL-3.0-or-later)"));
    QVERIFY(std::string_view(vombel::aboutText())
                .starts_with("Uses a 6 ply Alpha/Beta Algorithm." + std::string(94, ' ') +
                             "Vombel Chess "));
    window_->activateWindow();  // the offscreen platform has no window manager to do it
    QVERIFY(QTest::qWaitForWindowActive(window_.get()));
    press(Qt::CTRL | Qt::Key_X);
    QVERIFY(!window_->isVisible());
  }

  void infoTogglesTheCompactLayout() {
    auto* info = child<QPushButton>("info");
    QWidget* form = window_->centralWidget();
    const int frame = window_->height() - form->height();
    QCOMPARE(form->height(), Tablero::kFullClientHeight);
    QCOMPARE(info->text(), QStringLiteral("Less Information"));

    QTest::mouseClick(info, Qt::LeftButton);
    QCOMPARE(form->height(), Tablero::kCompactClientHeight);
    QCOMPARE(window_->height(), frame + Tablero::kCompactClientHeight);
    QCOMPARE(info->text(), QStringLiteral("More Information"));
    QVERIFY(info->isVisible());
    QVERIFY(!child<QScrollBar>("historia")->isVisible());

    QTest::mouseClick(info, Qt::LeftButton);
    QCOMPARE(form->height(), Tablero::kFullClientHeight);
    QCOMPARE(window_->height(), frame + Tablero::kFullClientHeight);
    QCOMPARE(info->text(), QStringLiteral("Less Information"));
    QVERIFY(child<QScrollBar>("historia")->isVisible());
  }

  void computerResignsInAModalBox() {
    // The computer's king on h8 faces the human's queen on g7, guarded by the king on f6: every
    // computer move loses the king.
    for (int x = 1; x <= 8; ++x) {
      for (int y = 1; y <= 8; ++y)
        vombel::board(x, y) = 0;
    }
    vombel::board(8, 8) = vombel::kComputerKing;
    vombel::board(7, 7) = -vombel::kQueen;
    vombel::board(6, 6) = vombel::kHumanKing;
    vombel::pintar_tablero();

    ModalCloser closer;
    QTest::mouseClick(child<QPushButton>("force"), Qt::LeftButton);
    QVERIFY(vombel::testing_support::turnOver(window_.get()));
    QCOMPARE(closer.texts(), QStringList{"Computer resignes"});
    QCOMPARE(text("lbl_jugada"), QStringLiteral("1"));  // the unchanged position is recorded
    QCOMPARE(square(7)->shownPicture(), 11);            // the king stays on h8
  }

  void freePlacementAndLevelFollowTheControls() {
    auto* boardsu = child<QCheckBox>("boardsu");
    QTest::mouseClick(boardsu, Qt::LeftButton, {}, QPoint(6, boardsu->height() / 2));
    QVERIFY(boardsu->isChecked());
    click(1);   // the computer's knight on b8
    click(36);  // placed on e4: no reply, no history entry
    QCOMPARE(square(36)->shownPicture(), 17);
    QCOMPARE(square(1)->shownPicture(), kEmptyDark);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("0"));

    QTest::mouseClick(child<QRadioButton>("easy"), Qt::LeftButton, {}, QPoint(6, 8));
    QVERIFY(vombel::easy.value);
    QVERIFY(!vombel::difficult.value);
    QVERIFY(!child<QRadioButton>("difficult")->isChecked());

    press(Qt::CTRL | Qt::Key_N);  // a new game unchecks set-up and selects Difficult
    QVERIFY(!boardsu->isChecked());
    QVERIFY(child<QRadioButton>("difficult")->isChecked());
    QVERIFY(!child<QRadioButton>("easy")->isChecked());
  }

  void playerClockTicks() {
    QCOMPARE(text("tiempous"), QStringLiteral("0"));
    QTRY_COMPARE_WITH_TIMEOUT(text("tiempous"), QStringLiteral("1"), 5000);
  }

  void playerClockTicksOnceASecond() {
    auto* timer = window_->findChild<QTimer*>(QStringLiteral("Timer1"));
    QVERIFY(timer != nullptr);
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 1000);
    QCOMPARE(timer->isSingleShot(), false);
  }

  // The last move's squares are tinted from the history shown; Game > Mark Last Move turns the
  // tint off, and the next window remembers it. A refused move tints its squares for a moment.
  void lastMoveAndARefusedMoveAreMarked() {
    const auto marked = [this] {
      QList<int> squares;
      for (int a = 0; a < 64; ++a) {
        if (square(a)->lastMove()) squares << a;
      }
      return squares;
    };
    child<QAction>("lastMoveMarked")->trigger();
    QCOMPARE(marked(), QList<int>{});  // nothing played
    click(52);
    click(36);
    QCOMPARE(marked().size(), 2);  // the reply
    child<QScrollBar>("historia")->setValue(1);
    QCOMPARE(marked(), (QList<int>{36, 52}));   // e2-e4
    QImage tinted(1, 1, QImage::Format_RGB32);  // e2 is empty: white under the tint
    tinted.fill(Qt::white);
    QPainter(&tinted).fillRect(0, 0, 1, 1, vombel::lastMoveTint());
    QCOMPARE(grabbed(52).pixel(12, 12), tinted.pixel(0, 0));
    click(50);
    click(26);  // c2-c5 refused
    QVERIFY(square(50)->refused() && square(26)->refused());
    QTRY_VERIFY_WITH_TIMEOUT(!square(50)->refused() && !square(26)->refused(), 1000);
    child<QAction>("lastMoveMarked")->trigger();
    QCOMPARE(marked(), QList<int>{});
    QCOMPARE(QColor(grabbed(52).pixel(12, 12)), QColor(Qt::white));
    window_ = std::make_unique<Tablero>();
    QVERIFY(!child<QAction>("lastMoveMarked")->isChecked());
  }

  // The move list beside the board: the game in SAN, following the scroll bar; choosing an item
  // shows its position. It widens the full layout only, scales with it and is remembered.
  void moveListFollowsTheGameAndChoosesPositions() {
    QWidget* form = window_->centralWidget();
    child<QAction>("moveListShown")->trigger();
    auto* list = child<QListWidget>("moveList");
    QVERIFY(list->isVisible());
    QCOMPARE(form->size(), QSize(Tablero::kClientWidthWithMoveList, Tablero::kFullClientHeight));
    QCOMPARE(list->geometry(), QRect(209, 32, 120, 449));
    click(52);
    click(36);
    QCOMPARE(list->count(), 2);
    QCOMPARE(list->item(0)->text(), QStringLiteral("1. e4"));
    // Selected, not made current: a screen reader would take a new current item for the focus.
    const auto shownRow = [list] {
      const QList<QListWidgetItem*> selected = list->selectedItems();
      return selected.size() == 1 ? list->row(selected[0]) : -1;
    };
    QCOMPARE(shownRow(), 1);
    QCOMPARE(list->currentRow(), -1);
    auto* historia = child<QScrollBar>("historia");
    historia->setValue(1);
    QCOMPARE(shownRow(), 0);
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(historia->value(), 2);
    QCOMPARE(text("lbl_jugada"), QStringLiteral("2"));
    QTest::keyClick(list, Qt::Key_Left);  // the keys choose too, the list having the focus
    QCOMPARE(historia->value(), 1);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(list);
    QCOMPARE(iface->role(), QAccessible::List);
    QCOMPARE(iface->child(0)->text(QAccessible::Name), QStringLiteral("1. e4"));

    const int fontPixels = list->font().pixelSize();
    window_->setScale(2);
    QTRY_COMPARE(list->geometry(), QRect(418, 64, 240, 898));
    QCOMPARE(list->font().pixelSize(), 2 * fontPixels);
    window_->setScale(1);
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);  // the board alone
    QVERIFY(!list->isVisible());
    QCOMPARE(form->size(), QSize(Tablero::kClientWidth, Tablero::kCompactClientHeight));
    QTest::mouseClick(child<QPushButton>("info"), Qt::LeftButton);
    QVERIFY(list->isVisible());
    window_ = std::make_unique<Tablero>();
    QVERIFY(child<QAction>("moveListShown")->isChecked());
  }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
