#pragma once
// A small places database as Firefox keeps it (a bookmark in the toolbar, a visit), for the
// demo folder: the typed-URL item then saves a bookmark there as it would for a user.
#include <string>

namespace larkspur {

// Creates the database at `path`; false when it cannot.
bool WriteSamplePlaces(const std::string& path);

}  // namespace larkspur
