// The program: the application object, the windows in their order, the message loop.
#include "app/Program.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return app::RunProgram(application);
}
