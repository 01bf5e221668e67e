// KESTRO: the windows, or a subcommand of the command line.

#include <cstdlib>
#include <iostream>

#include "app/cli.h"
#include "model/structure_model.h"
#include "platform/guarded_application.h"
#include "platform/qt_messages.h"
#include "ui/mainmenu.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> arguments(argv, argv + argc);
    if (const auto status = kestro::run_command_line(arguments)) return *status;

    const bool has_display = std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!has_display) {
        std::cerr << "kestro: no display (DISPLAY is not set); the windows cannot open.\n";
        return 1;
    }

    kestro::quiet_runtime_dir_notice();
    kestro::GuardedApplication application(argc, argv);
    auto model = std::make_unique<kestro::StructureModel>();
    kestro::Tfmainmenu main_window(*model);
    if (!main_window.FormCreate(application.arguments())) return 1;
    main_window.show();
    return application.exec();
}
