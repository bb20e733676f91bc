// The services the shell installs for the windows.
#include "window/Services.h"

namespace window {

namespace {

// Set and read on the interface thread only.
Services* installed = nullptr;

} // namespace

Services* InstalledServices() { return installed; }

void InstallServices(Services* services) { installed = services; }

} // namespace window
