#include "app/app_state.h"

namespace moravel {

AppState& appState() {
    static AppState state;
    return state;
}

}  // namespace moravel
