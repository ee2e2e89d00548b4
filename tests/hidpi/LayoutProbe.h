#pragma once

namespace sylvaro::test {

// Builds the real console on a copy of the built program folder, starts it in
// virtual time, shows a scene and prints one line per finding to stdout:
//   window W H                    the window in device pixels
//   panel NAME W H                a panel in device pixels
//   cut NAME                      a caption smaller than its text needs
//   picture NAME W H PW PH DPR    a picture's logical size and its pixmap's
//   icon NAME W H PW PH           an icon's logical size and the pixels its
//                                 source gives at the screen's density
// Returns non-zero when the console cannot be built.
int runLayoutProbe();

} // namespace sylvaro::test
