// SDL message boxes on the application's hooks (message box and exception display).
#pragma once

struct SDL_Window;

namespace host {

// Replaces Application()'s message-box and show-exception hooks with SDL message boxes: over
// `parent` when shown from the thread that made it, without a parent from other threads. Where
// SDL cannot show a box, the hooks that were installed before answer instead. Call at start-up,
// before other threads run; `parent` must outlive the hooks' use.
void InstallSdlMessageBoxes(SDL_Window* parent);

} // namespace host
