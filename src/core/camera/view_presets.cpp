#include "core/camera/view_presets.h"

#include "core/common/numbers.h"
#include "core/options/built_in_presets.h"
#include "core/platform/platform.h"
#include "core/window/command_line.h"
#include "core/window/new_preset_dialog.h"

#include <iterator>

namespace bp {

namespace {

static_assert(std::size(kBuiltInViewAngles) == kBuiltInViews);

std::array<float, 9>& row(BrickpovMain& m, int r) {
    return m.viewPresets.at(static_cast<std::size_t>(r));
}

} // namespace

std::optional<UserView> parseUserViewRecord(const std::string& record) {
    const auto comma = record.find(',');
    if (comma == std::string::npos)
        return std::nullopt;
    UserView view;
    view.name = record.substr(0, comma);
    // Each value starts right after the comma that follows the previous
    // value's number text, as the records are written.
    std::size_t pos = comma + 1;
    for (float& v : view.row) {
        v = toSingle(leadingNumber(pos < record.size() ? std::string_view(record).substr(pos)
                                                       : std::string_view()));
        pos += numberText(v).size() + 1;
    }
    return view;
}

std::string userViewRecord(const std::string& name, const std::array<float, 9>& values) {
    std::string record = name;
    for (float v : values) {
        record += ',';
        record += numberText(v);
    }
    return record;
}

PresetList viewPresetList(BrickpovMain& m) {
    return {m.Cbo_CameraPreset,
            kBuiltInViews,
            kMaxViews,
            setting::userView,
            kSaveViewCaption,
            "New View Preset",
            true,
            "Cannot Create View",
            "You have reached the limit on user-created views (20). You will need to delete "
            "views before adding more.",
            "Cannot Delete View",
            "This is a default view. Only user-created views can be deleted.",
            "Delete View",
            "Are you sure you want to delete the currently selected view?"};
}

void LoadViewPresets(BrickpovMain& m) {
    for (int r = 0; r < kBuiltInViews; ++r) {
        row(m, r)[0] = kBuiltInViewAngles[r].latitude;
        row(m, r)[1] = kBuiltInViewAngles[r].longitude;
    }
    loadUserPresets(m.platform().settings, viewPresetList(m),
                    [&m](int slot, const std::string& record) -> std::optional<std::string> {
                        auto view = parseUserViewRecord(record);
                        if (!view)
                            return std::nullopt;
                        row(m, slot) = view->row;
                        return std::move(view->name);
                    });
}

void saveViewPresets(BrickpovMain& m) {
    saveUserPresets(m.platform().settings, viewPresetList(m), [&m](int slot) {
        return userViewRecord(m.Cbo_CameraPreset.list(slot), row(m, slot));
    });
}

void Cbo_CameraPreset_Click(BrickpovMain& m) {
    if (m.Cbo_CameraPreset.text().empty())
        return;
    const int r = m.Cbo_CameraPreset.listIndex();
    const auto values = row(m, r);
    if (values[3] == 0)
        m.Chk_CG.setValue(1);
    else
        m.Chk_CC.setValue(1);
    for (int i = 0; i < 3; ++i)
        m.Txt_CameraValue[i].setText(numberText(values[static_cast<std::size_t>(i)]));
    if (values[4] != 0) {
        m.Chk_CA.setValue(1);
        m.Txt_CA.setText(numberText(values[4]));
    } else {
        m.Chk_CA.setValue(0);
    }
    m.Chk_CLA.setValue(values[5] != 0 ? 1 : 0);
    for (int i = 0; i < 3; ++i)
        m.Txt_CameraLookAt[i].setText(numberText(values[static_cast<std::size_t>(6 + i)]));
    m.Btn_CameraPresetDelete.setEnabled(r >= kBuiltInViews);
    BuildCommandLine(m);
}

void Btn_CameraPresetSave_Click(BrickpovMain& m) {
    Options o;
    m.readOptions(o);
    for (const std::string& value : o.cameraValue)
        if (value.empty())
            return;
    const Check angle = o.ticks[switches::Id::CameraAngle];
    const std::string& angleValue = o.values[switches::Id::CameraAngle];
    if (ticked(angle) && angleValue.empty()) {
        m.Txt_CA.setText("67.38");
        m.readOptions(o);
    }
    saveNewPreset(m, viewPresetList(m), [&m, &o, angle, &angleValue](int slot) {
        auto& values = row(m, slot);
        for (std::size_t i = 0; i < 3; ++i)
            values[i] = toSingle(leadingNumber(o.cameraValue[i]));
        values[3] = ticked(o.cameraCartesian) ? 1.0f : 0.0f;
        // An angle that is not a number reads 0, so the view has no angle.
        values[4] = ticked(angle) ? toSingle(leadingNumber(angleValue)) : 0.0f;
        values[5] = static_cast<float>(o.lookAt);
        for (std::size_t i = 0; i < 3; ++i)
            values[6 + i] = toSingle(leadingNumber(o.lookAtValue[i]));
    });
}

void Btn_CameraPresetDelete_Click(BrickpovMain& m) {
    deletePreset(m, viewPresetList(m), [&m](int to, int from) { row(m, to) = row(m, from); });
}

void wireViewPresets(BrickpovMain& m) {
    m.Cbo_CameraPreset.onClick = [&m] { Cbo_CameraPreset_Click(m); };
    m.Btn_CameraPresetSave.onClick = [&m] { Btn_CameraPresetSave_Click(m); };
    m.Btn_CameraPresetDelete.onClick = [&m] { Btn_CameraPresetDelete_Click(m); };
}

} // namespace bp
