// A machine root's registry database damaged the ways a user meets it: cut
// short, overwritten in its middle, a folder in its place, emptied, or made
// read-only. No process may have the database open while it is damaged.
#pragma once

#include <string>
#include <vector>

namespace vek::test {

enum class Damage { Truncated, Garbage, Folder, Empty, ReadOnly };

inline const std::vector<Damage> kEveryDamage = {Damage::Truncated, Damage::Garbage, Damage::Folder, Damage::Empty,
                                                 Damage::ReadOnly};

const char* DamageName(Damage damage);

// Folds the log into the database file first, so that the file alone holds the
// store, then damages it.
void DamageRegistry(const std::string& root, Damage damage);

// What a user finds at the database's name: the file's bytes, or "<folder>".
std::string DatabaseContent(const std::string& root);

}  // namespace vek::test
