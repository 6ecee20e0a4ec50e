#include "win/startup/app_state.h"

namespace zor::win {

AppState& App() {
  static AppState state;
  return state;
}

}  // namespace zor::win
