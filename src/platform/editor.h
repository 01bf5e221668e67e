#pragma once
// Opens a report in the user's editor: $VISUAL, then $EDITOR (inside a
// terminal emulator when it is a terminal program), then xdg-open. Started
// detached with an argument list, never through a shell.

#include <QString>
#include <QStringList>

namespace kestro {

// The program and arguments that open `path`, from the environment given
// (tests pass their own); empty when no editor can be found.
QStringList editor_command(const QString& path, const QString& visual, const QString& editor,
                           const QString& terminal);
// Starts the editor on the file; false with the reason when it could not
// be started.
bool open_in_editor(const QString& path, QString& error);

} // namespace kestro
