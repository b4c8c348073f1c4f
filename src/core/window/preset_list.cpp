#include "core/window/preset_list.h"

#include "core/common/core_routines.h"
#include "core/platform/platform.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "core/window/command_line.h"
#include "core/window/new_preset_dialog.h"
#include "core/window/settings.h"

#include <algorithm>

namespace bp {

void loadUserPresets(
    SettingsStore& store, const PresetList& p,
    const std::function<std::optional<std::string>(int slot, const std::string& record)>& read) {
    for (int n = 0; n < p.max - p.builtIn; ++n) {
        const std::string record = readSetting(store, p.record(n));
        if (record.empty())
            return;
        const auto name = read(p.builtIn + n, record);
        if (!name)
            return;
        p.list.addItem(*name);
    }
}

void saveUserPresets(SettingsStore& store, const PresetList& p,
                     const std::function<std::string(int slot)>& record) {
    for (int n = 0; n + p.builtIn < p.list.listCount(); ++n)
        saveSetting(store, p.record(n), record(p.builtIn + n));
}

void saveNewPreset(BrickpovMain& m, const PresetList& p,
                   const std::function<void(int slot)>& fill) {
    if (p.list.listCount() >= p.max) {
        showMessage(m.platform(), p.fullTitle, p.fullText, MsgIcon::Critical);
        return;
    }
    fill(p.list.listCount());
    auto& dialog = m.app().form<BrickpovNewPreset>();
    dialog.setCaption(p.caption);
    dialog.Txt_NewPreset.setText(p.proposedName);
    dialog.show(p.modal);
}

void deletePreset(BrickpovMain& m, const PresetList& p,
                  const std::function<void(int to, int from)>& move) {
    Control& list = p.list;
    if (list.listIndex() < p.builtIn) {
        showMessage(m.platform(), p.builtInTitle, p.builtInText, MsgIcon::Critical);
        return;
    }
    if (!askYesNo(m.platform(), p.askTitle, p.askText, MsgIcon::Exclamation))
        return;
    const int r = list.listIndex();
    const int c = list.listCount();
    // While a dialog that does not block is open, the slot past the last
    // entry holds a "Save As" still waiting for its name: it moves too.
    const int last = p.modal ? c - 1 : std::min(c, p.max - 1);
    for (int i = r + 1; i <= last; ++i)
        move(i - 1, i);
    // Each step goes on whatever the one before did; a failure is told.
    m.runHandler("Delete", [&] { list.setListIndex(r - 1); });
    m.runHandler("Delete", [&] { list.removeItem(r); });
    // The highest key in use before the deletion; SaveSettings rewrites the
    // others from the moved slots.
    m.runHandler("Delete",
                 [&] { removeSetting(m.platform().settings, p.record(c - p.builtIn - 1)); });
    BuildCommandLine(m);
}

} // namespace bp
