// The resources of its owner window the discovery thread writes with: the control
// that shows "Found <name>", and the string of "Found ". The wizard's search
// dialog template and string table use these same numbers.
#pragma once

inline constexpr int PS_SEARCH_STATUS_ID = 1032;
inline constexpr unsigned IDS_FOUND_PREFIX = 106;
