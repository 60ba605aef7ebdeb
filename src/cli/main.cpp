// zorvek-cli: the siren operations for scripts and machines without a desktop.
#include <QString>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/CliCommands.h"
#include "ui/Translation.h"

int main(int argc, char** argv) {
    // The window's catalogues, found from where this program lies.
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    zorvek::installTranslations(QString::fromStdString(ec ? std::string(".") : self.parent_path().string()));
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    return zorvek::cli::RunCli(arguments, argc > 0 ? argv[0] : nullptr);
}
