#include "platform/editor.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace kestro {

namespace {

// Editors that need a terminal to draw in.
bool terminal_program(const QString& program)
{
    static const QStringList names = {"vi",   "vim",  "nvim", "nano", "pico", "micro", "joe", "jed",
                                      "ne",   "mg",   "ed",   "ex",   "kak",  "hx",    "helix", "mcedit",
                                      "emacs-nox", "zile", "jove", "vis"};
    const QString name = QFileInfo(program).fileName();
    return names.contains(name) || name == QLatin1String("emacs");
}

QString terminal_emulator(const QString& terminal)
{
    for (const QString& candidate : {terminal, QStringLiteral("x-terminal-emulator"), QStringLiteral("xterm")})
        if (!candidate.isEmpty() && !QStandardPaths::findExecutable(candidate).isEmpty()) return candidate;
    return {};
}

} // namespace

QStringList editor_command(const QString& path, const QString& visual, const QString& editor, const QString& terminal)
{
    for (const QString& setting : {visual, editor}) {
        QStringList command = QProcess::splitCommand(setting);
        if (command.isEmpty()) continue;
        // emacs opens its own window when it can; "emacs -nw" does not.
        const bool in_terminal = terminal_program(command.first()) &&
                                 !(QFileInfo(command.first()).fileName() == QLatin1String("emacs") &&
                                   !command.contains(QStringLiteral("-nw")));
        command << path;
        if (!in_terminal) return command;
        const QString emulator = terminal_emulator(terminal);
        if (emulator.isEmpty()) continue;
        return QStringList{emulator, QStringLiteral("-e")} + command;
    }
    return {QStringLiteral("xdg-open"), path};
}

bool open_in_editor(const QString& path, QString& error)
{
    const QStringList command = editor_command(path, qEnvironmentVariable("VISUAL"), qEnvironmentVariable("EDITOR"),
                                               qEnvironmentVariable("TERMINAL"));
    if (QProcess::startDetached(command.first(), command.mid(1))) return true;
    error = QStringLiteral("The editor could not be started: ") + command.join(QLatin1Char(' '));
    return false;
}

} // namespace kestro
