// "Save As" and "Delete" of the view and lighting preset lists: refusals,
// the key removed, and the slots that move up.

#include "core/camera/view_presets.h"
#include "core/lights/lighting_presets.h"
#include "core/window/app.h"
#include "core/window/brickpov_main.h"
#include "null_platform.h"

#include <gtest/gtest.h>

#include <functional>

namespace bp {
namespace {

// Answers Yes and keeps what the program told and removed.
struct AnsweringPlatform : null::NullPlatform {
    MsgAnswer messageBox(const MessageBoxRequest& r) override {
        told.push_back(r.title);
        return MsgAnswer::Yes;
    }
    void remove(const std::string&, const std::string& section, const std::string& key) override {
        removed.push_back(section + "/" + key);
    }
    std::vector<std::string> told, removed;
};

TEST(PresetList, DeleteRefusesBuiltInsAndRemovesTheHighestKey) {
    struct Row {
        const char* what;
        bool views;
        std::vector<std::string> userNames;
        int selected;
        std::string told, removed; // removed: none when empty
        int countAfter;
    };
    // clang-format off
    const Row rows[] = {
        {"built-in view", true, {"a"}, 9, "Cannot Delete View", "", 11},
        {"nothing chosen", false, {"a"}, -1, "Cannot Delete View", "", 4},
        {"second of three", true, {"a", "b", "c"}, 11, "Delete View", "Cameras/UserCamera 2", 12},
        {"view with no name", true, {""}, 10, "Delete View", "Cameras/UserCamera 0", 10},
        {"first scheme", false, {"a", "b"}, 3, "Delete Lighting Scheme", "Lights/UserLight 1", 4},
    };
    // clang-format on
    for (const Row& r : rows) {
        AnsweringPlatform p;
        Platform platform = p.platform();
        App app(platform);
        BrickpovMain& m = app.main();
        const PresetList list = r.views ? viewPresetList(m) : lightingPresetList(m);
        for (const std::string& name : r.userNames)
            list.list.addItem(name);
        list.list.setListIndex(r.selected);
        p.told.clear();
        (r.views ? Btn_CameraPresetDelete_Click : Btn_LightPresetDelete_Click)(m);
        EXPECT_EQ(p.told, std::vector<std::string>{r.told}) << r.what;
        EXPECT_EQ(p.removed, r.removed.empty() ? std::vector<std::string>{}
                                               : std::vector<std::string>{r.removed})
            << r.what;
        EXPECT_EQ(list.list.listCount(), r.countAfter) << r.what;
    }
}

TEST(PresetList, LaterSlotsMoveUpWithAPendingSchemeToo) {
    AnsweringPlatform p;
    Platform platform = p.platform();
    App app(platform);
    BrickpovMain& m = app.main();
    // The window's constructor lists the built-in entries.
    for (const char* name : {"a", "b"})
        m.Cbo_LightPreset.addItem(name);
    for (int slot = 3; slot <= 5; ++slot)
        m.lightPresets[static_cast<std::size_t>(slot)].light(1).position[0] =
            static_cast<float>(slot);
    m.Cbo_LightPreset.setListIndex(3);
    Btn_LightPresetDelete_Click(m);
    // Slot 5 held a "Save As" waiting for its name: it is now the one past
    // the last entry.
    EXPECT_EQ(m.lightPresets[3].light(1).position[0], 4);
    EXPECT_EQ(m.lightPresets[4].light(1).position[0], 5);

    for (const char* name : {"a", "b"})
        m.Cbo_CameraPreset.addItem(name);
    for (std::size_t row = 10; row <= 12; ++row)
        m.viewPresets[row][0] = static_cast<float>(row);
    m.Cbo_CameraPreset.setListIndex(10);
    Btn_CameraPresetDelete_Click(m);
    EXPECT_EQ(m.viewPresets[10][0], 11);
    EXPECT_EQ(m.viewPresets[11][0], 11); // the modal dialog leaves nothing pending
}

TEST(PresetList, AFullListRefusesSaveAs) {
    for (const bool views : {true, false}) {
        AnsweringPlatform p;
        Platform platform = p.platform();
        App app(platform);
        BrickpovMain& m = app.main();
        const PresetList list = views ? viewPresetList(m) : lightingPresetList(m);
        while (list.list.listCount() < list.max)
            list.list.addItem("x");
        for (Control* c : m.Txt_CameraValue)
            c->setText("1");
        (views ? Btn_CameraPresetSave_Click : Btn_LightPresetSave_Click)(m);
        EXPECT_EQ(p.told, std::vector<std::string>{list.fullTitle});
        EXPECT_EQ(list.list.listCount(), list.max);
    }
}

} // namespace
} // namespace bp
