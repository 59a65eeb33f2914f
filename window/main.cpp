// Vombel Chess: the window and its event loop. The game takes no command line.
#include <QApplication>

#include "window/window.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  vombel::prepareApplication(app);
  vombel::Tablero tablero;
  tablero.show();
  return QApplication::exec();
}
