// The subcommands of scrpkg. Each one registers itself on the application.
#pragma once

namespace CLI {
class App;
}

namespace scrpkg::pack {
void add_pack_command(CLI::App& app);
}

namespace scrpkg::inspect {
void add_list_command(CLI::App& app);
void add_test_command(CLI::App& app);
void add_extract_command(CLI::App& app);
}  // namespace scrpkg::inspect

namespace scrpkg::install {
void add_install_command(CLI::App& app);
}
