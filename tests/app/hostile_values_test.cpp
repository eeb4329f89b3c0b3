// The window with values no machine should have: each field copies its whole value, byte for
// byte. (How long building and drawing such a window takes is measured by `make bench`.)
#include <gtest/gtest.h>
#include <FL/Fl_Input.H>

#include "tests/support/hostile_window.h"

namespace moravel::testing {
namespace {

class PasteTarget : public Fl_Input {
public:
    PasteTarget() : Fl_Input(0, 0, 10, 10) {}
    int handle(int event) override {
        if (event == FL_PASTE) pasted.assign(Fl::event_text(), static_cast<std::size_t>(Fl::event_length()));
        return Fl_Input::handle(event);
    }
    std::string pasted;
};

TEST(HostileValues, EachFieldCopiesItsValueWhole) {
    std::unique_ptr<Fl_Double_Window> window;
    buildAndDraw(kHostileValues, window);
    auto* group = static_cast<Fl_Group*>(window->child(0));
    PasteTarget target;
    for (int f = 0; f < 4; ++f) {
        auto* field = static_cast<ReportField*>(group->child(f));
        EXPECT_EQ(std::string(field->value(), static_cast<std::size_t>(field->size())), kHostileValues[f]);
        field->position(0, field->size());  // what a triple click or select-all selects
        ASSERT_EQ(field->copy(1), 1);
        target.pasted.clear();
        Fl::paste(target, 1);
        EXPECT_EQ(target.pasted, kHostileValues[f]) << "field " << f;
    }
}

}  // namespace
}  // namespace moravel::testing
