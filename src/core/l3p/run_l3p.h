#pragma once

#include <string>
#include <string_view>

namespace bp {

class BrickpovMain;
struct Options;

void Btn_RunL3P_Click(BrickpovMain& m);
// Starts the run the options plan, in the run window.
void StartL3P(BrickpovMain& m, const Options& o);

// Whether the L3P in use is the old 16-bit version, which takes only DOS
// 8.3 file names.
bool isOldL3P(BrickpovMain& m);

// More than eight characters before the first ".", or nine or more without one.
bool breaks83Rule(std::string_view name);

// A switch is ticked whose value L3P needs is empty, or there is no model.
bool requiredFieldMissing(const Options& o);

void wireRunL3P(BrickpovMain& m);

} // namespace bp
