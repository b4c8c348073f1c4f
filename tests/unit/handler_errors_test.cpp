#include "core/ui/form.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace bp {
namespace {

struct RecordingHost : FormHost {
    void showForm(Form& f, bool) override { f.setVisibleState(true); }
    void hideForm(Form& f) override { f.setVisibleState(false); }
    void timerChanged(Control&) override {}
    void formUnloaded(Form&) override {}
    void handlerFailed(const std::string& where, const std::string& what) override {
        failures.push_back(where + ": " + what);
    }
    std::vector<std::string> failures;
};

struct FailingForm : Form {
    explicit FailingForm(FormHost& host) : Form(host, "FailingForm") {}
    void Form_Load() override { throw std::runtime_error("no settings"); }
    void Form_Activate() override { throw 42; }
};

// A failing handler stops, the program goes on, and the failure is told with
// the handler's name: nothing is swallowed silently.
TEST(HandlerErrors, AreToldToTheHostAndTheProgramGoesOn) {
    RecordingHost host;
    FailingForm form(host);
    form.show();
    Control& button = form.add(ControlKind::Button, "Btn_Go", 3);
    int clicks = 0;
    button.onClick = [&] {
        ++clicks;
        throw std::invalid_argument("stoi");
    };
    button.userClick();
    button.userClick();
    form.activate();
    EXPECT_EQ(clicks, 2);
    EXPECT_TRUE(form.loaded());
    EXPECT_EQ(host.failures,
              (std::vector<std::string>{"FailingForm.Form_Load: no settings",
                                        "FailingForm.Btn_Go(3)_Click: stoi",
                                        "FailingForm.Btn_Go(3)_Click: stoi",
                                        "FailingForm.Form_Activate: unknown error"}));
}

} // namespace
} // namespace bp
