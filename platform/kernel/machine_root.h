// The machine root: the folder that holds this machine's registry database, spool
// folders and mapped drives. VEK_ROOT, else $XDG_DATA_HOME/vek, else ~/.local/share/vek.
#pragma once

#include <string>

namespace vek {

std::string MachineRoot();
// Overrides the root for this process (tests); an empty path restores the environment's.
void SetMachineRoot(const std::string& path);
// A counter that moves whenever the root changes, so holders of per-root state reopen.
unsigned MachineRootGeneration();

}  // namespace vek
