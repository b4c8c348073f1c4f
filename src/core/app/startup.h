#pragma once

#include <string>

namespace bp {

class BrickpovMain;

void loadMainWindow(BrickpovMain& m);
void activateMainWindow(BrickpovMain& m);
void unloadMainWindow(BrickpovMain& m);

// The program of a file association's open command: the text up to two
// characters before the first "/" (program path, blank, switches), with
// quotes around the path removed. It is meant for association texts, whose
// paths do not themselves begin with "/".
std::string programFromAssociation(const std::string& command);

// A command-line argument as given, without the quotes a launcher may have
// put around it.
std::string unquoteArgument(const std::string& argument);

} // namespace bp
