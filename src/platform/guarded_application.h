#pragma once
// The windows' application: a fault of the program (a ProgramError, or any
// other exception) thrown by a window's handler stops that handler with a
// message box, and the program goes on with the user's work.

#include <QApplication>

namespace kestro {

class GuardedApplication : public QApplication {
public:
    GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}
    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace kestro
